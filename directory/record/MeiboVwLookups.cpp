#include "directory/record/MeiboVw.h"
#include "main/common/CallerFields.h"
#include "main/common/CommonText.h"
#include "main/common/CustomColors.h"
#include "main/common/FormParts.h"
#include "main/common/ShellActions.h"
#include "main/common/ShellOpen.h"
#include "main/controls/NMDEdit.h"
#include "main/controls/SortListView.h"
#include "main/settings/Settings.h"
#include "main/tables/MeiboEntry.h"
#include "platform/ui/Prompts.h"
#include "widelayer/UniSortListView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

// The record window's look-ups in the dictionary, its mail button, attached files, the message
// colour and the Enter walk.

namespace {

constexpr int MaxExtFiles = 10;
} // namespace

TCallerFieldControls TMeiboView::FieldControls() const
{
    return {edtPos,       edtTdfkn,      edtAdrs1,       edtAdrs2, edtAdrs3, lblJisCode, lblKajoCode, edtCorpKana,
            edtCorpKanji, nmedtNameKana, nmedtNameKanji, edtMemo1, edtMemo2, edtMemo3,   edtEMail};
}

void TMeiboView::RunDictionary(int Kind, const QString& Text)
{
    if (!MeiboViewTools.Dictionary)
        return;
    const std::optional<TDicLookup> Lookup = MeiboViewTools.Dictionary(this, true, Kind, Text);
    if (!Lookup)
        return;
    if (Lookup->Kind == 9)
        TakeDicCaller(Kind, Lookup->Caller);
    else if (Lookup->Kind >= 0 && Lookup->Kind <= 2)
        TakeDicAddress(Lookup->Kind, Kind, Lookup->Address);
}

void TMeiboView::TakeDicCaller(int Tag, const TCallerRecord& R)
{
    const bool Entry = R.Division == 1;
    const auto Number = [](const QString& Tel) { return DigitsOnly(Tel).isEmpty() ? QString() : TrimBlanks(Tel); };
    if (Entry) {
        edtTel1->setText(Number(R.Tel[0]));
        edtTel2->setText(Number(R.Tel[1]));
    } else {
        (Tag == 1 ? edtTel2 : edtTel1)->setText(Number(R.Tel[0]));
    }
    ShowCallerAddressAndNames(FieldControls(), R);
    cbxPrivCorp->setCurrentIndex(R.PrivCorp == 1 ? 1 : 0);
    FLatitude = R.Latitude;
    FLongitude = R.Longitude;

    // A colour text that is no colour (an import may store anything) shows as the button face.
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

    if (Entry) {
        ShowCallerMemos(FieldControls(), R);
        cbxRank->setCurrentIndex(cbxRank->findText(R.Rank, Qt::MatchExactly | Qt::MatchCaseSensitive));
        // The number belongs to an entry: the window now shows that entry, to look at and change.
        FSave.ShowRecord(&R);
        SetCaption(true);
    }
}

void TMeiboView::TakeDicAddress(int Kind, int Tag, const TDicSearchResult& D)
{
    if (Kind == 0)
        (Tag == 1 ? edtTel2 : edtTel1)->setText(D.Tel);
    edtPos->setText(D.Pos);
    // The found address as the entry's fields can hold it.
    const QString Candidate = MbcsLeft(MbcsLeft(D.Tdfkn + D.Adrs1, 40) + D.Adrs2, 192);
    const QString Current = edtTdfkn->text() + edtAdrs1->text() + edtAdrs2->text() + edtAdrs3->text();
    if (!AddressStartsWith(Current, Candidate)) {
        edtTdfkn->setText(D.Tdfkn);
        edtAdrs1->setText(D.Adrs1);
        edtAdrs2->setText(D.Adrs2);
        edtAdrs3->clear();
    }
    lblJisCode->setText(D.JisCode);
    lblKajoCode->setText(D.KajoCode);
    if (!D.NameKanji.isEmpty()) {
        if (D.Personal) {
            nmedtNameKanji->setText(D.NameKanji);
            nmedtNameKana->setText(D.NameKana);
            cbxPrivCorp->setCurrentIndex(0);
        } else {
            edtCorpKana->setText(D.NameKana);
            edtCorpKanji->setText(D.NameKanji);
            cbxPrivCorp->setCurrentIndex(1);
        }
    }
    FLatitude = D.Latitude;
    FLongitude = D.Longitude;
}

void TMeiboView::bbtnEMailClick()
{
    SendMailTo(this, edtEMail);
}

void TMeiboView::UpdateExtFileButtons()
{
    const int Rows = lvExtFile->topLevelItemCount();
    bbtnAddExtFile->setEnabled(Rows < MaxExtFiles);
    bbtnDelExtFile->setEnabled(Rows > 0);
}

