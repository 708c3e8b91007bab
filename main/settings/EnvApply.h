#pragma once

#include "platform/msg/WindowHandle.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

// The logic behind the settings dialog: its own INI section, the rules its pages follow while the
// user edits, the checks of "設定(&S)" in their order, and the copy, write and restart that follow.
// Nothing here shows a window; the dialog hands in what its controls hold and shows what comes back.

// Values handed between the settings dialog and the IP-PBX detail dialog.
extern QString IPPBXAdapterName;
extern int IPPBXAdapterKind;
extern bool IPPBXDetailChanged; // the detail dialog saved VxComm3ip.ini since the settings dialog opened
// The settings dialog was closed because an update by hand restarts the program: the main window ends it.
extern bool UpdateQuit;

// One entry of an address-book list of the Fernbook link.
struct TEnvAdrsBook
{
    QString Name;   // shown in the list
    QString Folder; // kept as USE FBADRS/FbAdrsBookName
};

// What the settings dialog needs from the program's other parts. The program fills these at start.
// The steps of the apply (the data module, the call-history list, the main window, the address
// book's module) report an empty hook (StepHook.h); an empty look-up or test hook means its part is
// not there.
struct TEnvHooks
{
    // The call-history list: reload its current view, and give header section 8, 9 or 10 a new name.
    std::function<void()> ReloadHistoryList;
    std::function<void(int Section, const QString& Name)> SetHistoryHeader;
    // The data module re-points its tables and pick lists at a new data folder (nothing is copied).
    std::function<void(const QString& DataPath)> ChangeDataFolder;
    // The main window follows MenuVisible (shown or hidden, its menu command's caption) and TopView.
    std::function<void()> ApplyMainWindowView;
    // The Fernbook link: its data module (made anew when the edition changed), the backup of the chosen
    // address book (false on failure), the editions' data folders and the book lists.
    std::function<void(bool EditionChanged)> PrepareFbDataModule;
    std::function<bool()> BackupFbAdrsBook;
    std::function<void()> FindDirectoryProductFolders;
    std::function<QString(int Series)> FbDataPath; // with a trailing "/", empty when not installed
    std::function<QList<TEnvAdrsBook>(const QString& AdrsFolder)> LoadAddressBookList;
    std::function<void(int Series)> OpenFbProductPage;
    // In place of the program's update check by hand (tests): true when the updater was started for a
    // restart.
    std::function<bool(QWidget* Dialog)> UpdateCheckByHand;
    // Where new device-library wrappers send their notifications; empty: the wrapper in use's owner.
    TWindowHandle* LineOwner = nullptr;
    // The folder of the device libraries; empty: the program folder.
    QString DeviceLibraryFolder;
    // The system's device and mount tables; tests point them elsewhere.
    QString DevFolder = QStringLiteral("/dev/");
    QString MountsFile = QStringLiteral("/proc/self/mounts");
    std::function<bool(const QString& Device)> ProbePort; // empty: ProbeSerialPort
    std::function<void(int Milliseconds)> Wait;           // empty: a blocking sleep
};
[[nodiscard]] TEnvHooks& EnvHooks();

// [ENVIRONMENT] of VxRelvo16.ini.
struct TEnvironmentSection
{
    int InitTab = 0;
    bool TipView = true;
};
inline constexpr int EnvPageCount = 7;
[[nodiscard]] TEnvironmentSection LoadEnvironmentSection();
// Writes only into an existing VxRelvo16.ini; false when there is none or it could not be written.
bool SaveEnvironmentSection(const TEnvironmentSection& Section);

// The port list: the COM ports whose serial device exists, then "USB" and "TAPI制御". The stored COM
// port stays in the list when its device is gone (a USB cable pulled out), shown as "COM5 (なし)", so
// that opening the dialog never puts another port in its place.
inline const QString PortUsb = QStringLiteral("USB");
inline const QString PortTapi = QStringLiteral("TAPI制御");
inline const QString PortAbsent = QStringLiteral("なし");
struct TPortItem
{
    QString Port;    // the text kept in COMMON/Port
    QString Display; // with the device for a COM port: "COM1 (ttyS0)"
    bool Present = true;
};
[[nodiscard]] QList<TPortItem> PortItems(const QString& DevFolder, const QString& StoredPort = QString());
// The port list's item for Port, -1 when it has none.
[[nodiscard]] int PortItemIndex(const QList<TPortItem>& Items, const QString& Port);

// The port after the adapter changed (only while the analogue / digital line is chosen): PortType 1
// selects "USB", 2 "TAPI制御"; 0 leaves a COM port and replaces "USB" or "TAPI制御" with the port of the
// opening, or the first item when that was one of them too.
[[nodiscard]] int PortIndexForAdapter(int PortType, int CurrentIndex, int OpenedPortIndex, int ItemCount);

// The number edits. The value the edit takes when the user leaves it: none when the text is not a
// plain number in Low..High, and the edit then shows its last accepted value again.
[[nodiscard]] std::optional<int> AcceptNumberText(const QString& Text, int Low, int High);

