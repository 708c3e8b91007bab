#include "platform/sys/SingleInstance.h"

#include "platform/sys/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray ActivateRequest = QByteArrayLiteral("ACTIVATE\n");

// A folder we may keep our claims in: a real folder (not a link), ours, and closed to everybody else.
// A runtime variable left over from another user, or a folder another user made first, would let
// that user hold our lock, or make every lock fail so that each start took itself for a second copy.
bool IsPrivateFolder(const QString& Folder)
{
    struct stat Info
    {
    };
    return !Folder.isEmpty() && QDir::isAbsolutePath(Folder) &&
           lstat(QFile::encodeName(Folder).constData(), &Info) == 0 && S_ISDIR(Info.st_mode) &&
           Info.st_uid == getuid() && (Info.st_mode & 077) == 0 &&
           access(QFile::encodeName(Folder).constData(), W_OK | X_OK) == 0;
}

// Without a usable runtime folder, a folder of our own under the user's data folder: never a
// predictable name in /tmp, which any user of the machine could make first.
QString OwnLockFolder()
{
    const QString Folder = GetUserAppDataFolder() + QStringLiteral("Pelmar/locks");
    if (!CreateOwnerOnlyFolder(Folder))
        return QString();
    // Made by an earlier build with the umask's mode: ours, so it may be closed now.
    struct stat Info
    {
    };
    const QByteArray Name = QFile::encodeName(Folder);
    if (lstat(Name.constData(), &Info) == 0 && S_ISDIR(Info.st_mode) && Info.st_uid == getuid() &&
        (Info.st_mode & 077) != 0)
        (void)chmod(Name.constData(), 0700);
    return IsPrivateFolder(Folder) ? Folder : QString();
}

QString BasePath(const QString& Name)
{
    const QString Runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (IsPrivateFolder(Runtime))
        return QDir(Runtime).filePath(Name);
    const QString Own = OwnLockFolder();
    // No folder at all: a path that cannot be opened, so the start reports a failure instead of
    // claiming somewhere unsafe.
    return Own.isEmpty() ? QString() : QDir(Own).filePath(Name);
}

// O_CLOEXEC: a program we start must not inherit the claim and keep it after we end.
int OpenLockFile(const QString& Name)
{
    const QString Path = TSingleInstance::LockFilePath(Name);
    if (Path.isEmpty()) {
        errno = ENOENT;
        return -1;
    }
    return open(QFile::encodeName(Path).constData(),
                O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

// The claim is a write lock of the open file itself over the whole file, beside the flock. Unlike the
// flock it can be tested without being taken: a look that took the lock for a moment made a copy
// starting in that moment believe another one ran, and end.
struct flock WholeFileWriteLock()
{
    struct flock Range
    {
    };
    Range.l_type = F_WRLCK;
    Range.l_whence = SEEK_SET;
    return Range;
}

bool IsBusy(int Error)
{
    return Error == EWOULDBLOCK || Error == EAGAIN || Error == EACCES;
}

} // namespace

TSingleInstance::TSingleInstance(const QString& Name, QObject* Parent) : QObject(Parent), InstanceName(Name) {}

TSingleInstance::~TSingleInstance()
{
    Release();
}

QString TSingleInstance::LockFilePath(const QString& Name)
{
    const QString Base = BasePath(Name);
    return Base.isEmpty() ? QString() : Base + QStringLiteral(".lock");
}

QString TSingleInstance::ServerPath(const QString& Name)
{
    const QString Base = BasePath(Name);
    return Base.isEmpty() ? QString() : Base + QStringLiteral(".sock");
}

TSingleInstance::EAcquire TSingleInstance::Acquire()
{
    if (IsHeld())
        return EAcquire::Acquired;
    const int Fd = OpenLockFile(InstanceName);
    if (Fd < 0)
        return EAcquire::Failed;
    struct flock Claim = WholeFileWriteLock();
    // The flock as well, so that a copy of a build that holds only the flock still keeps us out.
    if (fcntl(Fd, F_OFD_SETLK, &Claim) != 0 || flock(Fd, LOCK_EX | LOCK_NB) != 0) {
        const int Error = errno;
        close(Fd);
        return IsBusy(Error) ? EAcquire::HeldElsewhere : EAcquire::Failed;
    }
    LockFd = Fd;

    // Holding the lock proves that a socket file left by an earlier copy is dead.
    const QString Path = ServerPath(InstanceName);
    QLocalServer::removeServer(Path);
    Server = new QLocalServer(this);
    Server->setSocketOptions(QLocalServer::UserAccessOption);
    if (Server->listen(Path)) {
        connect(Server, &QLocalServer::newConnection, this, &TSingleInstance::OnNewConnection);
    } else {
        // Still the only copy; a later start just cannot bring this one forward.
        qWarning("Activation socket %s: %s", qPrintable(Path), qPrintable(Server->errorString()));
        delete Server;
        Server = nullptr;
    }
    return EAcquire::Acquired;
}

void TSingleInstance::Release()
{
    if (Server != nullptr) {
        Server->close();
        delete Server;
        Server = nullptr;
    }
    if (LockFd >= 0) {
        // The lock file itself stays: removing it would let a starting copy lock a file that a
        // third one is about to replace.
        close(LockFd);
        LockFd = -1;
    }
}

void TSingleInstance::OnNewConnection()
{
    while (QLocalSocket* Socket = Server->nextPendingConnection()) {
        connect(Socket, &QLocalSocket::disconnected, Socket, &QObject::deleteLater);
        connect(Socket, &QLocalSocket::readyRead, this, [this, Socket] {
            // Only a well-formed request counts; anything else on the socket is dropped.
            if (Socket->bytesAvailable() < ActivateRequest.size())
                return;
            const QByteArray Request = Socket->read(ActivateRequest.size());
            Socket->disconnectFromServer();
            if (Request == ActivateRequest)
                emit ActivationRequested();
        });
    }
}

bool TSingleInstance::IsHeldElsewhere(const QString& Name)
{
    const int Fd = OpenLockFile(Name);
    if (Fd < 0)
        return false;
    struct flock Probe = WholeFileWriteLock();
    const bool Held = fcntl(Fd, F_OFD_GETLK, &Probe) == 0 && Probe.l_type != F_UNLCK;
    close(Fd);
    return Held;
}

bool TSingleInstance::RequestActivation(const QString& Name, int TimeoutMs)
{
    QLocalSocket Socket;
    Socket.connectToServer(ServerPath(Name));
    if (!Socket.waitForConnected(TimeoutMs))
        return false;
    Socket.write(ActivateRequest);
    const bool Sent = Socket.waitForBytesWritten(TimeoutMs);
    Socket.disconnectFromServer();
    if (Socket.state() != QLocalSocket::UnconnectedState)
        Socket.waitForDisconnected(TimeoutMs);
    return Sent;
}
