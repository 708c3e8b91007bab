#include "directory/picklist/InputLst.h"

#include "main/common/FormParts.h"
#include "main/common/HelpContext.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/controls/NMDEdit.h"
#include "platform/ui/ClosedInput.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <functional>

// A tab bar whose owner may refuse a change before it happens: the user's clicks and arrow keys
// ask first. Changes the program makes itself are not asked about.
class TInputListTabs : public QTabBar
{
public:
    using QTabBar::QTabBar;
    std::function<bool()> OnChanging;

protected:
    void mousePressEvent(QMouseEvent* Event) override
    {
        const int To = tabAt(Event->position().toPoint());
        if (Event->button() == Qt::LeftButton && To >= 0 && To != currentIndex() && !Allowed())
            return Event->accept();
        QTabBar::mousePressEvent(Event);
    }
    void keyPressEvent(QKeyEvent* Event) override
    {
        const int Step = Event->key() == Qt::Key_Left ? -1 : Event->key() == Qt::Key_Right ? 1 : 0;
        const int To = currentIndex() + Step;
        if (Step != 0 && To >= 0 && To < count() && !Allowed())
            return Event->accept();
        QTabBar::keyPressEvent(Event);
    }
    // The wheel does not turn the tabs, as on the platform the form was made for.
    void wheelEvent(QWheelEvent* Event) override { Event->ignore(); }

private:
    bool Allowed() const { return !OnChanging || OnChanging(); }
};

namespace {

constexpr int HelpContext = 51;

QPushButton* NewPush(QWidget* Parent, const char* Name, const QString& Caption, int X, int Y, int W = 76)
{
    auto* Button = NewNamed<QPushButton>(Parent, Name, Caption);
    Button->setGeometry(X, Y, W, 26);
    return Button;
}

} // namespace

TInputList::TInputList(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("InputList"));
    setWindowTitle(QStringLiteral("入力リストの編集"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(EntryFormFont());
    setFixedSize(360, 340);
    SetHelpContext(this, HelpContext);
    CreateControls();
    FormCreate();
}

TInputList::~TInputList() = default;

void TInputList::CreateControls()
{
    FTabBar = NewNamed<TInputListTabs>(this, "tabctlInputList");
    tabctlInputList = FTabBar;
    FTabBar->setGeometry(8, 8, 344, 24);
    FTabBar->setExpanding(false);
    FTabBar->setDrawBase(false);
    auto* Page = new QFrame(this);
    Page->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    Page->setGeometry(8, 31, 344, 262);

    lblName = NewNamed<QLabel>(Page, "lblName", QStringLiteral("名称："));
    lblName->setGeometry(12, 10, 120, 18);
    edtName = NewEdit(Page, "edtName", TPickListTabs::NameLimit(0), QRect(12, 30, 230, EditRowHeight(this)));
    bbtnAdd = NewPush(Page, "bbtnAdd", QStringLiteral("追加"), 252, 28);
    lblList = NewNamed<QLabel>(Page, "lblList", QStringLiteral("入力リスト："));
    lblList->setGeometry(12, 60, 120, 18);
    lbxList = NewNamed<QListWidget>(Page, "lbxList");
    lbxList->setGeometry(12, 80, 230, 170);
    lbxList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbxList->setUniformItemSizes(true);
    // The names are picked, not typed, here.
    CloseInputMethod(lbxList);
    bbtnUpdate = NewPush(Page, "bbtnUpdate", QStringLiteral("変更"), 252, 80);
    bbtnDelete = NewPush(Page, "bbtnDelete", QStringLiteral("削除"), 252, 110);
    bbtnUp = NewPush(Page, "bbtnUp", QStringLiteral("上"), 252, 194);
    bbtnDown = NewPush(Page, "bbtnDown", QStringLiteral("下"), 252, 224);

    btnOk = NewPush(this, "btnOk", QStringLiteral("OK"), 188, 304, 78);
    btnCancel = NewPush(this, "btnCancel", QStringLiteral("キャンセル"), 274, 304, 78);

    connect(bbtnAdd, &QPushButton::clicked, this, &TInputList::bbtnAddClick);
    connect(bbtnUpdate, &QPushButton::clicked, this, &TInputList::bbtnUpdateClick);
    connect(bbtnDelete, &QPushButton::clicked, this, &TInputList::bbtnDeleteClick);
    connect(bbtnUp, &QPushButton::clicked, this, &TInputList::bbtnUpClick);
    connect(bbtnDown, &QPushButton::clicked, this, &TInputList::bbtnDownClick);
    connect(btnOk, &QPushButton::clicked, this, &TInputList::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TInputList::btnCancelClick);
    connect(lbxList, &QListWidget::itemSelectionChanged, this, &TInputList::lbxListClick);
    connect(lbxList, &QListWidget::itemDoubleClicked, this, &TInputList::lbxListDblClick);
    FTabBar->OnChanging = [this] { return tabctlInputListChanging(); };
    connect(FTabBar, &QTabBar::currentChanged, this, &TInputList::tabctlInputListChange);

    // Enter in the name edit and in the list goes to their handlers, not to a default button.
    edtName->installEventFilter(this);
    lbxList->installEventFilter(this);
}

void TInputList::FormCreate()
{
    FTabs.Prepare(true);
    FTabBar->addTab(TPickListTabs::Caption(0));
}

void TInputList::Prepare(bool RankOnly)
{
    const QSignalBlocker Quiet(FTabBar);
    while (FTabBar->count() > 1)
        FTabBar->removeTab(FTabBar->count() - 1);
    FTabs.Prepare(RankOnly);
    for (int I = 1; I < FTabs.Count(); ++I)
        FTabBar->addTab(TPickListTabs::Caption(I));
}

void TInputList::SelectList(int Index)
{
    const int Tab = std::clamp(Index, 0, FTabs.Count() - 1);
    {
        const QSignalBlocker Quiet(FTabBar);
        FTabBar->setCurrentIndex(Tab);
    }
    SetByteLimit(edtName, TPickListTabs::NameLimit(Tab));
}

void TInputList::GetChangedLists(int& Bits) const
{
    Bits = FTabs.ChangedBits();
}

void TInputList::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FormShow();
}

