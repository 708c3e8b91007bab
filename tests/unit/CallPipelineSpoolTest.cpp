// The pipeline with its spool: calls wait on disk until their rows are committed, whatever comes
// between (a start, a locked table, the end of the program).
#include "main/device/VxComm.h"
#include "main/pipeline/CallPipeline.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "tests/support/FaultyVfs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QDateTime Base(QDate(2026, 12, 9), QTime(10, 0));

// Another program's connection that holds the history's lock while it lives.
class TOtherProgramLock
{
public:
    explicit TOtherProgramLock(const QString& File)
    {
        sqlite3_open(QFile::encodeName(File).constData(), &Db);
        Held = sqlite3_exec(Db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~TOtherProgramLock() { Release(); }
    void Release()
    {
        if (Db) {
            sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(Db);
        }
        Db = nullptr;
    }
    bool Held = false;

private:
    sqlite3* Db = nullptr;
};

class CallPipelineSpoolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Data.isValid());
        ::Settings = TSettings();
        Folder = Data.path() + u'/';
        Module = std::make_unique<TDMVxRelvo16>(Folder, Folder);
        DMVxRelvo16 = Module.get();
        Module->CreateRecvHisTable();
        // The table file exists before any lock is taken on it.
        TTableUse Use(*Module, TDataTable::RecvHis);
        TCallPipelineLinks& L = Pipeline.Links;
        L.ProgramStarted = [this] { return Started; };
        L.SpoolFolder = [this] { return Folder; };
        L.ShowMessage = [this](const QString& Text, unsigned) { Shown << Text; };
        // One minute later at each look at the clock.
        L.Now = [this] { return Base.addSecs(60 * Clock++); };
        L.OpenReceiveView = [this](const TCallerRecord& Record) { Opened << Record.Tel[0]; };
        L.MarkUnseenCall = [this] { ++Marks; };
        L.UnseenCall = [this] { return Marks > 0; };
    }
    void TearDown() override
    {
        DefaultSession().SetBusyTimeout(5000);
        DMVxRelvo16 = nullptr;
        Module.reset();
    }

    void Notify(const QByteArray& Number)
    {
        const TDeviceNotify Note{0, static_cast<std::int32_t>(Number.size()), Number.constData()};
        Pipeline.HandleMessage(WM_DEVICE_CALL, 0, reinterpret_cast<TLParam>(&Note));
    }
    void Ring(const QByteArray& Number)
    {
        Notify(Number);
        QCoreApplication::processEvents();
    }
    // The event loop for a while, as the running program would have it.
    static void RunFor(int Milliseconds)
    {
        QElapsedTimer Clock;
        Clock.start();
        while (Clock.elapsed() < Milliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
    }
    // Runs the event loop until Done holds, for at most Limit: a loaded machine may need longer than
    // the retry interval for the tries that follow a lock.
    static bool RunUntil(const std::function<bool()>& Done, int Limit = 10000)
    {
        QElapsedTimer Clock;
        Clock.start();
        while (!Done() && Clock.elapsed() < Limit) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return Done();
    }
    // "SchTel|minutes after Base" per row, by RecNo.
    QStringList Rows()
    {
        QStringList Result;
        TTableUse Use(*Module, TDataTable::RecvHis);
        RecvHisTable->SetIndexName({});
        for (RecvHisTable->First(); !RecvHisTable->Eof(); RecvHisTable->Next()) {
            const QDateTime When = RecvHisTable->FieldByName(u"RecvDateTime"_qs).AsDateTime();
            Result << RecvHisTable->FieldByName(u"SchTel"_qs).AsString() + u'|' +
                          QString::number(Base.msecsTo(When) / 60000.0);
        }
        return Result;
    }
    QList<TSpooledCall> Waiting()
    {
        TCallSpool Reader;
        QList<TSpooledCall> Left;
        EXPECT_TRUE(Reader.Open(Folder, Left));
        return Left;
    }

    QTemporaryDir Data;
    QString Folder;
    std::unique_ptr<TDMVxRelvo16> Module;
    TCallPipeline Pipeline;
    bool Started = true;
    int Clock = 0;
    int Marks = 0;
    QStringList Shown;
    QStringList Opened;
};

