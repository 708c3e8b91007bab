// The list printing's settings window in the running program: the menu command opens it, and a
// cancelled window keeps only its place in the settings file.
#include "tests/support/ProgramHarness.h"

#include <QJsonObject>
#include <QThread>
#include <gtest/gtest.h>

namespace {

TEST(ListPrintE2ETest, TheMenuCommandOpensTheWindowAndCancelKeepsOnlyItsPlace)
{
    TProgramHarness Program;
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("OK"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("mmListPrint"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("ListPrint")));
    Program.AnswerDialog(QStringLiteral("ListPrint"), {{QStringLiteral("edtTitle"), QStringLiteral("月次一覧")}},
                         QStringLiteral("btnCancel"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    // The window writes its place when it is released after the modal run.
    for (int Try = 0; Try < 50 && Program.Setting(QStringLiteral("LIST PRINT"), QStringLiteral("Left")).isEmpty();
         ++Try)
        QThread::msleep(100);
    EXPECT_FALSE(Program.Setting(QStringLiteral("LIST PRINT"), QStringLiteral("Left")).isEmpty());
    EXPECT_TRUE(Program.Setting(QStringLiteral("LIST PRINT"), QStringLiteral("Title")).isEmpty());
    EXPECT_EQ(Program.Process().state(), QProcess::Running);
}

} // namespace
