#include "main/start/ProgramStart.h"

#include "main/common/CommonSys.h"
#include "tests/support/ProgramHarness.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

TEST(ProgramStartTest, SecondStartSaysTheProgramRunsAndEnds)
{
    TProgramHarness Program;
    ASSERT_TRUE(Program.Start());
    ASSERT_TRUE(Program.WaitForInstance());

    const QString SecondLog = Program.TempPath(QStringLiteral("second.jsonl"));
    EXPECT_EQ(Program.RunAnotherCopy(SecondLog), 0);
    const QList<QJsonObject> Boxes = ReadJsonLines(SecondLog);
    ASSERT_EQ(Boxes.size(), 1);
    EXPECT_EQ(Boxes[0].value(QStringLiteral("text")).toString(),
              QStringLiteral("既に「Tolvane１６」は起動しています  "));
    EXPECT_EQ(Boxes[0].value(QStringLiteral("caption")).toString(), QStringLiteral("Tolvane１６"));
    EXPECT_EQ(Boxes[0].value(QStringLiteral("icon")).toString(), QStringLiteral("Information"));

    // The first copy runs on.
    EXPECT_EQ(Program.Process().state(), QProcess::Running);
}

// The utility looks whether the main program runs before its work; a start in that moment must not
// take the look for a running copy and end.
TEST(ProgramStartTest, AStartWhileAnotherProgramLooksWhetherItRunsGoesThrough)
{
    for (int Start = 0; Start < 3; ++Start) {
        SCOPED_TRACE(Start);
        TProgramHarness Program;
        Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("Adapter"), QStringLiteral("0"));
        const TProgramRuntimeFolder Runtime(Program);
        std::atomic<bool> Stop{false};
        std::atomic<int> SawItRun{0};
        std::thread Looker([&] {
            while (!Stop)
                if (IsProgramRunning(MAIN_INSTANCE_NAME))
                    ++SawItRun;
        });
        const bool Started = Program.Start();
        const bool Up = Started && Program.WaitForWindow(QStringLiteral("MainForm"));
        Stop = true;
        Looker.join();
        ASSERT_TRUE(Started);
        EXPECT_TRUE(Up);
        EXPECT_EQ(Program.Process().state(), QProcess::Running);
        EXPECT_GT(SawItRun, 0);
        for (const QJsonObject& Box : Program.Boxes()) {
            EXPECT_FALSE(Box.value(QStringLiteral("text")).toString().startsWith(QStringLiteral("既に")));
        }
    }
}

// A runtime folder that is missing or read-only leaves the lock in the temporary folder (one of the
// test's own): the program starts, and a second start still finds it running.
TEST(ProgramStartTest, UnusableRuntimeFolderFallsBackToTheTemporaryFolder)
{
    for (const char* Kind : {"missing", "read-only"}) {
        SCOPED_TRACE(Kind);
        TProgramHarness Program;
        const QString RuntimeDir = Program.TempPath(QStringLiteral("unusable-run"));
        const QString TempDir = Program.TempPath(QStringLiteral("tmp"));
        ASSERT_TRUE(QDir().mkpath(TempDir));
        if (QByteArray(Kind) == "read-only") {
            ASSERT_TRUE(QDir().mkpath(RuntimeDir));
            QFile::setPermissions(RuntimeDir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        Program.Environment().insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir);
        Program.Environment().insert(QStringLiteral("TMPDIR"), TempDir);
        Program.WithoutPermissionOverride();
        ASSERT_TRUE(Program.StartAndWaitForLine());
        for (const QJsonObject& Box : Program.Boxes()) {
            EXPECT_FALSE(Box.value(QStringLiteral("text")).toString().startsWith(QStringLiteral("既に")));
        }

        const QString SecondLog = Program.TempPath(QStringLiteral("second.jsonl"));
        (void)Program.RunAnotherCopy(SecondLog);
        const QList<QJsonObject> Boxes = ReadJsonLines(SecondLog);
        ASSERT_EQ(Boxes.size(), 1);
        EXPECT_EQ(Boxes[0].value(QStringLiteral("text")).toString(),
                  QStringLiteral("既に「Tolvane１６」は起動しています  "));
        EXPECT_EQ(Program.Process().state(), QProcess::Running);
    }
}

// Ended by the desktop (SIGTERM at log-out), the program closes as at the end of a session: it
// saves its settings and its menu window's place and exits normally.
TEST(ProgramStartTest, TerminationSignalEndsTheProgramAndSavesItsSettings)
{
    TProgramHarness Program;
    // No adapter: the start-up goes through without a line.
    Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("Adapter"), QStringLiteral("0"));
    ASSERT_TRUE(Program.Start());
    // The lock is taken before the program listens for the signal: wait for the menu window, so that
    // the signal meets a program that is up, however slow the build.
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    ASSERT_TRUE(Program.Terminate());
    EXPECT_EQ(Program.ExitCode(), 0);

    QFile Ini(Program.SettingsFolder() + QStringLiteral("VxRelvo16.ini"));
    ASSERT_TRUE(Ini.open(QIODevice::ReadOnly));
    const QString Text = QString::fromUtf8(Ini.readAll());
    EXPECT_TRUE(Text.contains(QStringLiteral("[MENU VIEW]\nLeft="))) << Text.toStdString();
    // Only the drive scan's note: nothing asked on the way out.
    for (const QJsonObject& Box : Program.Boxes())
        EXPECT_NE(Box.value(QStringLiteral("buttons")).toArray().size(), 2)
            << Box.value(QStringLiteral("text")).toString().toStdString();
}

} // namespace
