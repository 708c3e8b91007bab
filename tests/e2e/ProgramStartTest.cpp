#include "main/ProgramStart.h"

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

} // namespace
