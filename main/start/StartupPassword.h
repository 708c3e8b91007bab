#pragma once

#include <QString>

// The start-up password: a text in the machine's registry, written and removed by the separate
// password setting tool, read here at every start. The tool of earlier versions wrote a scrambled
// text that anyone who can read the file can turn back into the password; such a text is replaced
// by a salted hash of the password the first time it is read, wherever the file lets us.

// The stored text as the settings reader found it at this start; empty when there is none.
extern QString StartupPasswordText;

inline const QString StartupPasswordKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestor\\VxRelvo\\16.0");
inline const QString StartupPasswordValue = QStringLiteral("Type");

// Reads the stored text into Text, trimmed of spaces and control characters at both ends (a missing
// value reads as empty). When the key does not exist Text keeps its value and false is answered.
// A scrambled password is hashed and written back in its place when its file can be written; Text
// is then the hash.
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

// A stored text that is a hash of the password (libsodium's password hash string).
[[nodiscard]] bool IsStartupPasswordHash(const QString& Text);

// The stored text for Password: a salted hash, different at every call. Empty when the hash could not
// be made (out of memory).
[[nodiscard]] QString HashStartupPassword(const QString& Password);

enum class TStoredPassword
{
    None,     // no password: the program starts without asking
    Set,      // a password is asked for
    Malformed // the text is neither a scrambled text nor a hash the program can check; nobody may pass
};

// What the stored text asks of the start-up, for both forms.
[[nodiscard]] TStoredPassword StoredPasswordState(const QString& Text);

// Whether Typed is the password of the stored text, letter case included; never for a text that sets
// no password or is malformed.
[[nodiscard]] bool StoredPasswordMatches(const QString& Text, const QString& Typed);
