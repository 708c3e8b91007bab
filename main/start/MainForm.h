#pragma once

#include "main/start/MainIcons.h"
#include "main/start/MainStartup.h"
#include "platform/msg/WindowMessage.h"

#include <QAction>
#include <QActionGroup>
#include <QByteArray>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>
#include <optional>

class QSessionManager;

// Posted by the main window to itself as the last step of its creation: the steps that need a
// running message loop follow.
inline constexpr std::uint32_t WM_AFTER_STARTUP = WM_APP + 0x101;

// The command tags of the menu window, the tray menu and the tool bar.
enum TMainCommand
{
    cmdHisList = 0,
    cmdMeiboList = 1,
    cmdImportFile = 2,
    cmdExportFile = 3,
    cmdGetHistory = 4,
    cmdListPrint = 5,
    cmdEnvironment = 6,
    cmdUtility = 7,
    cmdExit = 8,
};

// The small menu window "Tolvane１６ メニュー" and the tray icon. Its creation (Startup) carries the
// program's start-up; its destruction the shut-down.
class TMainForm : public QMainWindow, public TStartupHost
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget* Parent = nullptr);
    ~TMainForm() override;

    // The main window's creation; false when it asked the program to end.
    [[nodiscard]] bool Startup();

    // The handle the device library sends its notifications to.
    [[nodiscard]] TWindowHandle* WindowHandle() { return MessageTarget.Handle(); }

    // Runs a command by its tag, as a click on any of its items does.
    void pmiTrayPopupClick(int Tag);
    void pmiTrayPopupHelpClick(int Tag);
    // The menu window's own exit: closing the window asks first.
    void tbtnExitClick();
    void pmiRegistClick();
    // Tray icon events.
    void tiMainMouseDown(Qt::MouseButton Button);
    void tiMainClick();
    void tiMainDblClick();
    // The pop-up menu a right click on the tray icon shows now: none while a modal window is open.
    [[nodiscard]] QMenu* TrayPopupMenu() const;
    // Whether the tray's menu is exported to a StatusNotifier host, which then shows it itself.
    [[nodiscard]] bool TrayMenuIsExported() const { return TrayMenuExported; }
    void SetTrayIcon(TTrayIconState State);
    // The history button of the menu window: " 着信有り " with its marked image for an unseen call.
    void ShowHisListButton(bool Unseen);
    [[nodiscard]] TTrayIconState TrayIconState() const { return FTrayIconState; }
    void actViewTopExecute();
    void actMenuVisibleExecute();
    // The application's help: opens the manual at the page of HelpContext; false when not handled.
    bool ApplicationHelp(int HelpContext);
    // Shows or hides the menu window and keeps it on top as MenuVisible and TopView say.
    void ApplyMenuView();
    [[nodiscard]] bool FormCloseQuery();
    // The session ends: with MayAsk the close query may keep the program (false); otherwise, or when
    // it agrees, the program closes.
    bool SessionEnding(bool MayAsk);

    // Controls, named as the form names them.
    QToolBar* tbarTool;
    QToolButton* tbtnHisList;
    QToolButton* tbtnMeiboList;
    QToolButton* tbtnEnv;
    QToolButton* tbtnExit;
    QMenu* pmTray;
    QMenuBar* mmMain;
    QObject* actlstMain;
    QAction* actViewTop;
    QAction* actMenuVisible;
    QSystemTrayIcon* tiMain;

    QAction* pmiReceiveHistory;
    QAction* pmiAdditionMeibo;
    QAction* pmiFileInput;
    QAction* pmiFileOutput;
    QAction* pmiGetHistory;
    QAction* pmiListPrint;
    QAction* pmiEnvironment;
    QAction* pmiUtility;
    QAction* pmiExit;
    QAction* pmiSearchforHelpOn;
    QAction* pmiAbout;
    QAction* pmiRegist;
    QAction* pmMenuVisible;
    QAction* pmViewTop;

    QAction* mmHisList;
    QAction* mmMeiboList;
    QAction* mmImportFile;
    QAction* mmExportFile;
    QAction* mmGetHistory;
    QAction* mmListPrint;
    QAction* mmEnvironment;
    QAction* mmUtility;
    QAction* mmExit;
    QAction* mmiTopic;
    QAction* mmiVersion;
    QAction* mmiRegist;
    QAction* mmMenuVisible;
    QAction* mmViewTop;

    // Own fields.
    bool ExtDllLoaded = false;
    std::optional<QByteArray> RingStream;
    bool UnseenCall = false;
    bool BookChanged = false;
    bool EndSession = false;
    bool Registered = false;
    bool ShowInfo = false;

    // TStartupHost
    [[nodiscard]] TStartupSettings Settings() const override;
    void SetSettingsIncomplete(bool Value) override;
    int ShowMessage(const QString& Text, TMsgKind Kind) override;
    void CreateManual() override;
    void WaitForSplash() override;
    bool ReadIPPBX() override;
    bool CreateDeviceWrapper(bool IP) override;
    void ReadSettings() override;
    bool AskStartupPassword() override;
    void ShowInfoDialog() override;
    bool LoadKinds(bool Option) override;
    bool SelectKind(int Code) override;
    [[nodiscard]] QString SelectedKindName() const override;
    [[nodiscard]] int SelectedKindHistoryCount() const override;
    bool CheckFbAdrsBook() override;
    std::optional<int> ShowEnvironment(const QString& Message, TMsgKind Kind) override;
    bool LoadRingStream(const QString& FileName) override;
    [[nodiscard]] bool SerialLibraryInUse() const override;
    void SetLinePort(int Kind, int Port) override;
    int OpenLine() override;
    int OpenLineEx(int Mode, bool CTISet) override;
    [[nodiscard]] bool LineOpen() const override;
    void ShowUsbSerialNote(const QString& Text) override;
    void CreateDataModule() override;
    void EnableGetHistory(bool Enabled) override;
    void LoadLibraries() override;
    void ShowTrayIcon() override;
    void ArrangeMenuWindow() override;
    void PostAfterStartup() override;
    int ShowRegistDialog() override;
    void OpenRegistrationPage() override;
    void WriteRegistered(bool Value) override;
    bool StartupUpdateCheck() override;
    void CloseForUpdate() override;
    void RunAutoBackup() override;
    void WriteQueuedCalls() override;
    void WriteShutdownSettings() override;
    void UnloadExtDll() override;
    void FreeDictionaries() override;
    void FreeDataModule() override;
    void RemoveHelpHandler() override;
    void FreeManual() override;
    void CloseLines() override;
    void FreeRingAndQueue() override;
    void FreeDeviceWrappers() override;

protected:
    void closeEvent(QCloseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateTray();
    void UpdateCommandStates();
    void FitMenuWindow();
    void SyncOptionItems();
    void SetTopMost(bool TopMost);
    void BringForward();
    void CommitDataRequest(QSessionManager& Manager);
    std::intptr_t HandleMessage(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam);
    void FormClose();
    [[nodiscard]] bool FormKeyPress(const QKeyEvent* Key);

    TMessageTarget MessageTarget;
    TTrayIconState FTrayIconState = TRAY_STAND;
    [[nodiscard]] bool TrayCommandAllowed(const QAction* Item) const;
    void UpdateTrayCommandUse();

    bool LastPressLeft = false;
    bool TrayMenuExported = false;
    // The exported tray menu's entries, all greyed at once while a modal window is open.
    QActionGroup* TrayCommands = nullptr;
    bool HelpHandlerInstalled = false;
    bool SettingsRead = false;
    // The start-up gave the window its place; before that its position is nobody's choice.
    bool WindowPlaced = false;
    bool StartupRan = false;
    bool SettingsFileExisted = false;
    bool GetHistoryAvailable = false;
};

// The main window while it exists.
extern TMainForm* MainForm;
