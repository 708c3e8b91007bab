#pragma once

#include <QByteArray>
#include <QList>
#include <QMarginsF>
#include <QPageSize>
#include <QRect>
#include <QString>
#include <QStringList>

// What the list printing needs to know of a printer: its resolution, the papers it offers and the
// margins it cannot print on.
struct TPrinterCaps
{
    int DpiX = 600;
    int DpiY = 600;
    QList<QPageSize::PageSizeId> Papers; // in the printer's own order; the first is its default
    QMarginsF Unprintable;               // millimetres, the sheet upright
};

// The printers the list printing may choose from. The program's list is the system's printers
// followed by the "PDF" printer (file output, no unprintable margin); the windows point it at the
// print layer's list, tests at printers of their own.
class TPrinterDevices
{
public:
    virtual ~TPrinterDevices() = default;
    [[nodiscard]] virtual QStringList Names() const = 0;
    // The default printer's name; empty only when there is no printer at all.
    [[nodiscard]] virtual QString DefaultName() const = 0;
    [[nodiscard]] virtual TPrinterCaps Caps(const QString& Name) const = 0;
};

inline const QString PdfPrinterDeviceName = QStringLiteral("PDF");
// The "PDF" printer alone: 600 dots per inch, every paper that has a code, no margin.
[[nodiscard]] TPrinterCaps PdfPrinterCaps();

// The list in use; until a window installs another, the "PDF" printer alone.
[[nodiscard]] const TPrinterDevices& PrinterDevices();
// Installs Devices (not owned; null for the "PDF" printer alone).
void SetPrinterDevices(const TPrinterDevices* Devices);

// The printer the program prints on, as the set-up dialog leaves it: UseCurrentPrinter adopts it,
// and the list printer selects it as it adopts a printer, so that a job afterwards uses it.
struct TPrinterSelection
{
    QString Name;
    QPageSize Paper = QPageSize(QPageSize::A4);
    bool Landscape = false;
    int Copies = 1;
};
[[nodiscard]] TPrinterSelection& CurrentPrinter();

// The printer of the list printing, remembered across runs in LstPrint.pi: a signed 32-bit
// little-endian length N and the N bytes of the device mode (DevMode.h).
class TPrinterInfo
{
public:
    explicit TPrinterInfo(const QString& FileName);

    QString DeviceName;
    QString DriverName;
    QString PortName;
    int DpiX = 0;
    int DpiY = 0;
    int PhysicalWidth = 0;
    int PhysicalHeight = 0;
    int PhysicalOffsetX = 0;
    int PhysicalOffsetY = 0;
    // The printable area, the printer object's page width and height.
    int PageWidth = 0;
    int PageHeight = 0;
    double ScaleX = 0;
    double ScaleY = 0;
    QString FileName;
    QByteArray DeviceMode;
    int DeviceModeSize = 0;

    // Restores the stored printer; the default printer, silently, when the file is missing, is not a
    // record of ours (length, size or version) or names a printer that is gone.
    void LoadPrinterSettings();
    // Index into PrinterDevices().Names(); -1 for the default printer.
    void UsePrinter(int Index);
    void UseCurrentPrinter();
    [[nodiscard]] bool SavePrinterSettings() const;
    void ReadDeviceMetrics();

    struct TPaperName
    {
        int Code = 0; // 0 found; 1 the printer names no papers
        QString Name;
    };
    // The name of the device mode's paper; a paper the printer lacks becomes its first one.
    [[nodiscard]] TPaperName GetPaperName();
    [[nodiscard]] int GetOrientation() const;
    [[nodiscard]] int GetCopies() const;
    void SetCopies(int Copies);
    [[nodiscard]] QPageSize Paper() const;

    [[nodiscard]] QPoint TenthMmToPixels(int X, int Y) const;
    [[nodiscard]] int PointsToPixels(int Points) const;
    [[nodiscard]] QSize GetPhysicalPageSize() const;
    [[nodiscard]] QRect GetPrintableRect(int MarginX, int MarginY) const;

private:
    void Adopt(const QString& Name, const QByteArray& Mode);
};

// Windows' MulDiv: A × B / C rounded half away from zero; -1 for C = 0.
[[nodiscard]] int MulDiv(int A, int B, int C);
