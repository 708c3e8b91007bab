#pragma once

// What the parts of the table engine share among themselves; nothing outside platform/db includes this.

#include "platform/db/Collation.h"
#include "platform/db/Table.h"
#include "platform/text/Cp932.h"

#include <QFile>
#include <atomic>
#include <sqlite3.h>
#include <sys/types.h>
#include <utility>

namespace TableInternal {

// What the engine's statements did, for the complexity guards of the walks (TableCounters). A
// statement's VM steps are added when it is used again, reset or finalized.
struct TCounterTotals
{
    std::atomic<long long> Prepared{0};
    std::atomic<long long> Stepped{0};
    std::atomic<long long> RowsRead{0};
    std::atomic<long long> RowsWritten{0};
    std::atomic<long long> VmSteps{0};
};
inline TCounterTotals Counters;

inline void CountSteps(sqlite3_stmt* Statement)
{
    Counters.VmSteps += sqlite3_stmt_status(Statement, SQLITE_STMTSTATUS_VM_STEP, 1);
}

// Every statement of the engine is prepared and stepped through these, so that the counters see all.
inline int PrepareV2(sqlite3* Db, const char* Sql, int Bytes, sqlite3_stmt** Statement, const char** Tail)
{
    ++Counters.Prepared;
    return sqlite3_prepare_v2(Db, Sql, Bytes, Statement, Tail);
}

inline int PrepareV3(sqlite3* Db, const char* Sql, int Bytes, unsigned Flags, sqlite3_stmt** Statement,
                     const char** Tail)
{
    ++Counters.Prepared;
    return sqlite3_prepare_v3(Db, Sql, Bytes, Flags, Statement, Tail);
}

inline int Step(sqlite3_stmt* Statement)
{
    ++Counters.Stepped;
    sqlite3* Db = sqlite3_db_handle(Statement);
    const sqlite3_int64 ChangedBefore = sqlite3_total_changes64(Db);
    const int Rc = sqlite3_step(Statement);
    if (Rc == SQLITE_ROW)
        ++Counters.RowsRead;
    Counters.RowsWritten += sqlite3_total_changes64(Db) - ChangedBefore;
    return Rc;
}

inline QString Quote(const QString& Name)
{
    return u'"' + QString(Name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

inline bool IsText(TFieldType Type)
{
    return Type == TFieldType::String || Type == TFieldType::Memo;
}

inline QVariant BlankValue(TFieldType Type)
{
    if (IsText(Type))
        return QString();
    if (Type == TFieldType::DateTime)
        return 0.0;
    return qint64(0);
}

// The page cache of an open table, and of a bulk load while it runs (TableBulkLoad.cpp), in KiB.
constexpr int TableCacheKiB = 32768;
constexpr int BulkCacheKiB = 262144;
inline QString CacheSizeSql(int KiB)
{
    return QStringLiteral("PRAGMA cache_size=-") + QString::number(KiB);
}

// No character is wider than two bytes, so a short text needs no measuring.
inline QString CutToWidth(const QString& Text, int Size)
{
    return Text.size() * 2 <= Size ? Text : Cp932Left(Text, Size);
}

// Stores From in To. A record's values keep their kinds from one record to the next, and a value
// of the kind already there is assigned in place, without a round through Qt's type table.
inline void AssignValue(QVariant& To, const QVariant& From)
{
    const int Kind = From.typeId();
    if (Kind == To.typeId()) {
        switch (Kind) {
        case QMetaType::QString:
            *static_cast<QString*>(To.data()) = *static_cast<const QString*>(From.constData());
            return;
        case QMetaType::LongLong:
            *static_cast<qint64*>(To.data()) = *static_cast<const qint64*>(From.constData());
            return;
        case QMetaType::Double:
            *static_cast<double*>(To.data()) = *static_cast<const double*>(From.constData());
            return;
        default:
            break;
        }
    }
    To = From;
}

// A column of a row SQLite is on, as the field type keeps it.
inline QVariant ColumnValue(sqlite3_stmt* Statement, int Column, TFieldType Type)
{
    switch (Type) {
    case TFieldType::String:
    case TFieldType::Memo:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement, Column)),
                                 sqlite3_column_bytes(Statement, Column));
    case TFieldType::DateTime:
        return sqlite3_column_double(Statement, Column);
    default:
        return qint64(sqlite3_column_int64(Statement, Column));
    }
}

// The statements the engine makes a table's file with, from its definition alone (TableSchema.cpp).
// Schema, when given, names the attached database an index goes into.
QString IndexColumnSql(const TTableDef& Def, const TFieldDef& Field, bool CaseInsensitive);
QString TableSql(const TTableDef& Def, const QString& Name);
QString IndexSqlName(const QString& Table, const TIndexDef& Index);
QString IndexSql(const TTableDef& Def, const QString& Table, const TIndexDef& Index, const QString& Schema = {});
QString MetaTableSql();

