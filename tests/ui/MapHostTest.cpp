// The map views and map windows on the map host, and both windows' map buttons with it: what the
// host is handed (its call log), what comes back, the waits, and where the host is looked for.

#include "calls/RecvView.h"
#include "apps/VxRelvo16/ReceiveViewWiring.h"
#include "directory/maps/MapButtons.h"
#include "directory/maps/MapLaunch.h"
#include "directory/maps/MapViewLaunch.h"
#include "directory/maps/drivers/MapDriver.h"
#include "directory/maps/drivers/MapFanNet.h"
#include "directory/maps/windows/MapFanView.h"
#include "directory/maps/windows/ProAtlasView.h"
#include "directory/record/MeiboVw.h"
#include "main/settings/Settings.h"
#include "main/start/MainHooks.h"
#include "platform/print/Printing.h"
#include "platform/sys/Registry.h"
#include "tests/support/PdfTools.h"
#include "tests/support/RecvData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

constexpr int Lat = 128000000; // 35°33′20″ N
constexpr int Lon = 503000000; // 139°43′20″ E
const QByteArray Pick = "130000000,500000000";
constexpr std::uint32_t PickedLat = 130000000;
constexpr std::uint32_t PickedLon = 500000000;
const QString Address = QStringLiteral("東京都千代田区千代田");

struct TCall
{
    QString Name;
    QJsonArray Args;
};

class MapHostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.NotMoveFocus = true;
        SettingsPath = Data.Folder;
        SavedProgramPath = ProgramPath;
        ProgramPath = QStringLiteral(VX_BIN_DIR);
        SavedLaunchers = MapLaunchers();
        InstallMapButtons();
        InstallReceiveViewMap();
        QFile::remove(RegistryFileName());
        Log = Temp.filePath(QStringLiteral("host.jsonl"));
        qputenv("VX_MAP_LOG", QFile::encodeName(Log));
        SavedLimit = MapWindowWaitLimitMs;
    }
    void TearDown() override
    {
        for (const char* Name : {"VX_MAP_LOG", "VX_MAP_PICK", "VX_MAP_HIDDEN", "VX_MAP_REJECT", "VX_PRINT_PDF"})
            qunsetenv(Name);
        MapWindowWaitLimitMs = SavedLimit;
        QFile::remove(RegistryFileName());
        MapLaunchers() = SavedLaunchers;
        ReceiveViewTools = TReceiveViewTools();
        MeiboViewTools = TMeiboViewTools();
        ProgramPath = SavedProgramPath;
        Settings = TSettings();
        SettingsPath.clear();
    }

    // Every program installed as its installer would, each standing on the host.
    void InstallAll()
    {
        const QString Folder = Temp.filePath(QStringLiteral("ProAtlasW"));
        QDir().mkpath(Folder);
        QFile App(Folder + QStringLiteral("/ProAtlasW"));
        ASSERT_TRUE(App.open(QIODevice::WriteOnly));
        const QString W2 = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ALPS\\PROATLASW2");
        ASSERT_TRUE(WriteRegistryString(W2, QStringLiteral("installpath"), Folder));
        ASSERT_TRUE(WriteRegistryString(W2, QStringLiteral("AppPath"), App.fileName()));
        ASSERT_TRUE(WriteRegistryString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\SSY\\AtlasMate95\\5.0\\program"),
                                        QStringLiteral("exe"), Folder + QStringLiteral("/atlas.exe")));
        ASSERT_TRUE(WriteRegistryString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ALPS\\Rdw70\\Map"),
                                        QStringLiteral("Version"), QStringLiteral("7")));
        ASSERT_TRUE(
            WriteRegistryString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Increment P Corporation\\MapFan\\5"),
                                QStringLiteral("Path"), Folder));
        for (const char* Class : {"ProAtlasW2.Map", "ProAtlasW3.Map", "{5DF26BEB-BD13-423D-AC71-36FAA4CDF8E1}",
                                  "{BD890734-2485-40A4-A90E-FD883551A76D}", "Mapple.Document"})
            ASSERT_TRUE(WriteRegistryString(QStringLiteral("HKEY_CLASSES_ROOT\\") + QLatin1String(Class),
                                            QStringLiteral("Host"), QStringLiteral("VxMapHost.so")));
    }
    static TMapSearchParams Params(int SearchKind, int Latitude, int Longitude, const QString& Text = {})
    {
        TMapSearchParams P;
        P.SearchKind = SearchKind;
        P.Latitude = static_cast<std::uint32_t>(Latitude);
        P.Longitude = static_cast<std::uint32_t>(Longitude);
        P.Address = Text;
        P.Tel = QStringLiteral("0311112222");
        return P;
    }
    QList<TCall> Calls() const
    {
        QList<TCall> Result;
        QFile File(Log);
        if (File.open(QIODevice::ReadOnly))
            for (const QByteArray& Line : File.readAll().split('\n'))
                if (!Line.isEmpty()) {
                    const QJsonObject O = QJsonDocument::fromJson(Line).object();
                    Result << TCall{O.value(QStringLiteral("call")).toString(),
                                    O.value(QStringLiteral("args")).toArray()};
                }
        return Result;
    }
    QJsonArray ArgsOf(const QString& Name) const
    {
        for (const TCall& C : Calls())
            if (C.Name == Name)
                return C.Args;
        return {};
    }
    QStringList Names() const
    {
        QStringList Result;
        for (const TCall& C : Calls())
            Result << C.Name;
        return Result;
    }

    QTemporaryDir Temp;
    TRecvData Data;
    QString Log;
    QString SavedProgramPath;
    int SavedLimit = 0;
    QWidget Owner;
    TScriptedBoxes Boxes{"OK"};
    std::array<TMapLauncher, MapProgramCount> SavedLaunchers;
};

