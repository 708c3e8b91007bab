#include "main/update/UpdDlg.h"

#include "main/common/ProductInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QUrl>

namespace {

const QString AgentName = QStringLiteral("VxRelvo16");
const QString ConnectFailedText = QStringLiteral("接続できませんでした  ");

int ConnectionErrorCode(QNetworkReply::NetworkError Error)
{
    switch (Error) {
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return 1501;
    case QNetworkReply::HostNotFoundError:
        return 1502;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
        return 1503;
    default:
        return static_cast<int>(Error);
    }
}

// Errors of the connection itself; an HTTP answer with an error status still delivered a body.
bool IsConnectionError(QNetworkReply::NetworkError Error)
{
    return Error != QNetworkReply::NoError && Error < QNetworkReply::ContentAccessDenied;
}

} // namespace

TUpdateDialog::TUpdateDialog(QObject* Owner, const TUpdateParameters& Parameters, const QString& ProgramPath,
                             const QString& SettingsPath)
    : QObject(Owner), ExeName(QFileInfo(QCoreApplication::applicationFilePath()).fileName()), Parameters(Parameters),
      ProgramPath(ProgramPath), UpdateFolder(SettingsPath + QStringLiteral("update/"))
{
    FileVersionOf = [](const QString& Path) -> TFileVersion {
        if (QFileInfo(Path).canonicalFilePath() ==
            QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath())
            return {ProductVersionMajor, ProductVersionMinor, ProductVersionRelease, 0};
        return {0, 0, 0, 0};
    };
}

TUpdateDialog::~TUpdateDialog()
{
    CloseInternet();
}

bool TUpdateDialog::CheckInternetAvailable()
{
    // Only a network backend that positively knows the machine is offline stops the attempt.
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        if (const QNetworkInformation* Info = QNetworkInformation::instance();
            Info && Info->reachability() == QNetworkInformation::Reachability::Disconnected) {
            ErrorText = QStringLiteral("インターネットに接続できない環境です  ");
            return false;
        }
    }
    return true;
}

void TUpdateDialog::CloseInternet()
{
    Internet.reset();
    Connected = false;
}

TUpdateDialog::TResponse TUpdateDialog::Get(const QString& Object)
{
    if (!Internet) {
        // The system's proxy configuration, as the platform's internet library would use it.
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        Internet = std::make_unique<QNetworkAccessManager>();
    }
    QString Host = Parameters.Domain.trimmed();
    int Port = 80;
    if (const qsizetype Colon = Host.lastIndexOf(QLatin1Char(':')); Colon > 0) {
        bool Ok = false;
        const int Value = Host.mid(Colon + 1).toInt(&Ok);
        if (Ok && Value > 0 && Value < 65536) {
            Port = Value;
            Host.truncate(Colon);
        }
    }
    QUrl Url;
    Url.setScheme(QStringLiteral("http"));
    Url.setHost(Host);
    Url.setPort(Port);
    Url.setPath(Object);
    TResponse Response;
    if (!Url.isValid() || Host.isEmpty()) {
        Response.Error = 1502;
        return Response;
    }
    QNetworkRequest Request(Url);
    Request.setHeader(QNetworkRequest::UserAgentHeader, AgentName);
    Request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    Request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    Request.setTransferTimeout(TransferTimeoutMs);

    QNetworkReply* Reply = Internet->get(Request);
    QEventLoop Loop;
    connect(Reply, &QNetworkReply::finished, &Loop, &QEventLoop::quit);
    if (!Reply->isFinished())
        Loop.exec(QEventLoop::ExcludeUserInputEvents);
    Response.Status = Reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    Response.Body = Reply->readAll();
    if (IsConnectionError(Reply->error()))
        Response.Error = ConnectionErrorCode(Reply->error());
    Reply->deleteLater();
    return Response;
}

