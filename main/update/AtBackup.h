#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The automatic backup at start-up: AutoBUCount generations of the data files under the settings
// folder's "bakData/", generation 1 the newest. It runs before any window has opened a table, so the
// table files are closed and a plain copy of each file is a consistent copy.
class TAutoBackup
{
public:
    // SettingsPath and DataPath with their trailing "/"; Count is AUTO BACKUP/AutoBUCount (1..9).
    TAutoBackup(const QString& SettingsPath, const QString& DataPath, int Count);

    // Runs one backup; the caller shows the hourglass. The new generation 1 is filled in a folder of its
    // own and only takes the place of the old one when every file was copied, so a failing copy (a full
    // disk, an unreadable file) leaves every existing generation as it was. When the disk lacks the room
    // for the copy, the generation that the shift would drop anyway is dropped first if that makes
    // room; otherwise nothing is copied. Answers whether a new generation 1 was made.
    bool Execute();

    [[nodiscard]] QString GetBackupRoot() const { return BackupRoot; }

    // The room left on the disk that holds Folder and the size of its allocation unit; Free < 0 when
    // unknown. Tests put a small disk in its place.
    struct TDiskSpace
    {
        qint64 Free = -1;
        qint64 ClusterSize = 1;
    };
    std::function<TDiskSpace(const QString& Folder)> DiskSpaceOf;

    // The file groups of one generation, in the order they are copied and moved.
    [[nodiscard]] static QList<QStringList> FileGroups();

private:
    [[nodiscard]] QString GenerationFolder(int Generation) const;
    void RotateGenerations();
    [[nodiscard]] bool FillFolder(const QString& Folder) const;
    [[nodiscard]] bool MakeRoom(const QString& Fresh);
    [[nodiscard]] int GenerationDroppedByShift() const;

    QString SettingsPath;
    QString DataPath;
    int Count;
    QString BackupRoot;
};