// What the last run left is written first, with the times the calls rang, marked in the tray and
// shown to nobody; a call whose row was committed before the end is not written twice.
TEST_F(CallPipelineSpoolTest, CallsLeftByTheLastRunAreWrittenFirstWithTheirRingTimes)
{
    const qint64 Rang = Base.addSecs(-3600).toMSecsSinceEpoch();
    {
        TCallSpool Earlier;
        QList<TSpooledCall> Left;
        ASSERT_TRUE(Earlier.Open(Folder, Left));
        for (const auto& [Number, Offset] : {std::pair{"0311111111", 0}, std::pair{"0322222222", 1500}}) {
            TSpooledCall Call;
            Call.Number = QString::fromLatin1(Number);
            Call.RingTime = Rang + Offset;
            ASSERT_TRUE(Earlier.Append(Call));
        }
        // The first one's row made it to disk; its done mark did not.
        TTableUse Use(*Module, TDataTable::RecvHis);
        RecvHisTable->Append();
        RecvHisTable->FieldByName(u"RecNo"_qs).SetAsInteger(0);
        RecvHisTable->FieldByName(u"SchTel"_qs).SetAsString(u"0311111111"_qs);
        RecvHisTable->FieldByName(u"RecvDateTime"_qs).SetAsFloat(DateTimeToDays(QDateTime::fromMSecsSinceEpoch(Rang)));
        RecvHisTable->Post();
    }
    ::Settings.RecvViewPopup = true;
    Started = false;
    Ring("0333333333"); // during the start
    EXPECT_EQ(Rows().size(), 1);
    Started = true;
    Pipeline.ProgramHasStarted();
    ASSERT_TRUE(RunUntil([&] { return Pipeline.CallQueue.isEmpty(); }));

    EXPECT_EQ(Rows(), (QStringList{u"0311111111|-60"_qs, u"0322222222|-59.975"_qs, u"0333333333|0"_qs}));
    // Only the call of now pops up; the one from before marks the tray.
    EXPECT_EQ(Opened, QStringList{u"0333333333"_qs});
    EXPECT_EQ(Marks, 1);
    EXPECT_TRUE(Waiting().isEmpty());
    EXPECT_TRUE(Shown.isEmpty()) << Shown.join(u'\n').toStdString();
}

TEST_F(CallPipelineSpoolTest, ALockedHistoryKeepsTheCallsInOrderAndSaysSoOncePerOutage)
{
    // Long enough that three waits cannot pass for one on a loaded machine.
    constexpr int BusyWait = 1000;
    DefaultSession().SetBusyTimeout(BusyWait);
    Pipeline.RetryInterval = 300;
    ::Settings.RecvViewPopup = true;
    auto Lock = std::make_unique<TOtherProgramLock>(Folder + RecvHisFileName);
    ASSERT_TRUE(Lock->Held);

    // Only the first call tries the table; the others wait behind it without a try of their own,
    // so the program is held up for one wait, not one per call.
    QElapsedTimer Held;
    Held.start();
    for (const QByteArray& Number : {QByteArray("0311111111"), QByteArray("0322222222"), QByteArray("0333333333")})
        Ring(Number);
    // Three tries would take three busy waits at the least.
    EXPECT_LT(Held.elapsed(), 3 * BusyWait);
    EXPECT_EQ(Shown, QStringList{HistoryBusyError});
    EXPECT_EQ(Waiting().size(), 3);
    // Tries go on while the lock lasts, without another box.
    RunFor(800);
    EXPECT_EQ(Shown.size(), 1);
    EXPECT_TRUE(Opened.isEmpty());

    Lock->Release();
    ASSERT_TRUE(RunUntil([&] { return Opened.size() == 3 && Shown.size() == 2; }));
    EXPECT_EQ(Rows(), (QStringList{u"0311111111|0"_qs, u"0322222222|1"_qs, u"0333333333|2"_qs}));
    EXPECT_EQ(Opened.size(), 3);
    EXPECT_TRUE(Waiting().isEmpty());
    // Once the calls that waited are all written, the user hears how many.
    EXPECT_EQ(Shown, (QStringList{HistoryBusyError, WaitingCallsWrittenText(3)}));

    // The next outage is a new one.
    Lock = std::make_unique<TOtherProgramLock>(Folder + RecvHisFileName);
    Ring("0344444444");
    EXPECT_EQ(Shown, (QStringList{HistoryBusyError, WaitingCallsWrittenText(3), HistoryBusyError}));
    Lock->Release();
    EXPECT_TRUE(RunUntil([&] { return Rows().size() == 4; }));
}

