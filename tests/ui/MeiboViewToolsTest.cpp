#include "directory/record/MeiboVw.h"
#include "main/controls/NMDEdit.h"
#include "main/controls/SortListView.h"
#include "main/identify/AppSub.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/RecvData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/UrlRecorder.h"
#include "widelayer/UniSortListView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

// The record window's look-ups, attached files, message colour, Enter walk and call-history panel.

namespace {

class MeiboViewToolsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        SettingsPath = Data.Folder;
        MeiboViewTools.Dictionary = [this](QWidget*, bool, int Kind, const QString& Text) {
            Asked << QStringLiteral("%1:%2").arg(Kind).arg(Text);
            return Answer;
        };
    }
    void TearDown() override
    {
        View.reset();
        MeiboViewTools = TMeiboViewTools();
        Settings = TSettings();
        SettingsPath.clear();
    }
    void Open(const TCallerRecord* Record)
    {
        View = std::make_unique<TMeiboView>(*DMVxRelvo16);
        View->ShowRecord(Record);
        View->show();
        View->activateWindow();
        (void)QTest::qWaitForWindowActive(View.get());
    }
    // A history row of Tel at the given day.
    void AddCall(int RecNo, const QString& Tel, double When, const QString& Rank = {})
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        RecvHisTable->Append();
        RecvHisTable->FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
        RecvHisTable->FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(When);
        RecvHisTable->FieldByName(QStringLiteral("SchTel")).SetAsString(DigitsOnly(Tel));
        RecvHisTable->FieldByName(QStringLiteral("Tel")).SetAsString(Tel);
        RecvHisTable->FieldByName(QStringLiteral("Rank")).SetAsString(Rank);
        RecvHisTable->Post();
    }
    // The texts the panel shows for Row, as a user sees them.
    QStringList RowTexts(int Row) const
    {
        QStringList Texts;
        const QAbstractItemModel* Model = View->lvHisList->model();
        for (int Column = 0; Column < Model->columnCount(); ++Column)
            Texts << Model->index(Row, Column).data().toString();
        return Texts;
    }
    void Attach(const QByteArray& Paths, int Clicks)
    {
        qputenv("VX_FILEDIALOG_ANSWERS", Paths);
        for (int I = 0; I < Clicks; ++I)
            View->bbtnAddExtFile->click();
        qunsetenv("VX_FILEDIALOG_ANSWERS");
    }
    QStringList FileRows() const
    {
        QStringList Rows;
        for (int I = 0; I < View->lvExtFile->topLevelItemCount(); ++I) {
            const QTreeWidgetItem* Item = View->lvExtFile->topLevelItem(I);
            Rows << Item->text(0) + u' ' + Item->text(1) + Item->text(2);
        }
        return Rows;
    }

    TRecvData Data;
    std::unique_ptr<TMeiboView> View;
    QStringList Asked;
    std::optional<TDicLookup> Answer;
};

} // namespace

