#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/print/Printing.h"
#include "tests/support/CupsFixture.h"
#include "tests/support/RecvData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/unit/FakePrinters.h"
#include "tests/unit/HisTableFixture.h"
#include "transfer/print/ListPrt.h"
#include "transfer/print/PaintPanel.h"
#include "transfer/print/SystemPrinters.h"
#include "transfer/print/lists/RHLPLst.h"
#include "transfer/print/preview/LPPrevw.h"
#include "transfer/print/preview/PreviewZoom.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

class ListPrintPreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.ListMaxCount = 10;
        Settings.DataPath = Data.Folder;
        SettingsPath = Data.Folder;
    }
    void TearDown() override
    {
        Settings = TSettings();
        SettingsPath.clear();
        TListPrintPreview::SetScreenDpiForTests(0);
        qunsetenv("VX_PRINT_PDF");
    }
    void AddCalls(int Count)
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        AppendHistoryRows(*RecvHisTable, Count, [](int I) { return GeneratedRow(I); });
    }
    // PrintKeys go to [LIST PRINT]; the layout is No., TEL and the company at ItemSize.
    void Configure(int RecordsPerPage, const QByteArray& PrintKeys = {}, const QByteArray& ItemSize = "5,13,20")
    {
        TMemIniFile Ini(Data.Folder + QStringLiteral("VxRelvo16.ini"));
        Ini.FromBytes("[LIST PRINT]\nPrintSource=0\nDataSelect=2\nViewDate=0\nLine1=1\nLine2=1\nLine3=1\nLine4=1\n"
                      "Line5=1\nLine6=1\n" +
                      PrintKeys + "[LIST PRINT LAYOUT RECVHIS]\nItemNo=1,4,6\nItemSize=" + ItemSize + "\n");
        Model.LoadPrintSettings(Ini, Data.Folder + QStringLiteral("LstPrint.pi"));
        Model.RecordsPerPage = RecordsPerPage;
        Model.CountSourceRecords(*DMVxRelvo16);
    }
    static void WriteZoom(const QString& Folder, int Zoom)
    {
        TMemIniFile Ini(Folder + QStringLiteral("VxRelvo16.ini"));
        Ini.WriteInteger(QStringLiteral("LIST PRINT PREVIEW"), QStringLiteral("Zoom"), Zoom);
        (void)Ini.UpdateFile();
    }

    TRecvData Data;
    TFakePrinters Printers;
    TListPrintModel Model;
};

} // namespace

TEST(PreviewZoomTest, ScaleAndPlace)
{
    EXPECT_EQ(PreviewZoomText(0), QStringLiteral("用紙全体"));
    EXPECT_EQ(PreviewZoomText(7), QStringLiteral("50%"));
    EXPECT_EQ(PreviewZoomOf(9), 0);
    EXPECT_EQ(PreviewZoomOf(-1), 0);
    EXPECT_EQ(PreviewZoomOf(5), 5);
    EXPECT_DOUBLE_EQ(PreviewScale(5, {}, {794, 1123}, 120), 1.25);
    // The whole page: the smaller of the two fits, 22 pixels kept on each side.
    EXPECT_DOUBLE_EQ(PreviewScale(0, {838, 2000}, {794, 1123}, 96), 1.0);
    EXPECT_EQ(PlacePreviewPage({1000, 800}, {600, 400}), QRect(200, 200, 600, 400));
    EXPECT_EQ(PlacePreviewPage({500, 400}, {600, 800}), QRect(20, 20, 600, 800));
    EXPECT_EQ(PreviewPage96(4961, 7016, 600, 600), QSize(794, 1123));
}

