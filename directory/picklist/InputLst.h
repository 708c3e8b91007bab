#pragma once

#include "directory/picklist/PickListEdit.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;
class TInputListTabs;

// "入力リストの編集": the pick lists' editor. The opener prepares it for the rank list alone or for
// all four lists, picks the tab to start on and runs it modally; on 1 it reads which lists changed
// and refills its combo boxes.
class TInputList : public QDialog
{
    Q_OBJECT
public:
    explicit TInputList(QWidget* Owner = nullptr);
    ~TInputList() override;

    void Prepare(bool RankOnly);
    void SelectList(int Index);
    // Bit i set when the list of tab i changed (0 the rank list, 1..3 the select-item lists).
    void GetChangedLists(int& Bits) const;

    // Controls, named as on the form.
    QTabBar* tabctlInputList;
    QLabel* lblName;
    QLineEdit* edtName;
    QLabel* lblList;
    QListWidget* lbxList;
    QPushButton* bbtnAdd;
    QPushButton* bbtnUpdate;
    QPushButton* bbtnDelete;
    QPushButton* bbtnUp;
    QPushButton* bbtnDown;
    QPushButton* btnOk;
    QPushButton* btnCancel;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    void CreateControls();
    void FormCreate();
    void FormShow();
    void bbtnAddClick();
    void bbtnUpdateClick();
    void bbtnDeleteClick();
    void bbtnUpClick();
    void bbtnDownClick();
    void lbxListClick();
    void lbxListDblClick();
    void lbxListKeyPress();
    void edtNameKeyPress();
    // False keeps the tab that is shown.
    bool tabctlInputListChanging();
    void tabctlInputListChange();
    void btnOkClick();
    void btnCancelClick();

    // The list box as a list, and back.
    [[nodiscard]] TPickList ShownList() const;
    void ShowList(const TPickList& List);
    void UpdateMoveButtons();
    void MarkChanged();
    void FocusName();
    int Message(const QString& Text, unsigned Flags);

    TPickListTabs FTabs;
    TInputListTabs* FTabBar = nullptr;
};
