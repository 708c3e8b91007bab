#include "tests/support/MeiboFixture.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/XDesktop.h"
#include "utility/start/UtilityRunning.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRect>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QRect LaptopScreen(0, 0, 1366, 768);

// A laptop's 1366 x 768 screen with the desktop's scale at 100, 150 or 200 %: every window opens whole
// on the screen, whatever did not fit scrolled inside it, and no label, edit, check box or button cuts
// its text.
class SmallScreenE2ETest : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        if (const QString Missing = TXDesktop::Missing(true, true); !Missing.isEmpty())
            GTEST_SKIP() << Missing.toStdString();
        Desktop = std::make_unique<TXDesktop>(Program.TempPath(QStringLiteral("desktop-ready")),
                                              QStringLiteral("1366x768x24"));
        ASSERT_TRUE(Desktop->Ready);
        Desktop->Host(Program);
        Program.Environment().insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(GetParam()));
    }

    // The window of that object name and title, shown: whole on the screen, its title bar above its client
    // area, nothing cut; its picture taken as Shot. The window's X id, 0 when it never came.
    qulonglong Look(const QString& Name, const QString& Title, const QString& Shot)
    {
        SCOPED_TRACE(Title.toStdString());
        const qulonglong Window = Desktop->WaitForWindow(Title);
        EXPECT_NE(Window, 0u);
        if (Window == 0)
            return 0;
        QThread::msleep(500); // the window manager frames the window
        const QRect Area = Desktop->ClientArea(Window);
        EXPECT_TRUE(LaptopScreen.contains(Area) && Area.top() > 0)
            << Area.x() << "," << Area.y() << " " << Area.width() << "x" << Area.height();
        const QJsonObject State = StateNow(Name);
        const QJsonArray Cut = State.value(QStringLiteral("cut")).toArray();
        EXPECT_TRUE(Cut.isEmpty()) << QJsonDocument(Cut).toJson(QJsonDocument::Compact).toStdString();
        // Content scrolled sideways only where the screen had no more width to give.
        if (State.value(QStringLiteral("bars"))
                .toObject()
                .value(QStringLiteral("scrClient"))
                .toArray()
                .at(0)
                .toBool()) {
            EXPECT_GE(Area.width(), LaptopScreen.width() - 40) << "a scroll bar where the screen had room";
        }
        Desktop->Screenshot(QStringLiteral("small-screen-") + Shot + u'-' + QString::fromLatin1(GetParam()));
        return Window;
    }

    QJsonObject StateNow(const QString& Name)
    {
        const QJsonObject State = Program.WindowStateNow(Name);
        EXPECT_FALSE(State.isEmpty()) << Name.toStdString() << " never logged itself";
        return State;
    }

    // Clicks Button of the open window Name through its script.
    void Click(const QString& Name, const char* Button)
    {
        ASSERT_TRUE(Program.WaitForWindow(Name));
        Program.AnswerDialog(Name, {}, QString::fromLatin1(Button));
    }

    void WaitUntilGone(const QString& Title) const
    {
        for (int Poll = 0; Poll < 50 && Desktop->Shows(Title); ++Poll)
            QThread::msleep(100);
    }

    // The list that "一覧(&L)" of the open window Owner opens once the buttons Chosen are clicked, looked
    // at and closed again.
    void LookAtItsList(const QString& Owner, std::initializer_list<const char*> Chosen, const QString& List,
                       const QString& Title, const QString& Shot)
    {
        for (const char* Button : Chosen)
            Click(Owner, Button);
        Click(Owner, "btnList");
        CloseByKey(Look(List, Title, Shot), Title);
    }

    // Escape into the window until it is gone.
    void CloseByKey(qulonglong Window, const QString& Title)
    {
        for (int Poll = 0; Window != 0 && Poll < 50 && Desktop->Shows(Title); ++Poll) {
            if (Poll % 10 == 0)
                Desktop->KeyIn(Window, QStringLiteral("Escape"));
            QThread::msleep(100);
        }
    }

    // The caller the directory knows, with a place a map can show.
    void AddEntry()
    {
        WriteMeiboEntry(Program.DataFolder(), {{QStringLiteral("SchTel1"), QStringLiteral("0312345678")},
                                               {QStringLiteral("Tel1"), QStringLiteral("03-1234-5678")},
                                               {QStringLiteral("NameKanji"), QStringLiteral("田中　一郎")},
                                               {QStringLiteral("Tdfkn"), QStringLiteral("東京都")},
                                               {QStringLiteral("Adrs1"), QStringLiteral("千代田区丸の内")},
                                               {QStringLiteral("Latitude"), 128452450},
                                               {QStringLiteral("Longitude"), 503161650}});
    }

    // The menu window shown, the directory list and the record window of the entry opened from it.
    void OpenTheRecord()
    {
        AddEntry();
        Program.SetSetting(QStringLiteral("SCREEN VIEW"), QStringLiteral("MenuVisible"), QStringLiteral("1"));
        ASSERT_TRUE(Program.StartAndWaitForLine());
        ASSERT_NE(Look(QStringLiteral("MainForm"), QStringLiteral("Tolvane１６ メニュー"), QStringLiteral("menu")), 0u);
        Click(QStringLiteral("MainForm"), "tbtnMeiboList");
        ASSERT_NE(Look(QStringLiteral("MeiboList"), QStringLiteral("登録名簿一覧"), QStringLiteral("directory")), 0u);
        Click(QStringLiteral("MeiboList"), "btnInquiry");
        ASSERT_NE(Look(QStringLiteral("MeiboView"), QStringLiteral("登録名簿　照会"), QStringLiteral("record")), 0u);
    }

    // The map window that the record window's map button opens for the map program Map, found in the
    // registry under Key.
    void LookAtTheMap(int Map, const QString& Key, const QString& Name, const QString& Title)
    {
        QDir().mkpath(Program.DataHome() + QStringLiteral("Pelmar"));
        QFile Registry(Program.DataHome() + QStringLiteral("Pelmar/registry.ini"));
        ASSERT_TRUE(Registry.open(QIODevice::WriteOnly));
        Registry.write(QStringLiteral("[%1]\nInstalled=1\n").arg(Key).toUtf8());
        Registry.close();
        Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("Map"), QString::number(Map));
        OpenTheRecord();
        if (HasFatalFailure())
            return;
        Click(QStringLiteral("MeiboView"), "bbtnMap");
        const qulonglong Window = Look(Name, Title, Name);
        ASSERT_NE(Window, 0u);
        CloseByKey(Window, Title);
    }

    TProgramHarness Program;
    std::unique_ptr<TXDesktop> Desktop;
};

