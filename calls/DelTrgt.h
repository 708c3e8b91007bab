#pragma once

#include <QDialog>

class QPushButton;
class QRadioButton;

// Asks whether a deletion covers the selected rows only or every row the list's display
// conditions match, and confirms it.
class TDeleteTarget : public QDialog
{
    Q_OBJECT
public:
    explicit TDeleteTarget(QWidget* Owner = nullptr);

    void SetCaption(const QString& Text);
    void SetSelectedCount(int Count);
    // True for "all matching rows"; read after a result other than 2.
    [[nodiscard]] bool DeleteAll() const;

    QRadioButton* rbSelected;
    QRadioButton* rbAll;
    QPushButton* btnDelete;
    QPushButton* btnCancel;

    void reject() override;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormShow();
    void rbOptionClick();
    void btnDeleteClick();

    int SelectedCount = 0;
};
