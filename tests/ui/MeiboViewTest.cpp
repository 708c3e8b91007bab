#include "directory/list/MeiboPager.h"
#include "directory/picklist/InputLst.h"
#include "directory/record/MeiboVw.h"
#include "main/controls/NMDEdit.h"
#include "main/controls/SortListView.h"
#include "main/device/VxComm.h"
#include "main/identify/AppSub.h"
#include "main/settings/Settings.h"
#include "main/start/MainHooks.h"
#include "platform/ini/IniFile.h"
#include "platform/text/Cp932.h"
#include "tests/support/RecvData.h"
#include "tests/support/ScriptedBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

const QString MsgCounterFull = QStringLiteral("データ管理カウンタが一杯になり登録できませんでした  \r\n"
                                              "最適化処理をおこなうことにより登録できるようになります  ");
const QString MsgSameNumbers = QStringLiteral("電話番号欄にはそれぞれ違う番号を入力してください  ");
const QString MsgBadNumber = QStringLiteral("電話番号は半角数字かハイフンのみが有効です  ");
const QString MsgReplaceIt =
    QStringLiteral("既に同じ電話番号のデータが登録されています  \r\n今回の内容で置き換えますか？  ");
const QString MsgTwoRows =
    QStringLiteral("２つの電話番号がそれぞれ違うデータとして登録されています  \r\n登録できません  ");
const QString MsgNumberTaken =
    QStringLiteral("変更した電話番号と同じ電話番号のデータが  \r\n既に登録されています  \r\n変更はできません  ");

// "$" + the six digits of the button face, blue first, as ColorText keeps it.
QString ButtonFaceText()
{
    const QColor Face = QApplication::palette().color(QPalette::Button);
    return QStringLiteral("$%1%2%3")
        .arg(Face.blue(), 2, 16, QLatin1Char('0'))
        .arg(Face.green(), 2, 16, QLatin1Char('0'))
        .arg(Face.red(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

// Types Text into Widget one character a key, as a keyboard layout that gives them would.
void Type(QWidget* Widget, const QString& Text)
{
    for (const QChar Char : Text) {
        QKeyEvent Press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(Char));
        QApplication::sendEvent(Widget, &Press);
        QKeyEvent Release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(Char));
        QApplication::sendEvent(Widget, &Release);
    }
}

// The moment the tests write at: 2026-12-09 10:20:30.123.
const QDateTime Moment(QDate(2026, 12, 9), QTime(10, 20, 30, 123));

class MeiboViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        SettingsPath = Data.Folder;
        for (const char* Rank : {"Ａ", "Ｂ", "Ｃ"})
            RankHistory->Add(QString::fromUtf8(Rank), 45000);
    }
    void TearDown() override
    {
        Settings = TSettings();
        SettingsPath.clear();
        MeiboViewTools = TMeiboViewTools();
    }
    void Open(const TCallerRecord* Record)
    {
        View = std::make_unique<TMeiboView>(*DMVxRelvo16);
        View->SetClock([] { return Moment; });
        View->ShowRecord(Record);
        View->show();
        View->activateWindow();
        (void)QTest::qWaitForWindowActive(View.get());
    }
    // The entry of a row as the directory list hands it over.
    TCallerRecord Entry(const QString& Number) const
    {
        TCallerRecord Record;
        EXPECT_EQ(SearchOwnDirectory(false, Number, Record), IdentifyFound) << qPrintable(Number);
        return Record;
    }
    void SetField(int RecNo, const char* Field, const QVariant& Value)
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        MeiboTable->SetIndexName(QString());
        ASSERT_TRUE(MeiboTable->FindKey({RecNo}));
        MeiboTable->Edit();
        TField& Target = MeiboTable->FieldByName(QString::fromLatin1(Field));
        if (Value.typeId() == QMetaType::Int)
            Target.SetAsInteger(Value.toInt());
        else
            Target.SetAsString(Value.toString());
        MeiboTable->Post();
    }
    QStringList Rows(const char* Sql) const { return Data.Rows(MeiboFileName, Sql); }
    // Entry 1 with its message on in the colour text Colour, as the directory list hands it over.
    TCallerRecord ColouredEntry(const QString& Colour)
    {
        Data.AddEntry(1, QStringLiteral("03-1234-5678"), QString());
        SetField(1, "BGColor", Colour);
        SetField(1, "Msg", 1);
        return Entry(QStringLiteral("0312345678"));
    }
    // Saves with the button; the window's result once it closed, 0 while it is open.
    int Save()
    {
        QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);
        return View->isVisible() ? 0 : View->result();
    }

    TRecvData Data;
    std::unique_ptr<TMeiboView> View;
};

