#pragma once

#include <QList>
#include <QMarginsF>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

class QPainter;
class QPrinter;
class QWidget;

// The printers a program may print on: the system's printers (CUPS, through Qt) followed by "PDF",
// a printer that writes a PDF file and is always there, so that the print windows work on a machine
// without printers. Tests replace the whole list (empty, or fake printers) to reach the branches a
// real machine seldom shows.
struct TPrinterEntry
{
    TPrinterEntry() = default;
    TPrinterEntry(QString Name, bool Color, bool IsDefault, int Dpi = 600, QMarginsF Unprintable = {})
        : Name(std::move(Name)), Color(Color), IsDefault(IsDefault), Dpi(Dpi), Unprintable(Unprintable)
    {
    }

    QString Name;
    bool Color = true;
    bool IsDefault = false;
    // Its page: dots per inch, and the margins it cannot print on in millimetres, the sheet upright.
    int Dpi = 600;
    QMarginsF Unprintable;
};

// The name of the always-present file printer.
[[nodiscard]] QString PdfPrinterName();

[[nodiscard]] QList<TPrinterEntry> Printers();
[[nodiscard]] bool HasPrinters();
// The system's default printer, else the first of the list; empty when there is none.
[[nodiscard]] QString DefaultPrinterName();
// Whether the named printer prints in colour (false for a name that is not in the list).
[[nodiscard]] bool PrinterHasColor(const QString& Name);
// The named printer of the list; nothing for a name that is not in it.
[[nodiscard]] std::optional<TPrinterEntry> FindPrinter(const QString& Name);

// Where a dialog of Size goes when asked for at Corner inside the work area Work: one that would
// reach past the right or bottom edge ends at it, a negative coordinate becomes 0.
[[nodiscard]] QPoint PlaceInside(QPoint Corner, QSize Size, const QRect& Work);

// Puts Dialog, once it is shown, at Owner's window's top-left + (15, 15), kept inside the work area
// as PlaceInside keeps it: where the printer set-up and the colour dialog of the print settings go.
void PlaceAtOwnerCorner(QWidget* Dialog, QWidget* Owner);

// Replaces the printer list until called with std::nullopt (tests only).
void SetPrintersForTest(std::optional<QList<TPrinterEntry>> List);

// One print job: a QPrinter on a printer of the list (the default one when Name is empty), the
// set-up dialog, and a painter over its pages. Units are the printer's device pixels; Resolution()
// gives them per inch. The painter's origin is the corner of the printable area, as on a printer:
// the area the printer's entry states for the upright sheet (TPrinterEntry::Unprintable), turned
// with the sheet as PageGeometry.h turns it, whatever the system makes of its margins.
//
// With VX_PRINT_PDF=<file> set every job goes to that PDF file whatever printer was chosen; the
// "PDF" printer writes to that file, or else to "<Title>.pdf" in the user's documents folder. A PDF
// file takes the page of the printer it stands in for: that printer's resolution, the paper and
// orientation the job sets, the origin inside its unprintable margins (turned with the sheet), and
// nothing drawn on those margins. So a job lands on the file where that printer would put it.
class TPrintJob
{
public:
    // Title is the job's name until Begin names it; the PDF printer's file is named after it.
    explicit TPrintJob(const QString& PrinterName = {}, const QString& Title = {});
    ~TPrintJob();
    TPrintJob(const TPrintJob&) = delete;
    TPrintJob& operator=(const TPrintJob&) = delete;

    // The printer set-up dialog (QPrintDialog), its top-left at the owner's top-left + (15, 15) and
    // kept inside the work area. Answers whether the user pressed OK. With VX_MSGBOX_LOG set nothing
    // is shown: the dialog is logged as a box (caption "印刷", the printer's name as its text, OK and
    // Cancel) and answered from VX_MSGBOX_ANSWERS, as the message boxes are.
    [[nodiscard]] bool SetupDialog(QWidget* Owner);

    [[nodiscard]] QString PrinterName() const;
    [[nodiscard]] bool Color() const;
    [[nodiscard]] int Resolution() const;
    // The printable area of a page in device pixels, its top-left at (0, 0), for the paper and
    // orientation the printer holds now.
    [[nodiscard]] QRect PageRect() const;

    // Starts the job under a title (the name a print queue shows); false when the printer cannot be
    // opened. The painter is valid between Begin and End.
    [[nodiscard]] bool Begin(const QString& Title);
    [[nodiscard]] QPainter& Painter();
    [[nodiscard]] bool NewPage();
    // Finishes the job; false when the output could not be written.
    [[nodiscard]] bool End();

    // The file the "PDF" printer writes the job to, for the completion message to name; empty for a
    // system printer, and under VX_PRINT_PDF, which the tests name themselves.
    [[nodiscard]] QString SavedFile() const;

    // The underlying printer, for callers that need more than the above.
    [[nodiscard]] QPrinter& Printer();

private:
    struct TState;
    std::unique_ptr<TState> State;
};
