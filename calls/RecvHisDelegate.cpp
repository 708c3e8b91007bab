#include "calls/RecvHisDelegate.h"

#include "main/common/CommonForms.h"
#include "main/controls/MyHdCtrl.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

TRecvHisDelegate::TRecvHisDelegate(QObject* Parent, TMyHeaderControl* Header, TRecvHisDrawing Drawing)
    : QAbstractItemDelegate(Parent), FHeader(Header), FDrawing(std::move(Drawing))
{
}

void TRecvHisDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const
{
    const bool Selected = Option.state & QStyle::State_Selected;
    const QPalette& Palette = Option.palette;
    Painter->fillRect(Option.rect, Selected ? Palette.highlight() : Palette.base());
    QColor Text = Selected ? Palette.color(QPalette::HighlightedText) : Palette.color(QPalette::Text);
    if (FDrawing.Marked && FDrawing.Marked(Index))
        Text = Selected ? QColor(255, 255, 0) : QColor(0, 0, 255);
    const QStringList Cells = Index.data(Qt::DisplayRole).toString().split(u'\t');
    const TMyCustomHeaderSections& Sections = FHeader->Sections();
    const int Margin = ScaleByDpi(FDrawing.Margin, true);
    int Left = Option.rect.left();
    Painter->save();
    Painter->setFont(Option.font);
    for (int I = 0; I < Sections.Count(); ++I) {
        const int Width = Sections[I].Width();
        const QRect Cell(Left + Margin, Option.rect.top(), Width - 2 * Margin, Option.rect.height());
        if (Cell.width() > 0) {
            const QString Value = Option.fontMetrics.elidedText(Cells.value(I), Qt::ElideRight, Cell.width());
            const Qt::Alignment Align = I == 0 && FDrawing.FirstRight ? Qt::AlignRight : Qt::AlignLeft;
            Painter->setPen(Text);
            Painter->drawText(Cell, Qt::TextSingleLine | Qt::AlignVCenter | Align, Value);
        }
        Painter->setPen(QColor(128, 128, 128));
        Painter->drawLine(Left + Width - 1, Option.rect.top(), Left + Width - 1, Option.rect.bottom());
        Left += Width;
    }
    if (Option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect Focus;
        Focus.rect = Option.rect;
        Focus.state = Option.state;
        Focus.backgroundColor = Selected ? Palette.color(QPalette::Highlight) : Palette.color(QPalette::Base);
        QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Focus, Painter);
    }
    Painter->restore();
}

QSize TRecvHisDelegate::sizeHint(const QStyleOptionViewItem& Option, const QModelIndex&) const
{
    return {FHeader->Sections().TotalWidth(), Option.fontMetrics.height() + 2};
}