// The backup-generation warning for a new count text, Stored being AUTO BACKUP/AutoBUCount.
struct TGenerationWarning
{
    enum class EState
    {
        Unchanged,
        Hidden,
        Shown
    };
    EState State = EState::Unchanged;
    QString Generation; // lblGeneration's text while shown
};
[[nodiscard]] TGenerationWarning GenerationWarning(const QString& Text, int Stored);

// The map search kinds of a map program.
[[nodiscard]] QStringList MapSearchKinds(int Map);

// The data folder as the edit shows it: without its trailing "/" (the root stays "/").
[[nodiscard]] QString DataPathForEdit(const QString& DataPath);

// What the dialog's controls hold when "設定(&S)" is pressed.
struct TEnvInput
{
    QString CD; // the chosen drive, empty when the list is empty
    bool IPPBX = false;
    int AdapterIndex = 0; // in the list of the chosen line kind
    std::int32_t AdapterCode = 0;
    QString AdapterName;
    int AdapterPortType = 0; // of the chosen analogue / digital adapter
    QList<TPortItem> Ports;
    int PortIndex = 0;
    QString DataPath; // as typed; the checks put the accepted form (trailing "/") back
    int Map = 0;
    int MapSearchKind = 0;
    bool HisListPopup = false, RecvViewPopup = false, RingSound = false;
    QString WaveFile;
    bool NotMoveFocus = false, DeleteType = false, ViewSplash = false, WindowsEnd = false;
    bool EarlierSearch = false, NewDataView = false, AutoAdd = false, SameTelUpdate = false;
    bool BeforeSelectItems = false, BeforeRecvDateTime = false, AutoDel = false, AutoDelConfirm = false;
    int DeleteDay = 7;
    int ListMaxCount = 200;
    std::array<QString, 3> SelectItems;
    bool TopView = false, MenuVisible = false, CloseMsg = false;
    bool AutoBU = false;
    int AutoBUCount = 3;
    bool UpdateCheck = false;
    bool UseFbAdrs = false;
    int FbSeries = 0;
    int FbAdrsBook = 0;
    QList<TEnvAdrsBook> FbAdrsBooks; // the list the address-book choice indexes
    bool FbAvailable = false;        // the availability label reads "使用可能"
    bool RunFbDlg = false, FbBackup = false, FbBackupDlg = false;
    int Memo1 = 0, Memo2 = 1, Memo3 = 2, Rank = 0, Line1 = 3, Line2 = 4;
};

// What the dialog showed when it opened.
struct TEnvOpened
{
    bool AsIPPBX = false;
    int AdapterIndex = 0;
    int PortIndex = 0;
    QString DataPath; // as the edit showed it
    int ListMaxCount = 0;
    std::array<QString, 3> SelectItems;
    int AutoBUCount = 0;
};

struct TEnvFlags
{
    bool LineKindChanged = false;
    bool RestartNeeded = false;
    bool DataFolderChanged = false;
    bool EditionChanged = false;
    bool BackupOffer = false;
};

// Controls a failed check sends the user to.
enum class TEnvFocus
{
    None,
    cbxPort,
    edtDataPath,
    edtWaveFile,
    edtSelectItem1,
    edtSelectItem2,
    edtSelectItem3,
    chkUseFbAdrs,
    cbxMemo1
};

// A check that failed: show Page (none: stay), then the message (none when Text is empty), select the
// port, focus the control.
struct TEnvProblem
{
    int Page = -1;
    QString Text;
    unsigned Flags = 0;
    TEnvFocus Focus = TEnvFocus::None;
    bool CaretToEnd = false;
    std::optional<int> SelectPort;
};