TEST_F(MapHostTest, ProAtlasWGetsItsCoordinateTextsAndGivesBackTheMarkOrTheCentre)
{
    InstallAll();
    qputenv("VX_MAP_PICK", Pick);
    TMapSearchParams P = Params(0, Lat, Lon);
    RunMapLauncher(2, {&Owner, nullptr}, P);
    EXPECT_EQ(ArgsOf("moveText"), (QJsonArray{"35/33/20000", "139/43/20000"}));
    EXPECT_TRUE(Names().contains(QStringLiteral("beginExitHook"))); // version 2 takes the exit watch
    EXPECT_TRUE(Names().contains(QStringLiteral("endExitHook")));
    EXPECT_EQ(P.Latitude, PickedLat); // the mark
    EXPECT_EQ(P.Longitude, PickedLon);

    // Version 3 gives back where the map was left.
    const QString W3 = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ALPS\\PROATLASW3");
    ASSERT_TRUE(WriteRegistryString(W3, QStringLiteral("installpath"), Temp.filePath("ProAtlasW")));
    ASSERT_TRUE(WriteRegistryString(W3, QStringLiteral("AppPath"), Temp.filePath("ProAtlasW/ProAtlasW")));
    QFile::remove(Log);
    TMapSearchParams Q = Params(1, Lat, Lon, Address);
    RunMapLauncher(2, {&Owner, nullptr}, Q);
    EXPECT_EQ(ArgsOf("open"), QJsonArray{"ProAtlasW3.Map"});
    EXPECT_EQ(ArgsOf("address"), QJsonArray{Address});
    EXPECT_EQ(Q.Latitude, PickedLat);
    EXPECT_TRUE(Boxes.Texts().isEmpty());
}

// Each change of a window's enabled state, in order.
class TEnableWatch : public QObject
{
public:
    explicit TEnableWatch(QWidget& Window) : FWindow(Window) { Window.installEventFilter(this); }
    QList<bool> States;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Watched == &FWindow && Event->type() == QEvent::EnabledChange)
            States << FWindow.isEnabled();
        return false;
    }

private:
    QWidget& FWindow;
};

// The host's display while the invisible view waits for it.
QDialog* OpenDisplay()
{
    for (QWidget* W : QApplication::topLevelWidgets())
        if (W->isVisible() && W->windowTitle().startsWith(QStringLiteral("地図ホスト")))
            return qobject_cast<QDialog*>(W);
    return nullptr;
}

