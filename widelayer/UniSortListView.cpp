#include "widelayer/UniSortListView.h"

#include "widelayer/UniSortArrows.h"

TUniCustomSortListView::TUniCustomSortListView(QWidget* Parent) : TUniCustomListView(Parent)
{
    auto* Header = new TSortHeaderView(this, this);
    setHeader(Header);
    SetupHeader();
    // Columns stay where they are: the sort index names a column, not a place.
    Header->setSectionsMovable(false);
    Header->setSectionsClickable(true);
    FSort.OnSortChange = [this](int OldIndex, int NewIndex) {
        if (OnSortChange)
            OnSortChange(OldIndex, NewIndex);
    };
    connect(Header, &QHeaderView::sectionClicked, this, &TUniCustomSortListView::ColClick);
    connect(Header, &QHeaderView::sectionResized, this, &TUniCustomSortListView::HeaderSectionResized);
}

void TUniCustomSortListView::RefreshColumns()
{
    header()->viewport()->update();
}

void TUniCustomSortListView::SetSortIndex(int Value)
{
    FSort.SetSortIndex(Value, Columns().Count());
    RefreshColumns();
}

void TUniCustomSortListView::SetSortDir(TSortDir Value)
{
    FSort.SetSortDir(Value);
    RefreshColumns();
}

void TUniCustomSortListView::SetSortDirs(TSortDirs Value)
{
    FSort.SetSortDirs(Value);
    RefreshColumns();
}

void TUniCustomSortListView::ColClick(int Column)
{
    if (FTrackColumn >= 0)
        return;
    FSort.ColumnClick(Column);
    RefreshColumns();
    if (OnColumnClick)
        OnColumnClick(Columns().Item(Column));
}

void TUniCustomSortListView::SetColumnWidth(int Column, int Width)
{
    if (Width == header()->sectionSize(Column))
        return;
    bool Allow = true;
    if (OnColumnWidthChanging)
        OnColumnWidthChanging(Column, Width, Allow);
    if (Allow)
        TUniCustomListView::SetColumnWidth(Column, Width);
}

QPixmap TUniCustomSortListView::HeaderArrow(TSortDir Dir) const
{
    return QPixmap::fromImage(UniSortArrowBitmap(Dir));
}

void TUniCustomSortListView::HeaderTrackBegin(int Column)
{
    FTrackColumn = Column;
    FWidthTracker.TrackBegin(header()->sectionSize(Column));
}

void TUniCustomSortListView::HeaderTrackEnd()
{
    const int Column = FTrackColumn;
    FTrackColumn = -1;
    if (FWidthTracker.TrackEnd(header()->sectionSize(Column)) && OnColumnWidthChange)
        OnColumnWidthChange(Column);
    if (OnDividerMouseUp)
        OnDividerMouseUp(Column);
}

void TUniCustomSortListView::HeaderDividerDblClick(int Column)
{
    if (OnDividerDblClick)
        OnDividerDblClick(Column);
}

void TUniCustomSortListView::HeaderSectionResized(int Column, int OldWidth, int NewWidth)
{
    if (FTrackColumn >= 0) {
        if (OnDividerMouseDown)
            OnDividerMouseDown(Column);
        return;
    }
    if (NewWidth != OldWidth && OnColumnWidthChange)
        OnColumnWidthChange(Column);
}

void LoadSortListViewProperties(TUniCustomSortListView& View, const TUniSortListViewProperties& Properties)
{
    View.SetShowDragImage(Properties.ShowDragImage);
    View.SetSortIndex(Properties.SortIndex);
    View.SetSortDir(Properties.SortDir);
    View.SetSortDirs(Properties.SortDirs);
    for (const auto& [Caption, Width] : Properties.Columns)
        View.Columns().Add(Caption, Width);
}