TEST_F(ListPrintPreviewTest, OnePageZoomsAndPlacing)
{
    Printers.Add(QStringLiteral("PDF"), PdfPrinterCaps());
    AddCalls(3);
    Configure(5);
    TListPrintPreview::SetScreenDpiForTests(120);
    WriteZoom(Data.Folder, 9);
    auto* Preview = new TListPrintPreview(Model, nullptr);
    Preview->resize(800, 572);
    Preview->show();
    EXPECT_EQ(Preview->windowTitle(), QStringLiteral("印刷プレビュー"));
    EXPECT_EQ(Preview->property("HelpContext").toInt(), 78);
    EXPECT_EQ(Preview->cbxZoom->currentText(), QStringLiteral("用紙全体"));
    for (QToolButton* Button : {Preview->sbtnFirst, Preview->sbtnPrior, Preview->sbtnNext, Preview->sbtnLast}) {
        EXPECT_FALSE(Button->isEnabled());
    }
    EXPECT_EQ(Preview->lblNowPage->text(), QStringLiteral("1"));
    EXPECT_EQ(Preview->lblTotalPage->text(), QStringLiteral("1"));
    SaveScreenshot(*Preview, QStringLiteral("ListPrintPreviewWhole"));

    // The whole page follows the window; the page is smaller than the area, so it is centred.
    const QSize Fit = Preview->pnlImage->size();
    Preview->resize(900, 700);
    QApplication::processEvents();
    EXPECT_GT(Preview->pnlImage->height(), Fit.height());
    const QSize Client = Preview->sbxPreview->viewport()->size();
    EXPECT_EQ(Preview->pnlImage->pos(), PlacePreviewPage(Client, Preview->pnlImage->size()).topLeft());

    // 100% on a screen of 120 per inch is 125%, larger than the area: 20 pixels in, the range 20 after.
    Preview->cbxZoom->setCurrentIndex(5);
    EXPECT_EQ(Preview->StatusPanels[1]->text(), QStringLiteral("  表示： 125%"));
    const QSize Fixed = Preview->pnlImage->size();
    EXPECT_EQ(Preview->pnlImage->pos(), QPoint(20, 20));
    EXPECT_EQ(Preview->bvSpace->size(), Fixed + QSize(40, 40));
    Preview->resize(700, 500);
    QApplication::processEvents();
    EXPECT_EQ(Preview->pnlImage->size(), Fixed);
    SaveScreenshot(*Preview, QStringLiteral("ListPrintPreview100"));

    // The page is dragged with a closed hand, the point grabbed staying under the cursor; the wheel
    // scrolls while the scroll box has the focus.
    QScrollBar* Across = Preview->sbxPreview->horizontalScrollBar();
    QScrollBar* Down = Preview->sbxPreview->verticalScrollBar();
    QApplication::setActiveWindow(Preview);
    QTest::mousePress(Preview->pnlImage, Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_EQ(Preview->pnlImage->cursor().shape(), Qt::ClosedHandCursor);
    QMouseEvent Drag(QEvent::MouseMove, QPointF(260, 250), Preview->pnlImage->mapToGlobal(QPointF(260, 250)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Preview->pnlImage, &Drag);
    EXPECT_EQ(Across->value(), 40);
    EXPECT_EQ(Down->value(), 50);
    QTest::mouseRelease(Preview->pnlImage, Qt::LeftButton, {}, QPoint(260, 250));
    EXPECT_EQ(Preview->pnlImage->cursor().shape(), Qt::OpenHandCursor);
    const auto Wheel = [Preview] {
        const QPointF At(100, 100);
        QWheelEvent Turn(At, Preview->sbxPreview->viewport()->mapToGlobal(At), {}, QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Preview->sbxPreview->viewport(), &Turn);
    };
    Wheel();
    EXPECT_EQ(Down->value(), 50 + QApplication::wheelScrollLines() * Down->singleStep());
    Preview->cbxZoom->setFocus();
    Down->setValue(0);
    Wheel();
    EXPECT_EQ(Down->value(), 0);
    Across->setValue(0);

    // Page Down scrolls the page from the scroll box, not from the zoom list.
    QScrollBar* Bar = Preview->sbxPreview->verticalScrollBar();
    QApplication::setActiveWindow(Preview);
    Preview->cbxZoom->setFocus();
    QTest::keyClick(Preview->cbxZoom, Qt::Key_PageDown);
    EXPECT_EQ(Bar->value(), 0);
    EXPECT_NE(Preview->cbxZoom->currentIndex(), 5) << "the key reached the list";
    Preview->cbxZoom->setCurrentIndex(5);
    Preview->sbxPreview->setFocus();
    QTest::keyClick(Preview->sbxPreview, Qt::Key_PageDown);
    EXPECT_EQ(Bar->value(), Preview->sbxPreview->viewport()->height());
    QTest::keyClick(Preview->sbxPreview, Qt::Key_Up);
    EXPECT_EQ(Bar->value(), Preview->sbxPreview->viewport()->height() - Bar->singleStep());

    // At a fixed zoom that leaves the page smaller than the area, a resize keeps its size and
    // centres it anew.
    Preview->cbxZoom->setCurrentIndex(7);
    Preview->resize(1200, 1000);
    QApplication::processEvents();
    const QSize Small = Preview->pnlImage->size();
    Preview->resize(1100, 960);
    QApplication::processEvents();
    EXPECT_EQ(Preview->pnlImage->size(), Small);
    EXPECT_EQ(Preview->pnlImage->pos(), PlacePreviewPage(Preview->sbxPreview->viewport()->size(), Small).topLeft());
    EXPECT_GT(Preview->pnlImage->x(), 20);
    Preview->cbxZoom->setCurrentIndex(5);

    // New settings: page 1 of the new count, the same zoom, at the top left.
    AddCalls(9);
    Model.CountSourceRecords(*DMVxRelvo16);
    Preview->RefreshPreview();
    EXPECT_EQ(Preview->lblTotalPage->text(), QStringLiteral("3"));
    EXPECT_EQ(Preview->lblNowPage->text(), QStringLiteral("1"));
    EXPECT_EQ(Preview->cbxZoom->currentIndex(), 5);
    EXPECT_EQ(Bar->value(), 0);
    Preview->sbtnLast->click();
    EXPECT_EQ(Preview->lblNowPage->text(), QStringLiteral("3"));
    EXPECT_FALSE(Preview->sbtnNext->isEnabled());
    EXPECT_TRUE(Preview->sbtnFirst->isEnabled());

    // Settings that leave no room for a row show a single page.
    Model.RecordsPerPage = 0;
    Preview->RefreshPreview();
    EXPECT_EQ(Preview->lblTotalPage->text(), QStringLiteral("1"));
    Preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ListPrintPreview, nullptr);
    TMemIniFile Ini(Data.Folder + QStringLiteral("VxRelvo16.ini"));
    EXPECT_EQ(Ini.ReadInteger(QStringLiteral("LIST PRINT PREVIEW"), QStringLiteral("Zoom"), -1), 5);
}

namespace {

// The rows (or columns) that hold a run of at least 60 pixels whose grey lies in [Darkest, Lightest]:
// the rules across the page (black) and the filled bands (light grey). Letters make no such runs.
QList<int> LongRuns(const QImage& Image, bool Rows, int Darkest, int Lightest)
{
    QList<int> Lines;
    const int Count = Rows ? Image.height() : Image.width();
    const int Span = Rows ? Image.width() : Image.height();
    for (int I = 0; I < Count; ++I) {
        int Run = 0;
        for (int J = 0; J < Span && Run < 60; ++J) {
            const int Grey = qGray(Rows ? Image.pixel(J, I) : Image.pixel(I, J));
            Run = Grey >= Darkest && Grey <= Lightest ? Run + 1 : 0;
        }
        if (Run >= 60)
            Lines << I;
    }
    return Lines;
}

// Every line of each list has one in the other at most a pixel away.
bool SameWithinOne(const QList<int>& A, const QList<int>& B)
{
    const auto Near = [](const QList<int>& From, const QList<int>& To) {
        for (int V : From)
            if (!To.contains(V) && !To.contains(V - 1) && !To.contains(V + 1))
                return false;
        return true;
    };
    return !A.isEmpty() && Near(A, B) && Near(B, A);
}

QString LinesText(const QList<int>& Lines)
{
    QStringList Texts;
    for (int Line : Lines)
        Texts << QString::number(Line);
    return Texts.join(u' ');
}

// The two pictures are of one size, give or take a pixel, and their rules lie on the same rows and
// columns.
void ExpectSameRules(const QImage& Shown, const QImage& Printed)
{
    EXPECT_LE(qAbs(Printed.width() - Shown.width()), 1);
    EXPECT_LE(qAbs(Printed.height() - Shown.height()), 1);
    for (const bool Rows : {true, false}) {
        const QList<int> ShownRules = LongRuns(Shown, Rows, 0, 99);
        const QList<int> PrintedRules = LongRuns(Printed, Rows, 0, 99);
        EXPECT_TRUE(SameWithinOne(ShownRules, PrintedRules))
            << (Rows ? "rows " : "columns ") << LinesText(ShownRules).toStdString() << " | "
            << LinesText(PrintedRules).toStdString();
    }
}

// The preview's page 1 at the sheet's pixels, and the job's page 1 as pdftoppm rasterises it at Dpi.
// With Queue set, the job goes to that print queue and Queue names the file the queue writes.
std::pair<QImage, QImage> ShownAndPrinted(TListPrintModel& Model, int Dpi, const QString& Queue = {})
{
    // The sheet at Dpi, as the printed page is rasterised.
    auto* Preview = new TListPrintPreview(Model, nullptr);
    const double Scale = static_cast<double>(Dpi) / Model.PrinterInfo->DpiX;
    QImage Shown((QSizeF(Preview->SheetPixels()) * Scale).toSize(), QImage::Format_RGB32);
    Shown.fill(Qt::white);
    {
        QPainter Painter(&Shown);
        Painter.scale(Scale, Scale);
        Painter.drawPicture(0, 0, Preview->PageImage());
    }
    delete Preview;

    QTemporaryDir Out;
    const QString Pdf = Queue.isEmpty() ? Out.filePath(QStringLiteral("page.pdf")) : Queue;
    if (Queue.isEmpty())
        qputenv("VX_PRINT_PDF", QFile::encodeName(Pdf));
    {
        TRecvHisListPrintList List(Model);
        List.show();
        const TScriptedBoxes Boxes("Yes");
        List.btnPrint->click();
    }
    qunsetenv("VX_PRINT_PDF");
    for (int Try = 0; Try < 600 && QFileInfo(Pdf).size() == 0; ++Try)
        QTest::qWait(100);
    QProcess Raster;
    Raster.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-aa"), QStringLiteral("no"),
                  QStringLiteral("-aaVector"), QStringLiteral("no"), QStringLiteral("-f"), QStringLiteral("1"),
                  QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-png"), QStringLiteral("-singlefile"), Pdf,
                  Out.filePath(QStringLiteral("page"))});
    EXPECT_TRUE(Raster.waitForFinished(60000));
    return {Shown, QImage(Out.filePath(QStringLiteral("page.png")))};
}

} // namespace

