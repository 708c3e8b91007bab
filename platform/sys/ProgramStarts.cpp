#include "platform/sys/ProgramStarts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <dirent.h>
#include <unistd.h>

namespace {

// The boot time in milliseconds since the epoch: now less the time since boot, which /proc/uptime
// gives in hundredths of a second (btime of /proc/stat is whole seconds only).
std::optional<qint64> BootTime()
{
    QFile Uptime(QStringLiteral("/proc/uptime"));
    if (!Uptime.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 Now = QDateTime::currentMSecsSinceEpoch();
    bool Ok = false;
    const double Seconds = Uptime.readLine().split(' ').value(0).toDouble(&Ok);
    if (!Ok)
        return std::nullopt;
    return Now - qint64(Seconds * 1000);
}

// The start of a process in clock ticks after boot: field 22 of /proc/<pid>/stat, counted after the
// command's closing parenthesis, since the command itself may hold spaces and parentheses.
std::optional<qint64> StartTicks(const QString& Pid)
{
    QFile Stat(QStringLiteral("/proc/") + Pid + QStringLiteral("/stat"));
    if (!Stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray Text = Stat.readAll();
    const qsizetype End = Text.lastIndexOf(')');
    if (End < 0)
        return std::nullopt;
    const QList<QByteArray> Fields = Text.mid(End + 2).split(' ');
    // After the command come state (field 3) .. starttime (field 22).
    if (Fields.size() < 20)
        return std::nullopt;
    bool Ok = false;
    const qint64 Ticks = Fields[19].toLongLong(&Ok);
    return Ok ? std::optional<qint64>(Ticks) : std::nullopt;
}

// Whether the process holds a file open whose path lies inside Folder (a canonical path).
bool HoldsFileIn(const QString& Pid, const QString& Folder)
{
    const QByteArray Fds = QFile::encodeName(QStringLiteral("/proc/") + Pid + QStringLiteral("/fd"));
    DIR* Dir = ::opendir(Fds.constData());
    if (!Dir)
        return false;
    const QByteArray Prefix = QFile::encodeName(Folder) + '/';
    bool Holds = false;
    while (const dirent* Entry = ::readdir(Dir)) {
        char Target[4096];
        const QByteArray Link = Fds + '/' + Entry->d_name;
        const ssize_t Size = ::readlink(Link.constData(), Target, sizeof Target);
        if (Size > 0 && QByteArray(Target, Size).startsWith(Prefix)) {
            Holds = true;
            break;
        }
    }
    ::closedir(Dir);
    return Holds;
}

} // namespace

std::optional<QDateTime> EarliestProgramStart(const QStringList& Names, const QString& InFolder)
{
    const std::optional<qint64> Boot = BootTime();
    const long TicksPerSecond = ::sysconf(_SC_CLK_TCK);
    if (!Boot || TicksPerSecond <= 0)
        return std::nullopt;
    const QString Folder = InFolder.isEmpty() ? QString() : QFileInfo(InFolder).canonicalFilePath();
    if (!InFolder.isEmpty() && Folder.isEmpty())
        return std::nullopt; // no such folder: nobody holds a file of it
    std::optional<qint64> Earliest;
    const QStringList Pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& Pid : Pids) {
        bool Numeric = false;
        (void)Pid.toInt(&Numeric);
        if (!Numeric)
            continue;
        // Another user's executable cannot be read: its programs are not this user's.
        const QString Exe = QFileInfo(QStringLiteral("/proc/") + Pid + QStringLiteral("/exe")).symLinkTarget();
        if (Exe.isEmpty() || !Names.contains(QFileInfo(Exe).fileName()))
            continue;
        if (!Folder.isEmpty() && !HoldsFileIn(Pid, Folder))
            continue;
        if (const std::optional<qint64> Ticks = StartTicks(Pid))
            Earliest = std::min(Earliest.value_or(*Ticks), *Ticks);
    }
    if (!Earliest)
        return std::nullopt;
    // The reckoning is good to a few hundredths of a second; the margin keeps it on the early side, so
    // that what a program wrote as it started is never taken for older than that program.
    constexpr qint64 MarginMs = 100;
    return QDateTime::fromMSecsSinceEpoch(*Boot + *Earliest * 1000 / TicksPerSecond - MarginMs);
}
