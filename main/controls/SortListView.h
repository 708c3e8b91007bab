#pragma once

#include "main/controls/HdSections.h"
#include "main/controls/SortState.h"

#include <QHeaderView>
#include <QPixmap>
#include <QTreeWidget>

class TCustomSortListView;

// The header of the sortable list view: draws the 11 x 11 arrow of the sorted column at the right
// of its caption, and tells divider presses, drags and double clicks apart from section clicks.
// What the sort header asks of the list view it serves: both sortable list views, with and without
// wide text, implement it, so dividers, drags and arrows behave the same in both.
class ISortHeaderOwner
{
public:
    virtual ~ISortHeaderOwner() = default;
    [[nodiscard]] virtual const TSortState& HeaderSortState() const = 0;
    // The view's own arrow picture for a direction, transparent where nothing is drawn.
    [[nodiscard]] virtual QPixmap HeaderArrow(TSortDir Dir) const = 0;
    virtual void HeaderTrackBegin(int Column) = 0;
    // True while a divider drag started by HeaderTrackBegin runs.
    [[nodiscard]] virtual bool HeaderTracking() const = 0;
    virtual void HeaderTrackEnd() = 0;
    virtual void HeaderDividerDblClick(int Column) = 0;
};

class TSortHeaderView : public QHeaderView
{
    Q_OBJECT
public:
    TSortHeaderView(QWidget* Parent, ISortHeaderOwner* Owner);
    // The section whose right divider lies under X, else -1.
    [[nodiscard]] int DividerAt(int X) const;

protected:
    void paintSection(QPainter* Painter, const QRect& Rect, int LogicalIndex) const override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;

private:
    ISortHeaderOwner* FOwner;
};

// The arrow bitmaps "SORT_ASC" and "SORT_DESC": 11 x 11, silver standing for transparent.
[[nodiscard]] QImage SortArrowBitmap(TSortDir Dir);

// A report-style list view with a sort state: the sorted column, its direction, the directions a
// click cycles through, and an arrow in the sorted column's header. Sorting the rows is the
// owner's business (OnSortChange); the control keeps and shows the state.
class TCustomSortListView : public QTreeWidget, public ISortHeaderOwner
{
    Q_OBJECT
public:
    explicit TCustomSortListView(QWidget* Parent = nullptr);

    [[nodiscard]] bool ShowDragImage() const { return FShowDragImage; }
    void SetShowDragImage(bool Value) { FShowDragImage = Value; }
    [[nodiscard]] int SortIndex() const { return FSort.SortIndex(); }
    void SetSortIndex(int Value);
    [[nodiscard]] TSortDir SortDir() const { return FSort.SortDir(); }
    void SetSortDir(TSortDir Value);
    [[nodiscard]] TSortDirs SortDirs() const { return FSort.SortDirs(); }
    void SetSortDirs(TSortDirs Value);
    [[nodiscard]] const TSortState& SortState() const { return FSort; }

    // Sets a column's width as the program does it (not the user's drag): OnColumnWidthChanging
    // may refuse it, and OnColumnWidthChange follows when it took effect.
    void SetColumnWidth(int Column, int Width);
    // A click on a column header, as the header raises it.
    void ColClick(int Column);

signals:
    void SortChange(QObject* Sender, int OldIndex, int NewIndex);
    void ColumnWidthChange(QObject* Sender, int Column, int NewWidth);
    void ColumnWidthChanging(QObject* Sender, int Column, int NewWidth, bool* AllowChange);
    void DividerDblClick(QObject* Sender, int Column);
    void DividerMouseDown(QObject* Sender, int Column);
    void DividerMouseUp(QObject* Sender, int Column);
    // After a header click has moved the sort state.
    void ColumnClick(QObject* Sender, int Column);

protected:
    [[nodiscard]] const TSortState& HeaderSortState() const override { return FSort; }
    [[nodiscard]] QPixmap HeaderArrow(TSortDir Dir) const override;
    void HeaderTrackBegin(int Column) override;
    [[nodiscard]] bool HeaderTracking() const override { return FTrackColumn >= 0; }
    void HeaderTrackEnd() override;
    void HeaderDividerDblClick(int Column) override { emit DividerDblClick(this, Column); }

private:
    void RefreshColumns();
    void HeaderSectionResized(int Column, int OldWidth, int NewWidth);

    TSortState FSort;
    bool FShowDragImage = false;
    TColumnWidthTracker FWidthTracker;
    int FTrackColumn = -1;
    bool FProgramResize = false;
};

class TSortListView : public TCustomSortListView
{
    Q_OBJECT
public:
    using TCustomSortListView::TCustomSortListView;
};
