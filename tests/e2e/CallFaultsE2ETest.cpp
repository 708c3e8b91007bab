// Calls under the faults an office PC really has: a full disk, a data folder made read-only, a disk
// full before the first start, a clock set back, a spool left in an earlier data folder, a long
// spool at the start. The real program on the simulated adapter; every call vxcall acknowledged
// (exit 0) must be in RecvHis.DB exactly once afterwards, with its digits and a ring time within its
// vxcall, and the table must be sound.
#include "main/pipeline/CallPipeline.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "tests/support/HistoryIntegrity.h"
#include "tests/support/ProgramHarness.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// One vxcall as the test saw it: its exit code and the real clock around it.
struct TRing
{
    QString Number;
    int Exit = -1;
    qint64 Start = 0;
    qint64 End = 0;
};

TRing RingTimed(TProgramHarness& Program, const QString& Number)
{
    TRing Ring{Number};
    Ring.Start = QDateTime::currentMSecsSinceEpoch();
    Ring.Exit = Program.Ring(Number);
    Ring.End = QDateTime::currentMSecsSinceEpoch();
    return Ring;
}

struct TRow
{
    QString SchTel;
    qint64 Rang = 0; // ms since the epoch
};

// The rows of a history file (TableFile relative to the program's data folder), by RecNo, checked
// to be numbered without gap; none while the file is not there.
QList<TRow> HistoryRows(TProgramHarness& Program, const QString& TableFile = RecvHisFileName)
{
    QList<TRow> Rows;
    // The shell would make an empty file where the program is about to make its table.
    if (!QFileInfo::exists(Program.DataFolder() + TableFile))
        return {};
    const QStringList Lines =
        Program.Rows(QStringLiteral("SELECT RecNo, SchTel, RecvDateTime FROM RecvHis ORDER BY RecNo"), TableFile);
    if (Lines == QStringList{QStringLiteral("sqlite3 failed")})
        return {};
    for (const QString& Line : Lines) {
        const QStringList Parts = Line.split(u'|');
        if (Parts.size() != 3) {
            ADD_FAILURE() << Line.toStdString();
            return {};
        }
        EXPECT_EQ(Parts[0].toInt(), Rows.size()) << "RecNo has a gap or a repeat";
        Rows.append({Parts[1], DaysToDateTime(Parts[2].toDouble()).toMSecsSinceEpoch()});
    }
    return Rows;
}

// The rows are exactly these calls, in this order, each rung within its vxcall (shifted by Shift ms
// for a clock set back).
void ExpectRowsAre(const QList<TRow>& Rows, const QList<TRing>& Rings, const QList<qint64>& Shift = {})
{
    ASSERT_EQ(Rows.size(), Rings.size());
    for (qsizetype I = 0; I < Rows.size(); ++I) {
        SCOPED_TRACE(Rings[I].Number.toStdString());
        EXPECT_EQ(Rows[I].SchTel, Rings[I].Number);
        const qint64 By = I < Shift.size() ? Shift[I] : 0;
        EXPECT_GE(Rows[I].Rang, Rings[I].Start + By - 1);
        EXPECT_LE(Rows[I].Rang, Rings[I].End + By + 2);
    }
}

int BoxCount(TProgramHarness& Program, const QString& Text)
{
    int Count = 0;
    for (const QJsonObject& Box : Program.Boxes())
        Count += Box.value(QStringLiteral("text")).toString() == Text ? 1 : 0;
    return Count;
}

bool WaitUntil(const std::function<bool()>& Done, int Limit = TProgramHarness::Patience)
{
    QElapsedTimer Clock;
    Clock.start();
    while (!Done() && Clock.elapsed() < Limit)
        QThread::msleep(50);
    return Done();
}

// A small file system of its own over a folder, while it lives: a disk that can fill up.
class TSmallDisk
{
public:
    TSmallDisk(const QString& Folder, int KiB) : FFolder(Folder)
    {
        QProcess Mount;
        Mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=%1k,mode=0700").arg(KiB), QStringLiteral("tmpfs"), Folder});
        Mounted = Mount.waitForFinished(10000) && Mount.exitStatus() == QProcess::NormalExit && Mount.exitCode() == 0;
        Why = QString::fromLocal8Bit(Mount.readAllStandardError()).trimmed();
    }
    ~TSmallDisk()
    {
        if (Mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), FFolder});
    }
    TSmallDisk(const TSmallDisk&) = delete;
    TSmallDisk& operator=(const TSmallDisk&) = delete;

    // Fills what is left with one file; Free takes it away again.
    void Fill()
    {
        QFile Filler(FFolder + QStringLiteral("filler"));
        ASSERT_TRUE(Filler.open(QIODevice::WriteOnly | QIODevice::Append));
        const QByteArray Block(4096, 'x');
        while (Filler.write(Block) == Block.size() && Filler.flush()) {
        }
    }
    void Free() { QFile::remove(FFolder + QStringLiteral("filler")); }

    bool Mounted = false;
    QString Why;

