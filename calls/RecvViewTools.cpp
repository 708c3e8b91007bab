#include "calls/RecvView.h"
#include "calls/RecvViewText.h"
#include "main/common/CallerFields.h"
#include "main/common/CommonText.h"
#include "main/common/ShellOpen.h"
#include "main/controls/NMDEdit.h"
#include "main/controls/SortListView.h"
#include "main/settings/Settings.h"
#include "platform/ui/Prompts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

// The incoming-call window's look-ups in the dictionary and its attached files.

TCallerFieldControls TReceiveView::FieldControls() const
{
    return {edtPos,       edtTdfkn,      edtAdrs1,       edtAdrs2, edtAdrs3, lblJisCode, lblKajoCode, edtCorpKana,
            edtCorpKanji, nmedtNameKana, nmedtNameKanji, edtMemo1, edtMemo2, edtMemo3,   edtEMail};
}

QString TReceiveView::DicSearchText(int Tag) const
{
    switch (Tag) {
    case 0:
        return edtTel1->text();
    case 1:
        return edtTel2->text();
    case 2:
        return edtPos->text();
    case 3:
        // The parts as they stand, blanks and all, without a separator.
        return edtTdfkn->text() + edtAdrs1->text() + edtAdrs2->text() + edtAdrs3->text();
    default:
        return edtFbTel->text();
    }
}

void TReceiveView::DicSearch(int Kind, const QString& Text, const TDicLookupRun& Run)
{
    if (!Run)
        return;
    const std::optional<TDicLookup> Lookup = Run(this, Settings.EarlierSearch, Kind, Text);
    if (!Lookup)
        return;
    if (Lookup->Kind == 9)
        TakeDicCaller(Lookup->Caller);
    else if (Lookup->Kind >= 0 && Lookup->Kind <= 2)
        TakeDicAddress(Lookup->Kind, Kind, Lookup->Address);
}

void TReceiveView::TakeDicCaller(const TCallerRecord& R)
{
    const auto NumberOf = [&R](int Slot) { return TrimBlanks(R.Tel[std::clamp(Slot, 0, 3)]); };
    if (!FernbookMode()) {
        edtTel1->setText(NumberOf(0));
        edtTel2->setText(NumberOf(1));
    } else {
        FSave.SetTelIndex(R.TelIndex);
        const int K = R.TelIndex & 3;
        // Only a number in the slot that rang replaces the other numbers.
        if (!DigitsOnly(R.SchTel[K]).isEmpty() && !NumberOf(K).isEmpty()) {
            cbxFbTel->clear();
            edtFbTel->setText(NumberOf(K));
            for (int Slot = 0; Slot < TCallerRecord::SlotCount; ++Slot)
                if (Slot != K && !NumberOf(Slot).isEmpty() && !DigitsOnly(R.SchTel[Slot]).isEmpty())
                    cbxFbTel->addItem(NumberOf(Slot));
            cbxFbTel->setCurrentIndex(cbxFbTel->count() > 0 ? 0 : -1);
        } else {
            edtFbTel->clear();
        }
    }
    ShowCallerAddressAndNames(FieldControls(), R);
    ShowCallerMemos(FieldControls(), R);
    cbxPrivCorp->setCurrentIndex(R.PrivCorp >= 0 && R.PrivCorp < cbxPrivCorp->count() ? R.PrivCorp : -1);
    cbxRank->setCurrentIndex(-1);
    cbxRank->setEditText(QString());
    if (const int Index = cbxRank->findText(R.Rank, Qt::MatchExactly | Qt::MatchCaseSensitive); Index >= 0)
        cbxRank->setCurrentIndex(Index);
    FCurLatitude = R.Latitude;
    FCurLongitude = R.Longitude;
    ShowMessagePanel(R.Msg == 1, TrimBlanks(R.Msg1), TrimBlanks(R.Msg2), R.BGColor);
    mmoNote->setPlainText(R.Note ? R.Note->join(u'\n') : QString());
    FillAttachedFiles(lvExtFile, R.ExtFile.value_or(QStringList()));
}

void TReceiveView::TakeDicAddress(int Kind, int Tag, const TDicSearchResult& D)
{
    if (Kind == 0) {
        if (!FernbookMode())
            (Tag == 0 ? edtTel1 : edtTel2)->setText(D.Tel);
        else if (Tag == 4)
            edtFbTel->setText(D.Tel);
    }
    edtPos->setText(D.Pos);
    const QString Current = edtTdfkn->text() + edtAdrs1->text() + edtAdrs2->text() + edtAdrs3->text();
    // An address that already goes on from the one found keeps its finer parts.
    if (!AddressStartsWith(Current, D.Tdfkn + D.Adrs1 + D.Adrs2)) {
        edtTdfkn->setText(D.Tdfkn);
        edtAdrs1->setText(D.Adrs1);
        edtAdrs2->setText(D.Adrs2);
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
    FCurLatitude = D.Latitude;
    FCurLongitude = D.Longitude;
}

void TReceiveView::bbtnAddExtFileClick()
{
    QString Path;
    {
        TNestedGuard Guard(*this, true);
        Path = PromptOpenFile(this, {QString(), QStringLiteral("すべてのファイル (*.*)|*.*"), GetMyDocumentsFolder()});
    }
    if (!Path.isEmpty()) {
        AppendAttachedFile(lvExtFile, Path);
    }
    lvExtFile->setFocus();
}

void TReceiveView::bbtnDelExtFileClick()
{
    QTreeWidgetItem* Item = lvExtFile->currentItem();
    if (Item && Item->isSelected())
        delete Item;
}
