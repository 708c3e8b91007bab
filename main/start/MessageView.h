#pragma once

#include <QDialog>
#include <QLabel>

// A small "処理中" note shown while something slow runs.
class TMessageView : public QDialog
{
    Q_OBJECT
public:
    explicit TMessageView(QWidget* Parent = nullptr);

    void SetMessage(const QString& Text);

    QLabel* lblMsg;
};
