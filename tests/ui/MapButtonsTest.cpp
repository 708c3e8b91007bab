#include "apps/VxRelvo16/ReceiveViewWiring.h"
#include "directory/maps/MapButtons.h"

#include "calls/RecvView.h"
#include "directory/maps/MapLaunch.h"
#include "directory/record/MeiboVw.h"
#include "main/identify/AppSub.h"
#include "main/settings/Settings.h"
#include "platform/sys/Registry.h"
#include "tests/support/RecvData.h"
#include "tests/support/ScriptedBoxes.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// 35°33′20″ N, 139°43′20″ E, and the place a test map program "picks".
constexpr int Lat = 128000000;
constexpr int Lon = 503000000;
constexpr int PickedLat = 130000000;
constexpr int PickedLon = 500000000;

const QString EmapZKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\ZENRIN\\EmapZ\\InstallInfo");
const QString ItsMoKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ZENRIN\\ZmapNet\\PC");
const QString GrandMapKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\MapNet\\GrandMap");

struct TLogged
{
    QString Cwd;
    QStringList Args;
};

class MapButtonsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.NotMoveFocus = true;
        SettingsPath = Data.Folder;
        SavedLaunchers = MapLaunchers();
        InstallMapButtons();
        InstallReceiveViewMap();
        QFile::remove(RegistryFileName());
        Log = Programs.filePath(QStringLiteral("map.jsonl"));
        qputenv("VX_MAP_LOG", QFile::encodeName(Log));
        qputenv("VX_MAP_EXIT", "1");
    }
    void TearDown() override
    {
        qunsetenv("VX_MAP_LOG");
        qunsetenv("VX_MAP_EXIT");
        QFile::remove(RegistryFileName());
        MapLaunchers() = SavedLaunchers;
        ReceiveViewTools = TReceiveViewTools();
        MeiboViewTools = TMeiboViewTools();
        Settings = TSettings();
        SettingsPath.clear();
    }

    // The stand-in placed and registered as each program's installer would.
    void InstallStandIns()
    {
        const QString StandIn = QStringLiteral(VX_BIN_DIR "/vxmapcmd");
        for (const char* Path : {"EmapZ/EmapZ", "ItsMoNavi/bin/its-moNavi", "Grand Map/GrandMap"}) {
            const QString Target = Programs.filePath(QLatin1String(Path));
            QDir().mkpath(QFileInfo(Target).absolutePath());
            QFile::remove(Target);
            ASSERT_TRUE(QFile::copy(StandIn, Target)) << Path;
        }
        ASSERT_TRUE(WriteRegistryString(EmapZKey, QStringLiteral("Directory"), Programs.filePath("EmapZ/EmapZ")));
        ASSERT_TRUE(WriteRegistryString(ItsMoKey, QStringLiteral("InstallPath"), Programs.filePath("ItsMoNavi")));
        ASSERT_TRUE(
            WriteRegistryString(GrandMapKey, QStringLiteral("Install Directory"), Programs.filePath("Grand Map")));
    }
    // Runs the launcher of Map and answers what the started program logged.
    TLogged Launch(int Map, TMapSearchParams Params)
    {
        QFile::remove(Log);
        RunMapLauncher(Map, {&Owner, nullptr}, Params);
        const bool Logged = QTest::qWaitFor([this] { return QFileInfo(Log).size() > 0; }, 10000);
        EXPECT_TRUE(Logged) << "map " << Map << " was not started";
        QFile File(Log);
        if (!Logged || !File.open(QIODevice::ReadOnly))
            return {};
        const QJsonObject Line = QJsonDocument::fromJson(File.readLine()).object();
        QStringList Args;
        for (const QJsonValue& Arg : Line.value(QStringLiteral("args")).toArray())
            Args << Arg.toString();
        return {Line.value(QStringLiteral("cwd")).toString(), Args};
    }
    static TMapSearchParams Params(int SearchKind, int Latitude, int Longitude, const QString& Address = {})
    {
        TMapSearchParams P;
        P.SearchKind = SearchKind;
        P.Latitude = static_cast<std::uint32_t>(Latitude);
        P.Longitude = static_cast<std::uint32_t>(Longitude);
        P.Address = Address;
        return P;
    }
    // A map program in Map 2's slot that records each request and picks Picked.
    void PickWith(int Latitude, int Longitude)
    {
        MapLaunchers()[2] = [this, Latitude, Longitude](const TMapOpener& Opener, TMapSearchParams& P) {
            Requests << P;
            BoxesBeforeMap = Boxes.Texts().size();
            GuardWhileShown = GuardProbe && GuardProbe();
            EXPECT_NE(Opener.Window, nullptr);
            P.Latitude = static_cast<std::uint32_t>(Latitude);
            P.Longitude = static_cast<std::uint32_t>(Longitude);
        };
    }

    TRecvData Data;
    QTemporaryDir Programs;
    QString Log;
    QWidget Owner;
    std::array<TMapLauncher, MapProgramCount> SavedLaunchers;
    TScriptedBoxes Boxes{"Yes"};
    QList<TMapSearchParams> Requests;
    qsizetype BoxesBeforeMap = -1;
    bool GuardWhileShown = false;
    std::function<bool()> GuardProbe;
};

