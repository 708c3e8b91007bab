#pragma once

#include <QString>

// The Japanese locale's character-width mapping (what LCMapString does with LCMAP_HALFWIDTH and
// LCMAP_FULLWIDTH under code page 932), on our own tables rather than Unicode NFKC: NFKC would also
// fold circled digits, ligatures and compatibility ideographs, which the Windows mapping leaves alone.
//
// Covered: printable ASCII and the full-width forms U+FF01..U+FF5E, the space and the ideographic
// space, the katakana with their voiced and semi-voiced forms, and the katakana punctuation.
// Hiragana, kanji and everything else pass through unchanged.

// Full width to half width. A voiced katakana becomes two half-width characters (ガ -> ｶﾞ), so the
// result may be longer than the input. ￥ becomes "\" because both are the yen sign's byte 0x5C once
// the text is CP932.
[[nodiscard]] QString MapToHalfWidth(const QString& Text);

// Half width to full width. A half-width kana followed by a voiced or semi-voiced mark that has a
// composed form becomes that one character (ｶﾞ -> ガ, ﾊﾟ -> パ, ｳﾞ -> ヴ); a mark without one becomes
// ゛ or ゜ on its own. "\" stays as it is: on a Japanese system it is the yen sign, and the locale has
// no single full-width form for it.
[[nodiscard]] QString MapToFullWidth(const QString& Text);
