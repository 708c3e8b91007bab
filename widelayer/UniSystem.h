#pragma once

#include <QByteArray>
#include <QString>

// Text conversions of the wide layer: UTF-16 against byte strings of a Windows code-page number, as
// files and settings written by the program's Windows versions name them.

inline constexpr int CP_UTF7 = 65000;
inline constexpr int CP_UTF8 = 65001;
inline constexpr int CP_SJIS = 932;

// The code page that number 0 stands for. The program records it once at start.
void SetDefaultCodePage(int CodePage);
[[nodiscard]] int DefaultCodePage();

// 0 is the default code page; 932 goes through the program's CP932 codec, UTF-7 and UTF-8 through
// their own code, any other number through iconv's "CP<n>". A number iconv does not know raises
// EUniGeneralError. A character the code page lacks is written as that code page writes an unknown
// one ("〓" in CP932, "?" elsewhere); an invalid byte is read as U+FFFD.
[[nodiscard]] QByteArray WideStringToStringEx(const QString& Text, int CodePage);
[[nodiscard]] QString StringToWideStringEx(const QByteArray& Bytes, int CodePage);
[[nodiscard]] bool IsCodePageSupported(int CodePage);

// UTF-7 as mail and old settings files carry it. Decoding raises EUniGeneralError "Invalid UTF7".
[[nodiscard]] QByteArray WideStringToUTF7(const QString& Text);
[[nodiscard]] QString UTF7ToWideString(const QByteArray& Bytes);

// Swaps the bytes of every unit of a 0-terminated UTF-16 string in place (big-endian text).
void StrSwapByteOrder(char16_t* Str);

// A string from Length units at Str; Length -1 reads up to the terminator.
[[nodiscard]] QString WideStringFromBuffer(const char16_t* Str, qsizetype Length);