// The user works the display the modal view waits on, through the window system's own input: a
// display the view's modality blocked would take no click at all.
TEST_F(MapHostTest, TheDisplayTakesTheUsersInputWhileTheViewWaitsForIt)
{
    InstallAll();
    QString Title;
    QTimer User;
    QObject::connect(&User, &QTimer::timeout, [&] {
        QDialog* Display = OpenDisplay();
        if (!Display || !Display->windowHandle() || !Display->windowHandle()->isExposed())
            return;
        User.stop();
        Title = Display->windowTitle();
        QTest::mouseDClick(Display->windowHandle(), Qt::LeftButton, {}, QPoint(300, 150));
        for (QPushButton* Button : Display->findChildren<QPushButton*>())
            if (Button->text() == QStringLiteral("閉じる"))
                QTest::mouseClick(Display->windowHandle(), Qt::LeftButton, {},
                                  Button->mapTo(Display, Button->rect().center()));
    });
    User.start(100);
    // A blocked display would keep the view waiting for ever: the test closes it in the end itself.
    QTimer::singleShot(10000, [] {
        if (QDialog* Display = OpenDisplay())
            Display->close();
    });
    TMapSearchParams P = Params(0, Lat, Lon);
    RunMapLauncher(2, {&Owner, nullptr}, P);
    EXPECT_EQ(Title, QStringLiteral("地図ホスト - プロアトラスＷ２"));
    const QJsonArray Picked = ArgsOf("picked");
    ASSERT_EQ(Picked.size(), 2) << "the double click did not reach the display";
    EXPECT_EQ(P.Latitude, static_cast<std::uint32_t>(Picked[0].toInt()));
    EXPECT_EQ(P.Longitude, static_cast<std::uint32_t>(Picked[1].toInt()));
    EXPECT_NE(P.Latitude, static_cast<std::uint32_t>(Lat));
    EXPECT_EQ(OpenDisplay(), nullptr);
}

// ProAtlas W: the map program's window to the front, the town layer after a move (the first edition
// the most detailed layer the place has), no mark as no change, and a place not found as no error:
// the map stays up for the user until closed.
TEST_F(MapHostTest, ProAtlasWMovesToItsLayerAndANotFoundPlaceOrNoMarkChangesNothing)
{
    InstallAll();
    int Closed = 0;
    QTimer User;
    QObject::connect(&User, &QTimer::timeout, [&] {
        if (QDialog* Display = OpenDisplay()) {
            ++Closed;
            Display->close();
        }
    });
    User.start(100);
    TMapSearchParams P = Params(0, Lat, Lon);
    RunMapLauncher(2, {&Owner, nullptr}, P);
    EXPECT_EQ(Closed, 1);
    EXPECT_EQ(P.Latitude, static_cast<std::uint32_t>(Lat)); // closed without a mark
    EXPECT_EQ(P.Longitude, static_cast<std::uint32_t>(Lon));
    QStringList Order;
    for (const TCall& C : Calls())
        if (C.Name == QLatin1String("moveText") || C.Name == QLatin1String("changeLayer") ||
            C.Name == QLatin1String("foreground") || C.Name == QLatin1String("setEvent"))
            Order << C.Name + C.Args.toVariantList().value(0).toString();
    EXPECT_EQ(Order, (QStringList{"foreground", "moveText35/33/20000", "changeLayer詳細図", "foreground", "setEvent",
                                  "setEvent"}));

    // The first edition tries its layers from the most detailed down; the host has no house maps.
    const QString W1 = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ALPS\\PROATLAS");
    ASSERT_TRUE(WriteRegistryString(W1, QStringLiteral("installpath"), Temp.filePath("ProAtlasW")));
    ASSERT_TRUE(WriteRegistryString(W1, QStringLiteral("AppPath"), Temp.filePath("ProAtlasW/ProAtlasW")));
    ASSERT_TRUE(WriteRegistryString(QStringLiteral("HKEY_CLASSES_ROOT\\ProAtlasW.Map"), QStringLiteral("Host"),
                                    QStringLiteral("VxMapHost.so")));
    ASSERT_TRUE(WriteRegistryString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ALPS\\PROATLASW2"),
                                    QStringLiteral("installpath"), QString()));
    QFile::remove(Log);
    RunMapLauncher(2, {&Owner, nullptr}, P);
    QJsonArray Layers;
    for (const TCall& C : Calls())
        if (C.Name == QLatin1String("changeLayer"))
            Layers.append(C.Args[0]);
    EXPECT_EQ(Layers, (QJsonArray{"住宅地図", "詳細図"}));
    EXPECT_EQ(ArgsOf("open"), QJsonArray{"ProAtlasW.Map"});

    // An address the program does not find, and no coordinates to fall back on: no box, and the
    // view still waits until the user closes the map.
    ASSERT_TRUE(WriteRegistryString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ALPS\\PROATLASW2"),
                                    QStringLiteral("installpath"), Temp.filePath("ProAtlasW")));
    qputenv("VX_MAP_REJECT", Address.toUtf8());
    Closed = 0;
    QFile::remove(Log);
    TMapSearchParams Q = Params(1, 0, 0, Address);
    RunMapLauncher(2, {&Owner, nullptr}, Q);
    EXPECT_EQ(ArgsOf("address"), QJsonArray{Address});
    EXPECT_EQ(Closed, 1);
    EXPECT_TRUE(Boxes.Texts().isEmpty()) << Boxes.Texts().join(u'|').toStdString();
    EXPECT_EQ(Q.Latitude, 0u);
}