private:
    QString FFolder;
};

std::string NoSmallDisk(const TSmallDisk& Disk)
{
    return "a tmpfs cannot be mounted here (it needs root with CAP_SYS_ADMIN): " + Disk.Why.toStdString();
}

TEST(CallFaultsE2ETest, CallsOnAFullDiskAreKeptAndWrittenOnceThereIsRoomAgain)
{
    TProgramHarness Program;
    TSmallDisk Disk(Program.DataFolder(), 2048);
    if (!Disk.Mounted)
        GTEST_SKIP() << NoSmallDisk(Disk);
    ASSERT_TRUE(Program.StartAndWaitForLine());
    QList<TRing> Rings{RingTimed(Program, QStringLiteral("0300000001"))};
    ASSERT_EQ(Rings[0].Exit, 0);
    ASSERT_TRUE(Program.WaitForRows(1));

    Disk.Fill();
    for (const char* Number : {"0311111111", "0322222222", "0333333333"}) {
        Rings.append(RingTimed(Program, QString::fromLatin1(Number)));
        // The spool keeps room for calls beyond its end: they are on disk all the same.
        EXPECT_EQ(Rings.last().Exit, 0) << Number;
    }
    const QString Full = HistoryFaultText(THistoryFault::DiskFull);
    ASSERT_TRUE(Program.WaitForBox(Full));
    EXPECT_EQ(HistoryRows(Program).size(), 1);

    Disk.Free();
    ASSERT_TRUE(Program.WaitForRows(4));
    ASSERT_TRUE(Program.WaitForBox(WaitingCallsWrittenText(3)));
    ExpectRowsAre(HistoryRows(Program), Rings);
    EXPECT_EQ(BoxCount(Program, Full), 1);
    EXPECT_EQ(BoxCount(Program, RecvHisOpenError), 0);
    EXPECT_EQ(HistoryIntegrityProblems(Program.DataFolder()), QStringList());
    EXPECT_EQ(QFileInfo(Program.DataFolder() + TCallSpool::FileName).size(), 0);
    ASSERT_TRUE(Program.Terminate());
    EXPECT_EQ(Program.ExitCode(), 0);
}

TEST(CallFaultsE2ETest, ADiskFullBeforeTheFirstStartSaysSoOnceAndLosesNoCall)
{
    TProgramHarness Program;
    TSmallDisk Disk(Program.DataFolder(), 512);
    if (!Disk.Mounted)
        GTEST_SKIP() << NoSmallDisk(Disk);
    Disk.Fill();
    ASSERT_TRUE(Program.StartAndWaitForLine());
    QList<TRing> Rings;
    for (const char* Number : {"0311111111", "0322222222"}) {
        Rings.append(RingTimed(Program, QString::fromLatin1(Number)));
        // Not even the spool can take it: the adapter hears that the program holds it in memory only.
        EXPECT_EQ(Rings.last().Exit, 3) << Number;
    }
    ASSERT_TRUE(Program.WaitForBox(HistoryFaultText(THistoryFault::DiskFull)));
    // Long enough for the calls to be tried again on the timer.
    QThread::msleep(6000);
    int SpoolBoxes = 0;
    for (const QJsonObject& Box : Program.Boxes())
        SpoolBoxes += Box.value(QStringLiteral("text")).toString().contains(TCallSpool::FileName) ? 1 : 0;
    EXPECT_EQ(SpoolBoxes, 1);
    // The start may say once that the history or the directory could not be made; the calls never
    // say it again, however often they are tried.
    EXPECT_LE(BoxCount(Program, RecvHisOpenError), 1);
    EXPECT_LE(BoxCount(Program, MeiboOpenError), 1);

    Disk.Free();
    ASSERT_TRUE(Program.WaitForRows(2));
    ExpectRowsAre(HistoryRows(Program), Rings);
    EXPECT_EQ(BoxCount(Program, HistoryFaultText(THistoryFault::DiskFull)), 1);
    EXPECT_LE(BoxCount(Program, RecvHisOpenError), 1);
    EXPECT_LE(BoxCount(Program, MeiboOpenError), 1);
    EXPECT_EQ(HistoryIntegrityProblems(Program.DataFolder()), QStringList());

    // Once there is room, calls are kept on disk again.
    Rings.append(RingTimed(Program, QStringLiteral("0333333333")));
    EXPECT_EQ(Rings.last().Exit, 0);
    ASSERT_TRUE(Program.WaitForRows(3));
    ASSERT_TRUE(Program.Terminate());
}