TEST_F(MapButtonsTest, CommandLineProgramsGetTheirRequestAsSeparateArguments)
{
    InstallStandIns();
    const QString Address = QStringLiteral("東京都千代田区千代田");
    const QString OurFolder = QDir::currentPath();
    TLogged L = Launch(9, Params(0, Lat, Lon, Address));
    EXPECT_EQ(L.Args, (QStringList{"/M", "35.555556", "139.722222", "2500"}));
    EXPECT_EQ(QDir(L.Cwd), QDir(Programs.filePath("Grand Map"))); // its own folder, and ours stays
    EXPECT_EQ(QDir::currentPath(), OurFolder);
    EXPECT_EQ(Launch(9, Params(1, Lat, Lon, Address)).Args, (QStringList{"/A", Address, "2500"}));

    EXPECT_EQ(Launch(4, Params(0, Lat, Lon, Address)).Args,
              (QStringList{"1", "tokyo", "second", "503000.00/128000.00", "g", "1", "0"}));
    EXPECT_EQ(Launch(4, Params(0, 0, 0)).Args, (QStringList{"1", "tokyo", "second", "0.00/0.00", "g", "1", "0"}));
    EXPECT_EQ(Launch(4, Params(1, Lat, Lon, Address)).Args, (QStringList{"3", Address, "g", "1", "0"}));

    EXPECT_EQ(Launch(3, Params(0, Lat, Lon)).Args, (QStringList{"5030000", "1280000", "0", "0", "0", "0", "2", "0"}));
    EXPECT_EQ(Launch(3, Params(0, 0, Lon, Address)).Args,
              (QStringList{"5030000", "0", "0", "0", "0", "0", "2", "1", Address}));

    // Address first without an address, but with both coordinates: by the coordinates.
    EXPECT_EQ(Launch(3, Params(1, Lat, Lon)).Args.value(7), QStringLiteral("0"));
    EXPECT_EQ(Launch(9, Params(1, Lat, Lon)).Args.value(0), QStringLiteral("/M"));

    // Blanks and quotes stay inside their argument; no shell reads them.
    const QString Odd = QStringLiteral("東京都 千代田区\"1\" ; $(false) 'x'");
    EXPECT_EQ(Launch(9, Params(1, 0, 0, Odd)).Args, (QStringList{"/A", Odd, "2500"}));
    EXPECT_EQ(Launch(3, Params(1, 0, 0, Odd)).Args.value(8), Odd);

    // A decimal comma in the user's locale does not reach the numbers.
    const QLocale Before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const TLogged German = Launch(9, Params(0, Lat, Lon));
    const TLogged GermanNavi = Launch(4, Params(0, Lat, Lon));
    QLocale::setDefault(Before);
    EXPECT_EQ(German.Args.value(1), QStringLiteral("35.555556"));
    EXPECT_EQ(GermanNavi.Args.value(3), QStringLiteral("503000.00/128000.00"));
    EXPECT_TRUE(Boxes.Texts().isEmpty());
}

