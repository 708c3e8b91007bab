// The incoming-call window's memo print, copy and screen print, printed to PDF files and read back
// with poppler's tools.

#include "calls/memo/MemoPrint.h"

#include "calls/RecvView.h"
#include "calls/memo/EItmSel.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/print/Printing.h"
#include "tests/support/PdfTools.h"
#include "tests/support/RecvData.h"
#include "tests/support/ScriptedBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

const QString Printed = QStringLiteral("印刷しました  ");

class MemoPrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.SelectItem1 = QStringLiteral("問合せ");
        SettingsPath = Data.Folder;
        Pdf = Data.Folder + QStringLiteral("memo.pdf");
        qputenv("VX_PRINT_PDF", QFile::encodeName(Pdf));
        InstallMemoPrint();
    }
    void TearDown() override
    {
        View.reset();
        ReceiveViewTools = {};
        MemoPrintKeyboardState = [] { return QGuiApplication::queryKeyboardModifiers(); };
        qunsetenv("VX_PRINT_PDF");
        Settings = TSettings();
        SettingsPath.clear();
    }
    void WriteMemoSection(const QByteArray& Lines)
    {
        QFile Ini(SettingsFileName());
        ASSERT_TRUE(Ini.open(QIODevice::WriteOnly));
        Ini.write("[MEMO PRINT]\n" + Lines);
    }
    void Open(const QStringList& Note = {})
    {
        TCallerRecord Record = CallRecordFor(1, QStringLiteral("03-1111-2222"), 1, 4);
        Record.NameKanji = QStringLiteral("田中");
        Record.Note = Note;
        View = std::make_unique<TReceiveView>();
        View->ShowCall(Record);
        View->show();
        (void)QTest::qWaitForWindowExposed(View.get());
    }
    // The text lines of the printed memo, without the blanks the layout puts between the columns.
    // The Japanese font draws some ideographs with the glyph of a Kangxi radical, which pdftotext
    // then reads back as the radical: those are read as the ideograph they stand for.
    QStringList PrintedLines() const
    {
        QStringList Lines;
        for (QString Line : PdfText(Pdf).split(u'\n')) {
            for (QChar& Ch : Line) {
                if (Ch.unicode() >= 0x2F00 && Ch.unicode() <= 0x2FDF)
                    Ch = QString(Ch).normalized(QString::NormalizationForm_KC).at(0);
            }
            const QString Simple = Line.simplified();
            if (!Simple.isEmpty() && Simple != QStringLiteral("\f"))
                Lines << Simple;
        }
        return Lines;
    }

    TRecvData Data;
    QString Pdf;
    std::unique_ptr<TReceiveView> View;
};

// Items 5, 6, 20 and 24 chosen, in that order.
const QByteArray FourItems = "ExportItemIndex=5,6,20,24,0,1,2,3,4,7,8,9,10,11,12,13,14,15,16,17,18,19,21,22,23\n"
                             "ExportItemExport=1,1,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\n";

} // namespace

TEST_F(MemoPrintTest, TheMemoPrintsTheChosenItemsUnderTheirLabels)
{
    WriteMemoSection(FourItems);
    Open({QStringLiteral("一行目"), QStringLiteral("二行目"), QStringLiteral("三行目")});
    View->edtTel2->setText(QStringLiteral("090-3333-4444"));
    View->cbxSelectItem1->setCurrentText(QStringLiteral("見積"));
    ASSERT_TRUE(View->bbtnMemoPrint->isEnabled());
    const TScriptedBoxes Boxes("Yes,OK");
    View->bbtnMemoPrint->click();
    EXPECT_EQ(Boxes.Texts(), (QStringList{QStringLiteral("画面の項目を印刷します  \r\nよろしいですか？  \r\n\r\n"
                                                         "※印刷したい項目は「項目設定」で指定できます　"),
                                          QStringLiteral("PDF"), Printed}));
    EXPECT_EQ(PrintedLines(), (QStringList{"[電話番号１] 03-1111-2222", "[電話番号２] 090-3333-4444", "[問合せ] 見積",
                                           "[備考] 一行目", "二行目", "三行目"}));
    EXPECT_EQ(PdfPages(Pdf), 1);
    const QString Folder = qEnvironmentVariable("VX_SCREENSHOT_DIR");
    if (!Folder.isEmpty()) {
        EXPECT_TRUE(PdfPageImage(Pdf, 100).save(Folder + QStringLiteral("/MemoPrint-page.png")));
    }
}

