#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstring>
#include <iconv.h>
#include <optional>

// The order an index on text must have, worked out with nothing of the product's: each character's
// CP932 bytes straight from iconv (ASCII letters folded to capitals first where the index ignores
// case), a character CP932 lacks after every CP932 byte by its code point; texts of equal bytes
// then by their UTF-8 bytes, except where case is ignored.

// The CP932 bytes of one code point, or nothing when CP932 lacks it.
inline std::optional<QByteArray> IconvCp932(char32_t CodePoint)
{
    const QByteArray Utf8 = QString::fromUcs4(&CodePoint, 1).toUtf8();
    static const iconv_t Cd = iconv_open("CP932", "UTF-8");
    iconv(Cd, nullptr, nullptr, nullptr, nullptr);
    char* In = const_cast<char*>(Utf8.constData());
    size_t InLeft = static_cast<size_t>(Utf8.size());
    char Out[8];
    char* OutPtr = Out;
    size_t OutLeft = sizeof(Out);
    const size_t Rc = iconv(Cd, &In, &InLeft, &OutPtr, &OutLeft);
    if (Rc == static_cast<size_t>(-1) || InLeft != 0 || OutPtr == Out)
        return std::nullopt;
    return QByteArray(Out, OutPtr - Out);
}

// The bytes Text sorts by.
inline QByteArray OracleSortBytes(const QString& Text, bool FoldAscii)
{
    QByteArray Key;
    for (char32_t CodePoint : Text.toUcs4()) {
        if (FoldAscii && CodePoint >= U'a' && CodePoint <= U'z')
            CodePoint -= U'a' - U'A';
        if (const std::optional<QByteArray> Bytes = IconvCp932(CodePoint)) {
            Key += *Bytes;
        } else {
            Key += '\xFF';
            Key += static_cast<char>(CodePoint >> 16);
            Key += static_cast<char>(CodePoint >> 8);
            Key += static_cast<char>(CodePoint);
        }
    }
    return Key;
}

// -1, 0 or 1.
inline int OracleCompare(const QString& A, const QString& B, bool FoldAscii)
{
    const auto Sign = [](int Value) { return Value < 0 ? -1 : (Value > 0 ? 1 : 0); };
    const QByteArray KeyA = OracleSortBytes(A, FoldAscii);
    const QByteArray KeyB = OracleSortBytes(B, FoldAscii);
    if (KeyA != KeyB)
        return Sign(KeyA.compare(KeyB));
    return FoldAscii ? 0 : Sign(A.toUtf8().compare(B.toUtf8()));
}
