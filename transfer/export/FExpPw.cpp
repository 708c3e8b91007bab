#include "transfer/export/FExpPw.h"

#include "main/common/CommonText.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "platform/ui/ClosedInput.h"
#include "platform/ui/WindowScript.h"
#include "transfer/export/ExportPassword.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* NewPasswordEdit(QWidget* Parent, const char* Name)
{
    auto* Edit = new QLineEdit(Parent);
    Edit->setObjectName(QLatin1String(Name));
    Edit->setMaxLength(ExportPasswordMaxLength);
    Edit->setEchoMode(QLineEdit::Password);
    Edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    // Only half-width letters and digits are allowed; a conversion window would only get in the way.
    CloseInputMethod(Edit);
    Edit->setFixedWidth(160);
    return Edit;
}

QLabel* NewLabel(QWidget* Parent, const char* Name, const QString& Text)
{
    auto* Label = new QLabel(Text, Parent);
    Label->setObjectName(QLatin1String(Name));
    return Label;
}

bool IsEnter(QEvent* Event)
{
    if (Event->type() != QEvent::KeyPress)
        return false;
    const int Key = static_cast<QKeyEvent*>(Event)->key();
    return Key == Qt::Key_Return || Key == Qt::Key_Enter;
}

} // namespace

TFileExportPassword::TFileExportPassword(QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lblMsg1(NewLabel(this, "lblMsg1",
                       QStringLiteral("暗号化出力したファイルを復元する際に必要となるパスワードを設定します"))),
      lblMsg2(NewLabel(this, "lblMsg2", QStringLiteral("※８文字～１６文字の半角英数字で入力してください"))),
      lblMsg3(NewLabel(this, "lblMsg3", QStringLiteral("英字は大文字小文字の区別はしません"))),
      lblPassword1(NewLabel(this, "lblPassword1", QStringLiteral("パスワード："))),
      lblPassword2(NewLabel(this, "lblPassword2", QStringLiteral("確認用："))),
      medtPassword1(NewPasswordEdit(this, "medtPassword1")), medtPassword2(NewPasswordEdit(this, "medtPassword2")),
      chkSavePassword(new QCheckBox(QStringLiteral("パスワードを保存する （推奨しません）"), this)),
      btnSet(new QPushButton(QStringLiteral("設定"), this)),
      btnCancel(new QPushButton(QStringLiteral("キャンセル"), this))
{
    setObjectName(QStringLiteral("FileExportPassword"));
    setWindowTitle(QStringLiteral("自己復元パスワード入力"));
    setProperty("HelpContext", 63);
    chkSavePassword->setObjectName(QStringLiteral("chkSavePassword"));
    btnSet->setObjectName(QStringLiteral("btnSet"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    lblPassword1->setBuddy(medtPassword1);
    lblPassword2->setBuddy(medtPassword2);

    auto* Entries = new QGridLayout;
    Entries->setContentsMargins(24, 8, 0, 4);
    Entries->setHorizontalSpacing(8);
    Entries->addWidget(lblPassword1, 0, 0, Qt::AlignRight);
    Entries->addWidget(medtPassword1, 0, 1, Qt::AlignLeft);
    Entries->addWidget(lblPassword2, 1, 0, Qt::AlignRight);
    Entries->addWidget(medtPassword2, 1, 1, Qt::AlignLeft);
    Entries->setColumnStretch(2, 1);
    auto* Line = new QFrame(this);
    Line->setFrameShape(QFrame::HLine);
    Line->setFrameShadow(QFrame::Sunken);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnSet);
    Buttons->addWidget(btnCancel);
    auto* Form = new QVBoxLayout(this);
    Form->setContentsMargins(16, 14, 16, 12);
    Form->addWidget(lblMsg1);
    Form->addWidget(lblMsg2);
    auto* Indented = new QHBoxLayout;
    Indented->setContentsMargins(14, 0, 0, 0);
    Indented->addWidget(lblMsg3);
    Form->addLayout(Indented);
    Form->addLayout(Entries);
    auto* SaveRow = new QHBoxLayout;
    SaveRow->setContentsMargins(24, 0, 0, 0);
    SaveRow->addWidget(chkSavePassword);
    Form->addLayout(SaveRow);
    Form->addWidget(Line);
    Form->addLayout(Buttons);
    Form->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(medtPassword1, medtPassword2);
    setTabOrder(medtPassword2, chkSavePassword);
    setTabOrder(chkSavePassword, btnSet);
    setTabOrder(btnSet, btnCancel);
    for (QWidget* Routed : {static_cast<QWidget*>(medtPassword1), static_cast<QWidget*>(medtPassword2),
                            static_cast<QWidget*>(chkSavePassword)})
        Routed->installEventFilter(this);
    connect(btnSet, &QPushButton::clicked, this, &TFileExportPassword::btnSetClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(chkSavePassword, &QCheckBox::toggled, this, &TFileExportPassword::chkSavePasswordClick);

    LoadPassword();
    ScriptWindow(this);
    medtPassword1->setFocus();
}

void TFileExportPassword::LoadPassword()
{
    const TSavedPassword Saved = LoadSavedPassword();
    chkSavePassword->setChecked(Saved.Save);
    medtPassword1->setText(Saved.Password);
    medtPassword2->setText(Saved.Password);
    chkSavePasswordClick();
}

bool TFileExportPassword::CheckPassword()
{
    const TPasswordFault Fault = CheckPasswordEntries(medtPassword1->text(), medtPassword2->text());
    if (Fault == TPasswordFault::None)
        return true;
    (void)MessageBoxPos(this, PasswordFaultText(Fault), ProductName, MB_OK | MB_ICONINFORMATION);
    switch (Fault) {
    case TPasswordFault::SecondEmpty:
        medtPassword2->setFocus();
        break;
    case TPasswordFault::Length:
    case TPasswordFault::Character:
        medtPassword1->selectAll();
        medtPassword1->setFocus();
        break;
    case TPasswordFault::Mismatch:
        medtPassword2->clear();
        medtPassword2->setFocus();
        break;
    default:
        medtPassword1->setFocus();
        break;
    }
    return false;
}

void TFileExportPassword::StorePassword()
{
    // The export goes on either way; the user is told that the copy asked for is not there.
    if (!StoreSavedPassword(chkSavePassword->isChecked(), FPassword))
        (void)MessageBoxPos(this,
                            QStringLiteral("パスワードの保存の設定を書き込めませんでした  \r\n"
                                           "設定フォルダーに書き込めるか確認してください  "),
                            ProductName, MB_OK | MB_ICONWARNING);
}

void TFileExportPassword::btnSetClick()
{
    if (!CheckPassword())
        return;
    FPassword = medtPassword1->text();
    StorePassword();
    accept();
}

void TFileExportPassword::chkSavePasswordClick()
{
    // Blue while checked, as a reminder that the password is being kept on this machine.
    chkSavePassword->setStyleSheet(chkSavePassword->isChecked() ? QStringLiteral("QCheckBox { color: blue; }")
                                                                : QString());
}

void TFileExportPassword::medtPassword1KeyPress()
{
    if (!TrimBlanks(medtPassword1->text()).isEmpty()) {
        medtPassword2->setFocus();
        medtPassword2->selectAll();
    } else {
        btnCancel->setFocus();
    }
}

void TFileExportPassword::medtPassword2KeyPress()
{
    if (!TrimBlanks(medtPassword2->text()).isEmpty()) {
        chkSavePassword->setFocus();
    } else {
        medtPassword1->setFocus();
        medtPassword1->selectAll();
    }
}

void TFileExportPassword::chkSavePasswordKeyPress()
{
    (medtPassword1->text().isEmpty() ? btnCancel : btnSet)->setFocus();
}

bool TFileExportPassword::eventFilter(QObject* Watched, QEvent* Event)
{
    if (IsEnter(Event)) {
        if (Watched == medtPassword1)
            medtPassword1KeyPress();
        else if (Watched == medtPassword2)
            medtPassword2KeyPress();
        else if (Watched == chkSavePassword)
            chkSavePasswordKeyPress();
        else
            return QDialog::eventFilter(Watched, Event);
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}
