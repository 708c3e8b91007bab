#include "main/common/CommonForms.h"
#include "main/common/CommonSys.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/device/VxComm.h"
#include "transfer/common/LeftFiles.h"
#include "main/help/VerInfo.h"
#include "main/settings/Settings.h"
#include "main/start/InfoDialog.h"
#include "main/start/MainForm.h"
#include "main/start/MainHooks.h"
#include "main/start/MessageView.h"
#include "main/start/RegistDialog.h"
#include "main/start/SplashForm.h"
#include "main/tables/DBInfo.h"
#include "platform/sys/Exceptions.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <functional>

// The main window as the host of the program's start-up and shut-down: the steps that TMainStartup
// runs ask it for the settings, the device library, the data module and the windows of the start.

namespace {

// The maker's registration page for this product; the number after "jan=" is the product's barcode.
const QString RegistrationPage = MakerUrl + QStringLiteral("support/registration.php?product_id=7&jan=4912345678904");

constexpr int UsbSerialNoteTime = 1000;

unsigned MessageFlags(TMsgKind Kind)
{
    switch (Kind) {
    case TMsgKind::Information:
        return MB_OK | MB_ICONINFORMATION;
    case TMsgKind::Stop:
        return MB_OK | MB_ICONSTOP;
    case TMsgKind::Warning:
        return MB_OK | MB_ICONWARNING;
    case TMsgKind::None:
    case TMsgKind::Plain:
        break;
    }
    return MB_OK;
}

// Waits Milliseconds with the message loop running.
void Pause(int Milliseconds)
{
    QEventLoop Loop;
    QTimer::singleShot(Milliseconds, &Loop, &QEventLoop::quit);
    Loop.exec();
}

} // namespace

bool TMainForm::Startup()
{
    StartupRan = true;
    return TMainStartup(*this).RunCreation();
}

// ---- What the start-up asks of the main window --------------------------------------------------------

TStartupSettings TMainForm::Settings() const
{
    TStartupSettings S;
    S.SettingsIncomplete = ::SettingsIncomplete;
    S.DllReplaced = ::DllReplaced;
    S.DataPathDefaulted = ::DataPathDefaulted;
    S.SettingsFileExists = SettingsFileExisted;
    S.AdapterExtend = ::Settings.AdapterExtend;
    S.Adapter = ::Settings.Adapter;
    S.Port = ::Settings.Port;
    S.UsbSerial = ::Settings.UsbSerial;
    S.NewFunc = ::Settings.NewFunc;
    S.CTISet = ::Settings.CTISet;
    S.DllVersion = ::Settings.DLL.toLongLong();
    S.RingSound = ::Settings.RingSound;
    S.WaveFile = ::Settings.WaveFile;
    S.UseFbAdrs = ::Settings.UseFbAdrs;
    S.ShowInfo = ShowInfo;
    S.UpdateCheck = ::Settings.UpdateCheck;
    S.AutoBU = ::Settings.AutoBU;
    S.Registered = Registered;
    return S;
}

void TMainForm::SetSettingsIncomplete(bool Value)
{
    ::SettingsIncomplete = Value;
}

int TMainForm::ShowMessage(const QString& Text, TMsgKind Kind)
{
    if (Kind == TMsgKind::Plain)
        return ShowMessageBox(nullptr, Text, ProductName, MB_OK);
    return MessageBoxPos(isVisible() ? this : nullptr, Text, ProductName, MessageFlags(Kind));
}

void TMainForm::CreateManual()
{
    RunStepHook(MainHooks().CreateManual, "CreateManual");
    QApplication::instance()->installEventFilter(this);
    HelpHandlerInstalled = true;
}

void TMainForm::WaitForSplash()
{
    WaitForSplashClosed();
}

bool TMainForm::ReadIPPBX()
{
    const bool IP = ReadEarlySettings().IPPBX;
    IPPBXPath = ReadIPPBXPath(ProgramPath);
    return IP;
}

bool TMainForm::CreateDeviceWrapper(bool IP)
{
    std::unique_ptr<TVxCommDLL> Wrapper = TVxCommDLL::Create(WindowHandle(), IP ? 1 : 0, ProgramPath);
    if (!Wrapper)
        return false;
    VxCommDLL = Wrapper.get();
    (IP ? IPCommDLL : SerialCommDLL) = std::move(Wrapper);
    return true;
}

void TMainForm::ReadSettings()
{
    SettingsFileExisted = QFileInfo::exists(SettingsFileName());
    TSettingsSources Sources;
    Sources.DeviceVersion = static_cast<unsigned>(VxCommDLL->GetVersion());
    Sources.ScanDrives = [](bool SearchDriveExtend) {
        ScanDrives(SearchDriveExtend ? DRIVE_MASK_CDROM | DRIVE_MASK_NETWORK : DRIVE_MASK_CDROM);
        return DriveList;
    };
    Sources.ShowInformation = [this](const QString& Text) { ShowMessage(Text, TMsgKind::Information); };
    ::ReadSettings(Sources);
    SettingsRead = true;
    Registered = ::Settings.Register;
    ShowInfo = ::Settings.Info;
    EndSession = false;
}

