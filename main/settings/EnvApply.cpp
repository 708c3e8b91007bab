#include "main/settings/EnvApply.h"

#include "main/common/CommonSys.h"
#include "main/common/CommonText.h"
#include "main/common/StepHook.h"
#include "main/device/VxComm.h"
#include "main/settings/Settings.h"
#include "main/settings/SettingsSave.h"
#include "platform/ini/IniFile.h"
#include "platform/ini/IniText.h"
#include "platform/sys/Exceptions.h"
#include "platform/sys/Folders.h"
#include "platform/sys/SerialPorts.h"
#include "platform/sys/Volume.h"
#include "platform/ui/MessageBox.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

QString IPPBXAdapterName;
int IPPBXAdapterKind = 0;
bool IPPBXDetailChanged = false;
bool UpdateQuit = false;

namespace {

const QString EnvironmentSection = QStringLiteral("ENVIRONMENT");

void Wait(int Milliseconds)
{
    if (EnvHooks().Wait)
        EnvHooks().Wait(Milliseconds);
    else
        QThread::msleep(Milliseconds);
}

bool ProbePort(const QString& Device)
{
    return EnvHooks().ProbePort ? EnvHooks().ProbePort(Device) : ProbeSerialPort(Device);
}

TEnvProblem Problem(int Page, const QString& Text, TEnvFocus Focus, bool CaretToEnd = false,
                    unsigned Flags = MB_OK | MB_ICONINFORMATION)
{
    TEnvProblem Result;
    Result.Page = Page;
    Result.Text = Text;
    Result.Flags = Flags;
    Result.Focus = Focus;
    Result.CaretToEnd = CaretToEnd;
    return Result;
}

bool IsComPort(const QString& Port)
{
    return ComPortNumber(Port) > 0;
}

TWindowHandle* LineOwner()
{
    if (EnvHooks().LineOwner)
        return EnvHooks().LineOwner;
    return VxCommDLL ? VxCommDLL->Owner() : nullptr;
}

std::unique_ptr<TVxCommDLL> CreateWrapper(TWindowHandle* Owner, bool IP, QString* Error = nullptr)
{
    const QString& Folder = EnvHooks().DeviceLibraryFolder;
    return TVxCommDLL::Create(Owner, IP ? 1 : 0, Folder.isEmpty() ? GetProgramFolder() : Folder, Error);
}

std::unique_ptr<TVxCommDLL>& WrapperOf(bool IP)
{
    return IP ? IPCommDLL : SerialCommDLL;
}

// Which wrapper the dialog made for the kind not in use; only that one is let go at closing.
bool MadeOtherWrapper = false;

} // namespace

TEnvHooks& EnvHooks()
{
    static TEnvHooks Hooks;
    return Hooks;
}

TEnvironmentSection LoadEnvironmentSection()
{
    const TMemIniFile Ini(SettingsFileName());
    TEnvironmentSection Section;
    Section.InitTab = Ini.ReadInteger(EnvironmentSection, QStringLiteral("InitTab"), 0);
    if (Section.InitTab < 0 || Section.InitTab >= EnvPageCount)
        Section.InitTab = 0;
    Section.TipView = Ini.ReadBool(EnvironmentSection, QStringLiteral("TipView"), true);
    return Section;
}

bool SaveEnvironmentSection(const TEnvironmentSection& Section)
{
    if (!QFileInfo(SettingsFileName()).isFile())
        return false;
    return SaveSettingsFile(TSettingsSave::Kept, [&Section](TMemIniFile& Ini) {
        Ini.WriteInteger(EnvironmentSection, QStringLiteral("InitTab"), Section.InitTab);
        Ini.WriteBool(EnvironmentSection, QStringLiteral("TipView"), Section.TipView);
    });
}

QList<TPortItem> PortItems(const QString& DevFolder, const QString& StoredPort)
{
    QList<int> Numbers = ExistingComPorts(DevFolder);
    const int Stored = ComPortNumber(StoredPort);
    const bool StoredAbsent = Stored > 0 && !Numbers.contains(Stored);
    if (StoredAbsent) {
        Numbers.append(Stored);
        std::sort(Numbers.begin(), Numbers.end());
    }
    QList<TPortItem> Items;
    for (const int Number : Numbers) {
        const QString Port = QStringLiteral("COM%1").arg(Number);
        if (StoredAbsent && Number == Stored)
            Items.append({Port, Port + QStringLiteral(" (") + PortAbsent + QLatin1Char(')'), false});
        else
            Items.append({Port, Port + QStringLiteral(" (") + QFileInfo(ComPortDevice(Number, DevFolder)).fileName() +
                                    QLatin1Char(')')});
    }
    Items.append({PortUsb, PortUsb});
    Items.append({PortTapi, PortTapi});
    return Items;
}