TEST_F(MapButtonsTest, AProgramThatIsMissingOrCannotStartIsReportedAsNotInstalled)
{
    const TMapSearchParams P = Params(0, Lat, Lon);
    TMapSearchParams Copy = P;
    RunMapLauncher(9, {&Owner, nullptr}, Copy);
    RunMapLauncher(4, {&Owner, nullptr}, Copy);
    RunMapLauncher(3, {&Owner, nullptr}, Copy);
    // A stale installation: the registry names programs that are gone.
    ASSERT_TRUE(WriteRegistryString(GrandMapKey, QStringLiteral("Install Directory"), Programs.filePath("gone")));
    ASSERT_TRUE(WriteRegistryString(EmapZKey, QStringLiteral("Directory"), Programs.filePath("gone/EmapZ")));
    RunMapLauncher(9, {&Owner, nullptr}, Copy);
    RunMapLauncher(3, {&Owner, nullptr}, Copy);
    // Without the map host in the program folder, the programs it stands in for are not found either.
    RunMapLauncher(0, {&Owner, nullptr}, Copy);
    RunMapLauncher(8, {&Owner, nullptr}, Copy);
    RunMapLauncher(10, {&Owner, nullptr}, Copy); // no such program: nothing at all
    const QString GrandMap = QStringLiteral("グランマップがインストールされていません  ");
    const QString EmapZ = QStringLiteral("電子地図帳Ｚ[zi]Ⅱ～５のいずれもインストールされていません  ");
    EXPECT_EQ(
        Boxes.Texts(),
        (QStringList{GrandMap, QStringLiteral("いつもNAVIがインストールされていません  "), EmapZ, GrandMap, EmapZ,
                     QStringLiteral("AtlasMate4/5のどちらのCD-ROMも見つかりません  "),
                     QStringLiteral("スーパーマップル・デジタル Ver.1～13のいずれもインストールされていません  ")}));
    EXPECT_EQ(Boxes.Boxes().first().value(QStringLiteral("caption")).toString(), QStringLiteral("Tolvane１６"));
    EXPECT_EQ(Copy.Latitude, P.Latitude);
    EXPECT_FALSE(QFileInfo::exists(Log));
}

class MapButtonsRecvViewTest : public MapButtonsTest
{
protected:
    void Open(const TCallerRecord& Record)
    {
        View = std::make_unique<TReceiveView>();
        GuardProbe = [this] { return View->RefillGuard(); };
        View->ShowCall(Record);
        View->show();
        (void)QTest::qWaitForWindowExposed(View.get());
        QTest::mouseClick(View->btnLockUnlock, Qt::LeftButton); // the map button shows while locked
        ASSERT_TRUE(View->bbtnMap->isVisible());
        ASSERT_TRUE(View->bbtnMap->isEnabled());
    }
    static void Type(QLineEdit* Edit, const QString& Text) { Edit->setText(Text); }

    std::unique_ptr<TReceiveView> View;
};

TEST_F(MapButtonsRecvViewTest, APickedPlaceIsKeptAndRegisteredWithTheCaller)
{
    Settings.Map = 2;
    Settings.MapSearchKind = 1;
    PickWith(PickedLat, PickedLon);
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->SetCurPosition(Lat, Lon);
    Type(View->edtTdfkn, QStringLiteral(" 東京都"));
    Type(View->edtAdrs1, QStringLiteral("千代田区 "));
    Type(View->edtAdrs2, QStringLiteral("千代田"));
    Type(View->edtAdrs3, QStringLiteral("１ビル"));
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);

    // Told before the map, for a caller not yet in the directory.
    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("緯度経度情報は登録時に保存されます  ")});
    EXPECT_EQ(BoxesBeforeMap, 1);
    ASSERT_EQ(Requests.size(), 1);
    EXPECT_EQ(Requests[0].SearchKind, 1);
    EXPECT_EQ(Requests[0].Latitude, static_cast<std::uint32_t>(Lat));
    EXPECT_EQ(Requests[0].Longitude, static_cast<std::uint32_t>(Lon));
    EXPECT_EQ(Requests[0].Tel, QStringLiteral("0311112222"));
    EXPECT_EQ(Requests[0].Address, QStringLiteral("東京都千代田区千代田"));
    EXPECT_TRUE(GuardWhileShown);
    EXPECT_EQ(View->RefillGuard(), View->Locked());
    EXPECT_EQ(View->CurLatitude(), PickedLat);
    EXPECT_EQ(View->CurLongitude(), PickedLon);
    EXPECT_TRUE(Data.Rows(MeiboFileName, "SELECT RecNo FROM Meibo").isEmpty()); // nothing written yet

    QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT Latitude, Longitude FROM Meibo"),
              QStringList{QStringLiteral("130000000|500000000")});

    // Unlocked, the guard goes back with the lock.
    Data.AddEntry(4, QStringLiteral("06-1234-5678"), QString());
    Open(CallRecordFor(1, QStringLiteral("06-1234-5678"), 1, 4));
    QTest::mouseClick(View->btnLockUnlock, Qt::LeftButton);
    GuardWhileShown = false;
    View->bbtnMap->click();
    EXPECT_TRUE(GuardWhileShown);
    EXPECT_FALSE(View->RefillGuard());
    EXPECT_EQ(Boxes.Texts().last(), QStringLiteral("緯度経度情報は変更時に保存されます  ")); // an existing entry
}

