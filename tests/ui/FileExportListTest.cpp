#include "calls/PgJump.h"
#include "directory/search/MeiboSch.h"
#include "main/controls/MyHdCtrl.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/text/Cp932.h"
#include "platform/ui/FilePrompt.h"
#include "tests/support/RecvData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/WhenModal.h"
#include "tests/unit/HisTableFixture.h"
#include "tests/unit/MeiboTableFixture.h"
#include "transfer/common/RangeSpc.h"
#include "transfer/export/AMFELst.h"
#include "transfer/export/ExportRun.h"
#include "transfer/export/RHFELst.h"

#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FileExportListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.ListMaxCount = 10;
        Settings.SelectItem1 = QStringLiteral("用件");
        Settings.DataPath = Data.Folder;
        SettingsPath = Data.Folder;
        ExportSettings() = TExportSettings();
        ExportSettings().Type = 1;
    }
    void TearDown() override
    {
        Settings = TSettings();
        SettingsPath.clear();
        ExportSettings() = TExportSettings();
        qunsetenv("VX_FILEDIALOG_ANSWERS");
        ResetFilePromptAnswers();
        TExportTextFile::FailAfterLinesForTests(-1);
    }
    void AddCalls(int Count)
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        AppendHistoryRows(*RecvHisTable, Count, [](int I) { return GeneratedRow(I); });
    }
    void AddEntries(int Count, const std::function<TMeiboFixtureRow(int)>& Make)
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        AppendMeiboRows(*MeiboTable, Count, Make);
    }
    static void Answer(const QString& Paths)
    {
        qputenv("VX_FILEDIALOG_ANSWERS", Paths.toUtf8());
        ResetFilePromptAnswers();
    }
    static QByteArray Read(const QString& Path)
    {
        QFile File(Path);
        return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
    }
    // The layout of one item, the history's telephone number.
    static void WithTelLayout(TFileExportList& List) { List.SetLayout({{1, 2}}, ExportItemNames(List.Source(), {})); }
    TRecvData Data;
};

int Page(const TFileExportList& List)
{
    return List.Pages().CurrentPage;
}

} // namespace