int PortItemIndex(const QList<TPortItem>& Items, const QString& Port)
{
    for (qsizetype I = 0; I < Items.size(); ++I)
        if (Items[I].Port == Port)
            return int(I);
    return -1;
}

int PortIndexForAdapter(int PortType, int CurrentIndex, int OpenedPortIndex, int ItemCount)
{
    const int UsbIndex = ItemCount - 2;
    const int TapiIndex = ItemCount - 1;
    switch (PortType) {
    case 1:
        return UsbIndex;
    case 2:
        return TapiIndex;
    case 0:
        if (CurrentIndex != UsbIndex && CurrentIndex != TapiIndex)
            return CurrentIndex;
        return (OpenedPortIndex == UsbIndex || OpenedPortIndex == TapiIndex) ? 0 : OpenedPortIndex;
    default:
        return CurrentIndex;
    }
}

std::optional<int> AcceptNumberText(const QString& Text, int Low, int High)
{
    const QString Trimmed = Text.trimmed();
    if (Trimmed.isEmpty() || Trimmed != DigitsOnly(Trimmed) || Trimmed.size() > 9)
        return std::nullopt;
    const int Value = Trimmed.toInt();
    if (Value < Low || Value > High)
        return std::nullopt;
    return Value;
}

TGenerationWarning GenerationWarning(const QString& Text, int Stored)
{
    TGenerationWarning Warning;
    const QString Trimmed = Text.trimmed();
    if (Trimmed.isEmpty()) {
        Warning.State = TGenerationWarning::EState::Hidden;
        return Warning;
    }
    if (Trimmed != DigitsOnly(Trimmed) || Trimmed.size() > 9)
        return Warning;
    const int Count = Trimmed.toInt();
    // "10" is what the edit briefly holds while the up-down steps past 9; the warning stays as it was.
    if (Count == 10)
        return Warning;
    if (Count < 1 || Count > 9 || Count >= Stored || Stored <= 1) {
        Warning.State = TGenerationWarning::EState::Hidden;
        return Warning;
    }
    Warning.State = TGenerationWarning::EState::Shown;
    Warning.Generation = Count == 8 ? QStringLiteral("9 世代目のバックアップデータ")
                                    : QString::number(Count + 1) + QStringLiteral(" 世代目以降のバックアップデータ");
    return Warning;
}

QStringList MapSearchKinds(int Map)
{
    return {QStringLiteral("緯度・経度を優先"),
            Map == 0 ? QStringLiteral("電話番号を優先") : QStringLiteral("住所を優先")};
}

QString DataPathForEdit(const QString& DataPath)
{
    QString Text = DataPath;
    while (Text.size() > 1 && Text.endsWith(QLatin1Char('/')))
        Text.chop(1);
    return Text;
}

QString EnvText::UsbDriverMissing(const QString& AdapterName)
{
    return QStringLiteral("「") + AdapterName.left(50).trimmed() + QStringLiteral("」用のUSBドライバーが  \r\n") +
           QStringLiteral("正しくセットアップされていないようです  \r\n\r\nドライバーをセットアップしてください  ");
}

