// No call that rang is lost: the real program on the simulated adapter, with callers ringing at
// once while it is killed, logged out, or finds its history locked by another program. "Rang"
// means vxcall said so (exit 0); every such call must be in RecvHis.DB exactly once, with its
// digits and the time it rang.
#include "main/pipeline/CallPipeline.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "tests/support/HistoryIntegrity.h"
#include "tests/support/ProgramHarness.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr int Senders = 4;

// One vxcall as a sender saw it.
struct TSentCall
{
    QString Number;
    qint64 Start = 0; // ms since the epoch, before vxcall started and after it ended
    qint64 End = 0;
    bool Acknowledged = false;
};

// Callers ringing the program at once, each with numbers of its own, until stopped. Every number
// is unique over the whole test: "05", the round, the sender, a count.
class TCallers
{
public:
    TCallers(const QProcessEnvironment& Env, int Round)
    {
        for (const QString& Pair : Env.toStringList())
            FEnv.push_back(Pair.toLocal8Bit());
        for (QByteArray& Pair : FEnv)
            FEnvp.push_back(Pair.data());
        FEnvp.push_back(nullptr);
        for (int Sender = 0; Sender < Senders; ++Sender)
            FThreads.emplace_back([this, Round, Sender] { Ring(Round, Sender); });
    }
    ~TCallers() { Stop(); }
    void Stop()
    {
        FStop = true;
        for (std::thread& Thread : FThreads)
            if (Thread.joinable())
                Thread.join();
    }
    QList<TSentCall> Sent()
    {
        std::lock_guard Guard(FLock);
        return FSent;
    }
    // However slowly the machine starts the programs, a round is worth killing only once calls flow.
    bool WaitForFirstAcknowledged(int Milliseconds)
    {
        QElapsedTimer Clock;
        Clock.start();
        while (FAcknowledged == 0 && Clock.elapsed() < Milliseconds)
            QThread::msleep(10);
        return FAcknowledged > 0;
    }

private:
    void Ring(int Round, int Sender)
    {
        const QByteArray Tool = VX_BIN_DIR "/vxcall";
        for (int Count = 0; !FStop; ++Count) {
            TSentCall Call;
            Call.Number = QStringLiteral("05%1%2%3")
                              .arg(Round % 1000, 3, 10, QLatin1Char('0'))
                              .arg(Sender)
                              .arg(Count % 10000, 4, 10, QLatin1Char('0'));
            const QByteArray Number = Call.Number.toLatin1();
            char* Argv[] = {const_cast<char*>("vxcall"), const_cast<char*>("call"), const_cast<char*>(Number.data()),
                            nullptr};
            Call.Start = QDateTime::currentMSecsSinceEpoch();
            pid_t Pid = 0;
            int Status = -1;
            posix_spawn_file_actions_t Actions;
            posix_spawn_file_actions_init(&Actions);
            // The tool's complaints while the program is down are expected here.
            posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
            if (posix_spawn(&Pid, Tool.constData(), &Actions, nullptr, Argv, FEnvp.data()) == 0)
                waitpid(Pid, &Status, 0);
            posix_spawn_file_actions_destroy(&Actions);
            Call.End = QDateTime::currentMSecsSinceEpoch();
            Call.Acknowledged = WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
            {
                std::lock_guard Guard(FLock);
                FSent.append(Call);
            }
            if (Call.Acknowledged)
                ++FAcknowledged;
            if (!Call.Acknowledged)
                QThread::msleep(10);
        }
    }

    std::vector<QByteArray> FEnv;
    std::vector<char*> FEnvp;
    std::vector<std::thread> FThreads;
    std::atomic<bool> FStop = false;
    std::atomic<int> FAcknowledged = 0;
    std::mutex FLock;
    QList<TSentCall> FSent;
};

// The rows as the program left them, each number with its RecNo and ring time.
struct THistoryRow
{
    int RecNo = 0;
    QString SchTel;
    qint64 Rang = 0;
};

QList<THistoryRow> HistoryRows(TProgramHarness& Program)
{
    QList<THistoryRow> Rows;
    for (const QString& Line :
         Program.Rows(QStringLiteral("SELECT RecNo, SchTel, RecvDateTime FROM RecvHis ORDER BY RecNo"))) {
        const QStringList Parts = Line.split(u'|');
        if (Parts.size() != 3)
            return {{-1, Line, 0}};
        Rows.append({Parts[0].toInt(), Parts[1], DaysToDateTime(Parts[2].toDouble()).toMSecsSinceEpoch()});
    }
    return Rows;
}

