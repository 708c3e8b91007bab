#include "utility/start/UtilFolders.h"

#include "main/settings/Settings.h"
#include "platform/sys/Folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Utility;

namespace {

class UtilFoldersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SavedHome = qgetenv("XDG_DATA_HOME");
        SavedConfig = qgetenv("XDG_CONFIG_DIRS");
        qputenv("XDG_DATA_HOME", QFile::encodeName(Dir.filePath(QStringLiteral("home"))));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(Dir.filePath(QStringLiteral("etc"))));
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_HOME", SavedHome);
        qputenv("XDG_CONFIG_DIRS", SavedConfig);
    }
    QString Folder(const QString& Name) const
    {
        const QString Path = Dir.filePath(Name) + u'/';
        QDir().mkpath(Path);
        return Path;
    }
    static void Write(const QString& File, const QByteArray& Text)
    {
        QDir().mkpath(QFileInfo(File).absolutePath());
        QFile Out(File);
        ASSERT_TRUE(Out.open(QIODevice::WriteOnly));
        Out.write(Text);
    }

    QTemporaryDir Dir;
    QByteArray SavedHome;
    QByteArray SavedConfig;
};

TEST_F(UtilFoldersTest, EarlierVersionsAreFoundInTheirSettingsFoldersAndThroughTheRegistry)
{
    const QString Pelmar = GetCommonAppDataFolder() + QStringLiteral("Pelmar/");
    // Version 14: its data folder and adapter as its settings say (CP932, CRLF, as it wrote them).
    const QString Data14 = Folder(QStringLiteral("data14"));
    Write(Pelmar + QStringLiteral("VxRelvo14/VxRelvo14.ini"),
          "[COMMON]\r\nDataPath=" + Data14.toUtf8() + "\r\nIPPBX=1\r\nAdapter=5\r\nPort=COM3\r\n");
    // Version 12: installed, but its data folder is not set.
    Write(Pelmar + QStringLiteral("VxRelvo12/VxRelvo12.ini"), "[COMMON]\nDataPath=\nIPPBX=1\nAdapter=7\nPort=COM4\n");
    // Version 9: its program folder from App Paths (the key spelt in another case).
    const QString Program9 = Folder(QStringLiteral("prog9"));
    const QString Data9 = Folder(QStringLiteral("data9"));
    Write(Program9 + QStringLiteral("VxRelvo9.ini"), "[COMMON]\nDataPath=" + Data9.toUtf8() + "\n");
    Write(Pelmar + QStringLiteral("registry.ini"),
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vxrelvo9.EXE]\n"
          "Path=" +
              Program9.toUtf8() + "\n");

    FindOlderVersionFolders();
    EXPECT_TRUE(OlderVersionFolders[1].Found);
    EXPECT_EQ(OlderVersionFolders[1].Folder, Data14);
    EXPECT_EQ(OlderAdapterSettings[1], (TOlderAdapterSetting{true, 5, QStringLiteral("COM3")}));
    EXPECT_FALSE(OlderVersionFolders[3].Found);
    EXPECT_EQ(OlderVersionEdits[3], QStringLiteral("見つかりません"));
    EXPECT_EQ(OlderAdapterSettings[3], (TOlderAdapterSetting{false, 1, QStringLiteral("COM1")}));
    EXPECT_TRUE(OlderVersionFolders[6].Found);
    EXPECT_EQ(OlderVersionEdits[6], Data9);
    for (int I : {0, 2, 4, 5, 7, 14}) {
        EXPECT_FALSE(OlderVersionFolders[I].Found) << I;
        EXPECT_EQ(OlderVersionEdits[I], NotFoundText) << I;
    }
}

TEST_F(UtilFoldersTest, AFolderNamedNotFoundIsNoFoundFolder)
{
    // A folder that happens to carry the not-found text stays a folder, and the flag says found.
    const QString Odd = Folder(QStringLiteral("見つかりません"));
    const QString Pelmar = GetCommonAppDataFolder() + QStringLiteral("Pelmar/");
    Write(Pelmar + QStringLiteral("VxRelvo15/VxRelvo15.ini"), "[COMMON]\nDataPath=" + Odd.toUtf8() + "\n");
    FindOlderVersionFolders();
    EXPECT_TRUE(OlderVersionFolders[0].Found);
    EXPECT_EQ(OlderVersionFolders[0].Folder, Odd);
}

TEST_F(UtilFoldersTest, TheDataFolderComesFromTheSettingsWithoutAFallback)
{
    InitProgramFolders();
    const QString Data = Folder(QStringLiteral("tables"));
    DataPath.clear();
    Write(SettingsFileName(), "[COMMON]\nDataPath=" + Data.chopped(1).toUtf8() + "\n");
    ASSERT_TRUE(ReadUtilityDataPath());
    EXPECT_EQ(DataPath, Data);
    Write(SettingsFileName(), "[COMMON]\nDataPath=" + Dir.filePath(QStringLiteral("gone")).toUtf8() + "\n");
    EXPECT_FALSE(ReadUtilityDataPath());
    Write(SettingsFileName(), "[COMMON]\n");
    EXPECT_FALSE(ReadUtilityDataPath());
}

TEST_F(UtilFoldersTest, FoldersCompareAsTextAndAsTheSameFolderOnDisk)
{
    const QString Data = Folder(QStringLiteral("Data"));
    ASSERT_TRUE(QFile::link(Data.chopped(1), Dir.filePath(QStringLiteral("link"))));
    EXPECT_TRUE(SameFolder(Data, Data.chopped(1), true));
    EXPECT_TRUE(SameFolder(Data, Dir.filePath(QStringLiteral("link")), true));
    EXPECT_TRUE(SameFolder(Data, Dir.filePath(QStringLiteral("Data/./")), true));
    EXPECT_TRUE(SameFolder(Data, Dir.filePath(QStringLiteral("DATA/")), false));
    EXPECT_FALSE(SameFolder(Data, Dir.filePath(QStringLiteral("DATA/")), true));
    EXPECT_FALSE(SameFolder(Data, Folder(QStringLiteral("Other")), false));
}

TEST(UtilArgumentsTest, OnlyTheFirstArgumentCountsAsTheSilentSwitch)
{
    EXPECT_TRUE(IsSilentConversionArgument({"VxUtil16", "/C"}));
    EXPECT_TRUE(IsSilentConversionArgument({"VxUtil16", " /c "}));
    EXPECT_TRUE(IsSilentConversionArgument({"VxUtil16", "/c", "x"}));
    EXPECT_FALSE(IsSilentConversionArgument({"VxUtil16"}));
    EXPECT_FALSE(IsSilentConversionArgument({"VxUtil16", "x", "/c"}));
    EXPECT_FALSE(IsSilentConversionArgument({"VxUtil16", "/cc"}));
}

} // namespace
