#include "calls/RecvView.h"

#include "calls/HisList.h"
#include "main/controls/NMDEdit.h"
#include "main/controls/SortListView.h"
#include "main/identify/AppSub.h"
#include "main/settings/Settings.h"
#include "tests/support/RecvData.h"
#include "tests/support/ScriptedBoxes.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class RecvViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.NotMoveFocus = true;
        SettingsPath = Data.Folder;
    }
    void TearDown() override
    {
        Settings = TSettings();
        SettingsPath.clear();
    }
    // Fills the window and shows it, as the history list does before its modal loop.
    void Open(const TCallerRecord& Record)
    {
        View = std::make_unique<TReceiveView>();
        View->ShowCall(Record);
        View->show();
        View->activateWindow();
        (void)QTest::qWaitForWindowActive(View.get());
    }
    void Type(QLineEdit* Edit, const QString& Text)
    {
        Edit->setFocus();
        Edit->selectAll();
        Edit->insert(Text); // as typed; the test's key tables know no Japanese
    }

    TRecvData Data;
    std::unique_ptr<TReceiveView> View;
};

TEST_F(RecvViewTest, ShowsTheCallAndTheCallerAsIdentified)
{
    TCallerRecord Known = CallRecordFor(1, QStringLiteral("03-1111-2222"), 1, 4);
    Known.BeforeRecvDateTime = DateTimeToDays(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    Known.NameKanji = QStringLiteral(" 田中 ");
    Known.NameKana = QStringLiteral("ﾀﾅｶ");
    Known.Rank = QStringLiteral("Ｚ"); // not in the rank list
    Known.PrivCorp = 1;
    Known.ExtFile = QStringList{QStringLiteral("/srv/docs/a.pdf"), QStringLiteral("C:\\Docs\\b.xls")};
    Known.Note = QStringList{QStringLiteral("一"), QStringLiteral("二")};
    const QString Log = Data.Folder + QStringLiteral("windows.jsonl");
    qputenv("VX_WINDOW_LOG", QFile::encodeName(Log));
    Open(Known);
    qunsetenv("VX_WINDOW_LOG");
    QFile LogFile(Log);
    ASSERT_TRUE(LogFile.open(QIODevice::ReadOnly));
    const QJsonObject Shown = QJsonDocument::fromJson(LogFile.readLine()).object();
    EXPECT_EQ(Shown.value(QStringLiteral("title")).toString(), QStringLiteral("着信照会"));
    const QJsonObject Fields = Shown.value(QStringLiteral("fields")).toObject();
    EXPECT_EQ(Fields.value(QStringLiteral("edtTel1")).toString(), QStringLiteral("03-1111-2222"));
    EXPECT_EQ(Fields.value(QStringLiteral("pnlDivision")).toString(), QStringLiteral("既存"));
    EXPECT_EQ(View->pnlDate->text(), QStringLiteral("2026年 12月 09日"));
    EXPECT_EQ(View->pnlTime->text(), QStringLiteral("10時 20分 30秒"));
    EXPECT_EQ(View->pnlPrevDate->text(), QStringLiteral("2026年 01月 02日"));
    EXPECT_EQ(View->pnlPrevTime->text(), QStringLiteral("03時 04分 05秒"));
    EXPECT_EQ(View->pnlDivision->text(), QStringLiteral("既存"));
    EXPECT_EQ(View->btnAddUpd->text(), QStringLiteral("名簿変更(&U)"));
    EXPECT_EQ(View->edtTel1->text(), QStringLiteral("03-1111-2222"));
    EXPECT_EQ(View->nmedtNameKanji->text(), QStringLiteral("田中"));
    EXPECT_EQ(View->nmedtNameKana->text(), QStringLiteral("ﾀﾅｶ"));
    EXPECT_EQ(View->cbxRank->currentText(), QString());
    EXPECT_EQ(View->cbxPrivCorp->currentText(), QStringLiteral("法人"));
    EXPECT_EQ(View->mmoNote->toPlainText(), QStringLiteral("一\n二"));
    ASSERT_EQ(View->lvExtFile->topLevelItemCount(), 2);
    EXPECT_EQ(View->lvExtFile->topLevelItem(0)->text(1), QStringLiteral("/srv/docs/"));
    EXPECT_EQ(View->lvExtFile->topLevelItem(1)->text(0), QStringLiteral("2"));
    EXPECT_EQ(View->lvExtFile->topLevelItem(1)->text(2), QStringLiteral("b.xls"));
    EXPECT_EQ(View->GatherInput().ExtFiles, *Known.ExtFile);
    EXPECT_EQ(View->windowTitle(), QStringLiteral("着信照会"));
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel1);
    // The attached files are the sortable list of the record windows, and a header click never reorders them.
    auto* Files = View->findChild<TSortListView*>(QStringLiteral("lvExtFile"));
    ASSERT_NE(Files, nullptr);
    EXPECT_EQ(Files->SortDirs(), TSortDirs{sdNone});
    EXPECT_EQ(Files->SortDir(), sdNone);
    QTest::mouseClick(Files->header()->viewport(), Qt::LeftButton, {}, {Files->columnWidth(0) + 20, 6});
    EXPECT_EQ(Files->SortDir(), sdNone);
    EXPECT_EQ(Files->topLevelItem(0)->text(0), QStringLiteral("1"));

    // A new caller; a message colour that is no colour leaves the panel its default colour.
    TCallerRecord Unknown = CallRecordFor(2, QStringLiteral("090-1234-5678"));
    Unknown.Msg = 1;
    Unknown.Msg1 = QStringLiteral("至急");
    Unknown.BGColor = QStringLiteral("$zz0000");
    View->ShowCall(Unknown);
    EXPECT_EQ(View->pnlDivision->text(), QStringLiteral("新規"));
    EXPECT_EQ(View->btnAddUpd->text(), QStringLiteral("名簿登録(&A)"));
    EXPECT_TRUE(View->pnlPrevDate->text().isEmpty());
    EXPECT_TRUE(View->pnlMsg->isVisible());
    EXPECT_FALSE(View->pnlDivision->isVisible());
    EXPECT_EQ(View->pnlMsg->palette().color(QPalette::Window), View->palette().color(QPalette::Window));
    EXPECT_TRUE(View->nmedtNameKanji->text().isEmpty());
    EXPECT_EQ(View->lvExtFile->topLevelItemCount(), 0);
    EXPECT_TRUE(View->GatherInput().BGColor.isEmpty());

    Unknown.BGColor = QStringLiteral("$0000ff"); // blue, green, red: red
    View->ShowCall(Unknown);
    EXPECT_EQ(View->pnlMsg->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(View->GatherInput().BGColor, QStringLiteral("$0000ff"));
}

TEST_F(RecvViewTest, AddressBookModeShowsTheNumberThatRangAndTheOthers)
{
    Settings.UseFbAdrs = true;
    Settings.FbSeries = 1;
    Settings.FbAdrsBookName = QStringLiteral("得意先");
    FoundInFbAdrs = true;
    TCallerRecord R = CallRecordFor(1, QStringLiteral("03-1111-2222"), 1, 3);
    R.TelIndex = 2;
    R.SchTel[2] = QStringLiteral("09011112222");
    R.Tel[2] = QStringLiteral("090-1111-2222");
    R.SchTel[3] = QStringLiteral("08033334444");
    R.Tel[3] = QStringLiteral("080-3333-4444");
    R.Rank = QStringLiteral("特別"); // not in the list: shown as text in this mode
    Open(R);
    EXPECT_TRUE(View->pnlFbTel->isVisible());
    EXPECT_FALSE(View->pnlTel->isVisible());
    EXPECT_EQ(View->edtFbTel->text(), QStringLiteral("090-1111-2222"));
    ASSERT_EQ(View->cbxFbTel->count(), 2);
    EXPECT_EQ(View->cbxFbTel->currentText(), QStringLiteral("03-1111-2222"));
    EXPECT_EQ(View->cbxRank->currentText(), QStringLiteral("特別"));
    EXPECT_EQ(View->windowTitle(), QStringLiteral("着信照会    - Fernbook2013 Trade [ 得意先 ]  -"));
    EXPECT_EQ(View->property("HelpContext").toInt(), 30);
    EXPECT_EQ(QApplication::focusWidget(), View->edtFbTel);

    // The slot that rang has no number: both number controls stay empty.
    R.SchTel[2].clear();
    FoundInFbAdrs = false;
    View->ShowCall(R);
    EXPECT_TRUE(View->edtFbTel->text().isEmpty());
    EXPECT_EQ(View->cbxFbTel->count(), 0);
    EXPECT_EQ(View->windowTitle(), QStringLiteral("着信照会"));
    if (const QString Folder = qEnvironmentVariable("VX_SCREENSHOT_DIR"); !Folder.isEmpty()) {
        View->ShowCall(CallRecordFor(1, QStringLiteral("03-1111-2222")));
        View->grab().save(QDir(Folder).filePath(QStringLiteral("recvview-fernbook.png")));
    }

    // A stored name longer than what may be typed is shown whole; typing stops at the limit.
    R.NameKanji = QStringLiteral("長谷川　龍之介様");
    View->ShowCall(R);
    EXPECT_EQ(View->nmedtNameKanji->text(), R.NameKanji);
    View->edtMemo1->setFocus();
    QTest::keyClicks(View->edtMemo1, QString(120, u'x'));
    EXPECT_EQ(View->edtMemo1->text().size(), 100);
}

TEST_F(RecvViewTest, RegisteringANewCallerWritesTheDirectoryAndCloses)
{
    TScriptedBoxes Boxes;
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    Type(View->edtTel2, QStringLiteral("090-1234-5678"));
    Type(View->edtTdfkn, QStringLiteral("東京都"));
    Type(View->edtMemo1, QStringLiteral("memo"));
    View->cbxSelectItem1->setEditText(QStringLiteral("見積"));
    // The name typed through the input method fills its reading.
    View->nmedtNameKanji->setFocus();
    QInputMethodEvent PreEdit(QStringLiteral("たなか"), {});
    QApplication::sendEvent(View->nmedtNameKanji, &PreEdit);
    QInputMethodEvent Commit;
    Commit.setCommitString(QStringLiteral("田中"));
    QApplication::sendEvent(View->nmedtNameKanji, &Commit);
    EXPECT_EQ(View->nmedtNameKana->text(), QStringLiteral("ﾀﾅｶ"));
    // The company's reading takes half-width katakana whatever the input method gives.
    QInputMethodEvent CorpKana;
    CorpKana.setCommitString(QStringLiteral("カブシキガイシャ"));
    QApplication::sendEvent(View->edtCorpKana, &CorpKana);
    EXPECT_EQ(View->edtCorpKana->text(), QStringLiteral("ｶﾌﾞｼｷｶﾞｲｼｬ"));

    QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);
    EXPECT_EQ(View->result(), 1);
    EXPECT_FALSE(View->isVisible());
    EXPECT_TRUE(Boxes.Texts().isEmpty());
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT RecNo, SchTel1, Tel2, Tdfkn, NameKana, NameKanji, Memo1 FROM Meibo"),
              QStringList{QStringLiteral("0|0311112222|090-1234-5678|東京都|ﾀﾅｶ|田中|memo")});
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT NameKanji, SelItem1 FROM RecvHis"),
              QStringList{QStringLiteral("田中|見積")});
    EXPECT_EQ(View->cbxSelectItem1->itemText(0), QStringLiteral("見積")); // the promoted list was reloaded
}

