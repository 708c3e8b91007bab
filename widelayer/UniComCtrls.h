#pragma once

#include "widelayer/UniClasses.h"
#include "widelayer/UniControls.h"

#include <QAbstractTableModel>
#include <QPoint>
#include <QTreeView>
#include <functional>
#include <memory>
#include <vector>

class TUniCustomListView;
class TUniListItem;
class TUniListModel;

// The sub-item texts of a row; every change shows in the view at once.
class TWideSubItems : public TUniStringList
{
public:
    explicit TWideSubItems(TUniListItem& Owner) : FOwner(Owner) {}

protected:
    void Changed() override;

private:
    TUniListItem& FOwner;
};

class TUniListItem
{
public:
    TUniListItem(TUniCustomListView& Owner, int Index) : FOwner(Owner), FIndex(Index), FSubItems(*this) {}
    TUniListItem(const TUniListItem&) = delete;
    TUniListItem& operator=(const TUniListItem&) = delete;

    [[nodiscard]] const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    [[nodiscard]] TWideSubItems& SubItems() { return FSubItems; }
    [[nodiscard]] const TWideSubItems& SubItems() const { return FSubItems; }
    [[nodiscard]] void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    [[nodiscard]] bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    [[nodiscard]] int Index() const { return FIndex; }
    [[nodiscard]] bool Selected() const;
    void SetSelected(bool Value);
    [[nodiscard]] TUniCustomListView& ListView() const { return FOwner; }
    void Assign(const TUniListItem& Source);

private:
    friend class TUniListItems;
    friend class TUniCustomListView;
    friend class TWideSubItems;
    void Changed();

    TUniCustomListView& FOwner;
    int FIndex;
    QString FCaption;
    TWideSubItems FSubItems;
    void* FData = nullptr;
    bool FChecked = false;
};

// The rows. In owner-data mode only their number is held and the owner supplies each row's texts.
class TUniListItems
{
public:
    explicit TUniListItems(TUniCustomListView& Owner) : FOwner(Owner) {}
    [[nodiscard]] int Count() const;
    void SetCount(int Value);
    [[nodiscard]] TUniListItem* Item(int Index) const;
    [[nodiscard]] TUniListItem* operator[](int Index) const { return Item(Index); }
    TUniListItem* Add();
    TUniListItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TUniCustomListView;
    void Renumber(int From);

    TUniCustomListView& FOwner;
    std::vector<std::unique_ptr<TUniListItem>> FItems;
    int FVirtualCount = 0;
    int FUpdateCount = 0;
};

class TUniListColumn
{
public:
    [[nodiscard]] const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    [[nodiscard]] int Width() const;
    void SetWidth(int Value);
    [[nodiscard]] Qt::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(Qt::Alignment Value);
    [[nodiscard]] int Index() const { return FIndex; }

private:
    friend class TUniListColumns;
    TUniListColumn(TUniCustomListView& Owner, int Index) : FOwner(Owner), FIndex(Index) {}

    TUniCustomListView& FOwner;
    int FIndex;
    QString FCaption;
    Qt::Alignment FAlignment = Qt::AlignLeft | Qt::AlignVCenter;
};

class TUniListColumns
{
public:
    explicit TUniListColumns(TUniCustomListView& Owner) : FOwner(Owner) {}
    TUniListColumns(const TUniListColumns&) = delete;
    TUniListColumns& operator=(const TUniListColumns&) = delete;
    [[nodiscard]] int Count() const { return int(FColumns.size()); }
    [[nodiscard]] TUniListColumn* Item(int Index) const;
    [[nodiscard]] TUniListColumn* operator[](int Index) const { return Item(Index); }
    TUniListColumn* Add(const QString& Caption = QString(), int Width = 50);
    void Clear();

private:
    TUniCustomListView& FOwner;
    std::vector<std::unique_ptr<TUniListColumn>> FColumns;
};

enum class TItemChange
{
    ctText,
    ctImage,
    ctState
};
enum class TItemFind
{
    ifData,
    ifPartialString,
    ifExactString,
    ifNearest
};

