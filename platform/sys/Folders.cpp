#include "platform/sys/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
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