TEST_F(RecvViewTest, RefusalsAndFailuresKeepTheWindowAndTheInput)
{
    TScriptedBoxes Boxes;
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    Data.AddEntry(99999, QStringLiteral("06-0000-0000"), QString());
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));

    Type(View->edtTel2, QStringLiteral("0311112222"));
    QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);
    EXPECT_TRUE(View->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel1);
    EXPECT_EQ(View->edtTel1->selectedText(), QStringLiteral("03-1111-2222"));

    // The counter is full: told, and the registration ends as the window always did.
    View->edtTel2->clear();
    QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts(), (QStringList{MsgSameTel, MsgMeiboCounterFull, QStringLiteral("登録できませんでした  ")}));
    EXPECT_EQ(View->result(), 1);

    // A write that fails leaves the window open with what the user typed.
    Data.BreakWrites(MeiboFileName, "Meibo");
    Open(CallRecordFor(1, QStringLiteral("06-0000-0000"), 1, 99999));
    Type(View->edtCorpKanji, QStringLiteral("株式会社"));
    QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);
    EXPECT_TRUE(View->isVisible());
    EXPECT_EQ(View->result(), 0);
    EXPECT_EQ(View->edtCorpKanji->text(), QStringLiteral("株式会社"));
    EXPECT_TRUE(Boxes.Texts().last().startsWith(MsgMeiboWriteFailed));
    EXPECT_FALSE(View->RefillGuard());

    // A silent save that fails locks the window, so the next call does not replace the input.
    View->SaveBeforeRefill();
    EXPECT_TRUE(View->RefillGuard());
    EXPECT_EQ(View->btnLockUnlock->text(), QStringLiteral("アンロック(&L)"));
    EXPECT_EQ(View->edtCorpKanji->text(), QStringLiteral("株式会社"));
}

