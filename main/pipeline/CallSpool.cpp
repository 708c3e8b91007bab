#include "main/pipeline/CallSpool.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <QtDebug>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const QString TCallSpool::FileName = QStringLiteral("RecvQueue.spool");

namespace {

constexpr char WaitingMark = 'P';
constexpr char DoneMark = 'D';

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
    if (!QDir(Folder).exists()) {
        if (!QDir().mkpath(Folder)) {
            qWarning().noquote() << "Call spool: cannot make the folder" << Folder;
            return false;
        }
        QFile::setPermissions(Folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QString Path = Folder + FileName;
    const bool Existed = QFile::exists(Path);
    const int Fd = ::open(QFile::encodeName(Path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (Fd < 0) {
        qWarning().noquote() << "Call spool: cannot open" << Path << SystemError();
        return false;
    }
    QByteArray Bytes;
    if (!ReadAll(Fd, Bytes)) {
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
    if (!Existed)
        SyncFolder(Folder);
    return true;
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
    if (FFd < 0)
        return false;
    const QByteArray Line = QByteArray(1, WaitingMark) + ' ' + QByteArray::number(Call.RingTime) + ' ' +
                            QUrl::toPercentEncoding(Call.Number) + '\n';
    if (!WriteAllAt(FFd, Line, FSize) || fdatasync(FFd) != 0) {
        qWarning().noquote() << "Call spool: cannot write" << FFolder + FileName << SystemError();
        // What may have reached the file is no call: the next line starts where this one did.
        if (ftruncate(FFd, static_cast<off_t>(FSize)) != 0)
            qWarning().noquote() << "Call spool: cannot trim" << FFolder + FileName << SystemError();
        return false;
    }
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
        if (ftruncate(FFd, 0) == 0)
            FSize = 0;
        else
            qWarning().noquote() << "Call spool: cannot empty" << FFolder + FileName << SystemError();
    }
}

bool TCallSpool::MoveTo(const QString& Folder, const QList<TSpooledCall*>& Calls, QList<TSpooledCall>& Left)
{
    TCallSpool Target;
    if (!Target.Open(Folder, Left))
        return false;
    QList<qint64> Offsets;
    for (const TSpooledCall* Call : Calls) {
        TSpooledCall Copy = *Call;
        if (!Target.Append(Copy))
            return false;
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