TEST_F(FileExportListTest, HistoryPagesKeysAndHeader)
{
    AddCalls(25);
    TRecvHisFileExportList List;
    List.show();
    EXPECT_EQ(List.windowTitle(), QStringLiteral("テキストファイル出力　着信対応履歴一覧"));
    EXPECT_EQ(List.myhcList->Sections()[8].Text(), QStringLiteral("用件"));
    EXPECT_EQ(List.lbxList->count(), 10);
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： 25"));
    EXPECT_EQ(List.StatusPanels[1]->text(), QStringLiteral("ページ ： 1"));
    EXPECT_EQ(List.Range().First, 1);
    EXPECT_EQ(List.Range().Last, 25);
    EXPECT_TRUE(List.bbtnPageJump->isVisible());
    EXPECT_FALSE(List.bbtnPagePrev->isVisible());
    EXPECT_EQ(List.LineCells(0).size(), 11);

    // Ctrl+A takes the page, and nothing else.
    QTest::keyClick(List.lbxList, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(List.lbxList->selectedItems().size(), 10);

    // Page Down on the tenth line of a full page goes on to the next page.
    List.lbxList->setCurrentRow(9);
    QTest::keyClick(List.lbxList, Qt::Key_PageDown);
    EXPECT_EQ(Page(List), 2);
    EXPECT_EQ(List.LineCells(0).value(0), QStringLiteral("11"));

    WhenModal<TPageJump>([](TPageJump* Dialog) {
        EXPECT_EQ(Dialog->property("HelpContext").toInt(), 24);
        EXPECT_TRUE(Dialog->pnlTotal->text().contains(u'3')) << Dialog->pnlTotal->text().toStdString();
        Dialog->SetPages(3, 3);
        Dialog->btnDecision->click();
    });
    List.bbtnPageJump->click();
    EXPECT_EQ(Page(List), 3);
    EXPECT_EQ(List.lbxList->count(), 5);
    EXPECT_FALSE(List.bbtnPageNext->isVisible());
    EXPECT_TRUE(List.bbtnPagePrev->isVisible());

    // Enter leads to "出力(&E)".
    List.lbxList->setFocus();
    QTest::keyClick(List.lbxList, Qt::Key_Return);
    EXPECT_EQ(List.focusWidget(), List.btnExport);
    SaveScreenshot(List, QStringLiteral("RecvHisFileExportList"));
}

TEST_F(FileExportListTest, NoMatchReadsDashesAndKeepsTheSearch)
{
    TAddMeiboFileExportList Empty;
    Empty.show();
    EXPECT_EQ(Empty.StatusPanels[0]->text(), QStringLiteral("件数 ： ---"));
    EXPECT_EQ(Empty.StatusPanels[1]->text(), QStringLiteral("ページ ： ---"));
    EXPECT_EQ(Empty.focusWidget(), Empty.btnCancel);
    Empty.close();

    AddEntries(12, GeneratedMeiboRow);
    TAddMeiboFileExportList List;
    List.show();
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： 12"));
    WhenModal<TMeiboSearch>([](TMeiboSearch* Dialog) {
        EXPECT_EQ(Dialog->property("HelpContext").toInt(), 38);
        Dialog->edtNameKanji->setText(QStringLiteral("誰もいない"));
        Dialog->btnSearch->click();
    });
    List.btnSearch->click();
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： ---"));
    EXPECT_EQ(List.StatusPanels[1]->text(), QStringLiteral("ページ ： ---"));
    EXPECT_FALSE(List.bbtnPageJump->isVisible() || List.bbtnPageNext->isVisible());
    EXPECT_EQ(List.focusWidget(), List.btnSearch);
}

TEST_F(FileExportListTest, DirectoryByAddressKeepsTheRange)
{
    AddEntries(12, GeneratedMeiboRow);
    QList<int> ByAddress;
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        ByAddress = IndexOrder(*MeiboTable, QStringLiteral("Adrs"));
    }
    TAddMeiboFileExportList List;
    List.show();
    EXPECT_EQ(List.SortIndex(), 0);
    EXPECT_TRUE(List.SortButtons[0]->font().bold());
    List.SortButtons[3]->click();
    EXPECT_EQ(List.SortIndex(), 3);
    EXPECT_FALSE(List.SortButtons[0]->font().bold());
    EXPECT_EQ(List.LineCells(0).value(0), QStringLiteral("1"));
    QList<int> Shown;
    for (int Row = 0; Row < List.lbxList->count(); ++Row)
        Shown << List.lbxList->item(Row)->data(Qt::UserRole).toInt();
    EXPECT_EQ(Shown, ByAddress.mid(0, 10));
    EXPECT_EQ(List.LineCells(9).value(0), QStringLiteral("10"));
    EXPECT_EQ(List.Range().Last, 12);
    SaveScreenshot(List, QStringLiteral("AddMeiboFileExportList"));
}

