#include "main/common/CommonSys.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool IsAlreadyRunning(const QString& Name, bool Activate, std::unique_ptr<TSingleInstance>* Lock)
{
    auto Instance = std::make_unique<TSingleInstance>(Name);
    switch (Instance->Acquire()) {
    case TSingleInstance::EAcquire::Acquired:
        if (Lock != nullptr)
            *Lock = std::move(Instance);
        return false;
    case TSingleInstance::EAcquire::HeldElsewhere:
        if (Activate)
            TSingleInstance::RequestActivation(Name);
        return true;
    case TSingleInstance::EAcquire::Failed:
        break;
    }
    return true;
}

bool IsProgramRunning(const QString& Name)
{
    return TSingleInstance::IsHeldElsewhere(Name);
}

int CreateSharedFolder(const QString& Folder)
{
    // The folder holds settings and password files; on this platform it is the user's own, never
    // open to everybody.
    return CreateOwnerOnlyFolder(Folder) ? 1 : 0;
}

namespace {

// Works on directory descriptors opened with O_NOFOLLOW, so an entry that is swapped for a link while
// we work can never lead the deletion out of the tree.
bool DeleteEntriesAt(int DirFd, bool KeepFiles);

bool DeleteFolderAt(int ParentFd, const char* Name, bool KeepFiles)
{
    int Fd = openat(ParentFd, Name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (Fd < 0 && errno == EACCES) {
        fchmodat(ParentFd, Name, S_IRWXU, 0);
        Fd = openat(ParentFd, Name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (Fd < 0)
        return false;
    struct stat Info
    {
    };
    if (fstat(Fd, &Info) == 0 && (Info.st_mode & S_IRWXU) != S_IRWXU)
        fchmod(Fd, (Info.st_mode & 07777) | S_IRWXU);
    bool Ok = DeleteEntriesAt(Fd, KeepFiles); // closes Fd
    if (unlinkat(ParentFd, Name, AT_REMOVEDIR) != 0) {
        // A folder that still holds kept files stays, as intended.
        if (!(KeepFiles && (errno == ENOTEMPTY || errno == EEXIST)))
            Ok = false;
    }
    return Ok;
}

bool DeleteEntriesAt(int DirFd, bool KeepFiles)
{
    DIR* Dir = fdopendir(DirFd);
    if (Dir == nullptr) {
        close(DirFd);
        return false;
    }
    bool Ok = true;
    while (const dirent* Entry = readdir(Dir)) {
        const char* Name = Entry->d_name;
        if (qstrcmp(Name, ".") == 0 || qstrcmp(Name, "..") == 0)
            continue;
        struct stat Info
        {
        };
        if (fstatat(DirFd, Name, &Info, AT_SYMLINK_NOFOLLOW) != 0) {
            Ok = Ok && errno == ENOENT;
            continue;
        }
        if (S_ISDIR(Info.st_mode)) {
            Ok = DeleteFolderAt(DirFd, Name, KeepFiles) && Ok;
        } else if (!KeepFiles) {
            if (unlinkat(DirFd, Name, 0) != 0 && errno != ENOENT)
                Ok = false;
        }
    }
    closedir(Dir);
    return Ok;
}

} // namespace

bool DeleteFolderTree(const QString& Folder, bool KeepFiles)
{
    const QString Clean = QDir::cleanPath(Folder);
    if (Clean.isEmpty())
        return false;
    const QByteArray Path = QFile::encodeName(Clean);
    struct stat Info
    {
    };
    if (lstat(Path.constData(), &Info) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(Info.st_mode)) {
        // A link standing where the folder was expected is taken away; its target is none of ours.
        if (S_ISLNK(Info.st_mode))
            return KeepFiles || unlink(Path.constData()) == 0;
        return false;
    }
    const QFileInfo Where(Clean);
    const QByteArray Parent = QFile::encodeName(Where.absolutePath());
    const QByteArray Name = QFile::encodeName(Where.fileName());
    if (Name.isEmpty())
        return false; // the root folder
    const int ParentFd = open(Parent.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (ParentFd < 0)
        return false;
    const bool Ok = DeleteFolderAt(ParentFd, Name.constData(), KeepFiles);
    close(ParentFd);
    return Ok;
}

namespace {

// /proc/self/mounts writes a space, tab, newline and backslash in a path as "\" and three octal digits.
QString DecodeMountField(const QByteArray& Field)
{
    QByteArray Out;
    for (qsizetype I = 0; I < Field.size(); ++I) {
        if (Field[I] == '\\' && I + 3 < Field.size()) {
            bool Ok = false;
            const int Code = Field.mid(I + 1, 3).toInt(&Ok, 8);
            if (Ok) {
                Out.append(static_cast<char>(Code));
                I += 3;
                continue;
            }
        }
        Out.append(Field[I]);
    }
    return QFile::decodeName(Out);
}

unsigned DriveKind(const QByteArray& Device, const QByteArray& Type)
{
    static const QSet<QByteArray> LocalTypes = {"ext2", "ext3",     "ext4", "xfs",   "btrfs", "f2fs",
                                                "jfs",  "reiserfs", "vfat", "exfat", "ntfs",  "ntfs3"};
    static const QSet<QByteArray> OpticalTypes = {"iso9660", "udf"};
    static const QSet<QByteArray> NetworkTypes = {"nfs", "nfs4", "cifs", "smb3", "smbfs"};
    if (OpticalTypes.contains(Type))
        return DRIVE_MASK_CDROM;
    if (NetworkTypes.contains(Type))
        return DRIVE_MASK_NETWORK;
    if (LocalTypes.contains(Type) && Device.startsWith("/dev/"))
        return DRIVE_MASK_FIXED;
    return 0;
}

} // namespace

void ScanDrives(unsigned Mask, const QString& MountsFile)
{
    DriveList.clear();
    DriveCount = 0;
    QFile File(MountsFile);
    if (!File.open(QIODevice::ReadOnly))
        return;
    // /proc files report size 0, so the table is read line by line rather than by its size.
    const QList<QByteArray> Lines = File.readAll().split('\n');
    for (const QByteArray& Line : Lines) {
        const QList<QByteArray> Fields = Line.simplified().split(' ');
        if (Fields.size() < 3)
            continue;
        if ((DriveKind(Fields[0], Fields[2]) & Mask) == 0)
            continue;
        const QString Folder = IncludeTrailingDelimiter(DecodeMountField(Fields[1]));
        if (!DriveList.contains(Folder))
            DriveList.append(Folder);
    }
    DriveCount = static_cast<int>(DriveList.size());
}

namespace {

QString ResolveWorkDir(const QString& WorkDir, const QString& Program)
{
    QString Dir = WorkDir.trimmed();
    if (Dir == QStringLiteral("@"))
        Dir = Program.contains(QLatin1Char('/')) ? QFileInfo(Program).absolutePath() : QString();
    if (Dir.isEmpty() || !QFileInfo(Dir).isDir())
        return {};
    return Dir;
}

int StartFailure(const QString& Program)
{
    const QString Found = Program.contains(QLatin1Char('/')) ? Program : QStandardPaths::findExecutable(Program);
    if (Found.isEmpty() || !QFileInfo::exists(Found))
        return RUN_PROGRAM_NOT_FOUND;
    return RUN_PROGRAM_CANNOT_START;
}

struct TStartResult
{
    bool Started = false;
    int Code = 0; // the exit code when waited for, else the reason it did not start
};

TStartResult StartAndWait(const QString& Program, const QStringList& Arguments, const QString& WorkDir, bool NoWait,
                          QEventLoop::ProcessEventsFlags WaitFlags)
{
    const QString Dir = ResolveWorkDir(WorkDir, Program);
    if (NoWait) {
        qint64 Pid = 0;
        if (!QProcess::startDetached(Program, Arguments, Dir, &Pid))
            return {false, StartFailure(Program)};
        return {true, 0};
    }
    QProcess Process;
    Process.setProgram(Program);
    Process.setArguments(Arguments);
    Process.setWorkingDirectory(Dir);
    // The child writes where we write; an unread pipe would stop it once full.
    Process.setProcessChannelMode(QProcess::ForwardedChannels);
    Process.setStandardInputFile(QProcess::nullDevice());
    Process.start();
    if (!Process.waitForStarted(-1))
        return {false, StartFailure(Program)};
    if (Process.state() != QProcess::NotRunning) {
        QEventLoop Loop;
        QObject::connect(&Process, &QProcess::finished, &Loop, &QEventLoop::quit);
        Loop.exec(WaitFlags);
    }
    if (Process.exitStatus() == QProcess::CrashExit)
        return {true, -1};
    return {true, Process.exitCode()};
}

} // namespace

int RunProgram(const QString& Program, const QStringList& Arguments, const QString& WorkDir, bool NoWait)
{
    return StartAndWait(Program, Arguments, WorkDir, NoWait, QEventLoop::AllEvents).Code;
}

int ShellOpenAndWait(const QString& File, const QStringList& Params, const QString& Dir, bool NoWait)
{
    const QFileInfo Info(File);
    QString WorkDir = Dir.trimmed();
    if (WorkDir == QStringLiteral("@"))
        WorkDir = Info.absolutePath();
    if (Info.isFile() && Info.isExecutable()) {
        const TStartResult Result = StartAndWait(File, Params, WorkDir, NoWait, QEventLoop::ExcludeUserInputEvents);
        return Result.Started ? 0 : Result.Code;
    }
    // xdg-open takes one file or URL and fails with a code of its own when the desktop cannot open it.
    const TStartResult Result =
        StartAndWait(QStringLiteral("xdg-open"), {File}, WorkDir, NoWait, QEventLoop::ExcludeUserInputEvents);
    if (!Result.Started)
        return Result.Code;
    return Result.Code < 0 ? RUN_PROGRAM_CANNOT_START : Result.Code;
}