bool TUpdateDialog::FetchUpdateInfo()
{
    ErrorCode = 0;
    UpdateFiles.clear();
    DownloadPath.clear();
    const TResponse Response = Get((Parameters.Path + AgentName).toLower() + QLatin1Char('/'));
    if (Response.Error != 0) {
        ErrorCode = Response.Error;
        ErrorText = ConnectFailedText;
        return false;
    }
    Connected = true;
    if (Response.Body.isEmpty()) {
        ErrorCode = 1000;
        ErrorText = QStringLiteral("アップデート情報を確認できませんでした  ");
        return true;
    }
    const TUpdateAnswer Answer = CheckUpdateAnswer(Response.Body);
    if (Answer.Code != 0) {
        // The log of the refused answer needs its folder; a missing one is made, not taken for a lost
        // connection.
        QDir().mkpath(UpdateFolder);
        (void)WriteUpdateErrorFile(UpdateFolder, Answer.Code, Response.Body);
        ErrorCode = 1000;
        ErrorText = QStringLiteral("アップデート情報を確認できませんでした  ");
        return true;
    }
    DownloadPath = Answer.DownloadPath;
    UpdateFiles = Answer.Files;
    return true;
}

bool TUpdateDialog::HasNewerFiles()
{
    RestartNeeded = false;
    if (ErrorCode == 1000)
        return false;
    bool Any = false;
    for (TUpdateFileInfo& File : UpdateFiles) {
        const QString Local = ProgramPath + File.Path + File.Name;
        const QFileInfo Info(Local);
        const TFileVersion LocalVersion = Info.exists() ? FileVersionOf(Local) : TFileVersion{0, 0, 0, 0};
        File.NeedsUpdate = IsNewerFile(File, LocalVersion, Info.exists() ? Info.lastModified() : QDateTime());
        if (File.NeedsUpdate && File.Restart)
            RestartNeeded = true;
        Any = Any || File.NeedsUpdate;
    }
    return Any;
}

bool TUpdateDialog::Download(const QString& Object, const QString& Target, std::optional<qint32> ExpectedSize)
{
    // Nothing of an earlier run may pass for this download.
    QFile::remove(Target);
    const TResponse Response = Get(Object);
    // Only a whole file of the announced size is ever handed to the updater.
    if (Response.Error != 0 || Response.Status != 200 ||
        (ExpectedSize ? Response.Body.size() != *ExpectedSize : Response.Body.isEmpty()))
        return false;
    const QString Partial = Target + QStringLiteral(".part");
    QFile::remove(Partial);
    QFile File(Partial);
    if (!File.open(QIODevice::WriteOnly) || File.write(Response.Body) != Response.Body.size() || !File.flush()) {
        File.close();
        QFile::remove(Partial);
        return false;
    }
    File.close();
    QFile::remove(Target);
    if (!QFile::rename(Partial, Target)) {
        QFile::remove(Partial);
        return false;
    }
    return true;
}

bool TUpdateDialog::DownloadUpdateFiles()
{
    if (!QDir().mkpath(UpdateFolder))
        return false;
    for (TUpdateFileInfo& File : UpdateFiles) {
        if (!File.NeedsUpdate)
            continue;
        File.Downloaded =
            Download(DownloadPath + File.DLParam + QLatin1Char('/'), UpdateFolder + File.DLFile, File.Size);
        if (!File.Downloaded) {
            ErrorText = QStringLiteral("%1 のダウンロードに失敗しました  ").arg(File.DLFile);
            return false;
        }
    }
    const QString Updater = UpdateFolder + UpdaterFileName;
    if (!Download(Parameters.App, Updater, std::nullopt))
        return false;
    QFile::setPermissions(Updater, QFile::permissions(Updater) | QFile::ExeOwner | QFile::ReadOwner);
    return WriteUpdateInfoFile(UpdateFolder, ExeName, ProgramPath, RestartNeeded, UpdateFiles);
}

int TUpdateDialog::RunUpdater()
{
    const QString Updater = UpdateFolder + UpdaterFileName;
    const QStringList Arguments{QStringLiteral("-auto")};
    int Code = 0;
    if (!QFileInfo(Updater).isExecutable()) {
        Code = 2; // the file is missing, as the system reports it
    } else if (RestartNeeded) {
        if (!QProcess::startDetached(Updater, Arguments, UpdateFolder))
            Code = 1;
    } else {
        QProcess Process;
        Process.setWorkingDirectory(UpdateFolder);
        Process.start(Updater, Arguments);
        if (!Process.waitForStarted() || !Process.waitForFinished(-1))
            Code = 1;
    }
    if (Code == 0)
        return 0;
    (void)WriteRunAppLog(UpdateFolder, Code);
    return 1;
}