using TLVCompareEvent = std::function<void(TUniListItem* Item1, TUniListItem* Item2, int Data, int& Compare)>;
using TUniLVEditedEvent = std::function<void(TUniListItem* Item, QString& S)>;
using TLVChangeEvent = std::function<void(TUniListItem* Item, TItemChange Change)>;
using TLVSelectItemEvent = std::function<void(TUniListItem* Item, bool Selected)>;
using TLVColumnRClickEvent = std::function<void(TUniListColumn* Column, QPoint Point)>;
using TLVOwnerDataEvent = std::function<void(TUniListItem* Item)>;
using TLVOwnerDataHintEvent = std::function<void(int StartIndex, int EndIndex)>;
using TUniLVOwnerDataFindEvent =
    std::function<void(TItemFind Find, const QString& FindString, int StartIndex, bool Wrap, int& Index)>;

// A report-style list view with UTF-16 items and columns, on a QTreeView and a model of its own.
class TUniCustomListView : public QTreeView, public IUniListControl
{
public:
    explicit TUniCustomListView(QWidget* Parent = nullptr);
    ~TUniCustomListView() override;

    [[nodiscard]] TUniListColumns& Columns() { return FColumns; }
    // The column at display position Index, which differs from Columns()[Index] after a drag.
    [[nodiscard]] TUniListColumn* ColumnFromIndex(int Index) const;
    [[nodiscard]] TUniListItems& Items() { return FItems; }
    void AddItem(const QString& Caption, void* Data) override;
    // Every selected item, in order, with its data.
    void CopySelection(QWidget* Destination) const;
    bool AlphaSort();
    // Repaints rows First..Last, asking the owner again for owner-data rows.
    void UpdateItems(int First, int Last);
    void Clear() { FItems.Clear(); }

    [[nodiscard]] int ItemIndex() const;
    void SetItemIndex(int Value);
    [[nodiscard]] TUniListItem* Selected() const;
    [[nodiscard]] bool OwnerData() const { return FOwnerData; }
    void SetOwnerData(bool Value);
    [[nodiscard]] bool Checkboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool Value);
    [[nodiscard]] bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    void SetRowSelect(bool Value) { setSelectionBehavior(Value ? SelectRows : SelectItems); }
    void SetMultiSelect(bool Value) { setSelectionMode(Value ? ExtendedSelection : SingleSelection); }

    TLVCompareEvent OnCompare;
    TUniLVEditedEvent OnEdited;
    TLVChangeEvent OnChange;
    TLVSelectItemEvent OnSelectItem;
    TLVColumnRClickEvent OnColumnRightClick;
    TLVOwnerDataEvent OnData;
    TLVOwnerDataHintEvent OnDataHint;
    TUniLVOwnerDataFindEvent OnDataFind;

    void keyboardSearch(const QString& Search) override;
    // A column width set by the program, not by a drag on the header.
    virtual void SetColumnWidth(int Column, int Width);

protected:
    void paintEvent(QPaintEvent* Event) override;
    // Wires the header's right click; a view that puts in a header of its own calls it again.
    void SetupHeader();

private:
    friend class TUniListModel;
    friend class TUniListItem;
    friend class TUniListItems;
    friend class TUniListColumn;
    friend class TUniListColumns;
    friend class TWideSubItems;

    // The row behind an index: the stored item, or in owner-data mode the scratch item filled for it.
    TUniListItem* RowItem(int Row) const;
    void ItemChanged(TUniListItem& Item, TItemChange Change);
    void ColumnsChanged();
    void RaiseDataHint(int First, int Last);
    // Owner-data rows are asked for again, after a new hint.
    void ForgetRows() const
    {
        FTempRow = -1;
        FHintFirst = FHintLast = -1;
    }
    void SelectionChanged(const QItemSelection& Selected, const QItemSelection& Deselected);

    TUniListColumns FColumns{*this};
    TUniListItems FItems{*this};
    TUniListModel* FModel;
    std::unique_ptr<TUniListItem> FTempItem;
    mutable int FTempRow = -1;
    mutable int FHintFirst = -1;
    mutable int FHintLast = -1;
    bool FOwnerData = false;
    bool FCheckboxes = false;
    bool FReadOnly = false;
    bool FFetching = false;
};
