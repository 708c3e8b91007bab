#include "calls/HisSch.h"
#include "calls/PgJump.h"
#include "directory/search/MeiboSch.h"
#include "main/common/CommonFonts.h"
#include "main/controls/MyHdCtrl.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/print/Printing.h"
#include "tests/support/PdfTools.h"
#include "tests/support/RecvData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/WhenModal.h"
#include "tests/unit/FakePrinters.h"
#include "tests/unit/HisTableFixture.h"
#include "tests/unit/MeiboTableFixture.h"
#include "transfer/common/RangeSpc.h"
#include "transfer/print/ListPrt.h"
#include "transfer/print/ListPrtDlg.h"
#include "transfer/print/lists/AMLPLst.h"
#include "transfer/print/lists/RHLPLst.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A list print window over the fixture tables, printing to a PDF file of its own.
class ListPrintListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.ListMaxCount = 10;
        Settings.DataPath = Data.Folder;
        SettingsPath = Data.Folder;
        Printers.Add(QStringLiteral("PDF"), PdfPrinterCaps());
        Pdf = Out.filePath(QStringLiteral("list.pdf"));
        qputenv("VX_PRINT_PDF", QFile::encodeName(Pdf));
    }
    void TearDown() override
    {
        Settings = TSettings();
        SettingsPath.clear();
        qunsetenv("VX_PRINT_PDF");
        TListPrintList::FailAtPageForTests(0);
    }
    void AddCalls(
        int Count, const std::function<THisFixtureRow(int)>& Make = [](int I) { return GeneratedRow(I); })
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        AppendHistoryRows(*RecvHisTable, Count, Make);
    }
    // The settings as the list print window hands them over: the running number and the number (the
    // history) or the first number (the directory), RecordsPerPage rows a page.
    void Configure(int Source, int DataSelect, int RecordsPerPage, int Copies = 1)
    {
        TMemIniFile Ini(Data.Folder + QStringLiteral("VxRelvo16.ini"));
        Ini.FromBytes(QStringLiteral("[LIST PRINT]\nPrintSource=%1\nDataSelect=%2\nCopies=%3\nViewDate=0\nViewPage=0\n"
                                     "[LIST PRINT LAYOUT RECVHIS]\nItemNo=1,4\nItemSize=5,13\n"
                                     "[LIST PRINT LAYOUT MEIBO]\nItemNo=1,2\nItemSize=5,13\n")
                          .arg(Source)
                          .arg(DataSelect)
                          .arg(Copies)
                          .toUtf8());
        Model.LoadPrintSettings(Ini, Data.Folder + QStringLiteral("LstPrint.pi"));
        Model.RecordsPerPage = RecordsPerPage;
    }
    [[nodiscard]] int PdfPages() const
    {
        QProcess Info;
        Info.start(QStringLiteral("pdfinfo"), {Pdf});
        Info.waitForFinished();
        for (const QByteArray& Line : Info.readAllStandardOutput().split('\n'))
            if (Line.startsWith("Pages:"))
                return Line.mid(6).trimmed().toInt();
        return -1;
    }
    // The printed text, page by page.
    [[nodiscard]] QStringList PdfText() const
    {
        QProcess Text;
        Text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), Pdf, QStringLiteral("-")});
        Text.waitForFinished();
        QStringList Pages = QString::fromUtf8(Text.readAllStandardOutput()).split(u'\f');
        if (!Pages.isEmpty() && Pages.last().trimmed().isEmpty())
            Pages.removeLast();
        return Pages;
    }
    // The cell texts printed, one list per printed row: the number and the telephone number.
    [[nodiscard]] QList<QStringList> PrintedRows() const
    {
        QList<QStringList> Rows;
        for (const QString& Page : PdfText())
            for (const QString& Line : Page.split(u'\n')) {
                const QStringList Cells = Line.simplified().split(u' ', Qt::SkipEmptyParts);
                bool Number = false;
                if (Cells.size() == 2 && (Cells[0].toInt(&Number), Number))
                    Rows << Cells;
            }
        return Rows;
    }
    static QString Tel(const TFileExportList& List, int Row, int Column = 3)
    {
        return List.LineCells(Row).value(Column);
    }

    TRecvData Data;
    TFakePrinters Printers;
    QTemporaryDir Out;
    QString Pdf;
    TListPrintModel Model;
};

