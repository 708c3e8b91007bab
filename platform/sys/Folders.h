#pragma once

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

// Whether a write at Path would land on a file that one of Folders holds: Path names, through
// links and under any spelling, a file directly in one of them, or is where one would put the
// journal of such a file ("-journal", "-wal", "-shm"), which the file's next opener would take for
// its own. A user-chosen target is checked with the folders the programs own before it is written.
[[nodiscard]] bool IsFileOfFolders(const QString& Path, const QStringList& Folders);
