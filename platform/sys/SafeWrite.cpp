#include "platform/sys/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int Fd, const char* Data, qsizetype Size)
{
    while (Size > 0) {
        const ssize_t Done = write(Fd, Data, static_cast<size_t>(Size));
        if (Done < 0 && errno == EINTR)
            continue;
        if (Done <= 0)
            return false;
        Data += Done;
        Size -= Done;
    }
    return true;
}

mode_t ModeFor(const QByteArray& Target, TFileAccess Access)
{
    if (Access == TFileAccess::OwnerOnly)
        return 0600;
    struct stat Old;
    if (stat(Target.constData(), &Old) == 0)
        return Old.st_mode & 07777;
    return 0600;
}

} // namespace

TSafeWriteResult WriteFileSafely(const QString& FileName, const QByteArray& Bytes, TFileAccess Access, int* Error)
{
    TSafeFileWriter Writer;
    TSafeWriteResult Result = Writer.Open(FileName, false, Access);
    if (Result == TSafeWriteResult::Written)
        Result = Writer.Write(Bytes) ? Writer.Commit() : TSafeWriteResult::WriteFailed;
    if (Error != nullptr)
        *Error = Result == TSafeWriteResult::Written ? 0 : Writer.Error();
    return Result;
}

TSafeFileWriter::~TSafeFileWriter()
{
    Discard();
}

void TSafeFileWriter::Discard()
{
    if (FFd < 0)
        return;
    close(FFd);
    FFd = -1;
    if (!FAppend)
        unlink(FTemporary.constData());
}

TSafeWriteResult TSafeFileWriter::Open(const QString& FileName, bool Append, TFileAccess Access)
{
    Discard();
    FAppend = Append;
    FError = 0;
    FTarget = QFile::encodeName(FileName);
    if (Append) {
        FFd = open(FTarget.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC,
                   0600);
    } else {
        FTemporary = FTarget + ".tmp-XXXXXX";
        FFd = mkstemp(FTemporary.data());
        if (FFd >= 0 && fchmod(FFd, ModeFor(FTarget, Access)) != 0) {
            FError = errno;
            Discard();
            return TSafeWriteResult::CannotCreate;
        }
    }
    if (FFd < 0) {
        FError = errno;
        return TSafeWriteResult::CannotCreate;
    }
    return TSafeWriteResult::Written;
}

bool TSafeFileWriter::Write(const char* Data, qsizetype Size)
{
    if (FFd < 0)
        return false;
    if (WriteAll(FFd, Data, Size))
        return true;
    FError = errno;
    return false;
}

TSafeWriteResult TSafeFileWriter::Commit()
{
    if (FFd < 0)
        return TSafeWriteResult::WriteFailed;
    const int Fd = FFd;
    FFd = -1;
    const bool Synced = fsync(Fd) == 0;
    if (!Synced)
        FError = errno;
    const bool Closed = close(Fd) == 0;
    if (!Closed && Synced)
        FError = errno;
    if (FAppend)
        return Synced && Closed ? TSafeWriteResult::Written : TSafeWriteResult::WriteFailed;
    if (!Synced || !Closed || rename(FTemporary.constData(), FTarget.constData()) != 0) {
        if (Synced && Closed)
            FError = errno;
        unlink(FTemporary.constData());
        return TSafeWriteResult::WriteFailed;
    }
    // The rename itself is durable only once the folder's entry is on disk.
    const QByteArray Folder = QFile::encodeName(QFileInfo(QFile::decodeName(FTarget)).absolutePath());
    const int FolderFd = open(Folder.constData(), O_RDONLY | O_DIRECTORY);
    if (FolderFd >= 0) {
        fsync(FolderFd);
        close(FolderFd);
    }
    return TSafeWriteResult::Written;
}

bool CopyFileOwnerOnly(const QString& Source, const QString& Dest, int* Error)
{
    int Failure = 0;
    const int In = open(QFile::encodeName(Source).constData(), O_RDONLY | O_CLOEXEC);
    int Out = -1;
    if (In < 0) {
        Failure = errno;
    } else {
        Out = open(QFile::encodeName(Dest).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        // The umask can only take more away; a default ACL could add, which fchmod undoes.
        if (Out < 0 || fchmod(Out, 0600) != 0)
            Failure = errno;
    }
    if (Failure == 0) {
        char Buffer[1 << 16];
        for (;;) {
            const ssize_t Got = read(In, Buffer, sizeof Buffer);
            if (Got < 0 && errno == EINTR)
                continue;
            if (Got < 0) {
                Failure = errno;
                break;
            }
            if (Got == 0)
                break;
            if (!WriteAll(Out, Buffer, Got)) {
                Failure = errno;
                break;
            }
        }
        if (Failure == 0 && fsync(Out) != 0)
            Failure = errno;
    }
    if (In >= 0)
        close(In);
    if (Out >= 0 && close(Out) != 0 && Failure == 0)
        Failure = errno;
    if (Failure != 0 && Out >= 0)
        unlink(QFile::encodeName(Dest).constData());
    if (Error != nullptr)
        *Error = Failure;
    return Failure == 0;
}

void RemoveSafeWriteTemporaries(const QString& FileName)
{
    const QFileInfo Target(FileName);
    const QString Prefix = Target.fileName() + QStringLiteral(".tmp-");
    QDir Folder = Target.absoluteDir();
    const QStringList Names = Folder.entryList({Prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& Name : Names)
        if (Name.size() == Prefix.size() + 6 && Name.startsWith(Prefix))
            (void)Folder.remove(Name);
}