TEST_F(MemoPrintTest, TheAddressBookModeNamesItsNumbersItsOwnWay)
{
    Settings.UseFbAdrs = true;
    WriteMemoSection("ExportItemIndexFb=5,6,0,1,2,3,4,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24\n"
                     "ExportItemExportFb=1,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\n");
    Open();
    const TScriptedBoxes Boxes("Yes,OK");
    View->bbtnMemoPrint->click();
    const QStringList Lines = PrintedLines();
    ASSERT_EQ(Lines.size(), 2) << PdfText(Pdf).toStdString();
    EXPECT_TRUE(Lines[0].startsWith(QStringLiteral("[着信電話番号]")));
    EXPECT_TRUE(Lines[1].startsWith(QStringLiteral("[他の電話番号]")));
}

TEST_F(MemoPrintTest, ALongNoteGoesOnOverPagesToItsLastLine)
{
    WriteMemoSection(FourItems);
    QStringList Note;
    for (int I = 1; I <= 300; ++I)
        Note << QStringLiteral("行%1").arg(I);
    Open(Note);
    const TScriptedBoxes Boxes("Yes,OK");
    View->bbtnMemoPrint->click();
    EXPECT_GT(PdfPages(Pdf), 1);
    EXPECT_TRUE(PrintedLines().contains(QStringLiteral("行300")));
    EXPECT_EQ(Boxes.Texts().last(), Printed);
}

TEST_F(MemoPrintTest, NothingChosenPrintsAnEmptyPageAndCopiesAnEmptyText)
{
    WriteMemoSection("ExportItemExport=0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\nPrintMsg=0\n");
    Open();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    const TScriptedBoxes Boxes("OK");
    View->bbtnMemoPrint->click();
    EXPECT_EQ(PdfPages(Pdf), 1);
    EXPECT_EQ(PrintedLines(), QStringList());
    View->bbtnCopy->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());
}

TEST_F(MemoPrintTest, NoPrinterOrANoPrintsNothing)
{
    Open();
    {
        SetPrintersForTest(QList<TPrinterEntry>{});
        const TScriptedBoxes Boxes("Yes,OK");
        View->bbtnMemoPrint->click();
        View->bbtnPrint->click();
        SetPrintersForTest(std::nullopt);
        const QString NoPrinter = QStringLiteral(
            "プリンターがインストールされていません  \r\n\r\n先にプリンターをインストールしてください  ");
        EXPECT_EQ(Boxes.Texts(), (QStringList{NoPrinter, NoPrinter}));
    }
    {
        const TScriptedBoxes Boxes("No");
        View->bbtnMemoPrint->click();
        EXPECT_EQ(Boxes.Texts().size(), 1);
    }
    {
        const TScriptedBoxes Boxes("Yes,Cancel");
        View->bbtnPrint->click();
        EXPECT_EQ(Boxes.Texts().size(), 2);
    }
    EXPECT_FALSE(QFile::exists(Pdf));
}

TEST_F(MemoPrintTest, TheCopyJoinsTheValuesWithoutQuoting)
{
    WriteMemoSection("ExportItemIndex=11,24,23,0,1,2,3,4,5,6,7,8,9,10,12,13,14,15,16,17,18,19,20,21,22\n"
                     "ExportItemExport=1,1,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\n");
    TCallerRecord Record = CallRecordFor(1, QStringLiteral("03-1111-2222"));
    Record.CorpKanji = QStringLiteral("山田,商店");
    Record.Note = QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    Record.ExtFile = QStringList{QStringLiteral("/srv/a.pdf"), QStringLiteral("/srv/b.txt")};
    View = std::make_unique<TReceiveView>();
    View->ShowCall(Record);
    View->bbtnCopy->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("山田,商店,a\tb\tc,/srv/a.pdf\t/srv/b.txt"));
}

