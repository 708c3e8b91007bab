#include "calls/RecvView.h"
#include "calls/RecvViewText.h"
#include "main/common/CallerFields.h"
#include "main/common/CommonText.h"
#include "main/common/FormParts.h"
#include "main/controls/NMDEdit.h"
#include "main/controls/SortListView.h"
#include "main/identify/AppSub.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Table.h"
#include "platform/ui/WindowLog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

// Filling the incoming-call window from a call and reading it back for the save.

using namespace RecvViewText;

namespace {

QString DateText(double Days)
{
    const QDateTime Time = DaysToDateTime(Days);
    return Time.isValid() ? Time.toString(QStringLiteral("yyyy年 MM月 dd日")) : QString();
}

QString TimeText(double Days)
{
    const QDateTime Time = DaysToDateTime(Days);
    return Time.isValid() ? Time.toString(QStringLiteral("hh時 mm分 ss秒")) : QString();
}

} // namespace

void TReceiveView::ShowCall(const TCallerRecord& Record)
{
    FSave.SetCallRecord(Record);
    const TCallerRecord& R = FSave.CallRecord();

    pnlPrevDate->setText(DateText(R.BeforeRecvDateTime));
    pnlPrevTime->setText(TimeText(R.BeforeRecvDateTime));
    pnlDate->setText(DateText(R.RecvDateTime));
    pnlTime->setText(TimeText(R.RecvDateTime));

    const auto NumberOf = [&R](int Slot) {
        return DigitsOnly(R.SchTel[Slot]).isEmpty() ? QString() : TrimBlanks(R.Tel[Slot]);
    };
    if (!FernbookMode()) {
        edtTel1->setText(NumberOf(0));
        edtTel2->setText(NumberOf(1));
        setWindowTitle(CaptionView);
    } else {
        const int K = R.TelIndex & 3;
        cbxFbTel->clear();
        if (!NumberOf(K).isEmpty()) {
            edtFbTel->setText(NumberOf(K));
            for (int Slot = 0; Slot < TCallerRecord::SlotCount; ++Slot)
                if (Slot != K && !NumberOf(Slot).isEmpty())
                    cbxFbTel->addItem(NumberOf(Slot));
            cbxFbTel->setCurrentIndex(cbxFbTel->count() > 0 ? 0 : -1);
        } else {
            edtFbTel->clear();
        }
        ShowFbCaption();
    }

    ShowCallerAddressAndNames(FieldControls(), R);
    ShowCallerMemos(FieldControls(), R);
    cbxPrivCorp->setCurrentIndex(R.PrivCorp >= 0 && R.PrivCorp < cbxPrivCorp->count() ? R.PrivCorp : -1);

    cbxRank->setCurrentIndex(-1);
    cbxRank->setEditText(QString());
    if (!R.Rank.isEmpty()) {
        if (FernbookMode()) {
            cbxRank->setEditText(R.Rank);
        } else {
            const int Index = cbxRank->findText(R.Rank, Qt::MatchExactly | Qt::MatchCaseSensitive);
            cbxRank->setCurrentIndex(Index);
            if (Index < 0)
                cbxRank->setEditText(QString());
        }
    }

    cbxSelectItem1->setEditText(TrimBlanks(R.SelItem1));
    cbxSelectItem2->setEditText(TrimBlanks(R.SelItem2));
    cbxSelectItem3->setEditText(TrimBlanks(R.SelItem3));

    FCurLatitude = R.Latitude;
    FCurLongitude = R.Longitude;

    ShowMessagePanel(R.Msg == 1, TrimBlanks(R.Msg1), TrimBlanks(R.Msg2), R.BGColor);
    mmoNote->setPlainText(FSave.NoteText());
    FillExtFiles(R.ExtFile);

    if (FSave.IsExisting()) {
        pnlDivision->setText(TextExisting);
        pnlDivision->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
        btnAddUpd->setText(CaptionUpdate);
    } else {
        pnlDivision->setText(TextNew);
        pnlDivision->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
        btnAddUpd->setText(CaptionRegister);
    }
    LogWindowState(this);
}

void TReceiveView::ShowMessagePanel(bool Shown, const QString& Line1, const QString& Line2, const QString& Color)
{
    pnlDivision->setVisible(!Shown);
    pnlMsg->setVisible(Shown);
    if (!Shown)
        return;
    lblMsg1->setText(Line1);
    lblMsg2->setText(Line2);
    // A colour text that is no colour leaves the panel in its default colour rather than stopping
    // the call from being shown.
    FMsgColor.reset();
    if (!TrimBlanks(Color).isEmpty())
        if (const auto Value = ColorFromText(Color))
            FMsgColor = ColorOfValue(*Value);
    QPalette Palette = pnlMsg->palette();
    Palette.setColor(QPalette::Window, FMsgColor.value_or(palette().color(QPalette::Window)));
    pnlMsg->setPalette(Palette);
}

