#include "platform/print/Printing.h"

#include "platform/msg/MessageBoxFlags.h"
#include "platform/print/PageGeometry.h"
#include "platform/ui/MessageBox.h"

#include <QDir>
#include <QEvent>
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

// Where the PDF printer writes a job of that title unless the user chose another file.
QString DefaultPdfFile(const QString& Title)
{
    QString Folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (Folder.isEmpty())
        Folder = QDir::homePath();
    return Folder + QLatin1Char('/') + (Title.isEmpty() ? QStringLiteral("印刷") : Title) + QStringLiteral(".pdf");
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

    // The file is a whole sheet at the device's resolution; the device's page is laid on it by the
    // painter's viewport, so that the margins are whole pixels as on the device itself.
    void FitFilePage()
    {
        if (!ToFile() || Printer.printerState() == QPrinter::Active)
            return;
        Printer.setResolution(Device.Dpi);
        Printer.setFullPage(true);
        Printer.setPageMargins(QMarginsF(), QPageLayout::Millimeter);
    }

    // Where the device can put ink on the sheet the job has chosen and turned, in its pixels.
    [[nodiscard]] QRect FilePrintableArea() const
    {
        const QPageLayout Layout = Printer.pageLayout();
        const QSizeF Sheet = Layout.fullRect(QPageLayout::Millimeter).size();
        const QMarginsF Margins = TurnedMargins(Device.Unprintable, Layout.orientation() == QPageLayout::Landscape);
        const auto Pixels = [this](double Millimetres) { return qRound(Millimetres / 25.4 * Device.Dpi); };
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
    if (ToFile) {
        if (Entry)
            State->Device = *Entry;
        State->Printer.setOutputFormat(QPrinter::PdfFormat);
        State->Printer.setPageSize(QPageSize(QPageSize::A4));
        State->FitFilePage();
    } else {
        State->Printer.setPrinterName(State->Name);
    }
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
    State->FitFilePage();
    return State->Printer.resolution();
}

QRect TPrintJob::PageRect() const
{
    State->FitFilePage();
    if (State->ToFile())
        return {QPoint(0, 0), State->FilePrintableArea().size()};
    const QRect Rect = State->Printer.pageLayout().paintRectPixels(State->Printer.resolution());
    return {0, 0, Rect.width(), Rect.height()};
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
    State->FitFilePage();
    if (!State->Painter.begin(&State->Printer))
        return false;
    // The origin is the printable area's corner, and the device puts no ink on its margins; the
    // viewport and the clip hold over the following pages.
    if (State->ToFile()) {
        const QRect Area = State->FilePrintableArea();
        State->Painter.setViewport(Area);
        State->Painter.setWindow(0, 0, Area.width(), Area.height());
        State->Painter.setClipRect(0, 0, Area.width(), Area.height());
    }
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

QPrinter& TPrintJob::Printer()
{
    return State->Printer;
}
