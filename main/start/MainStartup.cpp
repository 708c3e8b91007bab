#include "main/start/MainStartup.h"

namespace {

const QString NoAdapterKindsMessage =
    QStringLiteral("アダプター情報が取得できませんでした  \r\nプログラムを終了します  ");
const QString UsbSerialStartText = QStringLiteral("USB-シリアル変換ケーブル使用時の処理を開始します  ");
const QString UsbSerialDoneText = QStringLiteral("USB-シリアル変換ケーブル使用時の処理を完了しました  ");
const QString UsbSerialBusyText = QStringLiteral("USB-シリアル変換ケーブル使用時の処理中．．．  ");
const QString PortFatalMessage =
    QStringLiteral("通信ポートがオープンできません  \r\nコンピューターを再起動後、お試しください  ");

// The adapter kind code that means no adapter: the line is then never opened.
constexpr int NoAdapter = 0;
constexpr int OpenOk = 0;
constexpr int OpenPortBusy = 1;
constexpr int OpenUsbDriverMissing = 31;
constexpr int ModalOk = 1;
// The extended open exists from this library version on.
constexpr qint64 ExtendedOpenVersion = 0x02000007;

} // namespace

const QString SessionEndQuestion = QStringLiteral("「Tolvane１６」が起動しています  \r\n終了してもよろしいですか？  ");
const QString CloseProgramQuestion = QStringLiteral("「Tolvane１６」を終了しますか？  ");
const QString RingFileMessage =
    QStringLiteral("指定した着信音ファイルが読み込めませんでした  \r\n着信音は鳴りません  ");

int PortNumberFromText(const QString& Port)
{
    if (!Port.startsWith(QLatin1String("COM")) || Port.size() < 4)
        return 0;
    const QChar Digit = Port.at(3);
    return Digit >= QLatin1Char('0') && Digit <= QLatin1Char('9') ? Digit.unicode() - '0' : 0;
}

QString SettingsIncompleteMessage(bool DllReplaced, bool BookChanged, bool SettingsFileExists)
{
    if (DllReplaced)
        return QStringLiteral("VxComm3.dllが差し替えられました  \r\n環境設定に入ります  ");
    if (BookChanged)
        return QStringLiteral("登録名簿として指定中のFernbookに変更または不備がありました  \r\n環境設定に入ります  ");
    if (SettingsFileExists)
        return QStringLiteral("環境情報に変更がありました  \r\n環境設定に入ります  ");
    return QStringLiteral("動作環境を設定するため環境設定に入ります　");
}

QString PortBusyMessage(const QString& Port)
{
    return QStringLiteral("通信ポートがオープンできません  \r\n") + Port +
           QStringLiteral("が別のアプリケーションで使用されている可能性があります  ") + QStringLiteral("\r\n") +
           QStringLiteral("再設定のため環境設定に入ります  ");
}

QString UsbDriverMessage(const QString& AdapterName)
{
    return QStringLiteral("「") + AdapterName.trimmed() + QStringLiteral("」用のUSBドライバーが  ") +
           QStringLiteral("\r\n") + QStringLiteral("正しくセットアップされていないようです  ") +
           QStringLiteral("\r\n\r\n") + QStringLiteral("環境設定に入りますが、この機種をお使いになられる場合は  ") +
           QStringLiteral("\r\n") + QStringLiteral("ドライバーをセットアップ後、お試しください  ");
}

TCloseQuestion CloseQuestion(bool EndSession, bool WindowsEnd, bool ClosingForUpdate, bool CloseMsg)
{
    if (EndSession)
        return WindowsEnd ? TCloseQuestion::SessionEnd : TCloseQuestion::None;
    if (ClosingForUpdate)
        return TCloseQuestion::None;
    return CloseMsg ? TCloseQuestion::Close : TCloseQuestion::None;
}

