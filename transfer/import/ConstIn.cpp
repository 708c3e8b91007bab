#include "transfer/import/ConstIn.h"

#include "main/common/CommonText.h"
#include "main/common/HelpContext.h"
#include "platform/ui/ClosedInput.h"
#include "platform/ui/WindowScript.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TConstantInput::TConstantInput(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("ConstantInput"));
    setWindowTitle(QStringLiteral("固定値の入力"));
    SetHelpContext(this, 57);
    edtConst = new QLineEdit(this);
    edtConst->setObjectName(QStringLiteral("edtConst"));
    CloseInputMethod(edtConst);
    btnDate = new QPushButton(QStringLiteral("現在の日付をセット（年月日）"), this);
    btnDate->setObjectName(QStringLiteral("btnDate"));
    btnTime = new QPushButton(QStringLiteral("現在の時刻をセット（時分秒）"), this);
    btnTime->setObjectName(QStringLiteral("btnTime"));
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* Button : {btnDate, btnTime, btnOk, btnCancel})
        Button->setAutoDefault(false);

    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(new QLabel(QStringLiteral("固定値を入力してください。"), this));
    Layout->addWidget(edtConst);
    auto* Now = new QHBoxLayout;
    Now->addWidget(btnDate);
    Now->addWidget(btnTime);
    Layout->addLayout(Now);
    Layout->addWidget(new QLabel(QStringLiteral("入力された値は、取り込む全てのデータにセットされます。"), this));
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnOk);
    Buttons->addWidget(btnCancel);
    Layout->addLayout(Buttons);

    connect(btnDate, &QPushButton::clicked, this, [this] {
        edtConst->setText(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
        edtConst->setFocus();
    });
    connect(btnTime, &QPushButton::clicked, this, [this] {
        edtConst->setText(QTime::currentTime().toString(QStringLiteral("HHmmss")));
        edtConst->setFocus();
    });
    connect(btnOk, &QPushButton::clicked, this, &TConstantInput::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    edtConst->installEventFilter(this);
    ScriptWindow(this);
}

void TConstantInput::SetMaxLength(int Length)
{
    edtConst->setMaxLength(Length > 0 ? Length : 32767);
}

QString TConstantInput::GetValue() const
{
    return TrimBlanks(edtConst->text());
}

void TConstantInput::btnOkClick()
{
    if (GetValue().isEmpty())
        reject();
    else
        accept();
}

bool TConstantInput::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == edtConst && Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            (GetValue().isEmpty() ? btnCancel : btnOk)->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}
