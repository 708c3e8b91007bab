// A posted row is on disk when Post returns, and a table that loses power half-way through a write
// comes back sound: the connection's settings, and a machine that loses what was never synced.
#include "platform/db/Table.h"
#include "tests/support/SqlRows.h"

#include <QTemporaryDir>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <new>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

TTableDef LogDef()
{
    // Every row touches several index pages, so one commit writes a handful of pages.
    return {{{"RecNo", TFieldType::Integer, 0},
             {"Name", TFieldType::String, 20},
             {"Tel", TFieldType::String, 13},
             {"Stamp", TFieldType::DateTime, 0},
             {"Note", TFieldType::Memo, 100}},
            {{"", "RecNo", true, true, false},
             {"Name", "Name", false, false, true},
             {"Tel", "Tel", false, false, false},
             {"Stamp", "Stamp", false, false, false}}};
}

void CreateLog(TTable& Table, const QString& Folder)
{
    Table.SetDatabaseName(Folder);
    Table.SetTableName("Log.DB");
    Table.CreateTable(LogDef());
}

TTable& OpenLog(TTable& Table, const QString& Folder)
{
    Table.SetDatabaseName(Folder);
    Table.SetTableName("Log.DB");
    Table.Open();
    return Table;
}

TEST(TableDurabilityTest, ConnectionKeepsAJournalOnDiskAndSyncsEveryCommit)
{
    QTemporaryDir Dir;
    TTable Table;
    Table.SetDatabaseName(Dir.path());
    Table.SetTableName("Log.DB");
    Table.CreateTable(LogDef());

    TSession Patient;
    Patient.SetBusyTimeout(1234);
    TTable Shared(Patient);
    OpenLog(Shared, Dir.path());
    EXPECT_EQ(Shared.ConnectionSetting("journal_mode").toStdString(), "delete");
    EXPECT_EQ(Shared.ConnectionSetting("synchronous").toStdString(), "2"); // FULL
    EXPECT_EQ(Shared.ConnectionSetting("busy_timeout").toStdString(), "1234");
    EXPECT_EQ(Shared.ConnectionSetting("locking_mode").toStdString(), "normal");
    EXPECT_THROW((void)Shared.ConnectionSetting("journal_mode=OFF"), EDatabaseError);
    EXPECT_EQ(Shared.ConnectionSetting("journal_mode").toStdString(), "delete");
    Shared.Close();

    TTable Alone;
    Alone.SetExclusive(true);
    OpenLog(Alone, Dir.path());
    EXPECT_EQ(Alone.ConnectionSetting("journal_mode").toStdString(), "delete");
    EXPECT_EQ(Alone.ConnectionSetting("synchronous").toStdString(), "2");
    EXPECT_EQ(Alone.ConnectionSetting("busy_timeout").toStdString(), std::to_string(DefaultSession().BusyTimeout()));
    EXPECT_EQ(Alone.ConnectionSetting("locking_mode").toStdString(), "exclusive");
}

// ---- a machine that loses power
//
// Every file write goes to the disk at once, as the page cache would have it, but is remembered
// until the file is synced. At the chosen write of the table file the power goes: the files go
// back to their last synced state, and of the writes since, a fixed random half reach the disk
// after all, in their order. Creating and deleting files counts as done when it returns.

struct TWrite
{
    sqlite3_int64 Offset;
    std::string Old;
    std::string New;
};

struct TUnsynced
{
    sqlite3_int64 SyncedSize = 0;
    std::vector<TWrite> Writes;
};

struct TMachine
{
    sqlite3_vfs* Real = nullptr;
    sqlite3_vfs Vfs{};
    std::map<std::string, TUnsynced> Unsynced;
    int TableWrites = 0;
    int PowerOffAt = 0;
    unsigned Seed = 1;
};
TMachine Machine;

struct TLossFile
{
    sqlite3_file Base;
    sqlite3_file* Real;
    std::string* Path; // null for SQLite's nameless temporary files
};