std::optional<TEnvProblem> TEnvApply::Check()
{
    Flags = {};
    Flags.LineKindChanged = Input.IPPBX != Opened.AsIPPBX;
    if (!SettingsIncomplete) {
        Flags.RestartNeeded = Flags.LineKindChanged || IPPBXDetailChanged || Input.AdapterIndex != Opened.AdapterIndex;
    }

    if (Input.IPPBX) {
        if (IPPBXPath.isEmpty() || !QFileInfo(IPPBXPath + QStringLiteral("/VxComm3ip.ini")).isFile())
            return Problem(-1, EnvText::NoIPPBXDetail, TEnvFocus::None);
    } else if (auto Failed = CheckPort()) {
        return Failed;
    }
    // Linux file names may hold line breaks; the settings file cannot (every value is one line).
    if (HoldsLineBreak(Input.CD))
        return Problem(0, EnvText::CDHasLineBreak, TEnvFocus::None);
    if (auto Failed = CheckDataFolder())
        return Failed;

    const QString Wave = Input.WaveFile.trimmed();
    if (HoldsLineBreak(Wave))
        return Problem(1, EnvText::WaveFileHasLineBreak, TEnvFocus::edtWaveFile, true);
    if (Input.RingSound && !Wave.isEmpty() && !QFileInfo(Wave).isFile())
        return Problem(1, EnvText::NoWaveFile, TEnvFocus::edtWaveFile, true);

    const TEnvFocus SelectEdits[3] = {TEnvFocus::edtSelectItem1, TEnvFocus::edtSelectItem2, TEnvFocus::edtSelectItem3};
    for (int I = 0; I < 3; ++I) {
        if (Input.SelectItems[I].trimmed().isEmpty())
            return Problem(3, EnvText::NoSelectItem, SelectEdits[I]);
        if (HoldsLineBreak(Input.SelectItems[I].trimmed()))
            return Problem(3, EnvText::SelectItemHasLineBreak, SelectEdits[I], true);
    }

    if (auto Failed = CheckFernbook())
        return Failed;

    if (Input.UseFbAdrs) {
        Flags.EditionChanged = Input.FbSeries != Settings.FbSeries;
        const QString ChosenFolder = Input.FbAdrsBooks.value(Input.FbAdrsBook).Folder;
        const bool BookDiffers = Input.FbAdrsBooks.isEmpty() || Input.FbAdrsBook != Settings.FbAdrsBook ||
                                 ChosenFolder != Settings.FbAdrsBookName;
        Flags.BackupOffer =
            !Settings.UseFbAdrs || Flags.EditionChanged || BookDiffers || (Input.FbBackup && !Settings.FbBackup);
    }
    return std::nullopt;
}

std::optional<TEnvProblem> TEnvApply::CheckPort()
{
    const int Count = int(Input.Ports.size());
    const QString Port = Input.Ports.value(Input.PortIndex).Port;
    switch (Input.AdapterPortType) {
    case 1:
        if (Port != PortUsb) {
            TEnvProblem Failed = Problem(0, EnvText::NeedUsb, TEnvFocus::cbxPort);
            Failed.SelectPort = Count - 2;
            return Failed;
        }
        break;
    case 2:
        if (Port != PortTapi) {
            TEnvProblem Failed = Problem(0, EnvText::NeedTapi, TEnvFocus::cbxPort);
            Failed.SelectPort = Count - 1;
            return Failed;
        }
        break;
    case 0: {
        if (!IsComPort(Port)) {
            TEnvProblem Failed = Problem(0, EnvText::NeedCom, TEnvFocus::cbxPort);
            Failed.SelectPort = Opened.PortIndex;
            return Failed;
        }
        // The stored port whose device is gone cannot be opened: the user hears so rather than
        // finding the line closed afterwards.
        if (!Input.Ports.value(Input.PortIndex).Present)
            return Problem(0, EnvText::ComUnusable, TEnvFocus::cbxPort);
        const bool PortChanged = Input.PortIndex != Opened.PortIndex;
        if (SettingsIncomplete || PortChanged) {
            const bool Usable = ProbePort(ComPortDevice(ComPortNumber(Port), EnvHooks().DevFolder));
            Wait(500);
            if (!Usable)
                return Problem(0, EnvText::ComUnusable, TEnvFocus::cbxPort);
        }
        if (PortChanged && !SettingsIncomplete)
            Flags.RestartNeeded = true;
        break;
    }
    default:
        break;
    }
    return std::nullopt;
}

