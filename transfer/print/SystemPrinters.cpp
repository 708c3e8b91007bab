// The system's printers for the list printing, as the platform's printer list gives them (the
// always-present "PDF" printer last), with what Qt's printer information tells of each.

#include "transfer/print/SystemPrinters.h"

#include "platform/print/Printing.h"

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
    const std::optional<TPrinterEntry> Entry = FindPrinter(Name);
    if (!Entry)
        return PdfPrinterCaps();
    // The resolution and margins are the print layer's, which a job prints with; the papers are the
    // system's for a printer it knows, else every paper (a file standing in for it takes any).
    TPrinterCaps Caps = PdfPrinterCaps();
    Caps.DpiX = Caps.DpiY = Entry->Dpi;
    Caps.Unprintable = Entry->Unprintable;
    const QPrinterInfo Info = QPrinterInfo::printerInfo(Name);
    if (Info.isNull())
        return Caps;
    Caps.Papers.clear();
    for (const QPageSize& Size : Info.supportedPageSizes())
        Caps.Papers << Size.id();
    const QPageSize Default = Info.defaultPageSize();
    if (Caps.Papers.removeAll(Default.id()) > 0)
        Caps.Papers.prepend(Default.id());
    return Caps;
}
