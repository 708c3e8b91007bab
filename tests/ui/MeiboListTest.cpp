#include "calls/DelTrgt.h"
#include "calls/PgJump.h"
#include "directory/list/MeiboLst.h"
#include "directory/record/MeiboVw.h"
#include "directory/search/MeiboSch.h"
#include "main/controls/MyHdCtrl.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/ini/IniFile.h"
#include "platform/msg/CoreMessage.h"
#include "platform/ui/MessageBox.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/WhenModal.h"
#include "tests/unit/MeiboTableFixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QList<int> AllRecNos(TTable& Table)
{
    QList<int> Result;
    Table.SetIndexName(QString());
    for (Table.First(); !Table.IsEmpty();) {
        Result << Table.FieldByName(QStringLiteral("RecNo")).AsInteger();
        if (Table.MoveBy(1) == 0)
            break;
    }
    return Result;
}

// A settings folder and a data module with the directory table, program settings as a fresh
// installation has them.
class MeiboListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SettingsPath = Dir.path() + u'/';
        Settings = TSettings();
        SettingsIncomplete = false;
        Data = std::make_unique<TMeiboFixtureData>(Dir.path());
    }
    void TearDown() override
    {
        Data.reset();
        SettingsPath.clear();
    }
    TTable& Table() { return Data->Table(); }
    // Puts conditions into the list through its search dialog.
    static void Search(TMeiboList& List, const std::function<void(TMeiboSearch*)>& Fill)
    {
        WhenModal<TMeiboSearch>([Fill](TMeiboSearch* Dialog) {
            Fill(Dialog);
            Dialog->btnSearch->click();
        });
        List.btnSearch->click();
    }
    QTemporaryDir Dir;
    std::unique_ptr<TMeiboFixtureData> Data;
};

bool PagingShown(const TMeiboList& List)
{
    return List.bbtnPagePrev->isVisible() || List.bbtnPageNext->isVisible() || List.bbtnPageJump->isVisible();
}

} // namespace

TEST_F(MeiboListTest, NothingToShowReadsDashes)
{
    TMeiboList List;
    List.show();
    EXPECT_EQ(List.SortIndex(), 0);
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： ---"));
    EXPECT_EQ(List.StatusPanels[1]->text(), QStringLiteral("ページ ： ---"));
    EXPECT_FALSE(PagingShown(List));

    AppendMeiboRows(Table(), 30, GeneratedMeiboRow);
    List.LoadPage(0, 1);
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： 30"));
    Search(List, [](TMeiboSearch* Dialog) { Dialog->edtNameKanji->setText(QStringLiteral("誰か")); });
    EXPECT_EQ(List.lbxAddMeibo->count(), 0);
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： ---"));
    EXPECT_EQ(List.StatusPanels[1]->text(), QStringLiteral("ページ ： ---"));
    EXPECT_FALSE(PagingShown(List));
}

