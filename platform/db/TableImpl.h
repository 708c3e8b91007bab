#pragma once

// The private state of a table object and the engine's work on it; nothing outside platform/db
// includes this. TTable hands each public call to the method of the same name here
// (TableForward.cpp), so that the engine's parts work on the members directly and a change here
// rebuilds the engine alone, not every part of the program that opens a table.

#include "platform/db/Table.h"
#include "platform/db/TableInternal.h"

#include <QHash>
#include <sqlite3.h>

struct TTable::TImpl
{
    TImpl(TTable& Self, TSession& Session) : FSelf(Self), FSession(Session) {}
    TImpl(const TImpl&) = delete;
    TImpl& operator=(const TImpl&) = delete;

    // TTable's public methods, as Table.h describes them.
    void SetDatabaseName(const QString& Folder);
    [[nodiscard]] const QString& DatabaseName() const { return FDatabaseName; }
    void SetTableName(const QString& FileName);
    [[nodiscard]] const QString& TableName() const { return FTableName; }
    [[nodiscard]] QString FileName() const;
    [[nodiscard]] bool Exists() const;
    void CreateTable(const TTableDef& Def, const QString& Password = {});
    void DeleteTable();
    void SetExclusive(bool Value);
    [[nodiscard]] bool Exclusive() const { return FExclusive; }
    void Open();
    void Close();
    void SetActive(bool Value) { Value ? Open() : Close(); }
    [[nodiscard]] bool Active() const { return FDb != nullptr; }
    [[nodiscard]] TDataSetState State() const { return FState; }
    [[nodiscard]] const TTableDef& Definition() const { return FDef; }
    [[nodiscard]] bool Protected() const { return FProtected; }
    [[nodiscard]] const QString& IndexName() const { return FIndexName; }
    void SetIndexName(const QString& Name);
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int Distance);
    void SetReadAhead(bool On, int Batch = 256);
    [[nodiscard]] bool ReadAhead() const { return FAhead.On; }
    [[nodiscard]] bool Bof() const { return FBof; }
    [[nodiscard]] bool Eof() const { return FEof; }
    [[nodiscard]] bool IsEmpty() const { return FBof && FEof && !FHasCurrent; }
    [[nodiscard]] int RecordCount();
    void Refresh();
    [[nodiscard]] bool FindKey(const QVariantList& Values);
    [[nodiscard]] QVariant LookupKey(const QString& IndexName, const QVariantList& Values, const QString& ResultField);
    [[nodiscard]] std::vector<QVariantList> LookupRecords(const QString& IndexName, const QList<QVariantList>& Keys);
    void SetRange(const QVariantList& Low, const QVariantList& High);
    void CancelRange();
    [[nodiscard]] bool RangeActive() const { return FRangeActive; }
    void SetFilter(std::function<bool(TTable&)> Predicate, const QString& SqlWhere = {},
                   const QVariantList& Params = {});
    void SetFiltered(bool Value, bool GoToFirst = true);
    [[nodiscard]] bool Filtered() const { return FFiltered; }
    [[nodiscard]] qint64 GetBookmark() const;
    [[nodiscard]] bool GotoBookmark(qint64 Bookmark);
    void Append();
    void Insert() { Append(); }
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    [[nodiscard]] TField& FieldByName(const QString& Name);
    [[nodiscard]] TField* FindField(const QString& Name);
    [[nodiscard]] int FieldCount() const { return static_cast<int>(FFields.size()); }
    [[nodiscard]] TField& Fields(int Index) { return *FFields.at(static_cast<size_t>(Index)); }
    void StartTransaction();
    void Commit();
    void Rollback();
    [[nodiscard]] bool InTransaction() const;
    void Savepoint(const QString& Name);
    void ReleaseSavepoint(const QString& Name);
    void RollbackToSavepoint(const QString& Name);
    bool DeferIndexes(const QStringList& Keep = {});
    void StartReadTransaction();
    TRewriteCount RewriteRows(const QStringList& Read, const QStringList& Write,
                              const std::function<bool(const QVariantList& Values, QVariantList& NewValues)>& Change);
    void Pack();
    [[nodiscard]] QStringList IntegrityCheck();
    QStringList RegenerateIndexes();
    qint64 Rebuild(const TTableDef& Def, const std::function<void(const QString& NewFile)>& BeforeRename = {},
                   const QString& RenumberField = {});
    TSalvageCount Salvage(const TTableDef& Def, const std::function<void(const QString& NewFile)>& BeforeRename = {});
    void CopyTo(const QString& DestFile);
    [[nodiscard]] QString ConnectionSetting(const QString& Name);

    // The table object this is the state of: what a filter's predicate and the fields are given.
    TTable& FSelf;

    // The engine's own work and state.
    struct TIndexInfo
    {
        QString Name;
        QList<int> FieldIndexes;
        QStringList Columns; // with their collations
        bool Primary = false;
    };
    using TBuffer = std::vector<QVariant>;
    struct TRow
    {
        qint64 RowId = 0;
        TBuffer Values;
    };

    qint64 RebuildFile(const TTableDef& Def, const std::function<void(const QString& NewFile)>& BeforeRename,
                       const QString& RenumberField, TSalvageCount* Salvaged);
    void CheckActive() const;
    void CheckBrowseMode();
    void Connect(bool Create, const QString& Path);
    void Disconnect();
    void Exec(const QString& Sql);
    sqlite3_stmt* Prepare(const QString& Sql);
    // A statement run for every record of bulk work, held where it needs no look-up by its text:
    // hashing an insert of sixty fields costs more than binding them.
    sqlite3_stmt* PrepareKept(sqlite3_stmt*& Kept, const QString& Sql);
    void ForgetStatements();
    // Sets (or releases) the savepoint Name through kept statements; answers SQLite's code.
    int RunKeptSavepoint(const QString& Name, bool Release);
    // Runs a statement without parameters or rows; answers SQLite's code.
    int Step(const QString& Sql);
    void Bind(sqlite3_stmt* Statement, const QVariantList& Values);
    [[noreturn]] void Fail(const QString& What) const;
    void ReadDefinition();
    void BuildIndexes();
    [[nodiscard]] TRow ReadRow(sqlite3_stmt* Statement) const;
    [[nodiscard]] const QString& SelectList() const;
    void BuildStatements();
    static void BindValue(sqlite3_stmt* Statement, int Position, const QVariant& Value);
    [[nodiscard]] const TIndexInfo& CurrentIndex() const;
    [[nodiscard]] QVariant ToStorage(int FieldIndex, const QVariant& Value) const;
    [[nodiscard]] QVariantList KeyOf(const TRow& Row) const;
    // The range and the filter as a condition; walking on from After, a range bound that After
    // already lies beyond is left out.
    [[nodiscard]] QString BaseWhere(QVariantList& Binds, const TRow* After = nullptr, bool Forward = true) const;
    [[nodiscard]] bool IndexFolds() const;
    [[nodiscard]] int CompareToBound(const QVariantList& Key, const QVariantList& Bound) const;
    // Walks from From (or an end of the index when null) and stops at the Count-th accepted row,
    // which becomes current; answers the number of accepted rows passed. Nothing passed: the
    // current record stays.
    [[nodiscard]] std::vector<TRow> Fetch(bool Forward, const TRow* Start, int Limit, const QString& Extra,
                                          const QVariantList& ExtraBinds);
    int Walk(bool Forward, const TRow* From, int Count, const QString& Extra = {}, const QVariantList& ExtraBinds = {});
    [[nodiscard]] bool Accepts(TRow& Row);
    [[nodiscard]] bool ReadByRowId(qint64 RowId, TRow& Row);
    void SetCurrent(TRow Row);
    void SetEmpty();
    void Reposition(const TRow& Old);
    [[nodiscard]] QString SqlTableName() const;
    // Builds the indexes DeferIndexes dropped (TableBulkLoad.cpp).
    void BuildDeferredIndexes();
    // The index named Name, the statement text of an exact search on Values.size() of its leading
    // fields answering Select, and the key bound to it.
    struct TKeySearch
    {
        const TIndexInfo* Index = nullptr;
        QVariantList Binds;
    };
    [[nodiscard]] TKeySearch KeySearch(const QString& IndexName, const QVariantList& Values, const char* What) const;
    [[nodiscard]] QString KeySearchSql(const TIndexInfo& Index, int KeyLength, const QString& Select) const;

    class TReadTransaction;
    // The read-ahead of MoveBy's single steps: the rows after the current one (Anchor) in the
    // direction of the walk, as of Changes of the connection's writes.
    struct TReadAhead
    {
        bool On = false;
        int Batch = 256;
        bool Forward = true;
        bool AtEnd = false;
        std::vector<TRow> Rows;
        size_t Next = 0;
        TRow Last; // the last row read, where the next batch starts
        qint64 Anchor = -1;
        qint64 Changes = -1;
    };
    void DropReadAhead();
    [[nodiscard]] int StepReadAhead(bool Forward);
    TReadAhead FAhead;

    TSession& FSession;
    QString FDatabaseName;
    QString FTableName;
    QString FSqlName;
    bool FExclusive = false;
    std::unique_ptr<TableInternal::TOpenLock> FOpenLock;
    sqlite3* FDb = nullptr;
    QHash<QString, sqlite3_stmt*> FStatements;
    QHash<QString, QString> FLookupSql; // LookupKey's statements by index, key length and field

    TTableDef FDef;
    bool FProtected = false;
    QString FPassword; // the session's password the open table took; a rebuilt file is protected by it
    std::vector<std::unique_ptr<TField>> FFields;
    QHash<QString, int> FFieldIndex; // lower-case name -> index
    QHash<QString, int> FFieldExact;
    std::vector<TIndexInfo> FIndexes;
    int FCurrentIndex = 0;
    QString FIndexName;
    bool FRowIdIsPrimary = false;
    int FPrimaryField = -1;
    QString FSelectList;
    QString FInsertSql;
    QString FInsertNumberedSql; // without the auto-increment field
    QString FUpdateSql;
    // Statements of FStatements kept by PrepareKept; finalized with them.
    struct TKeptStatements
    {
        sqlite3_stmt* Insert = nullptr;
        sqlite3_stmt* InsertNumbered = nullptr;
        sqlite3_stmt* Update = nullptr;
        QString Savepoint; // the name the two below were prepared for
        sqlite3_stmt* SetSavepoint = nullptr;
        sqlite3_stmt* ReleaseSavepoint = nullptr;
    } FKept;
    int FAutoIncField = -1;
    QStringList FDeferredIndexes; // the definition's statements of the indexes a bulk load dropped

    TDataSetState FState = TDataSetState::Inactive;
    bool FHasCurrent = false;
    TRow FCurrent;
    TRow FSaved; // the record before Edit or Append, for Cancel
    TBuffer FBlank;
    bool FBof = true;
    bool FEof = true;

    bool FRangeActive = false;
    QVariantList FRangeLow;
    QVariantList FRangeHigh;
    std::function<bool(TTable&)> FPredicate;
    QString FFilterSql;
    QVariantList FFilterParams;
    bool FFiltered = false;
};

// One read transaction around a run of queries on a connection not already in one: the file's
// lock is taken once for the run instead of once a query.
class TTable::TImpl::TReadTransaction
{
public:
    explicit TReadTransaction(TImpl& Table) : FTable(Table)
    {
        if (sqlite3_get_autocommit(FTable.FDb))
            FStarted = FTable.Step(QStringLiteral("BEGIN")) == SQLITE_DONE;
    }
    ~TReadTransaction()
    {
        if (FStarted)
            FTable.Step(QStringLiteral("COMMIT"));
    }
    TReadTransaction(const TReadTransaction&) = delete;
    TReadTransaction& operator=(const TReadTransaction&) = delete;

private:
    TImpl& FTable;
    bool FStarted = false;
};
