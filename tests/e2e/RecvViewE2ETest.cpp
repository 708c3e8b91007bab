// The running program on the simulated adapter: a call pops up "着信照会", which writes what it shows
// to the window log; the rows are read back with the sqlite3 shell.
#include "tests/support/MeiboFixture.h"
#include "tests/support/ProgramHarness.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The fills of the incoming-call window so far, once there are at least Count.
QList<QJsonObject> WaitForFills(const TProgramHarness& Program, int Count)
{
    QElapsedTimer Clock;
    Clock.start();
    QList<QJsonObject> Fills = Program.WindowFills(QStringLiteral("ReceiveView"));
    while (Fills.size() < Count && Clock.elapsed() < TProgramHarness::Patience) {
        QThread::msleep(50);
        Fills = Program.WindowFills(QStringLiteral("ReceiveView"));
    }
    return Fills;
}

QString Field(const QJsonObject& Fill, const char* Name)
{
    return Fill.value(QStringLiteral("fields")).toObject().value(QLatin1String(Name)).toString();
}

TEST(RecvViewE2ETest, AKnownCallerFillsTheWindowAndTheNextCallRefillsIt)
{
    TProgramHarness Program;
    // Both pop-ups on; the window keeps the focus where it is.
    Program.SetSetting(QStringLiteral("OPERATION"), QStringLiteral("HisListPopup"), QStringLiteral("1"));
    Program.SetSetting(QStringLiteral("OPERATION"), QStringLiteral("RecvViewPopup"), QStringLiteral("1"));

    // One caller the directory knows.
    WriteMeiboEntry(Program.DataFolder(), {{QStringLiteral("SchTel1"), QStringLiteral("0312345678")},
                                           {QStringLiteral("Tel1"), QStringLiteral("03-1234-5678")},
                                           {QStringLiteral("NameKanji"), QStringLiteral("田中　一郎")},
                                           {QStringLiteral("NameKana"), QStringLiteral("ﾀﾅｶ ｲﾁﾛｳ")}});

    ASSERT_TRUE(Program.StartAndWaitForLine()) << "the line did not open";
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    QList<QJsonObject> Fills = WaitForFills(Program, 1);
    ASSERT_EQ(Fills.size(), 1);
    EXPECT_EQ(Fills[0].value(QStringLiteral("title")).toString(), QStringLiteral("着信照会"));
    EXPECT_EQ(Field(Fills[0], "edtTel1"), QStringLiteral("03-1234-5678"));
    EXPECT_EQ(Field(Fills[0], "nmedtNameKanji"), QStringLiteral("田中　一郎"));
    EXPECT_EQ(Field(Fills[0], "pnlDivision"), QStringLiteral("既存"));

    // A caller nobody knows: the open window is refilled, empty but for the hyphenated number.
    ASSERT_EQ(Program.Ring(QStringLiteral("0398765432")), 0);
    Fills = WaitForFills(Program, 2);
    ASSERT_EQ(Fills.size(), 2);
    EXPECT_EQ(Field(Fills[1], "edtTel1"), QStringLiteral("03-9876-5432"));
    EXPECT_EQ(Field(Fills[1], "nmedtNameKanji"), QString());
    EXPECT_EQ(Field(Fills[1], "pnlDivision"), QStringLiteral("新規"));
    EXPECT_EQ(Program.Rows(QStringLiteral("SELECT count(*) FROM RecvHis")), QStringList{QStringLiteral("2")});
}

} // namespace
