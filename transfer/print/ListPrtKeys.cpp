// The five number edits of the list print window and the walk through it with the Enter key.

#include "main/common/CommonText.h"
#include "main/common/FormParts.h"
#include "main/controls/NumberUpDown.h"
#include "main/settings/EnvApply.h"
#include "platform/msg/WindowMessage.h"
#include "transfer/print/ListPrtDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace {

constexpr int SizeTag = 0;
constexpr int OffsetYTag = 2;
constexpr int IntervalTag = 3;
constexpr int CopiesTag = 4;

bool IsEnter(const QKeyEvent* Key)
{
    return Key->key() == Qt::Key_Return || Key->key() == Qt::Key_Enter;
}

} // namespace

void TListPrint::CreateNumberEdit(int Tag, QLineEdit* Edit, TNumberUpDown* UpDown, int MaxLength)
{
    Edit->setMaxLength(MaxLength);
    Edit->setProperty("Tag", Tag);
    Edit->setFixedWidth(48);
    Edit->setAlignment(Qt::AlignRight);
    Edit->installEventFilter(this);
    FEdits[Tag] = {Edit, UpDown, UpDown->Position(), Tag == 1 || Tag == OffsetYTag};
    UpDown->OnChanging = [this, Tag](int NewValue) { return UpDownChanging(Tag, NewValue); };
}

// The one place a value is accepted: an up-down click, a key or a left edit all come here.
bool TListPrint::UpDownChanging(int Tag, int NewValue)
{
    TNumberEdit& E = FEdits[Tag];
    if (NewValue < E.UpDown->Min() || NewValue > E.UpDown->Max())
        return false;
    E.Last = NewValue;
    E.Edit->setText(E.Margin ? MarginText(NewValue) : QString::number(NewValue));
    E.Edit->selectAll();
    if (Tag == SizeTag) {
        const int Row = lbxDest->currentRow();
        TLayout& Layout = Model.CurrentLayout();
        if (Row >= 0 && Row < Layout.size())
            Layout[Row].ItemSize = NewValue;
    } else if (Tag == OffsetYTag) {
        PostMessage(this, WM_LISTPRINT_RECALC);
    }
    return true;
}

void TListPrint::NumberEditExit(int Tag)
{
    TNumberEdit& E = FEdits[Tag];
    const auto Revert = [&E] { E.Edit->setText(E.Margin ? MarginText(E.Last) : QString::number(E.Last)); };
    std::optional<int> Value;
    if (E.Margin) {
        Value = AcceptMarginText(E.Edit->text(), E.Edit->maxLength());
    } else {
        // Any number of digits is read; the range is the up-down's to refuse.
        Value = AcceptNumberText(E.Edit->text(), 0, 999999999);
    }
    if (!Value) {
        Revert();
        return;
    }
    if (*Value == E.UpDown->Position()) {
        // The same value typed again (050 for 50) shows in its form.
        Revert();
        return;
    }
    if (!E.UpDown->RequestChange(*Value))
        Revert();
}

bool TListPrint::NumberEditKeyDown(int Tag, QKeyEvent* Key)
{
    TNumberEdit& E = FEdits[Tag];
    if (IsEnter(Key)) {
        const int Before = E.UpDown->Position();
        NumberEditExit(Tag);
        if (E.UpDown->Position() != Before)
            return true;
        if (Tag == OffsetYTag)
            PressPage(2);
        else if (Tag == IntervalTag)
            lbxColor->setFocus();
        else if (Tag == CopiesTag)
            (btnList->isEnabled() ? btnList : btnCancel)->setFocus();
        else
            FocusNext(E.Edit);
        return true;
    }
    return StepUpDown(E.UpDown, Key->key(), 10);
}

void TListPrint::FocusNext(QWidget* From)
{
    // The next control of the same parent that takes focus, a tab stop or not.
    QWidget* Next = From->nextInFocusChain();
    while (Next && Next != From) {
        if (Next->parentWidget() == From->parentWidget() && Next->isEnabled() && Next->isVisible() &&
            Next->focusPolicy() != Qt::NoFocus)
            break;
        Next = Next->nextInFocusChain();
    }
    if (!Next || Next == From)
        return;
    Next->setFocus();
    if (auto* Edit = qobject_cast<QLineEdit*>(Next))
        Edit->end(false);
}

