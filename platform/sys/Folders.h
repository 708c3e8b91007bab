#pragma once

#include <QString>

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
