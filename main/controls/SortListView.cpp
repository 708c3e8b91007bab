#include "main/controls/SortListView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

namespace {

constexpr int ArrowSize = 11;
constexpr QRgb Silver = 0xFFC0C0C0;

QPixmap ArrowPixmap(TSortDir Dir)
{
    // Silver is the transparent colour of the bitmaps.
    QImage Image = SortArrowBitmap(Dir).convertToFormat(QImage::Format_ARGB32);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (Image.pixel(X, Y) == Silver)
                Image.setPixel(X, Y, qRgba(0, 0, 0, 0));
    return QPixmap::fromImage(Image);
}

} // namespace

QImage SortArrowBitmap(TSortDir Dir)
{
    QImage Image(ArrowSize, ArrowSize, QImage::Format_RGB32);
    Image.fill(Silver);
    if (Dir == sdNone)
        return Image;
    QPainter Painter(&Image);
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(QColor(128, 128, 128));
    // Ascending points up, descending down.
    const QPolygon Up{{5, 2}, {10, 8}, {0, 8}};
    const QPolygon Down{{0, 2}, {10, 2}, {5, 8}};
    Painter.drawPolygon(Dir == sdAsc ? Up : Down);
    return Image;
}

TSortHeaderView::TSortHeaderView(QWidget* Parent, ISortHeaderOwner* Owner)
    : QHeaderView(Qt::Horizontal, Parent), FOwner(Owner)
{
    setSectionsClickable(true);
    setSectionsMovable(false);
    setHighlightSections(false);
}

int TSortHeaderView::DividerAt(int X) const
{
    const int Margin = std::max(2, style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this));
    for (int Visual = count() - 1; Visual >= 0; --Visual) {
        const int Logical = logicalIndex(Visual);
        if (isSectionHidden(Logical))
            continue;
        const int Right = sectionViewportPosition(Logical) + sectionSize(Logical);
        if (X >= Right - Margin && X <= Right + Margin)
            return Logical;
    }
    return -1;
}

void TSortHeaderView::paintSection(QPainter* Painter, const QRect& Rect, int LogicalIndex) const
{
    const TSortState& Sort = FOwner->HeaderSortState();
    const bool Arrow = LogicalIndex == Sort.SortIndex() && Sort.SortDir() != sdNone;
    if (!Arrow) {
        QHeaderView::paintSection(Painter, Rect, LogicalIndex);
        return;
    }
    Painter->save();
    QHeaderView::paintSection(Painter, Rect, LogicalIndex);
    Painter->restore();
    const QPixmap Pixmap = FOwner->HeaderArrow(Sort.SortDir());
    const int X = Rect.right() - Pixmap.width() - 5;
    if (X > Rect.left() + 4)
        Painter->drawPixmap(X, Rect.top() + (Rect.height() - Pixmap.height()) / 2, Pixmap);
}

void TSortHeaderView::mousePressEvent(QMouseEvent* Event)
{
    const int Divider = Event->button() == Qt::LeftButton ? DividerAt(Event->position().toPoint().x()) : -1;
    if (Divider >= 0)
        FOwner->HeaderTrackBegin(Divider);
    QHeaderView::mousePressEvent(Event);
}

void TSortHeaderView::mouseReleaseEvent(QMouseEvent* Event)
{
    QHeaderView::mouseReleaseEvent(Event);
    if (FOwner->HeaderTracking() && Event->button() == Qt::LeftButton)
        FOwner->HeaderTrackEnd();
}

void TSortHeaderView::mouseDoubleClickEvent(QMouseEvent* Event)
{
    const int Divider = DividerAt(Event->position().toPoint().x());
    if (Divider >= 0) {
        // In place of the automatic column sizing a double click on a divider would do.
        FOwner->HeaderDividerDblClick(Divider);
        return;
    }
    QHeaderView::mouseDoubleClickEvent(Event);
}

TCustomSortListView::TCustomSortListView(QWidget* Parent) : QTreeWidget(Parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    auto* Header = new TSortHeaderView(this, this);
    setHeader(Header);
    Header->setStretchLastSection(false);
    // The tree view makes its header clickable only with its own sorting, which this control
    // replaces with its sort state.
    Header->setSectionsClickable(true);
    FSort.OnSortChange = [this](int OldIndex, int NewIndex) { emit SortChange(this, OldIndex, NewIndex); };
    connect(Header, &QHeaderView::sectionClicked, this, &TCustomSortListView::ColClick);
    connect(Header, &QHeaderView::sectionResized, this, &TCustomSortListView::HeaderSectionResized);
}

void TCustomSortListView::RefreshColumns()
{
    header()->viewport()->update();
}

void TCustomSortListView::SetSortIndex(int Value)
{
    FSort.SetSortIndex(Value, columnCount());
    RefreshColumns();
}

void TCustomSortListView::SetSortDir(TSortDir Value)
{
    FSort.SetSortDir(Value);
    RefreshColumns();
}

void TCustomSortListView::SetSortDirs(TSortDirs Value)
{
    FSort.SetSortDirs(Value);
    RefreshColumns();
}

void TCustomSortListView::ColClick(int Column)
{
    if (FTrackColumn >= 0)
        return;
    FSort.ColumnClick(Column);
    RefreshColumns();
    emit ColumnClick(this, Column);
}

QPixmap TCustomSortListView::HeaderArrow(TSortDir Dir) const
{
    return ArrowPixmap(Dir);
}

void TCustomSortListView::SetColumnWidth(int Column, int Width)
{
    const int Old = columnWidth(Column);
    if (Width == Old)
        return;
    bool Allow = true;
    emit ColumnWidthChanging(this, Column, Width, &Allow);
    if (!Allow)
        return;
    setColumnWidth(Column, Width);
}

void TCustomSortListView::HeaderTrackBegin(int Column)
{
    FTrackColumn = Column;
    FWidthTracker.TrackBegin(columnWidth(Column));
}

void TCustomSortListView::HeaderTrackEnd()
{
    const int Column = FTrackColumn;
    FTrackColumn = -1;
    if (FWidthTracker.TrackEnd(columnWidth(Column)))
        emit ColumnWidthChange(this, Column, columnWidth(Column));
    emit DividerMouseUp(this, Column);
}

void TCustomSortListView::HeaderSectionResized(int Column, int OldWidth, int NewWidth)
{
    if (FTrackColumn >= 0) {
        emit DividerMouseDown(this, Column);
        return;
    }
    if (NewWidth != OldWidth)
        emit ColumnWidthChange(this, Column, NewWidth);
}