// A file's schema beside what the engine makes of Def under the table name Name.
struct TSchemaCheck
{
    // What the engine never makes (another table, a trigger, a view) or makes otherwise (the table's
    // columns, _meta): the file is no table of this definition.
    QStringList Foreign;
    // Indexes of the definition that are missing or made otherwise, and indexes it does not name.
    // They hold nothing of their own: a rebuild makes the definition's anew.
    QStringList OtherIndexes;
};
// Reads the schema of Db's main database as data; throws when it cannot be read (File names it).
TSchemaCheck CheckSchema(sqlite3* Db, const TTableDef& Def, const QString& Name, const QString& File);

// Makes a new file at Path, readable by its owner alone, holding the empty table Name of Def with
// its _meta, protected by Password when one is given. Without WithIndexes the secondary indexes
// are left to the caller, who builds them from IndexSql once the rows are in.
void WriteTableFile(const QString& Path, const TTableDef& Def, const QString& Name, const QString& Password,
                    bool WithIndexes);

// Files are written under a temporary name beside their place and renamed into it when complete.
QString TemporaryNameBeside(const QString& File);
// Creates File empty and readable by its owner alone, whatever the umask or the folder's default
// access says: tables hold customers' names, numbers and addresses. Answers File.
QString CreateOwnerOnlyFile(const QString& File);

// The lock an open table holds on its file for as long as it is open (TableLock.cpp): shared for
// a shared table, exclusive for an exclusive one. Throws "in use" when another table object or
// process stands in the way; a shared taker waits up to Patience milliseconds for an exclusive
// holder to close, an exclusive taker not at all.
class TOpenLock
{
public:
    TOpenLock(const QString& Path, bool Exclusive, int Patience);
    ~TOpenLock();
    TOpenLock(const TOpenLock&) = delete;
    TOpenLock& operator=(const TOpenLock&) = delete;

private:
    void Release();
    int FFd = -1;
    std::pair<dev_t, ino_t> FKey{};
};

// Sets SQLite up once, before the first connection of the process is opened.
void InitializeSqlite();
// Sets up a new connection so that nothing a file carries in its schema acts: triggers and views
// are off, SQL functions with side effects are refused in the schema's expressions, and the file
// cannot be changed other than through ordinary statements (no writable schema, no journal off).
// A table file may come from anywhere (a copy from another machine, a restored backup); the
// program's own tables use none of it. Throws when SQLite does not take a setting.
void SecureConnection(sqlite3* Db);

// A plain connection for building or copying files.
class TRawDb
{
public:
    TRawDb(const QString& Path, int Flags)
    {
        InitializeSqlite();
        if (sqlite3_open_v2(QFile::encodeName(Path).constData(), &Db, Flags, nullptr) != SQLITE_OK) {
            const QString Message = QString::fromUtf8(sqlite3_errmsg(Db));
            sqlite3_close_v2(Db);
            Db = nullptr;
            throw EDatabaseError(QStringLiteral("Cannot open %1: %2").arg(Path, Message));
        }
        try {
            SecureConnection(Db);
        } catch (...) {
            sqlite3_close_v2(Db);
            Db = nullptr;
            throw;
        }
        RegisterCp932Collations(Db);
    }
    ~TRawDb()
    {
        if (Db)
            sqlite3_close_v2(Db);
    }
    void Exec(const QString& Sql)
    {
        char* Error = nullptr;
        if (sqlite3_exec(Db, Sql.toUtf8().constData(), nullptr, nullptr, &Error) != SQLITE_OK) {
            const QString Message = QString::fromUtf8(Error ? Error : sqlite3_errmsg(Db));
            sqlite3_free(Error);
            throw EDatabaseError(Message);
        }
    }
    void Close()
    {
        if (Db && sqlite3_close_v2(Db) != SQLITE_OK)
            throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(Db)));
        Db = nullptr;
    }
    sqlite3* Db = nullptr;
};

// Copies the rows of the table From (quoted) of SourceFile into To (a "schema.name" of Dest), Columns
// in both, one row at a time in rowid order, passing over what cannot be read (TableSalvage.cpp).
// Indexes names the source's indexes whose entries count the rows it held.
TTable::TSalvageCount SalvageRows(const QString& SourceFile, const QString& From, sqlite3* Dest, const QString& To,
                                  const QStringList& Columns, const QStringList& Indexes);
// SQLite refuses to read a file shorter than its header says. A file cut short is copied beside
// itself with the missing pages as zeros, which read as damaged pages; answers that copy, for the
// caller to remove, or File itself when it is whole.
QString ReadableCopyOf(const QString& File);

// Whether the definition numbers its rows itself (an auto-increment field): its file keeps SQLite's
// sequence table.
[[nodiscard]] bool HasAutoInc(const TTableDef& Def);

} // namespace TableInternal
