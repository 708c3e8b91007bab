#include "tests/support/ProgramHarness.h"
#include "tests/support/XDesktop.h"
#include "utility/start/UtilBody.h"
#include "utility/start/UtilityRunning.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

bool ShowedMainWindow(const TProgramHarness& Program)
{
    return !Program.WindowFills(QStringLiteral("MainForm")).isEmpty();
}

TEST(UtilityStartE2ETest, ASecondStartEndsSilentlyWhileTheFirstRunsOn)
{
    TProgramHarness Program;
    Program.SetProgram(QStringLiteral("VxUtil16"), Utility::UTILITY_INSTANCE_NAME);
    ASSERT_TRUE(Program.Start());
    ASSERT_TRUE(Program.WaitForInstance());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    const QList<QJsonObject> Fills = Program.WindowFills(QStringLiteral("MainForm"));
    EXPECT_EQ(Fills.first().value(QStringLiteral("title")).toString(), QStringLiteral("Tolvane１６ ユーティリティ"));

    const QString SecondLog = Program.TempPath(QStringLiteral("second.jsonl"));
    EXPECT_EQ(Program.RunAnotherCopy(SecondLog), 0);
    EXPECT_TRUE(ReadJsonLines(SecondLog).isEmpty());
    EXPECT_EQ(Program.Process().state(), QProcess::Running);
    EXPECT_TRUE(Program.Boxes().isEmpty());
}

// On a real display the window manager shows the caption as it is: Qt appends the application's
// display name to every top-level window's title unless that name is empty.
TEST(UtilityStartE2ETest, TheTitleBarShowsTheCaptionAlone)
{
    if (const QString Missing = TXDesktop::Missing(true); !Missing.isEmpty())
        GTEST_SKIP() << Missing.toStdString();
    TProgramHarness Program;
    TXDesktop Desktop(Program.TempPath(QStringLiteral("desktop-ready")));
    ASSERT_TRUE(Desktop.Ready);
    Desktop.Host(Program);
    Program.SetProgram(QStringLiteral("VxUtil16"), Utility::UTILITY_INSTANCE_NAME);
    ASSERT_TRUE(Program.Start());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    const qulonglong Main = Desktop.WaitForWindow(QStringLiteral("Tolvane１６ ユーティリティ"));
    ASSERT_NE(Main, 0u);
    EXPECT_EQ(Desktop.XDoTool({QStringLiteral("getwindowname"), QString::number(Main)}),
              QStringLiteral("Tolvane１６ ユーティリティ"));
    // A wizard's caption holds no program name of its own to stop the addition.
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("bbtnRestore"));
    const qulonglong Restore = Desktop.WaitForWindow(QStringLiteral("復元"));
    ASSERT_NE(Restore, 0u);
    EXPECT_EQ(Desktop.XDoTool({QStringLiteral("getwindowname"), QString::number(Restore)}), QStringLiteral("復元"));
}

TEST(UtilityStartE2ETest, WithoutAUsableDataFolderItSaysSoAndEnds)
{
    for (const char* Case : {"deleted", "missing"}) {
        SCOPED_TRACE(Case);
        TProgramHarness Program;
        Program.SetProgram(QStringLiteral("VxUtil16"), Utility::UTILITY_INSTANCE_NAME);
        if (QByteArray(Case) == "deleted") {
            ASSERT_TRUE(QDir(Program.DataFolder()).removeRecursively());
        } else
            Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("DataPath"), QString());
        ASSERT_TRUE(Program.Start());
        ASSERT_TRUE(Program.Process().waitForFinished(TProgramHarness::Patience));
        const QList<QJsonObject> Boxes = Program.Boxes();
        ASSERT_EQ(Boxes.size(), 1);
        EXPECT_EQ(Boxes[0].value(QStringLiteral("text")).toString(),
                  QString::fromUtf8(Utility::DataPathMissingMessage));
        EXPECT_EQ(Boxes[0].value(QStringLiteral("icon")).toString(), QStringLiteral("Information"));
        EXPECT_FALSE(ShowedMainWindow(Program));
        // The main program's own fallback folder is not the utility's.
        EXPECT_FALSE(QDir(Program.SettingsFolder() + QStringLiteral("Data")).exists());
    }
}

TEST(UtilityStartE2ETest, TheSilentSwitchIsReadTrimmedInAnyCaseAndEndsWithoutAWindow)
{
    for (const QStringList& Arguments : {QStringList{QStringLiteral("/C")}, QStringList{QStringLiteral(" /c ")},
                                         QStringList{QStringLiteral("/c"), QStringLiteral("x")}}) {
        SCOPED_TRACE(Arguments.join(u',').toStdString());
        TProgramHarness Program;
        Program.SetProgram(QStringLiteral("VxUtil16"), Utility::UTILITY_INSTANCE_NAME, Arguments);
        ASSERT_TRUE(Program.Start());
        ASSERT_TRUE(Program.Process().waitForFinished(TProgramHarness::Patience));
        EXPECT_EQ(Program.ExitCode(), 0);
        EXPECT_FALSE(ShowedMainWindow(Program));
        EXPECT_TRUE(Program.Boxes().isEmpty());
    }
}

} // namespace
