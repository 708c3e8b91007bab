#include "transfer/print/PrinterSetupDlg.h"

#include "platform/msg/MessageBoxFlags.h"
#include "platform/print/Printing.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowScript.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString SetupCaption = QStringLiteral("プリンターの設定");

} // namespace

TPrinterSetupDialog::TPrinterSetupDialog(const TPrinterSelection& Start, QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("PrinterSetup"));
    setWindowTitle(SetupCaption);
    auto* Form = new QFormLayout;
    cbxPrinter = new QComboBox(this);
    cbxPrinter->setObjectName(QStringLiteral("cbxPrinter"));
    cbxPrinter->addItems(PrinterDevices().Names());
    cbxPrinter->setMinimumWidth(280);
    const int Named = cbxPrinter->findText(Start.Name);
    cbxPrinter->setCurrentIndex(Named >= 0 ? Named : qMax(0, cbxPrinter->findText(PrinterDevices().DefaultName())));
    cbxPaper = new QComboBox(this);
    cbxPaper->setObjectName(QStringLiteral("cbxPaper"));
    cbxOrientation = new QComboBox(this);
    cbxOrientation->setObjectName(QStringLiteral("cbxOrientation"));
    cbxOrientation->addItems({QStringLiteral("縦"), QStringLiteral("横")});
    cbxOrientation->setCurrentIndex(Start.Landscape ? 1 : 0);
    edtCopies = new QLineEdit(QString::number(qBound(1, Start.Copies, MaxPrintCopies)), this);
    edtCopies->setObjectName(QStringLiteral("edtCopies"));
    edtCopies->setValidator(new QIntValidator(1, MaxPrintCopies, edtCopies));
    edtCopies->setMaxLength(3);
    edtCopies->setMaximumWidth(60);
    Form->addRow(QStringLiteral("プリンター名："), cbxPrinter);
    Form->addRow(QStringLiteral("用紙サイズ："), cbxPaper);
    Form->addRow(QStringLiteral("印刷方向："), cbxOrientation);
    Form->addRow(QStringLiteral("印刷部数："), edtCopies);

    auto* Buttons = new QDialogButtonBox(this);
    btnOk = Buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel = Buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* Layout = new QVBoxLayout(this);
    Layout->addLayout(Form);
    Layout->addWidget(Buttons);

    FillPapers(Start.Paper);
    connect(cbxPrinter, &QComboBox::currentIndexChanged, this, [this] { FillPapers(Selection().Paper); });
    ScriptWindow(this);
}

void TPrinterSetupDialog::FillPapers(const QPageSize& Paper)
{
    const QList<QPageSize::PageSizeId> Papers = PrinterDevices().Caps(cbxPrinter->currentText()).Papers;
    cbxPaper->clear();
    int Kept = 0;
    for (int I = 0; I < Papers.size(); ++I) {
        cbxPaper->addItem(QPageSize::name(Papers[I]), static_cast<int>(Papers[I]));
        if (QPageSize(Papers[I]).isEquivalentTo(Paper))
            Kept = I;
    }
    cbxPaper->setCurrentIndex(Papers.isEmpty() ? -1 : Kept);
}

TPrinterSelection TPrinterSetupDialog::Selection() const
{
    TPrinterSelection Chosen;
    Chosen.Name = cbxPrinter->currentText();
    if (cbxPaper->currentIndex() >= 0)
        Chosen.Paper = QPageSize(static_cast<QPageSize::PageSizeId>(cbxPaper->currentData().toInt()));
    Chosen.Landscape = cbxOrientation->currentIndex() == 1;
    // A copy count the edit left empty or out of range is the nearest one the window accepts.
    Chosen.Copies = qBound(1, edtCopies->text().toInt(), MaxPrintCopies);
    return Chosen;
}

bool RunPrinterSetup(QWidget* Owner, TPrinterSelection& Chosen)
{
    if (MessageBoxIsScripted() && qEnvironmentVariableIsEmpty("VX_DIALOG_ANSWERS"))
        return ShowMessageBox(Owner, Chosen.Name, SetupCaption, MB_OKCANCEL) == IDOK;
    TPrinterSetupDialog Dialog(Chosen, Owner);
    PlaceAtOwnerCorner(&Dialog, Owner);
    if (Dialog.exec() != QDialog::Accepted)
        return false;
    Chosen = Dialog.Selection();
    return true;
}
