#include "widelayer/UniComCtrls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>

// The model only answers from the view's items; all state stays with the view, so that the
// view's own calls read like the list-view interface the program's windows are written against.
class TUniListModel : public QAbstractTableModel
{
public:
    explicit TUniListModel(TUniCustomListView& View) : QAbstractTableModel(&View), FView(View) {}

    int rowCount(const QModelIndex& Parent = QModelIndex()) const override
    {
        return Parent.isValid() ? 0 : FView.FItems.Count();
    }
    int columnCount(const QModelIndex& Parent = QModelIndex()) const override
    {
        return Parent.isValid() ? 0 : std::max(1, FView.FColumns.Count());
    }

    QVariant data(const QModelIndex& Index, int Role) const override
    {
        if (!Index.isValid() || Index.row() >= rowCount())
            return QVariant();
        const int Column = Index.column();
        switch (Role) {
        case Qt::DisplayRole:
        case Qt::EditRole: {
            const TUniListItem* Item = FView.RowItem(Index.row());
            if (Column == 0)
                return Item->Caption();
            // A row with fewer sub-items than columns shows empty cells.
            return Column - 1 < Item->SubItems().Count() ? Item->SubItems().Get(Column - 1) : QString();
        }
        case Qt::CheckStateRole:
            if (Column == 0 && FView.FCheckboxes)
                return FView.RowItem(Index.row())->Checked() ? Qt::Checked : Qt::Unchecked;
            return QVariant();
        case Qt::TextAlignmentRole:
            if (TUniListColumn* Col = FView.FColumns.Item(Column))
                return QVariant::fromValue(Col->Alignment());
            return QVariant();
        default:
            return QVariant();
        }
    }

    bool setData(const QModelIndex& Index, const QVariant& Value, int Role) override
    {
        if (!Index.isValid() || Index.column() != 0)
            return false;
        TUniListItem* Item = FView.RowItem(Index.row());
        if (Role == Qt::EditRole) {
            QString S = Value.toString();
            if (FView.OnEdited)
                FView.OnEdited(Item, S);
            Item->SetCaption(S);
            return true;
        }
        if (Role == Qt::CheckStateRole) {
            Item->SetChecked(Value.toInt() == Qt::Checked);
            return true;
        }
        return false;
    }

    Qt::ItemFlags flags(const QModelIndex& Index) const override
    {
        if (!Index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags Flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
        if (Index.column() == 0 && !FView.FReadOnly)
            Flags |= Qt::ItemIsEditable;
        if (Index.column() == 0 && FView.FCheckboxes)
            Flags |= Qt::ItemIsUserCheckable;
        return Flags;
    }

    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override
    {
        if (Orientation != Qt::Horizontal)
            return QVariant();
        TUniListColumn* Column = FView.FColumns.Item(Section);
        if (Column == nullptr)
            return QVariant();
        if (Role == Qt::DisplayRole)
            return Column->Caption();
        if (Role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Column->Alignment());
        return QVariant();
    }

    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void BeginInsert(int Row) { beginInsertRows(QModelIndex(), Row, Row); }
    void EndInsert() { endInsertRows(); }
    void BeginRemove(int First, int Last) { beginRemoveRows(QModelIndex(), First, Last); }
    void EndRemove() { endRemoveRows(); }
    void RowsChanged(int First, int Last) { emit dataChanged(index(First, 0), index(Last, columnCount() - 1)); }
    void HeaderChanged() { emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1); }

    // Moves the persistent indexes (selection, current row) along with their items.
    template <typename Reorder> void Relayout(const Reorder& Apply)
    {
        emit layoutAboutToBeChanged();
        const QModelIndexList Old = persistentIndexList();
        std::vector<TUniListItem*> Before;
        for (const QModelIndex& I : Old)
            Before.push_back(FView.FItems.Item(I.row()));
        Apply();
        QModelIndexList New;
        for (qsizetype I = 0; I < Old.size(); ++I)
            New << index(Before[size_t(I)]->Index(), Old[I].column());
        changePersistentIndexList(Old, New);
        emit layoutChanged();
    }

private:
    TUniCustomListView& FView;
};

// --- items ---------------------------------------------------------------------------------------

void TWideSubItems::Changed()
{
    TUniStringList::Changed();
    FOwner.Changed();
}