// The preview and the job take the page from one printer of the program's list: a job that laid its
// page out anywhere but inside that printer's margins, or at another resolution, moves the rules.
TEST_F(ListPrintPreviewTest, ThePreviewShowsWhatPrintsWithUnevenMargins)
{
    // 100 per inch, margins it cannot print on that differ on every side.
    const TPrinterEntry Laser(QStringLiteral("Office Laser"), true, true, 100, QMarginsF(6, 4, 13, 9));
    SetPrintersForTest(QList<TPrinterEntry>{Laser});
    static TSystemPrinters System;
    SetPrinterDevices(&System);
    AddCalls(30);
    // A light grey header band and light grey rows every other row; a wide first column, so that the
    // bands show beside the numbers.
    Configure(12, "HeaderColorExists=1\nHeaderColor=12632256\nColorCount=2\nColor1=14737632\nColor2=16777215\n",
              "12,13,20");
    ASSERT_EQ(Model.PrinterInfo->DeviceName, Laser.Name);

    for (const bool Landscape : {false, true}) {
        SCOPED_TRACE(Landscape ? "landscape" : "portrait");
        CurrentPrinter().Landscape = Landscape;
        Model.PrinterInfo->UseCurrentPrinter();
        const auto [Shown, Printed] = ShownAndPrinted(Model, 100);
        ASSERT_FALSE(Printed.isNull());
        EXPECT_EQ(Shown.width() > Shown.height(), Landscape);
        ExpectSameRules(Shown, Printed);
        const QList<int> ShownBands = LongRuns(Shown, true, 150, 245);
        const QList<int> PrintedBands = LongRuns(Printed, true, 150, 245);
        EXPECT_GT(ShownBands.size(), 12 * 5);
        EXPECT_TRUE(SameWithinOne(ShownBands, PrintedBands))
            << LinesText(ShownBands).toStdString() << " | " << LinesText(PrintedBands).toStdString();
    }
    SetPrintersForTest(std::nullopt);
    CurrentPrinter() = TPrinterSelection();
}

