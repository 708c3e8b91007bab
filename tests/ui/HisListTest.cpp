#include "calls/HisList.h"

#include "calls/DelTrgt.h"
#include "calls/HisListParts.h"
#include "calls/HisSch.h"
#include "main/common/CallerRec.h"
#include "main/controls/MyHdCtrl.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/TableFaults.h"
#include "tests/support/WhenModal.h"
#include "tests/unit/HisTableFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QSet<int> AllRecNos(TTable& Table)
{
    QSet<int> Result;
    Table.SetIndexName(QString());
    for (Table.First(); !Table.IsEmpty();) {
        Result << Table.FieldByName(QStringLiteral("RecNo")).AsInteger();
        if (Table.MoveBy(1) == 0)
            break;
    }
    return Result;
}

double Today()
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
}

// A settings folder, a data module with its history table, and program settings as a fresh
// installation has them.
class HisListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SettingsPath = Dir.path() + u'/';
        Settings = TSettings();
        Settings.SelectItem1 = DefaultSelectItem1;
        Settings.SelectItem2 = DefaultSelectItem2;
        Settings.SelectItem3 = DefaultSelectItem3;
        SettingsIncomplete = false;
        Data = std::make_unique<THisFixtureData>(Dir.path());
    }
    void TearDown() override
    {
        Data.reset();
        SettingsPath.clear();
    }
    // Rows over the last days, PerDay of them on each day back from today, oldest written first.
    void AddRecentRows(int Count, int PerDay)
    {
        const double Now = Today() + 0.95;
        AppendHistoryRows(Data->Table(), Count, [=](int I) {
            THisFixtureRow Row = GeneratedRow(I);
            Row.When = Now - (Count - 1 - I) / static_cast<double>(PerDay);
            return Row;
        });
    }
    QTemporaryDir Dir;
    std::unique_ptr<THisFixtureData> Data;
};

} // namespace