void TUniListItem::SetCaption(const QString& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    Changed();
}

void TUniListItem::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    FOwner.ItemChanged(*this, TItemChange::ctState);
}

void TUniListItem::Changed()
{
    FOwner.ItemChanged(*this, TItemChange::ctText);
}

bool TUniListItem::Selected() const
{
    return FOwner.selectionModel()->isRowSelected(FIndex, QModelIndex());
}

void TUniListItem::SetSelected(bool Value)
{
    FOwner.selectionModel()->select(FOwner.model()->index(FIndex, 0),
                                    (Value ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                        QItemSelectionModel::Rows);
}

void TUniListItem::Assign(const TUniListItem& Source)
{
    FSubItems.Assign(Source.FSubItems);
    FData = Source.FData;
    FChecked = Source.FChecked;
    SetCaption(Source.FCaption);
}

int TUniListItems::Count() const
{
    return FOwner.FOwnerData ? FVirtualCount : int(FItems.size());
}

void TUniListItems::SetCount(int Value)
{
    Value = std::max(0, Value);
    if (!FOwner.FOwnerData) {
        while (Count() > Value)
            Delete(Count() - 1);
        while (Count() < Value)
            Add();
        return;
    }
    if (FUpdateCount == 0)
        FOwner.FModel->BeginReset();
    FVirtualCount = Value;
    FOwner.ForgetRows();
    if (FUpdateCount == 0)
        FOwner.FModel->EndReset();
}

TUniListItem* TUniListItems::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FOwner.FOwnerData ? FOwner.RowItem(Index) : FItems[size_t(Index)].get();
}

TUniListItem* TUniListItems::Add()
{
    return Insert(Count());
}

TUniListItem* TUniListItems::Insert(int Index)
{
    if (FOwner.FOwnerData)
        return nullptr;
    Index = std::clamp(Index, 0, Count());
    if (FUpdateCount == 0)
        FOwner.FModel->BeginInsert(Index);
    FItems.insert(FItems.begin() + Index, std::make_unique<TUniListItem>(FOwner, Index));
    Renumber(Index + 1);
    if (FUpdateCount == 0)
        FOwner.FModel->EndInsert();
    return FItems[size_t(Index)].get();
}

void TUniListItems::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    if (FOwner.FOwnerData) {
        SetCount(Count() - 1);
        return;
    }
    if (FUpdateCount == 0)
        FOwner.FModel->BeginRemove(Index, Index);
    FItems.erase(FItems.begin() + Index);
    Renumber(Index);
    if (FUpdateCount == 0)
        FOwner.FModel->EndRemove();
}

void TUniListItems::Clear()
{
    if (FUpdateCount == 0)
        FOwner.FModel->BeginReset();
    FItems.clear();
    FVirtualCount = 0;
    FOwner.ForgetRows();
    if (FUpdateCount == 0)
        FOwner.FModel->EndReset();
}

void TUniListItems::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        FOwner.FModel->BeginReset();
}

void TUniListItems::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0) {
        FOwner.ForgetRows();
        FOwner.FModel->EndReset();
    }
}

void TUniListItems::Renumber(int From)
{
    for (size_t I = size_t(From); I < FItems.size(); ++I)
        FItems[I]->FIndex = int(I);
}

// --- columns -------------------------------------------------------------------------------------

void TUniListColumn::SetCaption(const QString& Value)
{
    FCaption = Value;
    FOwner.FModel->HeaderChanged();
}

int TUniListColumn::Width() const
{
    return FOwner.header()->sectionSize(FIndex);
}

void TUniListColumn::SetWidth(int Value)
{
    FOwner.SetColumnWidth(FIndex, Value);
}

void TUniListColumn::SetAlignment(Qt::Alignment Value)
{
    FAlignment = Value;
    FOwner.FModel->HeaderChanged();
    FOwner.viewport()->update();
}

TUniListColumn* TUniListColumns::Item(int Index) const
{
    return Index >= 0 && Index < Count() ? FColumns[size_t(Index)].get() : nullptr;
}

TUniListColumn* TUniListColumns::Add(const QString& Caption, int Width)
{
    FColumns.push_back(std::unique_ptr<TUniListColumn>(new TUniListColumn(FOwner, Count())));
    TUniListColumn* Column = FColumns.back().get();
    Column->FCaption = Caption;
    FOwner.ColumnsChanged();
    // A new column's first width is no change to veto.
    FOwner.header()->resizeSection(Column->FIndex, Width);
    return Column;
}

