#include "transfer/common/TableCopy.h"

#include "platform/db/Table.h"
#include "platform/sys/Folders.h"
#include "platform/sys/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <sys/statvfs.h>

const QStringList RecvHisTableFiles = {
    QStringLiteral("RecvHis.DB"),  QStringLiteral("RecvHis.PX"),  QStringLiteral("RecvHis.X02"),
    QStringLiteral("RecvHis.X03"), QStringLiteral("RecvHis.X05"), QStringLiteral("RecvHis.XG0"),
    QStringLiteral("RecvHis.XG1"), QStringLiteral("RecvHis.XG2"), QStringLiteral("RecvHis.XG3"),
    QStringLiteral("RecvHis.Y02"), QStringLiteral("RecvHis.Y03"), QStringLiteral("RecvHis.Y05"),
    QStringLiteral("RecvHis.YG0"), QStringLiteral("RecvHis.YG1"), QStringLiteral("RecvHis.YG2"),
    QStringLiteral("RecvHis.YG3"),
};

const QStringList MeiboTableFiles = {
    QStringLiteral("Meibo.DB"),  QStringLiteral("Meibo.MB"),  QStringLiteral("Meibo.PX"),  QStringLiteral("Meibo.X02"),
    QStringLiteral("Meibo.X03"), QStringLiteral("Meibo.X04"), QStringLiteral("Meibo.XG0"), QStringLiteral("Meibo.XG1"),
    QStringLiteral("Meibo.XG2"), QStringLiteral("Meibo.XG3"), QStringLiteral("Meibo.XG4"), QStringLiteral("Meibo.Y02"),
    QStringLiteral("Meibo.Y03"), QStringLiteral("Meibo.Y04"), QStringLiteral("Meibo.YG0"), QStringLiteral("Meibo.YG1"),
    QStringLiteral("Meibo.YG2"), QStringLiteral("Meibo.YG3"), QStringLiteral("Meibo.YG4"),
};

namespace {

QString WithSlash(const QString& Folder)
{
    return Folder.endsWith(QLatin1Char('/')) ? Folder : Folder + QLatin1Char('/');
}

// A folder that does not exist yet (a backup folder before its first copy) is measured on the file
// system it will be made on.
bool StatNearest(const QString& Folder, struct statvfs& Info)
{
    QString Path = QFileInfo(Folder.isEmpty() ? QStringLiteral(".") : Folder).absoluteFilePath();
    for (;;) {
        if (QFileInfo(Path).isDir())
            return statvfs(QFile::encodeName(Path).constData(), &Info) == 0;
        const QString Parent = QFileInfo(Path).absolutePath();
        if (Parent == Path)
            return false;
        Path = Parent;
    }
}

// The staging folders of copies into Dest: QTemporaryDir's six characters after the name.
QString StagingPattern(const QString& Dest)
{
    return QFileInfo(Dest).absolutePath() + QStringLiteral("/.") + QFileInfo(Dest).fileName() +
           QStringLiteral("-??????");
}

} // namespace

int GetClusterSize(const QString& Folder)
{
    struct statvfs Info
    {
    };
    if (!StatNearest(Folder, Info))
        return 0;
    const unsigned long Size = Info.f_frsize != 0 ? Info.f_frsize : Info.f_bsize;
    return Size > 0x40000000UL ? 0 : static_cast<int>(Size);
}

std::int64_t GetFilesSize(const QStringList& Names, const QString& Folder, int ClusterSize)
{
    std::int64_t Total = 0;
    for (const QString& Name : Names) {
        const QFileInfo Info(WithSlash(Folder) + Name);
        if (!Info.isFile())
            continue;
        const std::int64_t Size = Info.size();
        if (ClusterSize > 0)
            Total += (Size + ClusterSize - 1) / ClusterSize * ClusterSize;
        else
            Total += Size;
    }
    return Total;
}

std::int64_t GetDriveFreeSpace(const QString& Folder)
{
    struct statvfs Info
    {
    };
    if (!StatNearest(Folder, Info))
        return 0;
    return static_cast<std::int64_t>(Info.f_bavail) *
           static_cast<std::int64_t>(Info.f_frsize ? Info.f_frsize : Info.f_bsize);
}

TBackupMeasure MeasureBackup(const QString& DestFolder, const QStringList& Names, const QString& SourceFolder)
{
    TBackupMeasure Measure;
    Measure.ClusterSize = GetClusterSize(DestFolder);
    Measure.NeededSize = GetFilesSize(Names, SourceFolder, Measure.ClusterSize);
    Measure.FreeSpace = GetDriveFreeSpace(DestFolder);
    return Measure;
}

bool CopyOneTableFile(const QString& Source, const QString& Dest)
{
    if (Source.endsWith(QStringLiteral(".DB"), Qt::CaseInsensitive)) {
        // A table another window or process has open is copied as one consistent state.
        try {
            BackupTableFile(Source, Dest);
            return true;
        } catch (const EDatabaseError&) {
            return false;
        }
    }
    QFile::remove(Dest);
    return CopyFileOwnerOnly(Source, Dest);
}

int CopyTableFiles(const QString& SourceFolder, const QString& DestFolder, const QStringList& Names,
                   const TFileCopier& Copier)
{
    const QString Dest = QDir::cleanPath(QFileInfo(DestFolder).absoluteFilePath());
    if (!CreateOwnerOnlyFolder(Dest) || !QFileInfo(Dest).isDir())
        return CopyTableFilesNoFolder;

    // The staging folder sits in the destination's parent, so the moves stay on one file system.
    QTemporaryDir Staging(StagingPattern(Dest).replace(u'?', u'X'));
    if (!Staging.isValid())
        return CopyTableFilesFailed;

    QStringList Copied;
    for (const QString& Name : Names) {
        const QString Source = WithSlash(SourceFolder) + Name;
        if (!QFileInfo(Source).isFile())
            continue;
        if (!Copier(Source, Staging.filePath(Name)))
            return CopyTableFilesFailed;
        Copied.append(Name);
    }
    // A journal a killed program left beside a table there belongs to the file being replaced.
    try {
        for (const QString& Name : Copied)
            PutTableFileInPlace(Staging.filePath(Name), Dest + QLatin1Char('/') + Name);
    } catch (const EDatabaseError&) {
        return CopyTableFilesFailed;
    }
    return CopyTableFilesDone;
}

int RemoveLeftStaging(const QString& DestFolder, const QDateTime& Before)
{
    const QString Dest = QDir::cleanPath(QFileInfo(DestFolder).absoluteFilePath());
    const QFileInfo Pattern(StagingPattern(Dest));
    int Removed = 0;
    const QFileInfoList Found = QDir(Pattern.absolutePath())
                                    .entryInfoList({Pattern.fileName()}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& Folder : Found) {
        if (Folder.isSymLink() || Folder.lastModified() >= Before)
            continue;
        // A copy stages plain files only; a folder holding anything else is not one of ours.
        const QFileInfoList Inside =
            QDir(Folder.absoluteFilePath()).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (std::any_of(Inside.cbegin(), Inside.cend(),
                        [](const QFileInfo& Entry) { return Entry.isSymLink() || !Entry.isFile(); }))
            continue;
        for (const QFileInfo& Entry : Inside)
            QFile::remove(Entry.absoluteFilePath());
        if (QDir().rmdir(Folder.absoluteFilePath()))
            ++Removed;
    }
    return Removed;
}