// Messages of the checks and of the restart.
namespace EnvText {
inline const QString NoIPPBXDetail =
    QStringLiteral("ひかり回線対応機器を使用する場合の詳細設定がおこなわれていません  \r\n"
                   "「詳細設定」ボタンをクリックして設定をおこなってください  ");
inline const QString NeedUsb = QStringLiteral("指定したアダプターを使用する場合は  \r\nUSBポートを指定してください  ");
inline const QString NeedTapi = QStringLiteral("指定したアダプターを使用する場合は  \r\nTAPI制御を指定してください  ");
inline const QString NeedCom = QStringLiteral("指定したアダプターを使用する場合は  \r\nCOMポートを指定してください  ");
inline const QString ComUnusable =
    QStringLiteral("指定したCOMポートは使用できません  \r\n別のCOMポートを指定してください  ");
inline const QString NoFolder = QStringLiteral("フォルダーを指定してください  ");
inline const QString InvalidFolder2 = QStringLiteral("指定したフォルダーは無効です  ");
inline const QString InvalidFolder1 = QStringLiteral("指定したフォルダーは無効です ");
inline const QString NeedLocalDrive =
    QStringLiteral("ハードディスクドライブか  \r\nリムーバブルドライブを指定してください  ");
inline const QString AskCreateFolder =
    QStringLiteral("指定したフォルダーが見つかりません  \r\n作成してもよろしいですか？  ");
inline const QString CannotCreateFolder = QStringLiteral("フォルダーが作成できませんでした  ");
inline const QString NoWaveFile = QStringLiteral("指定したWaveファイルが見つかりません  ");
inline const QString NoSelectItem = QStringLiteral("選択項目名称が未入力です  ");
inline const QString FbUnavailable = QStringLiteral("指定のFernbookがインストールされていないか　　\r\n"
                                                    "アドレス帳がみつかりません　　\r\n\r\n"
                                                    "Fernbookのアドレス帳を登録名簿として　　\r\n"
                                                    "使用することはできません　  ");
inline const QString FbKeywordTwice = QStringLiteral("Fernbook連携のキーワードは重複して指定できません　  ");
inline const QString RestartNotice = QStringLiteral("変更内容を有効にするため再設定を行ないます  \r\n"
                                                    "処理が終了するまでの間、以下の状態になります  \r\n\r\n"
                                                    "　◇着信情報は取得できません  ");
inline const QString PortBusy = QStringLiteral("通信ポートがオープンできません  ");
inline const QString RestartDone = QStringLiteral("再設定が完了しました  ");
inline const QString RestartFailed = QStringLiteral("再設定できませんでした  \r\n\r\nこのまま使用できません  \r\n"
                                                    "アプリケーションを再起動してください  ");
inline const QString AskFbBackup =
    QStringLiteral("Fernbook連携に関する設定が変更されました  \r\n"
                   "登録名簿として設定中のアドレス帳のバックアップを行いますか？　\r\n\r\n"
                   "Tolvaneのデータ保存フォルダーの下に 「backup.FbAdrs」　\r\n"
                   "フォルダーを作成しアドレス帳フォルダを保存します  ");
inline const QString FbBackupFailed = QStringLiteral("アドレス帳のバックアップに失敗しました　");
// A name with a line break cannot be kept in the settings file.
inline const QString CDHasLineBreak =
    QStringLiteral("指定したドライブのフォルダー名に改行が含まれています  \r\n別のドライブを指定してください  ");
inline const QString FolderHasLineBreak =
    QStringLiteral("指定したフォルダー名に改行が含まれています  \r\n別のフォルダーを指定してください  ");
inline const QString WaveFileHasLineBreak =
    QStringLiteral("指定したWaveファイルの名前に改行が含まれています  \r\n別のファイルを指定してください  ");
inline const QString SelectItemHasLineBreak = QStringLiteral("選択項目名称に改行は使用できません  ");
inline const QString AdrsBookHasLineBreak =
    QStringLiteral("選択したアドレス帳のフォルダー名に改行が含まれています  \r\n別のアドレス帳を指定してください  ");
[[nodiscard]] QString UsbDriverMissing(const QString& AdapterName);
} // namespace EnvText

// The checks and the apply of one press of "設定(&S)".
class TEnvApply
{
public:
    TEnvApply(TEnvInput& Input, const TEnvOpened& Opened) : Input(Input), Opened(Opened) {}

    // Shows a message box and answers the button; Page >= 0 shows that page first.
    std::function<int(int Page, const QString& Text, unsigned Flags)> Message;

    // Steps 1 to 8: stops at the first problem. Input.DataPath gets its accepted form on the way,
    // even when a later check fails (the dialog shows it).
    [[nodiscard]] std::optional<TEnvProblem> Check();
    // Steps 9 to 16: copy into the settings, write them, and restart what the changes need.
    void Apply();

    TEnvFlags Flags;

private:
    [[nodiscard]] std::optional<TEnvProblem> CheckPort();
    [[nodiscard]] std::optional<TEnvProblem> CheckDataFolder();
    [[nodiscard]] std::optional<TEnvProblem> CheckFernbook();
    void CopyToSettings();
    [[nodiscard]] bool RestartLine();
    void OfferFbBackup();

    TEnvInput& Input;
    const TEnvOpened& Opened;
};

// The device-library wrappers while the dialog is open: both line kinds list their adapters, so the
// dialog makes the wrapper of the kind not in use (and the one in use, when the program has none yet).
// The other kind's library never stops the dialog: when it cannot be loaded or bound, or lists no
// adapter, OtherKindProblem says why (the library's own message) and that kind cannot be chosen.
enum class TLineWrappers
{
    Ready,
    CannotCreate // the library of the kind in use could not be loaded or bound (its message has been shown)
};
[[nodiscard]] TLineWrappers PrepareLineWrappers(bool IPPBXInUse, QString& OtherKindProblem);
// Frees the wrapper of the kind that was not in use at the opening and clears its global.
void FreeOtherLineWrapper(bool OpenedAsIPPBX);
inline const QString NoAdapterKindsListed = QStringLiteral("アダプター情報が取得できませんでした  ");