TEST_F(MeiboListTest, PagesTheJumpAndTheReloadRule)
{
    AppendMeiboRows(Table(), 200, GeneratedMeiboRow);
    {
        TMeiboList List;
        List.show();
        // Exactly one page: nothing to page to.
        EXPECT_EQ(List.lbxAddMeibo->count(), 200);
        EXPECT_EQ(List.StatusPanels[1]->text(), QStringLiteral("ページ ： 1"));
        EXPECT_FALSE(PagingShown(List));
    }
    AppendMeiboRows(Table(), 250, GeneratedMeiboRow);
    TMeiboList List;
    List.show();
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： 450"));
    EXPECT_TRUE(List.bbtnPageJump->isVisible());
    EXPECT_TRUE(List.bbtnPageNext->isVisible());
    EXPECT_FALSE(List.bbtnPagePrev->isVisible());

    WhenModal<TPageJump>([](TPageJump* Dialog) {
        EXPECT_EQ(Dialog->property("HelpContext").toInt(), 37);
        Dialog->SetPages(3, 3);
        Dialog->done(1);
    });
    List.bbtnPageJump->click();
    EXPECT_EQ(List.CurrentPage(), 3);
    EXPECT_EQ(List.LineCells(0).value(0), QStringLiteral("401"));
    EXPECT_FALSE(List.bbtnPageNext->isVisible());

    // Another window deletes 100 rows: a reload in place shows page 350 div 200.
    QList<int> Gone;
    for (int RecNo = 0; RecNo < 100; ++RecNo)
        Gone << RecNo;
    ASSERT_EQ(DeleteRowsByRecNo(Table(), Gone).size(), 100);
    List.LoadPage(0, 0);
    EXPECT_EQ(List.CurrentPage(), 1);
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： 350"));
    EXPECT_EQ(List.StatusPanels[1]->text(), QStringLiteral("ページ ： 1"));

    // Page Down on the last line of the full page goes on, Page Up on the first line comes back.
    List.lbxAddMeibo->setFocus();
    List.lbxAddMeibo->setCurrentRow(199);
    QTest::keyClick(List.lbxAddMeibo, Qt::Key_PageDown);
    EXPECT_EQ(List.CurrentPage(), 2);
    EXPECT_EQ(List.LineCells(0).value(0), QStringLiteral("201"));

    // The page's first row goes from outside: the step back cannot find where it was.
    TScriptedBoxes Boxes;
    ASSERT_EQ(DeleteRowsByRecNo(Table(), {List.RowRecNos().first()}).size(), 1);
    List.lbxAddMeibo->setCurrentRow(0);
    QTest::keyClick(List.lbxAddMeibo, Qt::Key_PageUp);
    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("該当するデータが見つかりませんでした  ")});
    EXPECT_EQ(Boxes.Boxes().value(0).value(QStringLiteral("caption")).toString(), QStringLiteral("Tolvane１６"));
    EXPECT_EQ(List.CurrentPage(), 2);
}

TEST_F(MeiboListTest, ReloadInPlaceKeepsTheSelectedAndFocusedRows)
{
    AppendMeiboRows(Table(), 40, GeneratedMeiboRow);
    TMeiboList List;
    List.show();
    List.lbxAddMeibo->clearSelection();
    List.lbxAddMeibo->item(5)->setSelected(true);
    List.lbxAddMeibo->item(9)->setSelected(true);
    List.lbxAddMeibo->setCurrentRow(9, QItemSelectionModel::NoUpdate);
    // A row above them goes: the lines move up one, the same rows stay selected.
    ASSERT_EQ(DeleteRowsByRecNo(Table(), {List.RowRecNos()[1]}).size(), 1);
    const int Focused = List.RowRecNos()[9];
    List.LoadPage(0, 0);
    QSet<int> Selected;
    for (QListWidgetItem* Item : List.lbxAddMeibo->selectedItems())
        Selected << List.lbxAddMeibo->row(Item);
    EXPECT_EQ(Selected, (QSet<int>{4, 8}));
    EXPECT_EQ(List.RowRecNos()[List.lbxAddMeibo->currentRow()], Focused);
    // Ctrl+A selects every line and leaves the focus where it was.
    QTest::keyClick(List.lbxAddMeibo, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(List.lbxAddMeibo->selectedItems().size(), 39);
    EXPECT_EQ(List.lbxAddMeibo->currentRow(), 8);
}

TEST_F(MeiboListTest, SortOrdersAndTheirButtons)
{
    AppendMeiboRows(Table(), 3, [](int I) {
        TMeiboFixtureRow Row;
        Row.Tel1 = QStringLiteral("03-0000-000%1").arg(3 - I);
        Row.NameKana = QStringList{QStringLiteral("ｱｵｷ"), QStringLiteral("アオキ"), QStringLiteral("ｱｵｲ")}[I];
        Row.NameKanji = QStringList{QStringLiteral("半角"), QStringLiteral("全角"), QStringLiteral("青井")}[I];
        return Row;
    });
    TMeiboList List;
    List.show();
    EXPECT_TRUE(List.bbtnSortAdd->font().bold());
    List.bbtnSortName->click();
    // CP932 byte order: the full-width reading comes before the half-width ones.
    EXPECT_EQ(List.RowRecNos(), (QList<int>{1, 2, 0}));
    EXPECT_EQ(List.LineCells(0).value(5), QStringLiteral("全角"));
    EXPECT_TRUE(List.bbtnSortName->font().bold());
    EXPECT_EQ(List.bbtnSortName->palette().color(QPalette::ButtonText), QColor(0, 0, 255));
    EXPECT_FALSE(List.bbtnSortAdd->font().bold());
    EXPECT_NE(List.bbtnSortAdd->palette().color(QPalette::ButtonText), QColor(0, 0, 255));
    List.bbtnSortTel1->click();
    EXPECT_EQ(List.RowRecNos(), (QList<int>{2, 1, 0}));
    EXPECT_EQ(List.SortIndex(), 1);
}

TEST_F(MeiboListTest, InquiryNeedsOneRowAndMarksIt)
{
    AppendMeiboRows(Table(), 5, GeneratedMeiboRow);
    TMeiboList List;
    List.show();
    {
        TScriptedBoxes Boxes;
        List.lbxAddMeibo->item(1)->setSelected(true);
        List.lbxAddMeibo->item(2)->setSelected(true);
        List.btnInquiry->click();
        EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("照会するには１件だけ選択してください  ")});
    }
    List.lbxAddMeibo->setCurrentRow(3, QItemSelectionModel::ClearAndSelect);
    // Enter in the list moves to the inquiry button, which opens the record.
    List.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&List));
    List.lbxAddMeibo->setFocus();
    QTest::keyClick(List.lbxAddMeibo, Qt::Key_Return);
    EXPECT_TRUE(List.btnInquiry->hasFocus());
    bool Seen = false;
    WhenModal<TMeiboView>([&List, &Seen](TMeiboView* View) {
        Seen = true;
        EXPECT_TRUE(View->Inquiry());
        EXPECT_EQ(View->ShownRecord().RecNo, 3);
        EXPECT_EQ(List.ViewedRecNo(), 3);
        EXPECT_EQ(View->edtTel1->text(), QStringLiteral("03-1003-5003"));
        View->btnCancel->click();
    });
    List.btnInquiry->click();
    EXPECT_TRUE(Seen);
    EXPECT_EQ(List.ViewedRecNo(), -1);
}

