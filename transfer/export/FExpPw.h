#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "自己復元パスワード入力": the password of a self-restoring export, typed twice, with the choice to
// keep it in FExport.pwd. After "設定" the caller takes Password().
class TFileExportPassword : public QDialog
{
    Q_OBJECT
public:
    explicit TFileExportPassword(QWidget* Owner);

    QLabel* lblMsg1;
    QLabel* lblMsg2;
    QLabel* lblMsg3;
    QLabel* lblPassword1;
    QLabel* lblPassword2;
    QLineEdit* medtPassword1;
    QLineEdit* medtPassword2;
    QCheckBox* chkSavePassword;
    QPushButton* btnSet;
    QPushButton* btnCancel;

    // The first entry as typed, once "設定" has closed the dialog.
    [[nodiscard]] const QString& Password() const { return FPassword; }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void LoadPassword();
    [[nodiscard]] bool CheckPassword();
    void StorePassword();
    void btnSetClick();
    void chkSavePasswordClick();
    void medtPassword1KeyPress();
    void medtPassword2KeyPress();
    void chkSavePasswordKeyPress();

    QString FPassword;
};
