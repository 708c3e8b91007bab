#pragma once

#include <QString>
#include <QStringList>

// The folders whose files are the program's own: the data folder (tables and their journals, pick
// lists, the call spool) and the settings folder.
[[nodiscard]] QStringList OwnedFolders();

// Whether a write at Path, a place the user chose, would go over one of those files.
[[nodiscard]] bool IsOwnedFile(const QString& Path);

// What the user is told when the place chosen is such a file.
[[nodiscard]] QString OwnedFileRefusal(const QString& Path);
