#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The password of a self-restoring export and its optional saved copy FExport.pwd in the settings
// folder: a signed 32-bit little-endian length N, then the N bytes of the password, each inverted.
// The copy exists only while [FILE EXPORT PASSWORD] SavePassword is on, and is the owner's alone.

inline const QString ExportPasswordFileName = QStringLiteral("FExport.pwd");
inline const QString ExportPasswordSection = QStringLiteral("FILE EXPORT PASSWORD");

inline constexpr int ExportPasswordMinLength = 8;
inline constexpr int ExportPasswordMaxLength = 16;

// What is wrong with the two entries, in the order they are checked.
enum class TPasswordFault
{
    None,
    FirstEmpty,
    SecondEmpty,
    Length,
    Character,
    Mismatch,
};

[[nodiscard]] TPasswordFault CheckPasswordEntries(const QString& First, const QString& Second);
[[nodiscard]] QString PasswordFaultText(TPasswordFault Fault);
// Every character an ASCII digit or letter.
[[nodiscard]] bool PasswordCharactersValid(const QString& Password);

// The bytes of FExport.pwd for Password.
[[nodiscard]] QByteArray SavedPasswordBytes(const QString& Password);
// The password a FExport.pwd holds: only a file of exactly 4 + N bytes, N from 8 to 16, each
// character an ASCII digit or letter, is believed; anything else answers nothing.
[[nodiscard]] std::optional<QString> ParseSavedPassword(const QByteArray& Bytes);

// What the dialog starts with: the box as saved, and the saved password when it is believed.
// A box that is on without a believable password comes back off.
struct TSavedPassword
{
    bool Save = false;
    QString Password;
};
[[nodiscard]] TSavedPassword LoadSavedPassword();

// Writes SavePassword and, when on, FExport.pwd anew (mode 0600); when off, removes FExport.pwd.
// False when a file could not be written or removed.
[[nodiscard]] bool StoreSavedPassword(bool Save, const QString& Password);