TEST_F(MeiboListTest, DeletingMatchingRowsAcrossPagesAndEverything)
{
    AppendMeiboRows(Table(), 450, GeneratedMeiboRow);
    Settings.DeleteType = true;
    TMeiboList List;
    List.show();
    Search(List, [](TMeiboSearch* Dialog) { Dialog->edtCorp->setText(QStringLiteral("ｻｸ")); });
    ASSERT_EQ(List.MatchCount(), 90);
    QList<int> Expected;
    for (int RecNo = 0; RecNo < 450; ++RecNo)
        if (RecNo % 5 != 2)
            Expected << RecNo;
    TScriptedBoxes Boxes("Yes,OK");
    WhenModal<TDeleteTarget>([](TDeleteTarget* Dialog) {
        EXPECT_EQ(Dialog->windowTitle(), QStringLiteral("登録名簿　削除"));
        EXPECT_EQ(Dialog->property("HelpContext").toInt(), 46);
        Dialog->rbAll->click();
        Dialog->btnDelete->click();
    });
    List.btnDelete->click();
    EXPECT_EQ(Boxes.Texts().value(1), QStringLiteral("90件のデータを削除しました  "));
    EXPECT_EQ(AllRecNos(Table()), Expected);
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： ---"));

    // Without conditions every row goes.
    Search(List, [](TMeiboSearch* Dialog) { Dialog->btnClear->click(); });
    EXPECT_EQ(List.MatchCount(), 360);
    List.DeleteMatching();
    EXPECT_TRUE(AllRecNos(Table()).isEmpty());
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： ---"));
}

TEST_F(MeiboListTest, DeletingSelectedRowsAfterTheQuestion)
{
    AppendMeiboRows(Table(), 10, GeneratedMeiboRow);
    TMeiboList List;
    List.show();
    List.lbxAddMeibo->clearSelection();
    List.lbxAddMeibo->item(2)->setSelected(true);
    List.lbxAddMeibo->item(4)->setSelected(true);
    {
        TScriptedBoxes Boxes("No");
        QTest::keyClick(List.lbxAddMeibo, Qt::Key_Delete);
        EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("2件のデータを削除します  \r\nよろしいですか？  ")});
        EXPECT_EQ(AllRecNos(Table()).size(), 10);
    }
    TScriptedBoxes Boxes("Yes,OK");
    List.btnDelete->click();
    EXPECT_EQ(Boxes.Texts().value(1), QStringLiteral("2件のデータを削除しました  "));
    EXPECT_EQ(AllRecNos(Table()), (QList<int>{0, 1, 3, 5, 6, 7, 8, 9}));
    EXPECT_EQ(List.lbxAddMeibo->count(), 8);
}