bool TMainForm::AskStartupPassword()
{
    return AskStepHook(MainHooks().AskStartupPassword, "AskStartupPassword", true, this);
}

void TMainForm::ShowInfoDialog()
{
    TInfoDialog Dialog(::Settings.UpdateCheck, this);
    CenterForm(&Dialog, isVisible() ? this : nullptr);
    Dialog.exec();
    // Ended with the session, the dialog was not answered: its boxes are nobody's choice.
    if (ProgramEnding)
        return;
    ShowInfo = Dialog.ckbInfo->isChecked();
    ::Settings.UpdateCheck = Dialog.ckbUpdate->isChecked();
}

bool TMainForm::LoadKinds(bool Option)
{
    VxCommDLL->SetOption(Option ? 1 : 0);
    return VxCommDLL->LoadKinds();
}

bool TMainForm::SelectKind(int Code)
{
    return VxCommDLL->SelectKind(Code);
}

QString TMainForm::SelectedKindName() const
{
    return AdapterKindName(VxCommDLL->SelectedKind());
}

int TMainForm::SelectedKindHistoryCount() const
{
    return VxCommDLL ? VxCommDLL->SelectedKind().HistoryCount : 0;
}

bool TMainForm::CheckFbAdrsBook()
{
    BookChanged = AskStepHook(MainHooks().CheckFbAdrsBook, "CheckFbAdrsBook", false, this);
    return BookChanged;
}

std::optional<int> TMainForm::ShowEnvironment(const QString& Message, TMsgKind Kind)
{
    if (!MainHooks().ShowEnvironment)
        return std::nullopt;
    ShowMessage(Message, Kind);
    UIIdle = false;
    const int Result = MainHooks().ShowEnvironment(this);
    UIIdle = true;
    return Result;
}

bool TMainForm::LoadRingStream(const QString& FileName)
{
    RingStream.reset();
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return false;
    RingStream = File.readAll();
    return true;
}

bool TMainForm::SerialLibraryInUse() const
{
    return VxCommDLL && VxCommDLL == SerialCommDLL.get();
}

void TMainForm::SetLinePort(int Kind, int Port)
{
    VxCommDLL->SetKind(Kind);
    VxCommDLL->SetPort(Port);
}

int TMainForm::OpenLine()
{
    VxCommDLL->Open();
    return VxCommDLL->OpenResult();
}

int TMainForm::OpenLineEx(int Mode, bool CTISet)
{
    VxCommDLL->OpenEx(Mode, CTISet ? 1 : 0);
    return VxCommDLL->OpenResult();
}

bool TMainForm::LineOpen() const
{
    return VxCommDLL && VxCommDLL->OpenResult() == VxCommLineOpen;
}

void TMainForm::ShowUsbSerialNote(const QString& Text)
{
    TMessageView View;
    View.SetMessage(Text);
    CenterForm(&View, nullptr);
    View.show();
    ForceForegroundWindow(&View);
    View.repaint();
    QCoreApplication::processEvents();
    Pause(UsbSerialNoteTime);
    View.close();
}

void TMainForm::CreateDataModule()
{
    RemoveLeftTableFiles(::Settings.DataPath);
    DMVxRelvo16 = new TDMVxRelvo16(::Settings.DataPath, ProgramPath);
    if (::Settings.UseFbAdrs)
        RunStepHook(MainHooks().CreateFbDataModule, "CreateFbDataModule");
    DMVxRelvo16->CreateRecvHisTable();
    DMVxRelvo16->CreateMeiboTable();
    DMVxRelvo16->CreateRankHistory();
    for (int Index = 0; Index < 3; ++Index)
        DMVxRelvo16->CreateSelItemHistory(Index);
    // A damaged pick-list file leaves that list empty; the start goes on with the others.
    const auto Load = [](const std::function<bool()>& Step) {
        try {
            (void)Step();
        } catch (const Exception& Error) {
            (void)ShowMessageBox(nullptr, Error.Message(), ProductName, MB_OK | MB_ICONSTOP);
        }
    };
    Load([] { return DMVxRelvo16->LoadRankHistory(); });
    for (int Index = 0; Index < 3; ++Index)
        Load([Index] { return DMVxRelvo16->LoadSelItemHistory(Index); });
}

void TMainForm::EnableGetHistory(bool Enabled)
{
    GetHistoryAvailable = Enabled;
    UpdateCommandStates();
}

void TMainForm::LoadLibraries()
{
    RunStepHook(MainHooks().LoadDictionaries, "LoadDictionaries");
    if (QFileInfo::exists(ProgramPath + QStringLiteral("ExtDLL.so")))
        ExtDllLoaded = AskStepHook(MainHooks().LoadExtDll, "LoadExtDll", false);
}