void TInputList::FormShow()
{
    ShowList(TPickList::Of(FTabs.ShownItems(FTabBar->currentIndex())));
    UpdateMoveButtons();
    FocusName();
}

TPickList TInputList::ShownList() const
{
    TPickList List;
    for (int I = 0; I < lbxList->count(); ++I) {
        List.Items << lbxList->item(I)->text();
        List.Selected << lbxList->item(I)->isSelected();
    }
    List.Current = lbxList->currentRow();
    return List;
}

void TInputList::ShowList(const TPickList& List)
{
    const QSignalBlocker Quiet(lbxList);
    lbxList->clear();
    const int Height = lbxList->fontMetrics().height() + 2;
    for (int I = 0; I < List.Items.size(); ++I) {
        auto* Item = new QListWidgetItem(List.Items[I], lbxList);
        Item->setSizeHint(QSize(0, Height));
        Item->setSelected(List.Selected.value(I));
    }
    if (List.Current >= 0 && List.Current < lbxList->count())
        lbxList->setCurrentRow(List.Current, QItemSelectionModel::NoUpdate);
}

void TInputList::UpdateMoveButtons()
{
    const TMoveButtons Buttons = MoveButtonsFor(ShownList());
    bbtnUp->setEnabled(Buttons.Up);
    bbtnDown->setEnabled(Buttons.Down);
}

void TInputList::MarkChanged()
{
    FTabs.Tab(FTabBar->currentIndex()).Changed = true;
}

void TInputList::FocusName()
{
    CaretToEnd(edtName);
}

int TInputList::Message(const QString& Text, unsigned Flags)
{
    return MessageBoxPos(this, Text, ProductName, Flags);
}

void TInputList::bbtnAddClick()
{
    TPickList List = ShownList();
    if (const TPickRefusal Refusal = AddName(List, edtName->text()); Refusal != TPickRefusal::None) {
        Message(RefusalText(Refusal), MB_OK | MB_ICONINFORMATION);
        FocusName();
        return;
    }
    ShowList(List);
    lbxList->scrollToTop();
    MarkChanged();
    UpdateMoveButtons();
    edtName->clear();
    FocusName();
}