// Whatever keeps the history from taking a row, the calls wait in the spool, in their order, and the
// user hears once why and once how many were written after.
TEST_F(CallPipelineSpoolTest, EveryFaultOfTheHistoryKeepsTheCallsUntilItIsGone)
{
    struct TCase
    {
        const char* Name;
        int WriteFault;
        int OpenFault;
        bool Garbage;
        THistoryFault Expected;
    };
    const TCase Cases[] = {
        {"disk full", SQLITE_FULL, 0, false, THistoryFault::DiskFull},
        {"read-only", SQLITE_READONLY, 0, false, THistoryFault::NoPermission},
        {"I/O error", SQLITE_IOERR_WRITE, 0, false, THistoryFault::IoError},
        {"cannot open", 0, SQLITE_CANTOPEN, false, THistoryFault::Unopenable},
        {"damaged", 0, 0, true, THistoryFault::Damaged},
    };
    Pipeline.RetryInterval = 200;
    ::Settings.RecvViewPopup = true;
    // The incoming-call window is open: the call it shows is saved before each new one, once, however
    // often the new one is tried.
    ::Settings.NewDataView = true;
    ::Settings.AutoAdd = true;
    int Saves = 0;
    Pipeline.Links.ReceiveViewExists = [] { return true; };
    Pipeline.Links.SaveShownCall = [&] { ++Saves; };
    TFaultyVfs Disk;
    int Row = 0;
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        Ring("0300000000");
        ASSERT_EQ(Rows().size(), ++Row);
        Shown.clear();
        Opened.clear();
        Saves = 0;

        Disk.WriteFault = Case.WriteFault;
        Disk.OpenFault = Case.OpenFault;
        Disk.Garbage = Case.Garbage;
        Ring("0311111111");
        Ring("0322222222");
        RunFor(500);
        EXPECT_EQ(Shown, QStringList{HistoryFaultText(Case.Expected)});
        EXPECT_TRUE(Opened.isEmpty());
        EXPECT_EQ(Waiting().size(), 2);

        Disk.WriteFault = 0;
        Disk.OpenFault = 0;
        Disk.Garbage = false;
        ASSERT_TRUE(RunUntil([&] { return Opened.size() == 2 && Shown.size() == 2; }));
        const QStringList All = Rows();
        ASSERT_EQ(All.size(), Row + 2);
        EXPECT_TRUE(All[Row].startsWith(u"0311111111|"_qs) && All[Row + 1].startsWith(u"0322222222|"_qs))
            << All.join(u' ').toStdString();
        Row += 2;
        EXPECT_EQ(Shown.last(), WaitingCallsWrittenText(2));
        EXPECT_TRUE(Waiting().isEmpty());
        EXPECT_EQ(Saves, 2);
    }
}

