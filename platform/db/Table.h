#pragma once

#include "platform/sys/Exceptions.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

// The table engine: one SQLite file per table, walked by a cursor the way the windows expect of a
// navigational table. A closed table is one file; a posted row is on disk when Post returns.

// Every failure of the engine: the message names the table's file.
class EDatabaseError : public Exception
{
public:
    // SQLite's code for a lock held elsewhere.
    static constexpr int BusyCode = 5;

    explicit EDatabaseError(QString Message, int Code = 0) : Exception(std::move(Message)), FCode(Code) {}
    // SQLite's result code of the failure; 0 when it did not come from SQLite.
    [[nodiscard]] int Code() const noexcept { return FCode; }
    // Another connection held its lock for longer than the session waits: trying again later may
    // succeed, unlike any other failure.
    [[nodiscard]] bool Busy() const noexcept;
    // The disk had no room for what was written (SQLite's SQLITE_FULL) or refused the write (SQLITE_IOERR).
    [[nodiscard]] bool DiskFailed() const noexcept { return (FCode & 0xFF) == 13 || (FCode & 0xFF) == 10; }

private:
    int FCode = 0;
};

// A file that holds what the definition it is used with does not (another table, a trigger, a view,
// other columns): no table of the program's. The engine leaves such a file as it is.
class EForeignTableError : public EDatabaseError
{
public:
    using EDatabaseError::EDatabaseError;
};

enum class TFieldType
{
    Integer,  // 32-bit signed
    AutoInc,  // 32-bit, numbered by the table; only as the single field of the primary index
    String,   // text of at most Size CP932 bytes
    Memo,     // text of any length; Size is kept as defined
    DateTime, // days since 1899-12-30 with the time of day as fraction; 0 = empty
    Boolean,
};

struct TFieldDef
{
    QString Name;
    TFieldType Type = TFieldType::Integer;
    int Size = 0;
    bool operator==(const TFieldDef&) const = default;
};

struct TIndexDef
{
    QString Name;   // empty for the primary index
    QString Fields; // "JisCode;Adrs2;Adrs3"
    bool Primary = false;
    bool Unique = false;
    bool CaseInsensitive = false;
    [[nodiscard]] QStringList FieldList() const { return Fields.split(u';', Qt::SkipEmptyParts); }
    bool operator==(const TIndexDef&) const = default;
};

struct TTableDef
{
    QList<TFieldDef> Fields;
    QList<TIndexDef> Indexes;
    bool operator==(const TTableDef&) const = default;
};

[[nodiscard]] QString FieldTypeName(TFieldType Type);

// Date-time values as the tables keep them: local time, days since 1899-12-30; an invalid
// QDateTime is 0 and 0 reads back as an invalid QDateTime.
[[nodiscard]] double DateTimeToDays(const QDateTime& Value);
[[nodiscard]] QDateTime DaysToDateTime(double Days);
// The text of a value as a field of type Type stores it: what TField::AsString answers, for a copy
// of a record kept apart from its table.
[[nodiscard]] QString StoredValueText(TFieldType Type, const QVariant& Value);

// The passwords the program knows; a protected table opens only when its password is here.
// This keeps one program of the product from opening another's tables by mistake; it is not
// encryption.
class TSession
{
public:
    void AddPassword(const QString& Password);
    void RemovePassword(const QString& Password);
    void RemoveAllPasswords() { FPasswords.clear(); }
    [[nodiscard]] const QStringList& Passwords() const { return FPasswords; }
    // How long a statement waits for another process's lock before it fails.
    [[nodiscard]] int BusyTimeout() const { return FBusyTimeout; }
    void SetBusyTimeout(int Milliseconds) { FBusyTimeout = Milliseconds; }

private:
    QStringList FPasswords;
    int FBusyTimeout = 5000;
};

// The program-wide session.
[[nodiscard]] TSession& DefaultSession();

enum class TDataSetState
{
    Inactive,
    Browse,
    Edit,
    Insert
};

class TTable;

// A field of the current record. Text is cut to the field's CP932 width when set.
class TField
{
public:
    [[nodiscard]] const QString& FieldName() const { return FDef.Name; }
    [[nodiscard]] TFieldType DataType() const { return FDef.Type; }
    [[nodiscard]] int Size() const { return FDef.Size; }

    // Empty text, 0 and false are the blank values.
    [[nodiscard]] bool IsNull() const;
    void Clear();

