#pragma once

#include <QString>

struct sqlite3;

// Text in an index sorts as its CP932 bytes would, the order the tables have always had. The
// tables keep UTF-8, so the collations encode on the fly. The case-insensitive variant folds
// ASCII letters only; a kana or a full-width letter compares as it is.
inline constexpr char Cp932CollationName[] = "CP932";
inline constexpr char Cp932CiCollationName[] = "CP932_CI";

// Compares two UTF-8 texts in CP932 byte order: negative, 0 or positive. A character CP932 lacks
// sorts after every CP932 character, by its code point. Without folding, texts whose CP932 bytes
// agree (two code points that CP932 writes alike) are told apart by their UTF-8 bytes, so that
// only equal texts compare equal.
[[nodiscard]] int CompareCp932(const char* A, int LengthA, const char* B, int LengthB, bool FoldAscii);
[[nodiscard]] int CompareCp932(const QString& A, const QString& B, bool FoldAscii);

// Text as its CP932 bytes read back: characters that CP932 writes alike (the wave dash and the
// full-width tilde, the minus sign and the full-width hyphen-minus, the double vertical line and the
// parallel sign, ...) become one, so that texts typed through different input methods or decoded from
// a CP932 file compare as their bytes do. Characters CP932 lacks stay as they are.
[[nodiscard]] QString Cp932Fold(const QString& Text);
// The same as an SQL function of one argument on every connection the collations are registered on.
inline constexpr char Cp932FoldFunctionName[] = "cp932_fold";

// The texts of a search, as SQL functions on the same connections. A field is read as a search
// reads it: up to its first NUL, without the characters U+0001..U+0020 at either end, folded; a
// NULL reads as an empty text. cp932_begins(Field, Part): 1 when the field's first characters
// are Part, byte for byte (Part given folded and trimmed). cp932_contains(Part, Field...): 1 when
// Part occurs in the fields joined without a separator, starting at a character. Each is one call
// a row, where the same test spelt in SQL's own functions costs a dozen.
inline constexpr char Cp932SearchBeginsFunctionName[] = "cp932_begins";
inline constexpr char Cp932SearchContainsFunctionName[] = "cp932_contains";

// Registers both collations and the fold function on a connection; every connection that touches a
// table's indexes needs them.
void RegisterCp932Collations(sqlite3* Db);
