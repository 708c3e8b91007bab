#include "platform/db/Table.h"
#include "platform/db/TableInternal.h"

#include <QFile>
#include <sqlite3.h>

using namespace TableInternal;

namespace {

QString Literal(const QString& Text)
{
    return u'\'' + QString(Text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

struct TSchemaEntry
{
    QString Type;
    QString Name;
    QString Sql;
};

// Runs Sql and answers its rows' first columns as texts; throws with Table's file named on failure.
QStringList Column(sqlite3* Db, const QString& Sql, const QString& Table)
{
    sqlite3_stmt* Statement = nullptr;
    if (sqlite3_prepare_v2(Db, Sql.toUtf8().constData(), -1, &Statement, nullptr) != SQLITE_OK) {
        const QString Message = QString::fromUtf8(sqlite3_errmsg(Db));
        sqlite3_finalize(Statement);
        throw EDatabaseError(QStringLiteral("%1 (table %2)").arg(Message, Table));
    }
    QStringList Result;
    int Rc;
    while ((Rc = sqlite3_step(Statement)) == SQLITE_ROW)
        Result << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement, 0)));
    const QString Message = QString::fromUtf8(sqlite3_errmsg(Db));
    sqlite3_finalize(Statement);
    if (Rc != SQLITE_DONE)
        throw EDatabaseError(QStringLiteral("%1 (table %2)").arg(Message, Table), Rc);
    return Result;
}

// The statements that made the file, tables before indexes, SQLite's own tables left to SQLite.
QList<TSchemaEntry> Schema(sqlite3* Db, const QString& Table)
{
    const QString Select =
        QStringLiteral("SELECT %1 FROM main.sqlite_master WHERE sql IS NOT NULL AND name NOT LIKE 'sqlite_%' ORDER BY "
                       "type = 'index', rowid");
    const QStringList Types = Column(Db, Select.arg(QStringLiteral("type")), Table);
    const QStringList Names = Column(Db, Select.arg(QStringLiteral("name")), Table);
    const QStringList Sqls = Column(Db, Select.arg(QStringLiteral("sql")), Table);
    if (Types.size() != Names.size() || Names.size() != Sqls.size())
        throw EDatabaseError(QStringLiteral("The schema of table %1 cannot be read").arg(Table));
    QList<TSchemaEntry> Result;
    for (int I = 0; I < Types.size(); ++I)
        Result.append({Types[I], Names[I], Sqls[I]});
    return Result;
}

// "CREATE TABLE x (...)" made for the attached file: "CREATE TABLE rebuilt.x (...)".
QString IntoRebuilt(const QString& Sql, const QString& Table)
{
    for (const QString& Head :
         {QStringLiteral("CREATE TABLE "), QStringLiteral("CREATE UNIQUE INDEX "), QStringLiteral("CREATE INDEX ")})
        if (Sql.startsWith(Head, Qt::CaseInsensitive))
            return Head + QStringLiteral("rebuilt.") + Sql.mid(Head.size());
    throw EDatabaseError(QStringLiteral("Unexpected statement in the schema of table %1").arg(Table));
}

} // namespace