// Every acknowledged call once, with its digits and a ring time within its vxcall; nothing twice;
// RecNo without gap or repeat. Answers how many rows there are.
int ExpectEveryAcknowledgedCallOnce(TProgramHarness& Program, const QList<TSentCall>& Sent)
{
    const QList<THistoryRow> Rows = HistoryRows(Program);
    QHash<QString, THistoryRow> ByNumber;
    for (int I = 0; I < Rows.size(); ++I) {
        EXPECT_EQ(Rows[I].RecNo, I) << "RecNo has a gap or a repeat";
        EXPECT_FALSE(ByNumber.contains(Rows[I].SchTel)) << "twice: " << Rows[I].SchTel.toStdString();
        ByNumber.insert(Rows[I].SchTel, Rows[I]);
    }
    QHash<QString, TSentCall> SentByNumber;
    int Lost = 0;
    for (const TSentCall& Call : Sent) {
        SentByNumber.insert(Call.Number, Call);
        if (!Call.Acknowledged)
            continue;
        const auto Row = ByNumber.constFind(Call.Number);
        if (Row == ByNumber.constEnd()) {
            ++Lost;
            ADD_FAILURE() << "lost: " << Call.Number.toStdString();
            continue;
        }
        // The ring time is taken while vxcall waits; the table keeps it to a few microseconds.
        EXPECT_GE(Row->Rang, Call.Start - 1) << Call.Number.toStdString();
        EXPECT_LE(Row->Rang, Call.End + 2) << Call.Number.toStdString();
    }
    // A call whose answer the kill cut off may be there or not, but nothing that never rang.
    for (const THistoryRow& Row : Rows) {
        EXPECT_TRUE(SentByNumber.contains(Row.SchTel)) << "never rang: " << Row.SchTel.toStdString();
    }
    EXPECT_EQ(Lost, 0);
    EXPECT_EQ(HistoryIntegrityProblems(Program.DataFolder()), QStringList());
    return static_cast<int>(Rows.size());
}

int CountAcknowledged(const QList<TSentCall>& Sent)
{
    return static_cast<int>(std::count_if(Sent.begin(), Sent.end(), [](const TSentCall& C) { return C.Acknowledged; }));
}

int Rounds(int Default)
{
    const int Asked = qEnvironmentVariableIntValue("VX_CRASH_ROUNDS");
    return Asked > 0 ? Asked : Default;
}

TEST(CallDurabilityE2ETest, KilledAtRandomMomentsTheProgramLosesNoAcknowledgedCall)
{
    TProgramHarness Program;
    QList<TSentCall> Sent;
    QElapsedTimer Clock;
    Clock.start();
    const int RoundCount = Rounds(50);
    for (int Round = 0; Round < RoundCount; ++Round) {
        ASSERT_TRUE(Program.StartAndWaitForLine()) << "round " << Round;
        TCallers Callers(Program.Environment(), Round);
        EXPECT_TRUE(Callers.WaitForFirstAcknowledged(TProgramHarness::Patience)) << "round " << Round;
        QThread::msleep(QRandomGenerator::global()->bounded(0, 1001));
        Program.Kill();
        Callers.Stop();
        Sent += Callers.Sent();
    }
    // A last start writes what the kills left in the spool.
    ASSERT_TRUE(Program.StartAndWaitForLine());
    const QString Spool = Program.DataFolder() + TCallSpool::FileName;
    QElapsedTimer Wait;
    Wait.start();
    while (QFileInfo(Spool).size() > 0 && Wait.elapsed() < TProgramHarness::Patience)
        QThread::msleep(50);
    EXPECT_EQ(QFileInfo(Spool).size(), 0) << "calls still wait in the spool";
    ASSERT_TRUE(Program.Terminate());
    EXPECT_EQ(Program.ExitCode(), 0);

    // Every round was killed while calls flowed, so the count below means something.
    const int Acknowledged = CountAcknowledged(Sent);
    ASSERT_GE(Acknowledged, RoundCount);
    const int Written = ExpectEveryAcknowledgedCallOnce(Program, Sent);
    std::printf("[ figures  ] %d kills in %.1f s: %d calls rung, %d acknowledged, %d rows, none lost or twice\n",
                RoundCount, Clock.elapsed() / 1000.0, static_cast<int>(Sent.size()), Acknowledged, Written);
    for (const QJsonObject& Box : Program.Boxes())
        EXPECT_NE(Box.value(QStringLiteral("icon")).toString(), QStringLiteral("Stop"))
            << Box.value(QStringLiteral("text")).toString().toStdString();
}

