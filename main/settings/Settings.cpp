#include "main/settings/Settings.h"

#include "main/start/StartupPassword.h"
#include "platform/ini/IniFile.h"
#include "platform/sys/Folders.h"

#include <QFile>
#include <QFileInfo>
#include <limits>

QString ProgramPath;
QString SettingsPath;
TSettings Settings;
bool SettingsIncomplete = false;
bool DllReplaced = false;
bool DataPathDefaulted = false;
QString IPPBXPath;
QStringList CDDrives;

namespace {

const QString UpdateParameter = QStringLiteral("UPDATE PARAMETER");
const QString HiddenParameter = QStringLiteral("HIDDEN PARAMETER");
const QString Version = QStringLiteral("VERSION");
const QString Common = QStringLiteral("COMMON");
const QString Operation = QStringLiteral("OPERATION");
const QString ReceiveHistory = QStringLiteral("RECEIVE HISTORY");
const QString ScreenView = QStringLiteral("SCREEN VIEW");
const QString AutoBackup = QStringLiteral("AUTO BACKUP");
const QString AutoUpdate = QStringLiteral("AUTO UPDATE");
const QString UseFbAdrs = QStringLiteral("USE FBADRS");
const QString Adapter = QStringLiteral("ADAPTER");
const QString Base = QStringLiteral("BASE");
const QString MenuView = QStringLiteral("MENU VIEW");

const QString NoDriveMessage = QStringLiteral("使用可能な CD-ROM ドライブが検出できませんでした  \r\n"
                                              "CD-ROM を使用した検索は利用できません  ");

// A number of a key with a range: out of range gives the default and marks the settings incomplete.
int ReadRanged(const TMemIniFile& Ini, const QString& Section, const QString& Ident, int Default, int Low, int High)
{
    const int Value = Ini.ReadInteger(Section, Ident, Default);
    if (Value >= Low && Value <= High)
        return Value;
    SettingsIncomplete = true;
    return Default;
}

QString ReadSelectItem(const TMemIniFile& Ini, const QString& Ident, const QString& Default)
{
    const QString Value = Ini.ReadString(ScreenView, Ident, QString());
    if (!Value.trimmed().isEmpty())
        return Value;
    SettingsIncomplete = true;
    return Default;
}

void ReadDataPath(const TMemIniFile& Ini)
{
    const QString DefaultFolder = SettingsPath + QStringLiteral("Data/");
    DataPathDefaulted = false;
    const QString Value = Ini.ReadString(Common, QStringLiteral("DataPath"), QString());
    if (Value.isEmpty() || !QFileInfo(Value).isDir()) {
        Settings.DataPath = DefaultFolder;
        DataPathDefaulted = true;
        SettingsIncomplete = true;
        return;
    }
    Settings.DataPath = IncludeTrailingDelimiter(Value);
    // The settings dialog takes at most 200 characters; a longer folder could not be shown or kept there.
    if (Settings.DataPath.size() > 200) {
        Settings.DataPath = DefaultFolder;
        SettingsIncomplete = true;
    }
}

void ReadDeviceVersion(const TMemIniFile& Ini, unsigned int DeviceVersion)
{
    DllReplaced = false;
    const QString Current = QString::number(DeviceVersion);
    Settings.DLL = Ini.ReadString(Version, QStringLiteral("DLL"), QString());
    if (Settings.DLL.isEmpty()) {
        Settings.DLL = Current;
        SettingsIncomplete = true;
    } else if (Settings.DLL != Current) {
        Settings.DLL = Current;
        DllReplaced = true;
        SettingsIncomplete = true;
    }
}

void ReadCommon(const TMemIniFile& Ini)
{
    Settings.CD = Ini.ReadString(Common, QStringLiteral("CD"), QString());
    // With no optical drive at all the settings dialog could not fill the value either; asking
    // for it at every start would keep the program in the dialog for ever.
    if (Settings.CD.isEmpty() && !CDDrives.isEmpty()) {
        Settings.CD = CDDrives.value(0);
        SettingsIncomplete = true;
    }
    Settings.Adapter = Ini.ReadInteger(Common, QStringLiteral("Adapter"), -1);
    if (Settings.Adapter == -1) {
        Settings.Adapter = 0;
        SettingsIncomplete = true;
    }
    Settings.Port = Ini.ReadString(Common, QStringLiteral("Port"), QString());
    if (Settings.Port.size() < 3) {
        Settings.Port = QStringLiteral("COM1");
        SettingsIncomplete = true;
    } else if (ComPortNumber(Settings.Port) < 0) {
        // "COM" without a usable number: the user picks the port again rather than the line
        // opening some other port.
        SettingsIncomplete = true;
    }
    ReadDataPath(Ini);
    Settings.Map = ReadRanged(Ini, Common, QStringLiteral("Map"), 2, 0, 9);
    Settings.MapSearchKind = ReadRanged(Ini, Common, QStringLiteral("MapSearchKind"), 0, 0, 1);
    Settings.IPPBX = Ini.ReadBool(Common, QStringLiteral("IPPBX"), false);
}

void ReadOperation(const TMemIniFile& Ini)
{
    Settings.HisListPopup = Ini.ReadBool(Operation, QStringLiteral("HisListPopup"), true);
    Settings.RecvViewPopup = Ini.ReadBool(Operation, QStringLiteral("RecvViewPopup"), true);
    Settings.RingSound = Ini.ReadBool(Operation, QStringLiteral("RingSound"), false);
    const QString None = QStringLiteral("<None>");
    Settings.WaveFile = Ini.ReadString(Operation, QStringLiteral("WaveFile"), None);
    if (Settings.WaveFile == None) {
        Settings.WaveFile = ProgramPath + QStringLiteral("Ringin.wav");
        SettingsIncomplete = true;
    } else if (Settings.RingSound) {
        const QString File = Settings.WaveFile.trimmed();
        if (!File.isEmpty() && !QFileInfo(File).isFile())
            SettingsIncomplete = true;
    }
    Settings.NotMoveFocus = Ini.ReadBool(Operation, QStringLiteral("NotMoveFocus"), false);
    Settings.DeleteType = Ini.ReadBool(Operation, QStringLiteral("DeleteType"), false);
    Settings.WindowsEnd = Ini.ReadBool(Operation, QStringLiteral("WindowsEnd"), true);
}

void ReadReceiveHistory(const TMemIniFile& Ini)
{
    Settings.EarlierSearch = Ini.ReadBool(ReceiveHistory, QStringLiteral("EarlierSearch"), true);
    Settings.NewDataView = Ini.ReadBool(ReceiveHistory, QStringLiteral("NewDataView"), true);
    Settings.AutoAdd = Ini.ReadBool(ReceiveHistory, QStringLiteral("AutoAdd"), true);
    Settings.SameTelUpdate = Ini.ReadBool(ReceiveHistory, QStringLiteral("SameTelUpdate"), true);
    Settings.BeforeSelectItems = Ini.ReadBool(ReceiveHistory, QStringLiteral("BeforeSelectItems"), true);
    Settings.BeforeRecvDateTime = Ini.ReadBool(ReceiveHistory, QStringLiteral("BeforeRecvDateTime"), true);
    Settings.AutoDel = Ini.ReadBool(ReceiveHistory, QStringLiteral("AutoDel"), false);
    Settings.DeleteDay = ReadRanged(Ini, ReceiveHistory, QStringLiteral("DeleteDay"), 7, 1, 14);
    Settings.AutoDelConfirm = Ini.ReadBool(ReceiveHistory, QStringLiteral("AutoDelConfirm"), true);
}

void ReadScreenView(const TMemIniFile& Ini)
{
    Settings.ListMaxCount = ReadRanged(Ini, ScreenView, QStringLiteral("ListMaxCount"), 200, 1, 1000);
    Settings.SelectItem1 = ReadSelectItem(Ini, QStringLiteral("SelectItem1"), DefaultSelectItem1);
    Settings.SelectItem2 = ReadSelectItem(Ini, QStringLiteral("SelectItem2"), DefaultSelectItem2);
    Settings.SelectItem3 = ReadSelectItem(Ini, QStringLiteral("SelectItem3"), DefaultSelectItem3);
    Settings.TopView = Ini.ReadBool(ScreenView, QStringLiteral("TopView"), false);
    Settings.MenuVisible = Ini.ReadBool(ScreenView, QStringLiteral("MenuVisible"), false);
    Settings.CloseMsg = Ini.ReadBool(ScreenView, QStringLiteral("CloseMsg"), true);
}

std::optional<int> ReadOptionalInteger(const TMemIniFile& Ini, const QString& Section, const QString& Ident)
{
    // A stored position is any integer; only a missing or unreadable one means "centred".
    constexpr int Missing = std::numeric_limits<int>::min();
    const int Value = Ini.ReadInteger(Section, Ident, Missing);
    return Value == Missing ? std::nullopt : std::optional<int>(Value);
}

void WriteShutdownKeys(TMemIniFile& Ini)
{
    Ini.WriteInteger(Common, QStringLiteral("NGCut"), Settings.NGCut);
    Ini.WriteInteger(Common, QStringLiteral("UsbSerial"), Settings.UsbSerial);
    if (Settings.MenuLeft && Settings.MenuTop) {
        Ini.WriteInteger(MenuView, QStringLiteral("Left"), *Settings.MenuLeft);
        Ini.WriteInteger(MenuView, QStringLiteral("Top"), *Settings.MenuTop);
    }
    Ini.WriteBool(ScreenView, QStringLiteral("TopView"), Settings.TopView);
    Ini.WriteBool(ScreenView, QStringLiteral("MenuVisible"), Settings.MenuVisible);
    Ini.WriteBool(ScreenView, QStringLiteral("CloseMsg"), Settings.CloseMsg);
    Ini.WriteBool(AutoUpdate, QStringLiteral("UpdateCheck"), Settings.UpdateCheck);
    Ini.WriteBool(Common, QStringLiteral("Info"), Settings.Info);
    Ini.WriteBool(Adapter, QStringLiteral("NewFunc"), Settings.NewFunc);
    Ini.WriteBool(Adapter, QStringLiteral("CTISet"), Settings.CTISet);
}

void WriteDialogKeys(TMemIniFile& Ini)
{
    Ini.WriteString(Common, QStringLiteral("CD"), Settings.CD);
    Ini.WriteBool(Common, QStringLiteral("IPPBX"), Settings.IPPBX);
    Ini.WriteInteger(Common, QStringLiteral("Adapter"), Settings.Adapter);
    Ini.WriteString(Common, QStringLiteral("Port"), Settings.Port);
    Ini.WriteString(Common, QStringLiteral("DataPath"), Settings.DataPath);
    Ini.WriteInteger(Common, QStringLiteral("Map"), Settings.Map);
    Ini.WriteInteger(Common, QStringLiteral("MapSearchKind"), Settings.MapSearchKind);

    Ini.WriteBool(Operation, QStringLiteral("HisListPopup"), Settings.HisListPopup);
    Ini.WriteBool(Operation, QStringLiteral("RecvViewPopup"), Settings.RecvViewPopup);
    Ini.WriteBool(Operation, QStringLiteral("RingSound"), Settings.RingSound);
    Ini.WriteString(Operation, QStringLiteral("WaveFile"), Settings.WaveFile);
    Ini.WriteBool(Operation, QStringLiteral("NotMoveFocus"), Settings.NotMoveFocus);
    Ini.WriteBool(Operation, QStringLiteral("ViewSplash"), Settings.ViewSplash);
    Ini.WriteBool(Operation, QStringLiteral("WindowsEnd"), Settings.WindowsEnd);
    Ini.WriteBool(Operation, QStringLiteral("DeleteType"), Settings.DeleteType);

    Ini.WriteBool(ReceiveHistory, QStringLiteral("EarlierSearch"), Settings.EarlierSearch);
    Ini.WriteBool(ReceiveHistory, QStringLiteral("NewDataView"), Settings.NewDataView);
    Ini.WriteBool(ReceiveHistory, QStringLiteral("AutoAdd"), Settings.AutoAdd);
    Ini.WriteBool(ReceiveHistory, QStringLiteral("SameTelUpdate"), Settings.SameTelUpdate);
    Ini.WriteBool(ReceiveHistory, QStringLiteral("BeforeSelectItems"), Settings.BeforeSelectItems);
    Ini.WriteBool(ReceiveHistory, QStringLiteral("BeforeRecvDateTime"), Settings.BeforeRecvDateTime);
    Ini.WriteBool(ReceiveHistory, QStringLiteral("AutoDel"), Settings.AutoDel);
    Ini.WriteInteger(ReceiveHistory, QStringLiteral("DeleteDay"), Settings.DeleteDay);
    Ini.WriteBool(ReceiveHistory, QStringLiteral("AutoDelConfirm"), Settings.AutoDelConfirm);

    Ini.WriteInteger(ScreenView, QStringLiteral("ListMaxCount"), Settings.ListMaxCount);
    Ini.WriteString(ScreenView, QStringLiteral("SelectItem1"), Settings.SelectItem1);
    Ini.WriteString(ScreenView, QStringLiteral("SelectItem2"), Settings.SelectItem2);
    Ini.WriteString(ScreenView, QStringLiteral("SelectItem3"), Settings.SelectItem3);
    Ini.WriteBool(ScreenView, QStringLiteral("TopView"), Settings.TopView);
    Ini.WriteBool(ScreenView, QStringLiteral("MenuVisible"), Settings.MenuVisible);
    Ini.WriteBool(ScreenView, QStringLiteral("CloseMsg"), Settings.CloseMsg);

    Ini.WriteBool(AutoBackup, QStringLiteral("AutoBU"), Settings.AutoBU);
    Ini.WriteInteger(AutoBackup, QStringLiteral("AutoBUCount"), Settings.AutoBUCount);
    Ini.WriteBool(AutoUpdate, QStringLiteral("UpdateCheck"), Settings.UpdateCheck);

    Ini.WriteBool(UseFbAdrs, QStringLiteral("UseFbAdrs"), Settings.UseFbAdrs);
    Ini.WriteInteger(UseFbAdrs, QStringLiteral("FbSeries"), Settings.FbSeries);
    Ini.WriteInteger(UseFbAdrs, QStringLiteral("FbAdrsBook"), Settings.FbAdrsBook);
    Ini.WriteString(UseFbAdrs, QStringLiteral("FbAdrsBookName"), Settings.FbAdrsBookName);
    Ini.WriteBool(UseFbAdrs, QStringLiteral("RunFbDlg"), Settings.RunFbDlg);
    Ini.WriteBool(UseFbAdrs, QStringLiteral("FbBackup"), Settings.FbBackup);
    Ini.WriteBool(UseFbAdrs, QStringLiteral("FbBackupDlg"), Settings.FbBackupDlg);
    Ini.WriteInteger(UseFbAdrs, QStringLiteral("Memo1"), Settings.Memo1);
    Ini.WriteInteger(UseFbAdrs, QStringLiteral("Memo2"), Settings.Memo2);
    Ini.WriteInteger(UseFbAdrs, QStringLiteral("Memo3"), Settings.Memo3);
    Ini.WriteInteger(UseFbAdrs, QStringLiteral("rank"), Settings.Rank);
    Ini.WriteInteger(UseFbAdrs, QStringLiteral("Line1"), Settings.Line1);
    Ini.WriteInteger(UseFbAdrs, QStringLiteral("Line2"), Settings.Line2);

    Ini.WriteInteger(Common, QStringLiteral("NGCut"), Settings.NGCut);
    Ini.WriteInteger(Common, QStringLiteral("UsbSerial"), Settings.UsbSerial);
}

} // namespace