TEST_F(MeiboListTest, SearchDialogStoresLoadsAndWalks)
{
    TMeiboSearch Dialog;
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("登録名簿　検索条件"));
    TMeiboSearchCondition Condition;
    Condition.Tel = QStringLiteral("99");
    Dialog.edtTel->setText(QStringLiteral(" "));
    Dialog.edtAdrs->setText(QStringLiteral("  "));
    Dialog.rbOr->click();
    Dialog.StoreConditions(Condition);
    // All blank: only the switch goes off, the texts stay.
    EXPECT_FALSE(Condition.HasConditions);
    EXPECT_EQ(Condition.Tel, QStringLiteral("99"));
    Dialog.LoadConditions(Condition);
    EXPECT_TRUE(Dialog.edtTel->text().isEmpty());
    EXPECT_TRUE(Dialog.rbAnd->isChecked());
    EXPECT_EQ(Dialog.rbAnd->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_NE(Dialog.rbOr->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    Dialog.edtTel->setText(QStringLiteral("03-12"));
    Dialog.edtCorp->setText(QString(90, u'ｱ'));
    Dialog.edtNameKanji->setText(QStringLiteral(" 青木 "));
    // A reading handed over by the input method is stored in half-width katakana.
    QInputMethodEvent Reading;
    Reading.setCommitString(QStringLiteral("あおき"));
    QApplication::sendEvent(Dialog.edtName, &Reading);
    Dialog.rbOr->click();
    Dialog.StoreConditions(Condition);
    EXPECT_TRUE(Condition.HasConditions);
    EXPECT_EQ(Condition.Tel, QStringLiteral("0312"));
    EXPECT_EQ(Condition.CorpKana, QString(80, u'ｱ'));
    EXPECT_EQ(Condition.NameKana, QStringLiteral("ｱｵｷ"));
    EXPECT_EQ(Condition.NameKanji, QStringLiteral("青木"));
    EXPECT_TRUE(Condition.OrMode);
    EXPECT_EQ(Dialog.rbOr->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    // Enter walks the edits, then to the chosen option, then to the search button.
    Dialog.show();
    Dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog));
    Dialog.edtName->setFocus();
    QTest::keyClick(Dialog.edtName, Qt::Key_Return);
    EXPECT_TRUE(Dialog.edtNameKanji->hasFocus());
    EXPECT_EQ(Dialog.edtNameKanji->cursorPosition(), Dialog.edtNameKanji->text().size());
    QTest::keyClick(Dialog.edtNameKanji, Qt::Key_Return);
    EXPECT_TRUE(Dialog.rbOr->hasFocus());
    QTest::keyClick(Dialog.rbOr, Qt::Key_Return);
    EXPECT_TRUE(Dialog.btnSearch->hasFocus());
    EXPECT_TRUE(Dialog.isVisible()); // Enter never reached the button

    Dialog.btnClear->click();
    EXPECT_TRUE(Dialog.edtName->text().isEmpty());
    EXPECT_TRUE(Dialog.rbAnd->isChecked());
}

TEST_F(MeiboListTest, WindowSizeAndColumnsAreKept)
{
    TMeiboList List;
    EXPECT_EQ(List.minimumSize(), QSize(480, 170));
    List.show();
    List.resize(700, 300);
    List.myhcMeibo->Sections()[3].SetWidth(250);
    List.SaveSettings();
    TMemIniFile Ini(SettingsFileName());
    EXPECT_EQ(Ini.ReadInteger(QStringLiteral("MEIBO LIST"), QStringLiteral("Width"), 0), 700);
    EXPECT_EQ(Ini.ReadInteger(QStringLiteral("MEIBO LIST"), QStringLiteral("List4"), 0), 250);
    EXPECT_EQ(Ini.ReadInteger(QStringLiteral("MEIBO LIST"), QStringLiteral("List6"), 0), 114);
    // The header's menu puts the widths back.
    List.findChild<QAction*>(QStringLiteral("pmiInitializesHeaderWidth"))->trigger();
    EXPECT_EQ(List.myhcMeibo->Sections()[3].Width(), 200);
}

