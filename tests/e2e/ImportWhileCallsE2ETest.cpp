// A long text import in the running program: calls that ring meanwhile are taken at once with
// their ring times, and a log-out in the middle ends the program at once, the table whole.
#include "platform/text/Cp932.h"
#include "tests/support/HistoryIntegrity.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/TransferWindows.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QThread>
#include <gtest/gtest.h>

namespace {

constexpr double MSecsPerDay = 86400000.0;

double DaysOf(qint64 MSecs)
{
    const QDateTime At = QDateTime::fromMSecsSinceEpoch(MSecs);
    return double(QDate(1899, 12, 30).daysTo(At.date())) + double(At.time().msecsSinceStartOfDay()) / MSecsPerDay;
}

void WriteCalls(const QString& Name, int Count)
{
    QByteArray Text = Cp932Encode(QStringLiteral("着信日付,着信時刻,電話番号,会社名\r\n"));
    for (int I = 0; I < Count; ++I)
        Text += QStringLiteral("2026/11/%1,%2:%3:00,03%4,会社%5\r\n")
                    .arg(1 + I % 28, 2, 10, QLatin1Char('0'))
                    .arg(8 + I % 10, 2, 10, QLatin1Char('0'))
                    .arg(I % 60, 2, 10, QLatin1Char('0'))
                    .arg(20000000 + I)
                    .arg(I % 500)
                    .toUtf8();
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Text);
}

// The shell has no busy timeout: while a batch commits it is turned away, and asks again.
QStringList RowsWhenFree(TProgramHarness& Program, const QString& Sql)
{
    QElapsedTimer Waited;
    Waited.start();
    QStringList Rows = Program.Rows(Sql);
    while (Rows == QStringList{QStringLiteral("sqlite3 failed")} && Waited.elapsed() < TProgramHarness::Patience) {
        QThread::msleep(10);
        Rows = Program.Rows(Sql);
    }
    return Rows;
}

// The secondary indexes the table file holds.
int CountIndexes(TProgramHarness& Program)
{
    const QStringList Rows = RowsWhenFree(
        Program, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL"));
    return Rows.size() == 1 ? Rows[0].toInt() : -1;
}

int CountRows(TProgramHarness& Program)
{
    const QStringList Rows = RowsWhenFree(Program, QStringLiteral("SELECT COUNT(*) FROM RecvHis"));
    return Rows.size() == 1 ? Rows[0].toInt() : -1;
}

// Starts the import of Csv and waits until its first batches are in the table.
void StartImport(TProgramHarness& Program)
{
    RunImportWindow(Program);
    if (::testing::Test::HasFatalFailure())
        return;
    QElapsedTimer Waited;
    Waited.start();
    while (CountRows(Program) <= 0 && Waited.elapsed() < TProgramHarness::Patience)
        QThread::msleep(20);
    ASSERT_GT(CountRows(Program), 0);
}

TEST(ImportWhileCallsE2ETest, ACallDuringAnImportIsTakenAtOnceWithItsRingTime)
{
    TProgramHarness Program;
    const QString Csv = Program.TempPath(QStringLiteral("calls.csv"));
    // Long enough to be still running a moment in, on a fast machine too, and short of the record
    // numbers' limit with the call.
    WriteCalls(Csv, 99000);
    Program.Environment().insert(QStringLiteral("VX_FILEDIALOG_ANSWERS"), Csv);
    // The notice that no CD drive is there, the automatic mapping, the confirmation; then whatever
    // the call brings up.
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("OK,Yes,Yes"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    StartImport(Program);
    QThread::msleep(200);
    const QString Done =
        QStringLiteral("テキストファイルの取り込みが完了しました  \r\n\r\n読込件数 : 99000 件\r\n登録件数 : 99000 件");
    bool ImportWasRunning = true;
    for (const QJsonObject& Box : Program.Boxes())
        ImportWasRunning = ImportWasRunning && Box.value(QStringLiteral("text")).toString() != Done;

    const qint64 Before = QDateTime::currentMSecsSinceEpoch();
    QElapsedTimer Answered;
    Answered.start();
    ASSERT_EQ(Program.Ring(QStringLiteral("0459876543")), 0);
    const qint64 Took = Answered.elapsed();
    const qint64 After = QDateTime::currentMSecsSinceEpoch();
    EXPECT_TRUE(ImportWasRunning) << "the import ended before the call: the file is too short to tell";
    EXPECT_LT(Took, 1000);

    ASSERT_TRUE(Program.WaitForBox(Done));
    EXPECT_EQ(CountRows(Program), 99001);
    const QStringList Call =
        Program.Rows(QStringLiteral("SELECT RecvDateTime FROM RecvHis WHERE hex(SchTel) = hex('0459876543')"));
    ASSERT_EQ(Call.size(), 1);
    const double Rang = Call[0].toDouble();
    EXPECT_GT(Rang, 0) << Call[0].toStdString();
    EXPECT_GE(Rang, DaysOf(Before) - 1.0 / MSecsPerDay);
    EXPECT_LE(Rang, DaysOf(After) + 1.0 / MSecsPerDay);
    // No imported line was refused for the number the call took.
    EXPECT_FALSE(QFile::exists(Program.DataFolder() + QStringLiteral("InError.txt")));
}

TEST(ImportWhileCallsE2ETest, ALogOutDuringAnImportEndsTheProgramAndTheNextStartSaysSo)
{
    TProgramHarness Program;
    const QString Csv = Program.TempPath(QStringLiteral("calls.csv"));
    WriteCalls(Csv, 100000);
    Program.Environment().insert(QStringLiteral("VX_FILEDIALOG_ANSWERS"), Csv);
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("OK,Yes,Yes"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    StartImport(Program);

    QElapsedTimer Ending;
    Ending.start();
    ASSERT_TRUE(Program.Terminate());
    EXPECT_LT(Ending.elapsed(), 3000);
    EXPECT_EQ(Program.ExitCode(), 0);
    const int Kept = CountRows(Program);
    EXPECT_GT(Kept, 0);
    EXPECT_LT(Kept, 100000);
    EXPECT_EQ(HistoryIntegrityProblems(Program.DataFolder()), QStringList());
    EXPECT_FALSE(QFile::exists(Program.DataFolder() + QStringLiteral("RecvHis.DB-journal")));
    EXPECT_TRUE(QFile::exists(Program.DataFolder() + QStringLiteral("backupRH.imp/RecvHis.DB")));
    // The run builds the indexes after its rows: it ended before that.
    EXPECT_EQ(CountIndexes(Program), 0);

    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("OK,OK"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    QElapsedTimer Told;
    Told.start();
    bool Notice = false;
    while (!Notice && Told.elapsed() < TProgramHarness::Patience) {
        for (const QJsonObject& Box : Program.Boxes())
            Notice =
                Notice ||
                Box.value(QStringLiteral("text")).toString().contains(QStringLiteral("最後まで行われませんでした"));
        QThread::msleep(50);
    }
    EXPECT_TRUE(Notice);
    EXPECT_EQ(CountRows(Program), Kept);
    // The start has built them again from the table's definition.
    EXPECT_EQ(CountIndexes(Program), 7);
    EXPECT_EQ(HistoryIntegrityProblems(Program.DataFolder()), QStringList());
}

} // namespace