// MapFan.net and PLANNER are shown and left to the user: the opener goes on at once while the
// program's window stays, under its name, until the user closes it.
TEST_F(MapHostTest, MapFanNetLetsTheOpenerGoAndItsWindowStaysUntilClosed)
{
    InstallAll();
    for (int Map : {6, 7}) {
        TMapSearchParams P = Params(0, Lat, Lon);
        RunMapLauncher(Map, {&Owner, nullptr}, P);
        QDialog* Display = OpenDisplay();
        ASSERT_NE(Display, nullptr) << Map;
        EXPECT_EQ(Display->windowTitle(),
                  Map == 6 ? QStringLiteral("地図ホスト - MapFan.net") : QStringLiteral("地図ホスト - MapFan PLANNER"));
        const QPointer<QDialog> Held(Display);
        QTest::keyClick(Display, Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Held.isNull(); }, 5000)) << "the closed window was not let go";
    }
    EXPECT_TRUE(Boxes.Texts().isEmpty());
}

TEST_F(MapHostTest, MapFanNetFallsBackToCoordinatesWhenItsAddressIsRejected)
{
    InstallAll();
    qputenv("VX_MAP_PICK", Pick);
    qputenv("VX_MAP_REJECT", Address.toUtf8());
    TMapSearchParams P = Params(1, Lat, Lon, Address);
    RunMapLauncher(6, {&Owner, nullptr}, P);
    EXPECT_EQ(ArgsOf("address"), QJsonArray{Address});
    EXPECT_EQ(ArgsOf("moveSec256"), (QJsonArray{128768000, 32768000, 1562}));
    EXPECT_TRUE(Boxes.Texts().isEmpty());
    EXPECT_EQ(P.Latitude, static_cast<std::uint32_t>(Lat)); // nothing comes back

    // PLANNER the same way, but by the address it is not refused.
    qunsetenv("VX_MAP_REJECT");
    QFile::remove(Log);
    RunMapLauncher(7, {&Owner, nullptr}, P);
    EXPECT_EQ(ArgsOf("open"), QJsonArray{"{BD890734-2485-40A4-A90E-FD883551A76D}"});
    EXPECT_FALSE(Names().contains(QStringLiteral("moveSec256")));
}

