#include "main/start/ProgramStart.h"

#include "platform/sys/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// One copy of VxRelvo16 with a data folder, a runtime folder and a message-box log of the test's own.
class TProgram
{
public:
    TProgram(const QString& DataHome, const QString& RuntimeDir, const QString& BoxLog)
    {
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("XDG_DATA_HOME"), DataHome);
        Env.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir);
        Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        Env.insert(QStringLiteral("VX_MSGBOX_LOG"), BoxLog);
        Process.setProcessEnvironment(Env);
        Process.setProgram(QStringLiteral(VX_BIN_DIR "/VxRelvo16"));
    }
    ~TProgram()
    {
        if (Process.state() != QProcess::NotRunning) {
            Process.kill();
            Process.waitForFinished(5000);
        }
    }
    QProcess Process;
};

QList<QJsonObject> ReadBoxes(const QString& FileName)
{
    QFile File(FileName);
    QList<QJsonObject> Boxes;
    if (File.open(QIODevice::ReadOnly))
        for (const QByteArray& Line : File.readAll().split('\n'))
            if (!Line.isEmpty())
                Boxes << QJsonDocument::fromJson(Line).object();
    return Boxes;
}

TEST(ProgramStartTest, SecondStartSaysTheProgramRunsAndEnds)
{
    QTemporaryDir Dir;
    const QString DataHome = Dir.filePath(QStringLiteral("data"));
    const QString RuntimeDir = Dir.filePath(QStringLiteral("run"));
    const QString Settings = DataHome + QStringLiteral("/Pelmar/VxRelvo16");
    ASSERT_TRUE(QDir().mkpath(Settings));
    ASSERT_TRUE(QDir().mkpath(RuntimeDir));
    QFile::setPermissions(RuntimeDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    {
        // No splash, no first-start note, no registration prompt, no update check: the first copy
        // comes up without waiting for anybody.
        QFile Ini(Settings + QStringLiteral("/VxRelvo16.ini"));
        ASSERT_TRUE(Ini.open(QIODevice::WriteOnly));
        Ini.write("[OPERATION]\nViewSplash=0\n[COMMON]\nInfo=0\n[BASE]\nRegister=1\n[AUTO UPDATE]\nUpdateCheck=0\n"
                  "[AUTO BACKUP]\nAutoBU=0\n[SCREEN VIEW]\nMenuVisible=1\n");
    }
    qputenv("XDG_RUNTIME_DIR", RuntimeDir.toLocal8Bit());

    TProgram First(DataHome, RuntimeDir, Dir.filePath(QStringLiteral("first.log")));
    First.Process.start();
    ASSERT_TRUE(First.Process.waitForStarted(5000));
    QElapsedTimer Clock;
    Clock.start();
    while (!TSingleInstance::IsHeldElsewhere(MAIN_INSTANCE_NAME) && Clock.elapsed() < 10000)
        QThread::msleep(50);
    ASSERT_TRUE(TSingleInstance::IsHeldElsewhere(MAIN_INSTANCE_NAME));

    const QString SecondLog = Dir.filePath(QStringLiteral("second.log"));
    TProgram Second(DataHome, RuntimeDir, SecondLog);
    Second.Process.start();
    ASSERT_TRUE(Second.Process.waitForFinished(10000));
    EXPECT_EQ(Second.Process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(Second.Process.exitCode(), 0);
    const QList<QJsonObject> Boxes = ReadBoxes(SecondLog);
    ASSERT_EQ(Boxes.size(), 1);
    EXPECT_EQ(Boxes[0].value(QStringLiteral("text")).toString(),
              QStringLiteral("既に「Tolvane１６」は起動しています  "));
    EXPECT_EQ(Boxes[0].value(QStringLiteral("caption")).toString(), QStringLiteral("Tolvane１６"));
    EXPECT_EQ(Boxes[0].value(QStringLiteral("icon")).toString(), QStringLiteral("Information"));

    // The first copy runs on.
    EXPECT_EQ(First.Process.state(), QProcess::Running);
    qunsetenv("XDG_RUNTIME_DIR");
}

// Ended by the desktop (SIGTERM at log-out), the program closes as at the end of a session: it
// saves its settings and its menu window's place and exits normally.
TEST(ProgramStartTest, TerminationSignalEndsTheProgramAndSavesItsSettings)
{
    QTemporaryDir Dir;
    const QString DataHome = Dir.filePath(QStringLiteral("data"));
    const QString RuntimeDir = Dir.filePath(QStringLiteral("run"));
    const QString Settings = DataHome + QStringLiteral("/Pelmar/VxRelvo16");
    ASSERT_TRUE(QDir().mkpath(Settings + QStringLiteral("/Data")));
    ASSERT_TRUE(QDir().mkpath(RuntimeDir));
    QFile::setPermissions(RuntimeDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString IniName = Settings + QStringLiteral("/VxRelvo16.ini");
    {
        // Complete settings: the start-up goes through without the settings dialog, on no adapter.
        QFile Ini(IniName);
        ASSERT_TRUE(Ini.open(QIODevice::WriteOnly));
        Ini.write("[VERSION]\nDLL=33554440\n[OPERATION]\nViewSplash=0\nWaveFile=\n[COMMON]\nCD=/\nInfo=0\nAdapter=0\n"
                  "Port=COM1\nDataPath=" +
                  Settings.toUtf8() +
                  "/Data/\n[BASE]\nRegister=1\n[AUTO UPDATE]\nUpdateCheck=0\n[AUTO BACKUP]\nAutoBU=0\n"
                  "[SCREEN VIEW]\nMenuVisible=1\nSelectItem1=a\nSelectItem2=b\nSelectItem3=c\n");
    }
    qputenv("XDG_RUNTIME_DIR", RuntimeDir.toLocal8Bit());
    const QString Log = Dir.filePath(QStringLiteral("boxes.log"));
    TProgram Program(DataHome, RuntimeDir, Log);
    Program.Process.start();
    ASSERT_TRUE(Program.Process.waitForStarted(5000));
    QElapsedTimer Clock;
    Clock.start();
    while (!TSingleInstance::IsHeldElsewhere(MAIN_INSTANCE_NAME) && Clock.elapsed() < 10000)
        QThread::msleep(50);
    // The lock is taken before the program listens for the signal: wait for the start-up to read
    // its settings (the drive scan's note, on a machine without an optical drive), however slow the
    // build, so that the signal meets a program that is up.
    while (ReadBoxes(Log).isEmpty() && Clock.elapsed() < 20000)
        QThread::msleep(50);
    QThread::msleep(200);
    Program.Process.terminate();
    ASSERT_TRUE(Program.Process.waitForFinished(10000));
    EXPECT_EQ(Program.Process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(Program.Process.exitCode(), 0);

    QFile Ini(IniName);
    ASSERT_TRUE(Ini.open(QIODevice::ReadOnly));
    const QString Text = QString::fromUtf8(Ini.readAll());
    EXPECT_TRUE(Text.contains(QStringLiteral("[MENU VIEW]\nLeft="))) << Text.toStdString();
    EXPECT_FALSE(TSingleInstance::IsHeldElsewhere(MAIN_INSTANCE_NAME));
    // Only the drive scan's note: nothing asked on the way out.
    for (const QJsonObject& Box : ReadBoxes(Log))
        EXPECT_NE(Box.value(QStringLiteral("buttons")).toArray().size(), 2)
            << Box.value(QStringLiteral("text")).toString().toStdString();
    qunsetenv("XDG_RUNTIME_DIR");
}

} // namespace
