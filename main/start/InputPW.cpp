#include "main/start/InputPW.h"

#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/start/StartupPassword.h"
#include "platform/ui/ClosedInput.h"
#include "platform/ui/WindowScript.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

TInputPassword::TInputPassword(QWidget* Owner, const QString& StoredText)
    : QDialog(Owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lblMsg1(new QLabel(QStringLiteral("［アプリケーション名］"), this)), medtPassword(new QLineEdit(this)),
      btnOk(new QPushButton(QStringLiteral("OK"), this)),
      btnCancel(new QPushButton(QStringLiteral("キャンセル"), this)),
      lblMsg2(new QLabel(QStringLiteral("を起動するためのパスワードを入力してください"), this)),
      bvlLine(new QFrame(this)), StoredText(StoredText)
{
    setObjectName(QStringLiteral("InputPassword"));
    setWindowTitle(QStringLiteral("パスワード入力"));
    setProperty("HelpContext", 2);
    setFixedSize(293, 153);
    lblMsg1->setObjectName(QStringLiteral("lblMsg1"));
    lblMsg2->setObjectName(QStringLiteral("lblMsg2"));
    medtPassword->setObjectName(QStringLiteral("medtPassword"));
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    bvlLine->setObjectName(QStringLiteral("bvlLine"));

    lblMsg1->move(16, 16);
    lblMsg1->adjustSize();
    lblMsg2->move(16, 36);
    lblMsg2->adjustSize();
    medtPassword->setGeometry(28, 64, 124, 20);
    medtPassword->setMaxLength(16);
    medtPassword->setEchoMode(QLineEdit::Password);
    medtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    CloseInputMethod(medtPassword);
    bvlLine->setGeometry(12, 100, 269, 9);
    bvlLine->setFrameShape(QFrame::HLine);
    bvlLine->setFrameShadow(QFrame::Sunken);
    // A line along the top edge, as the bevel draws it.
    bvlLine->setLineWidth(1);
    bvlLine->setContentsMargins(0, 0, 0, 7);
    btnOk->setGeometry(104, 116, 81, 25);
    btnOk->setDefault(true);
    btnCancel->setGeometry(192, 116, 81, 25);
    setTabOrder(medtPassword, btnOk);
    setTabOrder(btnOk, btnCancel);

    connect(btnOk, &QPushButton::clicked, this, &TInputPassword::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TInputPassword::btnCancelClick);
    FormCreate();
    ScriptWindow(this);

    if (const QScreen* Screen = QGuiApplication::primaryScreen())
        move(Screen->availableGeometry().center() - rect().center());
    medtPassword->setFocus();
}

void TInputPassword::FormCreate()
{
    lblMsg1->setText(QStringLiteral("Mirelo　Tolvane"));
    lblMsg1->adjustSize();
}

void TInputPassword::btnOkClick()
{
    if (medtPassword->text().isEmpty()) {
        (void)MessageBoxPos(this, QStringLiteral("パスワードを入力してください  "), ProductName, MB_ICONINFORMATION);
        medtPassword->setFocus();
        return;
    }
    // A malformed text lets nobody in; the start-up step has refused it before the dialog opens.
    if (!StoredPasswordMatches(StoredText, medtPassword->text())) {
        (void)MessageBoxPos(this, QStringLiteral("パスワードが違います  \r\n正しいパスワードを入力してください  "),
                            ProductName, MB_ICONINFORMATION);
        medtPassword->clear();
        medtPassword->setFocus();
        return;
    }
    done(1);
}

void TInputPassword::btnCancelClick()
{
    done(2);
}

void TInputPassword::done(int Result)
{
    if (Result != 1) {
        const int Answer = MessageBoxPos(this, QStringLiteral("Tolvaneの起動を中止します  \r\nよろしいですか？  "),
                                         ProductName, MB_YESNO | MB_ICONQUESTION);
        if (Answer != IDYES)
            return;
        Result = 2;
    }
    QDialog::done(Result);
}

bool AskStartupPassword(QWidget* MainWindow)
{
    return AskStartupPassword(MainWindow, StartupPasswordText);
}

bool AskStartupPassword(QWidget* MainWindow, const QString& StoredText)
{
    const TStoredPassword State = StoredPasswordState(StoredText);
    if (State == TStoredPassword::Malformed) {
        (void)MessageBoxPos(MainWindow,
                            QStringLiteral("起動時パスワードの設定が正しくありません  \r\n"
                                           "起動時パスワード設定ツールで設定し直してください  "),
                            ProductName, MB_ICONSTOP);
        return false;
    }
    if (State == TStoredPassword::None)
        return true;
    TInputPassword Dialog(MainWindow, StoredText);
    return Dialog.exec() == 1;
}
