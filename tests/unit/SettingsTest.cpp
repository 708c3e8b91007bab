#include "main/settings/Settings.h"

#include "platform/ini/IniFile.h"
#include "platform/sys/Folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr unsigned int DeviceVersion = 33554439;

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        ProgramPath = Dir.filePath("program/");
        SettingsPath = Dir.filePath("settings/");
        DataFolder = Dir.filePath("data");
        QDir().mkpath(ProgramPath);
        QDir().mkpath(SettingsPath);
        QDir().mkpath(DataFolder);
        Settings = TSettings{};
    }

    // A file every key of which is valid: reading it leaves the settings complete.
    void WriteCompleteFile()
    {
        QFile::remove(SettingsFileName());
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteString("VERSION", "DLL", QString::number(DeviceVersion));
        Ini.WriteString("COMMON", "CD", "/media/cdrom");
        Ini.WriteInteger("COMMON", "Adapter", 3);
        Ini.WriteString("COMMON", "Port", "COM2");
        Ini.WriteString("COMMON", "DataPath", DataFolder);
        Ini.WriteInteger("COMMON", "Map", 9);
        Ini.WriteInteger("COMMON", "MapSearchKind", 1);
        Ini.WriteBool("OPERATION", "RingSound", true);
        Ini.WriteString("OPERATION", "WaveFile", "");
        Ini.WriteString("SCREEN VIEW", "SelectItem1", "a");
        Ini.WriteString("SCREEN VIEW", "SelectItem2", "b");
        Ini.WriteString("SCREEN VIEW", "SelectItem3", "c");
        ASSERT_TRUE(Ini.UpdateFile());
    }

    void Read()
    {
        Messages.clear();
        TSettingsSources Sources;
        Sources.DeviceVersion = DeviceVersion;
        Sources.ScanDrives = [this](bool) { return Drives; };
        Sources.ShowInformation = [this](const QString& Text) { Messages.append(Text); };
        ReadSettings(Sources);
    }

    QTemporaryDir Dir;
    QString DataFolder;
    QStringList Drives{"/media/cdrom", "/media/dvd"};
    QStringList Messages;
};

TEST_F(SettingsTest, ACompleteFileIsReadAsItStands)
{
    WriteCompleteFile();
    Read();
    EXPECT_FALSE(SettingsIncomplete);
    EXPECT_FALSE(DllReplaced);
    EXPECT_FALSE(DataPathDefaulted);
    EXPECT_EQ(Settings.DataPath, DataFolder + "/");
    EXPECT_EQ(Settings.Port, "COM2");
    EXPECT_EQ(Settings.Map, 9);
    EXPECT_EQ(Settings.WaveFile, "");
    EXPECT_TRUE(Messages.isEmpty());
}

TEST_F(SettingsTest, AMissingFileGivesTheDefaultsAndIsIncomplete)
{
    Drives.clear();
    Read();
    EXPECT_TRUE(SettingsIncomplete);
    EXPECT_FALSE(DllReplaced);
    EXPECT_TRUE(DataPathDefaulted);
    EXPECT_EQ(Settings.DLL, QString::number(DeviceVersion));
    EXPECT_EQ(Settings.CD, "");
    EXPECT_EQ(Settings.Adapter, 0);
    EXPECT_EQ(Settings.Port, "COM1");
    EXPECT_EQ(Settings.DataPath, SettingsPath + "Data/");
    EXPECT_EQ(Settings.WaveFile, ProgramPath + "Ringin.wav");
    EXPECT_EQ(Settings.Map, 2);
    EXPECT_EQ(Settings.DeleteDay, 7);
    EXPECT_EQ(Settings.ListMaxCount, 200);
    EXPECT_EQ(Settings.AutoBUCount, 3);
    EXPECT_EQ(Settings.SelectItem1, QString::fromUtf16(u"内容"));
    EXPECT_EQ(Settings.SelectItem2, QString::fromUtf16(u"メモ"));
    EXPECT_EQ(Settings.SelectItem3, QString::fromUtf16(u"受付"));
    EXPECT_EQ(Settings.Domain, DefaultUpdateDomain);
    EXPECT_EQ(Settings.Path, "/check/");
    EXPECT_TRUE(Settings.HisListPopup && Settings.WindowsEnd && Settings.AutoBU && Settings.Info);
    EXPECT_FALSE(Settings.MenuLeft.has_value());
    EXPECT_EQ(IPPBXPath, "");
    EXPECT_EQ(Messages, QStringList({QString::fromUtf16(u"使用可能な CD-ROM ドライブが検出できませんでした  \r\n"
                                                        u"CD-ROM を使用した検索は利用できません  ")}));
}

