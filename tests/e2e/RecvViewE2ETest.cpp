// The running program on the simulated adapter: a call pops up "着信照会", which writes what it shows
// to the window log; the rows are read back with the sqlite3 shell.
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

constexpr int Patience = 15000;

// A complete start with no dialog in the way: the serial adapter on COM1, both pop-ups on.
QByteArray IniText(const QString& DataPath)
{
    return QStringLiteral("[VERSION]\nDLL=33554440\n"
                          "[COMMON]\nCD=/media/cdrom/\nAdapter=1\nPort=COM1\nDataPath=%1\nInfo=0\n"
                          "[OPERATION]\nViewSplash=0\nHisListPopup=1\nRecvViewPopup=1\nRingSound=0\nWaveFile=\n"
                          "NotMoveFocus=1\n"
                          "[RECEIVE HISTORY]\nBeforeSelectItems=1\nBeforeRecvDateTime=1\nNewDataView=1\nAutoAdd=1\n"
                          "[SCREEN VIEW]\nSelectItem1=内容\nSelectItem2=メモ\nSelectItem3=受付\nMenuVisible=1\n"
                          "[BASE]\nRegister=1\n[AUTO UPDATE]\nUpdateCheck=0\n[AUTO BACKUP]\nAutoBU=0\n")
        .arg(DataPath)
        .toUtf8();
}

class RecvViewE2ETest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        DataHome = Dir.filePath(QStringLiteral("data"));
        SettingsFolder = DataHome + QStringLiteral("/Pelmar/VxRelvo16/");
        DataFolder = Dir.filePath(QStringLiteral("tables/"));
        WindowLog = Dir.filePath(QStringLiteral("windows.jsonl"));
        const QString RuntimeDir = Dir.filePath(QStringLiteral("run"));
        ASSERT_TRUE(QDir().mkpath(SettingsFolder) && QDir().mkpath(DataFolder) && QDir().mkpath(RuntimeDir));
        QFile::setPermissions(RuntimeDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile Ini(SettingsFolder + QStringLiteral("VxRelvo16.ini"));
        ASSERT_TRUE(Ini.open(QIODevice::WriteOnly));
        Ini.write(IniText(DataFolder));
        Ini.close();

        // One caller the directory knows.
        DefaultSession().AddPassword(MasterPassword);
        TTable Meibo;
        Meibo.SetDatabaseName(DataFolder);
        Meibo.SetTableName(MeiboFileName);
        Meibo.CreateTable(MeiboTableDef(), MasterPassword);
        Meibo.Open();
        Meibo.Append();
        Meibo.FieldByName(QStringLiteral("RecNo")).SetAsInteger(0);
        Meibo.FieldByName(QStringLiteral("SchTel1")).SetAsString(QStringLiteral("0312345678"));
        Meibo.FieldByName(QStringLiteral("Tel1")).SetAsString(QStringLiteral("03-1234-5678"));
        Meibo.FieldByName(QStringLiteral("NameKanji")).SetAsString(QStringLiteral("田中　一郎"));
        Meibo.FieldByName(QStringLiteral("NameKana")).SetAsString(QStringLiteral("ﾀﾅｶ ｲﾁﾛｳ"));
        Meibo.Post();
        Meibo.Close();

        Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("XDG_DATA_HOME"), DataHome);
        Env.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir);
        Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        Env.insert(QStringLiteral("VX_MSGBOX_LOG"), Dir.filePath(QStringLiteral("boxes.log")));
        Env.insert(QStringLiteral("VX_WINDOW_LOG"), WindowLog);
        Program.setProcessEnvironment(Env);
        Program.setProgram(QStringLiteral(VX_BIN_DIR "/VxRelvo16"));
    }
    void TearDown() override
    {
        if (Program.state() != QProcess::NotRunning) {
            Program.terminate();
            if (!Program.waitForFinished(5000)) {
                Program.kill();
                Program.waitForFinished(5000);
            }
        }
    }
    int Ring(const QString& Number)
    {
        QProcess Process;
        Process.setProcessEnvironment(Env);
        Process.start(QStringLiteral(VX_BIN_DIR "/vxcall"), {QStringLiteral("call"), Number});
        return Process.waitForFinished(Patience) ? Process.exitCode() : -1;
    }
    QStringList Sql(const QString& Statement)
    {
        QProcess Process;
        Process.start(QStringLiteral("sqlite3"), {DataFolder + QStringLiteral("RecvHis.DB"), Statement});
        if (!Process.waitForFinished(Patience) || Process.exitCode() != 0)
            return {QStringLiteral("sqlite3 failed")};
        return QString::fromUtf8(Process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }
    // The fills of the incoming-call window so far, once there are at least Count.
    QList<QJsonObject> WaitForFills(int Count)
    {
        QElapsedTimer Clock;
        Clock.start();
        QList<QJsonObject> Fills;
        while (Clock.elapsed() < Patience) {
            Fills.clear();
            QFile File(WindowLog);
            if (File.open(QIODevice::ReadOnly))
                for (const QByteArray& Line : File.readAll().split('\n'))
                    if (!Line.isEmpty())
                        Fills << QJsonDocument::fromJson(Line).object();
            if (Fills.size() >= Count)
                break;
            QThread::msleep(50);
        }
        return Fills;
    }
    static QString Field(const QJsonObject& Fill, const char* Name)
    {
        return Fill.value(QStringLiteral("fields")).toObject().value(QLatin1String(Name)).toString();
    }

    QTemporaryDir Dir;
    QString DataHome, SettingsFolder, DataFolder, WindowLog;
    QProcessEnvironment Env;
    QProcess Program;
};

TEST_F(RecvViewE2ETest, AKnownCallerFillsTheWindowAndTheNextCallRefillsIt)
{
    Program.start();
    ASSERT_TRUE(Program.waitForStarted(5000));
    QElapsedTimer Clock;
    Clock.start();
    while (!QFileInfo::exists(SettingsFolder + QStringLiteral("vxcomm.sock")) && Clock.elapsed() < Patience)
        QThread::msleep(50);
    ASSERT_TRUE(QFileInfo::exists(SettingsFolder + QStringLiteral("vxcomm.sock"))) << "the line did not open";

    ASSERT_EQ(Ring(QStringLiteral("0312345678")), 0);
    QList<QJsonObject> Fills = WaitForFills(1);
    ASSERT_EQ(Fills.size(), 1);
    EXPECT_EQ(Fills[0].value(QStringLiteral("title")).toString(), QStringLiteral("着信照会"));
    EXPECT_EQ(Field(Fills[0], "edtTel1"), QStringLiteral("03-1234-5678"));
    EXPECT_EQ(Field(Fills[0], "nmedtNameKanji"), QStringLiteral("田中　一郎"));
    EXPECT_EQ(Field(Fills[0], "pnlDivision"), QStringLiteral("既存"));

    // A caller nobody knows: the open window is refilled, empty but for the hyphenated number.
    ASSERT_EQ(Ring(QStringLiteral("0398765432")), 0);
    Fills = WaitForFills(2);
    ASSERT_EQ(Fills.size(), 2);
    EXPECT_EQ(Field(Fills[1], "edtTel1"), QStringLiteral("03-9876-5432"));
    EXPECT_EQ(Field(Fills[1], "nmedtNameKanji"), QString());
    EXPECT_EQ(Field(Fills[1], "pnlDivision"), QStringLiteral("新規"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM RecvHis")), QStringList{QStringLiteral("2")});
}

} // namespace
