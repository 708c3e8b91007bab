#pragma once

#include "main/settings/SettingsSave.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class TMemIniFile;

// Folders found at start. Both keep their trailing "/".
extern QString ProgramPath;  // the folder of the running executable
extern QString SettingsPath; // holds VxRelvo16.ini; the program folder when it cannot be made

// ProgramPath := the program folder; SettingsPath := FindSettingsFolder.
void InitProgramFolders();
// The common application data folder + "Pelmar/VxRelvo16/", made owner-only when missing;
// ProgramFolder when that fails.
[[nodiscard]] QString FindSettingsFolder(const QString& ProgramFolder);
// SettingsPath + "VxRelvo16.ini".
[[nodiscard]] QString SettingsFileName();

// The two values the program body reads before any window exists.
struct TEarlySettings
{
    bool ViewSplash = true;
    bool IPPBX = false;
};
[[nodiscard]] TEarlySettings ReadEarlySettings();

// The map programs by [COMMON] Map, as the settings dialog lists them and the map button names them.
inline const QStringList MapProgramNames = {
    QStringLiteral("AtlasMate4/5"),
    QStringLiteral("プロアトラス2002"),
    QStringLiteral("プロアトラスＷ～Ｗ３/SV～SV7"),
    QStringLiteral("電子地図帳Ｚ[zi]Ⅱ～５"),
    QStringLiteral("いつもNAVI"),
    QStringLiteral("MapFanⅣ/Ⅴ"),
    QStringLiteral("MapFan.net"),
    QStringLiteral("MapFan PLANNER1/2"),
    QStringLiteral("スーパーマップル・デジタル Ver.1～13"),
    QStringLiteral("グランマップ東京都全域版"),
};

// No update server is configured for this build: the name never resolves, and a site sets its own
// through UPDATE PARAMETER/Domain.
inline const QString DefaultUpdateDomain = QStringLiteral("update.tolvane.invalid");

// The program-wide settings of VxRelvo16.ini, named after their keys.
struct TSettings
{
    // UPDATE PARAMETER (never written)
    QString Domain = DefaultUpdateDomain;
    QString Path = QStringLiteral("/check/");
    QString App = QStringLiteral("/app/");
    // HIDDEN PARAMETER (never written)
    bool SearchDriveExtend = false;
    bool AdapterExtend = false;
    // VERSION: the decimal version of the device library these settings were made for
    QString DLL;
    // COMMON
    QString CD; // the drive (mount point) searched for the dictionary disc
    int Adapter = -1;
    QString Port;
    QString DataPath; // the folder of the tables and pick lists, with a trailing "/"
    int Map = 2;
    int MapSearchKind = 0;
    bool IPPBX = false;
    bool Info = true;
    int NGCut = 0;
    int UsbSerial = 0;
    // OPERATION
    bool HisListPopup = true;
    bool RecvViewPopup = true;
    bool RingSound = false;
    QString WaveFile;
    bool NotMoveFocus = false;
    bool DeleteType = false;
    bool WindowsEnd = true;
    bool ViewSplash = true;
    // RECEIVE HISTORY
    bool EarlierSearch = true;
    bool NewDataView = true;
    bool AutoAdd = true;
    bool SameTelUpdate = true;
    bool BeforeSelectItems = true;
    bool BeforeRecvDateTime = true;
    bool AutoDel = false;
    int DeleteDay = 7;
    bool AutoDelConfirm = true;
    // SCREEN VIEW
    int ListMaxCount = 200;
    QString SelectItem1;
    QString SelectItem2;
    QString SelectItem3;
    bool TopView = false;
    bool MenuVisible = false;
    bool CloseMsg = true;
    // AUTO BACKUP
    bool AutoBU = true;
    int AutoBUCount = 3;
    // AUTO UPDATE
    bool UpdateCheck = true;
    // USE FBADRS
    bool UseFbAdrs = false;
    int FbSeries = 0;
    int FbAdrsBook = 0;
    QString FbAdrsBookName;
    bool RunFbDlg = true;
    bool FbBackup = true;
    bool FbBackupDlg = true;
    int Memo1 = 0;
    int Memo2 = 1;
    int Memo3 = 2;
    int Rank = 0; // key "rank"
    int Line1 = 3;
    int Line2 = 4;
    // ADAPTER
    bool NewFunc = false;
    bool CTISet = false;
    // BASE
    bool Register = false;
    // MENU VIEW Left / Top, in 96-DPI units; none: centred
    std::optional<int> MenuLeft;
    std::optional<int> MenuTop;

    bool operator==(const TSettings&) const = default;
};

extern TSettings Settings;
extern bool SettingsIncomplete; // a value was missing or invalid: the start-up opens the settings dialog
extern bool DllReplaced;        // the device library's version differs from VERSION/DLL
extern bool DataPathDefaulted;  // COMMON/DataPath was missing or no existing folder at this start
extern QString IPPBXPath;       // the IP-PBX folder (no trailing "/"), empty without the "VxComm3ip" file
extern QStringList CDDrives;    // the drives found by the drive scan at start

// What the reader needs from the rest of the program.
struct TSettingsSources
{
    unsigned int DeviceVersion = 0; // version number of the device library in use
    // The drive scan: CD-ROM drives, and network drives too when the argument is true.
    std::function<QStringList(bool SearchDriveExtend)> ScanDrives;
    // Shows an information message box (caption "Tolvane１６").
    std::function<void(const QString& Text)> ShowInformation;
};

inline const QString DefaultSelectItem1 = QStringLiteral("内容");
inline const QString DefaultSelectItem2 = QStringLiteral("メモ");
inline const QString DefaultSelectItem3 = QStringLiteral("受付");

// Reads all settings of SettingsFileName() into the globals above, setting SettingsIncomplete,
// DllReplaced and DataPathDefaulted.
void ReadSettings(const TSettingsSources& Sources);

// Reads [USE FBADRS] of Ini into Settings, each value with its default; the utility's conversion
// into an address book takes its field choices from here too.
void ReadFbAdrs(const TMemIniFile& Ini);

// The port number of a "COM" port text: 1..9 for "COM1" .. "COM9", 0 for a port that is no
// COM port ("USB", "TAPI制御"), -1 for a "COM" text that names no valid port ("COM", "COM10", "com3").
[[nodiscard]] int ComPortNumber(const QString& Port);

// The IP-PBX folder named by the last line of the program folder's "VxComm3ip" file, else empty.
[[nodiscard]] QString ReadIPPBXPath(const QString& ProgramFolder);

// Writers. Each sets its keys and writes the file at once through SaveSettingsFile (SettingsSave.h);
// false when the file could not be written: the old file is then unchanged, the user is told as Who
// says, and the keys go along with the next save.
// The keys the settings dialog edits, with NGCut and UsbSerial.
[[nodiscard]] bool SaveSettings(TSettingsSave Who = TSettingsSave::Confirmed);
[[nodiscard]] bool SaveDeviceVersion(); // VERSION/DLL
// The values the menu window and first-start dialog change, written as the program ends.
[[nodiscard]] bool SaveShutdownSettings(TSettingsSave Who = TSettingsSave::Last);
[[nodiscard]] bool SaveRegistered(); // BASE/Register