void ReadFbAdrs(const TMemIniFile& Ini)
{
    Settings.UseFbAdrs = Ini.ReadBool(UseFbAdrs, QStringLiteral("UseFbAdrs"), false);
    Settings.FbSeries = Ini.ReadInteger(UseFbAdrs, QStringLiteral("FbSeries"), 0);
    Settings.FbAdrsBook = Ini.ReadInteger(UseFbAdrs, QStringLiteral("FbAdrsBook"), 0);
    Settings.FbAdrsBookName = Ini.ReadString(UseFbAdrs, QStringLiteral("FbAdrsBookName"), QString());
    Settings.RunFbDlg = Ini.ReadBool(UseFbAdrs, QStringLiteral("RunFbDlg"), true);
    Settings.FbBackup = Ini.ReadBool(UseFbAdrs, QStringLiteral("FbBackup"), true);
    Settings.FbBackupDlg = Ini.ReadBool(UseFbAdrs, QStringLiteral("FbBackupDlg"), true);
    Settings.Memo1 = Ini.ReadInteger(UseFbAdrs, QStringLiteral("Memo1"), 0);
    Settings.Memo2 = Ini.ReadInteger(UseFbAdrs, QStringLiteral("Memo2"), 1);
    Settings.Memo3 = Ini.ReadInteger(UseFbAdrs, QStringLiteral("Memo3"), 2);
    Settings.Rank = Ini.ReadInteger(UseFbAdrs, QStringLiteral("rank"), 0);
    Settings.Line1 = Ini.ReadInteger(UseFbAdrs, QStringLiteral("Line1"), 3);
    Settings.Line2 = Ini.ReadInteger(UseFbAdrs, QStringLiteral("Line2"), 4);
}

