#include "transfer/print/ListRender.h"

#include "main/common/CommonText.h"

#include <QDate>
#include <QPainter>

namespace {

QColor PlatformColor(int Value)
{
    return QColor(Value & 0xFF, (Value >> 8) & 0xFF, (Value >> 16) & 0xFF);
}

Qt::Alignment Horizontal(int Pos)
{
    return Pos == 1 ? Qt::AlignHCenter : Pos == 2 ? Qt::AlignRight : Qt::AlignLeft;
}

// A Windows rectangle: right and bottom are outside.
QRect Box(int Left, int Top, int Right, int Bottom)
{
    return QRect(Left, Top, qMax(0, Right - Left), qMax(0, Bottom - Top));
}

void DrawClipped(QPainter& Painter, const QRect& Cell, int Flags, const QString& Text)
{
    if (Text.isEmpty() || Cell.isEmpty())
        return;
    Painter.save();
    Painter.setClipRect(Cell, Qt::IntersectClip);
    Painter.drawText(Cell, Flags, Text);
    Painter.restore();
}

Qt::PenStyle RuleStyle(int LineType)
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

} // namespace

QString PageNumberText(int PageType, int PageNo, int PageCount)
{
    switch (PageType) {
    case 1:
        return QStringLiteral("- %1 -").arg(PageNo);
    case 2:
        return QStringLiteral("%1 ページ").arg(PageNo);
    case 3:
        return QStringLiteral("Page. %1 / %2").arg(PageNo).arg(PageCount);
    case 4:
        return QStringLiteral("- %1 / %2 -").arg(PageNo).arg(PageCount);
    case 5:
        return QStringLiteral("%1 / %2 ページ").arg(PageNo).arg(PageCount);
    default:
        return QStringLiteral("Page. %1").arg(PageNo);
    }
}

QString PrintDateText(double Days)
{
    const QDate Date = QDate(1899, 12, 30).addDays(static_cast<qint64>(Days));
    return QString::asprintf("%4d/%2d/%2d", Date.year(), Date.month(), Date.day());
}

QStringList TListPageRenderer::GetRowTexts(const TLayout& Layout, TListRecordWalk& Walk)
{
    QStringList Texts;
    for (const LayoutEntry& Entry : Layout)
        Texts << (Entry.ItemNo == SerialItemNo ? QString::number(Walk.RunningNumber())
                                               : Walk.GetItemText(Entry.ItemNo));
    return Texts;
}

TRuleSpan TListPageRenderer::DrawRule(QPainter& Painter, const TListPage& Page, int Position, const QRect& Band)
{
    const TPrintSettings& S = *Page.Settings;
    const int LineType = S.LineType[Position];
    const double ScaleX = Page.DpiX / 96.0;
    const double ScaleY = Page.DpiY / 96.0;
    const bool Horizontal = Position <= RuleBottom;
    // The band is given as a Windows rectangle: its right and bottom edges are outside.
    const int Centre = Band.top() + (Band.bottom() + 1 - Band.top()) / 2;
    const auto Span = GetRuleExtent(Horizontal ? Centre : Band.left(), Position, LineType, ScaleX, ScaleY);
    if (!Span)
        return {};
    if (!S.Line[Position])
        return *Span;
    Painter.save();
    Painter.setBrush(Qt::NoBrush);
    const bool Solid = RuleStyle(LineType) == Qt::SolidLine;
    if (Page.Screen) {
        // The preview's picture is replayed at a fraction of the printer's pixels, where rows one
        // pixel high fall between the screen's: the rule is one area and a line through its middle
        // with a pen of one screen pixel, so that every rule shows at every zoom.
        const QRect Area = Horizontal ? QRect(Band.left(), Span->First, Band.width(), Span->Last - Span->First + 1)
                                      : QRect(Span->First, Band.top(), Span->Last - Span->First + 1, Band.height());
        if (Solid)
            Painter.fillRect(Area, Qt::black);
        QPen Pen(Qt::black, 1, RuleStyle(LineType));
        Pen.setCosmetic(true);
        Painter.setPen(Pen);
        const QPointF Middle = QRectF(Area).center();
        if (Horizontal)
            Painter.drawLine(QLineF(Area.left(), Middle.y(), Area.right() + 1, Middle.y()));
        else
            Painter.drawLine(QLineF(Middle.x(), Area.top(), Middle.x(), Area.bottom() + 1));
        Painter.restore();
        return *Span;
    }
    Painter.setPen(QPen(Qt::black, 1, RuleStyle(LineType)));
    // A solid rule is filled row by row, so that a vector surface (a PDF page) covers exactly the
    // pixel rows a printer does; the broken styles need the pen, drawn through the middle of the row.
    for (int At = Span->First; At <= Span->Last; ++At) {
        if (Horizontal && Solid)
            Painter.fillRect(QRect(Band.left(), At, Band.width(), 1), Qt::black);
        else if (Horizontal)
            Painter.drawLine(QLineF(Band.left(), At + 0.5, Band.right() + 1, At + 0.5));
        else if (Solid)
            Painter.fillRect(QRect(At, Band.top(), 1, Band.height()), Qt::black);
        else
            Painter.drawLine(QLineF(At + 0.5, Band.top(), At + 0.5, Band.bottom() + 1));
    }
    Painter.restore();
    return *Span;
}

