#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Folder values keep their trailing "/", as the program's folder values always have.
[[nodiscard]] QString IncludeTrailingDelimiter(const QString& Folder);

// The folder of the running executable (/proc/self/exe), with a trailing "/".
[[nodiscard]] QString GetProgramFolder();

// $XDG_DATA_HOME, or ~/.local/share when it is unset or blank; trimmed, with a trailing "/".
// Linux has one such folder per user, so the common and the user application data folders agree.
[[nodiscard]] QString GetCommonAppDataFolder();
[[nodiscard]] QString GetUserAppDataFolder();

// Creates Folder and its missing parents readable by the owner only (0700). An existing folder
// is left as it is. Answers whether the folder exists afterwards.
[[nodiscard]] bool CreateOwnerOnlyFolder(const QString& Folder);

// Whether two paths name one file or folder: the same device and inode where both exist (a link or
// another spelling of the path makes no difference), else the same cleaned absolute path.
[[nodiscard]] bool IsSameFile(const QString& A, const QString& B);

// Files of one folder by their names: patterns such as "*.DB", "*" for every file, matched as
// the file system does, with regard to case.
struct TFolderFiles
{
    QString Folder;
    QStringList Names;
};

// Whether a write at Path would land on one of Files: Path names one of them, through links and
// under any spelling (compared by device and inode), or is where its journal ("-journal", "-wal",
// "-shm") would be, which the file's next opener would take for its own. A user-chosen target is
// checked with the files the programs own before it is written.
[[nodiscard]] bool IsFileOfFolders(const QString& Path, const QList<TFolderFiles>& Files);
