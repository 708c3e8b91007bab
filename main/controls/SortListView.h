#pragma once

#include "main/controls/HdSections.h"
#include "main/controls/SortState.h"

#include <QHeaderView>
#include <QTreeWidget>

class TCustomSortListView;

// The header of the sortable list view: draws the 11 x 11 arrow of the sorted column at the right
// of its caption, and tells divider presses, drags and double clicks apart from section clicks.
class TSortHeaderView : public QHeaderView
{
    Q_OBJECT
public:
    explicit TSortHeaderView(TCustomSortListView* View);
    // The section whose right divider lies under X, else -1.
    [[nodiscard]] int DividerAt(int X) const;

protected:
    void paintSection(QPainter* Painter, const QRect& Rect, int LogicalIndex) const override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;

private:
    TCustomSortListView* FView;
};

// The arrow bitmaps "SORT_ASC" and "SORT_DESC": 11 x 11, silver standing for transparent.
[[nodiscard]] QImage SortArrowBitmap(TSortDir Dir);

// A report-style list view with a sort state: the sorted column, its direction, the directions a
// click cycles through, and an arrow in the sorted column's header. Sorting the rows is the
// owner's business (OnSortChange); the control keeps and shows the state.
class TCustomSortListView : public QTreeWidget
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

private:
    friend class TSortHeaderView;
    void RefreshColumns();
    void TrackBegin(int Column);
    void TrackEnd(int Column);
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
