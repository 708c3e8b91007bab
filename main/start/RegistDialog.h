#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

// Asks once per start, until answered, whether to register the product online. Its result is the tag
// of the button pressed: 0 register now, 1 later, 2 already registered.
class TRegistDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TRegistDialog(QWidget* Parent = nullptr);

    QLabel* lblMsg;
    QPushButton* btnRegist;
    QPushButton* btnLater;
    QPushButton* btnRegistered;

    void reject() override;

private:
    void btnRegisterClick();
};
