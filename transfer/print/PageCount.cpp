#include "transfer/print/PageCount.h"

#include "main/common/CommonFonts.h"
#include "main/common/CommonText.h"
#include "transfer/print/PrtInfo.h"

#include <QFontMetrics>
#include <QRawFont>
#include <cmath>

int RuleWidth(int LineType, double Scale)
{
    static constexpr int Factors[] = {1, 2, 3, 1, 2, 1};
    const int Factor = LineType >= 0 && LineType < 6 ? Factors[LineType] : 1;
    return static_cast<int>(RoundOff(Scale * Factor));
}

std::optional<TRuleSpan> GetRuleExtent(int Position, int Rule, int LineType, double ScaleX, double ScaleY)
{
    if (Rule >= RuleTop && Rule <= RuleBottom) {
        const int W = RuleWidth(LineType, ScaleY);
        return TRuleSpan{Position - (W - 1) / 2, Position + W / 2};
    }
    const int W = RuleWidth(LineType, ScaleX);
    switch (Rule) {
    case RuleLeft:
        return TRuleSpan{Position, Position + W};
    case RuleInnerVert:
        return TRuleSpan{Position - (W - 1) / 2, Position + W / 2};
    case RuleRight:
        return TRuleSpan{Position - W, Position};
    default:
        return std::nullopt;
    }
}

QFont ListBodyFont(const TListFontSpec& Spec, int DpiY)
{
    QFont Font;
    SetFontAttributes(&Font, Spec.Charset, ResolveFontName(Spec.Name.trimmed()), Spec.Style, qMax(1, Spec.Size));
    Font.setPixelSize(qMax(1, MulDiv(Spec.Size, DpiY, 72)));
    return Font;
}

QFont ListTitleFont(const QFont& Body, int BodyStyle)
{
    QFont Title = Body;
    // The height is negative as the body's is stored; div truncates towards zero.
    const int Height = -Body.pixelSize();
    Title.setPixelSize(qMax(1, -(Height / 3) * 4));
    if (BodyStyle == 0)
        Title.setBold(true);
    else if (BodyStyle == FONT_STYLE_ITALIC)
        Title.setBold(true), Title.setItalic(true);
    return Title;
}

QSize TListTextMetrics::LetterBox(const QFont& Font) const
{
    const QFontMetrics Metrics(Font);
    const QChar Letter(0xFF73); // ｳ
    int Unit = Metrics.horizontalAdvance(Letter);
    // A font without the letter gets it from a fallback font, often narrower than its own digits:
    // the unit is then the widest half-width character a column holds, so that every width in
    // half-width characters still takes its text whole.
    if (!QRawFont::fromFont(Font).supportsCharacter(Letter)) {
        const QFontMetricsF Exact(Font);
        for (char16_t C = 0x21; C < 0x7F; ++C)
            Unit = qMax(Unit, static_cast<int>(std::ceil(Exact.horizontalAdvance(QChar(C)))));
    }
    return {Unit, Metrics.height()};
}

int CountRecordsPerPage(const TRecordsPerPageInput& In, const TListTextMetrics& Metrics)
{
    int A = In.PageHeight - static_cast<int>(RoundOff(In.OffsetY / 254.0 * In.DpiY));
    bool TopFree = true;
    const QFont Body = ListBodyFont(In.Font, In.DpiY);
    if (In.HasTitle) {
        const int T = Metrics.LetterBox(ListTitleFont(Body, In.Font.Style)).height();
        A -= 2 * T;
        TopFree = false;
    }
    // One text line as the renderer draws it, and the gap under a record row.
    const int C = Metrics.LetterBox(Body).height();
    const int Q = static_cast<int>(RoundOff(C / 2.0));
    if (In.ViewDate) {
        if (In.DatePosY == 0) {
            A -= C + Q;
            TopFree = false;
        } else {
            A -= C;
        }
    }
    if (In.ViewPage) {
        if (In.PagePosY == 0)
            TopFree = false;
        if (In.ViewDate && In.DatePosY != In.PagePosY)
            A -= In.PagePosY == 0 ? C + Q : C;
        else if (In.ViewDate)
            A -= In.DatePosX == In.PagePosX ? C : 0;
        else
            A -= In.PagePosY == 0 ? C + Q : C;
    }
    if (TopFree) {
        // As the renderer starts the table: half the gap rounded up (the same for an even gap).
        A -= Q - Q / 2;
        if (In.TopRule)
            A -= (RuleWidth(In.TopRuleType, In.ScaleY) - 1) / 2;
    }
    int E = A + Q / 2 - C - Q;
    if (In.BottomRule)
        E -= RuleWidth(In.BottomRuleType, In.ScaleY) / 2;
    const int Row = C * qBound(1, In.RowCount, 3) + Q;
    return Row > 0 ? E / Row : 0;
}

QString RecordsPerPageLabel(int RecordsPerPage)
{
    return QString::number(RecordsPerPage) + QStringLiteral(" 件");
}

int PageCountOf(int Records, int RecordsPerPage)
{
    if (RecordsPerPage <= 0 || Records <= 0)
        return 1;
    return (Records + RecordsPerPage - 1) / RecordsPerPage;
}