// A call the spool cannot take is answered as held in memory only, the user hears of it once, and it
// goes into the spool, in its place, as soon as there is one; nothing else is given up.
TEST_F(CallPipelineSpoolTest, ACallTheSpoolCannotTakeIsAnsweredAsHeldAndKeptInItsPlace)
{
    QString SpoolAt = u"/dev/null/spool/"_qs; // a folder that can never be made
    Pipeline.Links.SpoolFolder = [&] { return SpoolAt; };
    Started = false;
    auto Answer = [this](const QByteArray& Number) {
        const TDeviceNotify Note{0, static_cast<std::int32_t>(Number.size()), Number.constData()};
        return Pipeline.HandleMessage(WM_DEVICE_CALL, 0, reinterpret_cast<TLParam>(&Note));
    };
    EXPECT_EQ(Answer("0311111111"), CallHeldInMemoryOnly);
    EXPECT_EQ(Answer("0322222222"), CallHeldInMemoryOnly);
    EXPECT_EQ(Answer(""), 0); // nothing to keep

    SpoolAt = Folder;
    EXPECT_EQ(Answer("0333333333"), 0);
    const QList<TSpooledCall> Kept = Waiting();
    ASSERT_EQ(Kept.size(), 3);
    EXPECT_EQ(Kept[0].Number, u"0311111111"_qs);
    EXPECT_EQ(Kept[2].Number, u"0333333333"_qs);

    Started = true;
    Pipeline.ProgramHasStarted();
    ASSERT_TRUE(RunUntil([&] { return Rows().size() == 3; }));
    // The box came once the program could show one, and only once for the outage.
    ASSERT_EQ(Shown.size(), 1);
    EXPECT_TRUE(
        Shown[0].startsWith(u"着信データを一時保存するファイル「/dev/null/spool/RecvQueue.spool」に書き込めません"_qs))
        << Shown[0].toStdString();
    EXPECT_TRUE(Waiting().isEmpty());
}

// At the end, calls held in memory get a last chance to reach the disk when the history cannot take
// them.
TEST_F(CallPipelineSpoolTest, TheEndKeepsCallsHeldInMemoryOnDiskWhenItCan)
{
    QString SpoolAt = u"/dev/null/spool/"_qs;
    Pipeline.Links.SpoolFolder = [&] { return SpoolAt; };
    Started = false;
    Notify("0311111111");
    Notify("0322222222");
    SpoolAt = Folder;
    DefaultSession().SetBusyTimeout(100);
    TOtherProgramLock Lock(Folder + RecvHisFileName);
    Pipeline.WriteQueuedCalls();
    Lock.Release();
    const QList<TSpooledCall> Kept = Waiting();
    ASSERT_EQ(Kept.size(), 2);
    EXPECT_EQ(Kept[0].Number, u"0311111111"_qs);
    EXPECT_EQ(Kept[1].Number, u"0322222222"_qs);
}

// A call rings at the clock's time, whatever the clock did before; only two calls of one millisecond
// are told apart.
TEST_F(CallPipelineSpoolTest, RingTimesFollowTheClockAndStayDistinct)
{
    QList<QDateTime> Clocks{Base, Base, Base.addSecs(-3600), Base.addSecs(-3600).addMSecs(5)};
    Pipeline.Links.Now = [&] { return Clocks.isEmpty() ? Base : Clocks.takeFirst(); };
    Started = false;
    for (const QByteArray& Number :
         {QByteArray("0311111111"), QByteArray("0311111111"), QByteArray("0322222222"), QByteArray("0333333333")})
        Notify(Number);
    QList<qint64> Times;
    for (const TQueuedCall& Call : std::as_const(Pipeline.CallQueue))
        Times << Call.RingTime - Base.toMSecsSinceEpoch();
    EXPECT_EQ(Times, (QList<qint64>{0, 1, -3600000, -3599995}));
}

