#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The machine's registry, kept as the file Pelmar/registry.ini under the common application data
// folder: a section is a key's full path as written on Windows ("HKEY_LOCAL_MACHINE\SOFTWARE\..."),
// a line Name=value is one string value of that key. Key paths and value names compare without
// regard to letter case, as the registry does.
//
// HKEY_LOCAL_MACHINE belongs to the administrator: its keys are looked up first in the machine's
// registry file, at a path fixed when the program is built (/etc/xdg/Pelmar/registry.ini), then in
// the registry file of the first folder of XDG_CONFIG_DIRS, then in the user's file; a value an
// earlier file holds stands whatever a later one says. The environment can thus add a system-wide
// file but never hide the machine's. The programs write the system-wide files only to replace a
// value they read there (ReplaceRegistryString), and only where the file's owner lets them.

[[nodiscard]] QString RegistryFileName();
// The machine's registry file, and every system-wide file in the order they are read.
[[nodiscard]] QString SystemRegistryFileName();
[[nodiscard]] QStringList SystemRegistryFileNames();

// The folder of the machine's file (/etc/xdg). Only the test build of a program moves it, so that a
// test can stand in for the administrator without touching the machine.
[[nodiscard]] QString MachineConfigFolder();
void SetMachineConfigFolder(const QString& Folder);

// Whether the key exists (its section is present), so that a caller can tell "no key" from "no value".
[[nodiscard]] bool RegistryKeyExists(const QString& KeyPath);

// The names of the key's sub-keys: the sections one level below its path, each once, in the order
// of the files (the system-wide file's first for HKEY_LOCAL_MACHINE). Empty for a missing key.
[[nodiscard]] QStringList RegistrySubKeys(const QString& KeyPath);

// The file whose value the reader sees (the first in the order above that holds it).
[[nodiscard]] std::optional<QString> RegistryValueFileName(const QString& KeyPath, const QString& ValueName);

// The string value of a key; std::nullopt when the key or the value is missing.
[[nodiscard]] std::optional<QString> ReadRegistryString(const QString& KeyPath, const QString& ValueName);

// Sets a string value in the user's file, creating the key when needed. The file is replaced as a
// whole through a temporary file, so a crash leaves either the old or the new registry. Answers
// whether it was written. Values keep no blanks at either end, as the INI class stores them.
[[nodiscard]] bool WriteRegistryString(const QString& KeyPath, const QString& ValueName, const QString& Value);

// Replaces a value that FileName already holds, keeping the file's mode. False when the value is
// not there or the file cannot be written (another owner's file, a read-only disk).
[[nodiscard]] bool ReplaceRegistryString(const QString& FileName, const QString& KeyPath, const QString& ValueName,
                                         const QString& Value);
