// The name edits and the closed fields of the real program under a real Japanese input method
// (Mozc through fcitx5), typed into with real keys and clicks. Run through tests/support/ime-session.
#include "tests/support/ImeDesktop.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

using namespace ImeDesktop;

const QString RecvView = QStringLiteral("ReceiveView");
const QString MeiboView = QStringLiteral("MeiboView");

// How many windows of the program the desktop shows now.
int VisibleWindows(TProgramHarness& Program)
{
    QProcess Tool;
    Tool.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                           QStringLiteral("--pid"), QString::number(Program.Process().processId())});
    Tool.waitForFinished(10000);
    return static_cast<int>(Tool.readAllStandardOutput().trimmed().split('\n').size());
}

class NameInputImeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VX_REQUIRE_IME_SESSION();
        Program.UseDesktop();
        Program.SetSetting(QStringLiteral("OPERATION"), QStringLiteral("HisListPopup"), QStringLiteral("1"));
        Program.SetSetting(QStringLiteral("OPERATION"), QStringLiteral("RecvViewPopup"), QStringLiteral("1"));
    }

    // The incoming-call window of a new caller, active on the desktop.
    void OpenReceiveView()
    {
        ASSERT_TRUE(Program.StartAndWaitForLine()) << "the line did not open";
        ASSERT_EQ(Program.Ring(QStringLiteral("0399990000")), 0);
        ASSERT_FALSE(LastFill(Program, RecvView).isEmpty()) << "no incoming-call window";
        ASSERT_TRUE(Activate(QStringLiteral("着信照会")));
    }

    // The record window of a new entry, from the menu window's directory list.
    void OpenMeiboView()
    {
        ASSERT_TRUE(Program.StartAndWaitForLine()) << "the line did not open";
        ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
        Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("tbtnMeiboList"));
        ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MeiboList")));
        Program.AnswerDialog(QStringLiteral("MeiboList"), {}, QStringLiteral("btnAdd"));
        ASSERT_FALSE(LastFill(Program, MeiboView).isEmpty()) << "no record window";
        ASSERT_TRUE(Activate(QStringLiteral("登録名簿　新規登録")));
    }

    // Empties the name pair and puts the focus into Edit, ready for the next name.
    void StartName(const QString& Window, const QString& Edit = QStringLiteral("nmedtNameKanji"))
    {
        Program.ScriptLine({{QStringLiteral("window"), Window},
                            {QStringLiteral("fields"), QJsonObject{{QStringLiteral("nmedtNameKanji"), QString()},
                                                                   {QStringLiteral("nmedtNameKana"), QString()},
                                                                   {QStringLiteral("edtCorpKana"), QString()}}}});
        FocusOn(Program, Window, Edit);
    }

    void ExpectName(const QString& Window, const QString& Kanji, const QString& Kana, const char* Case)
    {
        const QJsonObject Now = Fields(Program, Window);
        EXPECT_EQ(Field(Now, QStringLiteral("nmedtNameKanji")), Kanji) << Case;
        EXPECT_EQ(Field(Now, QStringLiteral("nmedtNameKana")), Kana) << Case;
    }

    // Where the pop-up shows the Column-th name of its first row, once it showed.
    QPoint PopupName(qsizetype Shown, int Column)
    {
        const QJsonObject Popup = LastFill(Program, QStringLiteral("NameDicP"), Shown);
        const QRect Grid = Place(Popup, QStringLiteral("sgNameList"));
        EXPECT_FALSE(Grid.isEmpty()) << "the name-reading pop-up did not show";
        return Grid.topLeft() + QPoint(64 * Column + 32, 8);
    }

    TProgramHarness Program;
};