// A data folder whose spool cannot be made keeps the calls where they are, says so, and keeps that
// folder noted for the next start.
TEST_F(CallPipelineSpoolTest, AFolderChangeThatCannotTakeTheSpoolLeavesTheCallsNotedWhereTheyAre)
{
    const QString List = Folder + u"list/"_qs + TCallSpool::FolderListName;
    ASSERT_TRUE(QDir().mkpath(Folder + u"list"_qs));
    Pipeline.Links.SpoolFolderList = [&] { return List; };
    DefaultSession().SetBusyTimeout(100);
    Pipeline.RetryInterval = 200;
    auto Lock = std::make_unique<TOtherProgramLock>(Folder + RecvHisFileName);
    Ring("0311111111");
    EXPECT_EQ(TCallSpool::ReadFolderList(List), QStringList{Folder});

    Pipeline.MoveSpool(u"/dev/null/other/"_qs);
    EXPECT_EQ(Pipeline.Spool().Folder(), Folder);
    EXPECT_EQ(TCallSpool::ReadFolderList(List), QStringList{Folder});
    QCoreApplication::processEvents();
    ASSERT_EQ(Shown.size(), 2) << Shown.join(u'\n').toStdString();
    EXPECT_TRUE(Shown[1].startsWith(
        u"登録を待っている着信データを新しいデータフォルダ「/dev/null/other/」に移せませんでした"_qs));

    // A folder that takes them: the calls and the note go there.
    const QString Other = Folder + u"other/"_qs;
    Pipeline.MoveSpool(Other);
    EXPECT_EQ(Pipeline.Spool().Folder(), Other);
    EXPECT_EQ(TCallSpool::ReadFolderList(List), QStringList{Other});
    EXPECT_TRUE(Waiting().isEmpty());
    Lock->Release();
    ASSERT_TRUE(RunUntil([&] { return Rows().size() == 1; }));
}

// At the end of the program the queued calls are written without pop-ups; what a locked table
// cannot take stays in the spool, without a box nobody could answer.
TEST_F(CallPipelineSpoolTest, TheEndWritesTheQueuedCallsAndLeavesWhatItCannot)
{
    ::Settings.RecvViewPopup = true;
    Notify("0311111111");
    Notify("0322222222");
    Pipeline.WriteQueuedCalls();
    EXPECT_EQ(Rows().size(), 2);
    EXPECT_TRUE(Opened.isEmpty());
    EXPECT_EQ(Marks, 0);
    EXPECT_TRUE(Waiting().isEmpty());

    DefaultSession().SetBusyTimeout(100);
    TCallPipeline Next;
    Next.Links = Pipeline.Links;
    TOtherProgramLock Lock(Folder + RecvHisFileName);
    const TDeviceNotify Note{0, 10, "0333333333"};
    Next.HandleMessage(WM_DEVICE_CALL, 0, reinterpret_cast<TLParam>(&Note));
    Next.WriteQueuedCalls();
    Lock.Release();
    EXPECT_TRUE(Shown.isEmpty());
    ASSERT_EQ(Waiting().size(), 1);
    EXPECT_EQ(Waiting()[0].Number, u"0333333333"_qs);
    EXPECT_EQ(Rows().size(), 2);
}

// An error that comes before the last one was shown waits for its own box.
TEST_F(CallPipelineSpoolTest, DeviceErrorsAreShownOneAfterAnotherAndNoneIsLost)
{
    auto Error = [this](int Code, const QByteArray& Text) {
        const TDeviceNotify Note{Code, static_cast<std::int32_t>(Text.size()), Text.constData()};
        Pipeline.HandleMessage(WM_DEVICE_ERROR, 0, reinterpret_cast<TLParam>(&Note));
    };
    int Depth = 0, Deepest = 0;
    Pipeline.Links.ShowMessage = [&](const QString& Text, unsigned) {
        Deepest = std::max(Deepest, ++Depth);
        Shown << QString(Text).remove(DeviceErrorTail).remove(u"\r\n"_qs);
        // A modal box runs the event loop: the adapter reports again meanwhile.
        if (Shown.size() == 1) {
            Error(4, "Third");
            QCoreApplication::processEvents();
        }
        --Depth;
    };
    Error(2, "First");
    Error(1, "Quiet");
    Error(3, "Second");
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown, (QStringList{u"2First"_qs, u"3Second"_qs, u"4Third"_qs}));
    EXPECT_EQ(Deepest, 1);
}

} // namespace
