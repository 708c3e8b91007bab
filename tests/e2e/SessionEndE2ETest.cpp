#include "tests/support/ProgramHarness.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// The desktop ends the session (SIGTERM at log-out) while a dialog of the start-up waits for its
// answer. Nobody answered it: the program ends at once, and nothing that a button would have done
// happens. A stand-in xdg-open on PATH records every web page the program tries to open.
class SessionEndE2ETest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString Bin = Program.TempPath(QStringLiteral("bin"));
        ASSERT_TRUE(QDir().mkpath(Bin));
        QFile Opener(Bin + QStringLiteral("/xdg-open"));
        ASSERT_TRUE(Opener.open(QIODevice::WriteOnly));
        Opener.write("#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(OpenedLog()) + "'\n");
        Opener.close();
        Opener.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment& Env = Program.Environment();
        Env.insert(QStringLiteral("PATH"), Bin + QLatin1Char(':') + Env.value(QStringLiteral("PATH")));
        // Were the start-up to go on, the registration prompt would be next.
        Program.SetSetting(QStringLiteral("BASE"), QStringLiteral("Register"), QStringLiteral("0"));
    }

    QString OpenedLog() const { return Program.TempPath(QStringLiteral("xdg-open.log")); }

    // Sends SIGTERM once the dialog is shown; true when the program has ended within two seconds.
    bool TerminateDuring(const QString& Dialog)
    {
        if (!Program.Start() || !Program.WaitForWindow(Dialog))
            return false;
        Program.Process().terminate();
        QElapsedTimer Clock;
        Clock.start();
        const bool Ended = Program.Process().waitForFinished(2000);
        RecordProperty("EndedAfterMs", int(Clock.elapsed()));
        return Ended;
    }

    void ExpectNothingAnswered()
    {
        EXPECT_NE(Program.Setting(QStringLiteral("BASE"), QStringLiteral("Register")), QStringLiteral("1"));
        EXPECT_FALSE(QFileInfo::exists(OpenedLog())) << "a web page was opened";
    }

    // The start-up did not go on to the line and the tables, and the menu window, never placed, left
    // no place of its own behind.
    void ExpectNoTables()
    {
        EXPECT_FALSE(QFileInfo::exists(Program.DataFolder() + QStringLiteral("RecvHis.DB")));
        EXPECT_EQ(Program.Setting(QStringLiteral("MENU VIEW"), QStringLiteral("Left")), QString());
    }

    TProgramHarness Program;
};

TEST_F(SessionEndE2ETest, DuringTheFirstStartInformation)
{
    Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("Info"), QStringLiteral("1"));
    ASSERT_TRUE(TerminateDuring(QStringLiteral("InfoDialog")));
    ExpectNothingAnswered();
    ExpectNoTables();
}

TEST_F(SessionEndE2ETest, DuringTheStartupSettingsDialog)
{
    // A data folder that is gone leaves the settings incomplete: the start-up enters the settings.
    Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("DataPath"), Program.TempPath(QStringLiteral("gone")));
    ASSERT_TRUE(TerminateDuring(QStringLiteral("Environment")));
    ExpectNothingAnswered();
    ExpectNoTables();
}

TEST_F(SessionEndE2ETest, DuringTheRegistrationPrompt)
{
    ASSERT_TRUE(TerminateDuring(QStringLiteral("RegistDialog")));
    ExpectNothingAnswered();
    EXPECT_EQ(Program.ExitCode(), 0);
}

} // namespace
