#include "utility/forms/AddressSelect.h"

#include "main/common/HelpContext.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/identify/FbEditions.h"
#include "platform/msg/MessageBoxFlags.h"
#include "platform/text/Cp932.h"
#include "platform/ui/WindowLog.h"
#include "utility/fernbook/AdrsBooks.h"
#include "utility/forms/UtilFormParts.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

namespace Utility {

namespace {

// The list's editor: opens on the text the dialog hands it after a refusal, and writes a changed
// text back only when the dialog's rules take it.
class TBookNameDelegate : public QStyledItemDelegate
{
public:
    TBookNameDelegate(TAddressSelect* Dialog) : QStyledItemDelegate(Dialog), FDialog(Dialog) {}

    void setEditorData(QWidget* Editor, const QModelIndex& Index) const override
    {
        QStyledItemDelegate::setEditorData(Editor, Index);
        if (auto* Edit = qobject_cast<QLineEdit*>(Editor)) {
            const QString Text = FDialog->TakeEditText();
            if (!Text.isNull())
                Edit->setText(Text);
        }
    }
    void setModelData(QWidget* Editor, QAbstractItemModel* Model, const QModelIndex& Index) const override
    {
        auto* Edit = qobject_cast<QLineEdit*>(Editor);
        if (!Edit)
            return;
        const QString S = Edit->text();
        if (S == Index.data().toString())
            return;
        QListWidgetItem* Item = FDialog->lvAdrs->item(Index.row());
        if (FDialog->lvAdrsEdited(Item, S))
            Model->setData(Index, S);
    }

private:
    TAddressSelect* FDialog;
};

bool IsEnter(QEvent* Event)
{
    if (Event->type() != QEvent::KeyPress)
        return false;
    const int Key = static_cast<QKeyEvent*>(Event)->key();
    return Key == Qt::Key_Return || Key == Qt::Key_Enter;
}

} // namespace

TAddressSelect::TAddressSelect(QWidget* Owner, const QString& AdrsFolder, const QString& Current)
    : QDialog(Owner), CurrentName(Current), FAdrsFolder(AdrsFolder)
{
    setObjectName(QStringLiteral("AddressSelect"));
    setWindowTitle(QStringLiteral("アドレス帳の作成"));
    SetHelpContext(this, HelpContext);

    rbNew = Named(new QRadioButton(QStringLiteral("新しいアドレス帳を作成する：")), "rbNew");
    edtNew = Named(new QLineEdit, "edtNew");
    rbOpen = Named(new QRadioButton(QStringLiteral("既存のアドレス帳を選択する：")), "rbOpen");
    lvAdrs = Named(new QListWidget, "lvAdrs");
    lvAdrs->setMinimumSize(240, 180);
    lvAdrs->setEditTriggers(QAbstractItemView::NoEditTriggers); // F2 renames nothing
    lvAdrs->setItemDelegate(new TBookNameDelegate(this));
    lvAdrs->setContextMenuPolicy(Qt::ActionsContextMenu);
    const QIcon BookIcon = style()->standardIcon(QStyle::SP_FileDialogDetailedView);
    bbtnDelete =
        Named(new QPushButton(style()->standardIcon(QStyle::SP_TrashIcon), QStringLiteral("削除")), "bbtnDelete");
    bbtnRename = Named(new QPushButton(QStringLiteral("名前の変更")), "bbtnRename");
    actDelete = Named(new QAction(QStringLiteral("削除"), this), "actDelete");
    actRename = Named(new QAction(QStringLiteral("名前の変更"), this), "actRename");
    lvAdrs->addAction(actDelete);
    lvAdrs->addAction(actRename);
    btnOk = Named(new QPushButton(QStringLiteral("OK")), "btnOk");
    btnCancel = Named(new QPushButton(QStringLiteral("キャンセル")), "btnCancel");
    btnOk->setAutoDefault(false);
    btnCancel->setAutoDefault(false);

    for (const TFbAdrsBook& Book : std::as_const(FbAdrsBooks))
        if (Book.State != TFbAdrsBook::StateDeletePending)
            lvAdrs->addItem(new QListWidgetItem(BookIcon, Book.Name));
    for (int I = 0; I < lvAdrs->count(); ++I)
        lvAdrs->item(I)->setFlags(lvAdrs->item(I)->flags() | Qt::ItemIsEditable);

    auto* Grid = new QGridLayout;
    Grid->addWidget(rbNew, 0, 0, 1, 2);
    Grid->addWidget(edtNew, 1, 0, 1, 2);
    Grid->addWidget(rbOpen, 2, 0, 1, 2);
    Grid->addWidget(lvAdrs, 3, 0);
    auto* Side = new QVBoxLayout;
    Side->addWidget(bbtnDelete);
    Side->addWidget(bbtnRename);
    Side->addStretch();
    Grid->addLayout(Side, 3, 1);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnOk);
    Buttons->addWidget(btnCancel);
    auto* Layout = new QVBoxLayout(this);
    Layout->addLayout(Grid);
    Layout->addLayout(Buttons);