void TUniListColumns::Clear()
{
    FColumns.clear();
    FOwner.ColumnsChanged();
}

// --- the view ------------------------------------------------------------------------------------

TUniCustomListView::TUniCustomListView(QWidget* Parent)
    : QTreeView(Parent), FModel(new TUniListModel(*this)), FTempItem(std::make_unique<TUniListItem>(*this, -1))
{
    // Uniform rows keep the view from measuring every row of a long owner-data list.
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(SelectedClicked | EditKeyPressed);
    setModel(FModel);
    SetupHeader();
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &TUniCustomListView::SelectionChanged);
}

void TUniCustomListView::SetupHeader()
{
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(true);
    header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header(), &QHeaderView::customContextMenuRequested, this, [this](const QPoint& Pos) {
        if (OnColumnRightClick)
            OnColumnRightClick(FColumns.Item(header()->logicalIndexAt(Pos)), header()->mapToGlobal(Pos));
    });
}

void TUniCustomListView::SetColumnWidth(int Column, int Width)
{
    header()->resizeSection(Column, Width);
}

TUniCustomListView::~TUniCustomListView()
{
    // The model answers from members that go before QObject deletes its children.
    OnChange = nullptr;
    OnSelectItem = nullptr;
    selectionModel()->disconnect(this);
    setModel(nullptr);
    delete FModel;
}

TUniListItem* TUniCustomListView::RowItem(int Row) const
{
    if (!FOwnerData)
        return FItems.FItems[size_t(Row)].get();
    if (FTempRow != Row) {
        // Whatever the owner left in the scratch item belongs to another row.
        auto* Self = const_cast<TUniCustomListView*>(this);
        Self->FFetching = true;
        FTempItem->FIndex = Row;
        FTempItem->FCaption.clear();
        FTempItem->FSubItems.Clear();
        FTempItem->FData = nullptr;
        FTempItem->FChecked = false;
        FTempRow = Row;
        // A row asked for outside a paint (a size measure, a search) still comes after its hint.
        if (Row < FHintFirst || Row > FHintLast)
            Self->RaiseDataHint(Row, Row);
        if (OnData) {
            try {
                OnData(FTempItem.get());
            } catch (...) {
                Self->FFetching = false;
                throw;
            }
        }
        Self->FFetching = false;
    }
    return FTempItem.get();
}

void TUniCustomListView::ItemChanged(TUniListItem& Item, TItemChange Change)
{
    if (FFetching || Item.FIndex < 0 || FItems.FUpdateCount > 0)
        return;
    FModel->RowsChanged(Item.FIndex, Item.FIndex);
    if (OnChange)
        OnChange(&Item, Change);
}

void TUniCustomListView::ColumnsChanged()
{
    std::vector<int> Widths;
    for (int I = 0; I < header()->count(); ++I)
        Widths.push_back(header()->sectionSize(I));
    FModel->BeginReset();
    FModel->EndReset();
    for (int I = 0; I < int(Widths.size()) && I < header()->count(); ++I)
        header()->resizeSection(I, Widths[size_t(I)]);
}

void TUniCustomListView::SelectionChanged(const QItemSelection& Selected, const QItemSelection& Deselected)
{
    auto Raise = [this](const QItemSelection& Range, bool IsSelected) {
        std::vector<int> Rows;
        for (const QModelIndex& I : Range.indexes())
            if (I.column() == 0)
                Rows.push_back(I.row());
        std::sort(Rows.begin(), Rows.end());
        for (int Row : Rows) {
            TUniListItem* Item = RowItem(Row);
            if (OnChange)
                OnChange(Item, TItemChange::ctState);
            if (OnSelectItem)
                OnSelectItem(Item, IsSelected);
        }
    };
    Raise(Deselected, false);
    Raise(Selected, true);
}

TUniListColumn* TUniCustomListView::ColumnFromIndex(int Index) const
{
    return FColumns.Item(header()->logicalIndex(Index));
}

void TUniCustomListView::AddItem(const QString& Caption, void* Data)
{
    if (TUniListItem* Item = FItems.Add()) {
        Item->SetData(Data);
        Item->SetCaption(Caption);
    }
}

