#include "platform/sys/SingleInstance.h"
#include "tests/support/OlderVersionFixture.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/SqlRows.h"
#include "utility/start/UtilityRunning.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const QString Question =
    QStringLiteral("Tolvane１５がインストールされています  \r\nデータをコンバートしますか？  \r\n\r\n"
                   "※コンバート処理は後でユーティリティでも行えます  ");

// The harness's world seen from the test: the fixture writer finds the application data folder
// through XDG_DATA_HOME, and a lock of the test meets the program's in the same runtime folder.
class TWorldEnvironment
{
public:
    explicit TWorldEnvironment(TProgramHarness& Program)
        : FHome(qgetenv("XDG_DATA_HOME")), FRuntime(qgetenv("XDG_RUNTIME_DIR"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(Program.DataHome()));
        qputenv("XDG_RUNTIME_DIR", Program.Environment().value(QStringLiteral("XDG_RUNTIME_DIR")).toLocal8Bit());
    }
    ~TWorldEnvironment()
    {
        qputenv("XDG_DATA_HOME", FHome);
        qputenv("XDG_RUNTIME_DIR", FRuntime);
    }

private:
    QByteArray FHome;
    QByteArray FRuntime;
};

// Version 15 installed with its data (two calls, one directory entry, a rank), version 16 registered.
QString InstallVersion15(TProgramHarness& Program, const QString& Stem, bool WithDataPath = true)
{
    const QString Data = Program.TempPath(QStringLiteral("v15data/"));
    const OlderFixture::TDataFolder Folder(15, Data);
    Folder.WriteRecvHis({{{QStringLiteral("SchTel"), QStringLiteral("0311112222")}},
                         {{QStringLiteral("SchTel"), QStringLiteral("0633334444")}}});
    Folder.WriteMeibo({{{QStringLiteral("SchTel1"), QStringLiteral("0311112222")},
                        {QStringLiteral("NameKanji"), QStringLiteral("鈴木")}}});
    Folder.WriteRank({QStringLiteral("上得意")});
    (void)OlderFixture::InstallVersion(15, WithDataPath ? Data : Program.TempPath(QStringLiteral("gone")),
                                       {false, 4, QStringLiteral("/dev/ttyS3")}, {}, {}, Stem);
    QFile Registry(GetCommonAppDataFolder() + QStringLiteral("Pelmar/registry.ini"));
    EXPECT_TRUE(Registry.open(QIODevice::Append));
    Registry.write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vxrelvo15.exe]\n"
                   "Path=C:/Program Files/Tolvane15\n"
                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vxrelvo16.exe]\n"
                   "Path=C:/Program Files/Tolvane16\n");
    return Data;
}

QStringList Texts(const TProgramHarness& Program)
{
    QStringList Texts;
    for (const QJsonObject& Box : Program.Boxes())
        if (Box.contains(QStringLiteral("text")))
            Texts.append(Box.value(QStringLiteral("text")).toString());
    return Texts;
}

TEST(SilentConversionE2ETest, YesAndAFolderConvertVersion15IntoTheDefaultDataFolder)
{
    for (const QString& Stem : {QStringLiteral("vxrelvo15"), QStringLiteral("VxRelvo15")}) {
        SCOPED_TRACE(Stem.toStdString());
        TProgramHarness Program;
        QString Data;
        {
            TWorldEnvironment World(Program);
            Data = InstallVersion15(Program, Stem);
        }
        Program.SetProgram(QStringLiteral("VxUtil16"), Utility::UTILITY_INSTANCE_NAME, {QStringLiteral("/c")});
        Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("Yes,OK"));
        Program.Environment().insert(QStringLiteral("VX_FILEDIALOG_ANSWERS"), Data);
        ASSERT_TRUE(Program.Start());
        ASSERT_TRUE(Program.Process().waitForFinished(TProgramHarness::Patience));
        EXPECT_EQ(Program.ExitCode(), 0);
        const QStringList Shown = Texts(Program);
        ASSERT_GE(Shown.size(), 2);
        EXPECT_EQ(Shown.first(), Question);
        EXPECT_EQ(Shown.last(), QStringLiteral("コンバートが終了しました  "));
        // Into the settings folder's Data/, not the folder the settings name.
        const QString Into = Program.SettingsFolder() + QStringLiteral("Data/");
        EXPECT_EQ(SqlRows(Into + QStringLiteral("RecvHis.DB"), "SELECT RecNo, SchTel FROM RecvHis ORDER BY RecNo"),
                  (QStringList{"0|0311112222", "1|0633334444"}));
        EXPECT_EQ(SqlRows(Into + QStringLiteral("Meibo.DB"), "SELECT NameKanji FROM Meibo"), QStringList{"鈴木"});
        EXPECT_FALSE(QFileInfo::exists(Program.DataFolder() + QStringLiteral("RecvHis.DB")));
        EXPECT_EQ(Program.Setting(QStringLiteral("COMMON"), QStringLiteral("DataPath")), Program.DataFolder());
        EXPECT_EQ(Program.Setting(QStringLiteral("COMMON"), QStringLiteral("Adapter")), QStringLiteral("4"));
        EXPECT_EQ(Program.Setting(QStringLiteral("COMMON"), QStringLiteral("Port")), QStringLiteral("/dev/ttyS3"));
        EXPECT_FALSE(Program.Setting(QStringLiteral("VERSION"), QStringLiteral("DLL")).isEmpty());
    }
}

TEST(SilentConversionE2ETest, NothingIsShownWhileVersion15RunsOrHasNoDataFolder)
{
    for (const bool Running : {true, false}) {
        SCOPED_TRACE(Running);
        TProgramHarness Program;
        TWorldEnvironment World(Program);
        (void)InstallVersion15(Program, QStringLiteral("vxrelvo15"), Running);
        std::unique_ptr<TSingleInstance> Lock;
        if (Running) {
            Lock = std::make_unique<TSingleInstance>(Utility::OlderInstanceName(15));
            ASSERT_EQ(Lock->Acquire(), TSingleInstance::EAcquire::Acquired);
        }
        Program.SetProgram(QStringLiteral("VxUtil16"), Utility::UTILITY_INSTANCE_NAME, {QStringLiteral("/c")});
        ASSERT_TRUE(Program.Start());
        ASSERT_TRUE(Program.Process().waitForFinished(TProgramHarness::Patience));
        EXPECT_EQ(Program.ExitCode(), 0);
        EXPECT_TRUE(Program.Boxes().isEmpty());
        EXPECT_TRUE(Program.WindowFills().isEmpty());
        EXPECT_FALSE(QDir(Program.SettingsFolder() + QStringLiteral("Data")).exists());
    }
}

} // namespace
