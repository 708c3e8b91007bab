#include "main/start/MainForm.h"

#include "main/device/VxComm.h"
#include "main/settings/Settings.h"
#include "main/start/InfoDialog.h"
#include "main/start/MainHooks.h"
#include "main/start/MainWiring.h"
#include "main/start/MessageView.h"
#include "main/start/RegistDialog.h"
#include "main/start/SplashForm.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/ini/IniFile.h"
#include "platform/sys/Folders.h"
#include "platform/ui/MessageBox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Message boxes go to a log and are answered from a script.
class TBoxLog
{
public:
    explicit TBoxLog(const QByteArray& Answers = {})
    {
        qputenv("VX_MSGBOX_LOG", FileName().toLocal8Bit());
        qputenv("VX_MSGBOX_ANSWERS", Answers);
        ResetMessageBoxAnswers();
    }
    ~TBoxLog()
    {
        qunsetenv("VX_MSGBOX_LOG");
        qunsetenv("VX_MSGBOX_ANSWERS");
    }
    [[nodiscard]] QString FileName() const { return Dir.filePath(QStringLiteral("boxes.log")); }
    [[nodiscard]] QStringList Texts() const
    {
        QFile File(FileName());
        QStringList Result;
        if (!File.open(QIODevice::ReadOnly))
            return Result;
        for (const QByteArray& Line : File.readAll().split('\n'))
            if (!Line.isEmpty())
                Result << QJsonDocument::fromJson(Line).object().value(QStringLiteral("text")).toString();
        return Result;
    }

private:
    QTemporaryDir Dir;
};

class MainFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MainHooks() = {};
        Settings = {};
        UIIdle = true;
        ClosingForUpdate = false;
    }
    void TearDown() override { MainHooks() = {}; }
};

template <typename T> T* Child(QObject* Parent, const char* Name)
{
    return Parent->findChild<T*>(QLatin1String(Name));
}