sqlite3_file* RealOf(sqlite3_file* File)
{
    return reinterpret_cast<TLossFile*>(File)->Real;
}

constexpr int PowerOffExit = 42;

[[noreturn]] void PowerOff()
{
    for (auto& [Path, Pending] : Machine.Unsynced) {
        const int Fd = ::open(Path.c_str(), O_RDWR);
        if (Fd < 0)
            continue;
        for (auto Write = Pending.Writes.rbegin(); Write != Pending.Writes.rend(); ++Write)
            (void)!::pwrite(Fd, Write->Old.data(), Write->Old.size(), Write->Offset);
        (void)!::ftruncate(Fd, Pending.SyncedSize);
        for (const TWrite& Write : Pending.Writes)
            if (rand_r(&Machine.Seed) & 1)
                (void)!::pwrite(Fd, Write.New.data(), Write.New.size(), Write.Offset);
        ::close(Fd);
    }
    _exit(PowerOffExit);
}

int LossClose(sqlite3_file* File)
{
    auto* Self = reinterpret_cast<TLossFile*>(File);
    const int Rc = Self->Real->pMethods->xClose(Self->Real);
    delete Self->Path;
    return Rc;
}

int LossRead(sqlite3_file* File, void* Buffer, int Amount, sqlite3_int64 Offset)
{
    return RealOf(File)->pMethods->xRead(RealOf(File), Buffer, Amount, Offset);
}

int LossWrite(sqlite3_file* File, const void* Buffer, int Amount, sqlite3_int64 Offset)
{
    auto* Self = reinterpret_cast<TLossFile*>(File);
    if (Self->Path) {
        if (Self->Path->ends_with("/Log.DB") && ++Machine.TableWrites == Machine.PowerOffAt)
            PowerOff();
        TUnsynced& Pending = Machine.Unsynced[*Self->Path];
        if (Pending.Writes.empty())
            Self->Real->pMethods->xFileSize(Self->Real, &Pending.SyncedSize);
        std::string Old(static_cast<size_t>(Amount), '\0');
        (void)Self->Real->pMethods->xRead(Self->Real, Old.data(), Amount, Offset); // zeros past the end
        Pending.Writes.push_back({Offset, std::move(Old), std::string(static_cast<const char*>(Buffer), Amount)});
    }
    return Self->Real->pMethods->xWrite(Self->Real, Buffer, Amount, Offset);
}

int LossTruncate(sqlite3_file* File, sqlite3_int64 Size)
{
    auto* Self = reinterpret_cast<TLossFile*>(File);
    if (Self->Path)
        Machine.Unsynced.erase(*Self->Path);
    return Self->Real->pMethods->xTruncate(Self->Real, Size);
}

int LossSync(sqlite3_file* File, int Flags)
{
    auto* Self = reinterpret_cast<TLossFile*>(File);
    const int Rc = Self->Real->pMethods->xSync(Self->Real, Flags);
    if (Rc == SQLITE_OK && Self->Path)
        Machine.Unsynced.erase(*Self->Path);
    return Rc;
}

int LossFileSize(sqlite3_file* File, sqlite3_int64* Size)
{
    return RealOf(File)->pMethods->xFileSize(RealOf(File), Size);
}
int LossLock(sqlite3_file* File, int Level)
{
    return RealOf(File)->pMethods->xLock(RealOf(File), Level);
}
int LossUnlock(sqlite3_file* File, int Level)
{
    return RealOf(File)->pMethods->xUnlock(RealOf(File), Level);
}
int LossCheckReservedLock(sqlite3_file* File, int* Out)
{
    return RealOf(File)->pMethods->xCheckReservedLock(RealOf(File), Out);
}
int LossFileControl(sqlite3_file* File, int Op, void* Arg)
{
    return RealOf(File)->pMethods->xFileControl(RealOf(File), Op, Arg);
}
int LossSectorSize(sqlite3_file* File)
{
    return RealOf(File)->pMethods->xSectorSize(RealOf(File));
}
int LossDeviceCharacteristics(sqlite3_file* File)
{
    // No atomic batch writes: every page goes through LossWrite.
    return RealOf(File)->pMethods->xDeviceCharacteristics(RealOf(File)) & ~SQLITE_IOCAP_BATCH_ATOMIC;
}

