// The print layer: the printer list with its PDF printer, the set-up dialog's place and script, and a
// job that goes on over pages into the PDF a test names.

#include "platform/print/Printing.h"

#include "platform/ui/JapaneseUi.h"
#include "tests/support/PdfTools.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct TPrintersForTest
{
    explicit TPrintersForTest(QList<TPrinterEntry> List) { SetPrintersForTest(std::move(List)); }
    ~TPrintersForTest() { SetPrintersForTest(std::nullopt); }
    TPrintersForTest(const TPrintersForTest&) = delete;
    TPrintersForTest& operator=(const TPrintersForTest&) = delete;
};

} // namespace

TEST(PrintingTest, ThePdfPrinterIsAlwaysThereAndTestsReplaceTheList)
{
    const QList<TPrinterEntry> System = Printers();
    ASSERT_FALSE(System.isEmpty());
    EXPECT_EQ(System.last().Name, QStringLiteral("PDF"));
    EXPECT_TRUE(HasPrinters());
    EXPECT_FALSE(DefaultPrinterName().isEmpty());
    {
        const TPrintersForTest None({});
        EXPECT_FALSE(HasPrinters());
        EXPECT_EQ(DefaultPrinterName(), QString());
    }
    {
        const TPrintersForTest Two({{QStringLiteral("Mono"), false, false}, {QStringLiteral("Laser"), true, true}});
        EXPECT_EQ(DefaultPrinterName(), QStringLiteral("Laser"));
        EXPECT_FALSE(PrinterHasColor(QStringLiteral("Mono")));
        EXPECT_TRUE(PrinterHasColor(QStringLiteral("Laser")));
        EXPECT_FALSE(PrinterHasColor(QStringLiteral("Elsewhere")));
        EXPECT_FALSE(TPrintJob(QStringLiteral("Mono")).Color());
    }
    EXPECT_EQ(Printers().size(), System.size());
}

TEST(PrintingTest, TheSetUpDialogIsScriptedAndPlacedInsideTheWorkArea)
{
    {
        const TScriptedBoxes Boxes("Cancel,OK");
        TPrintJob Job(QStringLiteral("PDF"));
        EXPECT_FALSE(Job.SetupDialog(nullptr));
        EXPECT_TRUE(Job.SetupDialog(nullptr));
        ASSERT_EQ(Boxes.Boxes().size(), 2);
        EXPECT_EQ(Boxes.Boxes()[0].value(QStringLiteral("caption")).toString(), QStringLiteral("印刷"));
        EXPECT_EQ(Boxes.Texts()[0], QStringLiteral("PDF"));
    }
    // Unscripted, the system's dialog comes up at the owner's corner + (15, 15), in Japanese.
    ASSERT_TRUE(InstallJapaneseUi());
    QWidget Owner;
    Owner.setGeometry(100, 200, 300, 200);
    Owner.show();
    (void)QTest::qWaitForWindowExposed(&Owner);
    QPoint Shown;
    QString Caption;
    QTimer::singleShot(200, [&Shown, &Caption] {
        if (auto* Dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            Shown = Dialog->frameGeometry().topLeft();
            SaveScreenshot(*Dialog, QStringLiteral("PrintSetup"));
            for (const QAbstractButton* Button : Dialog->findChildren<QAbstractButton*>())
                Caption += Button->text() + QLatin1Char('|');
            Dialog->reject();
        }
    });
    TPrintJob Job(QStringLiteral("PDF"));
    EXPECT_FALSE(Job.SetupDialog(&Owner));
    EXPECT_EQ(Shown, Owner.frameGeometry().topLeft() + QPoint(15, 15));
    EXPECT_TRUE(Caption.contains(QStringLiteral("キャンセル"))) << Caption.toStdString();

    const QRect Work(0, 0, 1280, 1000);
    EXPECT_EQ(PlaceInside({115, 215}, {400, 300}, Work), QPoint(115, 215));
    EXPECT_EQ(PlaceInside({1000, 800}, {400, 300}, Work), QPoint(880, 700));
    EXPECT_EQ(PlaceInside({-30, -5}, {400, 300}, Work), QPoint(0, 0));
    EXPECT_EQ(PlaceInside({10, 10}, {2000, 300}, Work), QPoint(0, 10));
}