void TMainForm::ShowTrayIcon()
{
    SetTrayIcon(TRAY_STAND);
    tiMain->show();
    UnseenCall = false;
    // The start-up marks the program idle right after this.
    QTimer::singleShot(0, this, &TMainForm::UpdateTrayCommandUse);
}

// The place is the window's own area, not its frame: the frame is the window manager's and unknown
// until the window is shown, and a window that exists already (a dialog of the start-up had it as its
// owner) would take a frame position for its own, a title bar higher at every start.
void TMainForm::ArrangeMenuWindow()
{
    FitMenuWindow();
    QRect Area(QPoint(), size());
    if (::Settings.MenuLeft && ::Settings.MenuTop)
        Area.moveTopLeft(QPoint(ScaleByDpi(*::Settings.MenuLeft, true), ScaleByDpi(*::Settings.MenuTop, true)));
    else if (const QScreen* Screen = QGuiApplication::primaryScreen())
        Area.moveCenter(Screen->availableGeometry().center());
    SetStoredGeometry(this, Area);
    WindowPlaced = true;
    ApplyMenuView();
}

void TMainForm::PostAfterStartup()
{
    MessageTarget.Post(WM_AFTER_STARTUP);
}

int TMainForm::ShowRegistDialog()
{
    TRegistDialog Dialog(this);
    CenterForm(&Dialog, isVisible() ? this : nullptr);
    return Dialog.exec();
}

void TMainForm::OpenRegistrationPage()
{
    if (!QDesktopServices::openUrl(QUrl(RegistrationPage)))
        QProcess::startDetached(QStringLiteral("xdg-open"), {RegistrationPage});
}

void TMainForm::WriteRegistered(bool Value)
{
    Registered = Value;
    ::Settings.Register = Value;
    (void)SaveRegistered();
}

bool TMainForm::StartupUpdateCheck()
{
    return AskStepHook(MainHooks().StartupUpdateCheck, "StartupUpdateCheck", false, this);
}

void TMainForm::CloseForUpdate()
{
    close();
}

void TMainForm::RunAutoBackup()
{
    RunStepHook(MainHooks().RunAutoBackup, "RunAutoBackup");
}

// ---- Shut-down -----------------------------------------------------------------------------------------

void TMainForm::WriteShutdownSettings()
{
    // A start that ended before the settings were read must not overwrite them with defaults.
    if (!SettingsRead)
        return;
    // A start that ended before the window was placed keeps the place stored before.
    if (WindowPlaced) {
        const QPoint Position = isMinimized() ? normalGeometry().topLeft() : geometry().topLeft();
        ::Settings.MenuLeft = ScaleByDpi(Position.x(), false);
        ::Settings.MenuTop = ScaleByDpi(Position.y(), false);
    }
    ::Settings.Info = ShowInfo;
    // A session that ends leaves nobody to read a box: a file that cannot be written is only logged then.
    (void)SaveShutdownSettings(ProgramEnding ? TSettingsSave::Unattended : TSettingsSave::Last);
}

void TMainForm::UnloadExtDll()
{
    if (ExtDllLoaded)
        RunStepHook(MainHooks().UnloadExtDll, "UnloadExtDll");
    ExtDllLoaded = false;
}

void TMainForm::FreeDictionaries()
{
    RunStepHook(MainHooks().FreeDictionaries, "FreeDictionaries");
}

void TMainForm::FreeDataModule()
{
    // The pick lists are let go unsaved: whoever changes one saves it right after the change.
    if (DMVxRelvo16) {
        for (int Index = 0; Index < 3; ++Index)
            DMVxRelvo16->ClearSelItemHistory(Index);
        DMVxRelvo16->ClearRankHistory();
        for (int Index = 0; Index < 3; ++Index)
            DMVxRelvo16->FreeSelItemHistory(Index);
        DMVxRelvo16->FreeRankHistory();
        DMVxRelvo16->FreeMeiboTable();
        DMVxRelvo16->FreeRecvHisTable();
    }
    RunStepHook(MainHooks().FreeFbDataModule, "FreeFbDataModule");
    delete DMVxRelvo16;
    DMVxRelvo16 = nullptr;
}

void TMainForm::RemoveHelpHandler()
{
    if (HelpHandlerInstalled && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    HelpHandlerInstalled = false;
}

void TMainForm::FreeManual()
{
    RunStepHook(MainHooks().FreeManual, "FreeManual");
}

void TMainForm::WriteQueuedCalls()
{
    RunStepHook(MainHooks().WriteQueuedCalls, "WriteQueuedCalls");
}

void TMainForm::CloseLines()
{
    for (TVxCommDLL* Wrapper : {VxCommDLL, SerialCommDLL.get(), IPCommDLL.get()})
        if (Wrapper)
            Wrapper->Close();
}

void TMainForm::FreeRingAndQueue()
{
    // The call queue belongs to the call pipeline and goes with it.
    RingStream.reset();
}

void TMainForm::FreeDeviceWrappers()
{
    VxCommDLL = nullptr;
    SerialCommDLL.reset();
    IPCommDLL.reset();
}