void TUniCustomListView::CopySelection(QWidget* Destination) const
{
    QModelIndexList Rows = selectionModel()->selectedRows();
    std::sort(Rows.begin(), Rows.end(), [](const QModelIndex& A, const QModelIndex& B) { return A.row() < B.row(); });
    for (const QModelIndex& Row : Rows) {
        const TUniListItem* Item = RowItem(Row.row());
        WideListControlAddItem(Destination, Item->Caption(), Item->Data());
    }
}

bool TUniCustomListView::AlphaSort()
{
    if (FOwnerData)
        return false;
    auto Less = [this](const std::unique_ptr<TUniListItem>& A, const std::unique_ptr<TUniListItem>& B) {
        if (OnCompare) {
            int Compare = 0;
            OnCompare(A.get(), B.get(), 0, Compare);
            return Compare < 0;
        }
        return QString::localeAwareCompare(A->Caption(), B->Caption()) < 0;
    };
    FModel->Relayout([&] {
        std::stable_sort(FItems.FItems.begin(), FItems.FItems.end(), Less);
        FItems.Renumber(0);
    });
    return true;
}

void TUniCustomListView::UpdateItems(int First, int Last)
{
    First = std::max(First, 0);
    Last = std::min(Last, FItems.Count() - 1);
    if (First > Last)
        return;
    ForgetRows();
    FModel->RowsChanged(First, Last);
}

int TUniCustomListView::ItemIndex() const
{
    const TUniListItem* Item = Selected();
    return Item ? Item->Index() : -1;
}

void TUniCustomListView::SetItemIndex(int Value)
{
    if (Value < 0 || Value >= FItems.Count()) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex Index = FModel->index(Value, 0);
    selectionModel()->setCurrentIndex(Index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(Index);
}

TUniListItem* TUniCustomListView::Selected() const
{
    const QModelIndexList Rows = selectionModel()->selectedRows();
    if (Rows.isEmpty())
        return nullptr;
    const auto First = std::min_element(Rows.begin(), Rows.end(),
                                        [](const QModelIndex& A, const QModelIndex& B) { return A.row() < B.row(); });
    return RowItem(First->row());
}

void TUniCustomListView::SetOwnerData(bool Value)
{
    if (FOwnerData == Value)
        return;
    FModel->BeginReset();
    FOwnerData = Value;
    FItems.FItems.clear();
    FItems.FVirtualCount = 0;
    ForgetRows();
    FModel->EndReset();
}

void TUniCustomListView::SetCheckboxes(bool Value)
{
    FCheckboxes = Value;
    viewport()->update();
}

void TUniCustomListView::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    setEditTriggers(Value ? NoEditTriggers : SelectedClicked | EditKeyPressed);
}

void TUniCustomListView::keyboardSearch(const QString& Search)
{
    if (!FOwnerData) {
        QTreeView::keyboardSearch(Search);
        return;
    }
    // Typed letters within the key-repeat interval make one search text, as in any list.
    static QElapsedTimer Typed;
    static QString Text;
    if (!Typed.isValid() || Typed.elapsed() > QApplication::keyboardInputInterval())
        Text.clear();
    Typed.restart();
    Text += Search;
    int Index = -1;
    const int Start = std::max(0, currentIndex().row());
    if (OnDataFind)
        OnDataFind(TItemFind::ifPartialString, Text, Start, true, Index);
    if (Index >= 0 && Index < FItems.Count())
        SetItemIndex(Index);
}

void TUniCustomListView::RaiseDataHint(int First, int Last)
{
    FHintFirst = First;
    FHintLast = Last;
    if (OnDataHint)
        OnDataHint(First, Last);
}

void TUniCustomListView::paintEvent(QPaintEvent* Event)
{
    const int Count = FItems.Count();
    if (FOwnerData && Count > 0) {
        // Each paint asks for the rows afresh: the owner's data may have moved on since.
        ForgetRows();
        const int First = indexAt(QPoint(0, 0)).row();
        int Last = indexAt(QPoint(0, viewport()->height() - 1)).row();
        if (Last < 0)
            Last = Count - 1;
        if (First >= 0)
            RaiseDataHint(First, Last);
    }
    QTreeView::paintEvent(Event);
}
