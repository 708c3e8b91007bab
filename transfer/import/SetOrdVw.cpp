#include "transfer/import/SetOrdVw.h"

#include "main/common/CommonForms.h"
#include "main/common/HelpContext.h"
#include "platform/ui/WindowScript.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TSetOrderView::TSetOrderView(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("SetOrderView"));
    setWindowTitle(QStringLiteral("セットした内容"));
    SetHelpContext(this, 55);
    sgOrder = new QTableWidget(9, 2, this);
    sgOrder->setObjectName(QStringLiteral("sgOrder"));
    sgOrder->horizontalHeader()->hide();
    sgOrder->verticalHeader()->hide();
    sgOrder->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgOrder->setColumnWidth(0, ScaleByDpi(24, true));
    sgOrder->setColumnWidth(1, ScaleByDpi(315, true));
    const int RowHeight = fontMetrics().height() + 4;
    for (int Row = 0; Row < 9; ++Row) {
        sgOrder->setRowHeight(Row, RowHeight);
        sgOrder->setItem(Row, 0, new QTableWidgetItem(QStringLiteral("%1").arg(Row + 1, 2)));
        sgOrder->setItem(Row, 1, new QTableWidgetItem);
    }
    sgOrder->setFixedSize(sgOrder->columnWidth(0) + sgOrder->columnWidth(1) + 4, RowHeight * 9 + 4);
    btnClose = new QPushButton(QStringLiteral("閉じる"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(sgOrder);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnClose);
    Layout->addLayout(Buttons);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    ScriptWindow(this);
}

void TSetOrderView::SetPieces(const QStringList& Texts)
{
    for (int Row = 0; Row < 9; ++Row)
        sgOrder->item(Row, 1)->setText(Texts.value(Row));
}