TEST_F(MeiboViewToolsTest, ANumberOfAnEntrySwitchesToThatEntryAndListsItsCallsNewestFirst)
{
    Data.AddEntry(3, QStringLiteral("03-1234-5678"), QString(), QStringLiteral("山田太郎"));
    AddCall(0, QStringLiteral("03-1234-5678"), 45000.25, QStringLiteral("Ａ"));
    AddCall(1, QStringLiteral("03-1234-56789"), 45001.5); // longer, beginning with the entry's number
    AddCall(2, QStringLiteral("03-9876-5432"), 45002.0);
    Open(nullptr);
    QTest::mouseClick(View->btnOpenRecv, Qt::LeftButton);
    EXPECT_EQ(View->btnOpenRecv->text(), QStringLiteral("照会データの履歴一覧を隠す(&H)"));
    EXPECT_EQ(View->lvHisList->Items().Count(), 0) << "a new entry has no calls";

    View->edtTel1->setText(QStringLiteral("0312345678"));
    TDicLookup Found;
    Found.Kind = 9;
    ASSERT_EQ(SearchOwnDirectory(false, QStringLiteral("0312345678"), Found.Caller), IdentifyFound);
    Answer = Found;
    QTest::mouseClick(View->bbtnTel1Search, Qt::LeftButton);
    EXPECT_EQ(Asked, QStringList{QStringLiteral("0:0312345678")});
    EXPECT_EQ(View->windowTitle(), QStringLiteral("登録名簿　照会"));
    EXPECT_EQ(View->btnAddUpd->text(), QStringLiteral("変更(&U)"));
    EXPECT_TRUE(View->Inquiry());
    EXPECT_EQ(View->nmedtNameKanji->text(), QStringLiteral("山田太郎"));
    EXPECT_EQ(View->edtTel1->text(), QStringLiteral("03-1234-5678"));
    EXPECT_EQ(View->HistoryRecNos(), (QList<int>{1, 0}));
    ASSERT_EQ(View->lvHisList->model()->rowCount(), 2);
    EXPECT_EQ(RowTexts(0), (QStringList{QStringLiteral("1"), QStringLiteral("2023/03/16"), QStringLiteral("12:00:00"),
                                        QString(), QString(), QString(), QString()}));
    EXPECT_EQ(RowTexts(1), (QStringList{QStringLiteral("2"), QStringLiteral("2023/03/15"), QStringLiteral("06:00:00"),
                                        QStringLiteral("Ａ"), QString(), QString(), QString()}));
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel1);
}

TEST_F(MeiboViewToolsTest, AnAddressLookUpKeepsAnAddressThatGoesOnAndClearsTheRestOtherwise)
{
    Open(nullptr);
    View->edtTdfkn->setText(QStringLiteral("東京都"));
    View->edtAdrs1->setText(QStringLiteral("千代田区"));
    View->edtAdrs2->setText(QStringLiteral("丸の内一丁目"));
    View->edtAdrs3->setText(QStringLiteral("１－１"));
    TDicLookup Found;
    Found.Kind = 1;
    Found.Address.Pos = QStringLiteral("100-0005");
    Found.Address.Tdfkn = QStringLiteral("東京都");
    Found.Address.Adrs1 = QStringLiteral("千代田区");
    Found.Address.Adrs2 = QStringLiteral("丸の内");
    Found.Address.NameKanji = QStringLiteral("丸の内郵便局");
    Found.Address.NameKana = QStringLiteral("ﾏﾙﾉｳﾁﾕｳﾋﾞﾝｷｮｸ");
    Answer = Found;
    View->edtPos->setText(QStringLiteral("1000005"));
    QTest::mouseClick(View->bbtnPosSearch, Qt::LeftButton);
    EXPECT_EQ(Asked, QStringList{QStringLiteral("2:1000005")});
    const QStringList Address{View->edtTdfkn->text(), View->edtAdrs1->text(), View->edtAdrs2->text(),
                              View->edtAdrs3->text()};
    EXPECT_EQ(Address, (QStringList{QStringLiteral("東京都"), QStringLiteral("千代田区"),
                                    QStringLiteral("丸の内一丁目"), QStringLiteral("１－１")}));
    EXPECT_EQ(View->edtPos->text(), QStringLiteral("100-0005"));
    EXPECT_EQ(View->edtCorpKanji->text(), QStringLiteral("丸の内郵便局"));
    EXPECT_EQ(View->cbxPrivCorp->currentIndex(), 1);

    View->edtAdrs1->setText(QStringLiteral("中央区"));
    QTest::mouseClick(View->bbtnPosSearch, Qt::LeftButton);
    EXPECT_EQ(View->edtAdrs1->text(), QStringLiteral("千代田区"));
    EXPECT_EQ(View->edtAdrs2->text(), QStringLiteral("丸の内"));
    EXPECT_TRUE(View->edtAdrs3->text().isEmpty()) << "a replaced address loses its fourth part";
}