// A log-out while calls come: the program closes the line, writes what it holds and ends
// normally; the history holds every acknowledged call at once, without a next start.
TEST(CallDurabilityE2ETest, ALogOutWhileCallsComeWritesEveryAcknowledgedCallBeforeTheEnd)
{
    TProgramHarness Program;
    QList<TSentCall> Sent;
    QElapsedTimer Clock;
    Clock.start();
    const int RoundCount = Rounds(10);
    for (int Round = 0; Round < RoundCount; ++Round) {
        ASSERT_TRUE(Program.StartAndWaitForLine()) << "round " << Round;
        TCallers Callers(Program.Environment(), Round);
        EXPECT_TRUE(Callers.WaitForFirstAcknowledged(TProgramHarness::Patience)) << "round " << Round;
        QThread::msleep(QRandomGenerator::global()->bounded(0, 1001));
        ASSERT_TRUE(Program.Terminate());
        Callers.Stop();
        EXPECT_EQ(Program.ExitCode(), 0) << "round " << Round;
        Sent += Callers.Sent();
        const QList<THistoryRow> Rows = HistoryRows(Program);
        QSet<QString> Numbers;
        for (const THistoryRow& Row : Rows)
            Numbers.insert(Row.SchTel);
        for (const TSentCall& Call : std::as_const(Sent))
            if (Call.Acknowledged) {
                EXPECT_TRUE(Numbers.contains(Call.Number)) << "round " << Round << ": " << Call.Number.toStdString();
            }
        EXPECT_EQ(QFileInfo(Program.DataFolder() + TCallSpool::FileName).size(), 0);
    }
    const int Acknowledged = CountAcknowledged(Sent);
    ASSERT_GE(Acknowledged, RoundCount);
    const int Written = ExpectEveryAcknowledgedCallOnce(Program, Sent);
    std::printf("[ figures  ] %d log-outs in %.1f s: %d calls rung, %d acknowledged, %d rows, none lost or twice\n",
                RoundCount, Clock.elapsed() / 1000.0, static_cast<int>(Sent.size()), Acknowledged, Written);
}

// Another program holds the history for at least 12 s while three calls come: they are all written
// once it lets go, and the user was told once.
TEST(CallDurabilityE2ETest, CallsDuringALongLockAreWrittenAfterItWithOneBox)
{
    TProgramHarness Program;
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(QStringLiteral("0300000000")), 0);
    ASSERT_TRUE(Program.WaitForRows(1));

    sqlite3* Other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(Program.DataFolder() + RecvHisFileName).constData(), &Other), SQLITE_OK);
    // The program may still be reading the table after the first call; the lock waits for it.
    sqlite3_busy_timeout(Other, 10000);
    ASSERT_EQ(sqlite3_exec(Other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    QElapsedTimer Locked;
    Locked.start();
    for (const QString& Number :
         {QStringLiteral("0311111111"), QStringLiteral("0322222222"), QStringLiteral("0333333333")})
        EXPECT_EQ(Program.Ring(Number), 0) << Number.toStdString();
    // All three were taken while the table was still held: none waited for the lock to end, and
    // none is in the table yet.
    sqlite3_stmt* Count = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(Other, "SELECT COUNT(*) FROM RecvHis", -1, &Count, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(Count), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(Count, 0), 1);
    sqlite3_finalize(Count);
    QThread::msleep(static_cast<unsigned long>(std::max<qint64>(0, 12000 - Locked.elapsed())));
    sqlite3_exec(Other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(Other);

    ASSERT_TRUE(Program.WaitForRows(4));
    EXPECT_EQ(Program.Rows(QStringLiteral("SELECT SchTel FROM RecvHis ORDER BY RecNo")),
              (QStringList{QStringLiteral("0300000000"), QStringLiteral("0311111111"), QStringLiteral("0322222222"),
                           QStringLiteral("0333333333")}));
    QStringList Stops;
    for (const QJsonObject& Box : Program.Boxes())
        if (Box.value(QStringLiteral("icon")).toString() == QStringLiteral("Stop"))
            Stops << Box.value(QStringLiteral("text")).toString();
    EXPECT_EQ(Stops, QStringList{HistoryBusyError});
    ASSERT_TRUE(Program.Terminate());
    EXPECT_EQ(Program.ExitCode(), 0);
}

} // namespace