TEST_F(MapHostTest, EveryWaitEndsWhenTheDisplayGoesAndTheWaitForItsWindowHasALimit)
{
    InstallAll();
    // The user closes the display: the view goes on at once, without a pick.
    TMapSearchParams P = Params(0, Lat, Lon);
    bool Shot = false;
    QTimer Closer;
    QObject::connect(&Closer, &QTimer::timeout, [&] {
        for (QWidget* W : QApplication::topLevelWidgets())
            if (W->isVisible() && W->windowTitle().startsWith(QStringLiteral("地図ホスト"))) {
                if (!Shot)
                    SaveScreenshot(*W, QStringLiteral("map-host-display"));
                Shot = true;
                W->close();
            }
    });
    Closer.start(200);
    QElapsedTimer Clock;
    Clock.start();
    RunMapLauncher(0, {&Owner, nullptr}, P);
    EXPECT_TRUE(Shot);
    EXPECT_LT(Clock.elapsed(), 8000);
    EXPECT_EQ(P.Latitude, static_cast<std::uint32_t>(Lat)); // the place it was left at: the request's
    EXPECT_EQ(ArgsOf("showMesh"), (QJsonArray{Lon, Lat}));
    Closer.stop();

    // A display whose window never comes up is given up on, and the user is told so; with no mark
    // set the request's place comes back, never 0 / 0.
    qputenv("VX_MAP_HIDDEN", "1");
    MapWindowWaitLimitMs = 300;
    Clock.restart();
    TMapSearchParams Q = Params(0, Lat, Lon);
    RunMapLauncher(2, {&Owner, nullptr}, Q);
    EXPECT_LT(Clock.elapsed(), 5000);
    EXPECT_FALSE(Names().contains(QStringLiteral("moveText")));
    EXPECT_EQ(Q.Latitude, static_cast<std::uint32_t>(Lat));
    EXPECT_EQ(Q.Longitude, static_cast<std::uint32_t>(Lon));
    ASSERT_EQ(Boxes.Texts().size(), 1);
    EXPECT_TRUE(
        Boxes.Texts().last().startsWith(QStringLiteral("プロアトラスＷ または プロアトラスSV が表示できませんでした")));

    // So are AtlasMate and Super Mapple, whose windows never come either.
    for (int Map : {0, 8}) {
        Clock.restart();
        TMapSearchParams R = Params(0, Lat, Lon);
        RunMapLauncher(Map, {&Owner, nullptr}, R);
        EXPECT_LT(Clock.elapsed(), 5000) << Map;
        EXPECT_EQ(R.Latitude, static_cast<std::uint32_t>(Lat)) << Map;
    }
    EXPECT_EQ(Boxes.Texts().value(1),
              QStringLiteral("AtlasMateがインストールされていないか\r\nまたは、AtlasMateのCD-ROMが入っていません"));
}

TEST_F(MapHostTest, AHostOutsideTheProgramFolderIsNeverLoaded)
{
    InstallAll();
    // The host sits in the current folder only.
    QTemporaryDir Here;
    ASSERT_TRUE(QFile::copy(QStringLiteral(VX_BIN_DIR "/VxMapHost.so"), Here.filePath("VxMapHost.so")));
    const QString Before = QDir::currentPath();
    QDir::setCurrent(Here.path());
    ProgramPath = Temp.filePath(QStringLiteral("empty"));
    QDir().mkpath(ProgramPath);
    TMapSearchParams P = Params(0, Lat, Lon);
    for (int Map : {0, 1, 2, 5, 6, 7, 8})
        RunMapLauncher(Map, {&Owner, nullptr}, P);
    QDir::setCurrent(Before);
    QStringList Expected;
    for (int Map : {0, 1, 2, 5, 6, 7, 8})
        Expected << MapPrograms()[static_cast<std::size_t>(Map)].NotFound;
    EXPECT_EQ(Boxes.Texts(), Expected);
    EXPECT_FALSE(QFileInfo::exists(Log));
}

