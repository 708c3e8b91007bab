#include "main/start/InfoDialog.h"

#include "main/common/ProductInfo.h"
#include "main/start/MainHooks.h"
#include "platform/ui/WindowScript.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
QLabel* NewLabel(const QString& Name, const QString& Text, QWidget* Parent)
{
    auto* Label = new QLabel(Text, Parent);
    Label->setObjectName(Name);
    return Label;
}
} // namespace

TInfoDialog::TInfoDialog(bool UpdateCheck, QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lblInfo1(NewLabel(QStringLiteral("lblInfo1"),
                        ProductName + QStringLiteral(" ") +
                            QStringLiteral(" をお買い上げいただきましてありがとうございます。"),
                        this)),
      lblInfo2(NewLabel(QStringLiteral("lblInfo2"),
                        QStringLiteral("詳しい使い方は、キーボードの ［Ｆ１］キーを押してください。"), this)),
      lblUpdate1(NewLabel(
          QStringLiteral("lblUpdate1"),
          QStringLiteral("起動した時にインターネットに接続して、最新のアップデートが公開されているかを"), this)),
      lblUpdate2(NewLabel(QStringLiteral("lblUpdate2"), QStringLiteral("確認することができます。"), this)),
      ckbUpdate(new QCheckBox(QStringLiteral("起動時に最新アップデートの確認をする"), this)),
      ckbInfo(new QCheckBox(QStringLiteral("次回もこのメッセージを表示する"), this)),
      btnOK(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("InfoDialog"));
    setWindowTitle(ProductName);
    SetHelpContext(this, 999);
    ckbUpdate->setObjectName(QStringLiteral("ckbUpdate"));
    ckbInfo->setObjectName(QStringLiteral("ckbInfo"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    ckbUpdate->setChecked(UpdateCheck);
    ckbInfo->setChecked(true);

    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(20, 18, 20, 14);
    Layout->addWidget(lblInfo1);
    Layout->addWidget(lblInfo2);
    Layout->addSpacing(14);
    Layout->addWidget(lblUpdate1);
    Layout->addWidget(lblUpdate2);
    auto* UpdateRow = new QHBoxLayout;
    UpdateRow->addSpacing(16);
    UpdateRow->addWidget(ckbUpdate);
    UpdateRow->addStretch();
    Layout->addLayout(UpdateRow);
    Layout->addSpacing(14);
    auto* BottomRow = new QHBoxLayout;
    BottomRow->addWidget(ckbInfo);
    BottomRow->addStretch();
    BottomRow->addWidget(btnOK);
    Layout->addLayout(BottomRow);
    setFixedSize(sizeHint());

    connect(btnOK, &QPushButton::clicked, this, &TInfoDialog::btnOKClick);
    ScriptWindow(this);
}

void TInfoDialog::btnOKClick()
{
    accept();
}
