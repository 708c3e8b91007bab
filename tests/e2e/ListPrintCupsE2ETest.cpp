// The list printing of the running program on real print queues: a private cupsd with two queues of
// PPDs of our own, one with margins it cannot print on that differ on every side. What the queue
// makes of the job (after CUPS's own filters, as a printer receives it) is read back: its papers,
// their turn, the copies, and where the ink lies.
#include "tests/support/CupsFixture.h"
#include "tests/support/PdfTools.h"
#include "tests/support/ProgramHarness.h"

#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// A4 and B5 (the Japanese B5, 182 x 257 mm, as Japanese printers name it) in points; the uneven
// queue's printable areas (left, bottom, right, top from the lower left): 6 mm left, 10 mm bottom,
// 10 mm right, 15 mm top.
const TCupsServer::TQueue Plain{
    QStringLiteral("VxPlain"),
    {{QStringLiteral("A4"), 595, 842, 12, 12, 583, 830}, {QStringLiteral("B5"), 516, 729, 12, 12, 504, 717}}};
const TCupsServer::TQueue Uneven{
    QStringLiteral("VxUneven"),
    {{QStringLiteral("A4"), 595, 842, 17, 28, 567, 799}, {QStringLiteral("B5"), 516, 729, 17, 28, 488, 686}}};

class ListPrintCupsE2ETest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Cups.Error().isEmpty())
            GTEST_SKIP() << "no private print server: " << Cups.Error().toStdString();
        ASSERT_TRUE(Cups.AddQueue(Plain) && Cups.AddQueue(Uneven)) << Cups.Error().toStdString();
        Program.Environment().insert(QStringLiteral("CUPS_SERVER"), Cups.Socket());
        // The start-up's notice, the question before printing, the completion.
        Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("OK,Yes,OK"));
        // Every rule on, the date at the top left and the page number at the bottom right, no
        // margin: the ink reaches each edge of the printable area.
        for (const auto& [Key, Value] :
             {std::pair("DataSelect", "2"), std::pair("ViewDate", "1"), std::pair("DatePosX", "0"),
              std::pair("DatePosY", "0"), std::pair("ViewPage", "1"), std::pair("PagePosX", "2"),
              std::pair("PagePosY", "1"), std::pair("PageType", "3"), std::pair("Line1", "1"), std::pair("Line2", "1"),
              std::pair("Line3", "1"), std::pair("Line4", "1"), std::pair("Line5", "1"), std::pair("Line6", "1"),
              std::pair("HeaderColorExists", "1"), std::pair("HeaderColor", "8421504")})
            Program.SetSetting(QStringLiteral("LIST PRINT"), QLatin1String(Key), QLatin1String(Value));
        Program.SetSetting(QStringLiteral("LIST PRINT LAYOUT RECVHIS"), QStringLiteral("ItemNo"),
                           QStringLiteral("1,2,3,4,6,8,25"));
        Program.SetSetting(QStringLiteral("LIST PRINT LAYOUT RECVHIS"), QStringLiteral("ItemSize"),
                           QStringLiteral("5,10,8,13,50,14,200"));
        ASSERT_TRUE(Program.StartAndWaitForLine());
        for (int I = 0; I < Calls; ++I) {
            ASSERT_EQ(Program.Ring(QStringLiteral("03%1").arg(11110000 + I)), 0);
        }
        ASSERT_TRUE(Program.WaitForRows(Calls));
        ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
        Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("mmListPrint"));
        ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("ListPrint")));
    }

    // Chooses the queue, paper, orientation and copies in "設定", then prints every call.
    void SetUpAndPrint(const QString& Queue, const QString& Paper, bool Landscape, int Copies)
    {
        Program.AnswerDialog(QStringLiteral("ListPrint"), {}, QStringLiteral("btnPrinterSetup"));
        ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("PrinterSetup")));
        // The printer first, as a person picks it: its papers fill the paper list.
        Program.ScriptLine({{QStringLiteral("window"), QStringLiteral("PrinterSetup")},
                            {QStringLiteral("fields"), QJsonObject{{QStringLiteral("cbxPrinter"), Queue}}}});
        Program.AnswerDialog(
            QStringLiteral("PrinterSetup"),
            {{QStringLiteral("cbxPaper"), Paper},
             {QStringLiteral("cbxOrientation"), Landscape ? QStringLiteral("横") : QStringLiteral("縦")},
             {QStringLiteral("edtCopies"), QString::number(Copies)}},
            QStringLiteral("btnOk"));
        Program.AnswerDialog(QStringLiteral("ListPrint"), {}, QStringLiteral("btnList"));
        ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("RecvHisListPrintList")));
        Program.AnswerDialog(QStringLiteral("RecvHisListPrintList"), {}, QStringLiteral("btnPrint"));
        ASSERT_TRUE(Program.WaitForBox(QStringLiteral("一覧表の印刷が完了しました  ")));
        ASSERT_TRUE(Cups.WaitForOutput(Queue)) << Cups.ErrorLog().toStdString();
    }

    // pdfinfo's lines of the queue's output.
    [[nodiscard]] QString Info(const QString& Queue) const
    {
        return RunPdfTool(QStringLiteral("pdfinfo"), {Cups.Output(Queue)});
    }

    static constexpr int Calls = 60;
    TCupsServer Cups;
    TProgramHarness Program;
};