TEST_F(MapHostTest, MapFanWindowClosedWithoutAPickGivesTheRequestBackThroughItsUnit)
{
    InstallAll();
    TMapSearchParams P = Params(0, Lat + 1, Lon + 3);
    int Result = -1;
    Owner.setGeometry(60, 40, 700, 560); // the map window fits inside it on the screen
    QTimer::singleShot(300, [&] {
        auto* View = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(View, nullptr);
        EXPECT_EQ(View, static_cast<QDialog*>(MapFanView)); // held while it is shown
        EXPECT_EQ(HelpContextOf(View), 53);
        EXPECT_LE((View->frameGeometry().center() - Owner.frameGeometry().center()).manhattanLength(), 4);
        QObject::connect(View, &QDialog::finished, [&Result](int Code) { Result = Code; });
        QTest::keyClick(View, Qt::Key_Escape);
    });
    RunMapLauncher(5, {&Owner, nullptr}, P);
    EXPECT_EQ(Result, 2);
    EXPECT_EQ(MapFanView, nullptr);
    // 1/256 second and back: within a few milliseconds of the request.
    EXPECT_EQ(P.Latitude, static_cast<std::uint32_t>(FromSec256(ToSec256(Lat + 1))));
    EXPECT_EQ(P.Longitude, static_cast<std::uint32_t>(FromSec256(ToSec256(Lon + 3))));
    EXPECT_NE(P.Latitude, static_cast<std::uint32_t>(Lat + 1));
    EXPECT_EQ(ArgsOf("setScale"), QJsonArray{static_cast<qint64>(0x40000u << 9)}); // the most detailed offered
}

TEST_F(MapHostTest, MapWindowsMarkPickCopyAndPrint)
{
    InstallAll();
    TProAtlasView View(&Owner);
    (void)View.SetRequest(Params(0, Lat, Lon));
    View.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
    EXPECT_EQ(View.cbxArea->currentText(), QStringLiteral("関東")); // the more detailed area holding the place
    EXPECT_EQ(View.cbxLayer->currentText(), QStringLiteral("市街図"));
    SaveScreenshot(View, QStringLiteral("map-proatlas"));

    // A click without dragging while clipping marks nothing; a drag marks its rectangle.
    View.sbtnClip->setChecked(true);
    QTest::mouseClick(View.Map, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_FALSE(View.Map->HasSelection());
    EXPECT_FALSE(View.sbtnClip->isChecked());
    View.sbtnClip->setChecked(true);
    QTest::mousePress(View.Map, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseMove(View.Map, QPoint(140, 100));
    QTest::mouseRelease(View.Map, Qt::LeftButton, {}, QPoint(140, 100));
    ASSERT_TRUE(View.Map->HasSelection());
    EXPECT_EQ(View.Map->Selection().size(), QSize(101, 61));

    View.sbtnCopy->click();
    const QMimeData* Copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(Copied, nullptr);
    EXPECT_EQ(qvariant_cast<QImage>(Copied->imageData()).size(), QSize(101, 61));
    EXPECT_TRUE(Copied->text().startsWith(QStringLiteral("左上 北緯 : "))) << Copied->text().toStdString();
    EXPECT_TRUE(Copied->text().contains(QStringLiteral("\r\n右下 北緯 : ")));

    // A double-click picks the place under the mouse and the red cross marks it.
    QTest::mouseClick(View.Map, Qt::LeftButton, {}, QPoint(10, 10)); // clears the rectangle
    EXPECT_FALSE(View.Map->HasSelection());
    QTest::mouseDClick(View.Map, Qt::LeftButton, {}, QPoint(100, 80));
    EXPECT_NE(View.PickedLatitude(), static_cast<std::uint32_t>(Lat));
    const QImage Shown = View.Map->grab().toImage();
    EXPECT_EQ(Shown.pixelColor(100 + 4, 80), QColor(Qt::red));
    EXPECT_NE(Shown.pixelColor(100 + 8, 80), QColor(Qt::red));
    // The copy is the map as the user sees it, cross and all.
    View.sbtnCopy->click();
    const QImage Whole = qvariant_cast<QImage>(QApplication::clipboard()->mimeData()->imageData());
    ASSERT_EQ(Whole.size(), View.Map->size());
    EXPECT_EQ(Whole.pixelColor(100 + 4, 80), QColor(Qt::red));

    // Without a printer there is nothing to choose.
    SetPrintersForTest(QList<TPrinterEntry>());
    View.sbtnPrint->click();
    SetPrintersForTest(std::nullopt);
    EXPECT_EQ(Boxes.Texts().last(), QStringLiteral("プリンターがインストールされていません"));

    // Printed on one page as one picture, the program's other windows out of use meanwhile.
    const QString Pdf = Temp.filePath(QStringLiteral("map.pdf"));
    qputenv("VX_PRINT_PDF", QFile::encodeName(Pdf));
    Owner.show();
    QWidget Other;
    Other.show();
    TEnableWatch OtherWatch(Other);
    TEnableWatch ViewWatch(View);
    View.sbtnPrint->click();
    EXPECT_EQ(Boxes.Texts().last(), QStringLiteral("印刷しました"));
    EXPECT_EQ(PdfPages(Pdf), 1);
    EXPECT_EQ(PdfImages(Pdf).size(), 1);
    EXPECT_EQ(OtherWatch.States, (QList<bool>{false, true}));
    EXPECT_TRUE(ViewWatch.States.isEmpty()); // the window printed from stays in use

    // MapFan: the picture with the host's notice; Escape closes with 2.
    TMapFanView Fan(&Owner);
    (void)Fan.SetRequest(Params(0, Lat, Lon));
    Fan.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Fan));
    SaveScreenshot(Fan, QStringLiteral("map-mapfan"));
    EXPECT_EQ(Fan.cbxScale->currentText(), QStringLiteral("1/12500"));
    Fan.sbtnCopy->click();
    EXPECT_EQ(QApplication::clipboard()->image().size(), Fan.Map->size());
    QTest::keyClick(&Fan, Qt::Key_Escape);
    EXPECT_EQ(Fan.result(), 2);
}

