#include "main/pipeline/CallSpool.h"

#include "platform/sys/SafeWrite.h"
#include "platform/sys/Folders.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QtDebug>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const QString TCallSpool::FileName = QStringLiteral("RecvQueue.spool");
const QString TCallSpool::FolderListName = QStringLiteral("RecvQueue.folders");

namespace {

constexpr char WaitingMark = 'P';
constexpr char DoneMark = 'D';
// A line is about 30 bytes: room for some two thousand calls while the disk is full.
constexpr off_t ReserveBytes = 64 * 1024;
// More than any office changes its data folder between two starts; a longer file is not ours.
constexpr qsizetype MostFolders = 64;
constexpr qint64 MostFolderListBytes = 256 * 1024;

QString SystemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool WriteAllAt(int Fd, const QByteArray& Bytes, qint64 Offset)
{
    qsizetype Written = 0;
    while (Written < Bytes.size()) {
        const ssize_t Done = pwrite(Fd, Bytes.constData() + Written, static_cast<size_t>(Bytes.size() - Written),
                                    static_cast<off_t>(Offset + Written));
        if (Done < 0 && errno == EINTR)
            continue;
        if (Done <= 0)
            return false;
        Written += Done;
    }
    return true;
}

bool ReadAll(int Fd, QByteArray& Bytes)
{
    char Chunk[65536];
    for (qint64 Offset = 0;;) {
        const ssize_t Got = pread(Fd, Chunk, sizeof(Chunk), static_cast<off_t>(Offset));
        if (Got < 0 && errno == EINTR)
            continue;
        if (Got < 0)
            return false;
        if (Got == 0)
            return true;
        Bytes.append(Chunk, Got);
        Offset += Got;
    }
}

// "P 1765245600000 0312345678": the state letter, the ring time and the number.
bool ParseLine(const QByteArray& Line, char& State, TSpooledCall& Call)
{
    const QList<QByteArray> Parts = Line.split(' ');
    if (Parts.size() != 3 || Parts[0].size() != 1 || (Parts[0][0] != WaitingMark && Parts[0][0] != DoneMark))
        return false;
    bool Ok = false;
    Call.RingTime = Parts[1].toLongLong(&Ok);
    if (!Ok || Call.RingTime <= 0)
        return false;
    State = Parts[0][0];
    Call.Number = QUrl::fromPercentEncoding(Parts[2]);
    return true;
}

// The folder's entry of a new file reaches the disk only with the folder itself.
void SyncFolder(const QString& Folder)
{
    const int Fd = ::open(QFile::encodeName(Folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd >= 0) {
        fsync(Fd);
        ::close(Fd);
    }
}

} // namespace

TCallSpool::~TCallSpool()
{
    Close();
}

bool TCallSpool::Open(const QString& Folder, QList<TSpooledCall>& Waiting)
{
    Close();
    Waiting.clear();
    // The spool holds customers' numbers, as the tables beside it do.
    FLastError = 0;
    if (!QDir(Folder).exists()) {
        if (!CreateOwnerOnlyFolder(Folder)) {
            FLastError = errno != 0 ? errno : EACCES;
            qWarning().noquote() << "Call spool: cannot make the folder" << Folder;
            return false;
        }
        QFile::setPermissions(Folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QString Path = Folder + FileName;
    const bool Existed = QFile::exists(Path);
    const int Fd = ::open(QFile::encodeName(Path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (Fd < 0) {
        FLastError = errno;
        qWarning().noquote() << "Call spool: cannot open" << Path << SystemError();
        return false;
    }
    QByteArray Bytes;
    if (!ReadAll(Fd, Bytes)) {
        FLastError = errno;
        qWarning().noquote() << "Call spool: cannot read" << Path << SystemError();
        ::close(Fd);
        return false;
    }
    FFd = Fd;
    FFolder = Folder;
    FWaiting = 0;

    // Only whole lines count: a line without its end was being written when the program died,
    // before its call was acknowledged.
    const qsizetype Whole = Bytes.lastIndexOf('\n') + 1;
    for (qsizetype Start = 0; Start < Whole;) {
        const qsizetype End = Bytes.indexOf('\n', Start);
        TSpooledCall Call;
        char State = 0;
        if (ParseLine(Bytes.mid(Start, End - Start), State, Call)) {
            if (State == WaitingMark) {
                Call.Offset = Start;
                Waiting.append(Call);
            }
        } else {
            qWarning().noquote() << "Call spool: line at byte" << Start << "of" << Path << "is not a call; skipped";
        }
        Start = End + 1;
    }
    FWaiting = static_cast<int>(Waiting.size());
    FSize = FWaiting == 0 ? 0 : Whole;
    if (FSize != Bytes.size() && ftruncate(FFd, static_cast<off_t>(FSize)) != 0)
        qWarning().noquote() << "Call spool: cannot trim" << Path << SystemError();
    Reserve();
    if (!Existed)
        SyncFolder(Folder);
    return true;
}

void TCallSpool::Reserve()
{
    // Blocks allocated beyond the end: a line written into them needs nothing more of the disk. A file
    // system that cannot do it (or a disk already full) leaves the spool as it is.
    if (FFd >= 0 && fallocate(FFd, FALLOC_FL_KEEP_SIZE, 0, FSize + ReserveBytes) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSPC)
        qWarning().noquote() << "Call spool: cannot keep room in" << FFolder + FileName << SystemError();
}

void TCallSpool::Close()
{
    if (FFd >= 0)
        ::close(FFd);
    FFd = -1;
    FFolder.clear();
    FSize = 0;
    FWaiting = 0;
}

bool TCallSpool::Append(TSpooledCall& Call)
{
    Call.Offset = -1;
    if (FFd < 0) {
        FLastError = FLastError != 0 ? FLastError : EBADF;
        return false;
    }
    const QByteArray Line = QByteArray(1, WaitingMark) + ' ' + QByteArray::number(Call.RingTime) + ' ' +
                            QUrl::toPercentEncoding(Call.Number) + '\n';
    if (!WriteAllAt(FFd, Line, FSize) || fdatasync(FFd) != 0) {
        // A short write that reports no error is a full disk.
        FLastError = errno != 0 ? errno : ENOSPC;
        qWarning().noquote() << "Call spool: cannot write" << FFolder + FileName << SystemError();
        // What may have reached the file is no call: the next line starts where this one did.
        if (ftruncate(FFd, static_cast<off_t>(FSize)) != 0)
            qWarning().noquote() << "Call spool: cannot trim" << FFolder + FileName << SystemError();
        return false;
    }
    FLastError = 0;
    Call.Offset = FSize;
    FSize += Line.size();
    ++FWaiting;
    return true;
}

void TCallSpool::MarkDone(const TSpooledCall& Call)
{
    if (FFd < 0 || Call.Offset < 0 || Call.Offset >= FSize)
        return;
    if (!WriteAllAt(FFd, QByteArray(1, DoneMark), Call.Offset))
        qWarning().noquote() << "Call spool: cannot mark a call done in" << FFolder + FileName << SystemError();
    if (FWaiting > 0)
        --FWaiting;
    if (FWaiting == 0) {
        if (ftruncate(FFd, 0) == 0) {
            FSize = 0;
            Reserve();
        } else {
            qWarning().noquote() << "Call spool: cannot empty" << FFolder + FileName << SystemError();
        }
    }
}

bool TCallSpool::MoveTo(const QString& Folder, const QList<TSpooledCall*>& Calls, QList<TSpooledCall>& Left)
{
    TCallSpool Target;
    if (!Target.Open(Folder, Left)) {
        FLastError = Target.LastError();
        return false;
    }
    QList<qint64> Offsets;
    const qint64 TargetSize = Target.FSize;
    for (const TSpooledCall* Call : Calls) {
        TSpooledCall Copy = *Call;
        if (!Target.Append(Copy)) {
            FLastError = Target.LastError();
            // The calls all stay here, and none of them there: a later start in that folder must not
            // find them a second time.
            if (ftruncate(Target.FFd, static_cast<off_t>(TargetSize)) != 0)
                qWarning().noquote() << "Call spool: cannot trim" << Folder + FileName << SystemError();
            return false;
        }
        Offsets.append(Copy.Offset);
    }
    for (qsizetype I = 0; I < Calls.size(); ++I)
        Calls[I]->Offset = Offsets[I];
    if (FFd >= 0 && ftruncate(FFd, 0) != 0)
        qWarning().noquote() << "Call spool: cannot empty" << FFolder + FileName << SystemError();
    Close();
    FFd = Target.FFd;
    FFolder = Target.FFolder;
    FSize = Target.FSize;
    FWaiting = Target.FWaiting;
    Target.FFd = -1;
    return true;
}

TCallSpool::TTakeResult TCallSpool::TakeFrom(const QString& Folder, QList<TSpooledCall>& Taken)
{
    Taken.clear();
    const QString Path = Folder + FileName;
    if (FFd < 0 || !QFileInfo::exists(Path))
        return TTakeResult::Nothing;
    TCallSpool Other;
    if (!Other.Open(Folder, Taken)) {
        FLastError = Other.LastError();
        return TTakeResult::Failed;
    }
    if (Taken.isEmpty())
        return TTakeResult::Nothing;
    const qint64 Size = FSize;
    const int Waiting = FWaiting;
    for (TSpooledCall& Call : Taken) {
        if (!Append(Call)) {
            // None of them is here after all: the other spool still holds them all.
            if (ftruncate(FFd, static_cast<off_t>(Size)) != 0)
                qWarning().noquote() << "Call spool: cannot trim" << FFolder + FileName << SystemError();
            FSize = Size;
            FWaiting = Waiting;
            Taken.clear();
            return TTakeResult::Failed;
        }
    }
    if (ftruncate(Other.FFd, 0) != 0 || fsync(Other.FFd) != 0) {
        // Both hold them now; the history's own test by ring time keeps them from being written twice.
        FLastError = errno;
        qWarning().noquote() << "Call spool: cannot empty" << Path << SystemError();
    }
    return TTakeResult::Taken;
}

QStringList TCallSpool::ReadFolderList(const QString& File)
{
    QFile In(File);
    if (!In.open(QIODevice::ReadOnly))
        return {};
    QStringList Folders;
    for (const QByteArray& Line : In.read(MostFolderListBytes).split('\n')) {
        const QString Folder = QString::fromUtf8(Line);
        // A line that is not valid UTF-8, not absolute or not ending in "/" was not written here.
        if (Folder.toUtf8() != Line || !Folder.startsWith(u'/') || !Folder.endsWith(u'/') || Folder.contains(u'\0'))
            continue;
        if (!Folders.contains(Folder))
            Folders.append(Folder);
        if (Folders.size() == MostFolders)
            break;
    }
    return Folders;
}

bool TCallSpool::WriteFolderList(const QString& File, const QStringList& Folders)
{
    QByteArray Bytes;
    for (const QString& Folder : Folders)
        Bytes += Folder.toUtf8() + '\n';
    return WriteFileSafely(File, Bytes, TFileAccess::OwnerOnly) == TSafeWriteResult::Written;
}
