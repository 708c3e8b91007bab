#include "main/update/UpdDlg.h"

#include "platform/sys/FileVersion.h"
#include "platform/sys/Folders.h"

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
#include <QSslConfiguration>
#include <QStorageInfo>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace {

const QString AgentName = QStringLiteral("VxRelvo16");
// Bodies are read in pieces of this size.
constexpr qint64 PieceSize = 1024;
// The answer gives no size for the updater; no updater is anywhere near this.
constexpr qint64 MaxUpdaterBytes = 64 * 1024 * 1024;
const QString ConnectFailedText = QStringLiteral("接続できませんでした  ");
const QString InsecureText = QStringLiteral("接続先のサーバーを確認できませんでした  ");
constexpr int HttpsPort = 443;

struct THostPort
{
    QString Host;
    int Port = HttpsPort;
};

// Domain is a host name, optionally followed by ":" and a port.
THostPort SplitDomain(const QString& Domain)
{
    THostPort Result{Domain.trimmed()};
    if (const qsizetype Colon = Result.Host.lastIndexOf(QLatin1Char(':')); Colon > 0) {
        bool Ok = false;
        const int Value = Result.Host.mid(Colon + 1).toInt(&Ok);
        if (Ok && Value > 0 && Value < 65536) {
            Result.Port = Value;
            Result.Host.truncate(Colon);
        }
    }
    return Result;
}

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

// A server that could not prove it is the update host, or that sent the program elsewhere.
bool IsInsecure(QNetworkReply::NetworkError Error)
{
    return Error == QNetworkReply::SslHandshakeFailedError || Error == QNetworkReply::InsecureRedirectError;
}

// The room on the disk that will hold Folder, asked of its nearest existing parent.
qint64 FreeSpaceOnDisk(const QString& Folder)
{
    QFileInfo Info(Folder);
    while (!Info.exists() && !Info.isRoot() && !Info.absolutePath().isEmpty() &&
           Info.absolutePath() != Info.absoluteFilePath())
        Info = QFileInfo(Info.absolutePath());
    const QStorageInfo Storage(Info.absoluteFilePath());
    return Storage.isValid() ? Storage.bytesAvailable() : 0;
}

} // namespace

TUpdateDialog::TUpdateDialog(QObject* Owner, const TUpdateParameters& Parameters, const QString& ProgramPath,
                             const QString& SettingsPath)
    : QObject(Owner), ExeName(QFileInfo(QCoreApplication::applicationFilePath()).fileName()), Parameters(Parameters),
      ProgramPath(ProgramPath), UpdateFolder(SettingsPath + QStringLiteral("update/"))
{
    FileVersionOf = [](const QString& Path) { return ReadFileVersion(Path); };
    FreeSpaceOf = FreeSpaceOnDisk;
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

QString TUpdateDialog::HostName() const
{
    const THostPort Where = SplitDomain(Parameters.Domain);
    return Where.Port == HttpsPort ? Where.Host : QStringLiteral("%1:%2").arg(Where.Host).arg(Where.Port);
}

qint64 TUpdateDialog::AnnouncedBytes() const
{
    qint64 Total = 0;
    for (const TUpdateFileInfo& File : UpdateFiles)
        if (File.NeedsUpdate)
            Total += File.Size;
    return Total;
}

TUpdateDialog::TResponse TUpdateDialog::Get(const QString& Object, qint64 Limit,
                                            const std::function<bool(const QByteArray&)>& Sink)
{
    if (!Internet) {
        // The system's proxy configuration, as the platform's internet library would use it.
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        Internet = std::make_unique<QNetworkAccessManager>();
    }
    const THostPort Where = SplitDomain(Parameters.Domain);
    QUrl Url;
    Url.setScheme(QStringLiteral("https"));
    Url.setHost(Where.Host);
    Url.setPort(Where.Port);
    Url.setPath(Object);
    TResponse Response;
    if (!Url.isValid() || Where.Host.isEmpty()) {
        Response.Error = 1502;
        return Response;
    }
    QNetworkRequest Request(Url);
    Request.setHeader(QNetworkRequest::UserAgentHeader, AgentName);
    Request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    Request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // The body is counted as it comes over the line: no compressed body may unfold behind the limit.
    Request.setRawHeader("Accept-Encoding", "identity");
    // One stream a connection: the read buffer below then bounds what the program holds.
    Request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    // The answer and the files decide what runs on this machine: only the update host may give them.
    // A redirect may move within that host and port, never to another host or to plain HTTP.
    Request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    QSslConfiguration Tls = QSslConfiguration::defaultConfiguration();
    Tls.setProtocol(QSsl::TlsV1_2OrLater);
    Tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!Trust.ExtraAuthorities.isEmpty())
        // Certificates set by hand take the place of the system's store; it is kept beside them.
        Tls.setCaCertificates(QSslConfiguration::systemCaCertificates() + Trust.ExtraAuthorities);
    Request.setSslConfiguration(Tls);

    QNetworkReply* Reply = Internet->get(Request);
    // The reply holds no more than a few pieces; the rest waits in the connection until read.
    Reply->setReadBufferSize(16 * PieceSize);
    QEventLoop Loop;
    QTimer Deadline;
    Deadline.setSingleShot(true);
    bool TimedOut = false;
    qint64 Received = 0;
    const auto GiveUp = [Reply](bool& Flag) {
        Flag = true;
        Reply->abort();
    };
    const auto ReadPieces = [&] {
        while (!Response.TooLong && !Response.SinkFailed && Reply->bytesAvailable() > 0) {
            const QByteArray Piece = Reply->read(std::min<qint64>(PieceSize, Limit + 1 - Received));
            if (Piece.isEmpty())
                break;
            Received += Piece.size();
            if (!Sink(Piece))
                GiveUp(Response.SinkFailed);
            else if (Received > Limit)
                GiveUp(Response.TooLong);
        }
    };
    connect(Reply, &QNetworkReply::metaDataChanged, &Loop, [&] {
        // A body announced longer than the limit is not fetched at all.
        bool Known = false;
        const qint64 Length = Reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&Known);
        if (Known && Length > Limit)
            GiveUp(Response.TooLong);
    });
    connect(Reply, &QNetworkReply::readyRead, &Loop, ReadPieces);
    connect(Reply, &QNetworkReply::finished, &Loop, &QEventLoop::quit);
    connect(&Deadline, &QTimer::timeout, &Loop, [&] { GiveUp(TimedOut); });
    Deadline.start(std::max(DeadlineMs, 0));
    if (!Reply->isFinished())
        Loop.exec(QEventLoop::ExcludeUserInputEvents);
    Deadline.stop();
    ReadPieces();
    Response.Status = Reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QUrl Answered = Reply->url();
    if (TimedOut) {
        Response.Error = 1501;
    } else if (!Response.TooLong && !Response.SinkFailed && IsConnectionError(Reply->error())) {
        Response.Error = ConnectionErrorCode(Reply->error());
        Response.Insecure = IsInsecure(Reply->error());
    } else if (Answered.scheme() != QLatin1String("https") ||
               Answered.host().compare(Where.Host, Qt::CaseInsensitive) != 0 ||
               Answered.port(HttpsPort) != Where.Port) {
        // Whatever the redirect policy let through, a body from elsewhere is not the update host's.
        Response.Error = QNetworkReply::InsecureRedirectError;
        Response.Insecure = true;
    }
    Reply->deleteLater();
    return Response;
}

