#pragma once

#include <QColor>
#include <QList>
#include <QRect>
#include <QString>
#include <array>
#include <optional>

class QPainter;

// The rules of the list print settings window that stand apart from its controls: the rule
// switches, the margin edits' text, the drawn line samples and the colour dialog's custom colours.

// The six rules the "罫線・色" page edits, before they go into the settings.
struct TRuleState
{
    std::array<bool, 6> Line{};
    std::array<int, 6> LineType{};

    bool operator==(const TRuleState&) const = default;
};

inline constexpr int RuleButtonNone = 6;  // "なし"
inline constexpr int RuleButtonOuter = 7; // "外枠"
inline constexpr int RuleButtonInner = 8; // "内側"

// A click on the rule button of Tag (0-5 one rule, 6 none, 7 outer frame, 8 inner rules) with the
// line type Type selected. Answers whether the top or bottom rule changed, on / off or type: only
// those two change how many records a page holds.
bool ClickRuleButton(TRuleState& Rules, int Tag, int Type);

// A margin in 0.1 mm as its edit shows it, "12.0".
[[nodiscard]] QString MarginText(int Tenths);
// The value, in 0.1 mm, of a margin edit's text of at most MaxLength characters; none when the text
// must go back to the last accepted value. The range is the up-down's to test.
[[nodiscard]] std::optional<int> AcceptMarginText(const QString& Text, int MaxLength);

// The line types' pen: 0-2 solid, 3-4 dotted, 5 dash-dot.
[[nodiscard]] Qt::PenStyle LineTypePenStyle(int LineType);
// The rows, relative to the middle row, a line type draws its sample on: 1 and 4 add the row below,
// 2 the rows above and below too.
[[nodiscard]] QList<int> LineTypeOffsets(int LineType);
// One cell of the line-type grid: the background (the selection colour inside a dotted frame when
// Selected) and the sample from 4 pixels inside either edge at the cell's middle.
void DrawLineTypeCell(QPainter& Painter, const QRect& Cell, int LineType, bool Selected, const QColor& Background);
// The schematic of the rules on a panel of Size: the silver guide marks, then each rule that is on.
void DrawLinePreview(QPainter& Painter, const QSize& Size, const TRuleState& Rules);
