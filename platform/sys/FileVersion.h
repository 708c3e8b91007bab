#pragma once

#include "platform/sys/FileVersionNote.h"

#include <QString>
#include <array>
#include <optional>

// The four numbers of the file's version note; std::nullopt when the file is missing, is not an ELF
// file or carries no such note.
[[nodiscard]] std::optional<std::array<int, 4>> ReadFileVersion(const QString& Path);