void TReceiveView::FillExtFiles(const std::optional<QStringList>& Files)
{
    FillAttachedFiles(lvExtFile, Files.value_or(QStringList()));
}

void TReceiveView::SetCurPosition(int Latitude, int Longitude)
{
    FCurLatitude = Latitude;
    FCurLongitude = Longitude;
}

TRecvViewInput TReceiveView::GatherInput() const
{
    TRecvViewInput I;
    I.Tel1 = edtTel1->text();
    I.Tel2 = edtTel2->text();
    I.FbTel = edtFbTel->text();
    I.FbTelSearched = lblFbTelMain->text() == SearchedTelCaption;
    I.Pos = edtPos->text();
    I.Tdfkn = edtTdfkn->text();
    I.Adrs1 = edtAdrs1->text();
    I.Adrs2 = edtAdrs2->text();
    I.Adrs3 = edtAdrs3->text();
    I.JisCode = lblJisCode->text();
    I.KajoCode = lblKajoCode->text();
    I.CorpKana = edtCorpKana->text();
    I.CorpKanji = edtCorpKanji->text();
    I.NameKana = nmedtNameKana->text();
    I.NameKanji = nmedtNameKanji->text();
    I.PrivCorp = cbxPrivCorp->currentIndex();
    I.Memo1 = edtMemo1->text();
    I.Memo2 = edtMemo2->text();
    I.Memo3 = edtMemo3->text();
    I.EMail = edtEMail->text();
    I.Rank = cbxRank->currentText();
    I.SelItem1 = cbxSelectItem1->currentText();
    I.SelItem2 = cbxSelectItem2->currentText();
    I.SelItem3 = cbxSelectItem3->currentText();
    I.Latitude = FCurLatitude;
    I.Longitude = FCurLongitude;
    I.MsgShown = pnlMsg->isVisibleTo(this);
    I.Msg1 = lblMsg1->text();
    I.Msg2 = lblMsg2->text();
    if (I.MsgShown && FMsgColor)
        I.BGColor = ColorToText(ValueOfColor(*FMsgColor));
    // The tables keep the note's lines joined by CR LF, as the record brought them.
    I.Note = mmoNote->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    I.ExtFiles = AttachedFilePaths(lvExtFile);
    return I;
}

void TReceiveView::ApplyInput(const TRecvViewInput& Input)
{
    edtTel1->setText(Input.Tel1);
    edtTel2->setText(Input.Tel2);
}

void TReceiveView::ReloadRankList()
{
    RefillRankCombo(cbxRank, RankHistory);
}

void TReceiveView::ReloadSelectItemList(int N)
{
    QComboBox* Combo = N == 0 ? cbxSelectItem1 : N == 1 ? cbxSelectItem2 : cbxSelectItem3;
    const QString Saved = Combo->currentText();
    Combo->clear();
    if (THistoryData* List = SelItemHistory[std::clamp(N, 0, 2)]; List && List->Items())
        for (const THistoryStruct& Item : *List->Items())
            Combo->addItem(Item.Text);
    Combo->setCurrentIndex(-1);
    Combo->setEditText(QString());
    if (TrimBlanks(Saved).isEmpty())
        return;
    for (int I = 0; I < Combo->count(); ++I) {
        if (TrimBlanks(Combo->itemText(I)) == TrimBlanks(Saved)) {
            Combo->setCurrentIndex(I);
            return;
        }
    }
    // A typed value that is not in the list survives the refill.
    Combo->setEditText(Saved);
}

void TReceiveView::ShowFbCaption()
{
    static const QString Series[3] = {QStringLiteral("着信照会    - Fernbook2013 [ "),
                                      QStringLiteral("着信照会    - Fernbook2013 Trade [ "),
                                      QStringLiteral("着信照会    - Fernbook2013 Trade Plus [ ")};
    const bool Found = FoundInFbAdrs;
    if (!Found)
        setWindowTitle(CaptionView);
    else if (Settings.FbSeries >= 0 && Settings.FbSeries <= 2)
        setWindowTitle(Series[Settings.FbSeries] + Settings.FbAdrsBookName + QStringLiteral(" ]  -"));
}
