#include "main/start/MessageView.h"

#include <QVBoxLayout>

TMessageView::TMessageView(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), lblMsg(new QLabel(this))
{
    setObjectName(QStringLiteral("MessageView"));
    setWindowTitle(QStringLiteral("処理中"));
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setAlignment(Qt::AlignCenter);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(24, 18, 24, 18);
    Layout->addWidget(lblMsg);
}

void TMessageView::SetMessage(const QString& Text)
{
    lblMsg->setText(Text);
    adjustSize();
}
