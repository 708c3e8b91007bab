#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The machine's registry, kept as the file Pelmar/registry.ini under the common application data
// folder: a section is a key's full path as written on Windows ("HKEY_LOCAL_MACHINE\SOFTWARE\..."),
// a line Name=value is one string value of that key. Key paths and value names compare without
// regard to letter case, as the registry does.
//
// HKEY_LOCAL_MACHINE belongs to the administrator: its keys are looked up first in the system-wide
// registry file (the first folder of XDG_CONFIG_DIRS, else /etc/xdg, + Pelmar/registry.ini), then in
// the user's file; a value the system-wide file holds stands whatever the user's file says. The
// programs never write the system-wide file.

[[nodiscard]] QString RegistryFileName();
[[nodiscard]] QString SystemRegistryFileName();

// Whether the key exists (its section is present), so that a caller can tell "no key" from "no value".
[[nodiscard]] bool RegistryKeyExists(const QString& KeyPath);

// The names of the key's sub-keys: the sections one level below its path, each once, in the order
// of the files (the system-wide file's first for HKEY_LOCAL_MACHINE). Empty for a missing key.
[[nodiscard]] QStringList RegistrySubKeys(const QString& KeyPath);

// The string value of a key; std::nullopt when the key or the value is missing.
[[nodiscard]] std::optional<QString> ReadRegistryString(const QString& KeyPath, const QString& ValueName);

// Sets a string value in the user's file, creating the key when needed. The file is replaced as a
// whole through a temporary file, so a crash leaves either the old or the new registry. Answers
// whether it was written. Values keep no blanks at either end, as the INI class stores them.
[[nodiscard]] bool WriteRegistryString(const QString& KeyPath, const QString& ValueName, const QString& Value);
