#include "platform/db/TableInternal.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Who has a table open. SQLite locks a file only while a statement or transaction runs, so an idle
// reader is invisible to it, and an exclusive open would succeed under the reader's feet and make
// its next write fail. Every open table therefore holds a lock of its own on the file for as long
// as it is open: shared tables a read lock, an exclusive table a write lock, on one byte that
// SQLite never locks. The locks are open-file-description locks, so they tell table objects of one
// process apart as well as processes.
//
// Closing any descriptor of a file drops every POSIX lock this process holds on it, SQLite's
// included. So a descriptor is closed only when no table of this process has the file open any
// more; until then it is kept, unlocked, for the next table that opens the file.

using namespace TableInternal;

namespace {

// The first byte after SQLite's shared-lock range: in the page SQLite keeps free for its locks.
constexpr off_t OpenLockByte = 0x40000000 + 512;

struct TFileUse
{
    int Open = 0;            // table objects of this process holding a lock on the file
    std::vector<int> Spares; // descriptors of closed ones, unlocked
};

using TFileKey = std::pair<dev_t, ino_t>;

// Never destroyed: a table object may outlive every other static at exit.
std::mutex& Guard = *new std::mutex;
std::map<TFileKey, TFileUse>& Uses = *new std::map<TFileKey, TFileUse>;

bool KeyOf(int Fd, TFileKey& Key)
{
    struct stat Info
    {
    };
    if (::fstat(Fd, &Info) != 0)
        return false;
    Key = {Info.st_dev, Info.st_ino};
    return true;
}

int SetLock(int Fd, short Type)
{
    struct flock Lock
    {
    };
    Lock.l_type = Type;
    Lock.l_whence = SEEK_SET;
    Lock.l_start = OpenLockByte;
    Lock.l_len = 1;
    return ::fcntl(Fd, F_OFD_SETLK, &Lock) == 0 ? 0 : errno;
}

} // namespace

namespace TableInternal {

TOpenLock::TOpenLock(const QString& Path, bool Exclusive, int Patience)
{
    const QByteArray Name = QFile::encodeName(Path);
    {
        std::lock_guard Lock(Guard);
        struct stat Info
        {
        };
        if (::stat(Name.constData(), &Info) == 0) {
            auto Found = Uses.find({Info.st_dev, Info.st_ino});
            if (Found != Uses.end() && !Found->second.Spares.empty()) {
                FFd = Found->second.Spares.back();
                Found->second.Spares.pop_back();
            }
        }
    }
    if (FFd < 0) {
        FFd = ::open(Name.constData(), O_RDWR | O_CLOEXEC);
        if (FFd < 0)
            FFd = ::open(Name.constData(), O_RDONLY | O_CLOEXEC);
        // A file this process cannot even read fails at SQLite's open with its own message.
        if (FFd < 0)
            return;
    }
    if (!KeyOf(FFd, FKey)) {
        ::close(FFd); // not a file any table of ours can have open
        FFd = -1;
        return;
    }
    {
        std::lock_guard Lock(Guard);
        ++Uses[FKey].Open;
    }

    const QDeadlineTimer Deadline(Exclusive ? 0 : Patience);
    for (;;) {
        const int Error = SetLock(FFd, Exclusive ? F_WRLCK : F_RDLCK);
        if (Error == 0)
            return;
        // A file system without such locks, or a file opened read-only, cannot tell; SQLite's own
        // locks still keep the file sound.
        if (Error != EAGAIN && Error != EACCES)
            return;
        if (Deadline.hasExpired())
            break;
        QThread::msleep(20);
    }
    Release();
    // Another table object holds the file: like SQLite's own lock, one that lets go later.
    throw EDatabaseError(QStringLiteral("Table %1 is in use").arg(Path), SQLITE_BUSY);
}

TOpenLock::~TOpenLock()
{
    Release();
}

void TOpenLock::Release()
{
    if (FFd < 0)
        return;
    (void)SetLock(FFd, F_UNLCK);
    std::lock_guard Lock(Guard);
    TFileUse& Use = Uses[FKey];
    if (--Use.Open > 0) {
        Use.Spares.push_back(FFd);
    } else {
        ::close(FFd);
        for (const int Spare : Use.Spares)
            ::close(Spare);
        Uses.erase(FKey);
    }
    FFd = -1;
}

} // namespace TableInternal