TEST_F(MapButtonsRecvViewTest, TheTelIsTheFirstNumberElseTheSecondAndAPickEqualToTheKeptChangesNothing)
{
    Settings.Map = 2;
    PickWith(0, 0);
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    Type(View->edtTel1, QStringLiteral("  "));
    Type(View->edtTel2, QStringLiteral("090-1234-5678"));
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    Type(View->edtTel2, QString());
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    ASSERT_EQ(Requests.size(), 2);
    EXPECT_EQ(Requests[0].Tel, QStringLiteral("09012345678"));
    EXPECT_EQ(Requests[1].Tel, QString());
    EXPECT_EQ(View->CurLatitude(), 0);
}

TEST_F(MapButtonsRecvViewTest, CommandLineProgramsShowNoBoxAndNeverMoveTheCaller)
{
    InstallStandIns();
    Data.AddCall(1, QStringLiteral("03-1111-2222"));
    Open(CallRecordFor(1, QStringLiteral("03-1111-2222")));
    View->SetCurPosition(Lat, Lon);
    for (int Map : {3, 4, 9}) {
        Settings.Map = Map;
        QFile::remove(Log);
        QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([this] { return QFileInfo(Log).size() > 0; }, 10000)) << Map;
        EXPECT_EQ(View->CurLatitude(), Lat);
        EXPECT_EQ(View->CurLongitude(), Lon);
    }
    EXPECT_TRUE(Boxes.Texts().isEmpty());
    EXPECT_TRUE(View->RefillGuard());
}

class MapButtonsMeiboViewTest : public MapButtonsTest
{
protected:
    void SetUp() override
    {
        MapButtonsTest::SetUp();
        Settings.Map = 2;
        Data.AddEntry(7, QStringLiteral("03-1234-5678"), QString(), QStringLiteral("田中"));
        SetPosition(7, Lat, Lon);
    }
    void SetPosition(int RecNo, int Latitude, int Longitude)
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        MeiboTable->SetIndexName(QString());
        ASSERT_TRUE(MeiboTable->FindKey({RecNo}));
        MeiboTable->Edit();
        MeiboTable->FieldByName(QStringLiteral("Latitude")).SetAsInteger(Latitude);
        MeiboTable->FieldByName(QStringLiteral("Longitude")).SetAsInteger(Longitude);
        MeiboTable->Post();
    }
    void OpenEntry()
    {
        TCallerRecord Known;
        ASSERT_EQ(SearchOwnDirectory(false, QStringLiteral("0312345678"), Known), IdentifyFound);
        View = std::make_unique<TMeiboView>(*DMVxRelvo16);
        View->ShowRecord(&Known);
        View->show();
        (void)QTest::qWaitForWindowExposed(View.get());
        ASSERT_TRUE(View->bbtnMap->isEnabled());
    }
    QStringList Row() const { return Data.Rows(MeiboFileName, "SELECT Latitude, Longitude, AxsDateTime FROM Meibo"); }

    std::unique_ptr<TMeiboView> View;
};

TEST_F(MapButtonsMeiboViewTest, AnAgreedPickIsWrittenAtOnceAndARefusedOneNotAtAll)
{
    PickWith(PickedLat, PickedLon);
    OpenEntry();
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("地図で指定した座標の緯度経度を保存してもよろしいですか？  ")});
    EXPECT_EQ(BoxesBeforeMap, 1);
    ASSERT_EQ(Requests.size(), 1);
    EXPECT_EQ(Requests[0].Latitude, static_cast<std::uint32_t>(Lat));
    ASSERT_EQ(Row().size(), 1);
    EXPECT_TRUE(Row()[0].startsWith(QStringLiteral("130000000|500000000|")));
    EXPECT_NE(Row()[0].section(QLatin1Char('|'), 2).toDouble(), 1000.0); // the access time moved
    EXPECT_EQ(View->Latitude(), PickedLat);
    EXPECT_EQ(View->ShownRecord().Latitude, PickedLat);
    // The entry now stands as shown: closing asks nothing and writes nothing more.
    EXPECT_TRUE(View->ShownRecord().Longitude == PickedLon);

    // No: the map still shows, and every coordinate stays.
    SetPosition(7, Lat, Lon);
    TScriptedBoxes No("No");
    OpenEntry();
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    EXPECT_EQ(Requests.size(), 2);
    EXPECT_EQ(View->Latitude(), Lat);
    EXPECT_TRUE(Row()[0].startsWith(QStringLiteral("128000000|503000000|")));
}