    if (lvAdrs->count() > 0) {
        const QList<QListWidgetItem*> Same = lvAdrs->findItems(CurrentName, Qt::MatchFixedString);
        lvAdrs->setCurrentItem(Same.isEmpty() || CurrentName.isEmpty() ? lvAdrs->item(0) : Same.first());
    } else {
        for (QWidget* Control : {static_cast<QWidget*>(rbOpen), static_cast<QWidget*>(lvAdrs),
                                 static_cast<QWidget*>(bbtnDelete), static_cast<QWidget*>(bbtnRename)})
            Control->setEnabled(false);
        actDelete->setEnabled(false);
        actRename->setEnabled(false);
    }

    connect(rbNew, &QRadioButton::clicked, this, [this] { ChooseNew(true); });
    connect(rbOpen, &QRadioButton::clicked, this, [this] { ChooseOpen(true); });
    connect(actDelete, &QAction::triggered, this, &TAddressSelect::actDeleteExecute);
    connect(actRename, &QAction::triggered, this, &TAddressSelect::actRenameExecute);
    connect(bbtnDelete, &QPushButton::clicked, actDelete, &QAction::trigger);
    connect(bbtnRename, &QPushButton::clicked, actRename, &QAction::trigger);
    connect(btnOk, &QPushButton::clicked, this, &TAddressSelect::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lvAdrs, &QListWidget::itemDoubleClicked, this, [this] {
        if (rbOpen->isChecked() && lvAdrs->currentItem())
            btnOkClick();
    });
    // At most 100 bytes, as a book's folder name must be.
    connect(edtNew, &QLineEdit::textEdited, this, [this](const QString& Text) {
        if (Cp932Width(Text) > MaxBookNameBytes)
            edtNew->setText(Cp932Left(Text, MaxBookNameBytes));
    });
    for (QWidget* Control : {static_cast<QWidget*>(rbNew), static_cast<QWidget*>(edtNew), static_cast<QWidget*>(rbOpen),
                             static_cast<QWidget*>(lvAdrs)})
        Control->installEventFilter(this);
}

void TAddressSelect::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TAddressSelect::FormShow()
{
    edtNew->setText(CurrentName);
    ChooseNew(true);
    LogWindowState(this);
}

void TAddressSelect::Colour()
{
    for (QRadioButton* Button : {rbNew, rbOpen}) {
        QPalette Palette = Button->palette();
        Palette.setColor(QPalette::WindowText,
                         Button->isChecked() ? QColor(Qt::blue) : palette().color(QPalette::WindowText));
        Palette.setColor(QPalette::ButtonText, Palette.color(QPalette::WindowText));
        Button->setPalette(Palette);
    }
}

void TAddressSelect::ChooseNew(bool Focus)
{
    rbNew->setChecked(true);
    Colour();
    if (Focus) {
        edtNew->setFocus();
        edtNew->end(false);
    }
}

void TAddressSelect::ChooseOpen(bool Focus)
{
    rbOpen->setChecked(true);
    Colour();
    if (Focus)
        lvAdrs->setFocus();
}