TEST_F(MeiboViewTest, ANewEntryAndAnExistingOneShowThemselves)
{
    Open(nullptr);
    EXPECT_EQ(View->windowTitle(), QStringLiteral("登録名簿　新規登録"));
    EXPECT_EQ(HelpContextOf(View.get()), 39);
    EXPECT_EQ(View->btnAddUpd->text(), QStringLiteral("登録(&A)"));
    EXPECT_EQ(View->cbxRank->currentText(), QStringLiteral("Ａ"));
    EXPECT_EQ(View->cbxPrivCorp->currentText(), QStringLiteral("個人"));
    EXPECT_FALSE(View->edtLine1->isEnabled());
    EXPECT_EQ(View->ColorText(), ButtonFaceText());
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel1);
    for (const char* Name : {"edtTel1", "lvExtFile", "pnlList", "btnOpenRecv", "mmoNote", "chkMsg", "pnlBGColor"}) {
        EXPECT_NE(View->findChild<QWidget*>(QLatin1String(Name)), nullptr) << Name;
    }
    EXPECT_NE(qobject_cast<TSortListView*>(View->lvExtFile), nullptr);

    Data.AddEntry(7, QStringLiteral("03-1234-5678"), QStringLiteral("-"), QStringLiteral(" 田中　一郎 "));
    SetField(7, "Rank", QStringLiteral("Ｂ"));
    SetField(7, "PrivCorp", QStringLiteral("1"));
    SetField(7, "Msg", 1);
    SetField(7, "Msg1", QStringLiteral("至急"));
    SetField(7, "ExtFile", QStringLiteral("/srv/見積/a.pdf\r\nC:\\Docs\\b.xls\r\n"));
    SetField(7, "Note", QStringLiteral("一\r\n二"));
    TCallerRecord Known = Entry(QStringLiteral("0312345678"));
    Known.AddDateTime = DateTimeToDays(QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5)));
    Open(&Known);
    EXPECT_EQ(View->windowTitle(), QStringLiteral("登録名簿　照会"));
    EXPECT_EQ(HelpContextOf(View.get()), 44);
    EXPECT_EQ(View->btnAddUpd->text(), QStringLiteral("変更(&U)"));
    EXPECT_EQ(View->edtTel2->text(), QString()) << "a number without digits is not shown";
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel1);
    EXPECT_FALSE(View->edtTel1->hasSelectedText());
    EXPECT_EQ(View->edtTel1->cursorPosition(), 12);
    EXPECT_EQ(View->nmedtNameKanji->text(), QStringLiteral("田中　一郎"));
    EXPECT_EQ(View->cbxRank->currentText(), QStringLiteral("Ｂ"));
    EXPECT_EQ(View->cbxPrivCorp->currentIndex(), 1);
    EXPECT_TRUE(View->chkMsg->isChecked());
    EXPECT_TRUE(View->edtLine1->isEnabled());
    EXPECT_EQ(View->lblMsg1->text(), QStringLiteral("至急"));
    EXPECT_EQ(View->mmoNote->toPlainText(), QStringLiteral("一\n二"));
    ASSERT_EQ(View->lvExtFile->topLevelItemCount(), 2);
    EXPECT_EQ(View->lvExtFile->topLevelItem(0)->text(1), QStringLiteral("/srv/見積/"));
    EXPECT_EQ(View->lvExtFile->topLevelItem(1)->text(0), QStringLiteral("2"));
    EXPECT_EQ(View->lvExtFile->topLevelItem(1)->text(2), QStringLiteral("b.xls"));
    EXPECT_EQ(View->edtAddDateTime->text(), QStringLiteral(" 2025/01/02 03:04:05"));
    EXPECT_TRUE(View->edtUpdDateTime->text().isEmpty());

    // A rank the list does not hold selects nothing; there is no near match.
    Known.Rank = QStringLiteral("ａ");
    Open(&Known);
    EXPECT_EQ(View->cbxRank->currentIndex(), -1);
}

