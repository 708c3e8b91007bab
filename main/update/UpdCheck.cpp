#include "main/update/UpdCheck.h"

#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/update/UpdDlg.h"

#include <QApplication>
#include <QWidget>
#include <utility>

namespace {

const QString DownloadFailedText = QStringLiteral(
    "アップデートファイルがダウンロードできませんでした  \r\n接続先が混み合っている可能性があります  \r\n\r\n"
    "しばらくしてからお試しいただくか  \r\nPelmarcoのWebサイトから直接ダウンロードしてください  ");
const QString UpdaterFailedText = QStringLiteral(
    "アップデートプログラムが起動できませんでした  \r\n\r\n再度アップデートの確認をお試しいただくか  \r\n"
    "PelmarcoのWebサイトから直接ダウンロードしてください  ");
const QString UpdateCancelledText = QStringLiteral("アップデートを中止しました  ");
const QString NotVerifiedText =
    QStringLiteral("ダウンロードしたアップデートファイルが正規のものであることを確認できませんでした  \r\n"
                   "ファイルを削除し、アップデートを中止しました  \r\n\r\n"
                   "PelmarcoのWebサイトから直接ダウンロードしてください  ");
const QString InsecureText = QStringLiteral("アップデートの接続先のサーバーを確認できませんでした  \r\n"
                                            "アップデートを中止しました  \r\n\r\n"
                                            "PelmarcoのWebサイトから直接ダウンロードしてください  ");

// Whole mebibytes, rounded up, as the boxes give sizes.
qint64 Megabytes(qint64 Bytes)
{
    constexpr qint64 Mebibyte = 1024 * 1024;
    return (Bytes + Mebibyte - 1) / Mebibyte;
}

// The box that tells why the download was given up.
std::pair<QString, unsigned> DownloadFailureBox(const TUpdateDialog& Update)
{
    switch (Update.DownloadFailure) {
    case TUpdateDialog::TDownloadFailure::NotVerified:
        return {NotVerifiedText, MB_ICONSTOP};
    case TUpdateDialog::TDownloadFailure::Insecure:
        return {InsecureText, MB_ICONSTOP};
    case TUpdateDialog::TDownloadFailure::TooLarge:
        return {QStringLiteral("アップデートファイルの合計サイズ（%1 MB）が上限の %2 MB を超えているため  \r\n"
                               "アップデートを中止しました  ")
                    .arg(Megabytes(Update.AnnouncedBytes()))
                    .arg(Megabytes(MaxUpdateTotalBytes)),
                MB_ICONWARNING};
    case TUpdateDialog::TDownloadFailure::NoRoom:
        return {QStringLiteral("ディスクの空き容量が足りないため、アップデートを中止しました  \r\n\r\n"
                               "必要な空き容量：%1 MB  \r\n現在の空き容量：%2 MB  ")
                    .arg(Megabytes(Update.AnnouncedBytes()))
                    .arg(Update.FreeBytes / (1024 * 1024)),
                MB_ICONWARNING};
    case TUpdateDialog::TDownloadFailure::None:
    case TUpdateDialog::TDownloadFailure::Transfer:
        break;
    }
    return {DownloadFailedText, MB_ICONWARNING};
}

// The files the prompt lists before it gives up naming each.
constexpr int ListedFiles = 10;

class THourglass
{
public:
    THourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~THourglass() { QApplication::restoreOverrideCursor(); }
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;
};

// A box over Window: centred over it (mode 0) or where the system puts it (mode 2).
int Box(QWidget* Window, int Mode, const QString& Text, unsigned Flags)
{
    return MessageBoxPos(Window, Text, ProductName, Flags, Mode);
}

// Downloads and starts the updater; Over is disabled meanwhile, and the boxes use Mode. Answers true
// when the program must end.
bool DownloadAndRun(TUpdateDialog& Update, QWidget* Over, int Mode)
{
    bool Downloaded = false;
    {
        THourglass Hourglass;
        Downloaded = Update.DownloadUpdateFiles();
    }
    if (!Downloaded) {
        const auto [Text, Icon] = DownloadFailureBox(Update);
        Box(Over, Mode, Text, Icon);
        return false;
    }
    int Result = 1;
    if (Over)
        Over->setEnabled(false);
    {
        THourglass Hourglass;
        Result = Update.RunUpdater();
    }
    if (Result == 1)
        Box(Over, Mode, UpdaterFailedText, MB_ICONSTOP);
    else if (Result == 9)
        Box(Over, Mode, UpdateCancelledText, MB_ICONINFORMATION);
    if (Result == 0 && Update.RestartNeeded)
        return true;
    if (Over) {
        Over->setEnabled(true);
        Over->raise();
        Over->activateWindow();
    }
    return false;
}

} // namespace

