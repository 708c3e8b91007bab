#include "calls/DelTrgt.h"

#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TDeleteTarget::TDeleteTarget(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("DeleteTarget"));
    rbSelected = new QRadioButton(QStringLiteral("選択したデータのみ"), this);
    rbSelected->setObjectName(QStringLiteral("rbSelected"));
    rbSelected->setProperty("Tag", 0);
    rbAll = new QRadioButton(QStringLiteral("表示条件に該当するすべてのデータ"), this);
    rbAll->setObjectName(QStringLiteral("rbAll"));
    rbAll->setProperty("Tag", 1);
    btnDelete = new QPushButton(QStringLiteral("削除(&D)"), this);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* Group = new QGroupBox(QStringLiteral("削除対象"), this);
    auto* Options = new QVBoxLayout(Group);
    Options->addWidget(rbSelected);
    Options->addWidget(rbAll);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnDelete);
    Buttons->addWidget(btnCancel);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(Group);
    Layout->addLayout(Buttons);

    rbSelected->installEventFilter(this);
    rbAll->installEventFilter(this);
    connect(rbSelected, &QRadioButton::toggled, this, &TDeleteTarget::rbOptionClick);
    connect(rbAll, &QRadioButton::toggled, this, &TDeleteTarget::rbOptionClick);
    connect(btnDelete, &QPushButton::clicked, this, &TDeleteTarget::btnDeleteClick);
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(2); });
}

void TDeleteTarget::SetCaption(const QString& Text)
{
    setWindowTitle(Text);
}

void TDeleteTarget::SetSelectedCount(int Count)
{
    SelectedCount = Count;
    FormShow();
}

bool TDeleteTarget::DeleteAll() const
{
    return rbAll->isChecked();
}

void TDeleteTarget::reject()
{
    done(2);
}

void TDeleteTarget::showEvent(QShowEvent* Event)
{
    FormShow();
    QDialog::showEvent(Event);
}

void TDeleteTarget::FormShow()
{
    rbSelected->setEnabled(SelectedCount > 0);
    (SelectedCount > 0 ? rbSelected : rbAll)->setChecked(true);
    rbOptionClick();
}

void TDeleteTarget::rbOptionClick()
{
    for (QRadioButton* Option : {rbSelected, rbAll}) {
        QPalette Palette = Option->palette();
        Palette.setColor(QPalette::WindowText,
                         Option->isChecked() ? QColor(0, 0, 255) : palette().color(QPalette::WindowText));
        Palette.setColor(QPalette::ButtonText,
                         Option->isChecked() ? QColor(0, 0, 255) : palette().color(QPalette::ButtonText));
        Option->setPalette(Palette);
    }
}

void TDeleteTarget::btnDeleteClick()
{
    const QString Text =
        rbAll->isChecked()
            ? QStringLiteral("現在の表示条件（初期表示状態を含む）に該当する  \r\nすべてのデータを削除します  "
                             "\r\nよろしいですか？  ")
            : QString::number(SelectedCount) + QStringLiteral("件のデータを削除します  ") + QStringLiteral("\r\n") +
                  QStringLiteral("よろしいですか？  ");
    const int Answer = MessageBoxPos(this, Text, ProductName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, 2);
    done(Answer == IDYES ? 1 : 2);
}

bool TDeleteTarget::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            btnDelete->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}