TEST_F(SettingsTest, EachInvalidValueFallsBackAndMarksTheSettingsIncomplete)
{
    struct TCase
    {
        const char* Section;
        const char* Key;
        std::optional<QString> Value; // none: the key is removed
        bool Incomplete;
        std::function<QString()> InForce;
        QString Expected;
    };
    const auto Number = [](const int& Field) { return [&Field] { return QString::number(Field); }; };
    const auto Text = [](const QString& Field) { return [&Field] { return Field; }; };
    const QString LongFolder = Dir.filePath(QString(210, QLatin1Char('d')));
    QDir().mkpath(LongFolder);
    const QString ExistingWave = Dir.filePath("ring.wav");
    QFile(ExistingWave).open(QIODevice::WriteOnly);

    const TCase Cases[] = {
        {"RECEIVE HISTORY", "DeleteDay", "0", true, Number(Settings.DeleteDay), "7"},
        {"RECEIVE HISTORY", "DeleteDay", "15", true, Number(Settings.DeleteDay), "7"},
        {"RECEIVE HISTORY", "DeleteDay", "14", false, Number(Settings.DeleteDay), "14"},
        {"RECEIVE HISTORY", "DeleteDay", "x", false, Number(Settings.DeleteDay), "7"},
        {"SCREEN VIEW", "ListMaxCount", "0", true, Number(Settings.ListMaxCount), "200"},
        {"SCREEN VIEW", "ListMaxCount", "1001", true, Number(Settings.ListMaxCount), "200"},
        {"SCREEN VIEW", "ListMaxCount", "1000", false, Number(Settings.ListMaxCount), "1000"},
        {"AUTO BACKUP", "AutoBUCount", "0", true, Number(Settings.AutoBUCount), "3"},
        {"AUTO BACKUP", "AutoBUCount", "10", true, Number(Settings.AutoBUCount), "3"},
        {"COMMON", "Map", "10", true, Number(Settings.Map), "2"},
        {"COMMON", "MapSearchKind", "2", true, Number(Settings.MapSearchKind), "0"},
        {"COMMON", "Adapter", std::nullopt, true, Number(Settings.Adapter), "0"},
        {"COMMON", "CD", std::nullopt, true, Text(Settings.CD), "/media/cdrom"},
        {"COMMON", "Port", "CO", true, Text(Settings.Port), "COM1"},
        {"COMMON", "Port", "USB", false, Text(Settings.Port), "USB"},
        {"COMMON", "Port", QString::fromUtf16(u"TAPI制御"), false, Text(Settings.Port),
         QString::fromUtf16(u"TAPI制御")},
        {"COMMON", "Port", "COM9", false, Text(Settings.Port), "COM9"},
        {"COMMON", "Port", "COM", true, Text(Settings.Port), "COM"},
        {"COMMON", "Port", "COM10", true, Text(Settings.Port), "COM10"},
        {"COMMON", "Port", "COM0", true, Text(Settings.Port), "COM0"},
        {"COMMON", "DataPath", Dir.filePath("missing"), true, Text(Settings.DataPath), SettingsPath + "Data/"},
        {"COMMON", "DataPath", LongFolder, true, Text(Settings.DataPath), SettingsPath + "Data/"},
        {"SCREEN VIEW", "SelectItem2", " ", true, Text(Settings.SelectItem2), QString::fromUtf16(u"メモ")},
        {"SCREEN VIEW", "SelectItem2", QString::fromUtf16(u"備考"), false, Text(Settings.SelectItem2),
         QString::fromUtf16(u"備考")},
        {"OPERATION", "WaveFile", std::nullopt, true, Text(Settings.WaveFile), ProgramPath + "Ringin.wav"},
        {"OPERATION", "WaveFile", "/nowhere/ring.wav", true, Text(Settings.WaveFile), "/nowhere/ring.wav"},
        {"OPERATION", "WaveFile", ExistingWave, false, Text(Settings.WaveFile), ExistingWave},
        {"OPERATION", "WaveFile", "  ", false, Text(Settings.WaveFile), ""},
        {"VERSION", "DLL", std::nullopt, true, Text(Settings.DLL), QString::number(DeviceVersion)},
        {"VERSION", "DLL", "33554438", true, Text(Settings.DLL), QString::number(DeviceVersion)},
    };
    for (const TCase& Case : Cases) {
        WriteCompleteFile();
        TMemIniFile Ini(SettingsFileName());
        if (Case.Value)
            Ini.WriteString(Case.Section, Case.Key, *Case.Value);
        else
            Ini.DeleteKey(Case.Section, Case.Key);
        ASSERT_TRUE(Ini.UpdateFile());
        Read();
        const std::string What = std::string(Case.Key) + "=" + Case.Value.value_or("(missing)").toStdString();
        EXPECT_EQ(SettingsIncomplete, Case.Incomplete) << What;
        EXPECT_EQ(Case.InForce(), Case.Expected) << What;
    }
}

