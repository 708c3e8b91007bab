#include "directory/record/MeiboVw.h"
#include "main/common/FormParts.h"
#include "main/tables/DBInfo.h"
#include "widelayer/UniSortListView.h"

#include <QFrame>
#include <QHeaderView>
#include <QMenu>

// The record window's call-history panel: the calls received from the entry's numbers, newest first,
// their texts read from the table only as the rows come into view.

namespace {

constexpr int ColumnWidths[] = {40, 95, 70, 52, 80, 80, 80};

} // namespace

void TMeiboView::CreateHistoryList()
{
    lvHisList = NewNamed<TUniSortListView>(pnlList, "lvHisList");
    lvHisList->setGeometry(6, 2, pnlList->width() - 12, pnlList->height() - 4);
    const char* const Captions[] = {"No.", "日付", "時刻", "ランク", "内容", "メモ", "受付"};
    for (int I = 0; I < 7; ++I)
        lvHisList->Columns().Add(QString::fromUtf8(Captions[I]), ColumnWidths[I]);
    lvHisList->header()->setMinimumSectionSize(16);
    lvHisList->header()->setStretchLastSection(false);
    lvHisList->header()->setSectionsClickable(false);
    lvHisList->SetOwnerData(true);
    lvHisList->SetReadOnly(true);
    lvHisList->SetRowSelect(true);
    lvHisList->SetSortDirs({sdNone});
    lvHisList->SetSortDir(sdNone);
    lvHisList->SetShowDragImage(false);
    lvHisList->OnDataHint = [this](int From, int To) { lvHisListDataHint(From, To); };
    lvHisList->OnData = [this](TUniListItem* Item) { lvHisListData(Item); };
    lvHisList->OnColumnRightClick = [this](TUniListColumn*, QPoint Point) { lvHisListColumnRightClick(Point); };
    // A double click on a divider fits no column to its texts: the widths stay as the user left them.
    lvHisList->OnDividerDblClick = [](int) {};

    pmColumn = new QMenu(this);
    pmColumn->setObjectName(QStringLiteral("pmColumn"));
    QAction* Reset = pmColumn->addAction(QStringLiteral("項目幅を初期値に戻す(&R)"));
    Reset->setObjectName(QStringLiteral("pmiInitializesHeaderWidth"));
    connect(Reset, &QAction::triggered, this, &TMeiboView::pmiInitializesHeaderWidthClick);
}

void TMeiboView::RefreshHistory()
{
    lvHisList->Items().BeginUpdate();
    FHistoryTexts.clear();
    FHistoryRecNos.clear();
    lvHisList->Clear();
    if (FData.RecvHis()) {
        const TTableUse Use(FData, TDataTable::RecvHis);
        if (Use.Opened())
            LoadHistoryRows();
    }
    lvHisList->Items().SetCount(static_cast<int>(FHistoryRecNos.size()));
    lvHisList->Items().EndUpdate();
    lvHisList->viewport()->update();
}

void TMeiboView::LoadHistoryRows()
{
    const TCallerRecord& Shown = ShownRecord();
    FHistoryRecNos = LoadHistoryRecNos(*FData.RecvHis(), Shown.Tel[0], Shown.Tel[1]);
    FHistoryTexts.fill(std::nullopt, FHistoryRecNos.size());
}

void TMeiboView::lvHisListDataHint(int From, int To)
{
    From = std::max(From, 0);
    To = std::min(To, static_cast<int>(FHistoryRecNos.size()) - 1);
    bool Needed = false;
    for (int Row = From; Row <= To; ++Row)
        Needed = Needed || !FHistoryTexts.at(Row);
    TTable* RecvHis = FData.RecvHis();
    if (!Needed || !RecvHis)
        return;
    const TTableUse Use(FData, TDataTable::RecvHis);
    if (!Use.Opened())
        return;
    const QString OldIndex = RecvHis->IndexName();
    for (int Row = From; Row <= To; ++Row)
        if (!FHistoryTexts.at(Row))
            FHistoryTexts[Row] = HistoryRowTexts(*RecvHis, FHistoryRecNos.at(Row), Row + 1);
    RecvHis->SetIndexName(OldIndex);
}

void TMeiboView::lvHisListData(TUniListItem* Item)
{
    const int Row = Item->Index();
    if (Row < 0 || Row >= FHistoryTexts.size() || !FHistoryTexts.at(Row))
        return;
    const THistoryTexts& Texts = *FHistoryTexts.at(Row);
    Item->SetCaption(Texts[0]);
    for (int I = 1; I < 7; ++I)
        Item->SubItems().Add(Texts[I]);
}

void TMeiboView::lvHisListColumnRightClick(QPoint Point)
{
    pmColumn->popup(Point);
}

void TMeiboView::pmiInitializesHeaderWidthClick()
{
    // The form's widths as they stand, not scaled.
    for (int I = 0; I < 7; ++I)
        lvHisList->ColumnFromIndex(I)->SetWidth(ColumnWidths[I]);
}
