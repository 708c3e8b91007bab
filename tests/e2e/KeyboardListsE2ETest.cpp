#include "tests/support/MeiboFixture.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/XDesktop.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The lists as someone who works from the keyboard alone meets them on a desktop with a window manager:
// the menu window's mnemonics open them, the opened window takes the keys, and a place stored on a
// screen that is gone opens on the screen there is.
class KeyboardListsE2ETest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const QString Missing = TXDesktop::Missing(true, true); !Missing.isEmpty())
            GTEST_SKIP() << Missing.toStdString();
        Desktop = std::make_unique<TXDesktop>(Program.TempPath(QStringLiteral("desktop-ready")));
        ASSERT_TRUE(Desktop->Ready);
        Desktop->Host(Program);
    }

    // Starts the program with its menu window shown and waits until the window manager has it.
    void StartWithMenuWindow()
    {
        Program.SetSetting(QStringLiteral("SCREEN VIEW"), QStringLiteral("MenuVisible"), QStringLiteral("1"));
        ASSERT_TRUE(Program.StartAndWaitForLine());
        Menu = Desktop->WaitForWindow(QStringLiteral("Tolvane１６ メニュー"));
        ASSERT_NE(Menu, 0u);
    }

    // Opens a list through the menu window's "ファイル(&F)" and its item's mnemonic Key, then, as its keys
    // go, moves to the second line and asks for it with "照会(&I)".
    void InquireSecondLine(const QString& Key, const QString& Title)
    {
        Desktop->KeyIn(Menu, QStringLiteral("alt+f"));
        Type(Key);
        const qulonglong List = Desktop->WaitForWindow(Title);
        ASSERT_NE(List, 0u);
        ASSERT_TRUE(BecomesActive(List)) << "the list opened without the keyboard";
        Type(QStringLiteral("Down"));
        Type(QStringLiteral("alt+i"));
    }

    // Keys to whichever window has the keyboard now, as a person types without clicking first.
    void Type(const QString& Keys) const
    {
        Desktop->XDoTool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("120"), Keys});
    }

    [[nodiscard]] qulonglong ActiveWindow() const
    {
        return Desktop->XDoTool({QStringLiteral("getactivewindow")}).toULongLong();
    }
    // Waits until Window is the active one (the window manager hands the focus over in its own time).
    [[nodiscard]] bool BecomesActive(qulonglong Window) const
    {
        QElapsedTimer Clock;
        Clock.start();
        while (Clock.elapsed() < TProgramHarness::Patience) {
            if (ActiveWindow() == Window)
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    // Whether the last fill of the window named Name shows Text anywhere.
    [[nodiscard]] bool LastFillShows(const QString& Name, const QString& Text) const
    {
        const QList<QJsonObject> Fills = Program.WindowFills(Name);
        return !Fills.isEmpty() && QString::fromUtf8(QJsonDocument(Fills.last()).toJson()).contains(Text);
    }

    // Clicks Button of the open window Name through its script and waits until that was done.
    void ClickAndWait(const QString& Name, const QString& Button)
    {
        const qsizetype Before = Program.WindowFills(Name).size();
        Program.ScriptLine(
            {{QStringLiteral("window"), Name}, {QStringLiteral("click"), Button}, {QStringLiteral("log"), true}});
        QElapsedTimer Clock;
        Clock.start();
        while (Program.WindowFills(Name).size() <= Before && Clock.elapsed() < TProgramHarness::Patience)
            QThread::msleep(100);
    }

    // The boxes shown so far, for a failure's message.
    [[nodiscard]] QString BoxTexts() const
    {
        QStringList Texts;
        for (const QJsonObject& Box : Program.Boxes())
            Texts << Box.value(QStringLiteral("text")).toString();
        return Texts.join(QStringLiteral(" | "));
    }

    TProgramHarness Program;
    std::unique_ptr<TXDesktop> Desktop;
    qulonglong Menu = 0;
};

// Alt+F, R opens the call-history list with its list in hand: Down moves to the older call, Alt+I
// opens that one in the incoming-call window.
TEST_F(KeyboardListsE2ETest, TheCallHistoryListOpenedByKeysTakesTheKeys)
{
    StartWithMenuWindow();
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    ASSERT_TRUE(Program.WaitForRows(1));
    ASSERT_EQ(Program.Ring(QStringLiteral("0698765432")), 0);
    ASSERT_TRUE(Program.WaitForRows(2));

    InquireSecondLine(QStringLiteral("r"), QStringLiteral("着信対応履歴一覧"));
    if (HasFatalFailure())
        return;
    ASSERT_NE(Desktop->WaitForWindow(QStringLiteral("着信照会")), 0u);
    EXPECT_TRUE(LastFillShows(QStringLiteral("ReceiveView"), QStringLiteral("03-1234-5678")))
        << "the incoming-call window shows another call than the one Down selected";
    Desktop->Screenshot(QStringLiteral("keyboard-history-inquiry"));
}

// Alt+F, M opens the directory list, modal, with its list in hand: Down and Alt+I open the second entry.
TEST_F(KeyboardListsE2ETest, TheDirectoryListOpenedByKeysTakesTheKeys)
{
    WriteMeiboEntries(Program.DataFolder(), {{{QStringLiteral("RecNo"), 1},
                                              {QStringLiteral("SchTel1"), QStringLiteral("0312345678")},
                                              {QStringLiteral("Tel1"), QStringLiteral("03-1234-5678")},
                                              {QStringLiteral("NameKanji"), QStringLiteral("田中　一郎")}},
                                             {{QStringLiteral("RecNo"), 2},
                                              {QStringLiteral("SchTel1"), QStringLiteral("0698765432")},
                                              {QStringLiteral("Tel1"), QStringLiteral("06-9876-5432")},
                                              {QStringLiteral("NameKanji"), QStringLiteral("鈴木　花子")}}});
    StartWithMenuWindow();
    InquireSecondLine(QStringLiteral("m"), QStringLiteral("登録名簿一覧"));
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MeiboView")));
    EXPECT_TRUE(LastFillShows(QStringLiteral("MeiboView"), QStringLiteral("鈴木　花子")))
        << "the record window shows another entry than the one Down selected";
    Desktop->Screenshot(QStringLiteral("keyboard-directory-inquiry"));
}

// The export and print lists, opened from their windows with "一覧(&L)": Down and Shift+Down select the
// second and third lines of the list, and its command asks about those two.
TEST_F(KeyboardListsE2ETest, TheExportAndPrintListsOpenedByKeysTakeTheKeys)
{
    // The start-up's notice that no CD drive is there, then no to both questions.
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("OK,No,No"));
    StartWithMenuWindow();
    for (const char* Number : {"0312340001", "0312340002", "0312340003"}) {
        ASSERT_EQ(Program.Ring(QString::fromLatin1(Number)), 0);
    }
    ASSERT_TRUE(Program.WaitForRows(3));

    // Plain text of every item, chosen as in any other test; the list is opened from the keyboard.
    Desktop->KeyIn(Menu, QStringLiteral("alt+f"));
    Type(QStringLiteral("o"));
    const qulonglong Export = Desktop->WaitForWindow(QStringLiteral("テキストファイル出力"));
    ASSERT_NE(Export, 0u);
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("FileExport")));
    Program.AnswerDialog(QStringLiteral("FileExport"), {}, QStringLiteral("rbNormal"));
    ClickAndWait(QStringLiteral("FileExport"), QStringLiteral("bbtnAllSet"));
    ASSERT_TRUE(BecomesActive(Export));
    Type(QStringLiteral("alt+l"));
    const qulonglong ExportList = Desktop->WaitForWindow(QStringLiteral("テキストファイル出力　着信対応履歴一覧"));
    ASSERT_NE(ExportList, 0u);
    ASSERT_TRUE(BecomesActive(ExportList)) << "the export list opened without the keyboard";
    for (const char* Key : {"Down", "shift+Down", "alt+e"})
        Type(QString::fromLatin1(Key));
    ASSERT_TRUE(Program.WaitForBox(QStringLiteral("2件のデータをテキストファイルに出力します  \r\nよろしいですか？  ")))
        << "the export list did not take the keys: " << BoxTexts().toStdString();
    Desktop->Screenshot(QStringLiteral("keyboard-export-list"));
    Type(QStringLiteral("Escape"));
    Desktop->KeyIn(Export, QStringLiteral("Escape"));

    Desktop->KeyIn(Menu, QStringLiteral("alt+f"));
    Type(QStringLiteral("l"));
    const qulonglong Print = Desktop->WaitForWindow(QStringLiteral("一覧表の印刷"));
    ASSERT_NE(Print, 0u);
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("ListPrint")));
    ClickAndWait(QStringLiteral("ListPrint"), QStringLiteral("bbtnSet"));
    ASSERT_TRUE(BecomesActive(Print));
    Type(QStringLiteral("alt+l"));
    const qulonglong PrintList = Desktop->WaitForWindow(QStringLiteral("一覧表印刷　着信対応履歴一覧"));
    ASSERT_NE(PrintList, 0u) << BoxTexts().toStdString();
    ASSERT_TRUE(BecomesActive(PrintList)) << "the print list opened without the keyboard";
    for (const char* Key : {"Down", "shift+Down", "alt+l"})
        Type(QString::fromLatin1(Key));
    ASSERT_TRUE(Program.WaitForBox(QStringLiteral("2件のデータを印刷します  \r\nよろしいですか？  ")))
        << "the print list did not take the keys: " << BoxTexts().toStdString();
    Desktop->Screenshot(QStringLiteral("keyboard-print-list"));
}