TEST_F(MeiboViewToolsTest, AColourFromAnEntryFoundThatIsNoColourShowsTheButtonFace)
{
    Open(nullptr);
    TDicLookup Found;
    Found.Kind = 9;
    Found.Caller.Tel[0] = QStringLiteral("0312345678");
    Found.Caller.Msg = 1;
    Found.Caller.Msg1 = QStringLiteral("至急");
    Found.Caller.BGColor = QStringLiteral("red");
    Answer = Found;
    QTest::mouseClick(View->bbtnTel1Search, Qt::LeftButton);
    EXPECT_EQ(View->pnlMsg->palette().color(QPalette::Window), View->palette().color(QPalette::Button));
    EXPECT_EQ(View->lblMsg1->text(), QStringLiteral("至急"));
    EXPECT_FALSE(View->Inquiry()) << "a number the dictionary knows is no entry to switch to";
}

TEST_F(MeiboViewToolsTest, AttachedFilesAreListedOnceUpToTenAndRenumbered)
{
    TScriptedBoxes Boxes;
    Open(nullptr);
    Attach("/srv/a.pdf,/srv/a.pdf,/srv/A.pdf,cancel", 4);
    EXPECT_EQ(FileRows(), (QStringList{QStringLiteral("1 /srv/a.pdf"), QStringLiteral("2 /srv/A.pdf")}))
        << "the same path once; names that differ in letter case are two files here";
    QByteArray More;
    for (int I = 3; I <= 10; ++I)
        More += "/srv/f" + QByteArray::number(I) + ".txt,";
    Attach(More, 8);
    EXPECT_EQ(View->lvExtFile->topLevelItemCount(), 10);
    EXPECT_FALSE(View->bbtnAddExtFile->isEnabled());

    View->lvExtFile->setCurrentItem(View->lvExtFile->topLevelItem(1));
    View->bbtnDelExtFile->click();
    EXPECT_TRUE(View->bbtnAddExtFile->isEnabled());
    const QStringList Rows = FileRows();
    ASSERT_EQ(Rows.size(), 9);
    for (int I = 0; I < Rows.size(); ++I) {
        EXPECT_TRUE(Rows[I].startsWith(QString::number(I + 1) + u' ')) << qPrintable(Rows[I]);
    }
    EXPECT_EQ(View->lvExtFile->currentItem(), View->lvExtFile->topLevelItem(1)) << "the row in the same place";
    EXPECT_EQ(View->GatherInput().ExtFiles.size(), 9);

    Attach("/srv/f11.txt", 1);
    ASSERT_FALSE(View->bbtnAddExtFile->isEnabled());
    View->ShowRecord(nullptr); // the next new entry starts with no files
    EXPECT_TRUE(View->bbtnAddExtFile->isEnabled());
    EXPECT_FALSE(View->bbtnDelExtFile->isEnabled());
}

TEST_F(MeiboViewToolsTest, AnAttachedProgramIsNotStarted)
{
    TScriptedBoxes Boxes;
    TUrlRecorder Urls;
    QTemporaryDir Dir;
    const QString Program = Dir.filePath(QStringLiteral("見積.pdf"));
    QFile File(Program);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("#!/bin/sh\ntouch /tmp/started\n");
    File.close();
    File.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Open(nullptr);
    Attach(Program.toUtf8(), 1);
    View->bbtnOpenExtFile->click();
    EXPECT_TRUE(Urls.Opened.isEmpty());
    ASSERT_EQ(Boxes.Texts().size(), 1);
    EXPECT_TRUE(Boxes.Texts().constFirst().contains(QStringLiteral("開けません")));
}