TEST_F(RecvViewTest, ExchangedNumbersAndAnUnchangedCallerSaveWithoutQuestions)
{
    TScriptedBoxes Boxes;
    Data.AddCall(1, QStringLiteral("03-1111-2222"), 1);
    Data.AddEntry(5, QStringLiteral("03-1111-2222"), QStringLiteral("090-1234-5678"), QStringLiteral("田中"));
    Data.AddEntry(6, QStringLiteral("06-9999-9999"), QStringLiteral("03-1111-2222"));
    TCallerRecord R = CallRecordFor(1, QStringLiteral("03-1111-2222"), 1, 5);
    R.SchTel[1] = QStringLiteral("09012345678");
    R.Tel[1] = QStringLiteral("090-1234-5678");
    R.NameKanji = QStringLiteral("田中");
    Open(R);
    QTest::mouseClick(View->bbtnExchange, Qt::LeftButton);
    EXPECT_EQ(View->edtTel1->text(), QStringLiteral("090-1234-5678"));
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel1);
    QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);
    EXPECT_EQ(View->result(), 1);
    EXPECT_TRUE(Boxes.Texts().isEmpty());
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT SchTel1, SchTel2 FROM Meibo WHERE RecNo = 5"),
              QStringList{QStringLiteral("09012345678|0311112222")});

    // Unchanged: the call's row and the lists, not the entry.
    Data.AddCall(2, QStringLiteral("06-9999-9999"), 1);
    TCallerRecord Same = CallRecordFor(2, QStringLiteral("06-9999-9999"), 1, 6);
    Same.SchTel[1] = QStringLiteral("0311112222");
    Same.Tel[1] = QStringLiteral("03-1111-2222");
    Same.Rank = QStringLiteral("Ａ");
    Same.Note = QStringList{QStringLiteral("一"), QStringLiteral("二")};
    RankHistory->Insert(0, QStringLiteral("Ｂ"), 0);
    RankHistory->Insert(1, QStringLiteral("Ａ"), 0);
    Open(Same);
    EXPECT_EQ(View->cbxRank->currentText(), QStringLiteral("Ａ"));
    QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);
    EXPECT_EQ(View->result(), 1);
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT AxsDateTime FROM Meibo WHERE RecNo = 6"),
              QStringList{QStringLiteral("1000.0")});
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT Rank, AxsDateTime > 0 FROM RecvHis WHERE RecNo = 2"),
              QStringList{QStringLiteral("Ａ|1")});
    EXPECT_EQ(RankHistory->GetText(0), QStringLiteral("Ａ"));
}