bool TMainStartup::RunCreation()
{
    // Every way out that ends the program leaves the settings marked incomplete, so that the
    // call-history list, created right after, opens no table.
    const auto Terminate = [this] {
        Host.SetSettingsIncomplete(true);
        return false;
    };

    // Each step that may run a modal loop (a dialog, a message box, the splash's wait) is followed by
    // a look at the end of the session: what came back then was nobody's answer.
    Host.CreateManual();
    Host.WaitForSplash();
    if (ProgramEnding)
        return Terminate();
    const bool IP = Host.ReadIPPBX();
    if (!Host.CreateDeviceWrapper(IP) || ProgramEnding)
        return Terminate();
    Host.ReadSettings();
    if (ProgramEnding || !Host.AskStartupPassword() || ProgramEnding)
        return Terminate();
    if (Host.Settings().ShowInfo) {
        Host.ShowInfoDialog();
        if (ProgramEnding)
            return Terminate();
    }
    if (!Host.LoadKinds(Host.Settings().AdapterExtend)) {
        Host.ShowMessage(NoAdapterKindsMessage, TMsgKind::Stop);
        return Terminate();
    }
    {
        const TStartupSettings S = Host.Settings();
        if (!S.SettingsIncomplete && !S.DllReplaced && !Host.SelectKind(S.Adapter))
            Host.SetSettingsIncomplete(true);
    }
    bool BookChanged = false;
    if (Host.Settings().UseFbAdrs && Host.CheckFbAdrsBook()) {
        BookChanged = true;
        Host.SetSettingsIncomplete(true);
    }
    if (ProgramEnding)
        return Terminate();
    if (const TStartupSettings S = Host.Settings(); S.SettingsIncomplete) {
        // Without the settings dialog in the program there is nothing to enter: the start goes on
        // with the values the reader fell back to.
        const QString Text = SettingsIncompleteMessage(S.DllReplaced, BookChanged, S.SettingsFileExists);
        if (const std::optional<int> Result = Host.ShowEnvironment(Text)) {
            // Only "設定(&S)" goes on: Cancel, and a dialog ended from outside, end the program.
            if (*Result != ModalOk || ProgramEnding)
                return Terminate();
            Host.SelectKind(Host.Settings().Adapter);
        }
    }
    if (const TStartupSettings S = Host.Settings(); S.RingSound && !Host.LoadRingStream(S.WaveFile))
        Host.ShowMessage(RingFileMessage, TMsgKind::Information);
    if (ProgramEnding || !OpenLineWithRetry() || ProgramEnding)
        return Terminate();
    Host.SetSettingsIncomplete(false);
    Host.CreateDataModule();
    Host.EnableGetHistory(Host.SelectedKindHistoryCount() != 0);
    Host.LoadLibraries();
    Host.ShowTrayIcon();
    UIIdle = true;
    Host.ArrangeMenuWindow();
    Host.PostAfterStartup();
    return true;
}

bool TMainStartup::OpenLineWithRetry()
{
    while (!Host.LineOpen() && Host.Settings().Adapter != NoAdapter) {
        const TStartupSettings S = Host.Settings();
        Host.SetLinePort(S.Adapter, PortNumberFromText(S.Port));
        if (S.UsbSerial == 1)
            Host.ShowMessage(UsbSerialStartText, TMsgKind::None);
        else if (S.UsbSerial == 2)
            Host.ShowMessage(UsbSerialStartText, TMsgKind::Plain);

        const bool Extended = S.NewFunc && Host.SerialLibraryInUse() && S.DllVersion >= ExtendedOpenVersion;
        const int Result = Extended ? Host.OpenLineEx(0, S.CTISet) : Host.OpenLine();

        if (S.UsbSerial == 1)
            Host.ShowMessage(UsbSerialDoneText, TMsgKind::None);
        else if (S.UsbSerial == 2)
            Host.ShowMessage(UsbSerialDoneText, TMsgKind::Plain);
        else if (S.UsbSerial == 10)
            Host.ShowUsbSerialNote(UsbSerialBusyText);
        if (ProgramEnding)
            return false;

        if (Result == OpenOk)
            return true;
        if (Result != OpenPortBusy && Result != OpenUsbDriverMissing) {
            Host.ShowMessage(PortFatalMessage, TMsgKind::Stop);
            return false;
        }
        Host.SetSettingsIncomplete(true);
        const QString Text =
            Result == OpenPortBusy ? PortBusyMessage(S.Port) : UsbDriverMessage(Host.SelectedKindName());
        const std::optional<int> Answer =
            Host.ShowEnvironment(Text, Result == OpenPortBusy ? TMsgKind::Information : TMsgKind::Warning);
        // Without the settings dialog the port cannot be changed, and trying the same port again
        // would ask for ever: the program runs on without a line.
        if (!Answer)
            return true;
        if (*Answer != ModalOk || ProgramEnding)
            return false;
        // The next try names, and opens, the adapter the dialog left chosen.
        Host.SelectKind(Host.Settings().Adapter);
    }
    return true;
}

void TMainStartup::RunAfterStartup()
{
    if (!Host.Settings().Registered)
        AskRegistration();
    if (ProgramEnding)
        return;
    ClosingForUpdate = false;
    if (Host.Settings().UpdateCheck && Host.StartupUpdateCheck()) {
        ClosingForUpdate = true;
        Host.CloseForUpdate();
    }
    if (ProgramEnding)
        return;
    if (const TStartupSettings S = Host.Settings(); S.AutoBU && !S.DataPathDefaulted)
        Host.RunAutoBackup();
}

void TMainStartup::AskRegistration()
{
    const int Answer = Host.ShowRegistDialog();
    // A prompt ended from outside was answered by nobody: nothing is registered, nothing written, and
    // it comes again at the next start.
    if (Answer == NoRegistAnswer || ProgramEnding)
        return;
    bool Registered = false;
    switch (Answer) {
    case 0:
        Host.OpenRegistrationPage();
        Registered = true;
        break;
    case 2:
        Registered = true;
        break;
    default:
        break;
    }
    Host.WriteRegistered(Registered);
}

void TMainStartup::RunShutdown()
{
    // The line closes first and the calls it reported are written before anything they need
    // (dictionaries, the extension library, the tables) goes: a call taken is a call kept.
    Host.CloseLines();
    Host.WriteQueuedCalls();
    Host.WriteShutdownSettings();
    Host.UnloadExtDll();
    Host.FreeDictionaries();
    Host.FreeDataModule();
    Host.RemoveHelpHandler();
    Host.FreeManual();
    Host.FreeRingAndQueue();
    Host.FreeDeviceWrappers();
}