std::optional<TEnvProblem> TEnvApply::CheckDataFolder()
{
    QString Folder = Input.DataPath.trimmed();
    if (Folder.isEmpty())
        return Problem(0, EnvText::NoFolder, TEnvFocus::edtDataPath);
    if (HoldsLineBreak(Folder))
        return Problem(0, EnvText::FolderHasLineBreak, TEnvFocus::edtDataPath, true);
    if (Folder.size() < 2 && Folder != QStringLiteral("/"))
        return Problem(0, EnvText::InvalidFolder2, TEnvFocus::edtDataPath, true);
    // The drive letter and its colon become the absolute path's leading "/".
    if (!Folder.startsWith(QLatin1Char('/')))
        return Problem(0, EnvText::InvalidFolder1, TEnvFocus::edtDataPath, true);
    // The drive root becomes the top folder: "/media" of "/media/usb/Data".
    const QString Top = QStringLiteral("/") + Folder.section(QLatin1Char('/'), 0, 0, QString::SectionSkipEmpty);
    if (!QFileInfo(Top).isDir())
        return Problem(0, EnvText::InvalidFolder2, TEnvFocus::edtDataPath, true);
    const TDriveType Type = GetDriveType(Folder, EnvHooks().MountsFile);
    if (Type != TDriveType::Removable && Type != TDriveType::Fixed)
        return Problem(0, EnvText::NeedLocalDrive, TEnvFocus::edtDataPath, true);

    Folder = IncludeTrailingDelimiter(Folder);
    Input.DataPath = Folder;
    if (!QFileInfo(Folder).isDir()) {
        if (Message(0, EnvText::AskCreateFolder, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return Problem(0, QString(), TEnvFocus::edtDataPath, true);
        if (CreateSharedFolder(Folder) != 1 || !QFileInfo(Folder).isDir())
            return Problem(0, EnvText::CannotCreateFolder, TEnvFocus::edtDataPath, true, MB_OK | MB_ICONSTOP);
    }
    // Linux file names tell letter case apart, so only the trailing delimiter is ignored here.
    if (!SettingsIncomplete && Folder != IncludeTrailingDelimiter(Opened.DataPath)) {
        Flags.DataFolderChanged = true;
        Flags.RestartNeeded = true;
    }
    return std::nullopt;
}

std::optional<TEnvProblem> TEnvApply::CheckFernbook()
{
    // The check for a 32-bit process on 64-bit Windows XP has no counterpart here.
    if (Input.UseFbAdrs && !Input.FbAvailable)
        return Problem(6, EnvText::FbUnavailable, TEnvFocus::chkUseFbAdrs);
    // The chosen book is kept even while the link is off.
    if (HoldsLineBreak(Input.FbAdrsBooks.value(Input.FbAdrsBook).Folder))
        return Problem(6, EnvText::AdrsBookHasLineBreak, TEnvFocus::chkUseFbAdrs);
    QList<int> Used = {Input.Memo1, Input.Memo2, Input.Memo3, Input.Line1, Input.Line2};
    std::sort(Used.begin(), Used.end());
    if (Used != QList<int>{0, 1, 2, 3, 4})
        return Problem(6, EnvText::FbKeywordTwice, TEnvFocus::cbxMemo1);
    return std::nullopt;
}

void TEnvApply::CopyToSettings()
{
    Settings.CD = Input.CD;
    Settings.IPPBX = Input.IPPBX;
    Settings.Adapter = Input.AdapterCode;
    Settings.Port = Input.Ports.value(Input.PortIndex).Port;
    Settings.DataPath = IncludeTrailingDelimiter(Input.DataPath.trimmed());
    Settings.Map = Input.Map;
    Settings.MapSearchKind = Input.MapSearchKind;
    Settings.HisListPopup = Input.HisListPopup;
    Settings.RecvViewPopup = Input.RecvViewPopup;
    Settings.RingSound = Input.RingSound;
    Settings.WaveFile = Input.WaveFile.trimmed();
    Settings.NotMoveFocus = Input.NotMoveFocus;
    Settings.DeleteType = Input.DeleteType;
    Settings.ViewSplash = Input.ViewSplash;
    Settings.WindowsEnd = Input.WindowsEnd;
    Settings.EarlierSearch = Input.EarlierSearch;
    Settings.NewDataView = Input.NewDataView;
    Settings.AutoAdd = Input.AutoAdd;
    Settings.SameTelUpdate = Input.SameTelUpdate;
    Settings.BeforeSelectItems = Input.BeforeSelectItems;
    Settings.BeforeRecvDateTime = Input.BeforeRecvDateTime;
    Settings.AutoDel = Input.AutoDel;
    Settings.DeleteDay = Input.DeleteDay;
    Settings.AutoDelConfirm = Input.AutoDelConfirm;
    Settings.ListMaxCount = Input.ListMaxCount;
    Settings.SelectItem1 = MbcsLeft(Input.SelectItems[0].trimmed(), 10);
    Settings.SelectItem2 = MbcsLeft(Input.SelectItems[1].trimmed(), 10);
    Settings.SelectItem3 = MbcsLeft(Input.SelectItems[2].trimmed(), 10);
    Settings.TopView = Input.TopView;
    Settings.MenuVisible = Input.MenuVisible;
    Settings.CloseMsg = Input.CloseMsg;
    Settings.AutoBU = Input.AutoBU;
    Settings.AutoBUCount = Input.AutoBUCount;
    Settings.UpdateCheck = Input.UpdateCheck;
    Settings.UseFbAdrs = Input.UseFbAdrs;
    Settings.FbSeries = Input.FbSeries;
    Settings.FbAdrsBook = Input.FbAdrsBook;
    Settings.FbAdrsBookName = Input.FbAdrsBooks.value(Input.FbAdrsBook).Folder;
    Settings.RunFbDlg = Input.RunFbDlg;
    Settings.FbBackup = Input.FbBackup;
    Settings.FbBackupDlg = Input.FbBackupDlg;
    Settings.Memo1 = Input.Memo1;
    Settings.Memo2 = Input.Memo2;
    Settings.Memo3 = Input.Memo3;
    Settings.Rank = Input.Rank;
    Settings.Line1 = Input.Line1;
    Settings.Line2 = Input.Line2;
}

void TEnvApply::Apply()
{
    TEnvHooks& Hooks = EnvHooks();
    if (Flags.RestartNeeded)
        (void)Message(-1, EnvText::RestartNotice, MB_OK | MB_ICONINFORMATION);

    CopyToSettings();
    if (Settings.UseFbAdrs)
        RunStepHook(Hooks.PrepareFbDataModule, "PrepareFbDataModule", Flags.EditionChanged);
    // A file that cannot be written is told to the user; the new values stay in effect for this run and
    // go along with the next save.
    (void)SaveSettings();

    if (!SettingsIncomplete) {
        if (Settings.ListMaxCount != Opened.ListMaxCount)
            RunStepHook(Hooks.ReloadHistoryList, "ReloadHistoryList");
        const QString Names[3] = {Settings.SelectItem1, Settings.SelectItem2, Settings.SelectItem3};
        for (int I = 0; I < 3; ++I)
            if (Names[I] != Opened.SelectItems[I])
                RunStepHook(Hooks.SetHistoryHeader, "SetHistoryHeader", 8 + I, Names[I]);
    }

    if (Flags.RestartNeeded) {
        if (RestartLine()) {
            OfferFbBackup();
            (void)Message(-1, EnvText::RestartDone, MB_OK | MB_ICONINFORMATION);
        } else {
            (void)Message(-1, EnvText::RestartFailed, MB_OK | MB_ICONSTOP);
        }
    } else {
        if (Flags.LineKindChanged) {
            // Only at start-up: the start-up opens the line after the dialog.
            TWindowHandle* Owner = LineOwner();
            VxCommDLL = nullptr;
            SerialCommDLL.reset();
            IPCommDLL.reset();
            MadeOtherWrapper = false;
            std::unique_ptr<TVxCommDLL>& Wrapper = WrapperOf(Settings.IPPBX);
            Wrapper = CreateWrapper(Owner, Settings.IPPBX);
            if (Wrapper) {
                VxCommDLL = Wrapper.get();
                VxCommDLL->SetOption(Settings.AdapterExtend ? 1 : 0);
                (void)VxCommDLL->LoadKinds();
            }
        }
        OfferFbBackup();
    }

    RunStepHook(Hooks.ApplyMainWindowView, "ApplyMainWindowView");
}

bool TEnvApply::RestartLine()
{
    TWindowHandle* Owner = LineOwner();
    if (VxCommDLL)
        VxCommDLL->Close();
    VxCommDLL = nullptr;
    SerialCommDLL.reset();
    IPCommDLL.reset();
    MadeOtherWrapper = false;
    Wait(500);

    TEnvHooks& Hooks = EnvHooks();
    // A new folder the tables were not moved to would have the calls written where the settings
    // no longer look.
    if (Flags.DataFolderChanged) {
        try {
            RunStepHook(Hooks.ChangeDataFolder, "ChangeDataFolder", Settings.DataPath);
            RunStepHook(Hooks.ReloadHistoryList, "ReloadHistoryList");
        } catch (const Exception& Error) {
            // A damaged pick list in the new folder: the program stays on the folder it had, and so
            // do the settings, or the next start would meet the same list.
            (void)Message(-1, Error.Message(), MB_OK | MB_ICONSTOP);
            Settings.DataPath = IncludeTrailingDelimiter(Opened.DataPath);
            // Not the user's choice but its undoing: a file that could not take the choice was told already.
            (void)SaveSettings(TSettingsSave::Kept);
        }
    }

    std::unique_ptr<TVxCommDLL>& Wrapper = WrapperOf(Settings.IPPBX);
    Wrapper = CreateWrapper(Owner, Settings.IPPBX);
    // The library that cannot be loaded has said so; without it the line stays closed until a restart.
    if (!Wrapper)
        return false;
    VxCommDLL = Wrapper.get();
    VxCommDLL->SetOption(Settings.AdapterExtend ? 1 : 0);
    (void)VxCommDLL->LoadKinds();
    (void)VxCommDLL->SelectKind(Settings.Adapter);
    VxCommDLL->SetKind(Settings.Adapter);

    const std::int32_t Version = VxCommDLL->GetVersion();
    Settings.DLL = QString::number(Version);
    (void)SaveDeviceVersion();

    VxCommDLL->SetPort(std::max(0, ComPortNumber(Settings.Port)));
    if (Settings.NewFunc && Version >= VxCommExtendedOpenVersion)
        VxCommDLL->OpenEx(0, Settings.CTISet ? 1 : 0);
    else
        VxCommDLL->Open();

    switch (VxCommDLL->OpenResult()) {
    case VxCommLineOpen:
        return true;
    case VxCommPortBusy:
        (void)Message(-1, EnvText::PortBusy, MB_OK | MB_ICONWARNING);
        return false;
    case VxCommUsbDriverMissing:
        (void)Message(-1, EnvText::UsbDriverMissing(AdapterKindName(VxCommDLL->SelectedKind())),
                      MB_OK | MB_ICONWARNING);
        return false;
    default:
        (void)Message(-1, EnvText::PortBusy, MB_OK | MB_ICONSTOP);
        return false;
    }
}

void TEnvApply::OfferFbBackup()
{
    if (!Flags.BackupOffer)
        return;
    if (Message(-1, EnvText::AskFbBackup, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    if (EnvHooks().BackupFbAdrsBook && !EnvHooks().BackupFbAdrsBook())
        (void)Message(-1, EnvText::FbBackupFailed, MB_OK | MB_ICONINFORMATION);
}

TLineWrappers PrepareLineWrappers(bool IPPBXInUse, QString& OtherKindProblem)
{
    TWindowHandle* Owner = LineOwner();
    MadeOtherWrapper = false;
    OtherKindProblem.clear();
    for (const bool IP : {IPPBXInUse, !IPPBXInUse}) {
        std::unique_ptr<TVxCommDLL>& Wrapper = WrapperOf(IP);
        if (Wrapper) {
            if (IP != IPPBXInUse && Wrapper->Kinds().isEmpty())
                OtherKindProblem = NoAdapterKindsListed;
            continue;
        }
        const bool InUse = IP == IPPBXInUse;
        // The other kind's library only offers a choice; what is wrong with it is shown in the dialog.
        Wrapper = CreateWrapper(Owner, IP, InUse ? nullptr : &OtherKindProblem);
        if (!Wrapper) {
            if (!InUse)
                continue;
            SettingsIncomplete = true;
            return TLineWrappers::CannotCreate;
        }
        Wrapper->SetOption(Settings.AdapterExtend ? 1 : 0);
        const bool Listed = Wrapper->LoadKinds();
        if (InUse) {
            if (!VxCommDLL)
                VxCommDLL = Wrapper.get();
        } else {
            MadeOtherWrapper = true;
            if (!Listed)
                OtherKindProblem = NoAdapterKindsListed;
        }
    }
    return TLineWrappers::Ready;
}

void FreeOtherLineWrapper(bool OpenedAsIPPBX)
{
    if (!MadeOtherWrapper)
        return;
    MadeOtherWrapper = false;
    std::unique_ptr<TVxCommDLL>& Other = WrapperOf(!OpenedAsIPPBX);
    if (Other && VxCommDLL == Other.get())
        return; // it became the wrapper in use
    Other.reset();
}