TEST_F(MeiboViewToolsTest, TheColourDialogSetsTheColourAndKeepsTheCustomColours)
{
    {
        TMemIniFile Ini(SettingsPath + QStringLiteral("CstmClr.ini"));
        for (int I = 0; I < 16; ++I)
            Ini.WriteString(QStringLiteral("COMMON"), QString::number(I),
                            QStringLiteral("%1").arg(I * 0x111111 % 0x1000000, 6, 16, QLatin1Char('0')).toUpper());
        Ini.WriteString(QStringLiteral("COMMON"), QStringLiteral("15"), QStringLiteral("xyz"));
        ASSERT_TRUE(Ini.UpdateFile());
    }
    TScriptedBoxes Boxes("$0000FF,cancel");
    Open(nullptr);
    View->pgcMeibo->setCurrentWidget(View->tabSub);
    QTest::mouseClick(View->chkMsg, Qt::LeftButton);
    View->edtLine1->setText(QStringLiteral("お得意様"));
    View->bbtnBGColor->click();
    EXPECT_EQ(View->ColorText(), QStringLiteral("$0000FF"));
    EXPECT_EQ(View->pnlMsg->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(View->pnlBGColor->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(View->lblMsg1->text(), QStringLiteral("お得意様"));
    const TMemIniFile Ini(SettingsPath + QStringLiteral("CstmClr.ini"));
    for (int I = 0; I < 15; ++I)
        EXPECT_EQ(Ini.ReadString(QStringLiteral("COMMON"), QString::number(I), QString()),
                  QStringLiteral("%1").arg(I * 0x111111 % 0x1000000, 6, 16, QLatin1Char('0')).toUpper());
    EXPECT_EQ(Ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("15"), QString()), QStringLiteral("000000"))
        << "a value that is no colour reads as black";

    View->bbtnBGColor->click(); // cancelled
    EXPECT_EQ(View->ColorText(), QStringLiteral("$0000FF"));
    View->bbtnResetColor->click();
    EXPECT_EQ(View->pnlMsg->palette().color(QPalette::Window), View->palette().color(QPalette::Button));
}

TEST_F(MeiboViewToolsTest, EnterWalksTheFormAndTheNoteGivesNoNewLine)
{
    MeiboViewTools.Dictionary = nullptr;
    Open(nullptr);
    View->mmoNote->setPlainText(QStringLiteral("メモ"));
    View->pgcMeibo->setCurrentWidget(View->tabSub);
    View->mmoNote->setFocus();
    QTest::keyClick(View->mmoNote, Qt::Key_Return);
    EXPECT_EQ(View->mmoNote->toPlainText(), QStringLiteral("メモ"));
    EXPECT_EQ(QApplication::focusWidget(), View->btnAddUpd);

    View->pgcMeibo->setCurrentWidget(View->tabMain);
    struct TCase
    {
        QWidget* From;
        QWidget* To;
    } Cases[] = {{View->edtTel1, View->edtTel2},   {View->edtTel2, View->edtPos},
                 {View->edtAdrs1, View->edtAdrs2}, {View->edtAdrs3, View->edtCorpKana},
                 {View->edtEMail, View->cbxRank},  {View->cbxRank, View->btnAddUpd}};
    for (const TCase& Case : Cases) {
        Case.From->setFocus();
        QTest::keyClick(Case.From, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), Case.To) << qPrintable(Case.From->objectName());
    }
    QTest::mouseClick(View->btnOpenRecv, Qt::LeftButton);
    View->cbxRank->setFocus();
    QTest::keyClick(View->cbxRank, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), View->lvHisList) << "to the call list while it is shown";
    QTest::mouseClick(View->btnOpenRecv, Qt::LeftButton);
}

