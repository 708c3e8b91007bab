#pragma once

#include <QFont>
#include <QList>
#include <QString>

// Font style bits.
inline constexpr int FONT_STYLE_BOLD = 1;
inline constexpr int FONT_STYLE_ITALIC = 2;
inline constexpr int FONT_STYLE_UNDERLINE = 4;
inline constexpr int FONT_STYLE_STRIKEOUT = 8;

// Character sets as the stored settings name them.
inline constexpr int ANSI_CHARSET = 0;
inline constexpr int SYMBOL_CHARSET = 2;
inline constexpr int SHIFTJIS_CHARSET = 128;

// Sets Font's family, point size and style (other bits ignored). Fonts here carry no character set;
// Charset is accepted for the callers' sake and has no effect. 0 for no font, else 1. A Windows font
// name of the settings ("ＭＳ ゴシック") draws in the installed font that stands in for it.
int SetFontAttributes(QFont* Font, int Charset, const QString& Name, int StyleBits, int Size);
[[nodiscard]] int GetFontStyleBits(const QFont& Font);

struct TFontListEntry
{
    QString Name;
    int Charset = ANSI_CHARSET;
};

// The installed scalable font families that write Japanese (Charset 128) or Latin (0), and symbol fonts
// (2) when WithSymbol, without vertical "@" faces, only fixed-pitch ones when FixedPitchOnly; in the
// font database's order. "ＭＳ ゴシック" comes first (Japanese, fixed pitch) when a Japanese monospace
// font stands in for it, so that settings naming it find it in the list.
// Families of several foundries are listed once, by the name without the foundry tag.
[[nodiscard]] QList<TFontListEntry> ListFonts(bool FixedPitchOnly, bool WithSymbol);
// "Noto Sans Mono [GOOG]" → "Noto Sans Mono"; a name without a tag as it is.
[[nodiscard]] QString FamilyWithoutFoundry(const QString& Family);

inline const QString MsGothicFontName = QStringLiteral("ＭＳ ゴシック");

// The installed family that draws text set in the Windows font Name; Name itself when it is installed
// or has no stand-in. Installs the stand-ins into the font matching the first time it is asked.
[[nodiscard]] QString ResolveFontName(const QString& Name);
// The installed Japanese monospace family ("Noto Sans Mono CJK JP" with fonts-noto-cjk); empty when none.
[[nodiscard]] QString JapaneseMonospaceFamily();
