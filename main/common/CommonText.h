#pragma once

#include "platform/text/Prefectures.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// Text procedures shared by every window of the program. Texts are QString; where a procedure counts
// bytes it counts them as CP932 would hold the text (a character CP932 lacks counts as two), and a
// cut never leaves half a double-byte character.

// Bits of DigitsOnly's Keep: which single-byte characters survive.
inline constexpr int KeepDigits = 1; // "0".."9"
inline constexpr int KeepHyphen = 2; // "-"
inline constexpr int KeepPeriod = 4; // "."

// The single-byte characters of Text that Keep allows, in order. Full-width digits are dropped, not
// converted: a search number holds only what the caller typed as ASCII.
[[nodiscard]] QString DigitsOnly(const QString& Text, int Keep = KeepDigits);

// Full-width letters and the symbols of FullWidthAlnumTable become their half-width forms; every
// other character, full-width digits included, is kept.
[[nodiscard]] QString ToHalfWidthAlnum(const QString& Text);

// Full-width digits U+FF10..U+FF19 become "0".."9"; everything else stays.
[[nodiscard]] QString WideDigitsToAnsi(const QString& Text);

// Blanks and control characters (up to U+0020) off both ends. An ideographic space stays: in a name
// or a company it is part of the text the user wrote.
[[nodiscard]] QString TrimBlanks(const QString& Text);

// Text without any space or ideographic space.
[[nodiscard]] QString StripSpacesToAnsi(const QString& Text);

// The Japanese locale's width mappings (see platform/text/Width.h).
[[nodiscard]] QString ToFullWidth(const QString& Text);
[[nodiscard]] QString ToHalfWidth(const QString& Text);

// The first N bytes of Text; one byte fewer when the N-th byte would be the first half of a
// double-byte character.
[[nodiscard]] QString MbcsLeft(const QString& Text, int N);

// How often Sub occurs in Text, overlapping hits included ("aa" occurs twice in "aaa").
[[nodiscard]] int CountOccurrences(const QString& Text, const QString& Sub);

// SplitText's modes.
inline constexpr int SplitAtByte = 0;           // cut at CutLength bytes into Fields[0] and Fields[1]
inline constexpr int SplitPlain = 1;            // split at every Separator
inline constexpr int SplitQuotedUnquote = 2;    // separated values with double quotes, quotes removed
inline constexpr int SplitQuotedKeepQuotes = 3; // the same, quotes kept

// Splits the line in Fields[0] into Fields[0..Last]; Fields ends up with exactly Last + 1 entries (at
// least one) and the last one holds the rest of the line. Nothing is ever put beyond Fields[Last]: with
// Last = 0 the whole line stays in Fields[0]. An unknown mode leaves every field empty.
void SplitText(QStringList& Fields, int Last, int Mode, const QString& Separator, int CutLength = 0);
// The same, taking the line and returning the fields.
[[nodiscard]] QStringList SplitText(const QString& Line, int Last, int Mode, const QString& Separator,
                                    int CutLength = 0);

// X rounded half away from zero (RoundOff(-2.5) = -3). Not-a-number gives 0; values beyond the
// 64-bit range give its nearest end.
[[nodiscard]] std::int64_t RoundOff(double X);