bool TListPrint::EnterKeyDown(QObject* Watched)
{
    if (Watched == rbRecvHis || Watched == rbAddMeibo) {
        cbxTemplateName->setFocus();
    } else if (Watched == cbxTemplateName) {
        cbxTemplateName->setCurrentIndex(cbxTemplateName->currentIndex());
        lbxDest->setFocus();
    } else if (Watched == lbxDest) {
        if (lbxDest->currentRow() == lbxDest->count() - 1)
            lbxSrc->setFocus();
        else
            edtSize->setFocus();
    } else if (Watched == chkViewDate) {
        (chkViewDate->isChecked() ? static_cast<QWidget*>(dtpViewDate) : chkViewPage)->setFocus();
    } else if (Watched == chkViewPage) {
        if (chkViewPage->isChecked())
            cbxPageType->setFocus();
        else
            PressPage(1);
    } else if (Watched == cbxPagePosY) {
        PressPage(1);
    } else if (Watched == lbxColor) {
        PressPage(3);
    } else if (Watched == rbList || Watched == rbRange || Watched == rbAll) {
        edtCopies->setFocus();
    } else if (auto* Widget = qobject_cast<QWidget*>(Watched)) {
        FocusNext(Widget);
    } else {
        return false;
    }
    return true;
}

bool TListPrint::DropEvent(QObject* Watched, QEvent* Event)
{
    const bool OnDest = Watched == lbxDest->viewport();
    const bool OnColors = Watched == lbxColor->viewport();
    if (!OnDest && !OnColors)
        return false;
    auto* Drop = static_cast<QDropEvent*>(Event);
    QObject* Source = Drop->source();
    if ((OnDest && Source != lbxSrc) || (OnColors && Source != lbxColor))
        return false;
    QListWidget* List = OnDest ? lbxDest : lbxColor;
    const int Row = List->row(List->itemAt(Drop->position().toPoint()));
    if (Event->type() == QEvent::DragEnter || Event->type() == QEvent::DragMove) {
        // The row under the cursor is where the item goes.
        if (OnDest && Row >= 0)
            lbxDest->setCurrentRow(Row);
        Drop->acceptProposedAction();
        return true;
    }
    Drop->setDropAction(Qt::IgnoreAction);
    Drop->accept();
    if (OnDest) {
        bbtnSetClick();
    } else {
        const int From = lbxColor->currentRow();
        if (Row >= 0 && From >= 0 && Row != From) {
            const QVariant A = lbxColor->item(From)->data(Qt::UserRole);
            lbxColor->item(From)->setData(Qt::UserRole, lbxColor->item(Row)->data(Qt::UserRole));
            lbxColor->item(Row)->setData(Qt::UserRole, A);
            lbxColor->setCurrentRow(Row);
        }
    }
    return true;
}

bool TListPrint::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::DragEnter || Event->type() == QEvent::DragMove || Event->type() == QEvent::Drop)
        if (DropEvent(Watched, Event))
            return true;
    if (Event->type() == QEvent::FocusIn) {
        for (TNumberEdit& E : FEdits)
            if (Watched == E.Edit)
                E.Last = E.UpDown->Position();
        if (Watched == edtTitle)
            FTitleWasEmpty = edtTitle->text().trimmed().isEmpty();
    } else if (Event->type() == QEvent::FocusOut) {
        for (int Tag = 0; Tag < 5; ++Tag)
            if (Watched == FEdits[Tag].Edit && FEdits[Tag].Edit->isEnabled())
                NumberEditExit(Tag);
        if (Watched == edtTitle && FTitleWasEmpty != edtTitle->text().trimmed().isEmpty()) {
            FTitleWasEmpty = !FTitleWasEmpty;
            CountRecordsPerPage();
        }
    } else if (Event->type() == QEvent::KeyPress) {
        auto* Key = static_cast<QKeyEvent*>(Event);
        for (int Tag = 0; Tag < 5; ++Tag)
            if (Watched == FEdits[Tag].Edit)
                return NumberEditKeyDown(Tag, Key);
        if (IsEnter(Key) && Key->modifiers() == Qt::NoModifier)
            return EnterKeyDown(Watched);
    }
    return QDialog::eventFilter(Watched, Event);
}
