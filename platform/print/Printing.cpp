#include "platform/print/Printing.h"

#include "platform/msg/MessageBoxFlags.h"
#include "platform/print/PageGeometry.h"
#include "platform/sys/Folders.h"
#include "platform/ui/MessageBox.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

namespace {

std::optional<QList<TPrinterEntry>>& TestPrinters()
{
    static std::optional<QList<TPrinterEntry>> List;
    return List;
}

QString PdfOverride()
{
    return qEnvironmentVariable("VX_PRINT_PDF");
}

// Where the PDF printer writes a job of that title unless the user chose another file: the user's
// documents folder, made (owner only) when the home has none, else the home itself; a file of that
// name already there is kept, and the job takes the next free numbered name beside it.
QString DefaultPdfFile(const QString& Title)
{
    QString Folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (Folder.isEmpty() || (!QFileInfo(Folder).isDir() && !CreateOwnerOnlyFolder(Folder)))
        Folder = QDir::homePath();
    const QString Base = Folder + QLatin1Char('/') + (Title.isEmpty() ? QStringLiteral("印刷") : Title);
    QString File = Base + QStringLiteral(".pdf");
    for (int Number = 2; QFileInfo::exists(File); ++Number)
        File = Base + QStringLiteral(" (%1).pdf").arg(Number);
    return File;
}

// Places the set-up dialog once it knows its size, before the window system draws it elsewhere.
class TPlaceOnShow : public QObject
{
public:
    TPlaceOnShow(QWidget* Dialog, QWidget* Owner) : QObject(Dialog), FOwner(Owner) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Show && FOwner) {
            auto* Dialog = static_cast<QWidget*>(Watched);
            const QPoint Corner = FOwner->frameGeometry().topLeft() + QPoint(15, 15);
            const QScreen* Screen = FOwner->screen() ? FOwner->screen() : QGuiApplication::primaryScreen();
            const QRect Work = Screen ? Screen->availableGeometry() : QRect();
            Dialog->move(PlaceInside(Corner, Dialog->frameGeometry().size(), Work));
        }
        return false;
    }

private:
    QWidget* FOwner;
};

} // namespace

QPoint PlaceInside(QPoint Corner, QSize Size, const QRect& Work)
{
    if (Work.isEmpty())
        return Corner;
    int X = Corner.x();
    int Y = Corner.y();
    if (X + Size.width() > Work.right() + 1)
        X = Work.right() + 1 - Size.width();
    if (Y + Size.height() > Work.bottom() + 1)
        Y = Work.bottom() + 1 - Size.height();
    return {std::max(X, 0), std::max(Y, 0)};
}

void PlaceAtOwnerCorner(QWidget* Dialog, QWidget* Owner)
{
    Dialog->installEventFilter(new TPlaceOnShow(Dialog, Owner ? Owner->window() : nullptr));
}

QString PdfPrinterName()
{
    return QStringLiteral("PDF");
}

QList<TPrinterEntry> Printers()
{
    if (TestPrinters())
        return *TestPrinters();
    QList<TPrinterEntry> List;
    const QString Default = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo& Info : QPrinterInfo::availablePrinters()) {
        const QPrinter Probe(Info, QPrinter::HighResolution);
        QPageLayout Upright = Probe.pageLayout();
        Upright.setOrientation(QPageLayout::Portrait);
        Upright.setUnits(QPageLayout::Millimeter);
        List.append({Info.printerName(),
                     Probe.colorMode() == QPrinter::Color || Info.supportedColorModes().contains(QPrinter::Color),
                     Info.printerName() == Default, Probe.resolution(), Upright.minimumMargins()});
    }
    List.append({PdfPrinterName(), true, Default.isEmpty()});
    return List;
}

bool HasPrinters()
{
    return !Printers().isEmpty();
}

QString DefaultPrinterName()
{
    const QList<TPrinterEntry> List = Printers();
    for (const TPrinterEntry& Info : List) {
        if (Info.IsDefault)
            return Info.Name;
    }
    return List.isEmpty() ? QString() : List.first().Name;
}

bool PrinterHasColor(const QString& Name)
{
    const std::optional<TPrinterEntry> Entry = FindPrinter(Name);
    return Entry && Entry->Color;
}

std::optional<TPrinterEntry> FindPrinter(const QString& Name)
{
    for (const TPrinterEntry& Info : Printers()) {
        if (Info.Name == Name)
            return Info;
    }
    return std::nullopt;
}

void SetPrintersForTest(std::optional<QList<TPrinterEntry>> List)
{
    TestPrinters() = std::move(List);
}

struct TPrintJob::TState
{
    QString Name;
    QPrinter Printer{QPrinter::HighResolution};
    QPainter Painter;
    bool Color = true;
    // The printer a PDF file stands in for; the "PDF" printer's own page is 600 per inch, as an
    // office printer's, with no margin it cannot print on.
    TPrinterEntry Device;

    [[nodiscard]] bool ToFile() const { return Printer.outputFormat() == QPrinter::PdfFormat; }