TEST_F(RecvViewTest, IdeographicSpacesAroundNamesSurviveShowingAndSaving)
{
    TScriptedBoxes Boxes;
    Data.AddCall(1, QStringLiteral("03-1111-2222"), 1);
    Data.AddEntry(5, QStringLiteral("03-1111-2222"), QString(), QStringLiteral("　田中　"));
    TCallerRecord Known;
    ASSERT_EQ(IdentifyCaller(true, false, QStringLiteral("03-1111-2222"), Known), 0);
    Known.HisRecNo = 1;
    Open(Known);
    EXPECT_EQ(View->nmedtNameKanji->text(), QStringLiteral("　田中　"));
    // Blanks go, the ideographic spaces the user wrote stay.
    Type(View->edtCorpKanji, QStringLiteral(" 　トルヴァネ商会　 "));
    QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);
    EXPECT_EQ(View->result(), 1);
    EXPECT_TRUE(Boxes.Texts().isEmpty());
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT '[' || CorpKanji || '][' || NameKanji || ']' FROM Meibo"),
              QStringList{QStringLiteral("[　トルヴァネ商会　][　田中　]")});
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT '[' || CorpKanji || '][' || NameKanji || ']' FROM RecvHis"),
              QStringList{QStringLiteral("[　トルヴァネ商会　][　田中　]")});
}