TEST_F(MeiboViewTest, NewEntriesTakeTheNextRecNoAndTheUserMayGoOn)
{
    TScriptedBoxes Boxes("Yes,No");
    Open(nullptr);
    View->edtTel1->setText(QStringLiteral("03-1234-5678"));
    View->edtCorpKanji->setText(QStringLiteral(" 株式会社トルヴァネ "));
    View->mmoNote->setPlainText(QStringLiteral(" 一行目\n二行目 "));
    View->chkMsg->click();
    EXPECT_TRUE(View->edtLine1->isEnabled());
    EXPECT_EQ(Save(), 0) << "the user goes on with the next entry";
    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("登録しました  \r\n続けて登録しますか？  ")});
    EXPECT_EQ(View->windowTitle(), QStringLiteral("登録名簿　新規登録"));
    EXPECT_TRUE(View->edtTel1->text().isEmpty());
    EXPECT_TRUE(View->edtCorpKanji->text().isEmpty());
    EXPECT_FALSE(View->chkMsg->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel1);
    EXPECT_EQ(Rows("SELECT RecNo, Tel1, SchTel1, CorpKanji, Msg, Note FROM Meibo"),
              QStringList{QStringLiteral("0|03-1234-5678|0312345678|株式会社トルヴァネ|1| 一行目\r\n二行目 ")});

    // Only a second number: it becomes the first.
    View->edtTel2->setText(QStringLiteral("0466-12-3456"));
    EXPECT_EQ(Save(), 1) << "saved, and the user stops";
    EXPECT_EQ(Rows("SELECT RecNo, Tel1, SchTel1, Tel2, SchTel2 FROM Meibo WHERE RecNo = 1"),
              QStringList{QStringLiteral("1|0466-12-3456|0466123456||")});

    // Times: the creation in whole seconds, the change and the access to the millisecond.
    const QStringList Stamps = Rows("SELECT AddDateTime, UpdDateTime, AxsDateTime FROM Meibo WHERE RecNo = 1");
    ASSERT_EQ(Stamps.size(), 1);
    const QStringList Parts = Stamps[0].split(u'|');
    EXPECT_EQ(DaysToDateTime(Parts[0].toDouble()), QDateTime(QDate(2026, 12, 9), QTime(10, 20, 30)));
    EXPECT_EQ(DaysToDateTime(Parts[1].toDouble()), Moment);
    EXPECT_EQ(DaysToDateTime(Parts[2].toDouble()), Moment);
}

TEST_F(MeiboViewTest, TheCounterRunsOutAt99999)
{
    TScriptedBoxes Boxes;
    Data.AddEntry(99999, QStringLiteral("03-1111-1111"), QString());
    Open(nullptr);
    View->edtTel1->setText(QStringLiteral("03-2222-2222"));
    EXPECT_EQ(Save(), 2) << "refused: nothing was saved in this window";
    EXPECT_EQ(Boxes.Texts(), QStringList({MsgCounterFull, QStringLiteral("登録できませんでした  ")}));
    EXPECT_EQ(Rows("SELECT count(*) FROM Meibo"), QStringList{QStringLiteral("1")});
}

TEST_F(MeiboViewTest, NumbersAreCheckedBeforeAnythingIsLookedUp)
{
    TScriptedBoxes Boxes;
    Open(nullptr);
    View->edtTel1->setText(QStringLiteral("03-1234-5678"));
    View->edtTel2->setText(QStringLiteral("0312345678"));
    EXPECT_EQ(Save(), 0);
    EXPECT_EQ(Boxes.Texts(), QStringList{MsgSameNumbers});
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel1);
    EXPECT_EQ(View->edtTel1->selectedText(), QStringLiteral("03-1234-5678"));

    View->edtTel1->clear();
    View->edtTel2->setText(QStringLiteral("０３－１２３４"));
    EXPECT_EQ(Save(), 0);
    EXPECT_EQ(Boxes.Texts().last(), MsgBadNumber);
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel2);
    EXPECT_EQ(Rows("SELECT count(*) FROM Meibo").value(0, QStringLiteral("0")), QStringLiteral("0"));
}