TEST_F(MainFormTest, MenuItemsAreNamedAndDisabledUntilTheirWindowsExist)
{
    TMainForm Form;
    EXPECT_EQ(Form.windowTitle(), QStringLiteral("Tolvane１６ メニュー"));
    struct TItem
    {
        const char* Name;
        const char* Caption;
        int Tag;
        bool Enabled;
    };
    const TItem Items[] = {
        {"pmiReceiveHistory", "着信対応履歴(&R)", 0, false},
        {"mmHisList", "着信対応履歴(&R)", 0, false},
        {"pmiAdditionMeibo", "登録名簿(&M)", 1, false},
        {"mmMeiboList", "登録名簿(&M)", 1, false},
        {"pmiFileInput", "テキストファイル取り込み(&I)", 2, false},
        {"mmImportFile", "テキストファイル取り込み(&I)", 2, false},
        {"pmiFileOutput", "テキストファイル出力(&O)", 3, false},
        {"mmExportFile", "テキストファイル出力(&O)", 3, false},
        {"pmiGetHistory", "着信履歴取り込み(&G)", 4, false},
        {"mmGetHistory", "着信履歴取り込み(&G)", 4, false},
        {"pmiListPrint", "一覧表印刷(&L)", 5, false},
        {"mmListPrint", "一覧表印刷(&L)", 5, false},
        {"pmiEnvironment", "環境設定(&E)", 6, false},
        {"mmEnvironment", "環境設定(&E)", 6, false},
        {"pmiUtility", "ユーティリティ(&U)", 7, true},
        {"mmUtility", "ユーティリティ(&U)", 7, true},
        {"pmiExit", "終了(&X)", 8, true},
        {"mmExit", "終了(&X)", 8, true},
        {"pmiSearchforHelpOn", "操作ガイド(&H)", 0, false},
        {"mmiTopic", "操作ガイド(&H)", 0, false},
        {"pmiAbout", "バージョン情報(&A)", 1, false},
        {"mmiVersion", "バージョン情報(&A)", 1, false},
        {"pmiRegist", "ユーザー登録(&R)", 0, true},
        {"mmiRegist", "ユーザー登録(&R)", 0, true},
        {"actViewTop", "常に前面に表示する(&T)", 0, true},
        {"actMenuVisible", "メニューを非表示にする(&V)", 0, true},
    };
    for (const TItem& Item : Items) {
        SCOPED_TRACE(Item.Name);
        auto* Action = Child<QAction>(&Form, Item.Name);
        ASSERT_NE(Action, nullptr);
        EXPECT_EQ(Action->text(), QString::fromUtf8(Item.Caption));
        EXPECT_EQ(Action->data().toInt(), Item.Tag);
        EXPECT_EQ(Action->isEnabled(), Item.Enabled);
    }
    EXPECT_EQ(Child<QAction>(&Form, "mmHisList")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(Child<QAction>(&Form, "mmUtility")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
    const QPair<const char*, const char*> Buttons[] = {{"tbtnHisList", " 着信履歴 "},
                                                       {"tbtnMeiboList", " 登録名簿 "},
                                                       {"tbtnEnv", " 環境設定 "},
                                                       {"tbtnExit", " 終了 "}};
    for (const auto& [Name, Caption] : Buttons) {
        EXPECT_EQ(Child<QToolButton>(&Form, Name)->text(), QString::fromUtf8(Caption)) << Name;
    }
    EXPECT_TRUE(Form.tbtnExit->isEnabled());
    EXPECT_FALSE(Form.tbtnEnv->isEnabled());
}

TEST_F(MainFormTest, PresentWindowsOpenModallyWithUIIdleCleared)
{
    QStringList Opened;
    const auto Record = [&Opened](const char* Name) {
        return [&Opened, Name](QWidget*) { Opened << QString::fromLatin1(Name) + (UIIdle ? "+idle" : ""); };
    };
    MainHooks().ShowMeiboList = Record("Meibo");
    MainHooks().ShowFileImport = Record("Import");
    MainHooks().ShowFileExport = Record("Export");
    MainHooks().ShowGetReceiveHistory = Record("GetHistory");
    MainHooks().ShowListPrint = Record("ListPrint");
    MainHooks().ShowVersionInfo = Record("Version");
    TMainForm Form;
    EXPECT_FALSE(Form.mmGetHistory->isEnabled());
    Form.EnableGetHistory(true);
    for (const char* Name : {"mmMeiboList", "pmiFileInput", "mmExportFile", "pmiGetHistory", "mmListPrint", "pmiAbout"})
        Child<QAction>(&Form, Name)->trigger();
    Form.tbtnMeiboList->click();
    EXPECT_EQ(Opened, (QStringList{"Meibo", "Import", "Export", "GetHistory", "ListPrint", "Version", "Meibo"}));
    EXPECT_TRUE(UIIdle);
    // An adapter without a stored history disables the command again.
    Form.EnableGetHistory(false);
    EXPECT_FALSE(Form.pmiGetHistory->isEnabled());
    EXPECT_FALSE(Form.mmGetHistory->isEnabled());
}

TEST_F(MainFormTest, TrayOffersNothingWhileAModalWindowIsOpen)
{
    int HistoryShown = 0;
    MainHooks().ShowHistoryList = [&HistoryShown] { ++HistoryShown; };
    TMainForm Form;
    UIIdle = false;
    Form.tiMainMouseDown(Qt::RightButton);
    EXPECT_EQ(Form.TrayPopupMenu(), nullptr);
    Form.tiMainMouseDown(Qt::LeftButton);
    Form.tiMainDblClick();
    EXPECT_EQ(HistoryShown, 0);

    UIIdle = true;
    EXPECT_EQ(Form.TrayPopupMenu(), Form.pmTray);
    Form.tiMainMouseDown(Qt::RightButton);
    Form.tiMainDblClick();
    EXPECT_EQ(HistoryShown, 0);
    Form.tiMainMouseDown(Qt::LeftButton);
    Form.tiMainDblClick();
    EXPECT_EQ(HistoryShown, 1);
}

TEST_F(MainFormTest, UnseenCallShowsWhenTheMenuComesBackAndTheHistoryCommandClearsIt)
{
    MainHooks().ShowHistoryList = [] {};
    TMainForm Form;
    Form.actMenuVisible->trigger(); // hide
    EXPECT_EQ(Form.actMenuVisible->text(), QStringLiteral("メニューを表示する(&V)"));
    EXPECT_EQ(Form.actMenuVisible->data().toInt(), 1);
    EXPECT_FALSE(Settings.MenuVisible);
    EXPECT_EQ(Child<QAction>(&Form, "pmMenuVisible")->text(), QStringLiteral("メニューを表示する(&V)"));

    // What the call pipeline does with the window hidden: only the tray icon changes.
    Form.SetTrayIcon(TRAY_CALL);
    Form.UnseenCall = true;
    EXPECT_EQ(Form.tbtnHisList->text(), QStringLiteral(" 着信履歴 "));

    Form.actMenuVisible->trigger(); // show
    EXPECT_TRUE(Form.isVisible());
    EXPECT_TRUE(Settings.MenuVisible);
    EXPECT_EQ(Form.actMenuVisible->text(), QStringLiteral("メニューを非表示にする(&V)"));
    EXPECT_EQ(Form.tbtnHisList->text(), QStringLiteral(" 着信有り "));

    Form.tbtnHisList->click();
    EXPECT_FALSE(Form.UnseenCall);
    EXPECT_EQ(Form.TrayIconState(), TRAY_STAND);
    EXPECT_EQ(Form.tbtnHisList->text(), QStringLiteral(" 着信履歴 "));
}

TEST_F(MainFormTest, ViewTopTogglesTheSettingAndTheWindow)
{
    TMainForm Form;
    Form.actViewTop->trigger();
    EXPECT_TRUE(Settings.TopView);
    EXPECT_TRUE(Form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(Child<QAction>(&Form, "mmViewTop")->isChecked());
    Child<QAction>(&Form, "pmViewTop")->trigger();
    EXPECT_FALSE(Settings.TopView);
    EXPECT_FALSE(Form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(Child<QAction>(&Form, "mmViewTop")->isChecked());
}

TEST_F(MainFormTest, CloseQueryAsksAndNoKeepsTheProgram)
{
    struct TCase
    {
        bool EndSession, WindowsEnd, CloseMsg, Update;
        QByteArray Answer;
        bool Closes;
        QStringList Texts;
    };
    const QString Close = QStringLiteral("「Tolvane１６」を終了しますか？  ");
    const QString Session = QStringLiteral("「Tolvane１６」が起動しています  \r\n終了してもよろしいですか？  ");
    const QList<TCase> Cases = {
        {false, true, true, false, "No", false, {Close}},  {false, true, true, false, "Yes", true, {Close}},
        {false, true, false, false, "", true, {}},         {false, true, true, true, "", true, {}},
        {true, true, true, false, "No", false, {Session}}, {true, false, true, false, "", true, {}},
    };
    for (const TCase& Case : Cases) {
        TBoxLog Log(Case.Answer);
        TMainForm Form;
        Settings.WindowsEnd = Case.WindowsEnd;
        Settings.CloseMsg = Case.CloseMsg;
        ClosingForUpdate = Case.Update;
        Form.EndSession = Case.EndSession;
        EXPECT_EQ(Form.FormCloseQuery(), Case.Closes);
        EXPECT_EQ(Log.Texts(), Case.Texts);
        // A refused end of the session is forgotten.
        if (Case.EndSession && !Case.Closes) {
            EXPECT_FALSE(Form.EndSession);
        }
    }
}

TEST_F(MainFormTest, EscapeAndCloseBoxAskButTheTrayExitDoesNot)
{
    TBoxLog Log("No,No");
    Settings.CloseMsg = true;
    TMainForm Form;
    Form.show();
    QTest::keyClick(&Form, Qt::Key_Escape);
    EXPECT_TRUE(Form.isVisible());
    Form.tbtnExit->click();
    EXPECT_TRUE(Form.isVisible());
    EXPECT_EQ(Log.Texts().size(), 2);
    // The tray's exit ends the message loop at once, without the question.
    QTimer::singleShot(0, Form.pmiExit, &QAction::trigger);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(Log.Texts().size(), 2);
}

TEST_F(MainFormTest, SettingsDialogThatClosesForAnUpdateEndsTheProgramWithoutAsking)
{
    TBoxLog Log;
    Settings.CloseMsg = true;
    bool IdleInside = true;
    MainHooks().ShowEnvironment = [&IdleInside](QWidget*) {
        IdleInside = UIIdle;
        ClosingForUpdate = true;
        return 2;
    };
    TMainForm Form;
    Form.show();
    QTimer::singleShot(0, Form.tbtnEnv, &QToolButton::click);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(IdleInside);
    EXPECT_TRUE(Log.Texts().isEmpty());
    EXPECT_FALSE(Form.isVisible());
}

TEST_F(MainFormTest, HelpOpensTheManualPageOfTheActiveWindowOrExplainsWhyNot)
{
    QList<int> Pages;
    bool Unusable = false;
    MainHooks().ShowManualPage = [&Pages](int Context) { Pages << Context; };
    MainHooks().ManualUnusable = [&Unusable] { return Unusable; };
    MainHooks().ManualErrorText = [] { return QStringLiteral("PDFビューアーが見つかりません"); };
    TBoxLog Log;
    TMainForm Form;
    Form.CreateManual();
    Form.show();
    QTest::keyClick(&Form, Qt::Key_F1);
    Form.mmiTopic->trigger();
    EXPECT_EQ(Pages, (QList<int>{3, 999}));

    Unusable = true;
    EXPECT_FALSE(Form.ApplicationHelp(3));
    EXPECT_EQ(
        Log.Texts(),
        QStringList{QStringLiteral(
            "PDFビューアーが見つかりません\r\n\r\n表示できるようにしてから「ヘルプ」メニューの「操作ガイド」を開き  "
            "\r\n「操作ガイドの使用について」をご確認ください  ")});
    Form.RemoveHelpHandler();
}

TEST_F(MainFormTest, StartupDialogs)
{
    TInfoDialog Info(false);
    EXPECT_EQ(Info.windowTitle(), QStringLiteral("Tolvane１６"));
    EXPECT_EQ(Info.lblInfo1->text(), QStringLiteral("Tolvane１６  をお買い上げいただきましてありがとうございます。"));
    EXPECT_EQ(Info.lblInfo2->text(), QStringLiteral("詳しい使い方は、キーボードの ［Ｆ１］キーを押してください。"));
    EXPECT_TRUE(Info.ckbInfo->isChecked());
    EXPECT_FALSE(Info.ckbUpdate->isChecked());
    EXPECT_EQ(HelpContextOf(&Info), 999);

    // The registration prompt answers the tag of its button; any other way out means "later".
    const QPair<const char*, int> Buttons[] = {{"btnRegist", 0}, {"btnLater", 1}, {"btnRegistered", 2}};
    for (const auto& [Name, Tag] : Buttons) {
        TRegistDialog Regist;
        QTimer::singleShot(0, Child<QPushButton>(&Regist, Name), &QPushButton::click);
        EXPECT_EQ(Regist.exec(), Tag) << Name;
    }
    TRegistDialog Regist;
    EXPECT_EQ(Regist.windowTitle(), QStringLiteral("ユーザー登録"));
    QTimer::singleShot(0, &Regist, [&Regist] { QTest::keyClick(&Regist, Qt::Key_Escape); });
    EXPECT_EQ(Regist.exec(), 1);

    TMessageView View;
    View.SetMessage(QStringLiteral("USB-シリアル変換ケーブル使用時の処理中．．．  "));
    EXPECT_EQ(View.windowTitle(), QStringLiteral("処理中"));
    EXPECT_EQ(View.lblMsg->text(), QStringLiteral("USB-シリアル変換ケーブル使用時の処理中．．．  "));
}

TEST_F(MainFormTest, SplashClosesItselfAndWithoutItNothingWaits)
{
    QElapsedTimer Clock;
    Clock.start();
    WaitForSplashClosed();
    EXPECT_LT(Clock.elapsed(), 1000); // far below the splash's 2.5 s, whatever the load

    ShowSplash();
    ASSERT_NE(SplashForm, nullptr);
    EXPECT_EQ(SplashForm->tmrView->interval(), 2500);
    EXPECT_TRUE(SplashForm->tmrView->isActive());
    SplashForm->tmrView->start(20);
    WaitForSplashClosed();
    EXPECT_EQ(SplashForm, nullptr);
}

TEST_F(MainFormTest, MenuWindowArrangedFromTheSettingsStaysShownWithoutATray)
{
    Settings.MenuVisible = false;
    Settings.TopView = true;
    Settings.MenuLeft = 40;
    Settings.MenuTop = 30;
    TMainForm Form;
    Form.ArrangeMenuWindow();
    EXPECT_EQ(Form.pos(), QPoint(40, 30));
    EXPECT_TRUE(Form.actViewTop->isChecked());
    EXPECT_TRUE(Form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Form.width(), 286);
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        EXPECT_FALSE(Form.isVisible());
        EXPECT_EQ(Form.actMenuVisible->data().toInt(), 1);
    } else {
        // The menu window is then the only way into the program: it shows, and cannot be hidden.
        EXPECT_TRUE(Form.isVisible());
        EXPECT_FALSE(Form.actMenuVisible->isEnabled());
        EXPECT_FALSE(Form.findChild<QAction*>(QStringLiteral("pmMenuVisible"))->isEnabled());
    }
}

// The menu window's place on a monitor since unplugged: it opens in the screen's work area.
TEST_F(MainFormTest, MenuWindowStoredOffEveryScreenOpensOnTheScreen)
{
    Settings.MenuVisible = true;
    Settings.MenuLeft = 3000;
    Settings.MenuTop = 2000;
    TMainForm Form;
    Form.ArrangeMenuWindow();
    QApplication::processEvents();
    const QRect Area = Form.screen()->availableGeometry();
    EXPECT_TRUE(Area.contains(Form.frameGeometry())) << Form.frameGeometry().x() << "," << Form.frameGeometry().y()
                                                     << " in " << Area.width() << "x" << Area.height();
    EXPECT_EQ(Form.width(), 286) << "moved, not resized";
}

// The real start-up over the simulated adapter, then the real shut-down.
TEST_F(MainFormTest, StartsOnTheSimulatedLineAndSavesItsPlaceAtTheEnd)
{
    QTemporaryDir Folder;
    const QString DataPath = Folder.filePath(QStringLiteral("Data/"));
    ASSERT_TRUE(QDir().mkpath(DataPath));
    ProgramPath = QStringLiteral(VX_BIN_DIR "/");
    SettingsPath = Folder.path() + QLatin1Char('/');
    {
        QFile Ini(SettingsFileName());
        ASSERT_TRUE(Ini.open(QIODevice::WriteOnly));
        Ini.write(
            QStringLiteral("[COMMON]\nInfo=0\nAdapter=3\nPort=COM1\nDataPath=%1\n[BASE]\nRegister=1\n"
                           "[AUTO UPDATE]\nUpdateCheck=0\n[AUTO BACKUP]\nAutoBU=0\n[SCREEN VIEW]\nMenuVisible=1\n")
                .arg(DataPath)
                .toUtf8());
    }
    TBoxLog Log;
    {
        TMainForm Form;
        ASSERT_TRUE(Form.Startup());
        EXPECT_FALSE(SettingsIncomplete);
        ASSERT_NE(VxCommDLL, nullptr);
        EXPECT_EQ(VxCommDLL->OpenResult(), 0);
        EXPECT_EQ(VxCommDLL->Port(), 1);
        ASSERT_NE(DMVxRelvo16, nullptr);
        EXPECT_NE(RecvHisTable, nullptr);
        EXPECT_NE(SelItemHistory[2], nullptr);
        EXPECT_TRUE(Form.isVisible());
        EXPECT_TRUE(UIIdle);
        QCoreApplication::processEvents(); // the deferred steps: nothing left to ask
        // The stored place is the window's own area, whatever frame the window manager draws.
        Form.setGeometry(QRect(QPoint(50, 60), Form.size()));
    }
    EXPECT_EQ(VxCommDLL, nullptr);
    EXPECT_EQ(SerialCommDLL, nullptr);
    EXPECT_EQ(DMVxRelvo16, nullptr);
    EXPECT_EQ(RankHistory, nullptr);
    QFile Ini(SettingsFileName());
    ASSERT_TRUE(Ini.open(QIODevice::ReadOnly));
    const QString Text = QString::fromUtf8(Ini.readAll());
    EXPECT_TRUE(Text.contains(QStringLiteral("[MENU VIEW]\nLeft=50\nTop=60"))) << Text.toStdString();
    EXPECT_TRUE(Text.contains(QStringLiteral("MenuVisible=1")));
    ProgramPath.clear();
    SettingsPath.clear();
}

// The port is busy at start; in the settings the user picks another adapter. The line's next try opens
// that adapter, and the menu offers its stored history: the adapter now chosen is the one selected.
TEST_F(MainFormTest, RetryAfterABusyPortSelectsTheAdapterChosenInTheSettings)
{
    QTemporaryDir Folder;
    const QString DataPath = Folder.filePath(QStringLiteral("Data/"));
    ASSERT_TRUE(QDir().mkpath(DataPath));
    ProgramPath = QStringLiteral(VX_BIN_DIR "/");
    SettingsPath = Folder.path() + QLatin1Char('/');
    // A complete settings file on the serial adapter 1 at COM1, which keeps no history.
    ASSERT_TRUE(QFile::copy(QStringLiteral(VX_TEST_DATA_DIR "/VxRelvo16.ini"), SettingsFileName()));
    QFile::setPermissions(SettingsFileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    {
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteString(QStringLiteral("COMMON"), QStringLiteral("DataPath"), DataPath);
        ASSERT_TRUE(Ini.UpdateFile());
    }
    // Someone else listens on the simulated adapter's line: its open answers "port busy".
    const QString LineFolder = GetCommonAppDataFolder() + QStringLiteral("Pelmar/VxRelvo16/");
    ASSERT_TRUE(QDir().mkpath(LineFolder));
    QLocalServer Other;
    ASSERT_TRUE(Other.listen(LineFolder + QStringLiteral("vxcomm.sock")));
    MainHooks().ShowEnvironment = [&Other](QWidget*) {
        Settings.Adapter = 3; // "アナログ回線アダプター（履歴・発信対応）", which keeps a history
        Settings.Port = QStringLiteral("USB");
        Other.close();
        return 1;
    };
    MainHooks().ShowGetReceiveHistory = [](QWidget*) {};
    TBoxLog Log;
    {
        TMainForm Form;
        ASSERT_TRUE(Form.Startup());
        ASSERT_NE(VxCommDLL, nullptr);
        EXPECT_EQ(VxCommDLL->OpenResult(), 0);
        EXPECT_EQ(VxCommDLL->Kind(), 3);
        EXPECT_EQ(VxCommDLL->SelectedKind().Kind, 3);
        EXPECT_TRUE(Form.pmiGetHistory->isEnabled());
        EXPECT_TRUE(Form.mmGetHistory->isEnabled());
        EXPECT_EQ(Log.Texts().filter(QStringLiteral("通信ポートがオープンできません  \r\nCOM1")).size(), 1)
            << Log.Texts().join(QLatin1Char('|')).toStdString();
    }
    ProgramPath.clear();
    SettingsPath.clear();
}

// The start-up check of the linked address book: a book that is gone, out of the list or renamed
// counts as changed; a book in order is backed up as the settings ask.
TEST_F(MainFormTest, LinkedAddressBookIsCheckedAndBackedUpAtStart)
{
    QTemporaryDir Fb;
    QTemporaryDir Data;
    ASSERT_TRUE(QDir().mkpath(Fb.filePath(QStringLiteral("Adrs/Book1"))));
    for (const char* Name : {"Adrs/Book1/Adrs.DB", "Adrs/Book1/Keyword1.mtd"}) {
        QFile File(Fb.filePath(QString::fromLatin1(Name)));
        ASSERT_TRUE(File.open(QIODevice::WriteOnly)); // an empty file is an empty table file
    }
    const QString Pelmar = GetCommonAppDataFolder() + QStringLiteral("Pelmar/");
    ASSERT_TRUE(QDir().mkpath(Pelmar + QStringLiteral("fbarea18")));
    const auto Write = [](const QString& Name, const QByteArray& Text) {
        QFile File(Name);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Text);
    };
    Write(Pelmar + QStringLiteral("registry.ini"),
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\fbarea18.exe]\n"
          "Path=/opt/fernbook\n");
    Write(Pelmar + QStringLiteral("fbarea18/fbarea18.ini"), "[BASE]\nDataPath=" + Fb.path().toUtf8() + "\n");

    TBoxLog Log;
    InstallMainHooks();
    TMainForm Form;
    Settings.DataPath = Data.path() + QLatin1Char('/');
    Settings.FbSeries = 0;
    Settings.FbBackup = false;
    struct TCase
    {
        int Book;
        const char* Name;
        bool Changed;
    };
    const TCase Cases[] = {{0, "Book1", false}, {0, "Other", true}, {1, "Book1", true}, {-1, "Book1", true}};
    for (const TCase& Case : Cases) {
        Settings.FbAdrsBook = Case.Book;
        Settings.FbAdrsBookName = QString::fromLatin1(Case.Name);
        EXPECT_EQ(MainHooks().CheckFbAdrsBook(&Form), Case.Changed) << Case.Book << Case.Name;
    }
    EXPECT_FALSE(QFileInfo::exists(Data.filePath(QStringLiteral("backup.FbAdrs"))));

    Settings.FbAdrsBook = 0;
    Settings.FbAdrsBookName = QStringLiteral("Book1");
    Settings.FbBackup = true;
    Settings.FbBackupDlg = false;
    EXPECT_FALSE(MainHooks().CheckFbAdrsBook(&Form));
    EXPECT_TRUE(QFileInfo::exists(Data.filePath(QStringLiteral("backup.FbAdrs/Adrs/Book1/Keyword1.mtd"))));
    EXPECT_TRUE(Log.Texts().isEmpty());

    QFile::remove(Pelmar + QStringLiteral("registry.ini"));
    QDir(Pelmar + QStringLiteral("fbarea18")).removeRecursively();
}

} // namespace

namespace {

// The critical messages logged while it lives.
class TCriticalLog
{
public:
    TCriticalLog() { FOld = qInstallMessageHandler(&TCriticalLog::Handle); }
    ~TCriticalLog() { qInstallMessageHandler(FOld); }
    TCriticalLog(const TCriticalLog&) = delete;
    TCriticalLog& operator=(const TCriticalLog&) = delete;
    static QStringList& Lines()
    {
        static QStringList Logged;
        return Logged;
    }

private:
    static void Handle(QtMsgType Type, const QMessageLogContext&, const QString& Text)
    {
        if (Type == QtCriticalMsg)
            Lines() << Text;
    }
    QtMessageHandler FOld = nullptr;
};

} // namespace

TEST_F(MainFormTest, AStepWhoseHookTheWiringLeftEmptyIsReportedByNameNotPassedOver)
{
    TMainForm Form;
    TCriticalLog::Lines().clear();
    {
        const TCriticalLog Log;
        Form.WriteQueuedCalls();
        Form.FreeDictionaries();
        EXPECT_TRUE(Form.AskStartupPassword()) << "without its part the start goes on, as it always did";
    }
    const QStringList Logged = TCriticalLog::Lines();
    ASSERT_EQ(Logged.size(), 3);
    EXPECT_TRUE(Logged[0].contains(QStringLiteral("WriteQueuedCalls")));
    EXPECT_TRUE(Logged[1].contains(QStringLiteral("FreeDictionaries")));
    EXPECT_TRUE(Logged[2].contains(QStringLiteral("AskStartupPassword")));

    // A hook that is there runs, and nothing is logged.
    int Written = 0;
    MainHooks().WriteQueuedCalls = [&Written] { ++Written; };
    TCriticalLog::Lines().clear();
    {
        const TCriticalLog Log;
        Form.WriteQueuedCalls();
    }
    EXPECT_EQ(Written, 1);
    EXPECT_TRUE(TCriticalLog::Lines().isEmpty());
}