TEST_F(MeiboViewToolsTest, TheColumnWidthsGoBackToTheFormsWidths)
{
    Open(nullptr);
    auto* List = View->findChild<TUniSortListView*>(QStringLiteral("lvHisList"));
    ASSERT_NE(List, nullptr);
    List->Columns().Item(1)->SetWidth(200);
    List->Columns().Item(6)->SetWidth(10);
    auto* Reset = View->pmColumn->findChild<QAction*>(QStringLiteral("pmiInitializesHeaderWidth"));
    ASSERT_NE(Reset, nullptr);
    EXPECT_EQ(Reset->text(), QStringLiteral("項目幅を初期値に戻す(&R)"));
    Reset->trigger();
    QList<int> Widths;
    for (int I = 0; I < 7; ++I)
        Widths << List->Columns().Item(I)->Width();
    EXPECT_EQ(Widths, (QList<int>{40, 95, 70, 52, 80, 80, 80}));
    EXPECT_EQ(List->SortDir(), sdNone);
}

// The calls a running program took are those the record window lists for the entry afterwards.
TEST(MeiboViewHistoryE2ETest, TheCallsTheProgramTookAreListedForTheEntry)
{
    TProgramHarness Program;
    Settings = TSettings();
    {
        TDMVxRelvo16 Module(Program.DataFolder(), Program.DataFolder());
        DMVxRelvo16 = &Module;
        Module.CreateMeiboTable();
        Module.CreateRecvHisTable();
        {
            TTableUse Use(Module, TDataTable::Meibo);
            MeiboTable->Append();
            MeiboTable->FieldByName(QStringLiteral("RecNo")).SetAsInteger(0);
            MeiboTable->FieldByName(QStringLiteral("SchTel1")).SetAsString(QStringLiteral("0312345678"));
            MeiboTable->FieldByName(QStringLiteral("Tel1")).SetAsString(QStringLiteral("03-1234-5678"));
            MeiboTable->Post();
        }
        Module.FreeRecvHisTable();
        Module.FreeMeiboTable();
        DMVxRelvo16 = nullptr;
    }
    ASSERT_TRUE(Program.StartAndWaitForLine()) << "the line did not open";
    for (const char* Number : {"0312345678", "03123456789", "0398765432"}) {
        ASSERT_EQ(Program.Ring(QString::fromLatin1(Number)), 0);
        QTest::qWait(1100); // one second apart, so the times tell the calls apart
    }
    ASSERT_TRUE(Program.WaitForRows(3));
    ASSERT_TRUE(Program.Terminate());

    TScriptedBoxes Boxes;
    TDMVxRelvo16 Module(Program.DataFolder(), Program.DataFolder());
    DMVxRelvo16 = &Module;
    Module.CreateMeiboTable();
    Module.CreateRecvHisTable();
    TCallerRecord Entry;
    {
        TTableUse Use(Module, TDataTable::Meibo);
        ASSERT_EQ(SearchOwnDirectory(false, QStringLiteral("0312345678"), Entry), IdentifyFound);
    }
    {
        TMeiboView View(*DMVxRelvo16);
        View.ShowRecord(&Entry);
        View.show();
        QTest::qWait(10);
        const QAbstractItemModel* Model = View.lvHisList->model();
        ASSERT_EQ(Model->rowCount(), 2);
        EXPECT_EQ(View.HistoryRecNos(), (QList<int>{1, 0})) << "newest first, the third number's call not listed";
        const QRegularExpression Date(QStringLiteral("^\\d{4}/\\d{2}/\\d{2}$"));
        const QRegularExpression Time(QStringLiteral("^\\d{2}:\\d{2}:\\d{2}$"));
        for (int Row = 0; Row < 2; ++Row) {
            EXPECT_EQ(Model->index(Row, 0).data().toString(), QString::number(Row + 1));
            EXPECT_TRUE(Date.match(Model->index(Row, 1).data().toString()).hasMatch());
            EXPECT_TRUE(Time.match(Model->index(Row, 2).data().toString()).hasMatch());
        }
    }
    Module.FreeRecvHisTable();
    Module.FreeMeiboTable();
    DMVxRelvo16 = nullptr;
}