// The list and its search dialog as a user sees them, with Japanese entries: every caption whole.
TEST_F(MeiboListTest, WindowsShowTheirTextsWhole)
{
    AppendMeiboRows(Table(), 260, GeneratedMeiboRow);
    TMeiboList List;
    List.show();
    List.lbxAddMeibo->setCurrentRow(2, QItemSelectionModel::ClearAndSelect);
    QApplication::processEvents();
    ExpectLabelsWhole(List, QStringLiteral("MeiboList"));
    for (QPushButton* Button : List.findChildren<QPushButton*>()) {
        if (Button->isVisible()) {
            EXPECT_GE(Button->width(), Button->sizeHint().width()) << Button->objectName().toStdString();
        }
    }
    SaveScreenshot(List, QStringLiteral("MeiboList"));

    TMeiboSearch Dialog(&List);
    Dialog.edtAdrs->setText(QStringLiteral("千代田"));
    Dialog.edtName->setText(QStringLiteral("ｱｵｷ"));
    Dialog.show();
    QApplication::processEvents();
    ExpectLabelsWhole(Dialog, QStringLiteral("MeiboSearch"));
    SaveScreenshot(Dialog, QStringLiteral("MeiboSearch"));
}

// A directory that cannot be opened for a page step is no empty directory: the page stays and the
// user is told why.
TEST_F(MeiboListTest, APageStepWithoutTheTableKeepsThePage)
{
    AppendMeiboRows(Table(), 450, GeneratedMeiboRow);
    TMeiboList List;
    List.show();
    ASSERT_EQ(List.lbxAddMeibo->count(), 200);
    const QString FirstLine = List.LineCells(0).join(u'|');
    Data->Module.CloseMeibo();
    const QString File = Dir.filePath(MeiboFileName);
    ASSERT_TRUE(QFile::rename(File, File + QStringLiteral(".aside")));
    ASSERT_TRUE(QDir(Dir.path()).mkdir(MeiboFileName)); // where the table was, nothing SQLite can open
    {
        TScriptedBoxes Boxes;
        // The data module's boxes go where the program sends them.
        SetCoreMessageBox([](const QString& Text, const QString& Caption, unsigned Flags) {
            return ShowMessageBox(nullptr, Text, Caption, Flags);
        });
        List.bbtnPageNext->click();
        SetCoreMessageBox({});
        EXPECT_EQ(Boxes.Texts(), QStringList{MeiboOpenError});
    }
    EXPECT_EQ(List.lbxAddMeibo->count(), 200);
    EXPECT_EQ(List.LineCells(0).join(u'|'), FirstLine);
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： 450"));
    EXPECT_EQ(List.CurrentPage(), 1);

    ASSERT_TRUE(QDir(Dir.path()).rmdir(MeiboFileName));
    ASSERT_TRUE(QFile::rename(File + QStringLiteral(".aside"), File));
    List.bbtnPageNext->click();
    EXPECT_EQ(List.CurrentPage(), 2);
    Data->Module.OpenMeibo();
}

// A search typed through an input method finds what an import stored, though the two spell the wave
// dash with different characters.
TEST_F(MeiboListTest, ASearchFindsTheAddressAnImportStored)
{
    AppendMeiboRows(Table(), 20, [](int I) {
        TMeiboFixtureRow Row = GeneratedMeiboRow(I);
        if (I == 7)
            Row.Adrs2 = QStringLiteral("梅田１～３");
        return Row;
    });
    TMeiboList List;
    List.show();
    Search(List, [](TMeiboSearch* Dialog) { Dialog->edtAdrs->setText(QStringLiteral("梅田１〜３")); });
    ASSERT_EQ(List.lbxAddMeibo->count(), 1);
    EXPECT_TRUE(List.LineCells(0).join(u'|').contains(QStringLiteral("梅田１～３")));
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： 1"));
}