TEST_F(MapHostTest, AtlasMateBringsTheWindowForwardWhenItsDisplayCloses)
{
    InstallAll();
    qputenv("VX_MAP_PICK", Pick);
    Owner.setGeometry(60, 40, 400, 300);
    Owner.show();
    QWidget Other;
    Other.setGeometry(560, 40, 400, 300);
    Other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Owner));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Other));
    Other.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &Other; }, 10000));
    TMapSearchParams P = Params(0, Lat, Lon);
    RunMapLauncher(0, {&Owner, nullptr}, P);
    EXPECT_TRUE(Names().contains(QStringLiteral("showMesh")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &Owner; }, 10000));
}

TEST_F(MapHostTest, PlannerBoxesStandOverTheWindowHandedToIt)
{
    InstallAll();
    qputenv("VX_MAP_HIDDEN", "1"); // the program fails at whatever it is told
    Owner.setGeometry(40, 40, 300, 200);
    Owner.show();
    QWidget Handed;
    Handed.setGeometry(560, 420, 600, 420);
    Handed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Owner));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Handed));

    // A real box, so that its place on the screen is seen.
    const QByteArray Scripted = qgetenv("VX_MSGBOX_LOG");
    qunsetenv("VX_MSGBOX_LOG");
    QString Text;
    QPoint Centre;
    QTimer Answer;
    QObject::connect(&Answer, &QTimer::timeout, [&] {
        for (QWidget* W : QApplication::topLevelWidgets())
            if (auto* Box = qobject_cast<QMessageBox*>(W); Box && Box->isVisible()) {
                Text = Box->text();
                Centre = Box->frameGeometry().center();
                Box->buttons().first()->click();
            }
    });
    Answer.start(200);
    TMapFanPLANView View(&Owner);
    View.SetOwnerHandle(&Handed);
    (void)View.SetRequest(Params(1, 0, 0, Address));
    View.exec();
    Answer.stop();
    qputenv("VX_MSGBOX_LOG", Scripted);
    EXPECT_TRUE(Text.startsWith(QStringLiteral("MapFan PLANNER が表示できませんでした"))) << Text.toStdString();
    EXPECT_LE((Centre - Handed.frameGeometry().center()).manhattanLength(), 4);
}