    [[nodiscard]] QString AsString() const;
    void SetAsString(const QString& Value);
    [[nodiscard]] int AsInteger() const;
    void SetAsInteger(int Value);
    [[nodiscard]] double AsFloat() const;
    void SetAsFloat(double Value);
    [[nodiscard]] QDateTime AsDateTime() const;
    void SetAsDateTime(const QDateTime& Value);
    [[nodiscard]] bool AsBoolean() const;
    void SetAsBoolean(bool Value);
    [[nodiscard]] QString AsMemo() const { return AsString(); }
    void SetAsMemo(const QString& Value) { SetAsString(Value); }

private:
    friend class TTable;
    TField(TTable& Owner, int Index, const TFieldDef& Def) : FOwner(Owner), FIndex(Index), FDef(Def) {}
    [[nodiscard]] const QVariant& Raw() const;
    void SetRaw(const QVariant& Value);

    TTable& FOwner;
    int FIndex;
    TFieldDef FDef;
};

class TTable
{
public:
    explicit TTable(TSession& Session = DefaultSession());
    ~TTable();
    TTable(const TTable&) = delete;
    TTable& operator=(const TTable&) = delete;

    // Where the table lives: folder (with or without a trailing "/") and file name ("Meibo.DB").
    // Inside the file the table is named as the file without its extension.
    void SetDatabaseName(const QString& Folder);
    [[nodiscard]] const QString& DatabaseName() const;
    void SetTableName(const QString& FileName);
    [[nodiscard]] const QString& TableName() const;
    [[nodiscard]] QString FileName() const;
    [[nodiscard]] bool Exists() const;

    // Creates the file with its fields and indexes, protected by Password when one is given.
    // The file is built under a temporary name and renamed into place, so that no half-made or
    // unprotected table is ever seen under the table's name. An existing file is replaced.
    void CreateTable(const TTableDef& Def, const QString& Password = {});
    // Removes a closed table's file.
    void DeleteTable();

    // Exclusive: no other connection may read or write while this one is open, and it opens only
    // while no other table object or process has the table open.
    void SetExclusive(bool Value);
    [[nodiscard]] bool Exclusive() const;

    void Open();
    void Close();
    void SetActive(bool Value) { Value ? Open() : Close(); }
    [[nodiscard]] bool Active() const;
    [[nodiscard]] TDataSetState State() const;
    // The definition the open table carries.
    [[nodiscard]] const TTableDef& Definition() const;
    [[nodiscard]] bool Protected() const;

    // The current index: empty for the primary index. Changing it keeps the current record and
    // cancels a range. It may be chosen before Open and stays chosen across Close.
    [[nodiscard]] const QString& IndexName() const;
    void SetIndexName(const QString& Name);

    // The cursor: First sets Bof, Last sets Eof; Next on the last record sets Eof and stays there,
    // so Prior from Eof reaches the record before the last; an empty table has both. Every move
    // posts a pending Edit or Append first. Walks seek by (index fields, row id), never by offset.
    void First();
    void Last();
    void Next();
    void Prior();
    // Moves up to Distance records (negative: backwards); answers how many it moved.
    int MoveBy(int Distance);
    // While on, the single steps of MoveBy (Next, Prior) read the rows that follow in the walk's
    // direction a batch at a time, one query and one read transaction a batch instead of one a
    // row, and hand them out one by one (TableWalk.cpp). Each batch is as the file stood when it
    // was read: a row another connection deletes after that is still met, one it adds among rows
    // already read is not. Any other move, a write through this table, Refresh, or a change of
    // index, range or filter drops what was read ahead. TTableReadAhead turns it on for a scope.
    // Batch is the rows a query reads: the rows the walk is known to want, or a few hundred.
    void SetReadAhead(bool On, int Batch = 256);
    [[nodiscard]] bool ReadAhead() const;
    [[nodiscard]] bool Bof() const;
    [[nodiscard]] bool Eof() const;
    [[nodiscard]] bool IsEmpty() const;
    // Records within the range and the filter.
    [[nodiscard]] int RecordCount();
    // Re-reads the current record, or the nearest one when it is gone.
    void Refresh();

    // Exact search on the leading fields of the current index; the first match in index order
    // becomes current. Not found: false, the cursor stays.
    [[nodiscard]] bool FindKey(const QVariantList& Values);
    // The value of ResultField in the first record, in the order of the index IndexName, whose
    // leading index fields equal Values; an invalid QVariant when there is none. As the framework's
    // Lookup it leaves the cursor, the current index, a range and a filter alone, so a look-up in
    // another index costs no repositioning (bulk work asks it once or twice a record).
    [[nodiscard]] QVariant LookupKey(const QString& IndexName, const QVariantList& Values, const QString& ResultField);
    // For each of Keys, the field values (in field order, as the table keeps them: text, days,
    // integers) of the first record in the order of the index IndexName whose leading index fields
    // equal the key; an empty list where there is none. One read transaction for all of them, so a
    // walk that looks up a batch of rows takes the file's lock once. As LookupKey it leaves the
    // cursor, the current index, a range and a filter alone.
    [[nodiscard]] std::vector<QVariantList> LookupRecords(const QString& IndexName, const QList<QVariantList>& Keys);
    // Limits the cursor to the records whose leading index fields lie between Low and High
    // (inclusive) and goes to the first of them.
    void SetRange(const QVariantList& Low, const QVariantList& High);
    void CancelRange();
    [[nodiscard]] bool RangeActive() const;