TEST_F(SettingsTest, DataPathAndDllFlagsTellWhyTheSettingsAreIncomplete)
{
    WriteCompleteFile();
    TMemIniFile Ini(SettingsFileName());
    Ini.WriteString("COMMON", "DataPath", Dir.filePath("missing"));
    Ini.WriteString("VERSION", "DLL", "1");
    ASSERT_TRUE(Ini.UpdateFile());
    Read();
    EXPECT_TRUE(DataPathDefaulted);
    EXPECT_TRUE(DllReplaced);

    // A folder too long to keep is replaced, but it was there: the automatic backup still runs.
    const QString LongFolder = Dir.filePath(QString(210, QLatin1Char('e')));
    QDir().mkpath(LongFolder);
    Ini.WriteString("COMMON", "DataPath", LongFolder);
    Ini.WriteString("VERSION", "DLL", QString::number(DeviceVersion));
    ASSERT_TRUE(Ini.UpdateFile());
    Read();
    EXPECT_FALSE(DataPathDefaulted);
    EXPECT_FALSE(DllReplaced);
}

TEST_F(SettingsTest, ComPortNumbers)
{
    const std::pair<const char*, int> Cases[] = {{"COM1", 1},  {"COM9", 9},   {"COM", -1}, {"COM10", -1}, {"COM01", -1},
                                                 {"COMx", -1}, {"COM-1", -1}, {"USB", 0},  {"com3", -1}};
    for (const auto& [Port, Number] : Cases) {
        EXPECT_EQ(ComPortNumber(Port), Number) << Port;
    }
}

