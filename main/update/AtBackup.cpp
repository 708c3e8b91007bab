#include "main/update/AtBackup.h"

#include "platform/sys/Folders.h"
#include "platform/sys/SafeWrite.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace {

// A table is one SQLite file; a journal left beside it by a crash belongs to its state and goes along.
const QStringList RecvHisFiles = {QStringLiteral("RecvHis.DB"), QStringLiteral("RecvHis.DB-journal")};
const QStringList MeiboFiles = {QStringLiteral("Meibo.DB"), QStringLiteral("Meibo.DB-journal")};
const QStringList RankFiles = {QStringLiteral("Rank.mtd")};
const QStringList SelItemFiles = {QStringLiteral("SelItem1.mtd"), QStringLiteral("SelItem2.mtd"),
                                  QStringLiteral("SelItem3.mtd")};

bool DeleteFolderTree(const QString& Folder)
{
    QDir Dir(Folder);
    return !Dir.exists() || Dir.removeRecursively();
}

bool HoldsPlainFile(const QString& Folder)
{
    QDirIterator It(Folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    return It.hasNext();
}

// Replaces Target with Source; the target may be read-only, as copies of read-only files are.
bool MoveReplacing(const QString& Source, const QString& Target)
{
    if (QFileInfo::exists(Target)) {
        QFile::setPermissions(Target, QFile::permissions(Target) | QFile::WriteOwner);
        if (!QFile::remove(Target))
            return false;
    }
    return QFile::rename(Source, Target);
}

} // namespace

TAutoBackup::TAutoBackup(const QString& SettingsPath, const QString& DataPath, int Count)
    : SettingsPath(SettingsPath), DataPath(DataPath), Count(std::clamp(Count, 1, 9))
{
    DiskSpaceOf = [](const QString& Folder) {
        const QStorageInfo Storage(Folder);
        TDiskSpace Space;
        if (Storage.isValid()) {
            Space.Free = Storage.bytesAvailable();
            Space.ClusterSize = Storage.blockSize();
        }
        return Space;
    };
}

QList<QStringList> TAutoBackup::FileGroups()
{
    return {RecvHisFiles, MeiboFiles, RankFiles, SelItemFiles};
}

QString TAutoBackup::GenerationFolder(int Generation) const
{
    return BackupRoot + QString::number(Generation) + QLatin1Char('/');
}

bool TAutoBackup::Execute()
{
    BackupRoot = SettingsPath + QStringLiteral("bakData/");
    const QString Fresh = BackupRoot + QStringLiteral("1.partial/");
    if (!DeleteFolderTree(Fresh) || !CreateOwnerOnlyFolder(Fresh))
        return false;

    if (!MakeRoom(Fresh)) {
        DeleteFolderTree(Fresh);
        return false;
    }

    if (!FillFolder(Fresh)) {
        DeleteFolderTree(Fresh);
        return false;
    }

    RotateGenerations();

    // Generation 1 is still there when it could not be shifted (or with a single generation): it is
    // set aside until the fresh copy has taken its place.
    const QString First = GenerationFolder(1);
    const QString Old = BackupRoot + QStringLiteral("1.old/");
    DeleteFolderTree(Old);
    if (QFileInfo::exists(First) && !QDir().rename(QDir::cleanPath(First), QDir::cleanPath(Old))) {
        DeleteFolderTree(Fresh);
        return false;
    }
    if (!QDir().rename(QDir::cleanPath(Fresh), QDir::cleanPath(First))) {
        QDir().rename(QDir::cleanPath(Old), QDir::cleanPath(First));
        DeleteFolderTree(Fresh);
        return false;
    }
    DeleteFolderTree(Old);
    return true;
}

int TAutoBackup::GenerationDroppedByShift() const
{
    // With one generation the fresh copy replaces it; with more, the shift deletes the last one when
    // the one before it moves up.
    if (Count == 1)
        return QFileInfo(GenerationFolder(1)).isDir() ? 1 : 0;
    return QFileInfo(GenerationFolder(Count - 1)).isDir() && QFileInfo(GenerationFolder(Count)).isDir() ? Count : 0;
}

bool TAutoBackup::MakeRoom(const QString& Fresh)
{
    TDiskSpace Space = DiskSpaceOf(Fresh);
    if (Space.Free < 0)
        return true;
    const qint64 Cluster = std::max<qint64>(Space.ClusterSize, 1);
    const auto Rounded = [Cluster](qint64 Size) { return (Size + Cluster - 1) / Cluster * Cluster; };
    qint64 Needed = 0;
    for (const QStringList& Group : FileGroups())
        for (const QString& Name : Group)
            if (const QFileInfo Info(DataPath + Name); Info.isFile())
                Needed += Rounded(Info.size());
    if (Space.Free >= Needed)
        return true;

    // A full disk must not stop the backups for good: the oldest generation goes first when its room is
    // what the copy lacks, as it would go in the shift.
    const int Dropped = GenerationDroppedByShift();
    if (Dropped == 0)
        return false;
    qint64 Freed = 0;
    QDirIterator It(GenerationFolder(Dropped), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (It.hasNext()) {
        It.next();
        Freed += Rounded(It.fileInfo().size());
    }
    if (Space.Free + Freed < Needed)
        return false;
    DeleteFolderTree(GenerationFolder(Dropped));
    Space = DiskSpaceOf(Fresh);
    return Space.Free < 0 || Space.Free >= Needed;
}

void TAutoBackup::RotateGenerations()
{
    for (int G = Count - 1; G >= 1; --G) {
        const QString From = GenerationFolder(G);
        const QString To = GenerationFolder(G + 1);
        if (!QFileInfo(From).isDir())
            continue;
        if (QFileInfo::exists(To)) {
            DeleteFolderTree(To);
            if (QFileInfo::exists(To) && HoldsPlainFile(To))
                continue;
        }
        if (!CreateOwnerOnlyFolder(To))
            continue;
        for (const QStringList& Group : FileGroups())
            for (const QString& Name : Group)
                if (QFileInfo::exists(From + Name))
                    MoveReplacing(From + Name, To + Name);
    }
}

bool TAutoBackup::FillFolder(const QString& Folder) const
{
    for (const QStringList& Group : FileGroups()) {
        for (const QString& Name : Group) {
            const QString Source = DataPath + Name;
            if (!QFileInfo::exists(Source))
                continue;
            // The copy is the owner's alone whatever the original allowed, and stays replaceable by
            // the next backup when the original was read-only.
            if (!CopyFileOwnerOnly(Source, Folder + Name))
                return false;
        }
    }
    return true;
}