TEST_F(FileExportListTest, SelectedRowsAndARangeOfOne)
{
    AddCalls(25);
    const QString Target = Data.Folder + QStringLiteral("out/calls");
    TRecvHisFileExportList List;
    WithTelLayout(List);
    List.show();

    // Nothing selected: only the focus moves.
    ExportSettings().Range = 0;
    List.lbxList->clearSelection();
    {
        TScriptedBoxes Boxes;
        List.btnExport->click();
        EXPECT_TRUE(Boxes.Boxes().isEmpty());
    }

    // Two rows chosen; a name without extension under the CSV filter becomes .csv, in a folder made for it.
    ExportSettings().OutHeader = false;
    List.lbxList->item(1)->setSelected(true);
    List.lbxList->item(4)->setSelected(true);
    {
        TScriptedBoxes Boxes("Yes");
        Answer(Target + QStringLiteral("|2"));
        List.btnExport->click();
        EXPECT_EQ(Boxes.Texts(),
                  QStringList({QStringLiteral("2件のデータをテキストファイルに出力します  \r\nよろしいですか？  "),
                               ExportDoneText(2, 2)}));
        const QJsonObject Prompt = Boxes.Boxes().value(1);
        EXPECT_EQ(Prompt.value("kind").toString(), QStringLiteral("save"));
        EXPECT_EQ(Prompt.value("file").toString(), QStringLiteral("Rireki.txt"));
    }
    const QByteArray Two = Cp932Encode(List.LineCells(1).value(3) + QStringLiteral("\r\n") +
                                       List.LineCells(4).value(3) + QStringLiteral("\r\n"));
    EXPECT_EQ(Read(Target + QStringLiteral(".csv")), Two);
    EXPECT_EQ(List.FileNormal(), Target + QStringLiteral(".csv"));
    {
        TMemIniFile Ini(SettingsFileName());
        EXPECT_EQ(Ini.ReadString(List.SettingsSection(), QStringLiteral("FileNormal"), {}), Target + ".csv");
        EXPECT_EQ(Ini.ReadString(QStringLiteral("FILE EXPORT"), QStringLiteral("type"), {}), QStringLiteral("1"));
    }

    // Start = End = 3; "いいえ" to changing the target leads to the overwrite / append question, "いいえ" appends.
    ExportSettings().Range = 1;
    const QString Third = QStringLiteral("%1").arg(List.LineCells(2).value(3));
    {
        TScriptedBoxes Boxes("Yes,No,No");
        WhenModal<TRangeSpc>([](TRangeSpc* Dialog) {
            EXPECT_EQ(Dialog->property("HelpContext").toInt(), 63);
            Dialog->SetRange(3, 3, 25);
            Dialog->btnDecision->click();
        });
        List.btnExport->click();
        const QStringList Texts = Boxes.Texts();
        ASSERT_EQ(Texts.size(), 4);
        EXPECT_EQ(Texts[0], QStringLiteral("3件目のデータをテキストファイルに出力します  \r\nよろしいですか？  "));
        EXPECT_EQ(Texts[1], QString(Target + QStringLiteral(".csv\r\nへ出力します  \r\n\r\n出力先を変更しますか？  ")));
        EXPECT_TRUE(Texts[2].startsWith(QStringLiteral("既にあるファイルを指定しました  ")));
        EXPECT_EQ(Texts[3], ExportDoneText(1, 1));
    }
    EXPECT_EQ(Read(Target + QStringLiteral(".csv")), Two + Cp932Encode(Third + QStringLiteral("\r\n")));
    EXPECT_EQ(List.Range().First, 3);
    EXPECT_EQ(List.Range().Last, 3);
}

TEST_F(FileExportListTest, AFailedWriteKeepsTheFile)
{
    AddCalls(25);
    const QString Target = Data.Folder + QStringLiteral("calls.txt");
    {
        QFile File(Target);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write("earlier\r\n");
    }
    TRecvHisFileExportList List;
    WithTelLayout(List);
    List.show();
    ExportSettings().Range = 2;
    TExportTextFile::FailAfterLinesForTests(5);
    {
        // Overwrite, then the disk fills up.
        TScriptedBoxes Boxes("Yes,Yes");
        Answer(Target);
        List.btnExport->click();
        const QStringList Texts = Boxes.Texts();
        ASSERT_EQ(Texts.size(), 3);
        EXPECT_EQ(Texts[0], QStringLiteral("登録されているデータ  25件すべてをテキストファイルに出力します  \r\n"
                                           "よろしいですか？  "));
        EXPECT_EQ(Texts[2], QStringLiteral("ディスクに十分な空き領域がありません。"));
        EXPECT_EQ(Boxes.Boxes().last().value("icon").toString(), QStringLiteral("Stop"));
    }
    EXPECT_EQ(Read(Target), QByteArray("earlier\r\n"));
    EXPECT_FALSE(TMemIniFile(SettingsFileName()).ValueExists(List.SettingsSection(), QStringLiteral("FileNormal")))
        << "a failed export keeps no path";
}

// A list of one page has no page buttons, and nothing stands above its header: the list starts at
// the window's top margin. With a second page the buttons' row comes back above the header.
TEST_F(FileExportListTest, TheHeaderStandsAtTheTopUntilThereArePagesToStepThrough)
{
    const auto HeaderTop = [](const TFileExportList& List) { return List.pnlHeader->mapTo(&List, QPoint(0, 0)).y(); };
    const int Margin = [] {
        TRecvHisFileExportList Probe;
        return Probe.layout() ? Probe.layout()->contentsMargins().top() : 0;
    }();
    AddCalls(4);
    {
        TRecvHisFileExportList List;
        List.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&List));
        EXPECT_FALSE(List.bbtnPageNext->isVisible());
        EXPECT_LE(HeaderTop(List), Margin + 1);
    }
    AddCalls(10);
    TRecvHisFileExportList List;
    List.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&List));
    ASSERT_TRUE(List.bbtnPageNext->isVisible());
    EXPECT_GE(HeaderTop(List), List.bbtnPageNext->mapTo(&List, QPoint(0, 0)).y() + List.bbtnPageNext->height());
}
