#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "固定値の入力": a value the import sets in one item of every line.
class TConstantInput : public QDialog
{
    Q_OBJECT
public:
    explicit TConstantInput(QWidget* Owner = nullptr);

    // The longest value the item takes, in characters; 0: no limit.
    void SetMaxLength(int Length);
    // The trimmed value.
    [[nodiscard]] QString GetValue() const;

    QLineEdit* edtConst;
    QPushButton* btnDate;
    QPushButton* btnTime;
    QPushButton* btnOk;
    QPushButton* btnCancel;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void btnOkClick();
};
