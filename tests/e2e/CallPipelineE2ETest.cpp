// The running program on the simulated adapter: calls rung with vxcall become rows of RecvHis.DB,
// read back with the sqlite3 shell.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

constexpr int Patience = 15000;

// Every setting a complete start needs, so that no dialog stands in the way: the serial adapter
// on COM1, the stand-in library's version, no pop-ups (the rows are what is checked here).
QByteArray IniText(const QString& DataPath)
{
    return QStringLiteral("[VERSION]\nDLL=33554440\n"
                          "[COMMON]\nCD=/media/cdrom/\nAdapter=1\nPort=COM1\nDataPath=%1\nInfo=0\n"
                          "[OPERATION]\nViewSplash=0\nHisListPopup=0\nRecvViewPopup=0\nRingSound=0\nWaveFile=\n"
                          "[RECEIVE HISTORY]\nBeforeSelectItems=1\nBeforeRecvDateTime=1\n"
                          "[SCREEN VIEW]\nSelectItem1=内容\nSelectItem2=メモ\nSelectItem3=受付\nMenuVisible=1\n"
                          "[BASE]\nRegister=1\n[AUTO UPDATE]\nUpdateCheck=0\n[AUTO BACKUP]\nAutoBU=0\n")
        .arg(DataPath)
        .toUtf8();
}

class CallPipelineE2ETest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        DataHome = Dir.filePath(u"data"_qs);
        SettingsFolder = DataHome + u"/Pelmar/VxRelvo16/"_qs;
        DataFolder = Dir.filePath(u"tables/"_qs);
        const QString RuntimeDir = Dir.filePath(u"run"_qs);
        ASSERT_TRUE(QDir().mkpath(SettingsFolder) && QDir().mkpath(DataFolder) && QDir().mkpath(RuntimeDir));
        QFile::setPermissions(RuntimeDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile Ini(SettingsFolder + u"VxRelvo16.ini"_qs);
        ASSERT_TRUE(Ini.open(QIODevice::WriteOnly));
        Ini.write(IniText(DataFolder));
        Ini.close();

        Env = QProcessEnvironment::systemEnvironment();
        Env.insert(u"XDG_DATA_HOME"_qs, DataHome);
        Env.insert(u"XDG_RUNTIME_DIR"_qs, RuntimeDir);
        Env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        Env.insert(u"VX_MSGBOX_LOG"_qs, Dir.filePath(u"boxes.log"_qs));
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

    int Run(const QString& Tool, const QStringList& Arguments, QByteArray* Out = nullptr)
    {
        QProcess Process;
        Process.setProcessEnvironment(Env);
        Process.start(Tool, Arguments);
        if (!Process.waitForFinished(Patience))
            return -1;
        if (Out)
            *Out = Process.readAllStandardOutput();
        return Process.exitCode();
    }
    int Ring(const QString& Number) { return Run(QStringLiteral(VX_BIN_DIR "/vxcall"), {u"call"_qs, Number}); }
    QStringList Sql(const QString& Statement)
    {
        QByteArray Out;
        if (Run(u"sqlite3"_qs, {DataFolder + u"RecvHis.DB"_qs, Statement}, &Out) != 0)
            return {u"sqlite3 failed"_qs};
        return QString::fromUtf8(Out).split(u'\n', Qt::SkipEmptyParts);
    }
    bool WaitForRows(int Count)
    {
        QElapsedTimer Clock;
        Clock.start();
        while (Clock.elapsed() < Patience) {
            if (QFileInfo::exists(DataFolder + u"RecvHis.DB"_qs) &&
                Sql(u"SELECT count(*) FROM RecvHis"_qs) == QStringList{QString::number(Count)})
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    QTemporaryDir Dir;
    QString DataHome, SettingsFolder, DataFolder;
    QProcessEnvironment Env;
    QProcess Program;
};

TEST_F(CallPipelineE2ETest, CallsBecomeRowsInOrderAndARepeatCarriesTheFirstCallsItems)
{
    Program.start();
    ASSERT_TRUE(Program.waitForStarted(5000));
    // The line is open when the adapter listens.
    QElapsedTimer Clock;
    Clock.start();
    while (!QFileInfo::exists(SettingsFolder + u"vxcomm.sock"_qs) && Clock.elapsed() < Patience)
        QThread::msleep(50);
    ASSERT_TRUE(QFileInfo::exists(SettingsFolder + u"vxcomm.sock"_qs)) << "the program did not open the line";

    ASSERT_EQ(Ring(u"0312345678"_qs), 0);
    ASSERT_TRUE(WaitForRows(1));
    // What the user would have chosen for the first call.
    ASSERT_TRUE(Sql(u"UPDATE RecvHis SET SelItem1 = 'Estimate', SelItem3 = 'Sato' WHERE RecNo = 0"_qs).isEmpty());
    for (const QString& Number : {u"P"_qs, QString(), u"0312345678"_qs})
        ASSERT_EQ(Ring(Number), 0) << Number.toStdString();
    ASSERT_TRUE(WaitForRows(3));

    // Text columns are compared here, not in SQL: the shell lacks the tables' collations.
    const QStringList Rows =
        Sql(u"SELECT RecNo, SchTel, Tel, SelItem1, SelItem2, SelItem3, Division FROM RecvHis ORDER BY RecNo"_qs);
    EXPECT_EQ(Rows.join(u'\n').toStdString(), "0|0312345678|03-1234-5678|Estimate||Sato|0\n"
                                              "1|P|P||||0\n"
                                              "2|0312345678|03-1234-5678|Estimate||Sato|0");
    // The blank call left nothing behind, and nothing went wrong on the way.
    QThread::msleep(200);
    EXPECT_EQ(Sql(u"SELECT count(*) FROM RecvHis"_qs), QStringList{u"3"_qs});
    QFile Boxes(Dir.filePath(u"boxes.log"_qs));
    if (Boxes.open(QIODevice::ReadOnly)) {
        for (const QByteArray& Line : Boxes.readAll().split('\n'))
            EXPECT_FALSE(Line.contains("\"icon\":\"Stop\"")) << Line.toStdString();
    }
}

} // namespace
