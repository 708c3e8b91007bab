#pragma once

#include "platform/sys/Folders.h"

#include <QList>
#include <QString>
#include <QStringList>

// The files that are the program's own: of the data folder its tables, pick lists, call spool and
// the import's files (what else a user keeps there, an earlier export, is the user's), and
// everything in the settings folder.
[[nodiscard]] QList<TFolderFiles> OwnedFiles();

// Whether a write at Path, a place the user chose, would go over one of those files.
[[nodiscard]] bool IsOwnedFile(const QString& Path);

// What the user is told when the place chosen is such a file.
[[nodiscard]] QString OwnedFileRefusal(const QString& Path);
