#pragma once

#include "main/common/ProgramState.h"

#include <QString>
#include <optional>

// How a start-up message box looks. Plain is the framework's own plain message (no icon, the
// program's title), None a positioned box without an icon.
enum class TMsgKind
{
    Information,
    Stop,
    Warning,
    None,
    Plain,
};

// The settings values the start-up and the shut-down act on, as the settings reader left them.
struct TStartupSettings
{
    bool SettingsIncomplete = false;
    bool DllReplaced = false;
    bool DataPathDefaulted = false;
    bool SettingsFileExists = false;
    bool AdapterExtend = false;
    int Adapter = 0;
    QString Port;
    int UsbSerial = 0;
    bool NewFunc = false;
    bool CTISet = false;
    qint64 DllVersion = 0; // VERSION/DLL as a number
    bool RingSound = false;
    QString WaveFile;
    bool UseFbAdrs = false;
    bool ShowInfo = false;
    bool UpdateCheck = false;
    bool AutoBU = false;
    bool Registered = false;
};

// Everything the start-up and the shut-down ask of the main window and of the program's other parts.
// The main window implements it over the real parts; tests implement it to watch the order.
class TStartupHost
{
public:
    virtual ~TStartupHost() = default;

    [[nodiscard]] virtual TStartupSettings Settings() const = 0;
    virtual void SetSettingsIncomplete(bool Value) = 0;
    virtual int ShowMessage(const QString& Text, TMsgKind Kind) = 0;

    virtual void CreateManual() = 0;
    virtual void WaitForSplash() = 0;
    // Reads COMMON/IPPBX again and computes the IP-PBX folder; answers IPPBX.
    virtual bool ReadIPPBX() = 0;
    // False when the library could not be loaded or bound (its wrapper has told the user).
    virtual bool CreateDeviceWrapper(bool IP) = 0;
    virtual void ReadSettings() = 0;
    // False when a stored start-up password was asked for and the user gave up.
    virtual bool AskStartupPassword() = 0;
    // Shows the first-start information and keeps its two choices (ShowInfo, UpdateCheck).
    virtual void ShowInfoDialog() = 0;
    virtual bool LoadKinds(bool Option) = 0;
    virtual bool SelectKind(int Code) = 0;
    [[nodiscard]] virtual QString SelectedKindName() const = 0;
    [[nodiscard]] virtual int SelectedKindHistoryCount() const = 0;
    // Checks the chosen address book of the Fernbook edition (and backs it up as set); true when it
    // is missing or changed.
    virtual bool CheckFbAdrsBook() = 0;
    // Shows Message, then the settings dialog, and answers its modal result (1 OK, 2 Cancel). While the
    // dialog is not part of the program it shows nothing and answers none.
    virtual std::optional<int> ShowEnvironment(const QString& Message, TMsgKind Kind = TMsgKind::Information) = 0;
    // False when the file could not be read; the ring is then silent.
    virtual bool LoadRingStream(const QString& FileName) = 0;
    [[nodiscard]] virtual bool SerialLibraryInUse() const = 0;
    virtual void SetLinePort(int Kind, int Port) = 0;
    virtual int OpenLine() = 0;
    virtual int OpenLineEx(int Mode, bool CTISet) = 0;
    [[nodiscard]] virtual bool LineOpen() const = 0;
    virtual void ShowUsbSerialNote(const QString& Text) = 0;
    virtual void CreateDataModule() = 0;
    virtual void EnableGetHistory(bool Enabled) = 0;
    virtual void LoadLibraries() = 0;
    virtual void ShowTrayIcon() = 0;
    virtual void ArrangeMenuWindow() = 0;
    virtual void PostAfterStartup() = 0;

    // Deferred steps. The registration prompt answers the tag of its button (0 register now, 1 later,
    // 2 registered), 1 when it was closed another way, NoRegistAnswer when it was ended from outside.
    virtual int ShowRegistDialog() = 0;
    virtual void OpenRegistrationPage() = 0;
    virtual void WriteRegistered(bool Registered) = 0;
    // The update check of the start, with its own question and messages; true when the updater was
    // started for a restart and the program must close now.
    virtual bool StartupUpdateCheck() = 0;
    virtual void CloseForUpdate() = 0;
    virtual void RunAutoBackup() = 0;

    // Shut-down.
    // The line is closed: writes every call the pipeline still holds, while the tables are open.
    virtual void WriteQueuedCalls() = 0;
    virtual void WriteShutdownSettings() = 0;
    virtual void UnloadExtDll() = 0;
    virtual void FreeDictionaries() = 0;
    virtual void FreeDataModule() = 0;
    virtual void RemoveHelpHandler() = 0;
    virtual void FreeManual() = 0;
    virtual void CloseLines() = 0;
    virtual void FreeRingAndQueue() = 0;
    virtual void FreeDeviceWrappers() = 0;
};

inline constexpr int NoRegistAnswer = -1;

// The port number that COMMON/Port gives the device library: the digit after "COM", else 0.
[[nodiscard]] int PortNumberFromText(const QString& Port);

// The one message shown before the settings dialog when the settings are incomplete.
[[nodiscard]] QString SettingsIncompleteMessage(bool DllReplaced, bool BookChanged, bool SettingsFileExists);
[[nodiscard]] QString PortBusyMessage(const QString& Port);
[[nodiscard]] QString UsbDriverMessage(const QString& AdapterName);

// Which question the close query asks.
enum class TCloseQuestion
{
    None,
    SessionEnd,
    Close,
};
[[nodiscard]] TCloseQuestion CloseQuestion(bool EndSession, bool WindowsEnd, bool ClosingForUpdate, bool CloseMsg);

extern const QString SessionEndQuestion;
extern const QString CloseProgramQuestion;
extern const QString RingFileMessage;

// The main window's creation and its deferred steps, in their fixed order.
class TMainStartup
{
public:
    explicit TMainStartup(TStartupHost& Host) : Host(Host) {}

    // False when the creation asked the program to end; SettingsIncomplete is then left set.
    [[nodiscard]] bool RunCreation();
    void RunAfterStartup();
    void RunShutdown();

private:
    [[nodiscard]] bool OpenLineWithRetry();
    void AskRegistration();

    TStartupHost& Host;
};