TEST_F(HisListTest, PagesAndTheReloadRule)
{
    AddRecentRows(450, 30);
    THistoryList List;
    List.sbtnAllWeek->setChecked(true);
    List.LoadPage(0, 1);
    List.show();
    EXPECT_EQ(List.lbxRecvHis->count(), 200);
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： 450"));
    EXPECT_EQ(List.StatusPanels[1]->text(), QStringLiteral("ページ ： 1"));
    EXPECT_TRUE(List.bbtnPageJump->isVisible());
    EXPECT_FALSE(List.bbtnPagePrev->isVisible());
    EXPECT_TRUE(List.bbtnPageNext->isVisible());
    EXPECT_EQ(List.LineCells(0).value(0), QStringLiteral("1"));
    EXPECT_EQ(List.RowRecNos().first(), 449);

    // PageDown on the last line of a full page goes on to the next page, on its first line.
    List.lbxRecvHis->setFocus();
    List.lbxRecvHis->setCurrentRow(199);
    QTest::keyClick(List.lbxRecvHis, Qt::Key_PageDown);
    EXPECT_EQ(List.CurrentPage(), 2);
    EXPECT_EQ(List.lbxRecvHis->currentRow(), 0);
    EXPECT_EQ(List.LineCells(0).value(0), QStringLiteral("201"));
    // Onto the last page: the button hides, and the one beside it stays where it was.
    const QRect PrevPlace = List.bbtnPagePrev->geometry();
    const QPoint NextCentre = List.bbtnPageNext->geometry().center();
    QTest::mouseClick(List.bbtnPageNext, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(List.CurrentPage(), 3);
    EXPECT_EQ(List.lbxRecvHis->count(), 50);
    EXPECT_FALSE(List.bbtnPageNext->isVisible());
    EXPECT_EQ(List.bbtnPagePrev->geometry(), PrevPlace);
    EXPECT_NE(List.childAt(NextCentre), List.bbtnPagePrev);
    List.lbxRecvHis->setCurrentRow(49);
    QTest::keyClick(List.lbxRecvHis, Qt::Key_PageDown);
    EXPECT_EQ(List.CurrentPage(), 3); // a short last page has nothing after it
    // PageUp on the first line goes back, landing on the bottom line.
    List.lbxRecvHis->setCurrentRow(0);
    QTest::keyClick(List.lbxRecvHis, Qt::Key_PageUp);
    EXPECT_EQ(List.CurrentPage(), 2);
    EXPECT_EQ(List.lbxRecvHis->currentRow(), 199);
    EXPECT_EQ(List.LineCells(199).value(0), QStringLiteral("400"));

    // Deleting the whole third page: the reload falls back to the last full page.
    QTest::mouseClick(List.bbtnPageNext, Qt::LeftButton);
    TScriptedBoxes Boxes("Yes,OK");
    List.lbxRecvHis->selectAll();
    QTest::keyClick(List.lbxRecvHis, Qt::Key_Delete);
    EXPECT_EQ(Boxes.Texts(), QStringList({QStringLiteral("50件のデータを削除します  \r\nよろしいですか？  "),
                                          QStringLiteral("50件のデータを削除しました  ")}));
    EXPECT_EQ(List.TotalRows(), 400);
    EXPECT_EQ(List.CurrentPage(), 2);
    EXPECT_EQ(AllRecNos(Data->Table()).size(), 400);
}

TEST_F(HisListTest, WeekdayButtonsAndDateRanges)
{
    AddRecentRows(140, 10); // two weeks, ten calls a day
    THistoryList List;
    // It opens on today's weekday.
    EXPECT_EQ(List.TotalRows(), 20);
    List.sbtnAllWeek->click();
    EXPECT_EQ(List.TotalRows(), 140);
    // Under "all days" a single day changes nothing.
    QToolButton* OtherDay = QDate::currentDate().dayOfWeek() == 1 ? List.sbtnTuesday : List.sbtnMonday;
    OtherDay->click();
    EXPECT_EQ(List.TotalRows(), 140);
    List.sbtnAllWeek->click();
    EXPECT_EQ(List.TotalRows(), 40);

    // A date range of the last three days: the weekday buttons are greyed and no longer filter.
    WhenModal<THistorySearch>([](THistorySearch* Dialog) {
        Dialog->chkDate->click();
        Dialog->dtpBeginDate->setDate(QDate::currentDate().addDays(-2));
        Dialog->btnSearch->click();
    });
    List.btnSearch->click();
    EXPECT_TRUE(List.Condition().HasConditions);
    EXPECT_EQ(List.TotalRows(), 30);
    EXPECT_NE(List.sbtnSunday->palette().color(QPalette::ButtonText),
              List.btnSearch->palette().color(QPalette::ButtonText));
    List.sbtnSaturday->click();
    EXPECT_EQ(List.TotalRows(), 30);

    // Cleared again: the buttons filter as before.
    WhenModal<THistorySearch>([](THistorySearch* Dialog) {
        Dialog->btnClear->click();
        Dialog->btnSearch->click();
    });
    List.btnSearch->click();
    EXPECT_FALSE(List.Condition().HasConditions);
    int Days = 0;
    for (QToolButton* Day : {List.sbtnSunday, List.sbtnMonday, List.sbtnTuesday, List.sbtnWednesday, List.sbtnThursday,
                             List.sbtnFriday, List.sbtnSaturday})
        Days += Day->isChecked();
    EXPECT_EQ(List.TotalRows(), 20 * Days);
}

TEST_F(HisListTest, AReadingTypedThroughTheInputMethodFindsWhatTheWindowStored)
{
    AddRecentRows(30, 10);
    AppendHistoryRows(Data->Table(), 1, [](int) {
        THisFixtureRow Row = GeneratedRow(0);
        Row.When = Today() + 0.5;
        Row.CorpKana = QStringLiteral("ｶﾜｲｺｳﾑﾃﾝ");
        Row.NameKana = QStringLiteral("ﾀﾛｳ");
        return Row;
    });
    THistoryList List;
    List.sbtnAllWeek->click();
    WhenModal<THistorySearch>([](THistorySearch* Dialog) {
        // As the input method hands the readings over: full-width katakana and hiragana.
        QInputMethodEvent Corp;
        Corp.setCommitString(QStringLiteral("カワイ"));
        QApplication::sendEvent(Dialog->edtCorp, &Corp);
        QInputMethodEvent Name;
        Name.setCommitString(QStringLiteral("たろう"));
        QApplication::sendEvent(Dialog->edtName, &Name);
        EXPECT_EQ(Dialog->edtCorp->text(), QStringLiteral("ｶﾜｲ"));
        EXPECT_EQ(Dialog->edtName->text(), QStringLiteral("ﾀﾛｳ"));
        Dialog->btnSearch->click();
    });
    List.btnSearch->click();
    EXPECT_EQ(List.TotalRows(), 1);
    EXPECT_EQ(List.RowRecNos(), QList<int>{30});
}

TEST_F(HisListTest, DeletingEveryMatchingRowAcrossPages)
{
    AddRecentRows(700, 50);
    Settings.DeleteType = true;
    THistoryList List;
    List.sbtnAllWeek->click();
    WhenModal<THistorySearch>([](THistorySearch* Dialog) {
        Dialog->edtCorp->setText(QStringLiteral("ｻｸﾗ"));
        Dialog->btnSearch->click();
    });
    List.btnSearch->click();
    const int Matching = List.TotalRows();
    ASSERT_GT(Matching, Settings.ListMaxCount);
    QSet<int> Expected = AllRecNos(Data->Table());
    for (int RecNo = 0; RecNo < 700; ++RecNo)
        if (GeneratedRow(RecNo).CorpKana.startsWith(QStringLiteral("ｻｸﾗ")))
            Expected.remove(RecNo);
    TScriptedBoxes Boxes("Yes,OK");
    WhenModal<TDeleteTarget>([](TDeleteTarget* Dialog) {
        EXPECT_EQ(Dialog->windowTitle(), QStringLiteral("着信対応履歴　削除"));
        Dialog->rbAll->click();
        Dialog->btnDelete->click();
    });
    List.btnDelete->click();
    EXPECT_EQ(Boxes.Texts().value(1), QString::number(Matching) + QStringLiteral("件のデータを削除しました  "));
    EXPECT_EQ(AllRecNos(Data->Table()), Expected);
    EXPECT_EQ(List.lbxRecvHis->count(), 0);
    EXPECT_EQ(List.StatusPanels[0]->text(), QStringLiteral("件数 ： ---"));
}

TEST_F(HisListTest, DeletingSelectedRowsKeepsTheSelectionOfARowThatStays)
{
    AddRecentRows(30, 10);
    THistoryList List;
    List.sbtnAllWeek->click();
    List.show();
    List.lbxRecvHis->clearSelection();
    for (int Line : {2, 4, 6})
        List.lbxRecvHis->item(Line)->setSelected(true);
    const int Stays = List.RowRecNos()[4];
    // The deletion of one of the rows fails: a torn write has lost its entry in an index the list
    // does not walk. SQLite takes a row out of the table's newest index first, so the deletion
    // stops before anything of the row has gone.
    ASSERT_TRUE(TableFaults::LoseIndexEntries(Dir.filePath(RecvHisFileName), QStringLiteral("RecvHis_NameKanji"),
                                              QStringLiteral("\"RecNo\" = %1").arg(Stays)));

    TScriptedBoxes Boxes("Yes,OK");
    List.btnDelete->click();
    EXPECT_EQ(Boxes.Texts().value(1), QStringLiteral("2件のデータを削除しました  "));
    EXPECT_EQ(List.TotalRows(), 28);
    const QList<QListWidgetItem*> Selected = List.lbxRecvHis->selectedItems();
    ASSERT_EQ(Selected.size(), 1);
    EXPECT_EQ(Selected.first()->data(Qt::UserRole).toInt(), Stays);
}

// A reload after a call meets another program's lock on the history: the call road has told the user,
// so the list stays quiet; a reload the user asks for says so in Japanese, never in the engine's words.
TEST_F(HisListTest, ALockedHistoryIsQuietAfterACallAndToldInWordsOtherwise)
{
    AddRecentRows(30, 10);
    DefaultSession().SetBusyTimeout(100);
    THistoryList List;
    List.sbtnAllWeek->setChecked(true);
    List.LoadPage(0, 1);
    sqlite3* Other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(Dir.filePath(RecvHisFileName)).constData(), &Other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(Other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        TScriptedBoxes Boxes("OK");
        {
            TQuietWhenBusy Quiet;
            List.LoadPage(0, 1);
        }
        EXPECT_TRUE(Boxes.Texts().isEmpty()) << Boxes.Texts().join(u'|').toStdString();
    }
    {
        TScriptedBoxes Boxes("OK");
        List.LoadPage(0, 1);
        EXPECT_EQ(Boxes.Texts(), QStringList{HisListParts::HistoryListBusyText});
    }
    sqlite3_exec(Other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(Other);
    DefaultSession().SetBusyTimeout(5000);
    List.LoadPage(0, 1);
    EXPECT_EQ(List.TotalRows(), 30);
}

TEST_F(HisListTest, PurgeAtStartKeepsTheLastDays)
{
    AddRecentRows(300, 10); // thirty days
    Settings.AutoDel = true;
    Settings.DeleteDay = 7;
    QSet<int> Kept;
    Data->Table().SetIndexName(QString());
    for (Data->Table().First();;) {
        if (std::trunc(Data->Table().FieldByName(QStringLiteral("RecvDateTime")).AsFloat()) > Today() - 7)
            Kept << Data->Table().FieldByName(QStringLiteral("RecNo")).AsInteger();
        if (Data->Table().MoveBy(1) == 0)
            break;
    }
    {
        // The program's idle flag is down while the question is open: no call pops up over it.
        bool Idle = true;
        QList<bool> IdleWhileAsked;
        TScriptedBoxes Boxes("No");
        Boxes.WhileShown([&](const QString&) { IdleWhileAsked << Idle; });
        THistoryList List(nullptr, &Idle);
        EXPECT_EQ(IdleWhileAsked, QList<bool>{false});
        EXPECT_TRUE(Idle);
        EXPECT_EQ(Boxes.Texts(), QStringList({QStringLiteral("着信対応履歴に指定日数  7日を経過したデータが存在します  "
                                                             "\r\n削除してもよろしいですか？  ")}));
        EXPECT_EQ(AllRecNos(Data->Table()).size(), 300);
    }
    TScriptedBoxes Boxes("Yes");
    THistoryList List;
    EXPECT_EQ(AllRecNos(Data->Table()), Kept);
    EXPECT_EQ(Kept.size(), 70);
}

TEST_F(HisListTest, InquiryNeedsOneLineAndTheShownCallStandsOut)
{
    AddRecentRows(30, 10);
    THistoryList List;
    List.sbtnAllWeek->click();
    QList<int> Opened;
    List.ReceiveViewLink.Exists = [] { return false; };
    List.ReceiveViewLink.RefillGuard = [] { return false; };
    List.ReceiveViewLink.ShowCall = [](const TCallerRecord&) {};
    List.ReceiveViewLink.BringForward = [] {};
    List.ReceiveViewLink.ShowModal = [&](QWidget*, const TCallerRecord& Record) {
        Opened << Record.HisRecNo;
        EXPECT_EQ(List.ShownCallRecNo(), Record.HisRecNo);
        // The window as the user sees it with the call open, for a look when asked for.
        const QString Folder = qEnvironmentVariable("VX_SCREENSHOT_DIR");
        if (!Folder.isEmpty()) {
            List.grab().save(Folder + QStringLiteral("/HistoryList.png"));
            THistorySearch Search(&List);
            Search.edtCorp->setText(QStringLiteral("ｻｸﾗ"));
            Search.rbOr->setChecked(true);
            Search.grab().save(Folder + QStringLiteral("/HistorySearch.png"));
        }
        return 2;
    };
    List.show();
    TScriptedBoxes Boxes;
    List.lbxRecvHis->selectAll();
    List.btnInquiry->click();
    EXPECT_EQ(Boxes.Texts(), QStringList({QStringLiteral("照会するには１件だけ選択してください  ")}));
    List.lbxRecvHis->clearSelection();
    List.lbxRecvHis->item(2)->setSelected(true);
    List.btnInquiry->click();
    EXPECT_EQ(Opened, QList<int>({27}));
    EXPECT_EQ(List.ShownCallRecNo(), -1);

    // An open window is refilled, unless it is locked.
    bool Locked = true;
    QList<int> Refilled;
    List.ReceiveViewLink.Exists = [] { return true; };
    List.ReceiveViewLink.RefillGuard = [&] { return Locked; };
    List.ReceiveViewLink.ShowCall = [&](const TCallerRecord& Record) { Refilled << Record.HisRecNo; };
    List.btnInquiry->click();
    Locked = false;
    List.lbxRecvHis->clearSelection();
    List.lbxRecvHis->item(0)->setSelected(true);
    List.btnInquiry->click();
    EXPECT_EQ(Refilled, QList<int>({29}));
    EXPECT_EQ(List.ShownCallRecNo(), 29);
}

TEST_F(HisListTest, ColumnWidthsAndOptionsAreKept)
{
    AddRecentRows(5, 10);
    {
        THistoryList List;
        EXPECT_EQ(List.myhcRecvHis->Sections()[8].Text(), QStringLiteral("内容"));
        EXPECT_EQ(List.myhcRecvHis->Sections()[4].Width(), 168);
        List.myhcRecvHis->Sections()[4].SetWidth(200);
        List.sbtnAllWeek->click();
        List.resize(800, 400);
    }
    TMemIniFile Ini(SettingsFileName());
    EXPECT_EQ(Ini.ReadInteger(QStringLiteral("HISTORY LIST"), QStringLiteral("List5"), 0), 200);
    EXPECT_EQ(Ini.ReadInteger(QStringLiteral("HISTORY LIST"), QStringLiteral("Width"), 0), 800);
    EXPECT_TRUE(Ini.ReadBool(QStringLiteral("HISTORY LIST"), QStringLiteral("AllWeek"), false));
    THistoryList Again;
    EXPECT_TRUE(Again.sbtnAllWeek->isChecked());
    EXPECT_EQ(Again.TotalRows(), 5);
    EXPECT_EQ(Again.myhcRecvHis->Sections()[4].Width(), 200);
    // A dragged divider widens the header with it.
    Again.show();
    const int Divider = Again.myhcRecvHis->Sections().LeftOf(5);
    QTest::mousePress(Again.myhcRecvHis, Qt::LeftButton, {}, {Divider, 5});
    QTest::mouseMove(Again.myhcRecvHis, {Divider + 300, 5});
    QTest::mouseRelease(Again.myhcRecvHis, Qt::LeftButton, {}, {Divider + 300, 5});
    EXPECT_EQ(Again.myhcRecvHis->Sections()[4].Width(), 500);
    EXPECT_GE(Again.myhcRecvHis->width(), Again.myhcRecvHis->Sections().TotalWidth());
    EXPECT_GE(Again.lbxRecvHis->horizontalScrollBar()->maximum(), 1234 - Again.lbxRecvHis->viewport()->width());
    Again.findChild<QAction*>(QStringLiteral("pmiInitializesHeaderWidth"))->trigger();
    EXPECT_EQ(Again.myhcRecvHis->Sections()[4].Width(), 168);
    EXPECT_EQ(Again.myhcRecvHis->Sections().TotalWidth(), 934);
}

// A place stored on a monitor since unplugged: the list opens whole on the screen, at its stored size.
TEST_F(HisListTest, APlaceOffEveryScreenOpensInsideTheWorkArea)
{
    {
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteInteger(QStringLiteral("HISTORY LIST"), QStringLiteral("Left"), 3000);
        Ini.WriteInteger(QStringLiteral("HISTORY LIST"), QStringLiteral("Top"), 2000);
        ASSERT_TRUE(Ini.UpdateFile());
    }
    THistoryList List;
    List.show();
    QApplication::processEvents();
    const QRect Area = List.screen()->availableGeometry();
    EXPECT_TRUE(Area.contains(List.frameGeometry())) << List.frameGeometry().x() << "," << List.frameGeometry().y()
                                                     << " in " << Area.width() << "x" << Area.height();
    EXPECT_EQ(List.size(), QSize(750, 380));
}

TEST_F(HisListTest, AReloadInPlaceKeepsTheSelectedRows)
{
    AddRecentRows(100, 10);
    THistoryList List;
    List.sbtnAllWeek->click();
    List.show();
    List.lbxRecvHis->clearSelection();
    List.lbxRecvHis->item(3)->setSelected(true);
    List.lbxRecvHis->item(5)->setSelected(true);
    List.lbxRecvHis->setCurrentRow(5, QItemSelectionModel::NoUpdate);
    const int Selected[] = {List.RowRecNos()[3], List.RowRecNos()[5]};
    // A new call comes in and the list reloads where it stands.
    AppendHistoryRows(Data->Table(), 1, [](int) {
        THisFixtureRow Row = GeneratedRow(0);
        Row.When = Today() + 0.99;
        return Row;
    });
    List.LoadPage(0, 0);
    EXPECT_EQ(List.TotalRows(), 101);
    EXPECT_EQ(List.RowRecNos().first(), 100);
    QList<int> Now;
    for (QListWidgetItem* Item : List.lbxRecvHis->selectedItems())
        Now << Item->data(Qt::UserRole).toInt();
    std::sort(Now.begin(), Now.end());
    EXPECT_EQ(Now, QList<int>({Selected[1], Selected[0]}));
    EXPECT_EQ(List.lbxRecvHis->currentRow(), 6);
    // The pipeline's reload goes back to the first page and its first line.
    List.LoadPage(0, 1);
    EXPECT_EQ(List.lbxRecvHis->currentRow(), 0);
    EXPECT_EQ(List.lbxRecvHis->selectedItems().size(), 1);
}
