#include "calls/HisList.h"
#include "calls/HisListParts.h"
#include "calls/HisSch.h"
#include "main/common/CallerRec.h"
#include "main/common/CommonForms.h"
#include "main/common/CommonText.h"
#include "main/common/MsgBoxPos.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"

#include <QListWidget>
#include <QPushButton>

// The call-history list's commands: the search conditions, the inquiry into a call, deleting rows
// and the purge of old ones.

using namespace HisListParts;
using namespace PagedLines;

void THistoryList::OpenReceiveView(const TCallerRecord& Record)
{
    if (!ReceiveViewLink.Installed())
        return;
    if (ReceiveViewLink.Exists()) {
        if (!Settings.NewDataView || ReceiveViewLink.RefillGuard())
            return;
        FShownCallRecNo = Record.HisRecNo;
        lbxRecvHis->viewport()->update();
        ReceiveViewLink.ShowCall(Record);
        ReceiveViewLink.BringForward();
        return;
    }
    if (!*IdleFlag)
        return;
    FShownCallRecNo = Record.HisRecNo;
    lbxRecvHis->viewport()->update();
    int Result = 0;
    {
        TIdleOff Modal(IdleFlag);
        Result = ReceiveViewLink.ShowModal(this, Record);
    }
    FShownCallRecNo = -1;
    if (Result == 1) {
        LoadPage(0, 0);
        if (isVisible())
            FocusListOrCancel();
    } else {
        lbxRecvHis->viewport()->update();
    }
}

void THistoryList::PurgeOldRows()
{
    if (!DMVxRelvo16)
        return;
    const int Limit = static_cast<int>(QDate(1899, 12, 30).daysTo(QDate::currentDate())) - Settings.DeleteDay;
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    if (!Use.Opened())
        return;
    try {
        PurgeHistoryRows(*RecvHisTable, Limit, [this] {
            if (!Settings.AutoDelConfirm)
                return true;
            return Message(this,
                           QStringLiteral("着信対応履歴に指定日数  ") + QString::number(Settings.DeleteDay) +
                               QStringLiteral("日を経過したデータが存在します  ") + QStringLiteral("\r\n") +
                               QStringLiteral("削除してもよろしいですか？  "),
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDNO;
        });
    } catch (const Exception& Error) {
        Message(this, Error.Message(), MB_OK | MB_ICONSTOP);
    }
}

void THistoryList::btnSearchClick()
{
    if (Busy)
        return;
    TFlagGuard Guard(Busy);
    TIdleOff Modal(IdleFlag);
    THistorySearch Dialog(this);
    Dialog.setProperty("HelpContext", 25);
    Dialog.adjustSize();
    PlaceFormBottomRight(&Dialog, this, 15, 15);
    Dialog.LoadConditions(FCondition);
    if (Dialog.exec() != 1)
        return;
    Dialog.StoreConditions(FCondition);
    ApplyWeekdayColours();
    LoadPage(0, 1);
    if (lbxRecvHis->count() > 0)
        lbxRecvHis->setFocus();
    else if (FCondition.HasConditions)
        btnSearch->setFocus();
    else
        btnCancel->setFocus();
}

void THistoryList::lbxRecvHisDblClick()
{
    btnInquiryClick();
}

void THistoryList::btnInquiryClick()
{
    if (Busy || Loading || !DMVxRelvo16)
        return;
    TFlagGuard Guard(Busy);
    const QList<QListWidgetItem*> Selected = lbxRecvHis->selectedItems();
    if (Selected.size() != 1) {
        if (Selected.size() > 1)
            Message(this, QStringLiteral("照会するには１件だけ選択してください  "), MB_OK | MB_ICONINFORMATION);
        FocusListOrCancel();
        return;
    }
    TCallerRecord Record;
    try {
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        TTable& Table = *RecvHisTable;
        if (Use.Opened())
            Table.SetIndexName(QString());
        if (!Use.Opened() || !Table.FindKey({Selected.first()->data(RecNoRole).toInt()})) {
            Message(this, NotFoundText, MB_OK | MB_ICONSTOP);
            return;
        }
        const QString Tel = TrimBlanks(Table.FieldByName(QStringLiteral("Tel")).AsString());
        const QString SchTel = Table.FieldByName(QStringLiteral("SchTel")).AsString();
        if (IdentifyCaller) {
            IdentifyCaller(Settings.EarlierSearch, false, Tel, Record);
        } else {
            // Without the directory look-up the record carries the number as it rang.
            Record.Tel[0] = Tel;
            Record.SchTel[0] = IsCallerNumberCode(Tel) ? Tel : DigitsOnly(Tel);
        }
        TakeOverHistoryRow(Table, Record);
        if (Settings.BeforeRecvDateTime) {
            const double Before = PreviousCallTime(Table, PreviousCallNumbers(Record, SchTel), Record.RecvDateTime);
            if (Before > 0)
                Record.BeforeRecvDateTime = Before;
        }
    } catch (const Exception& Error) {
        Message(this, Error.Message(), MB_OK | MB_ICONSTOP);
        return;
    }
    OpenReceiveView(Record);
    ClearCallerRecord(&Record);
}

void THistoryList::btnDeleteClick()
{
    if (Busy || Loading || !DMVxRelvo16)
        return;
    TFlagGuard Guard(Busy);
    const int SelectedCount = static_cast<int>(lbxRecvHis->selectedItems().size());
    if (Settings.DeleteType && lbxRecvHis->count() > 0) {
        constexpr int HelpContextDeleteTarget = 34;
        TDeleteChoice Choice = TDeleteChoice::None;
        {
            TIdleOff Modal(IdleFlag);
            Choice =
                AskDeleteTarget(this, QStringLiteral("着信対応履歴　削除"), HelpContextDeleteTarget, SelectedCount);
        }
        if (Choice != TDeleteChoice::None)
            Choice == TDeleteChoice::Matching ? DeleteAllMatching() : DeleteSelected();
        return;
    }
    if (SelectedCount > 0 && ConfirmDeletion(this, SelectedCount))
        DeleteSelected();
}

void THistoryList::DeleteSelected()
{
    Frame.DeleteSelectedLines([](const QList<int>& RecNos) {
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        return Use.Opened() ? DeleteHistoryRows(*RecvHisTable, RecNos) : QList<int>();
    });
    FocusListOrCancel();
}

void THistoryList::DeleteAllMatching()
{
    Frame.DeleteMatchingLines([this] {
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        Pager.Condition = FCondition;
        Pager.Weekdays = WeekdayState();
        return Use.Opened() ? Pager.DeleteMatching(*RecvHisTable) : 0;
    });
    FocusListOrCancel();
}