TEST(CallFaultsE2ETest, ADataFolderMadeReadOnlyKeepsEveryCallUntilItIsWritableAgain)
{
    TProgramHarness Program;
    Program.WithoutPermissionOverride();
    ASSERT_TRUE(Program.StartAndWaitForLine());
    QList<TRing> Rings{RingTimed(Program, QStringLiteral("0300000001"))};
    ASSERT_EQ(Rings[0].Exit, 0);
    ASSERT_TRUE(Program.WaitForRows(1));

    // As a backup tool that puts back the permissions it saved.
    const QString Folder = Program.DataFolder();
    ASSERT_TRUE(QFile::setPermissions(Folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    for (const char* Number : {"0311111111", "0322222222", "0333333333"}) {
        Rings.append(RingTimed(Program, QString::fromLatin1(Number)));
        EXPECT_EQ(Rings.last().Exit, 0) << Number;
    }
    const QString NoPermission = HistoryFaultText(THistoryFault::NoPermission);
    const bool Told = Program.WaitForBox(NoPermission);
    QFile::setPermissions(Folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(Told);

    ASSERT_TRUE(Program.WaitForRows(4));
    ExpectRowsAre(HistoryRows(Program), Rings);
    EXPECT_EQ(BoxCount(Program, NoPermission), 1);
    EXPECT_EQ(BoxCount(Program, RecvHisOpenError), 0);
    EXPECT_EQ(HistoryIntegrityProblems(Folder), QStringList());
    ASSERT_TRUE(Program.Terminate());
    EXPECT_EQ(Program.ExitCode(), 0);
}

TEST(CallFaultsE2ETest, ACallRingsAtTheClocksTimeAfterTheClockIsSetBack)
{
    const QString FakeTime = QStringLiteral("/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1");
    if (!QFileInfo::exists(FakeTime))
        GTEST_SKIP() << "libfaketime is not installed (Debian's faketime)";
    TProgramHarness Program;
    const QString Clock = Program.TempPath(QStringLiteral("clock"));
    auto SetClock = [&](const QByteArray& Offset) {
        QFile File(Clock);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
        File.write(Offset + '\n');
    };
    SetClock("+0");
    QProcessEnvironment& Env = Program.Environment();
    Env.insert(QStringLiteral("LD_PRELOAD"), FakeTime);
    Env.insert(QStringLiteral("FAKETIME_TIMESTAMP_FILE"), Clock);
    Env.insert(QStringLiteral("FAKETIME_NO_CACHE"), QStringLiteral("1"));
    // Timers and waits keep the real time, as they do when NTP steps the wall clock.
    Env.insert(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
    // A sanitized build wants its runtime first; the clock library before it changes nothing it checks.
    Env.insert(QStringLiteral("ASAN_OPTIONS"),
               Env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
    ASSERT_TRUE(Program.StartAndWaitForLine());

    QList<TRing> Rings{RingTimed(Program, QStringLiteral("0311111111"))};
    ASSERT_TRUE(Program.WaitForRows(1));
    constexpr qint64 Hour = 3600 * 1000;
    SetClock("-3600");
    Rings.append(RingTimed(Program, QStringLiteral("0322222222")));
    Rings.append(RingTimed(Program, QStringLiteral("0333333333")));
    for (const TRing& Ring : Rings) {
        EXPECT_EQ(Ring.Exit, 0) << Ring.Number.toStdString();
    }
    ASSERT_TRUE(Program.WaitForRows(3));
    ExpectRowsAre(HistoryRows(Program), Rings, {0, -Hour, -Hour});
    EXPECT_EQ(HistoryIntegrityProblems(Program.DataFolder()), QStringList());
    ASSERT_TRUE(Program.Terminate());
}

// Calls that waited in the spool of the data folder the program used before (killed while the
// history was locked, then the folder changed) are written at the next start into the history in use.
TEST(CallFaultsE2ETest, ASpoolLeftInAnEarlierDataFolderIsWrittenAtTheNextStart)
{
    TProgramHarness Program;
    ASSERT_TRUE(Program.StartAndWaitForLine());
    QList<TRing> Rings{RingTimed(Program, QStringLiteral("0300000001"))};
    ASSERT_TRUE(Program.WaitForRows(1));
    QProcess Locker;
    // Another program holds the history while two calls come.
    Locker.start(QStringLiteral("sqlite3"), {Program.DataFolder() + RecvHisFileName});
    ASSERT_TRUE(Locker.waitForStarted());
    Locker.write("BEGIN EXCLUSIVE;\nSELECT 'locked';\n");
    ASSERT_TRUE(Locker.waitForReadyRead(10000));
    for (const char* Number : {"0311111111", "0322222222"}) {
        Rings.append(RingTimed(Program, QString::fromLatin1(Number)));
        EXPECT_EQ(Rings.last().Exit, 0) << Number;
    }
    Program.Kill();
    Locker.write("ROLLBACK;\n.quit\n");
    Locker.closeWriteChannel();
    ASSERT_TRUE(Locker.waitForFinished(10000));
    ASSERT_GT(QFileInfo(Program.DataFolder() + TCallSpool::FileName).size(), 0);

    const QString Earlier = Program.DataFolder();
    const QString Now = Program.TempPath(QStringLiteral("moved/"));
    ASSERT_TRUE(QDir().mkpath(Now));
    Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("DataPath"), Now);
    ASSERT_TRUE(Program.StartAndWaitForLine());
    const QString Moved = QStringLiteral("../moved/") + RecvHisFileName;
    ASSERT_TRUE(WaitUntil([&] { return HistoryRows(Program, Moved).size() == 2; }));
    ExpectRowsAre(HistoryRows(Program, Moved), {Rings[1], Rings[2]});
    EXPECT_TRUE(Program.WaitForBox(EarlierSpoolTakenText(Earlier, 2)));
    EXPECT_EQ(QFileInfo(Earlier + TCallSpool::FileName).size(), 0);
    EXPECT_EQ(HistoryRows(Program).size(), 1);
    EXPECT_EQ(HistoryIntegrityProblems(Now), QStringList());
    ASSERT_TRUE(Program.Terminate());

    // Said once: the next start finds nothing left there.
    ASSERT_TRUE(Program.StartAndWaitForLine());
    QThread::msleep(500);
    ASSERT_TRUE(Program.Terminate());
    EXPECT_EQ(BoxCount(Program, EarlierSpoolTakenText(Earlier, 2)), 1);
}

// A long spool at the start is written behind the event loop's back: a call that rings meanwhile is
// taken at once and written after the calls that waited.
TEST(CallFaultsE2ETest, ALongSpoolAtTheStartDoesNotHoldUpANewCall)
{
    constexpr int Waiting = 1000;
    TProgramHarness Program;
    {
        QFile Spool(Program.DataFolder() + TCallSpool::FileName);
        ASSERT_TRUE(Spool.open(QIODevice::WriteOnly));
        const qint64 Rang = QDateTime::currentMSecsSinceEpoch() - 3600 * 1000;
        for (int I = 0; I < Waiting; ++I)
            Spool.write(QStringLiteral("P %1 04%2\n").arg(Rang + I).arg(I, 8, 10, QLatin1Char('0')).toLatin1());
    }
    ASSERT_TRUE(Program.StartAndWaitForLine());
    const TRing New = RingTimed(Program, QStringLiteral("0399999999"));
    ASSERT_EQ(New.Exit, 0);
    // Answered while the backlog was still being written.
    EXPECT_LT(HistoryRows(Program).size(), Waiting);
    ASSERT_TRUE(WaitUntil([&] { return HistoryRows(Program).size() == Waiting + 1; }, 8 * TProgramHarness::Patience));
    const QList<TRow> Rows = HistoryRows(Program);
    EXPECT_EQ(Rows.first().SchTel, QStringLiteral("0400000000"));
    EXPECT_EQ(Rows[Waiting - 1].SchTel, QStringLiteral("0400000999"));
    EXPECT_EQ(Rows.last().SchTel, New.Number);
    EXPECT_EQ(HistoryIntegrityProblems(Program.DataFolder()), QStringList());
    ASSERT_TRUE(Program.Terminate());
}

} // namespace
