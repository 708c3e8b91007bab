#include "tests/support/HermeticRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The suite must not reach the desktop it runs on: a PDF viewer or browser that the code under test
// found on the machine once hung the whole run. These cases start programs as the code under test
// would and show what the watch lets through.

namespace {

QString MachineProgram(const char* Name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(Name),
                                          {QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
}

} // namespace

TEST(HermeticRunTest, AProgramOfTheMachineIsRefusedHoweverItIsStarted)
{
    if (!HermeticRun::Watched())
        GTEST_SKIP() << "a sanitizer build runs without the watch: its runtime must be loaded first";
    const QString True = MachineProgram("true");
    ASSERT_FALSE(True.isEmpty());
    HermeticRun::TakeRefusedStarts();

    QProcess ByPath;
    ByPath.start(True, {QStringLiteral("--by-path")});
    EXPECT_FALSE(ByPath.waitForStarted(5000));
    EXPECT_FALSE(QProcess::startDetached(True, {QStringLiteral("--detached")}));
    {
        const TPathGuard Path(QFileInfo(True).path());
        QProcess ByName;
        ByName.start(QStringLiteral("true"), {QStringLiteral("--by-name")});
        EXPECT_FALSE(ByName.waitForStarted(5000));
    }
    EXPECT_EQ(HermeticRun::TakeRefusedStarts(),
              (QStringList{True + " --by-path", True + " --detached", True + " --by-name"}));
}

TEST(HermeticRunTest, AProgramOfTheBuildIsWatchedAndAStandInOfATestIsNot)
{
    if (!HermeticRun::Watched())
        GTEST_SKIP() << "a sanitizer build runs without the watch: its runtime must be loaded first";
    const QString True = MachineProgram("true");
    const QString Env = MachineProgram("env");
    ASSERT_FALSE(True.isEmpty());
    ASSERT_FALSE(Env.isEmpty());
    HermeticRun::TakeRefusedStarts();

    // A program of the build (here a copy of env) that starts a program of the machine, as the real
    // program would start a viewer: the program runs, its start of the other is refused.
    QTemporaryDir InBuild(QStringLiteral(VX_BIN_DIR "/../hermetic-XXXXXX"));
    ASSERT_TRUE(InBuild.isValid());
    const QString Copy = InBuild.filePath(QStringLiteral("env"));
    ASSERT_TRUE(QFile::copy(Env, Copy));
    QProcess Program;
    Program.start(Copy, {True});
    ASSERT_TRUE(Program.waitForFinished(5000));
    EXPECT_NE(Program.exitCode(), 0) << "env could not start the machine's program";
    EXPECT_EQ(HermeticRun::TakeRefusedStarts(), QStringList{True});

    // A stand-in that a test wrote into its temporary folder is its own: what it starts is not watched.
    QTemporaryDir Bin;
    const QString StandIn = Bin.filePath(QStringLiteral("viewer"));
    QFile Script(StandIn);
    ASSERT_TRUE(Script.open(QIODevice::WriteOnly));
    Script.write("#!/bin/sh\n" + True.toLocal8Bit() + " && printf ran > \"${0%/*}/out\"\n");
    Script.close();
    Script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QProcess Viewer;
    Viewer.start(StandIn, {});
    ASSERT_TRUE(Viewer.waitForFinished(5000));
    EXPECT_EQ(Viewer.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(Bin.filePath(QStringLiteral("out"))));
    EXPECT_EQ(HermeticRun::TakeRefusedStarts(), QStringList{});
}

TEST(HermeticRunTest, APathGuardPutsTheOldPathBackWhateverWayTheTestLeaves)
{
    const QByteArray Before = qgetenv("PATH");
    const auto Leave = [] {
        const TPathGuard Path(QStringLiteral("/nowhere"));
        EXPECT_EQ(qgetenv("PATH"), QByteArray("/nowhere"));
        throw 1;
    };
    EXPECT_THROW(Leave(), int);
    EXPECT_EQ(qgetenv("PATH"), Before);
}

TEST(HermeticRunTest, AFailingComparisonShowsTheTextsItCompared)
{
    using ::testing::PrintToString;
    EXPECT_EQ(PrintToString(QStringLiteral("梅田１～３\n")), "\"梅田１～３\\n\"");
    EXPECT_EQ(PrintToString(QString()), "QString()");
    EXPECT_EQ(PrintToString(QStringList{"東京", "𠮷野"}), "{\"東京\", \"𠮷野\"}");
    EXPECT_EQ(PrintToString(QByteArray("\x93\x8c\x8b\x9e\"", 5)), "\"\\x93\\x8C\\x8B\\x9E\\\"\" (5 bytes)");
    EXPECT_EQ(PrintToString(QVariant(42)), "QVariant(int, \"42\")");
    EXPECT_EQ(PrintToString(QVariant(QStringLiteral("03"))), "QVariant(QString, \"03\")");
    EXPECT_EQ(PrintToString(QDateTime(QDate(2026, 12, 11), QTime(1, 2, 3, 45), Qt::UTC)), "2026-12-11T01:02:03.045Z");
    EXPECT_EQ(PrintToString(QDateTime()), "QDateTime(invalid)");
}
