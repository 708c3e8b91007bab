#include "tests/support/ProgramHarness.h"

#include <QJsonArray>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The last time the window log shows the window of that name.
QJsonObject LastFill(const TProgramHarness& Program, const QString& Window)
{
    const QList<QJsonObject> Fills = Program.WindowFills(Window);
    return Fills.isEmpty() ? QJsonObject() : Fills.last();
}

// An installation without the IP-PBX library still reaches its settings: that line kind is shown
// unavailable, and nothing ends the program.
TEST(SettingsDialogE2ETest, OpensWithoutTheOtherLineKindsLibrary)
{
    TProgramHarness Program;
    Program.CopyProgramFolder({QStringLiteral("VxComm3ip.so")});
    // A data folder that is gone leaves the settings incomplete: the start-up enters the settings.
    Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("DataPath"), Program.TempPath(QStringLiteral("gone")));
    ASSERT_TRUE(Program.Start());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("Environment")));
    const QJsonArray Disabled =
        LastFill(Program, QStringLiteral("Environment")).value(QStringLiteral("disabled")).toArray();
    EXPECT_TRUE(Disabled.contains(QStringLiteral("rbIPPBX")));
    EXPECT_FALSE(Disabled.contains(QStringLiteral("rbNormal")));
    for (const QJsonObject& Box : Program.Boxes())
        EXPECT_FALSE(Box.value(QStringLiteral("text")).toString().contains(QStringLiteral("VxComm3ip.so")))
            << "the missing library is told in the dialog, not in a box that ends the program";
    EXPECT_EQ(Program.Process().state(), QProcess::Running);
}

// The same from the menu window's "環境設定" while the program runs on its line: the dialog opens,
// and cancelling it leaves the program running.
TEST(SettingsDialogE2ETest, OpensFromTheMenuWithoutTheOtherLineKindsLibrary)
{
    TProgramHarness Program;
    Program.CopyProgramFolder({QStringLiteral("VxComm3ip.so")});
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("tbtnEnv"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("Environment")));
    const QJsonArray Disabled =
        LastFill(Program, QStringLiteral("Environment")).value(QStringLiteral("disabled")).toArray();
    EXPECT_TRUE(Disabled.contains(QStringLiteral("rbIPPBX")));

    Program.AnswerDialog(QStringLiteral("Environment"), {}, QStringLiteral("btnCancel"));
    QThread::msleep(500);
    EXPECT_EQ(Program.Process().state(), QProcess::Running);
    EXPECT_EQ(Program.Ring(QStringLiteral("0312345678")), 0) << "the line is still open";
}

} // namespace