void InitProgramFolders()
{
    ProgramPath = GetProgramFolder();
    SettingsPath = FindSettingsFolder(ProgramPath);
}

QString FindSettingsFolder(const QString& ProgramFolder)
{
    QString Base = GetCommonAppDataFolder().trimmed();
    if (Base.isEmpty())
        Base = GetUserAppDataFolder().trimmed();
    if (Base.isEmpty())
        return ProgramFolder;
    const QString Folder = IncludeTrailingDelimiter(Base) + QStringLiteral("Pelmar/VxRelvo16/");
    return CreateOwnerOnlyFolder(Folder) ? Folder : ProgramFolder;
}

QString SettingsFileName()
{
    return SettingsPath + QStringLiteral("VxRelvo16.ini");
}

TEarlySettings ReadEarlySettings()
{
    const TMemIniFile Ini(SettingsFileName());
    TEarlySettings Early;
    Early.ViewSplash = Ini.ReadBool(Operation, QStringLiteral("ViewSplash"), true);
    Early.IPPBX = Ini.ReadBool(Common, QStringLiteral("IPPBX"), false);
    Settings.ViewSplash = Early.ViewSplash;
    Settings.IPPBX = Early.IPPBX;
    return Early;
}

int ComPortNumber(const QString& Port)
{
    if (!Port.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive))
        return 0;
    const QString Digits = Port.mid(3);
    bool Ok = false;
    const int Number = Digits.toInt(&Ok);
    // Exactly the texts "COM1" .. "COM9" that the settings dialog offers; anything else written by
    // hand would otherwise open a port the user never chose.
    if (!Port.startsWith(QStringLiteral("COM")) || !Ok || Number < 1 || Number > 9 || Digits != QString::number(Number))
        return -1;
    return Number;
}