// Version 1: no shared memory and no memory-mapped reads, so every write is seen here.
const sqlite3_io_methods LossMethods = {1,
                                        LossClose,
                                        LossRead,
                                        LossWrite,
                                        LossTruncate,
                                        LossSync,
                                        LossFileSize,
                                        LossLock,
                                        LossUnlock,
                                        LossCheckReservedLock,
                                        LossFileControl,
                                        LossSectorSize,
                                        LossDeviceCharacteristics,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr};

int LossOpen(sqlite3_vfs*, sqlite3_filename Name, sqlite3_file* File, int Flags, int* OutFlags)
{
    auto* Self = reinterpret_cast<TLossFile*>(File);
    Self->Base.pMethods = nullptr;
    Self->Real = reinterpret_cast<sqlite3_file*>(Self + 1);
    Self->Path = nullptr;
    const int Rc = Machine.Real->xOpen(Machine.Real, Name, Self->Real, Flags, OutFlags);
    if (Rc != SQLITE_OK)
        return Rc;
    if (Name)
        Self->Path = new std::string(Name);
    Self->Base.pMethods = &LossMethods;
    return SQLITE_OK;
}

int LossDelete(sqlite3_vfs*, const char* Name, int SyncDir)
{
    Machine.Unsynced.erase(Name);
    return Machine.Real->xDelete(Machine.Real, Name, SyncDir);
}

void InstallMachine(int PowerOffAt, unsigned Seed)
{
    Machine.Real = sqlite3_vfs_find(nullptr);
    Machine.Vfs = *Machine.Real;
    Machine.Vfs.iVersion = 2;
    Machine.Vfs.zName = "powerloss";
    Machine.Vfs.szOsFile = static_cast<int>(sizeof(TLossFile)) + Machine.Real->szOsFile;
    Machine.Vfs.xOpen = LossOpen;
    Machine.Vfs.xDelete = LossDelete;
    Machine.Vfs.xSetSystemCall = nullptr;
    Machine.Vfs.xGetSystemCall = nullptr;
    Machine.Vfs.xNextSystemCall = nullptr;
    Machine.PowerOffAt = PowerOffAt;
    Machine.Seed = Seed;
    static_assert(sizeof(TLossFile) % 8 == 0);
    sqlite3_vfs_register(&Machine.Vfs, 1);
}

// A child works on the machine until its power goes at the given write of the table file; it
// reports numbers to the parent as it goes. Answers the last number reported and how the child ended.
struct TPowerLossRun
{
    int Reported = 0;
    int Status = 0;
};

TPowerLossRun RunUntilPowerLoss(const QString& Folder, int PowerOffAt,
                                const std::function<void(TTable& Writer, const std::function<void(int)>& Report)>& Work)
{
    TPowerLossRun Run;
    int Pipe[2];
    if (pipe(Pipe) != 0)
        return Run;
    const pid_t Child = fork();
    if (Child == 0) {
        close(Pipe[0]);
        try {
            InstallMachine(PowerOffAt, static_cast<unsigned>(PowerOffAt));
            TTable Writer;
            OpenLog(Writer, Folder);
            Work(Writer, [&](int Value) {
                if (write(Pipe[1], &Value, sizeof Value) != sizeof Value)
                    _exit(2);
            });
        } catch (...) {
            _exit(3);
        }
        _exit(4);
    }
    close(Pipe[1]);
    int Value = 0;
    while (read(Pipe[0], &Value, sizeof Value) == sizeof Value)
        Run.Reported = Value;
    close(Pipe[0]);
    waitpid(Child, &Run.Status, 0);
    return Run;
}

