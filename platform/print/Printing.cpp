#include "platform/print/Printing.h"

#include "platform/msg/MessageBoxFlags.h"
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
        const QPrinter Probe(Info);
        List.append({Info.printerName(),
                     Probe.colorMode() == QPrinter::Color || Info.supportedColorModes().contains(QPrinter::Color),
                     Info.printerName() == Default});
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
    for (const TPrinterEntry& Info : Printers()) {
        if (Info.Name == Name)
            return Info.Color;
    }
    return false;
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
};

TPrintJob::TPrintJob(const QString& PrinterName, const QString& Title) : State(std::make_unique<TState>())
{
    State->Printer.setDocName(Title);
    State->Name = PrinterName.isEmpty() ? DefaultPrinterName() : PrinterName;
    State->Color = PrinterHasColor(State->Name);
    const bool ToFile =
        !PdfOverride().isEmpty() || State->Name == PdfPrinterName() || QPrinterInfo::printerInfo(State->Name).isNull();
    if (ToFile) {
        State->Printer.setOutputFormat(QPrinter::PdfFormat);
        State->Printer.setPageSize(QPageSize(QPageSize::A4));
        // The PDF printer prints 600 per inch, as an office printer does.
        State->Printer.setResolution(600);
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
    return State->Printer.resolution();
}

QRect TPrintJob::PageRect() const
{
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
    return State->Painter.begin(&State->Printer);
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
