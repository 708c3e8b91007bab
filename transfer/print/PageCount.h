#pragma once

#include <QFont>
#include <QSize>
#include <QString>
#include <optional>

// How a printed list is cut into pages: the width and span of each ruled line, the fonts of a page
// and how many records one page holds. All lengths are printer pixels.

// Rule positions, in the order of the six rule switches.
inline constexpr int RuleTop = 0;
inline constexpr int RuleInnerHorz = 1;
inline constexpr int RuleBottom = 2;
inline constexpr int RuleLeft = 3;
inline constexpr int RuleInnerVert = 4;
inline constexpr int RuleRight = 5;

struct TRuleSpan
{
    int First = 0;
    int Last = 0;
};

// The width of a rule of LineType (factors 1, 2, 3, 1, 2, 1; any other type 1) at Scale = dpi / 96.
[[nodiscard]] int RuleWidth(int LineType, double Scale);
// The rows (horizontal rules) or columns (vertical ones) a rule at Position occupies; none for a
// position that is no rule. ScaleY serves the horizontal rules, ScaleX the vertical ones.
[[nodiscard]] std::optional<TRuleSpan> GetRuleExtent(int Position, int Rule, int LineType, double ScaleX,
                                                     double ScaleY);

// The list's print font as the settings give it.
struct TListFontSpec
{
    QString Name;
    int Size = 9;  // points
    int Style = 0; // bits: 1 bold, 2 italic
    int Charset = 128;
};

// The body font at the printer's resolution: its height is set in pixels, -MulDiv(Size, DpiY, 72),
// so that every surface that draws the page measures the same letters.
[[nodiscard]] QFont ListBodyFont(const TListFontSpec& Spec, int DpiY);
// The title font: the body font four thirds as high (its height div 3 × 4), bold, and italic too when
// the body is italic only.
[[nodiscard]] QFont ListTitleFont(const QFont& Body, int BodyStyle);

// The one measurement a page is laid out by: the box of the half-width letter "ｳ" in a font; in a
// font that lacks it, as wide as the widest printable ASCII character or the fallback "ｳ". The page
// count and the renderer take it from the same object, so that they agree on every font.
class TListTextMetrics
{
public:
    virtual ~TListTextMetrics() = default;
    [[nodiscard]] virtual QSize LetterBox(const QFont& Font) const;
};

// The inputs of the records-per-page count, as the settings window holds them at the moment.
struct TRecordsPerPageInput
{
    int PageHeight = 0; // the printable page height
    int DpiY = 0;
    double ScaleY = 0;
    int OffsetY = 0; // top margin, 0.1 mm
    bool HasTitle = false;
    TListFontSpec Font;
    bool ViewDate = false;
    int DatePosX = 0;
    int DatePosY = 0; // 0 top, 1 bottom
    bool ViewPage = false;
    int PagePosX = 0;
    int PagePosY = 0;
    int RowCount = 1;
    bool TopRule = false;
    int TopRuleType = 0;
    bool BottomRule = false;
    int BottomRuleType = 0;
};

// The records one page holds; 0 or less when the page is too small, answered as it comes out.
[[nodiscard]] int CountRecordsPerPage(const TRecordsPerPageInput& Input, const TListTextMetrics& Metrics);
// "52 件".
[[nodiscard]] QString RecordsPerPageLabel(int RecordsPerPage);
// The pages N records take; one page (of header only) when RecordsPerPage is 0 or less.
[[nodiscard]] int PageCountOf(int Records, int RecordsPerPage);
