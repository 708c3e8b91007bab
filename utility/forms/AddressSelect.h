#pragma once

#include <QDialog>
#include <QString>

class QAction;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace Utility {

// "アドレス帳の作成": the user names a new address book or picks one of FbAdrsBooks, and deletes or
// renames books, which only goes into the journal of the Adrs folder. CurrentName holds the book
// shown on the page when the dialog opens and the chosen book when it closes with OK.
class TAddressSelect : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 89;

    TAddressSelect(QWidget* Owner, const QString& AdrsFolder, const QString& CurrentName);

    QString CurrentName;

    QRadioButton* rbNew = nullptr;
    QLineEdit* edtNew = nullptr;
    QRadioButton* rbOpen = nullptr;
    QListWidget* lvAdrs = nullptr;
    QPushButton* bbtnDelete = nullptr;
    QPushButton* bbtnRename = nullptr;
    QAction* actDelete = nullptr;
    QAction* actRename = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    void actDeleteExecute();
    void actRenameExecute();
    void btnOkClick();
    // The rename rules for the item's new text S; true when the rename was taken.
    bool lvAdrsEdited(QListWidgetItem* Item, const QString& S);
    // The text the next editor opens on instead of the item's, after a refused rename; taken once.
    [[nodiscard]] QString TakeEditText();

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormShow();
    void ChooseNew(bool Focus);
    void ChooseOpen(bool Focus);
    void Colour();
    void ReopenEditor(QListWidgetItem* Item, const QString& Text);
    int Box(const QString& Text, unsigned Flags);

    QString FAdrsFolder;
    QString FEditText;
    bool FShown = false;
};

} // namespace Utility
