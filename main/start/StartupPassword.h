#pragma once

#include <QString>

// The start-up password: a scrambled text in the machine's registry, written and removed by the
// separate password setting tool, read here at every start.

// The stored text as the settings reader found it at this start; empty when there is none.
extern QString StartupPasswordText;

inline const QString StartupPasswordKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestor\\VxRelvo\\16.0");
inline const QString StartupPasswordValue = QStringLiteral("Type");

// Reads the stored text into Text, trimmed of spaces and control characters at both ends (a missing
// value reads as empty). When the key does not exist Text keeps its value and false is answered.
bool ReadStartupPasswordText(QString& Text);

enum class TStoredTextResult
{
    Password, // Password holds the password; empty means no password is set
    Malformed // the text cannot be read as the tool writes it; nobody may pass
};

// Turns the stored text into the password. The text is groups of four hexadecimal digits, each a
// two-byte character with its second byte first; the groups are visited in the tool's interleaved
// order and the filling characters "+", "-", "*" and "/" are dropped. A group that the order names
// beyond the end of the text, a digit that is not hexadecimal or a unit that is no character makes
// the whole text malformed: the start-up must then refuse rather than guess.
[[nodiscard]] TStoredTextResult StoredTextToPassword(const QString& Text, QString& Password);
