// The system's printers for the list printing, through Qt's printer information, followed by the
// always-present "PDF" printer.

#include "transfer/print/SystemPrinters.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

QStringList TSystemPrinters::Names() const
{
    QStringList Names = QPrinterInfo::availablePrinterNames();
    Names.removeAll(PdfPrinterDeviceName);
    Names << PdfPrinterDeviceName;
    return Names;
}

QString TSystemPrinters::DefaultName() const
{
    const QString Name = QPrinterInfo::defaultPrinterName();
    return Name.isEmpty() ? Names().first() : Name;
}

TPrinterCaps TSystemPrinters::Caps(const QString& Name) const
{
    if (Name == PdfPrinterDeviceName)
        return PdfPrinterCaps();
    const QPrinterInfo Info = QPrinterInfo::printerInfo(Name);
    if (Info.isNull())
        return PdfPrinterCaps();
    TPrinterCaps Caps;
    QPrinter Printer(Info, QPrinter::HighResolution);
    Caps.DpiX = Caps.DpiY = Printer.resolution();
    for (const QPageSize& Size : Info.supportedPageSizes())
        Caps.Papers << Size.id();
    const QPageSize Default = Info.defaultPageSize();
    if (Caps.Papers.removeAll(Default.id()) > 0)
        Caps.Papers.prepend(Default.id());
    Caps.Unprintable = Printer.pageLayout().minimumMargins();
    if (Printer.pageLayout().units() != QPageLayout::Millimeter) {
        const double Factor = QPageLayout::Point == Printer.pageLayout().units() ? 25.4 / 72 : 1.0;
        Caps.Unprintable *= Factor;
    }
    return Caps;
}