TEST_F(MeiboViewTest, BothNumbersOfOneEntryOfferItsReplacement)
{
    TScriptedBoxes Boxes("No,Yes,No");
    Data.AddEntry(3, QStringLiteral("03-1234-5678"), QStringLiteral("0466-12-3456"), QStringLiteral("旧"));
    Open(nullptr);
    View->edtTel1->setText(QStringLiteral("0466-12-3456"));
    View->edtTel2->setText(QStringLiteral("03-1234-5678"));
    View->nmedtNameKanji->setText(QStringLiteral("新"));
    EXPECT_EQ(Save(), 0) << "declined";
    EXPECT_EQ(Boxes.Texts(), QStringList{MsgReplaceIt});
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel2) << "the second number hit as well";

    EXPECT_EQ(Save(), 1);
    EXPECT_EQ(Boxes.Texts().mid(1),
              QStringList({MsgReplaceIt, QStringLiteral("変更しました  \r\n続けて登録しますか？  ")}));
    EXPECT_EQ(Rows("SELECT RecNo, Tel1, Tel2, NameKanji FROM Meibo"),
              QStringList{QStringLiteral("3|0466-12-3456|03-1234-5678|新")});

    // The numbers of two entries cannot become one entry.
    Data.AddEntry(4, QStringLiteral("090-1111-2222"), QString());
    Open(nullptr);
    View->edtTel1->setText(QStringLiteral("090-1111-2222"));
    View->edtTel2->setText(QStringLiteral("0466-12-3456"));
    EXPECT_EQ(Save(), 0);
    EXPECT_EQ(Boxes.Texts().last(), MsgTwoRows);
}

TEST_F(MeiboViewTest, AnExistingEntrysNumbersMayBeSwappedButNotTakenFromAnother)
{
    TScriptedBoxes Boxes;
    Data.AddEntry(1, QStringLiteral("03-1234-5678"), QStringLiteral("0466-12-3456"));
    // An import left a second entry with the same number: a look-up of it would refuse the swap.
    Data.AddEntry(2, QStringLiteral("0466-12-3456"), QString());
    TCallerRecord Known = Entry(QStringLiteral("0312345678"));
    ASSERT_EQ(Known.RecNo, 1);
    Open(&Known);
    QTest::mouseClick(View->bbtnExchange, Qt::LeftButton);
    EXPECT_EQ(View->edtTel1->text(), QStringLiteral("0466-12-3456"));
    EXPECT_EQ(Save(), 1);
    EXPECT_TRUE(Boxes.Texts().isEmpty());
    EXPECT_EQ(Rows("SELECT Tel1, Tel2 FROM Meibo WHERE RecNo = 1"),
              QStringList{QStringLiteral("0466-12-3456|03-1234-5678")});

    Known = Entry(QStringLiteral("0312345678"));
    Data.AddEntry(5, QStringLiteral("090-5555-5555"), QString());
    Open(&Known);
    View->edtTel2->setText(QStringLiteral("090-5555-5555"));
    EXPECT_EQ(Save(), 0);
    EXPECT_EQ(Boxes.Texts(), QStringList{MsgNumberTaken});
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel2);
}