    // A filter: SqlWhere (a condition on the table's columns with "?" parameters) narrows the rows
    // in SQLite; Predicate, when given, sees each remaining row as the current record and accepts
    // or refuses it. It takes effect while Filtered is true. In SqlWhere a text column compares
    // in CP932 order, with ASCII case folded where a case-insensitive index covers the column
    // (write "Col COLLATE CP932 = ?" for an exact match there); LIKE folds ASCII case as always.
    void SetFilter(std::function<bool(TTable&)> Predicate, const QString& SqlWhere = {},
                   const QVariantList& Params = {});
    // Turning it on or off goes to the first row that passes. With GoToFirst false the cursor stays
    // where it stood, on a row the filter may refuse, for a caller that moves it itself next: under
    // a condition few rows meet, the walk to the first of them reads most of the table.
    void SetFiltered(bool Value, bool GoToFirst = true);
    [[nodiscard]] bool Filtered() const;

    // The row's identity; valid for the life of the row.
    [[nodiscard]] qint64 GetBookmark() const;
    [[nodiscard]] bool GotoBookmark(qint64 Bookmark);

    void Append();
    void Insert() { Append(); }
    void Edit();
    void Post();
    void Cancel();
    void Delete();

    // The fields of the open table; they are made anew by each Open, so keep no reference across a Close.
    [[nodiscard]] TField& FieldByName(const QString& Name);
    [[nodiscard]] TField* FindField(const QString& Name);
    [[nodiscard]] int FieldCount() const;
    [[nodiscard]] TField& Fields(int Index);

    // Bulk work: one transaction, with a savepoint where a single record may be refused.
    void StartTransaction();
    void Commit();
    void Rollback();
    [[nodiscard]] bool InTransaction() const;
    void Savepoint(const QString& Name);
    void ReleaseSavepoint(const QString& Name);
    void RollbackToSavepoint(const QString& Name);
    // Loading into a table that held no row when its bulk transaction began: the secondary indexes
    // are dropped inside the transaction and Commit builds each again in one sorted pass, instead of
    // every record being threaded into every index as it comes. Kept are the indexes named in Keep
    // (the run looks records up by them) and the unique ones (they must refuse a record as it comes).
    // Call it right after StartTransaction; a table holding rows keeps its indexes. Since the drop is
    // part of the transaction, a rollback, a Close without Commit or a crash bring the indexes back
    // with the empty table. Answers whether any index was deferred.
    bool DeferIndexes(const QStringList& Keep = {});
    // A read transaction: a long walk keeps the file's read lock and its cached pages until Commit,
    // instead of taking the lock and checking the file anew for every record.
    void StartReadTransaction();

    // Bulk rewrite of a few fields of every row, whatever range or filter is set, in the order of the
    // primary index. Only the fields Read are read, in batches; Change sees their values and answers
    // true with the new values of the fields Write (in that order) for the row to be written. A write
    // sets those fields alone, so the indexes over the other fields stay untouched; a row one of the
    // table's constraints refuses keeps all its old values and counts as refused. The
    // rewrite runs inside the caller's transaction, or else in one of its own that it commits at the
    // end, so that a crash half-way leaves the table as it was before. The primary index's fields
    // cannot be written this way. The current record is read anew afterwards.
    struct TRewriteCount
    {
        qint64 Rows = 0;
        qint64 Written = 0;
        qint64 Refused = 0;
    };
    TRewriteCount RewriteRows(const QStringList& Read, const QStringList& Write,
                              const std::function<bool(const QVariantList& Values, QVariantList& NewValues)>& Change);