void TMeiboView::bbtnAddExtFileClick()
{
    if (lvExtFile->topLevelItemCount() >= MaxExtFiles)
        return;
    const QString Path =
        PromptOpenFile(this, {QString(), QStringLiteral("すべてのファイル (*.*)|*.*"), GetMyDocumentsFolder()});
    if (Path.isEmpty())
        return;
    // File names differ by letter case here, so only the very same path is the same file.
    if (AttachedFilePaths(lvExtFile).contains(Path))
        return;
    AppendAttachedFile(lvExtFile, Path);
    UpdateExtFileButtons();
    lvExtFile->setFocus();
}

void TMeiboView::bbtnDelExtFileClick()
{
    QTreeWidgetItem* Item = lvExtFile->currentItem();
    if (!Item || !Item->isSelected())
        return;
    const int Row = lvExtFile->indexOfTopLevelItem(Item);
    delete Item;
    const int Rows = lvExtFile->topLevelItemCount();
    for (int I = 0; I < Rows; ++I)
        lvExtFile->topLevelItem(I)->setText(0, QString::number(I + 1));
    if (Rows > 0) {
        QTreeWidgetItem* Next = lvExtFile->topLevelItem(std::min(Row, Rows - 1));
        lvExtFile->setCurrentItem(Next);
        Next->setSelected(true);
    }
    UpdateExtFileButtons();
}

void TMeiboView::bbtnOpenExtFileClick()
{
    const QTreeWidgetItem* Item = lvExtFile->currentItem();
    if (Item && Item->isSelected())
        OpenAttachedFile(this, Item->text(1) + Item->text(2));
}

void TMeiboView::bbtnBGColorClick()
{
    QList<QColor> Custom = LoadCustomColors(SettingsPath);
    const std::optional<QColor> Chosen = PromptColor(this, pnlBGColor->palette().color(QPalette::Window), Custom);
    if (!Chosen)
        return;
    SetPanelColors(*Chosen);
    FColorText = ColorToText(ValueOfColor(*Chosen));
    (void)SaveCustomColors(SettingsPath, Custom);
}

bool TMeiboView::EnterKeyPress(QObject* Control)
{
    // A list reports its keys through its viewport; an open drop-down keeps Enter for its choice.
    if (Control == lvHisList->viewport())
        Control = lvHisList;
    if (Control == lvExtFile->viewport())
        Control = lvExtFile;
    if (Control == mmoNote->viewport())
        Control = mmoNote;
    const auto Blank = [](const QLineEdit* Edit) { return TrimBlanks(Edit->text()).isEmpty(); };
    const auto GoEnd = [](QLineEdit* Edit) { CaretToEnd(Edit); };
    // A search button without its dictionary cannot take the focus; Enter then goes on to the field.
    const auto Search = [](const QToolButton* Button) { return Button->isEnabled(); };
    if (Control == edtTel1) {
        !Blank(edtTdfkn) || !Search(bbtnTel1Search) ? GoEnd(edtTel2) : bbtnTel1Search->setFocus();
    } else if (Control == edtTel2) {
        Blank(edtTel1) && Blank(edtTdfkn) && Search(bbtnTel2Search) ? bbtnTel2Search->setFocus() : GoEnd(edtPos);
    } else if (Control == edtPos) {
        !Blank(edtTdfkn) || !Search(bbtnPosSearch) ? GoEnd(edtTdfkn) : bbtnPosSearch->setFocus();
    } else if (Control == edtAdrs1) {
        GoEnd(edtAdrs2);
    } else if (Control == edtAdrs2) {
        GoEnd(edtAdrs3);
    } else if (Control == edtAdrs3) {
        GoEnd(edtCorpKana);
    } else if (Control == edtEMail) {
        cbxRank->setFocus();
    } else if (Control == cbxRank) {
        if (pnlList->isVisible()) {
            if (lvHisList->ItemIndex() < 0 && lvHisList->Items().Count() > 0)
                lvHisList->SetItemIndex(0);
            lvHisList->setFocus();
        } else {
            btnAddUpd->setFocus();
        }
    } else if (Control == lvHisList || Control == mmoNote) {
        btnAddUpd->setFocus();
    } else if (Control == edtLine1) {
        GoEnd(edtLine2);
    } else if (Control == edtLine2) {
        lvExtFile->setFocus();
    } else if (Control == lvExtFile) {
        mmoNote->setFocus();
    } else if (Control == edtTdfkn || Control == cbxPrivCorp || Control == edtMemo1 || Control == edtMemo2 ||
               Control == edtMemo3 || Control == edtCorpKana || Control == edtCorpKanji || Control == nmedtNameKana ||
               Control == nmedtNameKanji || Control == chkMsg) {
        focusNextChild();
        if (auto* Edit = qobject_cast<QLineEdit*>(QApplication::focusWidget()); Edit && !Edit->isReadOnly())
            GoEnd(Edit);
    } else if (auto* Button = qobject_cast<QAbstractButton*>(Control)) {
        // Enter presses the focused button, where the walk above leads it (a search button, say).
        Button->click();
    } else {
        return false;
    }
    return true;
}