TEST_F(NameInputImeTest, NumbersAndMailTakePlainLettersWithTheInputMethodOn)
{
    OpenReceiveView();
    for (const char* Name : {"edtTel2", "edtEMail"}) {
        FocusOn(Program, RecvView, QString::fromLatin1(Name));
        ASSERT_TRUE(Type(QString::fromLatin1(Name) == QStringLiteral("edtTel2") ? QStringLiteral("0312349999")
                                                                                : QStringLiteral("taro@example.jp")));
    }
    const QJsonObject Now = Fields(Program, RecvView);
    EXPECT_EQ(Field(Now, QStringLiteral("edtTel2")), QStringLiteral("0312349999"));
    EXPECT_EQ(Field(Now, QStringLiteral("edtEMail")), QStringLiteral("taro@example.jp"));
    // The window takes Japanese where it should: a name field right after is composed.
    StartName(RecvView);
    ASSERT_TRUE(Type(QStringLiteral("tanaka")));
    ASSERT_TRUE(Keys({QStringLiteral("space"), QStringLiteral("Return")}));
    ExpectName(RecvView, QStringLiteral("田中"), QStringLiteral("ﾀﾅｶ"), "a name after the closed fields");
}

TEST_F(NameInputImeTest, TheRecordWindowAndTheSearchDialogKeepNumbersClosedToo)
{
    OpenMeiboView();
    FocusOn(Program, MeiboView, QStringLiteral("edtTel1"));
    ASSERT_TRUE(Type(QStringLiteral("0312349999")));
    FocusOn(Program, MeiboView, QStringLiteral("edtEMail"));
    ASSERT_TRUE(Type(QStringLiteral("hanako@example.jp")));
    const QJsonObject Now = Fields(Program, MeiboView);
    EXPECT_EQ(Field(Now, QStringLiteral("edtTel1")), QStringLiteral("0312349999"));
    EXPECT_EQ(Field(Now, QStringLiteral("edtEMail")), QStringLiteral("hanako@example.jp"));

    // A composition with the pop-up open, for a person to look at.
    StartName(MeiboView);
    ASSERT_TRUE(Type(QStringLiteral("satou")));
    (void)PopupName(1, 1);
    Screenshot(QStringLiteral("ime-meiboview-composition"));
    ASSERT_TRUE(Keys({QStringLiteral("Return")}));
    ExpectName(MeiboView, QStringLiteral("さとう"), QStringLiteral("ｻﾄｳ"), "record window");

    Program.AnswerDialog(MeiboView, {}, QStringLiteral("btnCancel"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MeiboList")));
    Program.AnswerDialog(QStringLiteral("MeiboList"), {}, QStringLiteral("btnSearch"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MeiboSearch")));
    ASSERT_TRUE(Activate(QStringLiteral("登録名簿　検索条件")));
    FocusOn(Program, QStringLiteral("MeiboSearch"), QStringLiteral("edtTel"));
    ASSERT_TRUE(Type(QStringLiteral("0312349999")));
    EXPECT_EQ(Field(Fields(Program, QStringLiteral("MeiboSearch")), QStringLiteral("edtTel")),
              QStringLiteral("0312349999"));
}

TEST_F(NameInputImeTest, OrdinaryTypingStoresTheNameAndItsReading)
{
    OpenReceiveView();
    // Mozc's first candidates, so that what it learns in one test changes nothing in the next.
    StartName(RecvView);
    ASSERT_TRUE(Type(QStringLiteral("tanaka")));
    ASSERT_TRUE(Keys({QStringLiteral("space"), QStringLiteral("Return"), QStringLiteral("space")}));
    ASSERT_TRUE(Type(QStringLiteral("hanako")));
    ASSERT_TRUE(Keys({QStringLiteral("space"), QStringLiteral("Return")}));
    ExpectName(RecvView, QStringLiteral("田中　花子"), QStringLiteral("ﾀﾅｶ ﾊﾅｺ"), "two names");
    Program.AnswerDialog(RecvView, {}, QStringLiteral("btnAddUpd"));
    QStringList Rows;
    for (int Try = 0; Try < 50 && Rows.isEmpty(); ++Try) {
        QThread::msleep(100);
        Rows = Program.Rows(QStringLiteral("SELECT NameKana, NameKanji FROM Meibo"), QStringLiteral("Meibo.DB"));
        if (Rows == QStringList{QStringLiteral("sqlite3 failed")})
            Rows.clear();
    }
    EXPECT_EQ(Rows, QStringList{QStringLiteral("ﾀﾅｶ ﾊﾅｺ|田中　花子")});
}

TEST_F(NameInputImeTest, ThePopupChoosesByMouseAndByKeysWhileAComposingNameIsOpen)
{
    OpenReceiveView();
    // A double click on the third name of the row replaces the composition.
    StartName(RecvView);
    ASSERT_TRUE(Type(QStringLiteral("satou")));
    const QPoint Third = PopupName(1, 3);
    Screenshot(QStringLiteral("ime-recvview-composition"));
    ASSERT_TRUE(Click(Third, 2));
    ExpectName(RecvView, QStringLiteral("左藤　"), QStringLiteral("ｻﾄｳ "), "mouse");

    // From the keyboard: Down enters the list, Right walks it, Enter chooses, none of them for Mozc.
    StartName(RecvView);
    ASSERT_TRUE(Type(QStringLiteral("satou")));
    (void)PopupName(2, 1);
    ASSERT_TRUE(
        Keys({QStringLiteral("Down"), QStringLiteral("Right"), QStringLiteral("Right"), QStringLiteral("Return")}));
    ExpectName(RecvView, QStringLiteral("左藤　"), QStringLiteral("ｻﾄｳ "), "keys");
}

TEST_F(NameInputImeTest, ReadingsFollowWhatWasCommitted)
{
    OpenReceiveView();
    // Committed in pieces: the first segment, then the rest taken back to kana.
    StartName(RecvView);
    ASSERT_TRUE(Type(QStringLiteral("satouhanako")));
    ASSERT_TRUE(Keys(
        {QStringLiteral("space"), QStringLiteral("ctrl+Down"), QStringLiteral("Escape"), QStringLiteral("Return")}));
    ExpectName(RecvView, QStringLiteral("佐藤はなこ"), QStringLiteral("ｻﾄｳﾊﾅｺ"), "pieces");

    // A prediction: the framework reports no reading through Qt, so the reading stays as typed.
    StartName(RecvView);
    ASSERT_TRUE(Type(QStringLiteral("takaha")));
    ASSERT_TRUE(Keys({QStringLiteral("Tab"), QStringLiteral("Return")}));
    ExpectName(RecvView, QStringLiteral("高橋"), QStringLiteral("ﾀｶﾊ"), "prediction");

    // Katakana by F7 closes the pop-up; the name keeps its reading.
    StartName(RecvView);
    const int Before = VisibleWindows(Program);
    ASSERT_TRUE(Type(QStringLiteral("satou")));
    (void)PopupName(1, 1);
    EXPECT_EQ(VisibleWindows(Program), Before + 1) << "the pop-up";
    ASSERT_TRUE(Keys({QStringLiteral("F7")}));
    EXPECT_EQ(VisibleWindows(Program), Before) << "the pop-up stayed after F7";
    Screenshot(QStringLiteral("ime-recvview-katakana"));
    ASSERT_TRUE(Keys({QStringLiteral("Return")}));
    ExpectName(RecvView, QStringLiteral("サトウ"), QStringLiteral("ｻﾄｳ"), "katakana");

    // The company's kana field takes the kana of a conversion, never its kanji.
    // (Mozc has learnt サトウ by now, and learns 田中 in the tests before.)
    StartName(RecvView, QStringLiteral("edtCorpKana"));
    ASSERT_TRUE(Type(QStringLiteral("tanaka")));
    ASSERT_TRUE(Keys({QStringLiteral("space"), QStringLiteral("Return")}));
    EXPECT_EQ(Field(Fields(Program, RecvView), QStringLiteral("edtCorpKana")), QStringLiteral("ﾀﾅｶ"));
}

TEST_F(NameInputImeTest, LeavingInMidCompositionGivesTheNameUp)
{
    OpenReceiveView();
    StartName(RecvView);
    ASSERT_TRUE(Type(QStringLiteral("yamada")));
    const QRect Memo = Place(Fields(Program, RecvView), QStringLiteral("edtMemo1"));
    ASSERT_FALSE(Memo.isEmpty());
    ASSERT_TRUE(Click(Memo.center()));
    ExpectName(RecvView, QString(), QString(), "left by a click");
    EXPECT_EQ(Field(Fields(Program, RecvView), QStringLiteral("edtMemo1")), QString()) << "nothing followed the focus";
}

} // namespace