TEST_F(MeiboViewToolsTest, Screenshots)
{
    if (qEnvironmentVariableIsEmpty("VX_SCREENSHOT_DIR"))
        GTEST_SKIP() << "VX_SCREENSHOT_DIR not set";
    Data.AddEntry(3, QStringLiteral("03-1234-5678"), QStringLiteral("090-1234-5678"), QStringLiteral("田中　一郎"));
    for (int I = 0; I < 12; ++I)
        AddCall(I, I % 3 ? QStringLiteral("03-1234-5678") : QStringLiteral("090-1234-5678"), 46000 + I * 0.37,
                I % 2 ? QStringLiteral("Ａ") : QStringLiteral("Ｂ"));
    TCallerRecord Known;
    ASSERT_EQ(SearchOwnDirectory(false, QStringLiteral("0312345678"), Known), IdentifyFound);
    Known.Msg = 1;
    Known.Msg1 = QStringLiteral("至急折り返し");
    Known.Msg2 = QStringLiteral("担当：佐藤");
    Known.BGColor = QStringLiteral("$80FFFF");
    Known.ExtFile =
        QStringList{QStringLiteral("/home/office/見積/2026-12.pdf"), QStringLiteral("/home/office/地図.png")};
    Open(&Known);
    View->pgcMeibo->setCurrentWidget(View->tabSub);
    SaveScreenshot(*View, QStringLiteral("meiboview-sub-message"));
    View->pgcMeibo->setCurrentWidget(View->tabMain);
    QTest::mouseClick(View->btnOpenRecv, Qt::LeftButton);
    QTest::qWait(50);
    SaveScreenshot(*View, QStringLiteral("meiboview-calls"));
    QTest::mouseClick(View->btnOpenRecv, Qt::LeftButton);
}

namespace {

// Calls From .. To - 1 from distinct numbers of the area "03", one a minute, in one transaction.
void AddAreaCalls(int From, int To)
{
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    TTableTransaction Transaction(*RecvHisTable);
    for (int I = From; I < To; ++I) {
        const QString Tel = QStringLiteral("03-%1-%2").arg(1000 + I / 1000).arg(I % 1000, 4, 10, QLatin1Char('0'));
        RecvHisTable->Append();
        RecvHisTable->FieldByName(QStringLiteral("RecNo")).SetAsInteger(I);
        RecvHisTable->FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(45000.0 + I / 1440.0);
        RecvHisTable->FieldByName(QStringLiteral("SchTel")).SetAsString(DigitsOnly(Tel));
        RecvHisTable->FieldByName(QStringLiteral("Tel")).SetAsString(Tel);
        RecvHisTable->Post();
    }
    Transaction.Commit();
}

} // namespace

// An entry whose number is an area code owns every call from the area: the panel lists them all,
// newest first, at a cost that follows their number.
TEST_F(MeiboViewToolsTest, ThePanelOfAnAreaCodeEntryCostsStepsInProportionToItsCalls)
{
    Data.AddEntry(1, QStringLiteral("03"), QString(), QStringLiteral("東京の代表"));
    TCallerRecord Entry;
    ASSERT_EQ(SearchOwnDirectory(false, QStringLiteral("03"), Entry), IdentifyFound);
    long long Steps[2] = {};
    int Added = 0;
    for (const int Count : {400, 1600}) {
        AddAreaCalls(Added, Count);
        Added = Count;
        const long long Before = TableVmSteps();
        Open(&Entry);
        Steps[Count == 400 ? 0 : 1] = TableVmSteps() - Before;
        ASSERT_EQ(View->HistoryRecNos().size(), Count);
        EXPECT_EQ(View->HistoryRecNos().first(), Count - 1) << "newest first";
        EXPECT_EQ(View->HistoryRecNos().last(), 0);
        View.reset();
    }
    EXPECT_LE(Steps[1], 5 * Steps[0]) << Steps[0] << " steps for 400 calls, " << Steps[1] << " for 1600";
}