qint64 TTable::Rebuild(const std::function<void(const QString& NewFile)>& BeforeRename, const QString& RenumberField)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot rebuild the open table %1").arg(FileName()));
    if (!Exists())
        throw EDatabaseError(QStringLiteral("Table %1 does not exist").arg(FileName()));
    const QString Table = FileName();
    // Nobody may write to the old file while its rows are read, nor open it before it is replaced.
    FOpenLock = std::make_unique<TOpenLock>(Table, true, FSession.BusyTimeout());
    QString Temporary;
    auto CleanUp = [&] {
        Disconnect();
        FOpenLock.reset();
        FSqlName.clear();
        FFields.clear();
        FFieldIndex.clear();
        FFieldExact.clear();
        FIndexes.clear();
        if (!Temporary.isEmpty()) {
            QFile::remove(Temporary);
            QFile::remove(Temporary + QStringLiteral("-journal"));
        }
    };
    try {
        Connect(false, Table);
        // The old file's definition, which also proves that this session holds its password.
        ReadDefinition();
        const QList<TSchemaEntry> Entries = Schema(FDb, Table);
        // The table's own rows, with the numbering field counted 0 .. n-1 in its order when asked.
        QString Select = QStringLiteral("*");
        QString Into;
        if (!RenumberField.isEmpty()) {
            const int Field = FFieldIndex.value(RenumberField.toLower(), -1);
            if (Field < 0 || FDef.Fields[Field].Type != TFieldType::Integer)
                throw EDatabaseError(
                    QStringLiteral("Table %1 has no integer field %2 to number").arg(Table, RenumberField));
            QStringList Columns;
            QStringList Values;
            for (int I = 0; I < FDef.Fields.size(); ++I) {
                Columns << Quote(FDef.Fields[I].Name);
                Values << (I == Field ? QStringLiteral("row_number() OVER (ORDER BY %1, rowid) - 1")
                                            .arg(Quote(FDef.Fields[I].Name))
                                      : Quote(FDef.Fields[I].Name));
            }
            Into = QStringLiteral(" (") + Columns.join(QStringLiteral(", ")) + u')';
            Select = Values.join(QStringLiteral(", "));
        }
        const QString PageSize = Column(FDb, QStringLiteral("PRAGMA main.page_size"), Table).value(0);

        Temporary = CreateOwnerOnlyFile(TemporaryNameBeside(Table));
        Exec(QStringLiteral("ATTACH DATABASE ") + Literal(Temporary) + QStringLiteral(" AS rebuilt"));
        Exec(QStringLiteral("PRAGMA rebuilt.page_size=") + QString::number(PageSize.toInt()) +
             QStringLiteral("; PRAGMA rebuilt.journal_mode=MEMORY; PRAGMA rebuilt.synchronous=OFF; "
                            // The indexes are sorted in memory of this size before any spills to disk.
                            "PRAGMA main.cache_size=-65536; PRAGMA rebuilt.cache_size=-65536; BEGIN"));
        // The rows are read in the table's own order, past every index, so a damaged index cannot
        // hide or repeat a row. A row that cannot be read fails the whole rebuild: the old file
        // stays, rather than a new one that lacks it.
        qint64 Copied = 0;
        for (const TSchemaEntry& Entry : Entries) {
            if (Entry.Type != QStringLiteral("table"))
                continue;
            Exec(IntoRebuilt(Entry.Sql, Table));
            const bool Own = Entry.Name == FSqlName;
            Exec(QStringLiteral("INSERT INTO rebuilt.") + Quote(Entry.Name) + (Own ? Into : QString()) +
                 QStringLiteral(" SELECT ") + (Own ? Select : QStringLiteral("*")) + QStringLiteral(" FROM main.") +
                 Quote(Entry.Name) + QStringLiteral(" NOT INDEXED ORDER BY rowid"));
            if (Entry.Name == FSqlName)
                Copied = sqlite3_changes64(FDb);
        }
        if (!Column(FDb, QStringLiteral("SELECT name FROM main.sqlite_master WHERE name = 'sqlite_sequence'"), Table)
                 .isEmpty())
            Exec(QStringLiteral("DELETE FROM rebuilt.sqlite_sequence; INSERT INTO rebuilt.sqlite_sequence "
                                "SELECT * FROM main.sqlite_sequence"));
        for (const TSchemaEntry& Entry : Entries)
            if (Entry.Type == QStringLiteral("index"))
                Exec(IntoRebuilt(Entry.Sql, Table));
        Exec(QStringLiteral("COMMIT"));

        const QStringList Check = Column(FDb, QStringLiteral("PRAGMA rebuilt.integrity_check"), Table);
        if (Check != QStringList{QStringLiteral("ok")})
            throw EDatabaseError(QStringLiteral("The rebuilt table %1 does not check out: %2")
                                     .arg(Table, Check.join(QStringLiteral("; "))));
        const qint64 Count =
            Column(FDb, QStringLiteral("SELECT count(*) FROM rebuilt.") + Quote(FSqlName), Table).value(0).toLongLong();
        if (Count != Copied)
            throw EDatabaseError(
                QStringLiteral("The rebuilt table %1 holds %2 rows of %3").arg(Table).arg(Count).arg(Copied));
        Exec(QStringLiteral("DETACH DATABASE rebuilt"));
        if (BeforeRename)
            BeforeRename(Temporary);
        Disconnect();
        RenameIntoPlace(Temporary, Table);
        Temporary.clear();
        CleanUp();
        return Copied;
    } catch (...) {
        CleanUp();
        throw;
    }
}