// The list's place was stored on a monitor since unplugged, and larger than this screen: it opens whole
// inside the screen's work area.
TEST_F(KeyboardListsE2ETest, AListStoredOffTheScreenOpensOnIt)
{
    Program.SetSetting(QStringLiteral("HISTORY LIST"), QStringLiteral("Left"), QStringLiteral("2600"));
    Program.SetSetting(QStringLiteral("HISTORY LIST"), QStringLiteral("Top"), QStringLiteral("1900"));
    Program.SetSetting(QStringLiteral("HISTORY LIST"), QStringLiteral("Width"), QStringLiteral("1500"));
    Program.SetSetting(QStringLiteral("HISTORY LIST"), QStringLiteral("Height"), QStringLiteral("500"));
    StartWithMenuWindow();
    Desktop->KeyIn(Menu, QStringLiteral("ctrl+r"));
    const qulonglong List = Desktop->WaitForWindow(QStringLiteral("着信対応履歴一覧"));
    ASSERT_NE(List, 0u);
    QThread::msleep(300); // the window manager frames the window
    const QRect Screen(0, 0, 1280, 1024);
    const QRect Frame = Desktop->ClientArea(List);
    EXPECT_TRUE(Screen.contains(Frame)) << Frame.x() << "," << Frame.y() << " " << Frame.width() << "x"
                                        << Frame.height();
    EXPECT_LE(Frame.width(), 1280);
    Desktop->Screenshot(QStringLiteral("keyboard-history-offscreen"));
}

} // namespace