// Posts the log row of number RecNo: each touches every index and some carry a long note.
void PostLogRow(TTable& Writer, int RecNo)
{
    Writer.Append();
    Writer.FieldByName("RecNo").SetAsInteger(RecNo);
    Writer.FieldByName("Name").SetAsString(QString("row%1").arg(RecNo % 97));
    Writer.FieldByName("Tel").SetAsString(QString::number(RecNo * 7919 % 100003));
    Writer.FieldByName("Stamp").SetAsFloat(45000.0 + RecNo % 13);
    Writer.FieldByName("Note").SetAsMemo(QString(300 + RecNo % 700, QChar('a' + RecNo % 26)));
    Writer.Post();
}

// A child posts rows, telling the parent each row whose Post returned.
TPowerLossRun PostUntilPowerLoss(const QString& Folder, int PowerOffAt)
{
    return RunUntilPowerLoss(Folder, PowerOffAt, [](TTable& Writer, const std::function<void(int)>& Report) {
        for (int RecNo = 1; RecNo <= 5000; ++RecNo) {
            PostLogRow(Writer, RecNo);
            Report(RecNo);
        }
    });
}

// Whatever write the power goes at, the table opens sound afterwards with every row whose Post had
// returned and nothing of the row being written.
TEST(TableDurabilityTest, PostedRowsSurviveAPowerLossAtAnyWrite)
{
    int MostPosted = 0;
    for (int PowerOffAt = 3; PowerOffAt <= 150; PowerOffAt += 7) {
        SCOPED_TRACE(PowerOffAt);
        QTemporaryDir Dir;
        TTable Table;
        CreateLog(Table, Dir.path());

        const TPowerLossRun Run = PostUntilPowerLoss(Dir.path(), PowerOffAt);
        ASSERT_TRUE(WIFEXITED(Run.Status) && WEXITSTATUS(Run.Status) == PowerOffExit) << Run.Status;
        MostPosted = std::max(MostPosted, Run.Reported);

        try {
            Table.Open();
            EXPECT_EQ(Table.IntegrityCheck().join("; ").toStdString(), "");
            EXPECT_EQ(Table.RecordCount(), Run.Reported);
            for (int RecNo = 1; RecNo <= Run.Reported; ++RecNo)
                if (!Table.FindKey({RecNo})) {
                    ADD_FAILURE() << "row " << RecNo << " of " << Run.Reported << " is gone";
                    break;
                }
        } catch (const EDatabaseError& Error) {
            ADD_FAILURE() << Error.what();
        }
    }
    EXPECT_GT(MostPosted, 10);
}

