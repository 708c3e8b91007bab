#pragma once

#include "directory/search/MeiboSchCond.h"

#include <QDialog>

class QInputMethodEvent;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "登録名簿　検索条件": edits the display conditions of a directory list. The opener loads its
// record, shows the dialog modally and, on result 1, stores the conditions back.
class TMeiboSearch : public QDialog
{
    Q_OBJECT
public:
    explicit TMeiboSearch(QWidget* Owner = nullptr);

    void LoadConditions(const TMeiboSearchCondition& Condition);
    void StoreConditions(TMeiboSearchCondition& Condition) const;

    QLineEdit* edtTel;
    QLineEdit* edtAdrs;
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
    void rbOptionClick();
    bool NextFocusKeyPress(QObject* Watched);
    // The readings are searched as the directory stores them: in half-width katakana.
    bool edtNameKeyPress(QWidget* Edit, QInputMethodEvent* Input);
};