    // Maintenance of an open table. Pack rewrites the file in place, from the statements its schema
    // holds: it refuses (EForeignTableError) a file whose schema is not exactly what the engine
    // makes of the table's definition.
    void Pack();
    // Problems PRAGMA integrity_check finds; empty when the file is sound.
    [[nodiscard]] QStringList IntegrityCheck();
    // Checks, rebuilds every index and checks again; answers what the first check found and
    // throws when problems remain.
    QStringList RegenerateIndexes();
    // Rebuilds the closed table's file from Def, the definition its caller creates the table with:
    // a new file beside it is made as CreateTable makes one (with the password the session opened
    // the old file with), receives every row column by column, is checked (integrity and row count)
    // and only then takes the old file's place. Nothing of the old file's schema is run. Answers
    // the rows copied. A file whose definition, columns or other objects differ from what the engine
    // makes of Def (another table, a trigger, a view) is refused with EForeignTableError; its indexes
    // may differ, since the new file gets the definition's. On any failure the old file stays as it
    // was and EDatabaseError says why. BeforeRename sees the checked new file just before the swap.
    // RenumberField, an integer field, is given the values 0 .. n-1 in its own order on the way:
    // the whole table is renumbered at once, so no two rows ever share a number.
    qint64 Rebuild(const TTableDef& Def, const std::function<void(const QString& NewFile)>& BeforeRename = {},
                   const QString& RenumberField = {});
    // What a salvage saved of a damaged file: the rows read and written into the new file; the rows
    // beyond those that the old file's indexes still count (-1 when no index could be counted
    // either); and SQLite's steps in reading, for a guard on its cost.
    struct TSalvageCount
    {
        qint64 Saved = 0;
        qint64 Lost = 0;
        qint64 Steps = 0;
    };
    // Rebuild of a file with damaged pages or cut short: as Rebuild, but the rows are read one by one
    // in the table's own order, and a stretch that cannot be read is passed over to the next row that
    // can; a row the new file refuses counts as lost. The file's definition and its schema must still
    // be readable.
    TSalvageCount Salvage(const TTableDef& Def, const std::function<void(const QString& NewFile)>& BeforeRename = {});
    // A consistent copy of the open table's file, written under a temporary name and renamed.
    void CopyTo(const QString& DestFile);
    // How the open table's connection is set up: the value of a setting such as "journal_mode",
    // "synchronous", "busy_timeout" or "locking_mode", as SQLite reports it.
    [[nodiscard]] QString ConnectionSetting(const QString& Name);

private:
    friend class TField;
    // The cursor, the record buffers, the indexes, the statements and the connection (TableImpl.h):
    // kept out of this header, so that a change inside the engine rebuilds the engine alone.
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

// Turns a table's read-ahead on for its life (a long walk, such as an export, over rows nothing
// of this program changes meanwhile) and back to what it was after.
class TTableReadAhead
{
public:
    explicit TTableReadAhead(TTable& Table, int Batch = 256) : FTable(Table), FWas(Table.ReadAhead())
    {
        FTable.SetReadAhead(true, Batch);
    }
    ~TTableReadAhead() { FTable.SetReadAhead(FWas); }
    TTableReadAhead(const TTableReadAhead&) = delete;
    TTableReadAhead& operator=(const TTableReadAhead&) = delete;

private:
    TTable& FTable;
    bool FWas;
};

// Commits on Commit(), rolls back when it goes out of scope without.
class TTableTransaction
{
public:
    explicit TTableTransaction(TTable& Table) : FTable(Table) { FTable.StartTransaction(); }
    ~TTableTransaction();
    void Commit();
    TTableTransaction(const TTableTransaction&) = delete;
    TTableTransaction& operator=(const TTableTransaction&) = delete;

private:
    TTable& FTable;
    bool FDone = false;
};

// A read transaction that ends on every way out (see TTable::StartReadTransaction).
class TTableReading
{
public:
    explicit TTableReading(TTable& Table) : FTable(Table) { FTable.StartReadTransaction(); }
    ~TTableReading();
    TTableReading(const TTableReading&) = delete;
    TTableReading& operator=(const TTableReading&) = delete;

private:
    TTable& FTable;
};

// The SQLite VM steps the engine's statements have taken so far in this process. A statement's
// steps count once it is used again or its table is closed: read it around a walk whose tables
// are closed afterwards.
[[nodiscard]] long long TableVmSteps();

// What the engine did in this process since the last reset, for tests that hold a walk's cost to
// the rows it meets: statements prepared and stepped, rows a step returned, rows a statement
// inserted, changed or deleted, and SQLite VM steps (counted as TableVmSteps counts them).
struct TTableCounters
{
    long long Prepared = 0;
    long long Stepped = 0;
    long long RowsRead = 0;
    long long RowsWritten = 0;
    long long VmSteps = 0;
};
[[nodiscard]] TTableCounters TableCounters();
void ResetTableCounters();

// A consistent copy of a table file, open elsewhere or closed, for backups. The copy is written
// under a temporary name and renamed into place.
void BackupTableFile(const QString& SourceFile, const QString& DestFile);

// Puts the finished table file NewFile in the place of Dest, on the same file system: the journal
// and WAL a killed writer left of the old file go, the new file and the folder are on disk when it
// returns. Every copy, restore, conversion and rebuild of a table ends here. On failure NewFile is
// removed and Dest is as it was.
void PutTableFileInPlace(const QString& NewFile, const QString& Dest);

// Removes from Folder the temporary files the engine writes a table under before it is put into
// place (and their journals), last changed before Before: those a killed copy or rebuild left.
// A file a running program is still writing is newer than that program's start. Answers how many
// went.
int RemoveLeftTemporaries(const QString& Folder, const QDateTime& Before);
