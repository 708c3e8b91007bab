#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

// The first-start information: thanks, where the manual is, and whether to look for updates at start.
class TInfoDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TInfoDialog(bool UpdateCheck, QWidget* Parent = nullptr);

    QLabel* lblInfo1;
    QLabel* lblInfo2;
    QLabel* lblUpdate1;
    QLabel* lblUpdate2;
    QCheckBox* ckbUpdate;
    QCheckBox* ckbInfo;
    QPushButton* btnOK;

private:
    void btnOKClick();
};