TEST_F(SettingsTest, WritingKeepsForeignSectionsAndJapaneseText)
{
    WriteCompleteFile();
    {
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteString("LIST PRINT", "Title", QString::fromUtf16(u"着信一覧"));
        ASSERT_TRUE(Ini.UpdateFile());
    }
    Read();
    Settings.SelectItem1 = QString::fromUtf16(u"用件");
    Settings.DeleteDay = 14;
    Settings.Port = "USB";
    Settings.NGCut = 5;
    ASSERT_TRUE(SaveSettings());
    Settings.TopView = true;
    Settings.MenuLeft = -20;
    Settings.MenuTop = 40;
    Settings.Info = false;
    ASSERT_TRUE(SaveShutdownSettings());
    Settings.Register = true;
    ASSERT_TRUE(SaveRegistered());

    const TMemIniFile Ini(SettingsFileName());
    EXPECT_EQ(Ini.ReadString("LIST PRINT", "Title", ""), QString::fromUtf16(u"着信一覧"));
    EXPECT_EQ(Ini.ReadString("MENU VIEW", "Left", ""), "-20");
    EXPECT_FALSE(Ini.ValueExists("UPDATE PARAMETER", "Domain"));

    Settings = TSettings{};
    Read();
    EXPECT_FALSE(SettingsIncomplete);
    EXPECT_EQ(Settings.SelectItem1, QString::fromUtf16(u"用件"));
    EXPECT_EQ(Settings.DeleteDay, 14);
    EXPECT_EQ(Settings.Port, "USB");
    EXPECT_EQ(Settings.NGCut, 5);
    EXPECT_TRUE(Settings.TopView);
    EXPECT_FALSE(Settings.Info);
    EXPECT_EQ(Settings.MenuLeft, -20);
    EXPECT_EQ(Settings.MenuTop, 40);
    EXPECT_TRUE(Settings.Register);
}

TEST_F(SettingsTest, EarlyReadAndIPPBXFolder)
{
    TMemIniFile Ini(SettingsFileName());
    Ini.WriteBool("OPERATION", "ViewSplash", false);
    Ini.WriteBool("COMMON", "IPPBX", true);
    ASSERT_TRUE(Ini.UpdateFile());
    const TEarlySettings Early = ReadEarlySettings();
    EXPECT_FALSE(Early.ViewSplash);
    EXPECT_TRUE(Early.IPPBX);

    QFile Pointer(ProgramPath + "VxComm3ip");
    ASSERT_TRUE(Pointer.open(QIODevice::WriteOnly));
    Pointer.write("old\\Folder\r\nVxComm3ip\\Hikari\r\n");
    Pointer.close();
    EXPECT_EQ(ReadIPPBXPath(ProgramPath), GetCommonAppDataFolder() + "Pelmar/VxComm3ip/Hikari");
}

TEST_F(SettingsTest, SettingsFolderIsOwnerOnlyOrTheProgramFolder)
{
    const QString Folder = FindSettingsFolder(ProgramPath);
    EXPECT_EQ(Folder, GetCommonAppDataFolder() + "Pelmar/VxRelvo16/");
    struct stat Info;
    ASSERT_EQ(stat(QFile::encodeName(Folder).constData(), &Info), 0);
    EXPECT_EQ(Info.st_mode & 0777, 0700u);

    // A data home that is a file cannot hold the folder.
    const QByteArray Saved = qgetenv("XDG_DATA_HOME");
    QFile(Dir.filePath("file")).open(QIODevice::WriteOnly);
    qputenv("XDG_DATA_HOME", QFile::encodeName(Dir.filePath("file")));
    EXPECT_EQ(FindSettingsFolder(ProgramPath), ProgramPath);
    qputenv("XDG_DATA_HOME", Saved);
}

} // namespace

// A machine without optical drives cannot fill COMMON/CD in the dialog either: the blank value must
// not send every start into the settings dialog, while a drive that exists still has to be confirmed.
TEST_F(SettingsTest, BlankCdIsIncompleteOnlyWhereADriveExists)
{
    WriteCompleteFile();
    {
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteString("COMMON", "CD", "");
        ASSERT_TRUE(Ini.UpdateFile());
    }
    Read();
    EXPECT_TRUE(SettingsIncomplete);
    EXPECT_EQ(Settings.CD, "/media/cdrom");

    Drives.clear();
    SettingsIncomplete = false;
    Read();
    EXPECT_FALSE(SettingsIncomplete);
    EXPECT_EQ(Settings.CD, "");
    EXPECT_EQ(Messages.size(), 1);
}