TEST_F(RecvViewTest, TwoEntriesSharingTheNumberOfferToReplaceTheFirst)
{
    TScriptedBoxes Boxes("Yes");
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    Data.AddEntry(5, QStringLiteral("03-1111-2222"), QString(), QStringLiteral("田中"));
    Data.AddEntry(6, QStringLiteral("03-1111-2222"), QString(), QStringLiteral("鈴木"));
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    Type(View->edtMemo1, QStringLiteral("memo"));
    QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts(), QStringList{MsgReplace});
    EXPECT_EQ(View->result(), 1);
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT RecNo, Memo1 FROM Meibo ORDER BY RecNo"),
              (QStringList{QStringLiteral("5|memo"), QStringLiteral("6|")}));
}

TEST_F(RecvViewTest, TheLockGuardsTheWindowAgainstRefillsAndSaves)
{
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    int Result = -1;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(ReceiveViewExists());
        TReceiveView& Open = *ReceiveView;
        EXPECT_FALSE(ReceiveViewRefillGuard());
        EXPECT_FALSE(Open.bbtnMap->isVisibleTo(&Open));
        QTest::mouseClick(Open.btnLockUnlock, Qt::LeftButton);
        EXPECT_EQ(Open.btnLockUnlock->text(), QStringLiteral("アンロック(&L)"));
        EXPECT_TRUE(ReceiveViewRefillGuard());
        EXPECT_TRUE(Open.bbtnMap->isVisibleTo(&Open));
        EXPECT_TRUE(Open.bbtnDial->isVisibleTo(&Open));
        EXPECT_FALSE(Open.bbtnDial->isEnabled()); // no dial tool installed
        Open.edtTel2->setText(QStringLiteral("045-111-2222"));
        ReceiveViewSaveBeforeRefill(); // guarded: nothing happens
        QTest::mouseClick(Open.btnLockUnlock, Qt::LeftButton);
        EXPECT_FALSE(ReceiveViewRefillGuard());
        ReceiveViewSaveBeforeRefill();
        ReceiveViewShowCall(CallRecordFor(2, QStringLiteral("06-5555-6666")));
        EXPECT_EQ(Open.edtTel1->text(), QStringLiteral("06-5555-6666"));
        QTest::keyClick(&Open, Qt::Key_Escape);
    });
    Result = ShowReceiveViewModal(nullptr, CallRecordFor(1, QStringLiteral("03-1111-2222")));
    EXPECT_EQ(Result, 2);
    EXPECT_FALSE(ReceiveViewExists());
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT SchTel1, SchTel2 FROM Meibo"),
              QStringList{QStringLiteral("0311112222|0451112222")});
}

TEST_F(RecvViewTest, TheHistoryListOpensRefillsAndLeavesALockedWindowAlone)
{
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    Data.AddCall(2, QStringLiteral("06-5555-6666"));
    Data.AddCall(3, QStringLiteral("045-777-8888"));
    THistoryList List;
    InstallReceiveView(List);
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(ReceiveViewExists());
        TReceiveView& Open = *ReceiveView;
        List.OpenReceiveView(CallRecordFor(2, QStringLiteral("06-5555-6666")));
        EXPECT_EQ(Open.edtTel1->text(), QStringLiteral("06-5555-6666"));
        QTest::mouseClick(Open.btnLockUnlock, Qt::LeftButton);
        List.OpenReceiveView(CallRecordFor(3, QStringLiteral("045-777-8888")));
        EXPECT_EQ(Open.edtTel1->text(), QStringLiteral("06-5555-6666"));
        EXPECT_EQ(ReceiveView, &Open);
        QTest::mouseClick(Open.btnAddUpd, Qt::LeftButton);
    });
    List.OpenReceiveView(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    EXPECT_FALSE(ReceiveViewExists());
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT SchTel1 FROM Meibo"), QStringList{QStringLiteral("0655556666")});
    List.ReceiveViewLink = {};
    ReceiveViewReloadHistory = nullptr;
}