TEST_F(MeiboViewTest, AnUnchangedEntryClosesWithoutAWrite)
{
    TScriptedBoxes Boxes;
    Data.AddEntry(1, QStringLiteral("03-1234-5678"), QString());
    SetField(1, "ExtFile", QStringLiteral("/home/office/Plan.pdf\r\n"));
    SetField(1, "BGColor", QStringLiteral("$0000FF"));
    SetField(1, "Msg", 1);
    const QStringList Before = Rows("SELECT UpdDateTime, AxsDateTime FROM Meibo");
    TCallerRecord Known = Entry(QStringLiteral("0312345678"));
    Open(&Known);
    EXPECT_EQ(View->pnlBGColor->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(View->pnlMsg->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(Save(), 2);
    EXPECT_TRUE(Boxes.Texts().isEmpty());
    EXPECT_EQ(Rows("SELECT UpdDateTime, AxsDateTime FROM Meibo"), Before);

    // Another file on this system, though it differs only in letter case.
    Open(&Known);
    View->lvExtFile->topLevelItem(0)->setText(2, QStringLiteral("plan.pdf"));
    EXPECT_EQ(Save(), 1);
    EXPECT_EQ(Rows("SELECT ExtFile, BGColor FROM Meibo"),
              QStringList{QStringLiteral("/home/office/plan.pdf\r\n|$0000FF")});
}

TEST_F(MeiboViewTest, AWriteTheTableRefusesKeepsTheWindowAndTheInput)
{
    TScriptedBoxes Boxes;
    Data.BreakWrites(MeiboFileName, "Meibo");
    Open(nullptr);
    View->edtTel1->setText(QStringLiteral("03-1234-5678"));
    View->edtCorpKanji->setText(QStringLiteral("株式会社トルヴァネ"));
    EXPECT_EQ(Save(), 0) << "the window stays";
    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("登録できませんでした  ")});
    EXPECT_EQ(View->edtCorpKanji->text(), QStringLiteral("株式会社トルヴァネ"));
    EXPECT_FALSE(View->Saved());
    QTest::mouseClick(View->btnCancel, Qt::LeftButton);
    EXPECT_EQ(View->result(), 2);
}

TEST_F(MeiboViewTest, AColourTextThatIsNoColourShowsTheButtonFaceUntilSaved)
{
    TScriptedBoxes Boxes;
    TCallerRecord Known = ColouredEntry(QStringLiteral("xyz"));
    Open(&Known);
    EXPECT_EQ(View->pnlBGColor->palette().color(QPalette::Window), View->palette().color(QPalette::Button));
    EXPECT_EQ(Rows("SELECT BGColor FROM Meibo"), QStringList{QStringLiteral("xyz")});
    View->edtMemo1->setText(QStringLiteral("変更"));
    EXPECT_EQ(Save(), 1);
    EXPECT_EQ(Rows("SELECT BGColor FROM Meibo"), QStringList{ButtonFaceText()});
}

TEST_F(MeiboViewTest, TheRankButtonEditsTheRankListAndRefillsTheCombo)
{
    Open(nullptr);
    View->cbxRank->setCurrentIndex(1);
    QTimer::singleShot(0, [] {
        auto* Editor = qobject_cast<TInputList*>(QApplication::activeModalWidget());
        ASSERT_NE(Editor, nullptr);
        EXPECT_EQ(Editor->tabctlInputList->count(), 1);
        Editor->edtName->setText(QStringLiteral("特別"));
        Editor->bbtnAdd->click();
        Editor->btnOk->click();
    });
    QTest::mouseClick(View->bbtnRank, Qt::LeftButton);
    ASSERT_EQ(View->cbxRank->count(), 4);
    EXPECT_EQ(View->cbxRank->itemText(0), QStringLiteral("特別"));
    EXPECT_EQ(View->cbxRank->currentText(), QStringLiteral("Ｂ"));
    EXPECT_EQ(View->focusWidget(), View->cbxRank);
}

TEST_F(MeiboViewTest, TheWindowKeepsItsPlaceAndItsHistoryPanel)
{
    {
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteInteger(QStringLiteral("MEIBO VIEW"), QStringLiteral("Left"), 40);
        Ini.WriteInteger(QStringLiteral("MEIBO VIEW"), QStringLiteral("Top"), 30);
        ASSERT_TRUE(Ini.UpdateFile());
    }
    Open(nullptr);
    EXPECT_EQ(View->pos(), QPoint(40, 30));
    EXPECT_FALSE(View->pnlList->isVisible());
    const int Short = View->height();
    QTest::mouseClick(View->btnOpenRecv, Qt::LeftButton);
    EXPECT_TRUE(View->pnlList->isVisible());
    EXPECT_GT(View->height(), Short);
    EXPECT_EQ(View->btnOpenRecv->text(), QStringLiteral("照会データの履歴一覧を隠す(&H)"));
    View.reset();
    const TMemIniFile Ini(SettingsFileName());
    EXPECT_TRUE(Ini.ReadBool(QStringLiteral("MEIBO VIEW"), QStringLiteral("RecvList"), false));
    Open(nullptr);
    EXPECT_TRUE(View->pnlList->isVisible()) << "the next window opens as the last one closed";
}

