#pragma once

#include "calls/HisSchCond.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QInputMethodEvent;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "着信対応履歴　検索条件": edits the search conditions of a call-history list. The opener loads
// its record, shows the dialog modally and, on result 1, stores the conditions back.
class THistorySearch : public QDialog
{
    Q_OBJECT
public:
    explicit THistorySearch(QWidget* Owner = nullptr);

    void LoadConditions(const THistorySearchCondition& Condition);
    void StoreConditions(THistorySearchCondition& Condition) const;

    QCheckBox* chkDate;
    QDateEdit* dtpBeginDate;
    QDateEdit* dtpEndDate;
    QLineEdit* edtTel;
    QLineEdit* edtCorp;
    QLineEdit* edtCorpKanji;
    QLineEdit* edtName;
    QLineEdit* edtNameKanji;
    QRadioButton* rbAnd;
    QRadioButton* rbOr;
    QPushButton* btnSearch;
    QPushButton* btnClear;
    QPushButton* btnCancel;

    void reject() override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormCreate();
    void btnSearchClick();
    void btnClearClick();
    void btnCancelClick();
    void dtpBeginDateChange();
    void chkDateClick();
    void rbOptionClick();
    void SetDatesEnabled(bool Enabled);
    // The readings are searched as the incoming-call window stores them: in half-width katakana.
    bool edtKanaInputMethod(QWidget* Edit, QInputMethodEvent* Input);
};
