#pragma once

#include "utility/tables/BackupRestore.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

namespace Utility {

// Fills a wizard's result list with its rows.
void FillResultList(QTreeWidget* List, const QList<TResultRow>& Rows);
// A wizard's button, which Enter in an edit does not press.
[[nodiscard]] QPushButton* WizardButton(const QString& Caption, const char* Name);
// A wizard's result list with its three columns.
[[nodiscard]] QTreeWidget* NewResultList(QWidget* Parent);

// What both wizards share: their boxes stand over them with the product's caption.
class TWizardDialog : public QDialog
{
public:
    using QDialog::QDialog;

protected:
    int Box(const QString& Text, unsigned Flags);
    // Focus to Edit with the caret after its text and nothing selected, for a dialog being shown.
    static void FocusAtEndWhenShown(QLineEdit* Edit);
};

// The backup wizard: the destination, the room it takes, the copy and its outcome.
class TBackupData : public TWizardDialog
{
    Q_OBJECT

public:
    explicit TBackupData(QWidget* Owner);

    QStackedWidget* pgctlBackup = nullptr;
    QLineEdit* edtDest = nullptr;
    QPushButton* bbtnBrowseDest = nullptr;
    QLabel* pnlConfirmationDest = nullptr;
    QLabel* pnlNeedSize = nullptr;
    QLabel* pnlFreeSize = nullptr;
    QTreeWidget* lvResult = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnPrior = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnBackup = nullptr;
    QPushButton* btnClose = nullptr;

    void bbtnBrowseDestClick();
    void btnNextClick();
    void btnPriorClick();
    void btnBackupClick();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    QString FSource;
    QString FDest;
    TBackupMeasure FMeasure;
};

} // namespace Utility
