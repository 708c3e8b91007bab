#include "main/start/RegistDialog.h"

#include "platform/ui/WindowScript.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
constexpr int TagRegistLater = 1;
}

TRegistDialog::TRegistDialog(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lblMsg(new QLabel(QStringLiteral("オンラインで製品のユーザー登録を行いますか？"), this)),
      btnRegist(new QPushButton(QStringLiteral("はい"), this)),
      btnLater(new QPushButton(QStringLiteral("後で登録"), this)),
      btnRegistered(new QPushButton(QStringLiteral("登録済み"), this))
{
    setObjectName(QStringLiteral("RegistDialog"));
    setWindowTitle(QStringLiteral("ユーザー登録"));
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    btnRegist->setObjectName(QStringLiteral("btnRegist"));
    btnLater->setObjectName(QStringLiteral("btnLater"));
    btnRegistered->setObjectName(QStringLiteral("btnRegistered"));
    btnRegist->setProperty("Tag", 0);
    btnLater->setProperty("Tag", 1);
    btnRegistered->setProperty("Tag", 2);
    btnRegist->setDefault(true);

    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(24, 20, 24, 14);
    Layout->addWidget(lblMsg);
    Layout->addSpacing(16);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    for (QPushButton* Button : {btnRegist, btnLater, btnRegistered}) {
        Buttons->addWidget(Button);
        connect(Button, &QPushButton::clicked, this, &TRegistDialog::btnRegisterClick);
    }
    Layout->addLayout(Buttons);
    setFixedSize(sizeHint());
    ScriptWindow(this);
}

int TRegistDialog::exec()
{
    Answer = NoRegistAnswer;
    QDialog::exec();
    return Answer;
}

void TRegistDialog::done(int Result)
{
    Answer = Result;
    QDialog::done(Result);
}

void TRegistDialog::reject()
{
    // Closed any other way than by a button, the dialog means "later" (QDialog would answer 0, "register now").
    done(TagRegistLater);
}

void TRegistDialog::btnRegisterClick()
{
    done(sender()->property("Tag").toInt());
}
