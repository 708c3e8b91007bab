#include "platform/db/TableIndexes.h"

#include "platform/db/Table.h"
#include "platform/db/TableInternal.h"

#include <QFileInfo>
#include <QSet>
#include <memory>

// Threaded in row by row, an index grows at random places: once it outgrows the page cache every
// row costs reads and journal writes of pages all over the file, and an index in the CP932 order
// costs a collation call at every level besides. Built after the rows, it is one sort of them.
// The work is done on a connection of its own, so that the table object and its cursor stay as
// they are; SQLite prepares the table's statements anew once they see the changed schema.

using namespace TableInternal;

namespace {

// The table's connection has nothing pending between two of its calls; another process may still
// hold a read lock for a moment.
struct TIndexDb
{
    explicit TIndexDb(const TTable& Table) : Raw(Table.FileName(), SQLITE_OPEN_READWRITE), File(Table.FileName())
    {
        if (!Table.Active())
            throw EDatabaseError(QStringLiteral("Table %1 is not open").arg(File));
        if (Table.Exclusive() || Table.InTransaction())
            throw EDatabaseError(
                QStringLiteral("The indexes of table %1 change only outside a transaction of a shared table").arg(File));
        sqlite3_busy_timeout(Raw.Db, DefaultSession().BusyTimeout());
        Run(QStringLiteral("PRAGMA journal_mode=DELETE"));
        Run(QStringLiteral("PRAGMA synchronous=FULL"));
        const QStringList Names = Column(QStringLiteral("SELECT Value FROM _meta WHERE Kind = 'table' AND Name = 'TableName'"));
        Name = Names.isEmpty() || Names.constFirst().isEmpty() ? QFileInfo(Table.TableName()).completeBaseName()
                                                               : Names.constFirst();
        const QStringList Present = Column(QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'index'"));
        Indexes = QSet<QString>(Present.cbegin(), Present.cend());
    }

    // Runs Sql to its end through the engine's counters; throws with SQLite's code.
    void Run(const QString& Sql) { (void)Rows(Sql, false); }
    QStringList Column(const QString& Sql) { return Rows(Sql, true); }

    QStringList Rows(const QString& Sql, bool Collect)
    {
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> Statement(nullptr, [](sqlite3_stmt* S) {
            CountSteps(S);
            return sqlite3_finalize(S);
        });
        sqlite3_stmt* Prepared = nullptr;
        const QByteArray Utf8 = Sql.toUtf8();
        int Rc = PrepareV2(Raw.Db, Utf8.constData(), static_cast<int>(Utf8.size()), &Prepared, nullptr);
        Statement.reset(Prepared);
        QStringList Values;
        while (Rc == SQLITE_OK || Rc == SQLITE_ROW) {
            Rc = Step(Statement.get());
            if (Rc == SQLITE_ROW && Collect)
                Values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement.get(), 0)),
                                            sqlite3_column_bytes(Statement.get(), 0));
        }
        if (Rc != SQLITE_DONE)
            throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(Raw.Db)) + QStringLiteral(" (table %1)").arg(File),
                                 sqlite3_extended_errcode(Raw.Db));
        return Values;
    }

    // Ends the transaction the caller began: committed when Commit, else rolled back.
    void End(bool Commit)
    {
        if (Commit) {
            Run(QStringLiteral("COMMIT"));
        } else if (!sqlite3_get_autocommit(Raw.Db)) {
            sqlite3_exec(Raw.Db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }

    TRawDb Raw;
    QString File;
    QString Name;
    QSet<QString> Indexes;
};

} // namespace

QStringList DropSecondaryIndexes(const TTable& Table, const QStringList& Keep)
{
    TIndexDb Db(Table);
    QStringList Dropped;
    Db.Run(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        for (const TIndexDef& Index : Table.Definition().Indexes) {
            if (Index.Primary || Index.Unique || Keep.contains(Index.Name, Qt::CaseInsensitive))
                continue;
            const QString Name = IndexSqlName(Db.Name, Index);
            if (!Db.Indexes.contains(Name))
                continue;
            Db.Run(QStringLiteral("DROP INDEX ") + Quote(Name));
            Dropped << Index.Name;
        }
        Db.End(true);
    } catch (...) {
        Db.End(false);
        throw;
    }
    return Dropped;
}

QStringList MissingIndexes(const TTable& Table)
{
    TIndexDb Db(Table);
    QStringList Missing;
    for (const TIndexDef& Index : Table.Definition().Indexes)
        if (!Index.Primary && !Db.Indexes.contains(IndexSqlName(Db.Name, Index)))
            Missing << Index.Name;
    return Missing;
}

int BuildMissingIndexes(const TTable& Table, const std::function<void(int Built)>& AfterEach)
{
    TIndexDb Db(Table);
    const TTableDef& Def = Table.Definition();
    QStringList Statements;
    for (const TIndexDef& Index : Def.Indexes)
        if (!Index.Primary && !Db.Indexes.contains(IndexSqlName(Db.Name, Index)))
            Statements << IndexSql(Def, Db.Name, Index);
    if (Statements.isEmpty())
        return 0;
    // Each index is a sort of every row: SQLite's sorter may share it among a few threads, and keeps
    // the rows and the new pages in memory up to this much instead of spilling them to files.
    Db.Run(QStringLiteral("PRAGMA threads=4"));
    Db.Run(QStringLiteral("PRAGMA temp_store=MEMORY"));
    Db.Run(CacheSizeSql(BulkCacheKiB));
    Db.Run(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        int Built = 0;
        for (const QString& Sql : std::as_const(Statements)) {
            Db.Run(Sql);
            if (AfterEach)
                AfterEach(++Built);
        }
        Db.End(true);
    } catch (...) {
        Db.End(false);
        throw;
    }
    return static_cast<int>(Statements.size());
}