// The place is fitted to the screen with the history panel's height: a window stored beyond the screen's
// bottom opens whole, panel and all.
TEST_F(MeiboViewTest, APlaceOffEveryScreenOpensInsideTheWorkArea)
{
    {
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteInteger(QStringLiteral("MEIBO VIEW"), QStringLiteral("Left"), 3000);
        Ini.WriteInteger(QStringLiteral("MEIBO VIEW"), QStringLiteral("Top"), 2000);
        Ini.WriteBool(QStringLiteral("MEIBO VIEW"), QStringLiteral("RecvList"), true);
        ASSERT_TRUE(Ini.UpdateFile());
    }
    Open(nullptr);
    ASSERT_TRUE(View->pnlList->isVisible());
    const QRect Area = View->screen()->availableGeometry();
    EXPECT_TRUE(Area.contains(View->frameGeometry())) << View->frameGeometry().bottom() << " below " << Area.bottom();
}

TEST_F(MeiboViewTest, TheDialButtonFollowsTheAdaptersDialCapability)
{
    SerialCommDLL = TVxCommDLL::Create(nullptr, 0, QStringLiteral(VX_BIN_DIR "/"));
    ASSERT_NE(SerialCommDLL, nullptr);
    ASSERT_TRUE(SerialCommDLL->LoadKinds());
    VxCommDLL = SerialCommDLL.get();
    MeiboViewTools.Dial = [](TMeiboView&, const QStringList&) {};
    const struct
    {
        int Adapter;
        bool Enabled;
    } Cases[] = {{1, false}, {3, true}, {999, true}}; // an unlisted kind may dial
    for (const auto& Case : Cases) {
        Settings.Adapter = Case.Adapter;
        Open(nullptr);
        EXPECT_EQ(View->bbtnDial->isEnabled(), Case.Enabled) << Case.Adapter;
    }
    View.reset();
    VxCommDLL = nullptr;
    SerialCommDLL.reset();
}

