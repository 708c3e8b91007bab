#pragma once

#include "main/start/MainStartup.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

// Asks once per start, until answered, whether to register the product online. Its result is the tag
// of the button pressed: 0 register now, 1 later, 2 already registered; 1 too when it was closed any
// other way. A prompt whose loop was ended from outside (the session ends) answers NoRegistAnswer, never
// a button: QDialog would answer 0 there, which is "register now".
class TRegistDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TRegistDialog(QWidget* Parent = nullptr);

    QLabel* lblMsg;
    QPushButton* btnRegist;
    QPushButton* btnLater;
    QPushButton* btnRegistered;

    int exec() override;
    void done(int Result) override;
    void reject() override;

private:
    void btnRegisterClick();

    int Answer = NoRegistAnswer;
};
