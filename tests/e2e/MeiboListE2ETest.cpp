#include "tests/support/ProgramHarness.h"

#include <QThread>
#include <gtest/gtest.h>

namespace {

// The menu window's "登録名簿" opens the directory list in the running program; closing it leaves
// the program on its line, and the calls that come meanwhile are written.
TEST(MeiboListE2ETest, OpensFromTheMenuAndClosesAgain)
{
    TProgramHarness Program;
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("tbtnMeiboList"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MeiboList")));
    EXPECT_EQ(Program.WindowFills(QStringLiteral("MeiboList")).last().value(QStringLiteral("title")).toString(),
              QStringLiteral("登録名簿一覧"));
    // A call while the list is up is written all the same.
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    ASSERT_TRUE(Program.WaitForRows(1));

    Program.AnswerDialog(QStringLiteral("MeiboList"), {}, QStringLiteral("btnCancel"));
    QThread::msleep(500);
    EXPECT_EQ(Program.Process().state(), QProcess::Running);
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345679")), 0);
    ASSERT_TRUE(Program.WaitForRows(2));
    // The list wrote its place on closing.
    EXPECT_FALSE(Program.Setting(QStringLiteral("MEIBO LIST"), QStringLiteral("Width")).isEmpty());
}

} // namespace