TEST_F(RecvViewTest, EnterWalksTheForm)
{
    ReceiveViewTools.DicSearch = [](TReceiveView&, int) {};
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    struct TCase
    {
        QWidget* From;
        QString Tdfkn;
        QWidget* To;
    } Cases[] = {
        {View->edtTel1, QString(), View->bbtnTel1Search},
        {View->edtTel1, QStringLiteral("東京都"), View->edtTel2},
        {View->edtTel2, QStringLiteral("東京都"), View->edtPos},
        {View->edtPos, QString(), View->bbtnPosSearch},
        {View->edtPos, QStringLiteral("東京都"), View->edtTdfkn},
        {View->edtAdrs3, QString(), View->edtCorpKana},
        {View->edtCorpKana, QString(), View->edtCorpKanji},
        {View->edtEMail, QString(), View->cbxRank},
        {View->cbxRank, QString(), View->cbxSelectItem1},
        {View->cbxSelectItem3, QString(), View->lvExtFile},
        {View->lvExtFile, QString(), View->mmoNote},
    };
    for (const TCase& Case : Cases) {
        View->edtTdfkn->setText(Case.Tdfkn);
        Case.From->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QWidget* Now = QApplication::focusWidget();
        if (auto* Combo = qobject_cast<QComboBox*>(Case.To); Combo && Now == Combo->lineEdit())
            Now = Combo;
        if (Case.To == View->lvExtFile && Now && Now->parentWidget() == View->lvExtFile)
            Now = View->lvExtFile;
        EXPECT_EQ(Now, Case.To) << Case.From->objectName().toStdString() << " -> "
                                << (Now ? Now->objectName().toStdString() : "none");
    }
    EXPECT_EQ(View->edtTdfkn->cursorPosition(), View->edtTdfkn->text().size());
    QTest::keyClick(View->mmoNote, Qt::Key_Return);
    EXPECT_EQ(View->mmoNote->toPlainText(), QStringLiteral("\n"));
    // Enter on the search button it led to presses it.
    QList<int> Searched;
    ReceiveViewTools.DicSearch = [&Searched](TReceiveView&, int Tag) { Searched << Tag; };
    View->edtTdfkn->clear();
    View->edtTel1->setFocus();
    QTest::keyClick(View->edtTel1, Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Searched, QList<int>{0});
    ReceiveViewTools = TReceiveViewTools();

    // Without the dictionary the search button cannot take the focus; Enter goes on to the next field.
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->edtTel1->setFocus();
    QTest::keyClick(View->edtTel1, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel2);
}

