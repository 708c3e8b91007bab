#pragma once

#include "transfer/print/PrtInfo.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// "プリンターの設定": the printer, paper, orientation and copies the lists print with, chosen among
// the printers of PrinterDevices(). It sets nothing up itself; the settings window adopts what OK
// leaves in Selection().
class TPrinterSetupDialog : public QDialog
{
    Q_OBJECT
public:
    TPrinterSetupDialog(const TPrinterSelection& Start, QWidget* Owner);

    // The choice as the controls hold it; copies within 1-100.
    [[nodiscard]] TPrinterSelection Selection() const;

    QComboBox* cbxPrinter;
    QComboBox* cbxPaper;
    QComboBox* cbxOrientation;
    QLineEdit* edtCopies;
    QPushButton* btnOk;
    QPushButton* btnCancel;

private:
    // The papers of the printer chosen, keeping Paper when it has it, else its first.
    void FillPapers(const QPageSize& Paper);
};

inline constexpr int MaxPrintCopies = 100;

// Shows the set-up over Owner, at its corner + (15, 15); true on OK, with Chosen replaced by the
// choice. With the message boxes scripted and no dialog answers, the dialog is logged as a box
// (caption "プリンターの設定", the printer's name, OK and Cancel) and Chosen stays as it is.
[[nodiscard]] bool RunPrinterSetup(QWidget* Owner, TPrinterSelection& Chosen);