bool RunStartupUpdateCheck(QWidget* MainWindow)
{
    return RunStartupUpdateCheck(MainWindow, UpdateParametersOf(Settings), ProgramPath, SettingsPath);
}

bool RunUpdateCheckByHand(QWidget* Dialog)
{
    return RunUpdateCheckByHand(Dialog, UpdateParametersOf(Settings), ProgramPath, SettingsPath);
}

QString UpdatePromptText(bool RestartNeeded, const QList<TUpdateFileInfo>& Files, const QString& Host)
{
    const QString Head = QStringLiteral(
        "最新のアップデートが見つかりました  \r\nこのアップデートを適用してもよろしいですか？  \r\n\r\n");
    // The user agrees to something named: each file with the version or the time it comes in, and
    // the server it comes from.
    QString What = QStringLiteral("更新されるファイル：  \r\n");
    int Listed = 0;
    int Others = 0;
    for (const TUpdateFileInfo& File : Files) {
        if (!File.NeedsUpdate)
            continue;
        if (Listed == ListedFiles) {
            ++Others;
            continue;
        }
        ++Listed;
        What += QStringLiteral("　") + File.Path + File.Name + QStringLiteral("　") +
                (File.Version.isEmpty() ? File.DateTime.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))
                                        : QStringLiteral("バージョン ") + File.Version) +
                QStringLiteral("  \r\n");
    }
    if (Others > 0)
        What += QStringLiteral("　ほか %1 ファイル  \r\n").arg(Others);
    What += QStringLiteral("配布元：") + Host + QStringLiteral("  \r\n\r\n");
    const QString Restart = QStringLiteral("※自動的にアプリケーションが再起動されます  \r\n\r\n"
                                           "※ユーティリティや起動時パスワード設定ツールは \r\n"
                                           "　あらかじめ終了しておいてください \r\n\r\n");
    const QString Uac = QStringLiteral("※Windows 8 / 7 / Vista の場合、アップデートの途中で  \r\n"
                                       "　ユーザーアカウント制御（UAC）のダイアログが表示される  \r\n"
                                       "　ことがあります  ");
    return Head + What + (RestartNeeded ? Restart : QString()) + Uac;
}

namespace {

// The question before an update; "いいえ" is the default, so that no update comes in on a key pressed
// without reading.
bool UserAgrees(QWidget* Window, int Mode, const TUpdateDialog& Update)
{
    return Box(Window, Mode, UpdatePromptText(Update.RestartNeeded, Update.UpdateFiles, Update.HostName()),
               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

} // namespace

bool RunStartupUpdateCheck(QWidget* MainWindow, const TUpdateParameters& Parameters, const QString& ProgramPath,
                           const QString& SettingsPath)
{
    // Until a site names its server, the check at start sends nothing anywhere.
    if (!NamesUpdateServer(Parameters))
        return false;
    TUpdateDialog Update(MainWindow, Parameters, ProgramPath, SettingsPath);
    bool Newer = false;
    {
        THourglass Hourglass;
        Newer = Update.CheckInternetAvailable() && Update.FetchUpdateInfo() && Update.HasNewerFiles();
    }
    if (!Newer)
        return false;
    if (!UserAgrees(MainWindow, 0, Update))
        return false;
    return DownloadAndRun(Update, MainWindow, 0);
}

bool RunUpdateCheckByHand(QWidget* Dialog, const TUpdateParameters& Parameters, const QString& ProgramPath,
                          const QString& SettingsPath)
{
    TUpdateDialog Update(Dialog, Parameters, ProgramPath, SettingsPath);
    bool Fetched = false;
    bool Newer = false;
    {
        THourglass Hourglass;
        if (!Update.CheckInternetAvailable()) {
            Box(Dialog, 0, Update.ErrorText, MB_ICONWARNING);
            return false;
        }
        Fetched = Update.FetchUpdateInfo();
        Newer = Fetched && Update.HasNewerFiles();
    }
    // A refused answer is a check that could not be made, not a program that is up to date.
    if (!Fetched || Update.ErrorCode == 1000) {
        QString Text = QStringLiteral("アップデートの確認がおこなえません  \r\n\r\n") + Update.ErrorText +
                       QStringLiteral("(%1)  ").arg(Update.ErrorCode);
        if (!Fetched)
            Text +=
                QStringLiteral("\r\n\r\n次の内容を確認をしてみてください  \r\n・インターネットに接続できる状態か  \r\n"
                               "・セキュリティソフトなどで接続の制限をかけていないか  ");
        Box(Dialog, 0, Text, MB_ICONINFORMATION);
        return false;
    }
    if (!Newer) {
        Box(Dialog, 0, QStringLiteral("最新のプログラムを使用しています  "), MB_ICONINFORMATION);
        return false;
    }
    if (!UserAgrees(Dialog, 2, Update))
        return false;
    return DownloadAndRun(Update, Dialog, 2);
}