// With VX_SCREENSHOT_DIR set, the window for a known and for an unknown caller is saved as PNG.
TEST_F(RecvViewTest, JapaneseTextFitsItsFieldsAndCaptionsKeepAGap)
{
    // The desktop's default font, as a Japanese desktop has it.
    const QFont Desktop = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 9));
    Open(CallRecordFor(1, QStringLiteral("03-1234-5678")));
    const QString Sample = QStringLiteral("漢字カナ");
    int Checked = 0;
    for (QWidget* Field : View->findChildren<QWidget*>()) {
        int Room = -1; // the height the field gives a line of text
        if (auto* Edit = qobject_cast<QLineEdit*>(Field)) {
            const int Frame = Edit->hasFrame() ? Edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
            Room = Edit->height() - 2 * Frame - 2; // the edit keeps one pixel above and below its line
        } else if (auto* Combo = qobject_cast<QComboBox*>(Field); Combo && !Combo->isEditable()) {
            QStyleOptionComboBox Option;
            Option.initFrom(Combo);
            Option.frame = true;
            Room = Combo->style()
                       ->subControlRect(QStyle::CC_ComboBox, &Option, QStyle::SC_ComboBoxEditField, Combo)
                       .height();
        } else {
            continue;
        }
        ++Checked;
        const QFontMetrics Metrics(Field->font());
        // The line the field centres reaches as high as the Japanese glyphs, and the field holds the line.
        EXPECT_GE(Metrics.ascent(), -Metrics.boundingRect(Sample).top()) << Field->objectName().toStdString();
        EXPECT_GE(Room, Metrics.height()) << Field->objectName().toStdString();
    }
    EXPECT_GE(Checked, 20);
    // Every caption of the left column ends a clear gap before the values begin.
    for (QLabel* Caption : View->findChildren<QLabel*>()) {
        if (Caption->x() != 8 || Caption->text().isEmpty())
            continue;
        EXPECT_LE(8 + QFontMetrics(Caption->font()).horizontalAdvance(Caption->text()) + 6, View->edtEMail->x())
            << Caption->text().toStdString();
    }
    QApplication::setFont(Desktop);
}

TEST_F(RecvViewTest, Screenshots)
{
    const QString Folder = qEnvironmentVariable("VX_SCREENSHOT_DIR");
    if (Folder.isEmpty())
        GTEST_SKIP() << "VX_SCREENSHOT_DIR not set";
    Settings.SelectItem1 = QStringLiteral("内容");
    Settings.SelectItem2 = QStringLiteral("メモ");
    Settings.SelectItem3 = QStringLiteral("受付");
    TCallerRecord Known = CallRecordFor(1, QStringLiteral("03-1234-5678"), 1, 4);
    Known.BeforeRecvDateTime = DateTimeToDays(QDateTime(QDate(2026, 12, 1), QTime(9, 5, 0)));
    Known.SchTel[1] = QStringLiteral("09012345678");
    Known.Tel[1] = QStringLiteral("090-1234-5678");
    Known.Pos = QStringLiteral("100-0001");
    Known.Tdfkn = QStringLiteral("東京都");
    Known.Adrs1 = QStringLiteral("千代田区");
    Known.Adrs2 = QStringLiteral("千代田１－１");
    Known.CorpKana = QStringLiteral("ｶﾌﾞｼｷｶﾞｲｼｬ ﾄﾙｳﾞｧﾈ");
    Known.CorpKanji = QStringLiteral("株式会社トルヴァネ");
    Known.NameKana = QStringLiteral("ﾀﾅｶ ｲﾁﾛｳ");
    Known.NameKanji = QStringLiteral("田中　一郎");
    Known.PrivCorp = 1;
    Known.Memo1 = QStringLiteral("月末締め");
    Known.EMail = QStringLiteral("tanaka@example.jp");
    Known.SelItem1 = QStringLiteral("見積依頼");
    Known.ExtFile = QStringList{QStringLiteral("/home/office/見積/2026-12.pdf")};
    Known.Note = QStringList{QStringLiteral("午前中は不在")};
    Known.Msg = 1;
    Known.Msg1 = QStringLiteral("至急折り返し");
    Known.Msg2 = QStringLiteral("担当：佐藤");
    Known.BGColor = QStringLiteral("$80ffff");
    Open(Known);
    View->grab().save(QDir(Folder).filePath(QStringLiteral("recvview-known.png")));
    QTest::mouseClick(View->btnLockUnlock, Qt::LeftButton);
    View->grab().save(QDir(Folder).filePath(QStringLiteral("recvview-locked.png")));
    Open(CallRecordFor(2, QStringLiteral("090-8765-4321")));
    View->grab().save(QDir(Folder).filePath(QStringLiteral("recvview-unknown.png")));
    Settings.UseFbAdrs = true;
    TCallerRecord Book = CallRecordFor(3, QStringLiteral("03-1234-5678"), 1, 4);
    Book.Tel[2] = QStringLiteral("090-1234-5678");
    Book.SchTel[2] = QStringLiteral("09012345678");
    Open(Book);
    View->grab().save(QDir(Folder).filePath(QStringLiteral("recvview-addressbook.png")));
}

} // namespace
