#include "calls/RecvView.h"
#include "calls/RecvViewText.h"
#include "main/common/CommonForms.h"
#include "main/common/CommonText.h"
#include "main/common/FormParts.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ShellActions.h"
#include "main/controls/NMDEdit.h"
#include "main/controls/SortListView.h"
#include "main/identify/AppSub.h"
#include "main/settings/Settings.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

// The incoming-call window's handlers: its buttons, the registration, the lock and the keys.

using namespace RecvViewText;

TReceiveView::TNestedGuard::TNestedGuard(TReceiveView& View, bool Hourglass) : FView(View), FHourglass(Hourglass)
{
    FView.FRefillGuard = true;
    if (FHourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

TReceiveView::TNestedGuard::~TNestedGuard()
{
    if (FHourglass)
        QApplication::restoreOverrideCursor();
    FView.FRefillGuard = FView.FLocked;
}

void TReceiveView::FocusAfterStop(TRecvFocus Focus)
{
    switch (Focus) {
    case TRecvFocus::Tel1:
        SelectAllAndFocus(edtTel1);
        break;
    case TRecvFocus::Tel2:
        CaretToEnd(edtTel2);
        break;
    case TRecvFocus::Tel2All:
        SelectAllAndFocus(edtTel2);
        break;
    case TRecvFocus::FbTel:
        SelectAllAndFocus(edtFbTel);
        break;
    case TRecvFocus::None:
        break;
    }
}

void TReceiveView::SaveBeforeRefill()
{
    TRecvViewInput Input = GatherInput();
    const bool Saved = FSave.SaveBeforeRefill(Input);
    ApplyInput(Input);
    // What failed to save must not be replaced by the next call: the window locks itself, and the
    // user registers again or unlocks it.
    if (!Saved && !FLocked)
        btnLockUnlockClick();
}

void TReceiveView::btnAddUpdClick()
{
    RegisterCaller();
}

void TReceiveView::RegisterCaller()
{
    TRecvViewInput Input = GatherInput();
    TRecvFocus Focus = TRecvFocus::None;
    TRegisterResult Result = TRegisterResult::Stopped;
    {
        TNestedGuard Guard(*this, true);
        Result = FSave.RegisterCaller(Input, Focus);
    }
    ApplyInput(Input);
    if (Result == TRegisterResult::Saved) {
        done(1);
        return;
    }
    if (Result == TRegisterResult::Failed && FSave.IsExisting()) {
        pnlDivision->setText(TextExisting);
        pnlDivision->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
        btnAddUpd->setText(CaptionUpdate);
    }
    FocusAfterStop(Focus);
}

void TReceiveView::BringForward()
{
    if (Settings.NotMoveFocus)
        return;
    // Topmost and back again is what raises a window above all others; a window manager does this
    // with raise and activation. With [SCREEN VIEW] TopView the main window keeps its stay-on-top
    // flag by itself, so raising this one takes nothing from it.
    raise();
    ForceForegroundWindow(this);
}

void TReceiveView::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FormShow();
}

void TReceiveView::FormShow()
{
    BringForward();
    ApplyMode();
    if (FernbookMode())
        CaretToEnd(edtFbTel);
    else
        CaretToEnd(FSave.CallRecord().TelIndex != 0 ? edtTel2 : edtTel1);
}

void TReceiveView::reject()
{
    btnCancelClick();
}

void TReceiveView::btnCancelClick()
{
    done(2);
}

void TReceiveView::btnLockUnlockClick()
{
    FLocked = !FLocked;
    btnLockUnlock->setText(FLocked ? CaptionUnlock : CaptionLock);
    for (QToolButton* Button : FLockedButtons)
        Button->setVisible(FLocked);
    FRefillGuard = FLocked;
}

void TReceiveView::bbtnExchangeClick()
{
    const QString First = edtTel1->text();
    edtTel1->setText(edtTel2->text());
    edtTel2->setText(First);
    CaretToEnd(edtTel1);
}

void TReceiveView::bbtnDicSch(int Tag)
{
    if (!ReceiveViewTools.DicSearch)
        return;
    {
        TNestedGuard Guard(*this, false);
        ReceiveViewTools.DicSearch(*this, Tag);
    }
    if (Tag == 4) {
        lblFbTelMain->setText(SearchedTelCaption);
        // The search may have found the caller in the address book, or lost it.
        ShowFbCaption();
    }
    QLineEdit* Target[] = {edtTel1, edtTel2, edtPos, edtTdfkn, edtFbTel, edtFbTel};
    CaretToEnd(Target[std::clamp(Tag, 0, 5)]);
}

void TReceiveView::bbtnEditListClick(int Tag)
{
    if (!ReceiveViewTools.EditLists)
        return;
    int Changed = 0;
    {
        TNestedGuard Guard(*this, true);
        Changed = ReceiveViewTools.EditLists(*this, Tag);
    }
    if (Changed & 1)
        ReloadRankList();
    for (int N = 0; N < 3; ++N)
        if (Changed & (2 << N))
            ReloadSelectItemList(N);
    QComboBox* Combos[] = {cbxRank, cbxSelectItem1, cbxSelectItem2, cbxSelectItem3};
    Combos[std::clamp(Tag, 0, 3)]->setFocus();
}

void TReceiveView::bbtnMapClick()
{
    if (!ReceiveViewTools.Map)
        return;
    TNestedGuard Guard(*this, true);
    ReceiveViewTools.Map(*this);
}

void TReceiveView::bbtnDialClick()
{
    if (!ReceiveViewTools.Dial)
        return;
    QStringList Numbers;
    if (FernbookMode()) {
        Numbers << TrimBlanks(edtFbTel->text());
        for (int I = 0; I < cbxFbTel->count(); ++I)
            Numbers << TrimBlanks(cbxFbTel->itemText(I));
    } else {
        Numbers << TrimBlanks(edtTel1->text()) << TrimBlanks(edtTel2->text());
    }
    TNestedGuard Guard(*this, true);
    ReceiveViewTools.Dial(*this, Numbers);
}

void TReceiveView::bbtnEMailClick()
{
    SendMailTo(this, edtEMail);
}

void TReceiveView::bbtnOpenExtFileClick()
{
    const QTreeWidgetItem* Item = lvExtFile->currentItem();
    if (!Item || !Item->isSelected()) {
        mmoNote->setFocus();
        return;
    }
    OpenAttachedFile(this, Item->text(1) + Item->text(2));
}

void TReceiveView::RunPrintTool(const std::function<void(TReceiveView&)>& Tool)
{
    if (!Tool)
        return;
    TNestedGuard Guard(*this, true);
    Tool(*this);
}

void TReceiveView::bbnMemoPrintSetClick()
{
    RunPrintTool(ReceiveViewTools.MemoPrintSet);
}

void TReceiveView::bbtnCopyClick()
{
    RunPrintTool(ReceiveViewTools.Copy);
}

void TReceiveView::bbtnMemoPrintClick()
{
    RunPrintTool(ReceiveViewTools.MemoPrint);
}

void TReceiveView::bbtnPrintClick()
{
    RunPrintTool(ReceiveViewTools.ScreenPrint);
}

void TReceiveView::nmedtNameConvertNeed(QObject* Sender, TNameDicKind Kind, bool Show, const QString& Value)
{
    if (ReceiveViewTools.ConvertNeed)
        ReceiveViewTools.ConvertNeed(*this, *static_cast<TNMDEdit*>(Sender), static_cast<int>(Kind), Show, Value);
}

void TReceiveView::nmedtNameConvertKeyDown(QObject*, unsigned& Key, bool& Result)
{
    if (ReceiveViewTools.ConvertKeyDown)
        Result = ReceiveViewTools.ConvertKeyDown(*this, Key);
}

bool TReceiveView::eventFilter(QObject* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::InputMethod:
        if (Watched == edtCorpKana)
            return edtCorpKanaInputMethod(static_cast<QInputMethodEvent*>(Event));
        break;
    case QEvent::FocusIn:
        if (auto* Edit = qobject_cast<QLineEdit*>(Watched))
            EditFocusIn(Edit, static_cast<QFocusEvent*>(Event));
        break;
    case QEvent::KeyPress:
        if (const int Key = static_cast<QKeyEvent*>(Event)->key(); Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            if (EnterKeyPress(Watched))
                return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(Watched, Event);
}

bool TReceiveView::edtCorpKanaInputMethod(QInputMethodEvent* Input)
{
    // The company's reading is kept in half-width katakana, whatever the input method produces.
    return CommitAsHalfKana(edtCorpKana, Input);
}

void TReceiveView::EditFocusIn(QLineEdit* Edit, const QFocusEvent* Focus)
{
    // The edits do not select their text when tabbed into (the dialog's first focus included):
    // the caret goes behind the last character instead.
    const auto Reason = Focus->reason();
    if (Reason == Qt::TabFocusReason || Reason == Qt::BacktabFocusReason)
        QMetaObject::invokeMethod(
            Edit, [Edit] { Edit->setCursorPosition(static_cast<int>(Edit->text().size())); }, Qt::QueuedConnection);
}

bool TReceiveView::EnterKeyPress(QObject* Control)
{
    // An editable combo reports the key through its line edit.
    for (QComboBox* Combo : {cbxRank, cbxSelectItem1, cbxSelectItem2, cbxSelectItem3})
        if (Control == Combo->lineEdit())
            Control = Combo;
    if (Control == mmoNote || Control == mmoNote->viewport())
        return false;
    if (auto* Button = qobject_cast<QAbstractButton*>(Control)) {
        // Enter presses the focused button, where the walk below leads it (a search button, say).
        Button->click();
        return true;
    }

    const auto Blank = [](const QLineEdit* Edit) { return TrimBlanks(Edit->text()).isEmpty(); };
    const auto GoEnd = [](QLineEdit* Edit) { CaretToEnd(Edit); };
    // A search button without its dictionary cannot take the focus; Enter then goes on to the field.
    const auto Search = [](const QToolButton* Button) { return Button->isEnabled(); };
    if (Control == edtTel1) {
        Blank(edtTdfkn) && Search(bbtnTel1Search) ? bbtnTel1Search->setFocus() : GoEnd(edtTel2);
    } else if (Control == edtTel2) {
        Blank(edtTel1) && Blank(edtTdfkn) && Search(bbtnTel2Search) ? bbtnTel2Search->setFocus() : GoEnd(edtPos);
    } else if (Control == edtFbTel) {
        Blank(edtTdfkn) && Search(bbtnFbTel1Search) ? bbtnFbTel1Search->setFocus() : cbxFbTel->setFocus();
    } else if (Control == edtPos) {
        Blank(edtTdfkn) && Search(bbtnPosSearch) ? bbtnPosSearch->setFocus() : GoEnd(edtTdfkn);
    } else if (Control == edtAdrs1) {
        GoEnd(edtAdrs2);
    } else if (Control == edtAdrs2) {
        GoEnd(edtAdrs3);
    } else if (Control == edtAdrs3) {
        GoEnd(edtCorpKana);
    } else if (Control == edtEMail) {
        cbxRank->setFocus();
    } else if (Control == cbxRank) {
        cbxSelectItem1->setFocus();
    } else if (Control == cbxSelectItem1) {
        cbxSelectItem2->setFocus();
    } else if (Control == cbxSelectItem2) {
        cbxSelectItem3->setFocus();
    } else if (Control == cbxSelectItem3) {
        lvExtFile->setFocus();
    } else if (Control == lvExtFile || Control == lvExtFile->viewport()) {
        mmoNote->setFocus();
    } else if (auto* Widget = qobject_cast<QWidget*>(Control);
               Widget &&
               (Control == cbxFbTel || Control == edtTdfkn || Control == edtCorpKana || Control == edtCorpKanji ||
                Control == nmedtNameKana || Control == nmedtNameKanji || Control == cbxPrivCorp ||
                Control == edtMemo1 || Control == edtMemo2 || Control == edtMemo3)) {
        focusNextChild();
        if (auto* Edit = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            GoEnd(Edit);
    } else {
        return false;
    }
    return true;
}
