#pragma once

// The one spelling under which place names are indexed by vxdict and looked up by the stand-ins.
// Users of CP932 type the same place in several ways: 桜ヶ丘, 桜ケ丘 and 桜が丘; 1-2, １－２ and １ー２;
// 髙 for the 高 that Japan Post writes. Index and query go through this same function, so a variant
// matches wherever the plain form would. Header-only and without Qt: the stand-ins load no Qt.

#include <string>

namespace dicstore {

namespace normdetail {

inline void PutUtf8(std::string& Out, char32_t Cp)
{
    if (Cp < 0x80) {
        Out += static_cast<char>(Cp);
    } else if (Cp < 0x800) {
        Out += static_cast<char>(0xC0 | (Cp >> 6));
        Out += static_cast<char>(0x80 | (Cp & 0x3F));
    } else if (Cp < 0x10000) {
        Out += static_cast<char>(0xE0 | (Cp >> 12));
        Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Cp & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (Cp >> 18));
        Out += static_cast<char>(0x80 | ((Cp >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Cp & 0x3F));
    }
}

// The next code point at I, or U+FFFD for a broken sequence (one byte is taken then).
inline char32_t NextCp(const std::string& Text, size_t& I)
{
    const auto B = static_cast<unsigned char>(Text[I]);
    const size_t Len = B < 0x80 ? 1 : (B >> 5) == 0x6 ? 2 : (B >> 4) == 0xE ? 3 : (B >> 3) == 0x1E ? 4 : 0;
    if (Len == 0 || I + Len > Text.size()) {
        ++I;
        return 0xFFFD;
    }
    char32_t Cp = Len == 1 ? B : Len == 2 ? (B & 0x1F) : Len == 3 ? (B & 0x0F) : (B & 0x07);
    for (size_t K = 1; K < Len; ++K) {
        const auto C = static_cast<unsigned char>(Text[I + K]);
        if ((C & 0xC0) != 0x80) {
            ++I;
            return 0xFFFD;
        }
        Cp = (Cp << 6) | (C & 0x3F);
    }
    I += Len;
    return Cp;
}

// Old and variant forms that stand for the one form Japan Post's lists use.
inline char32_t CommonForm(char32_t Cp)
{
    switch (Cp) {
    case U'髙':
        return U'高';
    case U'﨑':
        return U'崎';
    case U'嵜':
        return U'崎';
    case U'𠮷':
        return U'吉';
    case U'德':
        return U'徳';
    case U'濵':
        return U'浜';
    case U'邊':
        return U'辺';
    case U'邉':
        return U'辺';
    case U'齋':
        return U'斎';
    case U'齊':
        return U'斉';
    case U'\uFA10':
        return U'塚'; // 塚 of the compatibility block
    case U'曻':
        return U'昇';
    case U'槗':
        return U'橋';
    case U'淸':
        return U'清';
    case U'\uF9DC':
        return U'隆';
    case U'\uFA19':
        return U'神';
    case U'\uFA1B':
        return U'福';
    default:
        return Cp;
    }
}

} // namespace normdetail

inline std::string NormalisePlace(const std::string& Utf8)
{
    using namespace normdetail;
    std::string Out;
    Out.reserve(Utf8.size());
    for (size_t I = 0; I < Utf8.size();) {
        char32_t Cp = NextCp(Utf8, I);
        // Blanks carry nothing in an address; people put them between its parts or not.
        if (Cp == U' ' || Cp == U'\u3000' || Cp == U'\t')
            continue;
        if (Cp >= 0xFF01 && Cp <= 0xFF5E)
            Cp -= 0xFEE0; // full-width ASCII
        if (Cp >= U'a' && Cp <= U'z')
            Cp -= 0x20;
        switch (Cp) {
        // The small ke of place names, its large form and the particle が are written interchangeably.
        case U'ヶ':
        case U'ヵ':
        case U'が':
        case U'ガ':
            Cp = U'ケ';
            break;
        // Dashes and the long-vowel mark: whatever a keyboard gives between block numbers.
        case U'\u2010':
        case U'\u2011':
        case U'\u2012':
        case U'\u2013':
        case U'\u2014':
        case U'\u2015':
        case U'\u2212':
        case U'ー':
        case U'ｰ':
            Cp = U'-';
            break;
        case U'之':
        case U'ノ':
            Cp = U'の';
            break;
        default:
            Cp = CommonForm(Cp);
        }
        PutUtf8(Out, Cp);
    }
    return Out;
}

// Where a Kyoto street-style address turns from its street to its town: after the last
// "上ル", "下ル", "東入ル", "西入ル" (or their "る" forms, or "入" alone). npos when there is none.
inline size_t KyotoTownStart(const std::string& Text)
{
    size_t Best = std::string::npos;
    for (const char* Mark : {"上ル", "下ル", "入ル", "上る", "下る", "入る", "東入", "西入"}) {
        const std::string M = Mark;
        const size_t At = Text.rfind(M);
        if (At != std::string::npos && (Best == std::string::npos || At + M.size() > Best))
            Best = At + M.size();
    }
    return Best != std::string::npos && Best < Text.size() ? Best : std::string::npos;
}

} // namespace dicstore
