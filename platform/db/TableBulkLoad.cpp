#include "platform/db/Table.h"
#include "platform/db/TableImpl.h"

#include <sqlite3.h>

// Bulk loading: a table filled from empty in one transaction gets its secondary indexes built once
// at the end, each from one sorted pass over the rows. Threaded in record by record, a table's
// indexes grow at random places, and once they outgrow the page cache every record costs reads
// and journal writes of pages all over the file.

using namespace TableInternal;

bool TTable::TImpl::DeferIndexes(const QStringList& Keep)
{
    CheckBrowseMode();
    if (!InTransaction())
        throw EDatabaseError(
            QStringLiteral("Indexes are deferred only within a transaction (table %1)").arg(FTableName));
    {
        sqlite3_stmt* Any =
            Prepare(QStringLiteral("SELECT 1 FROM ") + Quote(SqlTableName()) + QStringLiteral(" LIMIT 1"));
        const int Rc = TableInternal::Step(Any);
        sqlite3_reset(Any);
        if (Rc == SQLITE_ROW)
            return false;
        if (Rc != SQLITE_DONE)
            Fail(QStringLiteral("Cannot read"));
    }
    // A statement that has not run to its end would keep the schema from changing.
    for (sqlite3_stmt* Statement : std::as_const(FStatements))
        sqlite3_reset(Statement);
    // The index comes back from the table's definition, never from the text the file keeps for it:
    // a file made elsewhere may hold any statements there.
    sqlite3_stmt* Find = Prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?"));
    bool AnyKept = false;
    for (const TIndexDef& Index : std::as_const(FDef.Indexes)) {
        if (Index.Primary)
            continue;
        if (Index.Unique || Keep.contains(Index.Name, Qt::CaseInsensitive)) {
            AnyKept = true;
            continue;
        }
        const QString Name = IndexSqlName(SqlTableName(), Index);
        const QString Sql = IndexSql(FDef, SqlTableName(), Index);
        Bind(Find, {Name});
        const int Rc = TableInternal::Step(Find);
        sqlite3_reset(Find);
        if (Rc != SQLITE_ROW && Rc != SQLITE_DONE)
            Fail(QStringLiteral("Cannot read the indexes"));
        if (Rc == SQLITE_DONE)
            continue;
        Exec(QStringLiteral("DROP INDEX ") + Quote(Name));
        FDeferredIndexes.append(Sql);
    }
    if (FDeferredIndexes.isEmpty())
        return false;
    // An index kept through the load takes its records at random places: its pages stay in memory
    // up to this much, instead of being spilled to the file, and the journal synced, every time the
    // cache fills. Without one the rows are appended at the table's end, each page written once
    // when the cache is full and its memory used again, rather than every page of the file taking
    // fresh memory of its own until the commit.
    if (AnyKept)
        Exec(CacheSizeSql(BulkCacheKiB));
    return true;
}

void TTable::TImpl::BuildDeferredIndexes()
{
    if (FDeferredIndexes.isEmpty())
        return;
    for (sqlite3_stmt* Statement : std::as_const(FStatements))
        sqlite3_reset(Statement);
    // Each index is a sort of every row: SQLite's sorter may share it out among a few threads.
    // With temporary storage in memory the sorter takes a block of the heap for every key it is
    // given; with temporary files allowed it packs the keys into large runs instead and still keeps
    // them in memory up to the cache's size, which a load of this program never passes.
    // The sorts keep their runs in memory up to the cache's size.
    Exec(CacheSizeSql(BulkCacheKiB) + QStringLiteral("; PRAGMA threads=4; PRAGMA temp_store=FILE"));
    try {
        while (!FDeferredIndexes.isEmpty()) {
            Exec(FDeferredIndexes.constFirst());
            FDeferredIndexes.removeFirst();
        }
    } catch (...) {
        sqlite3_exec(FDb, "PRAGMA threads=0; PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
        throw;
    }
    Exec(QStringLiteral("PRAGMA threads=0; PRAGMA temp_store=MEMORY"));
    Exec(CacheSizeSql(TableCacheKiB));
}

void TTable::TImpl::StartReadTransaction()
{
    CheckBrowseMode();
    if (InTransaction())
        throw EDatabaseError(QStringLiteral("A transaction is already active on table %1").arg(FTableName));
    Exec(QStringLiteral("BEGIN"));
}

TTableReading::~TTableReading()
{
    try {
        if (FTable.Active() && FTable.InTransaction())
            FTable.Commit();
    } catch (...) {
    }
}
