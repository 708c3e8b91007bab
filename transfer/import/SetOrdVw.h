#pragma once

#include <QDialog>
#include <QStringList>

class QPushButton;
class QTableWidget;

// "セットした内容": the nine pieces of one import item, in order.
class TSetOrderView : public QDialog
{
    Q_OBJECT
public:
    explicit TSetOrderView(QWidget* Owner = nullptr);
    void SetPieces(const QStringList& Texts);

    QTableWidget* sgOrder;
    QPushButton* btnClose;
};
