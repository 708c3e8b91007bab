// The running program on the simulated adapter: calls rung with vxcall become rows of RecvHis.DB,
// read back with the sqlite3 shell.
#include "tests/support/ProgramHarness.h"

#include <QThread>
#include <gtest/gtest.h>

namespace {

TEST(CallPipelineE2ETest, CallsBecomeRowsInOrderAndARepeatCarriesTheFirstCallsItems)
{
    TProgramHarness Program;
    ASSERT_TRUE(Program.StartAndWaitForLine()) << "the program did not open the line";

    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    ASSERT_TRUE(Program.WaitForRows(1));
    // What the user would have chosen for the first call.
    ASSERT_TRUE(
        Program.Rows(QStringLiteral("UPDATE RecvHis SET SelItem1 = 'Estimate', SelItem3 = 'Sato' WHERE RecNo = 0"))
            .isEmpty());
    // A number padded with a blank is none the hyphenation library takes: it is kept, trimmed.
    for (const QString& Number :
         {QStringLiteral("P"), QString(), QStringLiteral("0312345678"), QStringLiteral("0698765432 ")})
        ASSERT_EQ(Program.Ring(Number), 0) << Number.toStdString();
    ASSERT_TRUE(Program.WaitForRows(4));

    // Text columns are compared here, not in SQL: the shell lacks the tables' collations.
    const QStringList Rows = Program.Rows(QStringLiteral(
        "SELECT RecNo, SchTel, Tel, SelItem1, SelItem2, SelItem3, Division FROM RecvHis ORDER BY RecNo"));
    EXPECT_EQ(Rows.join(u'\n').toStdString(), "0|0312345678|03-1234-5678|Estimate||Sato|0\n"
                                              "1|P|P||||0\n"
                                              "2|0312345678|03-1234-5678|Estimate||Sato|0\n"
                                              "3|0698765432|0698765432||||0");
    // The blank call left nothing behind, and nothing went wrong on the way.
    QThread::msleep(200);
    EXPECT_EQ(Program.Rows(QStringLiteral("SELECT count(*) FROM RecvHis")), QStringList{QStringLiteral("4")});
    for (const QJsonObject& Box : Program.Boxes())
        EXPECT_NE(Box.value(QStringLiteral("icon")).toString(), QStringLiteral("Stop"))
            << Box.value(QStringLiteral("text")).toString().toStdString();
}

} // namespace
