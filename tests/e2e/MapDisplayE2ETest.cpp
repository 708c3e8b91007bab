// The map host's display from the running program on a desktop with a window manager: opened with a
// click on the map button of the incoming-call window and of the record window, worked and closed by
// the pointer and the keys as a person would, while calls keep coming in.
#include "main/tables/DBInfo.h"
#include "tests/support/MeiboFixture.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/XDesktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRect>
#include <QThread>
#include <gtest/gtest.h>

namespace {

constexpr int Lat = 128452450; // 35°40′52″ N
constexpr int Lon = 503161650; // 139°46′01″ E
const QString Number = QStringLiteral("0312345678");
const QString HostTitle = QStringLiteral("地図ホスト - ");

enum class TClose
{
    Button, // the display's own 閉じる
    Escape,
    TitleBar, // the window manager's close, as the × of the frame
};

struct TMapCase
{
    const char* Name;
    int Map;
    const char* Title; // of the display, after HostTitle
    bool Returns;      // the pick goes back into the entry
    bool WaitsForIt;   // the opener waits until the display is closed
    bool FirstMapple;  // Super Mapple's first edition: the program folder has no starter
    TClose FromCall;   // how the display opened from the incoming-call window is closed
    TClose FromRecord; // and from the record window
};

void PrintTo(const TMapCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

// Each line of the map host's log: {"call", "args"}.
QList<QJsonObject> HostLog(const QString& File)
{
    QList<QJsonObject> Lines;
    QFile Log(File);
    if (Log.open(QIODevice::ReadOnly))
        for (const QByteArray& Line : Log.readAll().split('\n'))
            if (!Line.isEmpty())
                Lines << QJsonDocument::fromJson(Line).object();
    return Lines;
}

const TMapCase ProAtlasW2{"ProAtlasW2", 2, "プロアトラスＷ２", true, true, false, TClose::TitleBar, TClose::Button};

class MapDesktopE2ETest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const QString Missing = TXDesktop::Missing(true); !Missing.isEmpty())
            GTEST_SKIP() << Missing.toStdString();
        Desktop = std::make_unique<TXDesktop>(Program.TempPath(QStringLiteral("desktop-ready")));
        ASSERT_TRUE(Desktop->Ready);
        Desktop->Host(Program);
        Log = Program.TempPath(QStringLiteral("host.jsonl"));
        Program.Environment().insert(QStringLiteral("VX_MAP_LOG"), Log);
        Program.SetSetting(QStringLiteral("OPERATION"), QStringLiteral("RecvViewPopup"), QStringLiteral("1"));
        Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("MapSearchKind"), QStringLiteral("0"));
        InstallPrograms();
        AddEntry();
    }

    // Every map program installed as its installer would, each standing on the map host.
    void InstallPrograms()
    {
        const QString Folder = Program.TempPath(QStringLiteral("maps/"));
        QDir().mkpath(Folder);
        for (const char* Name : {"ProAtlasW2", "Mapple"}) {
            QFile App(Folder + QLatin1String(Name));
            ASSERT_TRUE(App.open(QIODevice::WriteOnly));
        }
        QString Text =
            QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\ALPS\\PROATLASW2]\ninstallpath=%1\nAppPath=%1"
                           "ProAtlasW2\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\SSY\\AtlasMate95\\5.0\\program]\nexe=%1atlas.exe\n"
                           "[HKEY_CURRENT_USER\\Software\\Super Mapple\\Version 1.0.1R\\Mapple\\App]\n"
                           "Path=%1\n")
                .arg(Folder);
        for (const char* Class : {"ProAtlasW2.Map", "{5DF26BEB-BD13-423D-AC71-36FAA4CDF8E1}",
                                  "{BD890734-2485-40A4-A90E-FD883551A76D}", "Mapple.Document"})
            Text += QStringLiteral("[HKEY_CLASSES_ROOT\\%1]\nHost=VxMapHost.so\n").arg(QLatin1String(Class));
        QDir().mkpath(Program.DataHome() + QStringLiteral("Pelmar"));
        QFile Registry(Program.DataHome() + QStringLiteral("Pelmar/registry.ini"));
        ASSERT_TRUE(Registry.open(QIODevice::WriteOnly));
        Registry.write(Text.toUtf8());
    }

    // The caller the directory knows, at Tokyo Station.
    void AddEntry()
    {
        WriteMeiboEntry(Program.DataFolder(), {{QStringLiteral("SchTel1"), Number},
                                               {QStringLiteral("Tel1"), QStringLiteral("03-1234-5678")},
                                               {QStringLiteral("NameKanji"), QStringLiteral("田中　一郎")},
                                               {QStringLiteral("Tdfkn"), QStringLiteral("東京都")},
                                               {QStringLiteral("Adrs1"), QStringLiteral("千代田区丸の内")},
                                               {QStringLiteral("Latitude"), Lat},
                                               {QStringLiteral("Longitude"), Lon}});
    }

    [[nodiscard]] QString Position()
    {
        return Program.Rows(QStringLiteral("SELECT Latitude, Longitude FROM Meibo"), MeiboFileName).join(u',');
    }
    // The entry's place once it is Expected, else as it stands when the patience ran out.
    [[nodiscard]] QString PositionOnce(const QString& Expected)
    {
        QElapsedTimer Clock;
        Clock.start();
        while (Position() != Expected && Clock.elapsed() < TProgramHarness::Patience)
            QThread::msleep(100);
        return Position();
    }

    // The window's controls where they stand now that the window manager has framed it.
    QJsonObject Places(const QString& Window)
    {
        QThread::msleep(300);
        return Program.WindowStateNow(Window).value(QStringLiteral("places")).toObject();
    }
    void Click(const QJsonObject& Places, const char* Control)
    {
        const QJsonArray At = Places.value(QLatin1String(Control)).toArray();
        ASSERT_EQ(At.size(), 4) << Control << " in " << QJsonDocument(Places).toJson().toStdString();
        Desktop->ClickAt({At[0].toInt() + At[2].toInt() / 2, At[1].toInt() + At[3].toInt() / 2});
    }

    // The display that a click on the map button brought up, with where its map and button are.
    struct TShown
    {
        qulonglong Window = 0;
        QRect Map;
        QRect Close;
    };
    TShown WaitForDisplay(int Count = 1)
    {
        TShown Shown;
        Shown.Window = Desktop->WaitForWindow(HostTitle + QString::fromUtf8(Case.Title));
        QElapsedTimer Clock;
        Clock.start();
        QList<QJsonObject> Windows;
        do {
            Windows.clear();
            for (const QJsonObject& Line : HostLog(Log))
                if (Line.value(QStringLiteral("call")).toString() == QLatin1String("window"))
                    Windows << Line;
        } while (Windows.size() < Count && Clock.elapsed() < TProgramHarness::Patience && (QThread::msleep(50), true));
        // Out of the way of the window it was opened from, as a user would drag it, so that the
        // opener's buttons stay where a click reaches them.
        if (Shown.Window != 0)
            Desktop->XDoTool({QStringLiteral("windowmove"), QStringLiteral("--sync"), QString::number(Shown.Window),
                              QStringLiteral("740"), QStringLiteral("560")});
        if (Windows.size() >= Count) {
            const QJsonArray A = Windows.last().value(QStringLiteral("args")).toArray();
            Shown.Map = QRect(A[0].toInt(), A[1].toInt(), A[2].toInt(), A[3].toInt());
            Shown.Close = QRect(A[4].toInt(), A[5].toInt(), A[6].toInt(), A[7].toInt());
        }
        return Shown;
    }

    // A double click on the map, answered with the place the display picked there.
    QString PickOn(const TShown& Shown, QPoint Offset)
    {
        const qsizetype Before = Picks().size();
        Desktop->ClickIn(Shown.Window, Shown.Map.center() + Offset, 2);
        QElapsedTimer Clock;
        Clock.start();
        while (Picks().size() <= Before && Clock.elapsed() < TProgramHarness::Patience)
            QThread::msleep(50);
        return Picks().value(Picks().size() - 1);
    }
    QStringList Picks() const
    {
        QStringList Found;
        for (const QJsonObject& Line : HostLog(Log))
            if (Line.value(QStringLiteral("call")).toString() == QLatin1String("picked")) {
                const QJsonArray A = Line.value(QStringLiteral("args")).toArray();
                Found << QStringLiteral("%1,%2").arg(A[0].toInt()).arg(A[1].toInt());
            }
        return Found;
    }

    void CloseBy(const TShown& Shown, TClose Way)
    {
        switch (Way) {
        case TClose::Button:
            Desktop->ClickIn(Shown.Window, Shown.Close.center());
            break;
        case TClose::Escape:
            Desktop->KeyIn(Shown.Window, QStringLiteral("Escape"));
            break;
        case TClose::TitleBar:
            Desktop->KeyIn(Shown.Window, QStringLiteral("alt+F4")); // the window manager's close
            break;
        }
    }
    // A window manager that was handed the focus a moment ago may still route a key to the window
    // before: the user's way is to close again, and so is this.
    void CloseUntilGone(const TShown& Shown, TClose Way)
    {
        for (int Try = 0; Try < 3; ++Try) {
            CloseBy(Shown, Way);
            QElapsedTimer Clock;
            Clock.start();
            while (Clock.elapsed() < TProgramHarness::Patience / 3) {
                if (!Desktop->Windows(HostTitle + QString::fromUtf8(Case.Title)).contains(Shown.Window))
                    return;
                QThread::msleep(100);
            }
        }
    }
    [[nodiscard]] bool WaitUntilGone(const QString& Title)
    {
        QElapsedTimer Clock;
        Clock.start();
        while (Desktop->Shows(Title) && Clock.elapsed() < TProgramHarness::Patience)
            QThread::msleep(100);
        return !Desktop->Shows(Title);
    }

    // The map opened from the window, a call rung while it is up, a pick and the display closed.
    // Answers the place picked.
    QString WorkTheMap(const QJsonObject& WindowPlaces, TClose Way, int Shows, int Rows)
    {
        Click(WindowPlaces, "bbtnMap");
        const TShown Shown = LastShown = WaitForDisplay(Shows);
        EXPECT_NE(Shown.Window, 0u) << "no display came up";
        EXPECT_TRUE(Shown.Map.isValid());
        if (Shown.Window == 0)
            return {};
        // The program answers a call while the map is open.
        EXPECT_EQ(Program.Ring(QStringLiteral("0398765%1").arg(Rows, 3, 10, QLatin1Char('0'))), 0);
        EXPECT_TRUE(Program.WaitForRows(Rows));
        const QString Picked = PickOn(Shown, QPoint(40 + 10 * Shows, -30));
        EXPECT_FALSE(Picked.isEmpty()) << "the double click picked nothing";
        Desktop->Screenshot(QStringLiteral("map-display-%1-%2").arg(QLatin1String(Case.Name)).arg(Shows));
        if (Case.WaitsForIt) {
            CloseBy(Shown, Way);
            EXPECT_TRUE(WaitUntilGone(HostTitle + QString::fromUtf8(Case.Title)));
        }
        return Picked;
    }

    TMapCase Case = ProAtlasW2;
    TShown LastShown; // the display the map button brought up last
    TProgramHarness Program;
    std::unique_ptr<TXDesktop> Desktop;
    QString Log;
};