// Whatever write the power goes at during a bulk rewrite, the table comes back sound with every row
// as it was before, or, once the rewrite had returned, every row rewritten: never a mixture.
TEST(TableDurabilityTest, ABulkRewriteIsWholeOrNotAtAllAfterAPowerLoss)
{
    constexpr int Rows = 1500;
    bool SawBefore = false;
    bool SawAfter = false;
    for (int PowerOffAt : {1, 3, 8, 17, 30, 48, 400}) {
        SCOPED_TRACE(PowerOffAt);
        QTemporaryDir Dir;
        TTable Table;
        CreateLog(Table, Dir.path());
        Table.Open();
        {
            TTableTransaction Transaction(Table);
            for (int RecNo = 1; RecNo <= Rows; ++RecNo) {
                Table.Append();
                Table.FieldByName("RecNo").SetAsInteger(RecNo);
                Table.FieldByName("Tel").SetAsString(QString::number(RecNo));
                Table.FieldByName("Note").SetAsMemo(QString(200, QChar('a' + RecNo % 26)));
                Table.Post();
            }
            Transaction.Commit();
        }
        Table.Close();

        // The child reports 1 once the rewrite has returned.
        const TPowerLossRun Run =
            RunUntilPowerLoss(Dir.path(), PowerOffAt, [](TTable& Writer, const std::function<void(int)>& Report) {
                (void)Writer.RewriteRows({QStringLiteral("Tel")}, {QStringLiteral("Tel")},
                                         [](const QVariantList& Values, QVariantList& NewValues) {
                                             NewValues << QStringLiteral("9") + Values[0].toString();
                                             return true;
                                         });
                Report(1);
            });
        const int Status = Run.Status;
        const bool Returned = Run.Reported == 1;
        ASSERT_TRUE(WIFEXITED(Status)) << Status;
        ASSERT_TRUE(WEXITSTATUS(Status) == PowerOffExit || WEXITSTATUS(Status) == 4) << WEXITSTATUS(Status);
        try {
            Table.Open();
            EXPECT_EQ(Table.IntegrityCheck().join("; ").toStdString(), "");
            ASSERT_EQ(Table.RecordCount(), Rows);
            int Rewritten = 0;
            for (Table.First(); !Table.Eof(); Table.Next())
                Rewritten += Table.FieldByName("Tel").AsString() ==
                             QStringLiteral("9") + QString::number(Table.FieldByName("RecNo").AsInteger());
            if (Returned) {
                EXPECT_EQ(Rewritten, Rows);
            } else {
                EXPECT_TRUE(Rewritten == 0 || Rewritten == Rows) << Rewritten << " rows rewritten";
            }
            (Rewritten == 0 ? SawBefore : SawAfter) = true;
        } catch (const EDatabaseError& Error) {
            ADD_FAILURE() << Error.what();
        }
    }
    EXPECT_TRUE(SawBefore);
    EXPECT_TRUE(SawAfter);
}

// Whatever write the power goes at during a bulk load that builds the indexes at its commit, the
// table comes back sound and with every index: empty as it was, or, once the commit had returned,
// with every row.
TEST(TableDurabilityTest, ABulkLoadWithDeferredIndexesIsWholeOrNotAtAllAfterAPowerLoss)
{
    constexpr int Rows = 1500;
    const QStringList Indexes{"Log_Name", "Log_Stamp", "Log_Tel"};
    bool SawBefore = false;
    bool SawAfter = false;
    for (int PowerOffAt : {1, 2, 5, 12, 30, 70, 150, 100000}) {
        SCOPED_TRACE(PowerOffAt);
        QTemporaryDir Dir;
        TTable Table;
        CreateLog(Table, Dir.path());

        const TPowerLossRun Run =
            RunUntilPowerLoss(Dir.path(), PowerOffAt, [](TTable& Writer, const std::function<void(int)>& Report) {
                Writer.StartTransaction();
                if (!Writer.DeferIndexes())
                    _exit(5);
                for (int RecNo = 1; RecNo <= Rows; ++RecNo) {
                    PostLogRow(Writer, RecNo);
                }
                Writer.Commit();
                Report(1);
            });
        ASSERT_TRUE(WIFEXITED(Run.Status)) << Run.Status;
        ASSERT_TRUE(WEXITSTATUS(Run.Status) == PowerOffExit || WEXITSTATUS(Run.Status) == 4) << WEXITSTATUS(Run.Status);
        try {
            Table.Open();
            EXPECT_EQ(Table.IntegrityCheck().join("; ").toStdString(), "");
            EXPECT_EQ(SqlIndexNames(Table.FileName()), Indexes);
            const int Count = Table.RecordCount();
            if (Run.Reported == 1) {
                EXPECT_EQ(Count, Rows);
            } else {
                EXPECT_TRUE(Count == 0 || Count == Rows) << Count;
            }
            SawBefore = SawBefore || Count == 0;
            SawAfter = SawAfter || Count == Rows;
        } catch (const EDatabaseError& Error) {
            ADD_FAILURE() << Error.what();
        }
    }
    EXPECT_TRUE(SawBefore);
    EXPECT_TRUE(SawAfter);
}

} // namespace
