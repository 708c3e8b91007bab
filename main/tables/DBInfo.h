#pragma once

#include "platform/db/Table.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <utility>

class THistoryData;

// The program's master password: every table the program creates carries it, and the session
// holds it for the life of the data module.
inline const QString MasterPassword = QStringLiteral("wupkat39");

inline const QString RecvHisFileName = QStringLiteral("RecvHis.DB");
inline const QString MeiboFileName = QStringLiteral("Meibo.DB");
inline const QString RecvHisOpenError = QStringLiteral("着信対応履歴ファイルがオープンできませんでした  ");
inline const QString MeiboOpenError = QStringLiteral("登録名簿ファイルがオープンできませんでした  ");

// Fields and indexes of the call history and of the directory of known callers.
[[nodiscard]] TTableDef RecvHisTableDef();
[[nodiscard]] TTableDef MeiboTableDef();

enum class TDataTable
{
    RecvHis,
    Meibo
};

// Whether a data module's tables and pick lists are also the program-wide ones (the globals below),
// which the code not yet handed its tables still reaches; a module made for one run or for a test
// keeps them to itself.
enum class TModuleReach
{
    ProgramWide,
    Private
};

// The data module: owns the two main tables and the four pick lists, creates a missing table at
// its first open and hands the tables out through a counted open and close, so that any number of
// windows share one table object: the first open opens it, the last close closes it.
class TDMVxRelvo16
{
public:
    // DataPath: the folder of the tables and pick lists; ProgramFolder: where the seed of the
    // rank list lies (under "Common/History/"). Both with or without a trailing "/".
    TDMVxRelvo16(const QString& DataPath, const QString& ProgramFolder,
                 TModuleReach Reach = TModuleReach::ProgramWide);
    ~TDMVxRelvo16();
    TDMVxRelvo16(const TDMVxRelvo16&) = delete;
    TDMVxRelvo16& operator=(const TDMVxRelvo16&) = delete;

    [[nodiscard]] const QString& DataPath() const { return FDataPath; }
    // Takes effect for the table objects and pick lists created afterwards.
    void SetDataPath(const QString& DataPath);
    // Points every table and pick list at another data folder (no table may be in use): the
    // tables are remade for the new folder, the lists are remade and loaded from it. A list of the
    // new folder that cannot be read throws its EHistoryDataError, with everything still on the
    // folder it was on.
    void ChangeDataPath(const QString& DataPath);

    void CreateRecvHisTable();
    void CreateMeiboTable();
    // The same table objects with exclusive access, for maintenance that no other program may see
    // half-done.
    void CreateRecvHisTableExclusive();
    void CreateMeiboTableExclusive();
    void CreateRankHistory();
    void CreateSelItemHistory(int Index);
    bool LoadRankHistory();
    bool LoadSelItemHistory(int Index);

    // Counted open: true when the table is open afterwards. A table that is not open answers
    // false, whatever the count; the caller closes exactly once either way.
    bool OpenRecvHis();
    bool OpenMeibo();
    void CloseRecvHis();
    void CloseMeibo();
    bool Open(TDataTable Table);
    void Close(TDataTable Table);

    void ClearRankHistory();
    void ClearSelItemHistory(int Index);
    void FreeRecvHisTable();
    void FreeMeiboTable();
    void FreeRankHistory();
    void FreeSelItemHistory(int Index);

    // While set, an open that fails only because another program holds the table's lock says
    // nothing: the caller tries again later and tells the user itself. LastOpenBusy answers
    // whether the last failed open failed so.
    bool QuietWhenBusy = false;
    [[nodiscard]] bool LastOpenBusy() const { return FLastOpenBusy; }
    // While set, no failed open says anything: the caller keeps what it meant to write and tells the
    // user itself, once, why (LastOpenCode: SQLite's code of the last failed open, 0 when it had none).
    bool QuietOnFailure = false;
    [[nodiscard]] int LastOpenCode() const { return FLastOpenCode; }
    // The boxes the quiet opens did not show, each once, since the last take.
    [[nodiscard]] QStringList TakeQuietFailures() { return std::exchange(FQuietFailures, {}); }