// With VX_SCREENSHOT_DIR set, both tabs of the window and the pick-list editor are saved as PNG.
TEST_F(MeiboViewTest, Screenshots)
{
    const QString Folder = qEnvironmentVariable("VX_SCREENSHOT_DIR");
    if (Folder.isEmpty())
        GTEST_SKIP() << "VX_SCREENSHOT_DIR not set";
    Settings.SelectItem1 = QStringLiteral("内容");
    Settings.SelectItem2 = QStringLiteral("メモ");
    Settings.SelectItem3 = QStringLiteral("受付");
    Data.AddEntry(12, QStringLiteral("03-1234-5678"), QStringLiteral("090-1234-5678"), QStringLiteral("田中　一郎"));
    const struct
    {
        const char* Field;
        QVariant Value;
    } Fields[] = {
        {"Pos", QStringLiteral("1000001")},
        {"Tdfkn", QStringLiteral("東京都")},
        {"Adrs1", QStringLiteral("千代田区")},
        {"Adrs2", QStringLiteral("千代田１－１")},
        {"Adrs3", QStringLiteral("トルヴァネビル３階")},
        {"CorpKana", QStringLiteral("ｶﾌﾞｼｷｶﾞｲｼｬ ﾄﾙｳﾞｧﾈ")},
        {"CorpKanji", QStringLiteral("株式会社トルヴァネ")},
        {"NameKana", QStringLiteral("ﾀﾅｶ ｲﾁﾛｳ")},
        {"PrivCorp", QStringLiteral("1")},
        {"Memo1", QStringLiteral("月末締め")},
        {"Memo2", QStringLiteral("午前中は不在")},
        {"EMail", QStringLiteral("tanaka@example.jp")},
        {"Rank", QStringLiteral("Ｂ")},
        {"Msg", 1},
        {"Msg1", QStringLiteral("至急折り返し")},
        {"Msg2", QStringLiteral("担当：佐藤")},
        {"BGColor", QStringLiteral("$80FFFF")},
        {"ExtFile", QStringLiteral("/home/office/見積/2026-12.pdf\r\n/home/office/地図.png\r\n")},
        {"Note", QStringLiteral("駐車場は裏手\r\n請求書は郵送")},
    };
    for (const auto& F : Fields)
        SetField(12, F.Field, F.Value);
    TCallerRecord Known = Entry(QStringLiteral("0312345678"));
    Known.AddDateTime = DateTimeToDays(QDateTime(QDate(2025, 4, 1), QTime(9, 30, 0)));
    Known.UpdDateTime = DateTimeToDays(Moment);
    Open(&Known);
    View->grab().save(QDir(Folder).filePath(QStringLiteral("meiboview-main.png")));
    View->pgcMeibo->setCurrentWidget(View->tabSub);
    View->grab().save(QDir(Folder).filePath(QStringLiteral("meiboview-sub.png")));
    QTest::mouseClick(View->btnOpenRecv, Qt::LeftButton);
    View->grab().save(QDir(Folder).filePath(QStringLiteral("meiboview-history.png")));
    QTest::mouseClick(View->btnOpenRecv, Qt::LeftButton);
    Open(nullptr);
    View->grab().save(QDir(Folder).filePath(QStringLiteral("meiboview-new.png")));

    SelItemHistory[0]->Add(QStringLiteral("見積依頼"), 45000);
    SelItemHistory[0]->Add(QStringLiteral("注文"), 45000);
    SelItemHistory[0]->Add(QStringLiteral("苦情"), 45000);
    TInputList Editor;
    Editor.Prepare(false);
    Editor.SelectList(1);
    Editor.show();
    Editor.lbxList->item(1)->setSelected(true);
    Editor.edtName->setText(QStringLiteral("問い合わせ"));
    Editor.grab().save(QDir(Folder).filePath(QStringLiteral("inputlist.png")));
}

} // namespace

// A full address edit takes no more: a character typed into it is refused, the text around the
// caret stays whole, and of a longer insertion only what fits goes in.
TEST_F(MeiboViewTest, AFullEditRefusesWhatDoesNotFitAndKeepsItsText)
{
    TScriptedBoxes Boxes;
    Open(nullptr);
    QLineEdit* Edit = View->edtAdrs3;
    const QString Full = QString(56, QChar(u'ア')) + QStringLiteral("ビル"); // 116 bytes
    Edit->setText(Full);
    Edit->setFocus();
    Edit->setCursorPosition(3);
    Type(Edit, QStringLiteral("西"));
    EXPECT_EQ(Edit->text(), Full) << "the last character must not give way";
    QTest::keyClick(Edit, Qt::Key_Backspace);
    EXPECT_EQ(Cp932Width(Edit->text()), 114);
    QInputMethodEvent Commit; // an input method commits two characters where one fits
    Commit.setCommitString(QStringLiteral("西東"));
    QApplication::sendEvent(Edit, &Commit);
    EXPECT_EQ(Edit->text(),
              QString(2, QChar(u'ア')) + QStringLiteral("西") + QString(53, QChar(u'ア')) + QStringLiteral("ビル"));
    Edit->selectAll();
    Type(Edit, QStringLiteral("南"));
    EXPECT_EQ(Edit->text(), QStringLiteral("南")) << "a selection replaced makes room";

    View->edtTel1->setText(QStringLiteral("03-1234-5678"));
    Edit->setText(Full);
    Edit->setCursorPosition(0);
    Type(Edit, QStringLiteral("西"));
    (void)Save(); // a new entry: the window offers to go on with the next
    EXPECT_EQ(Rows("SELECT Adrs3 FROM Meibo"), QStringList{Full});
}

