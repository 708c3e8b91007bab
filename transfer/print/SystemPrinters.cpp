// The system's printers for the list printing, as the platform's printer list gives them (the
// always-present "PDF" printer last), with what Qt's printer information tells of each.

#include "transfer/print/SystemPrinters.h"

#include "platform/print/Printing.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

QStringList TSystemPrinters::Names() const
{
    QStringList Names;
    for (const TPrinterEntry& Entry : Printers())
        Names << Entry.Name;
    return Names;
}

QString TSystemPrinters::DefaultName() const
{
    return DefaultPrinterName();
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