namespace {

// The rules of a list: groups of neighbouring rows (or columns) with long black runs, each group one
// rule however many pixels thick it comes out.
int RuleCount(const QImage& Image, bool Rows)
{
    const QList<int> Lines = LongRuns(Image, Rows, 0, 99);
    int Count = 0;
    for (qsizetype I = 0; I < Lines.size(); ++I)
        Count += I == 0 || Lines[I] > Lines[I - 1] + 1 ? 1 : 0;
    return Count;
}

} // namespace

// The preview opens on the whole page, a fifteenth of the printer's pixels or less: every rule of the
// printed page shows there as it does at 100 %, none falling between the screen's pixels.
TEST_F(ListPrintPreviewTest, EveryRuleShowsAtEveryZoom)
{
    Printers.Add(QStringLiteral("PDF"), PdfPrinterCaps());
    AddCalls(40);
    // All six rules on, thin and solid, one under every row; margins, so that no rule lies under the
    // preview's frame around the sheet.
    Configure(40, "HorzInterval=1\nOffsetX=50\nOffsetY=50\n", "5,13,20");
    const auto [Shown, Printed] = ShownAndPrinted(Model, 100);
    ASSERT_FALSE(Printed.isNull());
    const int PrintedRows = RuleCount(Printed, true);
    const int PrintedColumns = RuleCount(Printed, false);
    // The header's two rules, 39 between the rows and the bottom one; left, two inner and right.
    EXPECT_EQ(PrintedRows, 42);
    EXPECT_EQ(PrintedColumns, 4);

    auto* Preview = new TListPrintPreview(Model, nullptr);
    Preview->resize(800, 572);
    Preview->show();
    QApplication::processEvents();
    ASSERT_EQ(Preview->ZoomApplied(), 0);
    for (const int Zoom : {0, 5}) {
        SCOPED_TRACE(Zoom);
        Preview->cbxZoom->setCurrentIndex(Zoom);
        QApplication::processEvents();
        const QImage Picture = Preview->pnlImage->grab().toImage();
        SaveScreenshot(*Preview, Zoom == 0 ? QStringLiteral("ListPrintPreviewRulesFit")
                                           : QStringLiteral("ListPrintPreviewRules100"));
        EXPECT_EQ(RuleCount(Picture, true), PrintedRows);
        EXPECT_EQ(RuleCount(Picture, false), PrintedColumns);
    }
    Preview->close();
}