void TInputList::bbtnUpdateClick()
{
    TPickList List = ShownList();
    const TPickRefusal Refusal = RenameSelected(List, edtName->text());
    if (Refusal != TPickRefusal::None) {
        Message(RefusalText(Refusal), MB_OK | MB_ICONINFORMATION);
        if (Refusal == TPickRefusal::NothingSelected || Refusal == TPickRefusal::SeveralSelected)
            lbxList->setFocus();
        else
            FocusName();
        return;
    }
    ShowList(List);
    MarkChanged();
    edtName->clear();
    FocusName();
}

void TInputList::bbtnDeleteClick()
{
    TPickList List = ShownList();
    DeleteSelected(List);
    ShowList(List);
    // Even a press without a selection counts: OK then writes the list as it is shown.
    MarkChanged();
    UpdateMoveButtons();
    FocusName();
}

void TInputList::bbtnUpClick()
{
    TPickList List = ShownList();
    if (!MoveSelected(List, true))
        return;
    ShowList(List);
    MarkChanged();
    UpdateMoveButtons();
}

void TInputList::bbtnDownClick()
{
    TPickList List = ShownList();
    if (!MoveSelected(List, false))
        return;
    ShowList(List);
    MarkChanged();
    UpdateMoveButtons();
}

void TInputList::lbxListClick()
{
    UpdateMoveButtons();
}

void TInputList::lbxListDblClick()
{
    if (const QListWidgetItem* Item = lbxList->currentItem())
        edtName->setText(Item->text());
    FocusName();
}

void TInputList::lbxListKeyPress()
{
    FocusName();
}

void TInputList::edtNameKeyPress()
{
    if (!edtName->text().isEmpty()) {
        bbtnAddClick();
        return;
    }
    (FTabs.ChangedBits() != 0 ? btnOk : btnCancel)->setFocus();
}

bool TInputList::tabctlInputListChanging()
{
    const int From = FTabBar->currentIndex();
    const TPickList List = ShownList();
    if (From == 0 && List.Items.isEmpty()) {
        Message(MsgRankRequired, MB_OK | MB_ICONINFORMATION);
        FocusName();
        return false;
    }
    TPickListTab& Tab = FTabs.Tab(From);
    Tab.EditText = edtName->text();
    Tab.ItemsCopy = List.Items;
    Tab.SelectedCopy = List.SelectedIndexes();
    return true;
}

void TInputList::tabctlInputListChange()
{
    const int Index = FTabBar->currentIndex();
    const TPickListTab& Tab = FTabs.Tab(Index);
    SetByteLimit(edtName, TPickListTabs::NameLimit(Index));
    edtName->setText(Tab.EditText);
    TPickList List = TPickList::Of(FTabs.ShownItems(Index));
    if (Tab.SelectedCopy)
        for (int Row : *Tab.SelectedCopy)
            if (Row >= 0 && Row < List.Selected.size())
                List.Selected[Row] = true;
    ShowList(List);
    UpdateMoveButtons();
    FocusName();
}

void TInputList::btnOkClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int Index = FTabBar->currentIndex();
    const TPickList List = ShownList();
    if (Index == 0 && List.Items.isEmpty()) {
        QApplication::restoreOverrideCursor();
        Message(MsgRankRequired, MB_OK | MB_ICONINFORMATION);
        FocusName();
        return;
    }
    FTabs.Tab(Index).ItemsCopy = List.Items;
    const QString Failure = FTabs.SaveChanged();
    QApplication::restoreOverrideCursor();
    if (!Failure.isEmpty()) {
        // The dialog stays with the edits, so that nothing the user did is lost to a failed write.
        Message(Failure, MB_OK | MB_ICONSTOP);
        return;
    }
    done(1);
}

void TInputList::reject()
{
    btnCancelClick();
}

void TInputList::btnCancelClick()
{
    if (FTabs.ChangedBits() != 0 && Message(FTabs.CancelQuestion(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDNO)
        return;
    done(2);
}

bool TInputList::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            if (Watched == edtName) {
                edtNameKeyPress();
                return true;
            }
            if (Watched == lbxList) {
                lbxListKeyPress();
                return true;
            }
        }
    }
    return QDialog::eventFilter(Watched, Event);
}