class MapDisplayE2ETest : public MapDesktopE2ETest, public ::testing::WithParamInterface<TMapCase>
{
protected:
    void SetUp() override
    {
        Case = GetParam();
        MapDesktopE2ETest::SetUp();
    }
};

TEST_P(MapDisplayE2ETest, TheDisplayIsWorkedAndClosedFromBothWindowsWhileCallsComeIn)
{
    Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("Map"), QString::number(Case.Map));
    if (Case.FirstMapple)
        (void)Program.CopyProgramFolder({QStringLiteral("MappleKick")});
    ASSERT_TRUE(Program.StartAndWaitForLine());
    const QString Original = QStringLiteral("%1|%2").arg(Lat).arg(Lon);

    // From the incoming-call window: the pick is kept with the caller and written by 名簿変更.
    ASSERT_EQ(Program.Ring(Number), 0);
    ASSERT_TRUE(Program.WaitForRows(1));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("ReceiveView")));
    ASSERT_NE(Desktop->WaitForWindow(QStringLiteral("着信照会")), 0u);
    // The map button is there once the window is locked against the next call.
    Click(Places(QStringLiteral("ReceiveView")), "btnLockUnlock");
    const QJsonObject Call = Places(QStringLiteral("ReceiveView"));
    const QString FromCall = WorkTheMap(Call, Case.FromCall, 1, 2);
    if (!Case.WaitsForIt) {
        // The opener was let go at once: its map button opens another display beside the first.
        Click(Call, "bbtnMap");
        (void)WaitForDisplay(2);
        const QList<qulonglong> Both = Desktop->Windows(HostTitle + QString::fromUtf8(Case.Title));
        EXPECT_EQ(Both.size(), 2);
        for (const qulonglong Window : Both)
            CloseUntilGone({Window, {}, {}}, Case.FromCall);
        EXPECT_TRUE(WaitUntilGone(HostTitle + QString::fromUtf8(Case.Title)));
    }
    Click(Call, "btnAddUpd");
    ASSERT_TRUE(WaitUntilGone(QStringLiteral("着信照会")));
    EXPECT_EQ(Position(), Case.Returns ? QString(FromCall).replace(u',', u'|') : Original);

    // From the record window: the agreed pick is written at once.
    const QString Before = Position();
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("tbtnMeiboList"));
    Program.AnswerDialog(QStringLiteral("MeiboList"), {}, QStringLiteral("btnInquiry"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MeiboView")));
    ASSERT_NE(Desktop->WaitForWindow(QStringLiteral("登録名簿　照会")), 0u);
    const QJsonObject Record = Places(QStringLiteral("MeiboView"));
    const QString FromRecord = WorkTheMap(Record, Case.FromRecord, Case.WaitsForIt ? 2 : 3, 3);
    if (!Case.WaitsForIt) {
        CloseUntilGone(LastShown, Case.FromRecord);
        EXPECT_TRUE(WaitUntilGone(HostTitle + QString::fromUtf8(Case.Title)));
    }
    const QString Expected = Case.Returns ? QString(FromRecord).replace(u',', u'|') : Before;
    EXPECT_EQ(Case.Returns ? PositionOnce(Expected) : Position(), Expected);
    if (Case.Returns) {
        EXPECT_NE(FromRecord, FromCall);
    }
    EXPECT_EQ(Program.Process().state(), QProcess::Running);
}

// ProAtlas W2 whose window never comes up: the user is told, no mark comes back, and the caller's
// registration keeps the entry's place rather than 0 / 0.
TEST_F(MapDesktopE2ETest, AProAtlasWindowThatNeverComesLeavesTheEntrysPlace)
{
    Program.Environment().insert(QStringLiteral("VX_MAP_HIDDEN"), QStringLiteral("1"));
    Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("Map"), QStringLiteral("2"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(Number), 0);
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("ReceiveView")));
    ASSERT_NE(Desktop->WaitForWindow(QStringLiteral("着信照会")), 0u);
    Click(Places(QStringLiteral("ReceiveView")), "btnLockUnlock");
    const QJsonObject Call = Places(QStringLiteral("ReceiveView"));
    Click(Call, "bbtnMap");
    EXPECT_TRUE(Program.WaitForBox(QStringLiteral("緯度経度情報は変更時に保存されます  ")));
    QElapsedTimer Clock;
    Clock.start();
    bool Told = false;
    while (!(Told = Program.WaitForBox(
                 QStringLiteral("プロアトラスＷ または プロアトラスSV が表示できませんでした\r\n"
                                "プロアトラスＷ または プロアトラスSV のインストール状況を確認してください"))) &&
           Clock.elapsed() < 4 * TProgramHarness::Patience)
        ;
    EXPECT_TRUE(Told);
    Click(Call, "btnAddUpd");
    ASSERT_TRUE(WaitUntilGone(QStringLiteral("着信照会")));
    EXPECT_EQ(Position(), QStringLiteral("%1|%2").arg(Lat).arg(Lon));
}

INSTANTIATE_TEST_SUITE_P(
    HostDisplays, MapDisplayE2ETest,
    ::testing::Values(
        TMapCase{"AtlasMate", 0, "AtlasMate", true, true, false, TClose::Button, TClose::Escape}, ProAtlasW2,
        TMapCase{"MapFanNet", 6, "MapFan.net", false, false, false, TClose::Escape, TClose::TitleBar},
        TMapCase{"MapFanPlanner", 7, "MapFan PLANNER", false, false, false, TClose::TitleBar, TClose::Button},
        TMapCase{"MappleFirstEdition", 8, "Super Mapple Digital", false, true, true, TClose::Escape, TClose::TitleBar}),
    [](const ::testing::TestParamInfo<TMapCase>& Info) { return std::string(Info.param.Name); });

} // namespace