    // The module's own objects, null until created: what the windows, stores and runs it is handed
    // to work on.
    [[nodiscard]] TTable* RecvHis() const { return FRecvHis.get(); }
    [[nodiscard]] TTable* Meibo() const { return FMeibo.get(); }
    [[nodiscard]] THistoryData* Rank() const { return FRank.get(); }
    [[nodiscard]] THistoryData* SelItem(int Index) const;

    [[nodiscard]] int RecvHisOpenCount() const { return FRecvHisOpenCount; }
    [[nodiscard]] int MeiboOpenCount() const { return FMeiboOpenCount; }

private:
    bool CountedOpen(TTable* Table, int& Count, const TTableDef& Def, const QString& FailText);
    static void CountedClose(TTable* Table, int& Count);
    [[nodiscard]] TTable* NewTable(const QString& FileName) const;
    [[nodiscard]] std::unique_ptr<THistoryData> NewRankHistory() const;
    [[nodiscard]] std::unique_ptr<THistoryData> NewSelItemHistory(int Index) const;
    // Puts the program-wide pointer in step with one of the module's objects as it changes.
    template <class T> void Reach(T*& Global, T* Old, T* New) const;
    void PutRank(std::unique_ptr<THistoryData> List);
    void PutSelItem(int Index, std::unique_ptr<THistoryData> List);

    TModuleReach FReach;
    std::unique_ptr<TTable> FRecvHis;
    std::unique_ptr<TTable> FMeibo;
    std::unique_ptr<THistoryData> FRank;
    std::array<std::unique_ptr<THistoryData>, 3> FSelItems;
    QString FDataPath;
    QString FProgramFolder;
    int FRecvHisOpenCount = 0;
    int FMeiboOpenCount = 0;
    bool FLastOpenBusy = false;
    int FLastOpenCode = 0;
    QStringList FQuietFailures;
};

// The program-wide objects: those of the start-up's data module, null until created. Only the wiring
// edge (the programs' start-up) should reach them; everything else is handed its tables.
extern TDMVxRelvo16* DMVxRelvo16;
extern TTable* RecvHisTable;
extern TTable* MeiboTable;
extern THistoryData* RankHistory;
extern std::array<THistoryData*, 3> SelItemHistory;

// Brackets one use of a table: opens it through the data module and closes it again when it goes
// out of scope, whatever happened in between.
class TTableUse
{
public:
    TTableUse(TDMVxRelvo16& Module, TDataTable Table) : FModule(Module), FTable(Table), FOpen(Module.Open(Table)) {}
    ~TTableUse() { FModule.Close(FTable); }
    TTableUse(const TTableUse&) = delete;
    TTableUse& operator=(const TTableUse&) = delete;
    // Whether the table is open for this use.
    [[nodiscard]] bool Opened() const { return FOpen; }

private:
    TDMVxRelvo16& FModule;
    TDataTable FTable;
    bool FOpen;
};

// Sets one of the data module's quiet flags for a scope and puts it back after.
class TQuietScope
{
public:
    explicit TQuietScope(bool TDMVxRelvo16::*Flag) : TQuietScope(DMVxRelvo16, Flag) {}
    TQuietScope(TDMVxRelvo16* Module, bool TDMVxRelvo16::*Flag) : FModule(Module), FFlag(Flag)
    {
        if (FModule) {
            FWas = FModule->*FFlag;
            FModule->*FFlag = true;
        }
    }
    ~TQuietScope()
    {
        if (FModule)
            FModule->*FFlag = FWas;
    }
    TQuietScope(const TQuietScope&) = delete;
    TQuietScope& operator=(const TQuietScope&) = delete;

private:
    TDMVxRelvo16* FModule;
    bool TDMVxRelvo16::*FFlag;
    bool FWas = false;
};

// While the call road reads or writes the history (or reloads the list after a call), a lock another
// program holds on it is the road's to report; it tries again later and tells the user once.
class TQuietWhenBusy : public TQuietScope
{
public:
    TQuietWhenBusy() : TQuietScope(&TDMVxRelvo16::QuietWhenBusy) {}
};

// The call road's own reads and writes of the history keep a call they cannot write and say why once
// per outage, not once per open.
class TQuietOpen : public TQuietScope
{
public:
    TQuietOpen() : TQuietScope(&TDMVxRelvo16::QuietOnFailure) {}
    explicit TQuietOpen(TDMVxRelvo16& Module) : TQuietScope(&Module, &TDMVxRelvo16::QuietOnFailure) {}
};
