// The running program meets table files it cannot use: it says so and runs on.
#include "main/common/ProductInfo.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

constexpr int Patience = 15000;

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

// A later version may add field types; this one must refuse such a call history, not fall over it.
TEST(TableFileE2ETest, CallHistoryOfALaterVersionIsReportedAndTheProgramRunsOn)
{
    QTemporaryDir Dir;
    const QString DataHome = Dir.filePath(u"data"_qs);
    const QString SettingsFolder = DataHome + u"/Pelmar/VxRelvo16/"_qs;
    const QString DataFolder = Dir.filePath(u"tables/"_qs);
    const QString RuntimeDir = Dir.filePath(u"run"_qs);
    ASSERT_TRUE(QDir().mkpath(SettingsFolder) && QDir().mkpath(DataFolder) && QDir().mkpath(RuntimeDir));
    QFile::setPermissions(RuntimeDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    {
        QFile Ini(SettingsFolder + u"VxRelvo16.ini"_qs);
        ASSERT_TRUE(Ini.open(QIODevice::WriteOnly));
        Ini.write(QStringLiteral("[VERSION]\nDLL=33554440\n[COMMON]\nCD=/media/cdrom/\nAdapter=1\nPort=COM1\n"
                                 "DataPath=%1\nInfo=0\n[OPERATION]\nViewSplash=0\nHisListPopup=0\n"
                                 "RecvViewPopup=0\nRingSound=0\nWaveFile=\n[SCREEN VIEW]\nSelectItem1=a\n"
                                 "SelectItem2=b\nSelectItem3=c\nMenuVisible=1\n[BASE]\nRegister=1\n"
                                 "[AUTO UPDATE]\nUpdateCheck=0\n[AUTO BACKUP]\nAutoBU=0\n")
                      .arg(DataFolder)
                      .toUtf8());
    }
    {
        TTable Table;
        Table.SetDatabaseName(DataFolder);
        Table.SetTableName(RecvHisFileName);
        Table.CreateTable(RecvHisTableDef(), MasterPassword);
    }
    sqlite3* Db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(DataFolder + RecvHisFileName).constData(), &Db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(Db, "UPDATE _meta SET Type = 'Decimal' WHERE Kind = 'field' AND Name = 'Tel'", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(Db);

    const QString Log = Dir.filePath(u"boxes.log"_qs);
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert(u"XDG_DATA_HOME"_qs, DataHome);
    Env.insert(u"XDG_RUNTIME_DIR"_qs, RuntimeDir);
    Env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    Env.insert(u"VX_MSGBOX_LOG"_qs, Log);
    QProcess Program;
    Program.setProcessEnvironment(Env);
    Program.start(QStringLiteral(VX_BIN_DIR "/VxRelvo16"), {});
    ASSERT_TRUE(Program.waitForStarted(5000));

    const auto Reported = [&] {
        for (const QJsonObject& Box : ReadBoxes(Log))
            if (Box.value(u"text"_qs).toString() == RecvHisOpenError)
                return true;
        return false;
    };
    QElapsedTimer Clock;
    Clock.start();
    while (!Reported() && Clock.elapsed() < Patience)
        if (Program.waitForFinished(50))
            break;
    EXPECT_TRUE(Reported());
    for (const QJsonObject& Box : ReadBoxes(Log))
        if (Box.value(u"text"_qs).toString() == RecvHisOpenError) {
            EXPECT_EQ(Box.value(u"caption"_qs).toString(), ProductName);
            EXPECT_EQ(Box.value(u"icon"_qs).toString(), u"Stop"_qs);
        }

    // Still there, and it ends as any session end does.
    (void)Program.waitForFinished(300);
    ASSERT_EQ(Program.state(), QProcess::Running)
        << "ended with status " << Program.exitStatus() << ", code " << Program.exitCode();
    Program.terminate();
    ASSERT_TRUE(Program.waitForFinished(10000));
    EXPECT_EQ(Program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(Program.exitCode(), 0);
}

} // namespace