TEST_F(MapHostTest, MappleFirstEditionIsDrivenAsADocumentAndGivesBackThePick)
{
    InstallAll();
    // The host without the starter beside it; the first edition found by its registry entry.
    const QString Programs = Temp.filePath(QStringLiteral("programs"));
    ASSERT_TRUE(QDir().mkpath(Programs));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VX_BIN_DIR "/VxMapHost.so"), Programs + QStringLiteral("/VxMapHost.so")));
    ProgramPath = Programs;
    const QString App = Temp.filePath(QStringLiteral("Mapple"));
    ASSERT_TRUE(QDir().mkpath(App));
    QFile Program(App + QStringLiteral("/Mapple"));
    ASSERT_TRUE(Program.open(QIODevice::WriteOnly));
    Program.close();
    ASSERT_TRUE(
        WriteRegistryString(QStringLiteral("HKEY_CURRENT_USER\\Software\\Super Mapple\\Version 1.0.1R\\Mapple\\App"),
                            QStringLiteral("Path"), App));
    qputenv("VX_MAP_PICK", Pick);
    TMapSearchParams P = Params(0, Lat, Lon);
    RunMapLauncher(8, {&Owner, nullptr}, P);
    EXPECT_EQ(ArgsOf("open"), QJsonArray{"Mapple.Document"});
    EXPECT_EQ(ArgsOf("moveMsec"), (QJsonArray{Lon, Lat}));
    EXPECT_EQ(P.Latitude, PickedLat); // where the map was left
    EXPECT_EQ(P.Longitude, PickedLon);
    EXPECT_TRUE(Boxes.Texts().isEmpty());
}

class MapHostRecvViewTest : public MapHostTest
{
protected:
    void Open(const TCallerRecord& Record)
    {
        View = std::make_unique<TReceiveView>();
        View->ShowCall(Record);
        View->show();
        (void)QTest::qWaitForWindowExposed(View.get());
        QTest::mouseClick(View->btnLockUnlock, Qt::LeftButton);
    }
    std::unique_ptr<TReceiveView> View;
};

TEST_F(MapHostRecvViewTest, APickOnTheHostIsKeptAndRegisteredAndTheOthersChangeNothing)
{
    InstallAll();
    ASSERT_TRUE(
        WriteRegistryString(QStringLiteral("HKEY_CLASSES_ROOT\\ProAtlasW3.Map"), QStringLiteral("Host"), QString()));
    qputenv("VX_MAP_PICK", Pick);
    Settings.Map = 2;
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->SetCurPosition(Lat, Lon);
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    EXPECT_EQ(View->CurLatitude(), static_cast<int>(PickedLat));
    EXPECT_EQ(View->CurLongitude(), static_cast<int>(PickedLon));
    QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT Latitude, Longitude FROM Meibo"),
              QStringList{QStringLiteral("130000000|500000000")});

    // The programs that give nothing back: no box, and the caller's place stays.
    const qsizetype Before = Boxes.Texts().size();
    View->SetCurPosition(Lat, Lon);
    for (int Map : {6, 7, 8}) {
        Settings.Map = Map;
        QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
        EXPECT_EQ(View->CurLatitude(), Lat) << Map;
        EXPECT_EQ(View->CurLongitude(), Lon) << Map;
    }
    EXPECT_EQ(Boxes.Texts().size(), Before);
    EXPECT_TRUE(Names().contains(QStringLiteral("moveMsec")) || Names().contains(QStringLiteral("open")));
}

TEST_F(MapHostRecvViewTest, AtlasMateWithNothingToShowAsksForTheNumber)
{
    InstallAll();
    Settings.Map = 0;
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->edtTel1->clear();
    View->edtTel2->clear();
    View->SetCurPosition(0, 0);
    View->edtAdrs1->setFocus();
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts().last(), QStringLiteral("電話番号を入力してください  "));
    EXPECT_EQ(QApplication::focusWidget(), View->edtTel1);
    EXPECT_FALSE(Names().contains(QStringLiteral("open")));
}

} // namespace