bool TListPageRenderer::Render(QPainter& Painter, const TListPage& Page, TListRecordWalk& Walk) const
{
    const TPrintSettings& S = *Page.Settings;
    const QRect& F = Page.Frame;
    const int FrameRight = F.x() + F.width();
    const int FrameBottom = F.y() + F.height();
    Painter.setBrush(Qt::NoBrush);
    Painter.setPen(QPen(Qt::black, 1));
    if (Page.Outline) {
        QPen Frame(QColor(192, 192, 192), 1, Qt::DotLine);
        Frame.setCosmetic(true);
        Painter.setPen(Frame);
        Painter.drawRect(F.adjusted(0, 0, -1, -1));
        Painter.setPen(QPen(Qt::black, 1));
    }

    const TListFontSpec Spec{S.FontName, S.FontSize, S.FontStyle, S.FontCharset};
    const QFont Body = ListBodyFont(Spec, Page.DpiY);
    const int X0 = F.x() + static_cast<int>(RoundOff(S.OffsetX / 254.0 * Page.DpiX));
    const int Y0 = F.y() + static_cast<int>(RoundOff(S.OffsetY / 254.0 * Page.DpiY));
    int Y = Y0;

    const QString Title = S.Title.trimmed();
    if (!Title.isEmpty()) {
        const QFont TitleFont = ListTitleFont(Body, S.FontStyle);
        const int Tall = 2 * FMetrics.LetterBox(TitleFont).height();
        Painter.setFont(TitleFont);
        DrawClipped(Painter, Box(X0, Y, FrameRight, Y + Tall),
                    Qt::TextSingleLine | Qt::AlignVCenter | Horizontal(S.TitlePosX), Title);
        Y += Tall;
    }
    Painter.setFont(Body);
    const QSize Letter = FMetrics.LetterBox(Body);
    const int U = Letter.width();
    const int H = Letter.height();
    const int G = static_cast<int>(RoundOff(H / 2.0));
    const int LineFlags = Qt::TextSingleLine | Qt::AlignTop;

    if (S.ViewDate) {
        const QString Date = PrintDateText(S.PrintDate);
        const bool PageSameColumn = S.ViewPage && S.PagePosX == S.DatePosX && S.PagePosY == S.DatePosY;
        if (S.DatePosY == 1) {
            const int Top = FrameBottom - H - (PageSameColumn ? H : 0);
            DrawClipped(Painter, Box(X0, Top, FrameRight, Top + H), LineFlags | Horizontal(S.DatePosX), Date);
        } else {
            DrawClipped(Painter, Box(X0, Y, FrameRight, Y + H), LineFlags | Horizontal(S.DatePosX), Date);
            if (!S.ViewPage || S.PagePosY == 1)
                Y += H + G;
            else if (S.PagePosX == S.DatePosX)
                Y += H;
        }
    }
    if (S.ViewPage) {
        const QString Number = PageNumberText(S.PageType, Page.PageNo, Page.PageCount);
        const int Flags = LineFlags | Horizontal(S.PagePosX);
        if (S.PagePosY == 1) {
            DrawClipped(Painter, Box(X0, FrameBottom - H, FrameRight, FrameBottom), Flags, Number);
        } else {
            DrawClipped(Painter, Box(X0, Y, FrameRight, Y + H), Flags, Number);
            Y += H + G;
        }
    }
    const TLayout& Layout = Page.Layout;
    if (Layout.isEmpty())
        return false;
    if (Y == Y0) {
        // Half the gap, rounded up: the rule above the header is centred in a gap of g, and with an
        // odd g half of it rounded down would put its top row above the margin.
        Y += G - G / 2;
        if (S.Line[RuleTop])
            Y += (RuleWidth(S.LineType[RuleTop], Page.DpiY / 96.0) - 1) / 2;
    }

    // Columns: one u apart, cut at the edge; those that begin beyond it are left out.
    const int PadL = S.Line[RuleLeft] ? (2 * U) / 3 : 0;
    const int PadR = S.Line[RuleRight] ? (2 * U) / 3 : 0;
    const int Edge = FrameRight - PadR;
    QList<int> Lefts;
    QList<int> Rights;
    long long Sum = 0;
    for (const LayoutEntry& Entry : Layout) {
        const long long Left = X0 + PadL + Sum;
        Lefts << static_cast<int>(qMin<long long>(Left, INT_MAX / 2));
        Rights << static_cast<int>(qMin<long long>(Left + static_cast<long long>(U) * Entry.ItemSize, Edge));
        Sum += static_cast<long long>(U) * Entry.ItemSize + U;
    }
    const int TableRight = static_cast<int>(qMin<long long>(X0 + PadL + Sum - U + PadR, FrameRight));
    const auto Band = [&](int Top, int Bottom) { return Box(X0, Top, TableRight, Bottom); };

    if (S.HeaderColorExists)
        Painter.fillRect(Band(Y - G / 2, Y + H + G / 2), PlatformColor(S.HeaderColor));
    for (int K = 0; K < Layout.size() && Lefts[K] < Edge; ++K)
        DrawClipped(Painter, Box(Lefts[K], Y, Rights[K], Y + H), Qt::TextSingleLine | Qt::AlignVCenter | Qt::AlignLeft,
                    Page.Headers.value(K));

    int RuleTopRow = Y - G / 2;
    if (S.Line[RuleTop])
        RuleTopRow = DrawRule(Painter, Page, RuleTop, Band(Y - G, Y)).First;
    const int HeaderBottom = Y + H;
    Y = HeaderBottom + G;
    int FillTop = Y - G / 2;
    if (S.Line[RuleTop])
        FillTop = DrawRule(Painter, Page, RuleTop, Band(HeaderBottom, Y)).Last + 1;

    const int Lines = qBound(1, S.RowCount, 3);
    const int Interval = qMax(1, S.HorzInterval);
    int RowBottom = HeaderBottom;
    const int Rows = qMax(0, Page.RecordsPerPage);
    for (int R = 0; R < Rows && !Walk.AtEnd(); ++R) {
        const QStringList Texts = GetRowTexts(Layout, Walk);
        if (!S.Colors.isEmpty())
            Painter.fillRect(Band(FillTop, Y + H * Lines + G / 2), PlatformColor(S.Colors[R % S.Colors.size()]));
        for (int K = 0; K < Layout.size() && Lefts[K] < Edge; ++K) {
            DrawClipped(Painter, Box(Lefts[K], Y, Rights[K], Y + H * Lines),
                        Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Texts[K]);
            if (Rights[K] >= Edge)
                break;
        }
        RowBottom = Y + H * Lines;
        Y = RowBottom + G;
        Walk.Next();
        if (S.Line[RuleInnerHorz] && (R + 1) % Interval == 0 && R + 1 < Rows && !Walk.AtEnd())
            FillTop = DrawRule(Painter, Page, RuleInnerHorz, Band(RowBottom, Y)).Last + 1;
        else
            FillTop = Y - G / 2;
    }

    int TableBottom = Y - G / 2;
    if (S.Line[RuleBottom])
        TableBottom = DrawRule(Painter, Page, RuleBottom, Band(RowBottom, Y)).Last;

    const auto Vertical = [&](int Position, int X) {
        DrawRule(Painter, Page, Position, Box(X, RuleTopRow, X + 1, TableBottom + 1));
    };
    if (S.Line[RuleLeft])
        Vertical(RuleLeft, X0);
    if (S.Line[RuleRight])
        Vertical(RuleRight, TableRight);
    if (S.Line[RuleInnerVert]) {
        for (int K = 0; K + 1 < Layout.size() && Rights[K] < Edge; ++K)
            Vertical(RuleInnerVert, Rights[K] + U / 2);
    }
    return Rows > 0 && !Walk.AtEnd();
}