int Page(const TFileExportList& List)
{
    return List.Pages().CurrentPage;
}

} // namespace

TEST_F(ListPrintListTest, PagesAtThePageSizeAndOneMore)
{
    Configure(SourceRecvHis, 2, 5);
    AddCalls(10);
    {
        TRecvHisListPrintList List(Model);
        List.show();
        EXPECT_EQ(List.windowTitle(), QStringLiteral("一覧表印刷　着信対応履歴一覧"));
        EXPECT_EQ(List.property("HelpContext").toInt(), 77);
        EXPECT_EQ(List.btnPrint->text(), QStringLiteral("印刷(&L)"));
        EXPECT_EQ(List.findChild<QListWidget*>(QStringLiteral("lbxRecvHis")), List.lbxRecvHis);
        EXPECT_EQ(List.findChild<TMyHeaderControl*>(QStringLiteral("myhcRecvHis")), List.myhcRecvHis);
        EXPECT_EQ(List.lbxRecvHis->count(), 10);
        EXPECT_FALSE(List.bbtnPageJump->isVisible());
        EXPECT_FALSE(List.bbtnPageNext->isVisible());
        List.myhcRecvHis->Sections()[3].SetWidth(150);
    }
    // The print list keeps its own column widths, apart from the export list of the same table.
    {
        const TMemIniFile Ini(SettingsFileName());
        EXPECT_EQ(Ini.ReadInteger(QStringLiteral("LIST PRINT RECVHIS LIST"), QStringLiteral("List4"), 0), 150);
        EXPECT_TRUE(Ini.ValueExists(QStringLiteral("LIST PRINT RECVHIS LIST"), QStringLiteral("List11")));
        EXPECT_FALSE(Ini.SectionExists(QStringLiteral("FILE EXPORT RECVHIS LIST")));
    }
    AddCalls(1, [](int) { return GeneratedRow(100); });
    TRecvHisListPrintList List(Model);
    List.show();
    EXPECT_TRUE(List.bbtnPageJump->isVisible());
    List.bbtnPageNext->click();
    ASSERT_EQ(List.lbxRecvHis->count(), 1);
    EXPECT_EQ(List.LineCells(0).value(0), QStringLiteral("11"));

    // Page Up on the first row goes back with the last row focused; Page Down on it goes on again.
    List.lbxRecvHis->setCurrentRow(0);
    QTest::keyClick(List.lbxRecvHis, Qt::Key_PageUp);
    EXPECT_EQ(Page(List), 1);
    EXPECT_EQ(List.lbxRecvHis->currentRow(), 9);
    QTest::keyClick(List.lbxRecvHis, Qt::Key_PageDown);
    EXPECT_EQ(Page(List), 2);
    EXPECT_EQ(List.lbxRecvHis->currentRow(), 0);
    List.lbxRecvHis->setFocus();
    QTest::keyClick(List.lbxRecvHis, Qt::Key_Return);
    EXPECT_EQ(List.focusWidget(), List.btnPrint);
}