bool TAddressSelect::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::FocusIn) {
        if (Watched == edtNew && !rbNew->isChecked())
            ChooseNew(false);
        else if (Watched == lvAdrs && !rbOpen->isChecked())
            ChooseOpen(false);
    }
    if (IsEnter(Event)) {
        if (Watched == rbNew) {
            edtNew->setFocus();
            edtNew->end(false);
            return true;
        }
        if (Watched == rbOpen) {
            lvAdrs->setFocus();
            return true;
        }
        if (Watched == edtNew || (Watched == lvAdrs && !lvAdrs->isPersistentEditorOpen(lvAdrs->currentItem()))) {
            btnOk->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

int TAddressSelect::Box(const QString& Text, unsigned Flags)
{
    return MessageBoxPos(this, Text, ProductName, Flags);
}

void TAddressSelect::actDeleteExecute()
{
    QListWidgetItem* Item = lvAdrs->currentItem();
    if (!Item)
        return;
    const QString Name = Item->text();
    if (Name.compare(CurrentName, Qt::CaseInsensitive) == 0) {
        (void)Box(QStringLiteral("現在編集中のアドレス帳は削除できません  "), MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (Box(QStringLiteral("アドレス帳 '%1' を削除します  \r\nよろしいですか？  ").arg(Name),
            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    (void)JournalBookDeletion(FAdrsFolder, Name);
    const int Row = lvAdrs->row(Item);
    delete lvAdrs->takeItem(Row);
    if (lvAdrs->count() > 0)
        lvAdrs->setCurrentRow(std::min(Row, lvAdrs->count() - 1));
}

void TAddressSelect::actRenameExecute()
{
    if (QListWidgetItem* Item = lvAdrs->currentItem())
        lvAdrs->editItem(Item);
}

QString TAddressSelect::TakeEditText()
{
    return std::exchange(FEditText, QString());
}

void TAddressSelect::ReopenEditor(QListWidgetItem* Item, const QString& Text)
{
    FEditText = Text;
    // The editor that refused the text is still closing; the new one opens after it.
    QTimer::singleShot(0, this, [this, Item] { lvAdrs->editItem(Item); });
}

bool TAddressSelect::lvAdrsEdited(QListWidgetItem* Item, const QString& S)
{
    const QString Old = Item->text();
    const unsigned Info = MB_OK | MB_ICONINFORMATION;
    if (S.isEmpty()) {
        (void)Box(BookNameEmptyText, Info);
        return false;
    }
    if (const QString Refusal = BookNameCharRefusal(S); !Refusal.isEmpty()) {
        (void)Box(Refusal, Info);
        return false;
    }
    if (Old.compare(CurrentName, Qt::CaseInsensitive) == 0) {
        (void)Box(QStringLiteral("現在編集中のアドレス帳の名前は変更できません  "), Info);
        return false;
    }
    if (Cp932Width(S) > MaxBookNameBytes) {
        (void)Box(BookNameLengthText, Info);
        ReopenEditor(Item, Cp932Left(S, MaxBookNameBytes));
        return false;
    }
    for (int I = 0; I < lvAdrs->count(); ++I)
        if (lvAdrs->item(I) != Item && lvAdrs->item(I)->text().compare(S, Qt::CaseInsensitive) == 0) {
            (void)Box(BookNameTakenText, Info);
            ReopenEditor(Item, Old);
            return false;
        }
    (void)JournalBookRename(FAdrsFolder, Old, S);
    return true;
}

void TAddressSelect::btnOkClick()
{
    const unsigned Info = MB_OK | MB_ICONINFORMATION;
    if (rbOpen->isChecked()) {
        if (!lvAdrs->currentItem()) {
            (void)Box(QStringLiteral("アドレス帳を選択してください  "), Info);
            lvAdrs->setFocus();
            return;
        }
        CurrentName = lvAdrs->currentItem()->text();
        accept();
        return;
    }
    QString Name = edtNew->text().trimmed();
    if (Name.isEmpty()) {
        (void)Box(QStringLiteral("作成するアドレス帳の名前を入力してください  "), Info);
        edtNew->setFocus();
        return;
    }
    if (const QString Refusal = BookNameCharRefusal(Name); !Refusal.isEmpty()) {
        (void)Box(Refusal, Info);
        edtNew->setFocus();
        edtNew->end(false);
        return;
    }
    const QList<QListWidgetItem*> Same = lvAdrs->findItems(Name, Qt::MatchFixedString);
    if (!Same.isEmpty()) {
        if (Box(QStringLiteral("アドレス帳 '%1' は存在します  \r\n選択しますか？  ").arg(Same.first()->text()),
                MB_YESNO | MB_ICONQUESTION) != IDYES) {
            edtNew->setFocus();
            return;
        }
        Name = Same.first()->text();
    }
    if (!AddNewBook(FAdrsFolder, Name)) {
        (void)Box(QStringLiteral("アドレス帳を作成できませんでした  "), Info);
        return;
    }
    CurrentName = Name;
    accept();
}

} // namespace Utility
