#include "calls/PagedLines.h"
#include "directory/list/MeiboLst.h"
#include "directory/record/MeiboVw.h"
#include "directory/search/MeiboSch.h"
#include "main/common/CallerRec.h"
#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"

#include <QListWidget>
#include <QPushButton>

// The directory list's commands: the search conditions, the page jump, a new entry, the inquiry
// into an entry and deleting entries.

using namespace PagedLines;

void TMeiboList::btnSearchClick()
{
    if (DialogOpen)
        return;
    TFlagGuard Guard(DialogOpen);
    {
        TMeiboSearch Dialog(this);
        Dialog.setProperty("HelpContext", 38);
        Dialog.adjustSize();
        PlaceFormBottomRight(&Dialog, this, 15, 15);
        Dialog.LoadConditions(Pager.Condition);
        if (Dialog.exec() != 1)
            return;
        Dialog.StoreConditions(Pager.Condition);
    }
    LoadPage(0, 1);
    if (lbxAddMeibo->count() > 0)
        lbxAddMeibo->setFocus();
    else if (Pager.Condition.HasConditions)
        btnSearch->setFocus();
    else
        btnAdd->setFocus();
}

void TMeiboList::bbtnPageJumpClick()
{
    if (DialogOpen)
        return;
    TFlagGuard Guard(DialogOpen);
    constexpr int HelpContextPageJump = 37;
    if (const int Page = AskJumpPage(this, HelpContextPageJump, Pager))
        LoadPage(0, Page);
    if (lbxAddMeibo->count() > 0)
        lbxAddMeibo->setFocus();
}

int TMeiboList::RunRecordWindow(const TCallerRecord* Record)
{
    TMeiboView View(*DMVxRelvo16, this);
    View.ShowRecord(Record);
    lbxAddMeibo->viewport()->update();
    return View.exec();
}

void TMeiboList::btnAddClick()
{
    if (DialogOpen)
        return;
    TFlagGuard Guard(DialogOpen);
    if (RunRecordWindow(nullptr) == 1)
        LoadPage(0, 0);
    FocusListOrAdd();
}

void TMeiboList::lbxAddMeiboDblClick()
{
    btnInquiryClick();
}

void TMeiboList::btnInquiryClick()
{
    if (DialogOpen || Loading || !DMVxRelvo16)
        return;
    TFlagGuard Guard(DialogOpen);
    const QList<QListWidgetItem*> Selected = lbxAddMeibo->selectedItems();
    if (Selected.size() != 1) {
        if (Selected.size() > 1) {
            Message(QStringLiteral("照会するには１件だけ選択してください  "), MB_OK | MB_ICONINFORMATION);
            lbxAddMeibo->setFocus();
        } else {
            FocusListOrAdd();
        }
        return;
    }
    TCallerRecord Record;
    try {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        if (Use.Opened())
            MeiboTable->SetIndexName(QString());
        if (!Use.Opened() || !MeiboTable->FindKey({Selected.first()->data(RecNoRole).toInt()})) {
            Message(QStringLiteral("該当するデータが見つかりませんでした  "), MB_OK | MB_ICONSTOP);
            return;
        }
        MeiboRowToRecord(*MeiboTable, Record);
    } catch (const Exception& Error) {
        Message(Error.Message(), MB_OK | MB_ICONSTOP);
        return;
    }
    FViewedRecNo = Record.RecNo;
    const int Result = RunRecordWindow(&Record);
    ClearCallerRecord(&Record);
    FViewedRecNo = -1;
    if (Result == 1) {
        LoadPage(0, 0);
        FocusListOrAdd();
    } else {
        lbxAddMeibo->viewport()->update();
    }
}

void TMeiboList::btnDeleteClick()
{
    if (DialogOpen || Loading || !DMVxRelvo16)
        return;
    const int SelectedCount = static_cast<int>(lbxAddMeibo->selectedItems().size());
    if (Settings.DeleteType && lbxAddMeibo->count() > 0) {
        constexpr int HelpContextDeleteTarget = 46;
        TDeleteChoice Choice = TDeleteChoice::None;
        {
            TFlagGuard Guard(DialogOpen);
            Choice = AskDeleteTarget(this, QStringLiteral("登録名簿　削除"), HelpContextDeleteTarget, SelectedCount);
        }
        if (Choice != TDeleteChoice::None)
            Choice == TDeleteChoice::Matching ? DeleteMatching() : DeleteSelected();
        return;
    }
    if (SelectedCount > 0 && ConfirmDeletion(this, SelectedCount))
        DeleteSelected();
}

void TMeiboList::DeleteSelected()
{
    Frame.DeleteSelectedLines([](const QList<int>& RecNos) {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        return Use.Opened() ? DeleteRowsByRecNo(*MeiboTable, RecNos) : QList<int>();
    });
    FocusListOrAdd();
}

void TMeiboList::DeleteMatching()
{
    Frame.DeleteMatchingLines([this] {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        return Use.Opened() ? Pager.DeleteMatching(*MeiboTable) : 0;
    });
    FocusListOrAdd();
}