TEST_F(ListPrintListTest, EmptyDateNoMatchAndTheRangeAfterSearchAndSort)
{
    Configure(SourceRecvHis, 2, 5);
    AddCalls(3, [](int I) {
        THisFixtureRow Row = GeneratedRow(I);
        if (I == 2)
            Row.When = 0;
        return Row;
    });
    {
        TRecvHisListPrintList List(Model);
        List.show();
        // The call without a time sorts first by time, so it is the last of the newest-first list.
        EXPECT_EQ(List.LineCells(2).value(1), QString());
        EXPECT_EQ(List.LineCells(2).value(2), QString());
        EXPECT_FALSE(List.LineCells(1).value(1).isEmpty());
        WhenModal<THistorySearch>([](THistorySearch* Dialog) {
            Dialog->edtCorpKanji->setText(QStringLiteral("誰もいない"));
            Dialog->btnSearch->click();
        });
        List.btnSearch->click();
        EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： ---"));
        EXPECT_EQ(List.StatusPanels[1]->text(), QStringLiteral("ページ ： ---"));
        EXPECT_EQ(List.focusWidget(), List.btnSearch);
    }

    {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        AppendMeiboRows(*MeiboTable, 12, GeneratedMeiboRow);
    }
    Configure(SourceMeibo, 1, 5);
    TAddMeiboListPrintList List(Model);
    List.show();
    EXPECT_EQ(List.windowTitle(), QStringLiteral("一覧表印刷　登録名簿一覧"));
    EXPECT_EQ(List.findChild<QListWidget*>(QStringLiteral("lbxAddMeibo")), List.lbxAddMeibo);
    EXPECT_EQ(List.findChild<TMyHeaderControl*>(QStringLiteral("myhcMeibo")), List.myhcMeibo);
    EXPECT_EQ(List.Range().Last, 12);
    // The directory's page jump opens on its own help page, not the history's.
    ASSERT_TRUE(List.bbtnPageJump->isVisible());
    WhenModal<TPageJump>([](TPageJump* Dialog) {
        EXPECT_EQ(Dialog->property("HelpContext").toInt(), 37);
        Dialog->btnCancel->click();
    });
    List.bbtnPageJump->click();
    // A range chosen and then a new order keeps the range; a search sets it to the matches.
    {
        TScriptedBoxes Boxes("No");
        WhenModal<TRangeSpc>([](TRangeSpc* Dialog) {
            EXPECT_EQ(Dialog->property("HelpContext").toInt(), 77);
            Dialog->SetRange(2, 4, 12);
            Dialog->btnDecision->click();
        });
        List.btnPrint->click();
    }
    List.SortButtons[3]->click();
    EXPECT_EQ(List.Range().First, 2);
    EXPECT_EQ(List.Range().Last, 4);
    WhenModal<TMeiboSearch>([](TMeiboSearch* Dialog) {
        Dialog->edtNameKanji->setText(QStringLiteral("山田"));
        Dialog->btnSearch->click();
    });
    List.btnSearch->click();
    EXPECT_EQ(List.Range().First, 1);
    EXPECT_EQ(List.Range().Last, std::max(1, List.Pages().TotalRows));
    EXPECT_FALSE(QFile::exists(Pdf)) << "No prints nothing";
    SaveScreenshot(List, QStringLiteral("AddMeiboListPrintList"));
}

TEST_F(ListPrintListTest, RangesPrintTheirRecordsAndStopAtTheRangesLastPage)
{
    Configure(SourceRecvHis, 1, 5);
    AddCalls(25);
    TRecvHisListPrintList List(Model);
    List.show();
    {
        TScriptedBoxes Boxes("Yes");
        WhenModal<TRangeSpc>([](TRangeSpc* Dialog) {
            Dialog->SetRange(3, 3, 25);
            Dialog->btnDecision->click();
        });
        List.btnPrint->click();
        EXPECT_EQ(Boxes.Texts(), QStringList({QStringLiteral("3件目のデータを印刷します  \r\nよろしいですか？  "),
                                              QStringLiteral("一覧表の印刷が完了しました  ")}));
    }
    EXPECT_EQ(PdfPages(), 1);
    EXPECT_EQ(PrintedRows(), QList<QStringList>({{QStringLiteral("1"), Tel(List, 2)}}));

    // Positions 6 to 15, two full pages, with matching records after them: no third page.
    {
        TScriptedBoxes Boxes("Yes");
        WhenModal<TRangeSpc>([](TRangeSpc* Dialog) {
            Dialog->SetRange(6, 15, 25);
            Dialog->btnDecision->click();
        });
        List.btnPrint->click();
        EXPECT_EQ(Boxes.Texts().value(0),
                  QStringLiteral("6件目から15件目までの\r\n10件のデータを印刷します  \r\nよろしいですか？  "));
    }
    EXPECT_EQ(PdfPages(), 2);
    const QList<QStringList> Rows = PrintedRows();
    ASSERT_EQ(Rows.size(), 10);
    EXPECT_EQ(Rows[0], QStringList({QStringLiteral("1"), Tel(List, 5)}));
    EXPECT_EQ(Rows[9][0], QStringLiteral("10"));
}