QString ReadIPPBXPath(const QString& ProgramFolder)
{
    QFile File(ProgramFolder + QStringLiteral("VxComm3ip"));
    if (!File.open(QIODevice::ReadOnly))
        return QString();
    QString Text = DecodeSettingsText(File.readAll());
    Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList Lines = Text.split(QLatin1Char('\n'));
    if (!Lines.isEmpty() && Lines.last().isEmpty())
        Lines.removeLast();
    if (Lines.isEmpty())
        return QString();
    QString Line = Lines.last();
    Line.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return GetCommonAppDataFolder() + QStringLiteral("Pelmar/") + Line;
}

void ReadSettings(const TSettingsSources& Sources)
{
    SettingsIncomplete = false;
    ForgetUnsavedSettings();
    const TMemIniFile Ini(SettingsFileName());

    Settings.Domain = Ini.ReadString(UpdateParameter, QStringLiteral("Domain"), DefaultUpdateDomain);
    Settings.Path = Ini.ReadString(UpdateParameter, QStringLiteral("Path"), QStringLiteral("/check/"));
    Settings.App = Ini.ReadString(UpdateParameter, QStringLiteral("App"), QStringLiteral("/app/"));
    Settings.SearchDriveExtend = Ini.ReadBool(HiddenParameter, QStringLiteral("SearchDriveExtend"), false);
    Settings.AdapterExtend = Ini.ReadBool(HiddenParameter, QStringLiteral("AdapterExtend"), false);

    CDDrives = Sources.ScanDrives ? Sources.ScanDrives(Settings.SearchDriveExtend) : QStringList();
    if (CDDrives.isEmpty() && Sources.ShowInformation)
        Sources.ShowInformation(NoDriveMessage);

    ReadDeviceVersion(Ini, Sources.DeviceVersion);
    ReadCommon(Ini);
    ReadOperation(Ini);
    ReadReceiveHistory(Ini);
    ReadScreenView(Ini);

    Settings.AutoBU = Ini.ReadBool(AutoBackup, QStringLiteral("AutoBU"), true);
    Settings.AutoBUCount = ReadRanged(Ini, AutoBackup, QStringLiteral("AutoBUCount"), 3, 1, 9);
    Settings.UpdateCheck = Ini.ReadBool(AutoUpdate, QStringLiteral("UpdateCheck"), true);
    ReadFbAdrs(Ini);
    // The start-up password lives in the machine's registry, not in this file; the start-up asks for it.
    (void)ReadStartupPasswordText(StartupPasswordText);

    Settings.Info = Ini.ReadBool(Common, QStringLiteral("Info"), true);
    Settings.NewFunc = Ini.ReadBool(Adapter, QStringLiteral("NewFunc"), false);
    Settings.CTISet = Ini.ReadBool(Adapter, QStringLiteral("CTISet"), false);
    Settings.NGCut = Ini.ReadInteger(Common, QStringLiteral("NGCut"), 0);
    Settings.UsbSerial = Ini.ReadInteger(Common, QStringLiteral("UsbSerial"), 0);

    Settings.Register = Ini.ReadBool(Base, QStringLiteral("Register"), false);
    Settings.MenuLeft = ReadOptionalInteger(Ini, MenuView, QStringLiteral("Left"));
    Settings.MenuTop = ReadOptionalInteger(Ini, MenuView, QStringLiteral("Top"));

    IPPBXPath = ReadIPPBXPath(ProgramPath);
}

bool SaveSettings(TSettingsSave Who)
{
    return SaveSettingsFile(Who, WriteDialogKeys);
}

bool SaveDeviceVersion()
{
    return SaveSettingsFile(TSettingsSave::Kept,
                            [](TMemIniFile& Ini) { Ini.WriteString(Version, QStringLiteral("DLL"), Settings.DLL); });
}

bool SaveShutdownSettings(TSettingsSave Who)
{
    return SaveSettingsFile(Who, WriteShutdownKeys);
}

bool SaveRegistered()
{
    return SaveSettingsFile(TSettingsSave::Confirmed, [](TMemIniFile& Ini) {
        Ini.WriteBool(Base, QStringLiteral("Register"), Settings.Register);
    });
}