TEST(PrintingTest, AJobPaintsPagesIntoTheNamedPdf)
{
    QTemporaryDir Dir;
    const QString File = Dir.filePath(QStringLiteral("job.pdf"));
    qputenv("VX_PRINT_PDF", QFile::encodeName(File));
    {
        TPrintJob Job;
        EXPECT_EQ(Job.Resolution(), 600);
        EXPECT_GT(Job.PageRect().height(), Job.PageRect().width());
        ASSERT_TRUE(Job.Begin(QStringLiteral("試し")));
        Job.Painter().drawText(100, 200, QStringLiteral("First page"));
        ASSERT_TRUE(Job.NewPage());
        Job.Painter().drawText(100, 200, QStringLiteral("Second page"));
        ASSERT_TRUE(Job.End());
    }
    qunsetenv("VX_PRINT_PDF");
    EXPECT_EQ(PdfPages(File), 2);
    EXPECT_TRUE(PdfText(File).contains(QStringLiteral("Second page")));
}

namespace {

// The smallest rectangle holding the picture's dark pixels.
QRect InkBox(const QImage& Page)
{
    QRect Box;
    for (int Y = 0; Y < Page.height(); ++Y)
        for (int X = 0; X < Page.width(); ++X)
            if (qGray(Page.pixel(X, Y)) < 128)
                Box |= QRect(X, Y, 1, 1);
    return Box;
}

bool WithinOne(const QRect& A, const QRect& B)
{
    return qAbs(A.left() - B.left()) <= 1 && qAbs(A.top() - B.top()) <= 1 && qAbs(A.right() - B.right()) <= 1 &&
           qAbs(A.bottom() - B.bottom()) <= 1;
}

} // namespace

// A PDF standing in for a printer gets that printer's page: its resolution, the origin inside its
// unprintable margins (turned with the sheet) and no ink on them, on the paper the job chose.
TEST(PrintingTest, AFileTakesThePageOfThePrinterItStandsFor)
{
    const TPrintersForTest Laser({{QStringLiteral("Office Laser"), true, true, 100, QMarginsF(6, 4, 13, 9)}});
    QTemporaryDir Dir;
    const QString File = Dir.filePath(QStringLiteral("job.pdf"));
    qputenv("VX_PRINT_PDF", QFile::encodeName(File));
    const auto Px = [](double Millimetres) { return qRound(Millimetres / 25.4 * 100); };
    for (const bool Landscape : {false, true}) {
        SCOPED_TRACE(Landscape ? "landscape" : "portrait");
        // A5 is 148 x 210 mm; a landscape page lies on the sheet turned a quarter to the left, so
        // its top has the upright left margin and its left the upright bottom one.
        const QSize Sheet = Landscape ? QSize(Px(210), Px(148)) : QSize(Px(148), Px(210));
        const QMarginsF Mm = Landscape ? QMarginsF(9, 6, 4, 13) : QMarginsF(6, 4, 13, 9);
        const QRect Printable(QPoint(Px(Mm.left()), Px(Mm.top())),
                              QPoint(Sheet.width() - Px(Mm.right()) - 1, Sheet.height() - Px(Mm.bottom()) - 1));
        TPrintJob Job;
        EXPECT_EQ(Job.PrinterName(), QStringLiteral("Office Laser"));
        Job.Printer().setPageSize(QPageSize(QPageSize::A5));
        Job.Printer().setPageOrientation(Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        EXPECT_EQ(Job.Resolution(), 100);
        EXPECT_EQ(Job.PageRect(), QRect(QPoint(0, 0), Printable.size()));
        // Ink over the whole sheet and beyond stays inside the margins; a square at the origin on
        // the next page sits at the printable area's corner.
        ASSERT_TRUE(Job.Begin(QStringLiteral("試し")));
        Job.Painter().fillRect(QRect(-500, -500, 5000, 5000), Qt::black);
        ASSERT_TRUE(Job.NewPage());
        Job.Painter().fillRect(QRect(0, 0, 50, 50), Qt::black);
        ASSERT_TRUE(Job.End());
        for (const int PageNo : {1, 2}) {
            const QImage Printed = PdfPageImage(File, 100, PageNo);
            ASSERT_FALSE(Printed.isNull());
            EXPECT_LE(qAbs(Printed.width() - Sheet.width()), 1);
            EXPECT_LE(qAbs(Printed.height() - Sheet.height()), 1);
            const QRect Ink = InkBox(Printed);
            EXPECT_TRUE(WithinOne(Ink, PageNo == 1 ? Printable : QRect(Printable.topLeft(), QSize(50, 50))))
                << "page " << PageNo << ": " << Ink.x() << ',' << Ink.y() << ' ' << Ink.width() << 'x' << Ink.height();
        }
    }
    qunsetenv("VX_PRINT_PDF");
}
