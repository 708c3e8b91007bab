#include "transfer/print/ListPrtRules.h"

#include "main/common/CommonText.h"
#include "transfer/print/PageCount.h"

#include <QPainter>

namespace {

// The frames the "外枠" and "内側" buttons switch together.
constexpr std::array<int, 4> OuterRules{RuleTop, RuleBottom, RuleLeft, RuleRight};
constexpr std::array<int, 2> InnerRules{RuleInnerHorz, RuleInnerVert};

template <std::size_t N> void ToggleGroup(TRuleState& Rules, const std::array<int, N>& Group, int Type)
{
    bool AllOn = true;
    for (int Rule : Group)
        AllOn = AllOn && Rules.Line[Rule] && Rules.LineType[Rule] == Type;
    for (int Rule : Group) {
        Rules.Line[Rule] = !AllOn;
        Rules.LineType[Rule] = Type;
    }
}

} // namespace

bool ClickRuleButton(TRuleState& Rules, int Tag, int Type)
{
    const TRuleState Before = Rules;
    if (Tag >= 0 && Tag < 6) {
        // A rule that is on in another type takes the selected type rather than going off, so one
        // click does what the user sees in the grid.
        if (!(Rules.Line[Tag] && Rules.LineType[Tag] != Type))
            Rules.Line[Tag] = !Rules.Line[Tag];
        Rules.LineType[Tag] = Type;
    } else if (Tag == RuleButtonNone) {
        Rules.Line.fill(false);
    } else if (Tag == RuleButtonOuter) {
        ToggleGroup(Rules, OuterRules, Type);
    } else if (Tag == RuleButtonInner) {
        ToggleGroup(Rules, InnerRules, Type);
    }
    const auto Changed = [&](int Rule) {
        return Before.Line[Rule] != Rules.Line[Rule] || Before.LineType[Rule] != Rules.LineType[Rule];
    };
    return Changed(RuleTop) || Changed(RuleBottom);
}

QString MarginText(int Tenths)
{
    return QString::asprintf("%.1f", Tenths / 10.0);
}

std::optional<int> AcceptMarginText(const QString& Text, int MaxLength)
{
    QString T = Text.trimmed();
    if (T.isEmpty() || T != DigitsOnly(T, KeepDigits | KeepPeriod) || DigitsOnly(T).isEmpty())
        return std::nullopt;
    const qsizetype Point = T.indexOf(QLatin1Char('.'));
    if (Point < 0) {
        if (T.size() > MaxLength - 2)
            return std::nullopt;
        T += QStringLiteral(".0");
    } else if (T.indexOf(QLatin1Char('.'), Point + 1) >= 0) {
        return std::nullopt;
    } else if (Point == T.size() - 1) {
        if (T.size() > MaxLength - 1)
            return std::nullopt;
        T += QLatin1Char('0');
    } else if (T.size() - Point - 1 != 1) {
        return std::nullopt;
    }
    bool Ok = false;
    const int Value = DigitsOnly(T).toInt(&Ok);
    return Ok ? std::optional<int>(Value) : std::nullopt;
}

Qt::PenStyle LineTypePenStyle(int LineType)
{
    switch (LineType) {
    case 3:
    case 4:
        return Qt::DotLine;
    case 5:
        return Qt::DashDotLine;
    default:
        return Qt::SolidLine;
    }
}

QList<int> LineTypeOffsets(int LineType)
{
    switch (LineType) {
    case 1:
    case 4:
        return {0, 1};
    case 2:
        return {-1, 0, 1};
    default:
        return {0};
    }
}

void DrawLineTypeCell(QPainter& Painter, const QRect& Cell, int LineType, bool Selected, const QColor& Background)
{
    Painter.save();
    Painter.fillRect(Cell, Background);
    if (Selected) {
        Painter.fillRect(Cell, QColor(0xBF, 0xDF, 0xFF)); // 0xFFDFBF, blue first
        Painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        Painter.setBrush(Qt::NoBrush);
        Painter.drawRect(Cell.adjusted(0, 0, -1, -1));
    }
    Painter.setPen(QPen(Qt::black, 1, LineTypePenStyle(LineType), Qt::FlatCap));
    const int Middle = Cell.top() + Cell.height() / 2;
    // A flat-capped line stops short of its end point, so the last pixel is 4 inside the right edge.
    const int End = Cell.left() + Cell.width() - 4;
    for (int Offset : LineTypeOffsets(LineType))
        Painter.drawLine(Cell.left() + 4, Middle + Offset, End, Middle + Offset);
    Painter.restore();
}

void DrawLinePreview(QPainter& Painter, const QSize& Size, const TRuleState& Rules)
{
    const int W = Size.width();
    const int H = Size.height();
    const int Mx = W / 2; // ceiling((W - 1) / 2)
    const int My = H / 2;
    Painter.save();
    Painter.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1));
    // Corner ticks meeting 6 pixels in from both edges.
    for (const int X : {2, W - 3}) {
        const int Inner = X == 2 ? 6 : W - 7;
        for (const int Y : {2, H - 3}) {
            const int InnerY = Y == 2 ? 6 : H - 7;
            Painter.drawLine(X, InnerY, Inner, InnerY);
            Painter.drawLine(Inner, Y, Inner, InnerY);
        }
    }
    // Mid-side ticks, each crossed by a 7-pixel bar.
    Painter.drawLine(Mx, 2, Mx, 4);
    Painter.drawLine(Mx - 3, 4, Mx + 3, 4);
    Painter.drawLine(Mx, H - 3, Mx, H - 5);
    Painter.drawLine(Mx - 3, H - 5, Mx + 3, H - 5);
    Painter.drawLine(2, My, 4, My);
    Painter.drawLine(4, My - 3, 4, My + 3);
    Painter.drawLine(W - 3, My, W - 5, My);
    Painter.drawLine(W - 5, My - 3, W - 5, My + 3);

    struct TPlace
    {
        int Rule;
        bool Horizontal;
        int At;
        int Inward; // the direction extra lines go: +1, -1, or 0 for the inner rules
    };
    const std::array<TPlace, 6> Places{{{RuleTop, true, 6, 1},
                                        {RuleInnerHorz, true, My, 0},
                                        {RuleBottom, true, H - 7, -1},
                                        {RuleLeft, false, 6, 1},
                                        {RuleInnerVert, false, Mx, 0},
                                        {RuleRight, false, W - 7, -1}}};
    for (const TPlace& P : Places) {
        if (!Rules.Line[P.Rule])
            continue;
        const int Type = Rules.LineType[P.Rule];
        Painter.setPen(QPen(Qt::black, 1, LineTypePenStyle(Type), Qt::FlatCap));
        QList<int> Offsets{0};
        const int Extra = Type == 2 ? 2 : (Type == 1 || Type == 4) ? 1 : 0;
        if (P.Inward != 0) {
            for (int I = 1; I <= Extra; ++I)
                Offsets << I * P.Inward;
        } else {
            if (Extra >= 1)
                Offsets << 1;
            if (Extra == 2)
                Offsets << -1;
        }
        for (int Offset : Offsets) {
            const int At = P.At + Offset;
            if (P.Horizontal)
                Painter.drawLine(6, At, W - 7, At);
            else
                Painter.drawLine(At, 6, At, H - 7);
        }
    }
    Painter.restore();
}