TEST_F(ListPrintListTest, AllMatchingRecordsInListOrderAndSelectedRows)
{
    Configure(SourceRecvHis, 2, 4);
    AddCalls(25);
    TRecvHisListPrintList List(Model);
    List.show();
    WhenModal<THistorySearch>([](THistorySearch* Dialog) {
        Dialog->edtCorpKanji->setText(QStringLiteral("さくら"));
        Dialog->btnSearch->click();
    });
    List.btnSearch->click();
    const int Matching = List.Pages().TotalRows;
    ASSERT_EQ(Matching, 8);
    QStringList Expected;
    for (int Row = 0; Row < List.lbxRecvHis->count(); ++Row)
        Expected << Tel(List, Row);
    {
        TScriptedBoxes Boxes("Yes");
        List.btnPrint->click();
        EXPECT_EQ(Boxes.Texts().value(0),
                  QStringLiteral("検索条件にマッチしたデータ 8件すべてを印刷します  \r\nよろしいですか？  "));
    }
    EXPECT_EQ(PdfPages(), 2);
    QStringList Printed;
    for (const QStringList& Row : PrintedRows())
        Printed << Row.value(1);
    EXPECT_EQ(Printed, Expected);

    // Rows 2 and 5 of the page, numbered 1 and 2.
    Model.PrintSettings.DataSelect = 0;
    List.lbxRecvHis->clearSelection();
    List.lbxRecvHis->item(1)->setSelected(true);
    List.lbxRecvHis->item(4)->setSelected(true);
    {
        TScriptedBoxes Boxes("Yes");
        List.btnPrint->click();
        EXPECT_EQ(Boxes.Texts().value(0), QStringLiteral("2件のデータを印刷します  \r\nよろしいですか？  "));
    }
    EXPECT_EQ(PrintedRows(),
              QList<QStringList>({{QStringLiteral("1"), Tel(List, 1)}, {QStringLiteral("2"), Tel(List, 4)}}));
}

TEST_F(ListPrintListTest, CopiesNoAndAFailingPrinter)
{
    Configure(SourceMeibo, 2, 5, 3);
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        AppendMeiboRows(*MeiboTable, 7, GeneratedMeiboRow);
    }
    TAddMeiboListPrintList List(Model);
    List.show();
    {
        TScriptedBoxes Boxes("No");
        List.btnPrint->click();
        EXPECT_EQ(Boxes.Texts(),
                  QStringList{QStringLiteral("登録されているデータ 7件すべてを印刷します  \r\nよろしいですか？  ")});
    }
    EXPECT_FALSE(QFile::exists(Pdf));

    {
        TScriptedBoxes Boxes("Yes");
        List.btnPrint->click();
    }
    EXPECT_EQ(PdfPages(), 6) << "three copies of two pages";
    EXPECT_TRUE(RunPdfTool(QStringLiteral("pdfinfo"), {Pdf}).contains(QStringLiteral("一覧表データ")));
    const QList<QStringList> Rows = PrintedRows();
    ASSERT_EQ(Rows.size(), 21);
    EXPECT_EQ(Rows[7], QStringList({QStringLiteral("1"), Tel(List, 0, 1)}));
    EXPECT_EQ(Rows[20][0], QStringLiteral("7"));
    QFile::remove(Pdf);

    // The printer gives up as the second page starts: a message, no file, no completion.
    TListPrintList::FailAtPageForTests(2);
    {
        TScriptedBoxes Boxes("Yes");
        List.btnPrint->click();
        const QStringList Texts = Boxes.Texts();
        ASSERT_EQ(Texts.size(), 2);
        EXPECT_TRUE(Texts[1].startsWith(QStringLiteral("印刷中にエラーが発生したため"))) << Texts[1].toStdString();
    }
    EXPECT_FALSE(QFile::exists(Pdf));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Settings that leave no room for a row refuse before asking anything.
    Model.RecordsPerPage = 0;
    {
        TScriptedBoxes Boxes("Yes");
        List.btnPrint->click();
        EXPECT_EQ(Boxes.Texts(), QStringList{PageTooSmallMessage});
    }
    EXPECT_FALSE(QFile::exists(Pdf));
}

