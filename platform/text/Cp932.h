#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The one codec of the program's byte borders: Windows code page 932 through glibc iconv.
// "SHIFT_JIS" is never used: it maps 0x5C to the yen sign and lacks the NEC and IBM rows.

// What a caller wants done with bytes that are not CP932.
enum class TDecodeMode
{
    Strict,     // fail: Cp932Decode answers std::nullopt
    Substitute, // each invalid byte becomes U+FFFD, visibly
};

struct TCp932Encoded
{
    QByteArray Bytes;
    int Substituted = 0; // characters CP932 lacks, written as the geta mark
};

// Characters CP932 cannot hold are written as "〓" (0x81 0xAC), two bytes, the width they are counted with.
inline constexpr char Cp932Substitute[] = "\x81\xAC";

[[nodiscard]] TCp932Encoded Cp932EncodeChecked(const QString& Text);
[[nodiscard]] QByteArray Cp932Encode(const QString& Text);
[[nodiscard]] std::optional<QString> Cp932Decode(const QByteArray& Bytes, TDecodeMode Mode);
// Decode, substituting invalid bytes; for files of earlier versions that a user only reads.
[[nodiscard]] QString Cp932DecodeLenient(const QByteArray& Bytes);
[[nodiscard]] bool IsValidCp932(const QByteArray& Bytes);

[[nodiscard]] bool IsCp932LeadByte(unsigned char Byte);
// Byte type of position Index (0-based) in a CP932 string, walking from its start.
enum class TByteType
{
    Single,
    Lead,
    Trail
};
[[nodiscard]] TByteType Cp932ByteType(const QByteArray& Bytes, int Index);

// Width of one code point in CP932 bytes; one CP932 lacks counts as two.
[[nodiscard]] int Cp932CharWidth(char32_t CodePoint);
[[nodiscard]] int Cp932Width(const QString& Text);
// The longest head of Text that fits into MaxBytes CP932 bytes; never half a character.
[[nodiscard]] QString Cp932Left(const QString& Text, int MaxBytes);
// The same on bytes: the first MaxBytes bytes, one fewer when the cut would split a double-byte character.
[[nodiscard]] QByteArray Cp932LeftBytes(const QByteArray& Bytes, int MaxBytes);