    // The job draws on the whole sheet and lays the device's printable area on it by the painter's
    // viewport, from the margins the printer states for the upright sheet, turned with it. The list
    // printing's preview computes the area the same way, so that a page lands where it showed it,
    // in either orientation, whatever the system's own paint rectangle makes of the margins.
    void FitPage()
    {
        if (Printer.printerState() == QPrinter::Active)
            return;
        if (ToFile())
            Printer.setResolution(Device.Dpi);
        Printer.setFullPage(true);
        if (ToFile())
            Printer.setPageMargins(QMarginsF(), QPageLayout::Millimeter);
    }

    // Where the device can put ink on the sheet the job has chosen and turned, in its pixels.
    [[nodiscard]] QRect PrintableArea() const
    {
        const QPageLayout Layout = Printer.pageLayout();
        const QSizeF Sheet = Layout.fullRect(QPageLayout::Millimeter).size();
        const QMarginsF Margins = TurnedMargins(Device.Unprintable, Layout.orientation() == QPageLayout::Landscape);
        const int Dpi = Printer.resolution();
        const auto Pixels = [Dpi](double Millimetres) { return qRound(Millimetres / 25.4 * Dpi); };
        return QRect(QPoint(Pixels(Margins.left()), Pixels(Margins.top())),
                     QPoint(Pixels(Sheet.width()) - Pixels(Margins.right()) - 1,
                            Pixels(Sheet.height()) - Pixels(Margins.bottom()) - 1));
    }
};

TPrintJob::TPrintJob(const QString& PrinterName, const QString& Title) : State(std::make_unique<TState>())
{
    State->Printer.setDocName(Title);
    State->Name = PrinterName.isEmpty() ? DefaultPrinterName() : PrinterName;
    const std::optional<TPrinterEntry> Entry = FindPrinter(State->Name);
    State->Color = Entry && Entry->Color;
    const bool ToFile =
        !PdfOverride().isEmpty() || State->Name == PdfPrinterName() || QPrinterInfo::printerInfo(State->Name).isNull();
    if (Entry)
        State->Device = *Entry;
    if (ToFile) {
        State->Printer.setOutputFormat(QPrinter::PdfFormat);
        State->Printer.setPageSize(QPageSize(QPageSize::A4));
    } else {
        State->Printer.setPrinterName(State->Name);
    }
    State->FitPage();
    State->Printer.setColorMode(State->Color ? QPrinter::Color : QPrinter::GrayScale);
}

TPrintJob::~TPrintJob()
{
    if (State->Painter.isActive())
        State->Painter.end();
}

bool TPrintJob::SetupDialog(QWidget* Owner)
{
    if (MessageBoxIsScripted())
        return ShowMessageBox(Owner, State->Name, QStringLiteral("印刷"), MB_OKCANCEL) == IDOK;
    if (State->Printer.outputFormat() == QPrinter::PdfFormat && State->Printer.outputFileName().isEmpty())
        State->Printer.setOutputFileName(DefaultPdfFile(State->Printer.docName()));
    QPrintDialog Dialog(&State->Printer, Owner);
    PlaceAtOwnerCorner(&Dialog, Owner);
    if (Dialog.exec() != QDialog::Accepted)
        return false;
    // A printer chosen in the dialog may differ from the one the job began with.
    if (State->Printer.outputFormat() == QPrinter::NativeFormat) {
        State->Name = State->Printer.printerName();
        State->Color = PrinterHasColor(State->Name) && State->Printer.colorMode() == QPrinter::Color;
        State->Device = FindPrinter(State->Name).value_or(TPrinterEntry());
        State->FitPage();
    }
    return true;
}

QString TPrintJob::PrinterName() const
{
    return State->Name;
}

bool TPrintJob::Color() const
{
    return State->Color;
}

int TPrintJob::Resolution() const
{
    State->FitPage();
    return State->Printer.resolution();
}

QRect TPrintJob::PageRect() const
{
    State->FitPage();
    return {QPoint(0, 0), State->PrintableArea().size()};
}

bool TPrintJob::Begin(const QString& Title)
{
    State->Printer.setDocName(Title);
    if (State->Printer.outputFormat() == QPrinter::PdfFormat) {
        if (!PdfOverride().isEmpty())
            State->Printer.setOutputFileName(PdfOverride());
        else if (State->Printer.outputFileName().isEmpty())
            State->Printer.setOutputFileName(DefaultPdfFile(Title));
    }
    State->FitPage();
    if (!State->Painter.begin(&State->Printer))
        return false;
    // The origin is the printable area's corner, and the device puts no ink on its margins; the
    // viewport and the clip hold over the following pages.
    const QRect Area = State->PrintableArea();
    State->Painter.setViewport(Area);
    State->Painter.setWindow(0, 0, Area.width(), Area.height());
    State->Painter.setClipRect(0, 0, Area.width(), Area.height());
    return true;
}

QPainter& TPrintJob::Painter()
{
    return State->Painter;
}

bool TPrintJob::NewPage()
{
    return State->Printer.newPage();
}

bool TPrintJob::End()
{
    return State->Painter.end();
}

QString TPrintJob::SavedFile() const
{
    if (!State->ToFile() || !PdfOverride().isEmpty())
        return {};
    return State->Printer.outputFileName();
}

QPrinter& TPrintJob::Printer()
{
    return State->Printer;
}
