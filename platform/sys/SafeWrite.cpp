#include "platform/sys/SafeWrite.h"

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
    return 0644;
}

} // namespace

TSafeWriteResult WriteFileSafely(const QString& FileName, const QByteArray& Bytes, TFileAccess Access)
{
    const QByteArray Target = QFile::encodeName(FileName);
    const QByteArray Folder = QFile::encodeName(QFileInfo(FileName).absolutePath());
    QByteArray Template = Target + ".tmp-XXXXXX";
    const int Fd = mkstemp(Template.data());
    if (Fd < 0)
        return TSafeWriteResult::CannotCreate;

    const bool Ok =
        fchmod(Fd, ModeFor(Target, Access)) == 0 && WriteAll(Fd, Bytes.constData(), Bytes.size()) && fsync(Fd) == 0;
    const bool Closed = close(Fd) == 0;
    if (!Ok || !Closed || rename(Template.constData(), Target.constData()) != 0) {
        unlink(Template.constData());
        return TSafeWriteResult::WriteFailed;
    }
    // The rename itself is durable only once the folder's entry is on disk.
    const int FolderFd = open(Folder.constData(), O_RDONLY | O_DIRECTORY);
    if (FolderFd >= 0) {
        fsync(FolderFd);
        close(FolderFd);
    }
    return TSafeWriteResult::Written;
}
