#include "directory/record/MeiboVw.h"
#include "main/common/CallerFields.h"
#include "main/common/CommonText.h"
#include "main/common/FormParts.h"
#include "main/common/HelpContext.h"
#include "main/controls/NMDEdit.h"
#include "main/controls/SortListView.h"
#include "main/tables/DBInfo.h"
#include "main/tables/MeiboEntry.h"
#include "platform/db/Table.h"
#include "platform/ui/WindowLog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

// Showing an entry in the record window and reading the window back for the save; the message
// controls that follow the check box.

namespace {

constexpr int HelpContextNew = 39;
constexpr int HelpContextInquiry = 44;

QString StampText(double Days)
{
    const QDateTime Time = Days == 0 ? QDateTime() : DaysToDateTime(Days);
    return Time.isValid() ? Time.toString(QStringLiteral(" yyyy/MM/dd hh:mm:ss")) : QString();
}

// A number without a digit is no number to show.
QString NumberText(const QString& Tel)
{
    return DigitsOnly(Tel).isEmpty() ? QString() : TrimBlanks(Tel);
}

} // namespace

void TMeiboView::SetCaption(bool Inquiry)
{
    setWindowTitle(Inquiry ? QStringLiteral("登録名簿　照会") : QStringLiteral("登録名簿　新規登録"));
    SetHelpContext(this, Inquiry ? HelpContextInquiry : HelpContextNew);
    btnAddUpd->setText(Inquiry ? QStringLiteral("変更(&U)") : QStringLiteral("登録(&A)"));
}

void TMeiboView::ShowRecord(const TCallerRecord* Record)
{
    FSave.ShowRecord(Record);
    SetCaption(Record != nullptr);
    if (Record)
        ShowFields(*Record);
    else
        ClearFields();
    LogWindowState(this);
}

void TMeiboView::ClearFields()
{
    for (QLineEdit* Edit : findChildren<QLineEdit*>())
        if (!Edit->parentWidget()->inherits("QComboBox"))
            Edit->clear();
    lblJisCode->clear();
    lblKajoCode->clear();
    mmoNote->clear();
    lvExtFile->clear();
    UpdateExtFileButtons();
    cbxPrivCorp->setCurrentIndex(0);
    cbxRank->setCurrentIndex(cbxRank->count() > 0 ? 0 : -1);
    FLatitude = 0;
    FLongitude = 0;
    chkMsg->setChecked(false);
    FColorText = ColorToText(ValueOfColor(ButtonFace()));
    ShowMessageControls(false);
}

void TMeiboView::ShowFields(const TCallerRecord& R)
{
    edtTel1->setText(NumberText(R.Tel[0]));
    edtTel2->setText(NumberText(R.Tel[1]));
    ShowCallerAddressAndNames(FieldControls(), R);
    cbxPrivCorp->setCurrentIndex(R.PrivCorp == 1 ? 1 : 0);
    ShowCallerMemos(FieldControls(), R);
    cbxRank->setCurrentIndex(cbxRank->findText(R.Rank, Qt::MatchExactly | Qt::MatchCaseSensitive));
    FLatitude = R.Latitude;
    FLongitude = R.Longitude;

    // A colour text that is no colour (an import may store anything) shows as no colour; the entry
    // keeps it until it is saved.
    FColorText.clear();
    if (!TrimBlanks(R.BGColor).isEmpty()) {
        const auto Value = ColorFromText(R.BGColor);
        // A colour is kept as it was written ("$FF" stays "$FF"), so that an entry saved unchanged
        // keeps its text.
        FColorText = Value ? TrimBlanks(R.BGColor) : ColorToText(ValueOfColor(ButtonFace()));
    }
    chkMsg->setChecked(R.Msg == 1);
    edtLine1->setText(TrimBlanks(R.Msg1));
    edtLine2->setText(TrimBlanks(R.Msg2));
    ShowMessageControls(R.Msg == 1);

    mmoNote->setPlainText(R.Note ? R.Note->join(u'\n') : QString());
    FillAttachedFiles(lvExtFile, R.ExtFile.value_or(QStringList()));
    UpdateExtFileButtons();
    edtAddDateTime->setText(StampText(R.AddDateTime));
    edtUpdDateTime->setText(StampText(R.UpdDateTime));
}

TMeiboInput TMeiboView::GatherInput() const
{
    TMeiboInput I;
    I.Tel1 = edtTel1->text();
    I.Tel2 = edtTel2->text();
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
    I.PrivCorp = std::max(cbxPrivCorp->currentIndex(), 0);
    I.Memo1 = edtMemo1->text();
    I.Memo2 = edtMemo2->text();
    I.Memo3 = edtMemo3->text();
    I.EMail = edtEMail->text();
    I.Rank = cbxRank->currentText();
    I.Latitude = FLatitude;
    I.Longitude = FLongitude;
    I.Msg = chkMsg->isChecked();
    I.Msg1 = edtLine1->text();
    I.Msg2 = edtLine2->text();
    I.ColorText = FColorText;
    // The table keeps the note's lines joined by CR LF, as the rest of the program reads them.
    I.Note = mmoNote->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    I.ExtFiles = AttachedFilePaths(lvExtFile);
    return I;
}

void TMeiboView::SetPosition(int Latitude, int Longitude)
{
    FLatitude = Latitude;
    FLongitude = Longitude;
}

void TMeiboView::ReloadRankList()
{
    RefillRankCombo(cbxRank, FData.Rank());
}

QColor TMeiboView::ButtonFace() const
{
    return palette().color(QPalette::Button);
}

void TMeiboView::SetPanelColors(const QColor& Color)
{
    for (QFrame* Panel : {pnlBGColor, pnlMsg}) {
        QPalette Palette = Panel->palette();
        Palette.setColor(QPalette::Window, Color);
        Panel->setPalette(Palette);
    }
}

void TMeiboView::ShowMessageControls(bool On)
{
    for (QWidget* Control :
         std::initializer_list<QWidget*>{lblLine1, lblLine2, lblBGColor, lblPreview, lblMsg1, lblMsg2, edtLine1,
                                         edtLine2, bbtnBGColor, bbtnResetColor, pnlMsg})
        Control->setEnabled(On);
    // A ticked box shows its caption in blue.
    chkMsg->setStyleSheet(chkMsg->isChecked() ? QStringLiteral("QCheckBox { color: blue; }") : QString());
    for (QLineEdit* Line : {edtLine1, edtLine2}) {
        QPalette Palette = Line->palette();
        Palette.setColor(QPalette::Base, On ? palette().color(QPalette::Base) : ButtonFace());
        Line->setPalette(Palette);
    }
    const auto Value = ColorFromText(FColorText);
    SetPanelColors(On && Value ? ColorOfValue(*Value) : ButtonFace());
    lblMsg1->setText(TrimBlanks(edtLine1->text()));
    lblMsg2->setText(TrimBlanks(edtLine2->text()));
}

void TMeiboView::EnableMessage(bool On)
{
    if (On && FColorText.isEmpty())
        FColorText = ColorToText(ValueOfColor(ButtonFace()));
    ShowMessageControls(On);
}

void TMeiboView::chkMsgClick()
{
    EnableMessage(chkMsg->isChecked());
}

void TMeiboView::bbtnResetColorClick()
{
    FColorText = ColorToText(ValueOfColor(ButtonFace()));
    SetPanelColors(ButtonFace());
}

void TMeiboView::edtLine1Change()
{
    lblMsg1->setText(edtLine1->text());
}

void TMeiboView::edtLine2Change()
{
    lblMsg2->setText(edtLine2->text());
}