TEST_P(SmallScreenE2ETest, TheWindowsOfACallStandWhole)
{
    Program.SetSetting(QStringLiteral("OPERATION"), QStringLiteral("RecvViewPopup"), QStringLiteral("1"));
    Program.SetSetting(QStringLiteral("SCREEN VIEW"), QStringLiteral("MenuVisible"), QStringLiteral("1"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    ASSERT_TRUE(Program.WaitForRows(1));
    const qulonglong Call = Look(QStringLiteral("ReceiveView"), QStringLiteral("着信照会"), QStringLiteral("call"));
    ASSERT_NE(Call, 0u);
    // The call's window stands in front of the list: out of the way for the list's picture, as a user
    // would drag it.
    Desktop->XDoTool(
        {QStringLiteral("windowmove"), QString::number(Call), QStringLiteral("1300"), QStringLiteral("0")});
    Click(QStringLiteral("MainForm"), "tbtnHisList");
    (void)Look(QStringLiteral("HistoryList"), QStringLiteral("着信対応履歴一覧"), QStringLiteral("history"));
}

TEST_P(SmallScreenE2ETest, TheMenuCommandsWindowsStandWhole)
{
    // The start-up's notice that no CD drive is there.
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("OK"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    for (const char* Number : {"0312340001", "0312340002"}) {
        ASSERT_EQ(Program.Ring(QString::fromLatin1(Number)), 0);
    }
    ASSERT_TRUE(Program.WaitForRows(2));
    const struct
    {
        const char* Command;
        const char* Window;
        QString Title;
        const char* Shot;
    } Windows[] = {
        {"tbtnEnv", "Environment", QStringLiteral("環境設定"), "settings"},
        {"mmImportFile", "FileImport", QStringLiteral("テキストファイル取り込み"), "import"},
    };
    for (const auto& Window : Windows) {
        Click(QStringLiteral("MainForm"), Window.Command);
        const qulonglong Shown =
            Look(QString::fromLatin1(Window.Window), Window.Title, QString::fromLatin1(Window.Shot));
        ASSERT_NE(Shown, 0u);
        Click(QString::fromLatin1(Window.Window), "btnCancel");
        WaitUntilGone(Window.Title);
    }

    // The export and its list of the call history.
    Click(QStringLiteral("MainForm"), "mmExportFile");
    const qulonglong Export =
        Look(QStringLiteral("FileExport"), QStringLiteral("テキストファイル出力"), QStringLiteral("export"));
    ASSERT_NE(Export, 0u);
    LookAtItsList(QStringLiteral("FileExport"), {"rbNormal", "bbtnAllSet"}, QStringLiteral("RecvHisFileExportList"),
                  QStringLiteral("テキストファイル出力　着信対応履歴一覧"), QStringLiteral("export-list"));
    Click(QStringLiteral("FileExport"), "btnCancel");
    WaitUntilGone(QStringLiteral("テキストファイル出力"));

    // The list print, its list and its preview.
    Click(QStringLiteral("MainForm"), "mmListPrint");
    ASSERT_NE(Look(QStringLiteral("ListPrint"), QStringLiteral("一覧表の印刷"), QStringLiteral("print")), 0u);
    LookAtItsList(QStringLiteral("ListPrint"), {"bbtnSet"}, QStringLiteral("RecvHisListPrintList"),
                  QStringLiteral("一覧表印刷　着信対応履歴一覧"), QStringLiteral("print-list"));
    Click(QStringLiteral("ListPrint"), "btnPreview");
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("ListPrintPreview")));
    (void)Look(QStringLiteral("ListPrintPreview"),
               StateNow(QStringLiteral("ListPrintPreview")).value(u"title").toString(), QStringLiteral("preview"));
}

TEST_P(SmallScreenE2ETest, TheDirectorysWindowsStandWhole)
{
    OpenTheRecord();
}

TEST_P(SmallScreenE2ETest, TheProAtlasMapStandsWhole)
{
    LookAtTheMap(1, QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ALPS\\Rdw70\\Program"),
                 QStringLiteral("ProAtlasView"), QStringLiteral("プロアトラス2002"));
}

TEST_P(SmallScreenE2ETest, TheMapFanMapStandsWhole)
{
    LookAtTheMap(5, QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Increment P Corporation\\MapFan\\5"),
                 QStringLiteral("MapFanView"), QStringLiteral("MapFan"));
}

TEST_P(SmallScreenE2ETest, TheUtilityStandsWhole)
{
    Program.SetProgram(QStringLiteral("VxUtil16"), Utility::UTILITY_INSTANCE_NAME);
    ASSERT_TRUE(Program.Start());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    const qulonglong Window =
        Look(QStringLiteral("MainForm"), QStringLiteral("Tolvane１６ ユーティリティ"), QStringLiteral("utility"));
    ASSERT_NE(Window, 0u);
}

INSTANTIATE_TEST_SUITE_P(Scales, SmallScreenE2ETest, ::testing::Values("1", "1.5", "2"),
                         [](const ::testing::TestParamInfo<const char*>& Info) {
                             return std::string(Info.param) == "1.5" ? std::string("OneAndAHalf")
                                                                     : std::string("Times") + Info.param;
                         });

} // namespace