bool TUpdateDialog::FetchUpdateInfo()
{
    ErrorCode = 0;
    UpdateFiles.clear();
    DownloadPath.clear();
    // The placeholder names no server: no request goes out for it, not even a name look-up.
    if (!NamesUpdateServer(Parameters)) {
        ErrorCode = 1502;
        ErrorText = ConnectFailedText;
        return false;
    }
    QByteArray Body;
    // An answer longer than the limit arrives cut one byte beyond it, and the check refuses it.
    const TResponse Response = Get((Parameters.Path + AgentName).toLower() + QLatin1Char('/'), MaxUpdateAnswerBytes,
                                   [&Body](const QByteArray& Piece) {
                                       Body += Piece;
                                       return true;
                                   });
    if (Response.Error != 0) {
        ErrorCode = Response.Error;
        ErrorText = Response.Insecure ? InsecureText : ConnectFailedText;
        return false;
    }
    Connected = true;
    if (Body.isEmpty() && !Response.TooLong) {
        ErrorCode = 1000;
        ErrorText = QStringLiteral("アップデート情報を確認できませんでした  ");
        return true;
    }
    const TUpdateAnswer Answer = Response.TooLong ? TUpdateAnswer{UpdParseError, {}, {}} : CheckUpdateAnswer(Body);
    if (Answer.Code != 0) {
        // The log of the refused answer needs its folder; a missing one is made, not taken for a lost
        // connection.
        (void)CreateOwnerOnlyFolder(UpdateFolder);
        (void)WriteUpdateErrorFile(UpdateFolder, Answer.Code, Body);
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
        const std::optional<TFileVersion> LocalVersion = Info.exists() ? FileVersionOf(Local) : std::nullopt;
        File.NeedsUpdate = IsNewerFile(File, LocalVersion, Info.exists() ? Info.lastModified() : QDateTime());
        if (File.NeedsUpdate && File.Restart)
            RestartNeeded = true;
        Any = Any || File.NeedsUpdate;
    }
    return Any;
}

bool TUpdateDialog::Fail(TDownloadFailure Failure)
{
    DownloadFailure = Failure;
    // A failed update leaves nothing behind that an updater of a later run could take for its own.
    for (const QString& File : std::as_const(Kept))
        QFile::remove(File);
    Kept.clear();
    for (TUpdateFileInfo& File : UpdateFiles)
        File.Downloaded = false;
    UpdaterSignature.clear();
    return false;
}

