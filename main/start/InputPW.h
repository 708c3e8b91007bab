#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// "パスワード入力": asks for the start-up password before the program goes on. Modal result 1 after
// the right password, 2 when the user gave up (and confirmed it).
class TInputPassword : public QDialog
{
    Q_OBJECT
public:
    // StoredText is the stored start-up password text; each OK decodes it again.
    TInputPassword(QWidget* Owner, const QString& StoredText);

    QLabel* lblMsg1;
    QLineEdit* medtPassword;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    QLabel* lblMsg2;
    QFrame* bvlLine;

    void done(int Result) override; // the close query: every way out but the right password asks first

private:
    void FormCreate();
    void btnOkClick();
    void btnCancelClick();

    QString StoredText;
};

// The start-up step: with a stored password, asks for it over the main window. Answers true when the
// start-up may go on (no password, or the right one was typed); false when the user gave up or the
// stored text is malformed (shown as a message first), and the program must end before it opens the
// line and the tables.
[[nodiscard]] bool AskStartupPassword(QWidget* MainWindow, const QString& StoredText);
// The same with the program-wide StartupPasswordText.
[[nodiscard]] bool AskStartupPassword(QWidget* MainWindow);
