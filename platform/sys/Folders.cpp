#include "platform/sys/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

QString IncludeTrailingDelimiter(const QString& Folder)
{
    if (Folder.isEmpty() || Folder.endsWith(QLatin1Char('/')))
        return Folder;
    return Folder + QLatin1Char('/');
}

QString GetProgramFolder()
{
    char Buffer[4096];
    const ssize_t Length = readlink("/proc/self/exe", Buffer, sizeof(Buffer) - 1);
    if (Length <= 0)
        return IncludeTrailingDelimiter(QDir::currentPath());
    const QString Exe = QString::fromLocal8Bit(Buffer, static_cast<qsizetype>(Length));
    return IncludeTrailingDelimiter(QFileInfo(Exe).absolutePath());
}

QString GetCommonAppDataFolder()
{
    QString Folder = qEnvironmentVariable("XDG_DATA_HOME").trimmed();
    if (Folder.isEmpty())
        Folder = QDir::homePath() + QStringLiteral("/.local/share");
    return IncludeTrailingDelimiter(Folder);
}

QString GetUserAppDataFolder()
{
    return GetCommonAppDataFolder();
}

bool CreateOwnerOnlyFolder(const QString& Folder)
{
    const QString Clean = QDir::cleanPath(Folder);
    if (QFileInfo(Clean).isDir())
        return true;
    QStringList Missing;
    QString Path = Clean;
    while (!Path.isEmpty() && !QFileInfo::exists(Path)) {
        Missing.prepend(Path);
        const QString Parent = QFileInfo(Path).path();
        if (Parent == Path)
            break;
        Path = Parent;
    }
    for (const QString& Level : Missing) {
        const QByteArray Name = QFile::encodeName(Level);
        if (mkdir(Name.constData(), 0700) == 0)
            chmod(Name.constData(), 0700); // exactly, whatever the umask took away
        else if (errno != EEXIST)
            return false;
    }
    return QFileInfo(Clean).isDir();
}

bool IsSameFile(const QString& A, const QString& B)
{
    struct stat First
    {
    };
    struct stat Second
    {
    };
    if (::stat(QFile::encodeName(A).constData(), &First) == 0 && ::stat(QFile::encodeName(B).constData(), &Second) == 0)
        return First.st_dev == Second.st_dev && First.st_ino == Second.st_ino;
    return QDir::cleanPath(QFileInfo(A).absoluteFilePath()) == QDir::cleanPath(QFileInfo(B).absoluteFilePath());
}

namespace {

struct TFileId
{
    dev_t Device = 0;
    ino_t Inode = 0;
    bool operator==(const TFileId&) const = default;
};

std::optional<TFileId> FileIdOf(const QString& Path)
{
    struct stat Info
    {
    };
    if (::stat(QFile::encodeName(Path).constData(), &Info) != 0)
        return std::nullopt;
    return TFileId{Info.st_dev, Info.st_ino};
}

// Where a write at Path ends up when the file is not there yet: a dangling link is followed to the
// path it names.
QString FinalPath(const QString& Path)
{
    QString Current = QFileInfo(Path).absoluteFilePath();
    for (int Hop = 0; Hop < 40; ++Hop) {
        const QFileInfo Info(Current);
        if (!Info.isSymLink())
            break;
        Current = Info.symLinkTarget();
    }
    return Current;
}

const char* const JournalSuffixes[] = {"-journal", "-wal", "-shm"};

} // namespace

bool IsFileOfFolders(const QString& Path, const QList<TFolderFiles>& Files)
{
    const std::optional<TFileId> Target = FileIdOf(Path);
    const QString Final = FinalPath(Path);
    const std::optional<TFileId> TargetFolder = FileIdOf(QFileInfo(Final).absolutePath());
    const QString Name = QFileInfo(Final).fileName();
    for (const TFolderFiles& Owned : Files) {
        if (Owned.Folder.isEmpty() || Owned.Names.isEmpty())
            continue;
        const std::optional<TFileId> FolderId = FileIdOf(Owned.Folder);
        if (!FolderId)
            continue;
        const bool InFolder = TargetFolder == FolderId;
        // A journal left beside a file is the file's too.
        QStringList Names = Owned.Names;
        for (const QString& Pattern : Owned.Names)
            for (const char* Suffix : JournalSuffixes)
                Names.append(Pattern + QLatin1String(Suffix));
        QDir Dir(Owned.Folder);
        Dir.setNameFilters(Names);
        const QStringList Entries = Dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive);
        for (const QString& Entry : Entries) {
            if (Target && FileIdOf(Dir.filePath(Entry)) == Target)
                return true;
            if (InFolder)
                for (const char* Suffix : JournalSuffixes)
                    if (Name == Entry + QLatin1String(Suffix))
                        return true;
        }
    }
    return false;
}