// The same agreement on a real print queue, upright and turned, where the system's printing lays the
// page on the sheet: a private cupsd whose queue states margins that differ on every side.
TEST_F(ListPrintPreviewTest, ThePreviewShowsWhatAPrintQueuePrints)
{
    TCupsServer Cups;
    if (!Cups.Error().isEmpty())
        GTEST_SKIP() << "no private print server: " << Cups.Error().toStdString();
    const TCupsServer::TQueue Uneven{QStringLiteral("VxUneven"), {{QStringLiteral("A4"), 595, 842, 17, 28, 567, 799}}};
    ASSERT_TRUE(Cups.AddQueue(Uneven)) << Cups.Error().toStdString();
    // This test's own process: the system's printers are asked for here first.
    qputenv("CUPS_SERVER", QFile::encodeName(Cups.Socket()));
    static TSystemPrinters System;
    SetPrinterDevices(&System);
    ASSERT_TRUE(FindPrinter(Uneven.Name)) << "the queue is not among the printers";

    AddCalls(30);
    Configure(12, "HeaderColorExists=1\nHeaderColor=12632256\n", "12,13,20");
    for (const bool Landscape : {false, true}) {
        SCOPED_TRACE(Landscape ? "landscape" : "portrait");
        QFile::remove(Cups.Output(Uneven.Name));
        CurrentPrinter() = TPrinterSelection{Uneven.Name, QPageSize(QPageSize::A4), Landscape, 1};
        Model.PrinterInfo->UseCurrentPrinter();
        const auto [Shown, Printed] = ShownAndPrinted(Model, 150, Cups.Output(Uneven.Name));
        ASSERT_FALSE(Printed.isNull()) << Cups.ErrorLog().toStdString();
        // The queue's sheet stands upright; the preview's landscape page is turned onto it as the
        // printer turns it, a quarter to the left.
        const QImage Sheet = Landscape ? Shown.transformed(QTransform().rotate(-90)) : Shown;
        ExpectSameRules(Sheet, Printed);
    }
    SetPrinterDevices(nullptr);
    CurrentPrinter() = TPrinterSelection();
}