// Page 1 of a queue's output as the sheet comes out of the printer, at 72 per inch (one pixel a point).
QImage Sheet(const QString& File)
{
    QTemporaryDir Out;
    (void)RunPdfTool(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"), QStringLiteral("1"),
                      QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                      File, Out.filePath(QStringLiteral("sheet"))});
    return QImage(Out.filePath(QStringLiteral("sheet.png")));
}

// The box around every pixel darker than light grey.
QRect InkBox(const QImage& Image)
{
    QRect Box;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (qGray(Image.pixel(X, Y)) < 200)
                Box |= QRect(X, Y, 1, 1);
    return Box;
}

} // namespace

// The set-up's choice is what the queue gets: the second queue, B5, landscape, three copies; it is
// kept in LstPrint.pi; and the ink of the landscape page stays inside the printable area of the
// sheet, reaching to its edges, on a printer whose margins differ on every side.
TEST_F(ListPrintCupsE2ETest, TheSetUpChoosesQueuePaperTurnAndCopiesAndTheInkStaysPrintable)
{
    SetUpAndPrint(Uneven.Name, QStringLiteral("JIS B5"), true, 3);

    QFile Stored(Program.SettingsFolder() + QStringLiteral("LstPrint.pi"));
    ASSERT_TRUE(Stored.open(QIODevice::ReadOnly));
    const QByteArray Mode = Stored.readAll().mid(4);
    ASSERT_GT(Mode.size(), 56);
    EXPECT_EQ(QString::fromLatin1(Mode.left(32)).remove(QChar(0)), Uneven.Name);
    EXPECT_EQ(qFromLittleEndian<quint16>(Mode.constData() + 44), 2) << "landscape";
    EXPECT_EQ(qFromLittleEndian<quint16>(Mode.constData() + 54), 3) << "copies";
    EXPECT_EQ(qFromLittleEndian<quint16>(Mode.constData() + 46), 13) << "B5";

    const QString Pages = Info(Uneven.Name);
    const int Printed = PdfPages(Cups.Output(Uneven.Name));
    EXPECT_TRUE(Pages.contains(QRegularExpression(QStringLiteral(R"(Page size:\s+(729 x 516|516 x 729) pts)"))))
        << Pages.toStdString();
    EXPECT_EQ(Printed % 3, 0) << "three copies of each page";
    EXPECT_GE(Printed, 6);
    EXPECT_FALSE(QFileInfo::exists(Cups.Output(Plain.Name)));

    // The sheet as it leaves the printer: B5 upright, the landscape page turned onto it.
    const QImage Image = Sheet(Cups.Output(Uneven.Name));
    ASSERT_EQ(Image.size(), QSize(516, 729));
    const TCupsServer::TQueue::TPaper& B5 = Uneven.Papers[1];
    const QRect Printable(QPoint(B5.Left, 729 - B5.Top), QPoint(B5.Right - 1, 729 - B5.Bottom - 1));
    const QRect Ink = InkBox(Image);
    EXPECT_TRUE(Printable.adjusted(-1, -1, 1, 1).contains(Ink))
        << "ink " << Ink.x() << "," << Ink.y() << " " << Ink.width() << "x" << Ink.height() << " printable "
        << Printable.x() << "," << Printable.y() << " " << Printable.width() << "x" << Printable.height();
    // The rules of a table wider than the page run along the whole landscape width, from edge to
    // edge of the printable area; the date and the page number stand at its other two edges.
    EXPECT_LE(qAbs(Ink.top() - Printable.top()), 2) << Ink.top();
    EXPECT_LE(qAbs(Ink.bottom() - Printable.bottom()), 2) << Ink.bottom();
    EXPECT_LE(qAbs(Ink.left() - Printable.left()), 12) << Ink.left();
    EXPECT_LE(qAbs(Ink.right() - Printable.right()), 12) << Ink.right();
}