// A colour is a number however it is written; the entry keeps the text it had, and the colour
// controls follow the message switch.
TEST_F(MeiboViewTest, AShortColourNumberIsAColourAndTheColourButtonsFollowTheMessage)
{
    TScriptedBoxes Boxes;
    TCallerRecord Known = ColouredEntry(QStringLiteral("$FF"));
    Open(&Known);
    EXPECT_EQ(View->pnlBGColor->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(View->pnlMsg->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(Save(), 2) << "nothing changed";
    Open(&Known);
    View->edtMemo1->setText(QStringLiteral("変更"));
    EXPECT_EQ(Save(), 1);
    EXPECT_EQ(Rows("SELECT BGColor, Msg FROM Meibo"), QStringList{QStringLiteral("$FF|1")});

    SetField(1, "Msg", 0);
    TCallerRecord Quiet = Entry(QStringLiteral("0312345678"));
    Open(&Quiet);
    EXPECT_FALSE(View->bbtnBGColor->isEnabled());
    EXPECT_FALSE(View->bbtnResetColor->isEnabled());
    EXPECT_FALSE(View->pnlMsg->isEnabled());
    qputenv("VX_MSGBOX_ANSWERS", "OK");
    View->bbtnBGColor->click();
    View->edtMemo1->setText(QStringLiteral("変更２"));
    EXPECT_EQ(Save(), 1);
    EXPECT_EQ(Rows("SELECT BGColor, Msg FROM Meibo"), QStringList{QStringLiteral("$FF|0")});
    Open(&Quiet);
    QTest::mouseClick(View->chkMsg, Qt::LeftButton);
    EXPECT_TRUE(View->bbtnBGColor->isEnabled());
    EXPECT_TRUE(View->pnlMsg->isEnabled());
}

// A note read from the list keeps its last line break through a save of something else, and the
// keyboard can break a line: Ctrl+Enter, since Enter moves on.
TEST_F(MeiboViewTest, TheNoteKeepsItsLastBreakAndCtrlEnterBreaksALine)
{
    TScriptedBoxes Boxes;
    Data.AddEntry(1, QStringLiteral("03-1234-5678"), QString());
    SetField(1, "Note", QStringLiteral("折り返し連絡\r\n"));
    TCallerRecord Listed;
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        MeiboTable->SetIndexName(QString());
        ASSERT_TRUE(MeiboTable->FindKey({1}));
        MeiboRowToRecord(*MeiboTable, Listed);
    }
    Open(&Listed);
    EXPECT_EQ(Save(), 2) << "nothing changed";
    Open(&Listed);
    View->edtMemo1->setText(QStringLiteral("変更"));
    EXPECT_EQ(Save(), 1);
    EXPECT_EQ(Rows("SELECT Note FROM Meibo"), QStringList{QStringLiteral("折り返し連絡\r\n")});

    Open(&Listed);
    View->mmoNote->setFocus();
    View->mmoNote->moveCursor(QTextCursor::End);
    Type(View->mmoNote, QStringLiteral("午後"));
    QTest::keyClick(View->mmoNote, Qt::Key_Return, Qt::ControlModifier);
    Type(View->mmoNote, QStringLiteral("再度"));
    EXPECT_TRUE(View->mmoNote->hasFocus());
    QTest::keyClick(View->mmoNote, Qt::Key_Return);
    EXPECT_TRUE(View->btnAddUpd->hasFocus());
    EXPECT_EQ(Save(), 1);
    EXPECT_EQ(Rows("SELECT Note FROM Meibo"), QStringList{QStringLiteral("折り返し連絡\r\n午後\r\n再度")});
}

// Opening the sub tab puts the caret where something can be typed, not into the date stamps.
TEST_F(MeiboViewTest, TheSubTabDoesNotFocusItsDateStamps)
{
    TScriptedBoxes Boxes;
    Open(nullptr);
    View->edtTel1->setFocus();
    View->pgcMeibo->setCurrentIndex(1);
    QWidget* Focused = QApplication::focusWidget();
    EXPECT_NE(Focused, View->edtAddDateTime);
    EXPECT_NE(Focused, View->edtUpdDateTime);
    QTest::keyClick(View->pgcMeibo->currentWidget(), Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), View->edtAddDateTime);
}
