#pragma once

#include "main/controls/HdSections.h"
#include "main/controls/SortListView.h"
#include "main/controls/SortState.h"
#include "widelayer/UniComCtrls.h"

// The wide list view with a sort state and the sort header that the plain sortable list view uses:
// the same column-click cycle, divider events and width vetoes, with arrows of its own.
class TUniCustomSortListView : public TUniCustomListView, public ISortHeaderOwner
{
public:
    explicit TUniCustomSortListView(QWidget* Parent = nullptr);

    [[nodiscard]] bool ShowDragImage() const { return FShowDragImage; }
    void SetShowDragImage(bool Value) { FShowDragImage = Value; }
    [[nodiscard]] int SortIndex() const { return FSort.SortIndex(); }
    void SetSortIndex(int Value);
    [[nodiscard]] TSortDir SortDir() const { return FSort.SortDir(); }
    void SetSortDir(TSortDir Value);
    [[nodiscard]] TSortDirs SortDirs() const { return FSort.SortDirs(); }
    void SetSortDirs(TSortDirs Value);
    [[nodiscard]] const TSortState& SortState() const { return FSort; }

    // OnColumnWidthChanging may refuse it; OnColumnWidthChange follows when it took effect.
    void SetColumnWidth(int Column, int Width) override;
    // A click on a column header, as the header raises it.
    void ColClick(int Column);

    std::function<void(int OldIndex, int NewIndex)> OnSortChange;
    std::function<void(TUniListColumn* Column)> OnColumnClick;
    std::function<void(int Column)> OnColumnWidthChange;
    std::function<void(int Column, int NewWidth, bool& AllowChange)> OnColumnWidthChanging;
    std::function<void(int Column)> OnDividerDblClick;
    std::function<void(int Column)> OnDividerMouseDown;
    std::function<void(int Column)> OnDividerMouseUp;

protected:
    [[nodiscard]] const TSortState& HeaderSortState() const override { return FSort; }
    [[nodiscard]] QPixmap HeaderArrow(TSortDir Dir) const override;
    void HeaderTrackBegin(int Column) override;
    [[nodiscard]] bool HeaderTracking() const override { return FTrackColumn >= 0; }
    void HeaderTrackEnd() override;
    void HeaderDividerDblClick(int Column) override;

private:
    void RefreshColumns();
    void HeaderSectionResized(int Column, int OldWidth, int NewWidth);

    TSortState FSort;
    bool FShowDragImage = false;
    TColumnWidthTracker FWidthTracker;
    int FTrackColumn = -1;
};

class TUniSortListView : public TUniCustomSortListView
{
public:
    using TUniCustomSortListView::TUniCustomSortListView;
};

// The stored settings of a sortable list view, applied in the order a saved window applies them:
// the sort state first, the columns last.
struct TUniSortListViewProperties
{
    bool ShowDragImage = false;
    int SortIndex = 0;
    TSortDir SortDir = sdAsc;
    TSortDirs SortDirs{sdAsc, sdDesc};
    QList<std::pair<QString, int>> Columns; // caption, width
};
void LoadSortListViewProperties(TUniCustomSortListView& View, const TUniSortListViewProperties& Properties);