QByteArray TUpdateDialog::Download(const QString& Object, const QString& Target, qint64 Size, bool ExactSize)
{
    // Nothing of an earlier run may pass for this download.
    QFile::remove(Target);
    const QString Partial = Target + QStringLiteral(".part");
    QFile::remove(Partial);

    // The signature first: a file the maker did not sign is not fetched at all.
    QByteArray Signature;
    const TResponse Signed = Get(SignatureObject(Object), UpdateSignatureBytes, [&Signature](const QByteArray& Piece) {
        Signature += Piece;
        return true;
    });
    if (Signed.Error != 0) {
        (void)Fail(Signed.Insecure ? TDownloadFailure::Insecure : TDownloadFailure::Transfer);
        return {};
    }
    if (Signed.TooLong || Signed.Status != 200 || Signature.size() != UpdateSignatureBytes) {
        (void)Fail(TDownloadFailure::NotVerified);
        return {};
    }

    QFile File(Partial);
    if (!File.open(QIODevice::WriteOnly, QFile::ReadOwner | QFile::WriteOwner)) {
        (void)Fail(TDownloadFailure::Transfer);
        return {};
    }
    qint64 Written = 0;
    const TResponse Response = Get(Object, Size, [&](const QByteArray& Piece) {
        if (File.write(Piece) != Piece.size())
            return false;
        Written += Piece.size();
        return true;
    });
    const bool Flushed = File.flush();
    File.close();
    // Only a whole file of the announced size is ever looked at further.
    const bool Whole = Response.Error == 0 && !Response.TooLong && !Response.SinkFailed && Response.Status == 200 &&
                       Flushed && (ExactSize ? Written == Size : Written > 0);
    if (!Whole) {
        QFile::remove(Partial);
        (void)Fail(Response.Insecure ? TDownloadFailure::Insecure : TDownloadFailure::Transfer);
        return {};
    }
    // Checked where it was written, before it takes its name, a mode or a place of its own.
    if (!VerifyUpdateFile(Partial, Trust.PublicKey, Signature)) {
        QFile::remove(Partial);
        (void)Fail(TDownloadFailure::NotVerified);
        return {};
    }
    if (!QFile::rename(Partial, Target)) {
        QFile::remove(Partial);
        (void)Fail(TDownloadFailure::Transfer);
        return {};
    }
    Kept << Target;
    return Signature;
}

bool TUpdateDialog::DownloadUpdateFiles()
{
    DownloadFailure = TDownloadFailure::None;
    Kept.clear();
    UpdaterSignature.clear();
    // All of this is decided before anything is written. Without the maker's key nothing could be
    // verified, so nothing is fetched.
    const qint64 Announced = AnnouncedBytes();
    if (Announced > MaxUpdateTotalBytes)
        return Fail(TDownloadFailure::TooLarge);
    if (Trust.PublicKey.size() != UpdatePublicKeyBytes)
        return Fail(TDownloadFailure::NotVerified);
    FreeBytes = FreeSpaceOf(UpdateFolder);
    if (FreeBytes < Announced)
        return Fail(TDownloadFailure::NoRoom);
    if (!CreateOwnerOnlyFolder(UpdateFolder))
        return Fail(TDownloadFailure::Transfer);
    // What waits here for the updater is the user's alone.
    QFile::setPermissions(UpdateFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (TUpdateFileInfo& File : UpdateFiles) {
        if (!File.NeedsUpdate)
            continue;
        File.Downloaded =
            !Download(DownloadPath + File.DLParam + QLatin1Char('/'), UpdateFolder + File.DLFile, File.Size, true)
                 .isEmpty();
        if (!File.Downloaded) {
            ErrorText = QStringLiteral("%1 のダウンロードに失敗しました  ").arg(File.DLFile);
            return false;
        }
    }
    // The updater announces no size: it gets what the whole update leaves, and never more than its own limit.
    const qint64 UpdaterLimit = std::min(MaxUpdaterBytes, MaxUpdateTotalBytes - Announced);
    if (UpdaterLimit <= 0)
        return Fail(TDownloadFailure::TooLarge);
    const QString Updater = UpdateFolder + UpdaterFileName;
    const QByteArray Signature = Download(Parameters.App, Updater, UpdaterLimit, false);
    if (Signature.isEmpty())
        return false;
    UpdaterSignature = Signature;
    QFile::setPermissions(Updater, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!WriteUpdateInfoFile(UpdateFolder, ExeName, ProgramPath, RestartNeeded, UpdateFiles))
        return Fail(TDownloadFailure::Transfer);
    return true;
}

int TUpdateDialog::RunUpdater()
{
    const QString Updater = UpdateFolder + UpdaterFileName;
    const QStringList Arguments{QStringLiteral("-auto")};
    int Code = 0;
    if (!QFileInfo(Updater).isExecutable()) {
        Code = 2; // the file is missing, as the system reports it
    } else if (!VerifyUpdateFile(Updater, Trust.PublicKey, UpdaterSignature)) {
        // Only the very file this check fetched and verified is started, never one left from elsewhere.
        Code = 1;
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