TEST_F(MapButtonsMeiboViewTest, APickEqualToTheOldPlaceWritesNothing)
{
    PickWith(Lat, Lon);
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        MeiboTable->SetIndexName(QString());
        ASSERT_TRUE(MeiboTable->FindKey({7}));
        MeiboTable->Edit();
        MeiboTable->FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(1000);
        MeiboTable->Post();
    }
    OpenEntry();
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    EXPECT_EQ(Requests.size(), 1);
    EXPECT_EQ(Row(), QStringList{QStringLiteral("128000000|503000000|1000.0")});
}

TEST_F(MapButtonsMeiboViewTest, AWriteBackThatFailsIsToldAndThePlaceStaysInTheWindow)
{
    PickWith(PickedLat, PickedLon);
    OpenEntry();
    // Deleted by someone else meanwhile.
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        MeiboTable->SetIndexName(QString());
        ASSERT_TRUE(MeiboTable->FindKey({7}));
        MeiboTable->Delete();
    }
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts().last(), QStringLiteral("該当するデータが見つかりませんでした  "));
    EXPECT_EQ(View->Latitude(), PickedLat);
    EXPECT_EQ(View->Longitude(), PickedLon);

    // A table that refuses the write.
    Data.AddEntry(7, QStringLiteral("03-1234-5678"), QString(), QStringLiteral("田中"));
    OpenEntry();
    Data.BreakWrites(MeiboFileName, "Meibo");
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts().last(), QStringLiteral("変更できませんでした  "));
    EXPECT_EQ(Boxes.Boxes().last().value(QStringLiteral("caption")).toString(), QStringLiteral("Tolvane１６"));
    EXPECT_EQ(View->Latitude(), PickedLat);
    // The shown entry keeps the table's place, so the change button still sees the pick as a change.
    EXPECT_EQ(View->ShownRecord().Latitude, 0);
    EXPECT_FALSE(View->GatherInput().Latitude == View->ShownRecord().Latitude);

    // A table that cannot even be opened: the user hears of the failed write once, not twice.
    QFile Table(Data.Folder + MeiboFileName);
    ASSERT_TRUE(Table.open(QIODevice::WriteOnly | QIODevice::Truncate));
    Table.write(QByteArray(4096, 'x'));
    Table.close();
    const qsizetype Before = Boxes.Texts().size();
    PickWith(PickedLat + 1, PickedLon);
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts().mid(Before),
              (QStringList{QStringLiteral("地図で指定した座標の緯度経度を保存してもよろしいですか？  "),
                           QStringLiteral("変更できませんでした  ")}));
    EXPECT_EQ(View->Latitude(), PickedLat + 1);
}

TEST_F(MapButtonsMeiboViewTest, ANewEntryIsToldAndOtherProgramsAskNothing)
{
    PickWith(PickedLat, PickedLon);
    View = std::make_unique<TMeiboView>(*DMVxRelvo16);
    View->ShowRecord(nullptr);
    View->show();
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("緯度経度情報は登録時に保存されます  ")});
    EXPECT_EQ(View->Latitude(), PickedLat);
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT count(*) FROM Meibo"), QStringList{QStringLiteral("1")});

    // A program that returns no place: no box, and nothing of the entry changes.
    Settings.Map = 7;
    MapLaunchers()[7] = [this](const TMapOpener&, TMapSearchParams& P) {
        Requests << P;
        P.Latitude = 1;
    };
    OpenEntry();
    QTest::mouseClick(View->bbtnMap, Qt::LeftButton);
    EXPECT_EQ(Boxes.Texts().size(), 1);
    EXPECT_EQ(Requests.size(), 2);
    EXPECT_EQ(View->Latitude(), Lat);
}

} // namespace