TEST_F(MemoPrintTest, TheScreenPrintIsOnePictureGreyWithCtrlInColourWithShift)
{
    Open();
    // A window of the default style may be grey throughout; one panel in red shows the colour.
    View->pnlDivision->setStyleSheet(QStringLiteral("background: red;"));
    auto PrintWith = [this](Qt::KeyboardModifiers Keys) {
        QFile::remove(Pdf);
        MemoPrintKeyboardState = [Keys] { return Keys; };
        const TScriptedBoxes Boxes("Yes,OK");
        View->bbtnPrint->click();
        EXPECT_EQ(Boxes.Texts().value(0), QStringLiteral("着信照会画面を印刷します　\r\nよろしいですか？  \r\n\r\n"));
        EXPECT_EQ(Boxes.Texts().value(2), Printed);
        return PdfPageImage(Pdf);
    };
    auto Grey = [](const QImage& Page) {
        for (int Y = 0; Y < Page.height(); ++Y)
            for (int X = 0; X < Page.width(); ++X) {
                const QRgb P = Page.pixel(X, Y);
                if (qRed(P) != qGreen(P) || qGreen(P) != qBlue(P))
                    return false;
            }
        return true;
    };
    const QImage Colour = PrintWith(Qt::ShiftModifier);
    ASSERT_FALSE(Colour.isNull());
    EXPECT_FALSE(Grey(Colour));
    EXPECT_EQ(PdfPages(Pdf), 1);
    const QList<QStringList> Images = PdfImages(Pdf);
    ASSERT_EQ(Images.size(), 1);
    const QImage Window = GrabWindowPicture(View.get());
    // page num type width height ...
    EXPECT_EQ(Images[0].value(3).toInt(), Window.width());
    EXPECT_EQ(Images[0].value(4).toInt(), Window.height());
    // Drawn at the window's own 96 per inch: as large on paper as on the screen.
    EXPECT_EQ(Images[0].value(12).toInt(), 96);
    EXPECT_TRUE(RunPdfTool(QStringLiteral("pdfinfo"), {Pdf}).contains(QStringLiteral("着信照会画面")));

    EXPECT_TRUE(Grey(PrintWith(Qt::ControlModifier | Qt::ShiftModifier)));
}

TEST_F(MemoPrintTest, TheItemSettingsAreTakenOnOkAndKeptInTheSettingsFile)
{
    Open();
    const TScriptedBoxes Boxes;
    bool Seen = false;
    QTimer::singleShot(0, [&Seen] {
        auto* Dialog = qobject_cast<TExportItemSelect*>(QApplication::activeModalWidget());
        if (!Dialog)
            return;
        Seen = true;
        Dialog->lvExportItem->setCurrentRow(24);
        Dialog->bbtnTop->click();
        Dialog->chkPrintMessage->setChecked(false);
        Dialog->btnOk->click();
    });
    View->bbnMemoPrintSet->click();
    ASSERT_TRUE(Seen);
    EXPECT_EQ(View->MemoPrintItems.first().TableRow, 24);
    EXPECT_FALSE(View->RefillGuard());
    const TMemIniFile Saved(SettingsFileName());
    EXPECT_TRUE(Saved.ReadString(QStringLiteral("MEMO PRINT"), QStringLiteral("ExportItemIndex"), QString())
                    .startsWith(QStringLiteral("24,0,1,")));
    EXPECT_FALSE(Saved.ReadBool(QStringLiteral("MEMO PRINT"), QStringLiteral("PrintMsg"), true));

    // The window keeps the settings when it closes, too.
    QFile::remove(SettingsFileName());
    View.reset();
    EXPECT_EQ(
        TMemIniFile(SettingsFileName()).ReadString(QStringLiteral("MEMO PRINT"), QStringLiteral("FontSize"), QString()),
        QStringLiteral("2"));
}