// The columns are as wide as their widths in half-width characters of the print font, whichever
// font: a Latin monospace font without the half-width kana is measured on what it draws.
TEST_F(ListPrintListTest, DatesTimesAndNumbersPrintWholeInEveryFont)
{
    AddCalls(20);
    for (const auto& [Font, Charset] :
         {std::pair(QStringLiteral("DejaVu Sans Mono"), 0), std::pair(MsGothicFontName, 128)}) {
        SCOPED_TRACE(Font.toStdString());
        TMemIniFile Ini(Data.Folder + QStringLiteral("VxRelvo16.ini"));
        Ini.FromBytes(QStringLiteral("[LIST PRINT]\nPrintSource=0\nDataSelect=2\nViewDate=0\nViewPage=0\n"
                                     "FontName=%1\nFontCharset=%2\n"
                                     "[LIST PRINT LAYOUT RECVHIS]\nItemNo=1,2,3,4\nItemSize=5,10,8,13\n")
                          .arg(Font)
                          .arg(Charset)
                          .toUtf8());
        Model.LoadPrintSettings(Ini, Data.Folder + QStringLiteral("LstPrint.pi"));
        static const TListTextMetrics Metrics;
        ASSERT_GE(Model.CountRecordsPerPage(Metrics), 20);
        TRecvHisListPrintList List(Model);
        List.show();
        {
            TScriptedBoxes Boxes("Yes");
            List.btnPrint->click();
        }
        // Each row whole: its number, date, time and number (or the code's text), nothing cut.
        const QRegularExpression Row(
            QStringLiteral(R"(^\s*\d+\s+\d{4}/\d\d/\d\d\s*\d\d:\d\d:\d\d\s*(03-\d{4}-\d{4}|[^\d\s]+)\s*$)"));
        const QString Text = PdfText().join(QString());
        int Whole = 0;
        for (const QString& Line : Text.split(u'\n'))
            Whole += Row.match(Line).hasMatch() ? 1 : 0;
        EXPECT_EQ(Whole, 20) << Text.toStdString();
        QFile::remove(Pdf);
    }
}

// The "PDF" printer writes into the documents folder, made for it when the home has none, under a
// name of its own next to earlier lists, and the completion names the file.
TEST_F(ListPrintListTest, ThePdfPrinterMakesTheDocumentsFolderAndKeepsEarlierFiles)
{
    Configure(SourceRecvHis, 2, 10);
    AddCalls(3);
    QTemporaryDir Home;
    const QByteArray OldHome = qgetenv("HOME");
    const QByteArray OldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(Home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(Home.filePath(QStringLiteral(".config"))));
    qunsetenv("VX_PRINT_PDF");
    const QString Folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(Folder.startsWith(Home.path()));
    ASSERT_FALSE(QFileInfo::exists(Folder));
    TRecvHisListPrintList List(Model);
    List.show();
    QStringList Texts;
    for (int Run = 0; Run < 2; ++Run) {
        TScriptedBoxes Boxes("Yes");
        List.btnPrint->click();
        Texts << Boxes.Texts().value(1);
    }
    qputenv("HOME", OldHome);
    if (OldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", OldConfig);
    const QString First = Folder + QStringLiteral("/一覧表データ.pdf");
    const QString Second = Folder + QStringLiteral("/一覧表データ (2).pdf");
    EXPECT_EQ(QFileInfo(Folder).permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                   QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    EXPECT_EQ(::PdfPages(First), 1);
    EXPECT_EQ(::PdfPages(Second), 1);
    EXPECT_EQ(
        Texts,
        QStringList({QStringLiteral("一覧表の印刷が完了しました  \r\n\r\n保存先：") + First + QStringLiteral("  "),
                     QStringLiteral("一覧表の印刷が完了しました  \r\n\r\n保存先：") + Second + QStringLiteral("  ")}));
}
