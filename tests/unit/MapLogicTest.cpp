#include "directory/maps/AtlsMateLogic.h"
#include "directory/maps/MapCmn.h"
#include "directory/maps/MapFanLogic.h"
#include "directory/maps/MappleLogic.h"
#include "directory/maps/ProAtlasLogic.h"
#include "directory/maps/ProAtlsWLogic.h"
#include "main/settings/Settings.h"
#include "platform/msg/MessageBoxFlags.h"
#include "platform/sys/Registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// 35°33′20″ N, 139°43′20″ E in milliseconds of arc.
constexpr std::uint32_t Lat = 128000000;
constexpr std::uint32_t Lon = 503000000;

TMapSearchParams Request(int SearchKind, bool Position, const QString& Text)
{
    TMapSearchParams P;
    P.SearchKind = SearchKind;
    P.Latitude = Position ? Lat : 0;
    P.Longitude = Position ? Lon : 0;
    P.Tel = Text;
    P.Address = Text;
    return P;
}

TEST(MapLogicTest, TheRequestTakesTheFirstNumberOrElseTheSecondAndTheTrimmedAddress)
{
    TMapSearchParams P =
        MakeMapSearchParams(1, 5, 6,
                            {QStringLiteral(" 03-1234-5678 "), QStringLiteral("090-1111-2222"),
                             QStringLiteral(" 東京都 "), QStringLiteral("千代田区 "), QStringLiteral(" 千代田　１")});
    EXPECT_EQ(P.SearchKind, 1);
    EXPECT_EQ(P.Latitude, 5u);
    EXPECT_EQ(P.Longitude, 6u);
    EXPECT_EQ(P.Tel, QStringLiteral("0312345678"));
    EXPECT_EQ(P.Address, QStringLiteral("東京都千代田区千代田　１"));
    EXPECT_FALSE(P.ExitHook);
    EXPECT_EQ(P.Zoom, 0);
    EXPECT_EQ(MakeMapSearchParams(0, 0, 0, {QStringLiteral("  "), QStringLiteral("(090)1111-2222")}).Tel,
              QStringLiteral("09011112222"));
    EXPECT_EQ(MakeMapSearchParams(0, 0, 0, {}).Tel, QString());
}

TEST(MapLogicTest, OneProgramTablePerSettingAndOnlyFourReturnAPlace)
{
    ASSERT_EQ(MapPrograms().size(), static_cast<std::size_t>(MapProgramNames.size()));
    for (int Map = 0; Map < MapProgramCount; ++Map) {
        EXPECT_TRUE(MapPrograms()[Map].NotFound.endsWith(QStringLiteral("  "))) << Map;
    }
    QList<int> Returning;
    for (int Map = -1; Map <= MapProgramCount; ++Map)
        if (MapReturnsPosition(Map))
            Returning << Map;
    EXPECT_EQ(Returning, (QList<int>{0, 1, 2, 5}));
    EXPECT_EQ(MapPrograms()[9].NotFound, QStringLiteral("グランマップがインストールされていません  "));
}

TEST(MapLogicTest, EveryViewTakesARequestByTheSameRule)
{
    struct TRow
    {
        int SearchKind;
        bool Position;
        bool Text;
        int Mode;
        int Result;
    };
    const TRow Rows[] = {
        {0, true, true, 0, MapShowByPosition},  {0, true, false, 0, MapShowByPosition},
        {0, false, true, 1, MapShowByText},     {0, false, false, 0, MapNothingByPosition},
        {1, true, true, 1, MapShowByText},      {1, false, true, 1, MapShowByText},
        {1, true, false, 0, MapShowByPosition}, {1, false, false, 1, MapNothingByText},
    };
    for (TMapView View : {TMapView::AtlasMate, TMapView::ProAtlas, TMapView::ProAtlasW, TMapView::MapFan,
                          TMapView::MapFanNet, TMapView::MapFanPLAN, TMapView::Mapple}) {
        // The newest versions search by text.
        const int Version = View == TMapView::Mapple ? 13 : View == TMapView::ProAtlasW ? 5 : 0;
        for (const TRow& Row : Rows) {
            const TMapRequest R = MapSetRequest(
                Request(Row.SearchKind, Row.Position, Row.Text ? QStringLiteral("X") : QString()), View, Version);
            EXPECT_EQ(R.Mode, Row.Mode) << static_cast<int>(View) << " " << Row.SearchKind << Row.Position << Row.Text;
            EXPECT_EQ(R.Result, Row.Result)
                << static_cast<int>(View) << " " << Row.SearchKind << Row.Position << Row.Text;
        }
    }
    // AtlasMate looks the number up, the others the address.
    TMapSearchParams P = Request(1, false, QString());
    P.Tel = QStringLiteral("0312345678");
    EXPECT_EQ(MapSetRequest(P, TMapView::AtlasMate).Result, MapShowByText);
    EXPECT_EQ(MapSetRequest(P, TMapView::MapFan).Result, MapNothingByText);
}

TEST(MapLogicTest, OldVersionsThatCannotSearchAnAddressFallBackToTheCoordinates)
{
    const QString Address = QStringLiteral("東京都千代田区千代田");
    // ProAtlas W 1 with coordinates shows by them; without, nothing with its own answer.
    TMapRequest R = MapSetRequest(Request(1, true, Address), TMapView::ProAtlasW, 1);
    EXPECT_EQ(R.Mode, 0);
    EXPECT_EQ(R.Result, MapShowByPosition);
    EXPECT_TRUE(R.Text.isEmpty());
    EXPECT_EQ(MapSetRequest(Request(1, false, Address), TMapView::ProAtlasW, 1).Result, MapNothingOldVersion);
    EXPECT_EQ(MapSetRequest(Request(1, false, Address), TMapView::ProAtlasW, 2).Result, MapShowByText);
    // Coordinates first, the old version still takes the address.
    EXPECT_EQ(MapSetRequest(Request(0, false, Address), TMapView::ProAtlasW, 1).Result, MapShowByText);
    // Super Mapple below 4 drops the address too; only version 1 answers 4.
    EXPECT_EQ(MapSetRequest(Request(1, false, Address), TMapView::Mapple, 1).Result, MapNothingOldVersion);
    EXPECT_EQ(MapSetRequest(Request(1, false, Address), TMapView::Mapple, 3).Result, MapNothingByText);
    EXPECT_EQ(MapSetRequest(Request(1, false, Address), TMapView::Mapple, 4).Result, MapShowByText);
    // Version 3 in address-first mode starts its starter with the coordinates.
    const TMapRequest Mapple3 = MapSetRequest(Request(1, true, Address), TMapView::Mapple, 3);
    EXPECT_EQ(MappleStarterArguments(Mapple3),
              (QStringList{QStringLiteral("/LAT=128000000"), QStringLiteral("/LON=503000000")}));
    EXPECT_EQ(MappleStarterArguments(MapSetRequest(Request(1, true, Address), TMapView::Mapple, 4)),
              QStringList{QStringLiteral("/ADDRESS=") + Address});
    EXPECT_EQ(MappleStarterArguments(MapSetRequest(Request(0, false, Address), TMapView::Mapple, 13)),
              QStringList{QStringLiteral("/ADDRESS=") + Address});
    EXPECT_TRUE(MappleStarterArguments(MapSetRequest(Request(0, false, QString()), TMapView::Mapple, 13)).isEmpty());
}

TEST(MapLogicTest, ProAtlasWCoordinateTextsGoBothWays)
{
    EXPECT_EQ(ProAtlasWCoordText(Lat), QStringLiteral("35/33/20000"));
    EXPECT_EQ(ProAtlasWCoordText(Lon), QStringLiteral("139/43/20000"));
    EXPECT_EQ(ProAtlasWCoordText(3600000 + 60000 + 5), QStringLiteral("1/01/00005"));
    EXPECT_EQ(ProAtlasWCoordText(0), QString());
    EXPECT_EQ(ProAtlasWCoordValue(QStringLiteral("35/33/20000")), Lat);
    EXPECT_EQ(ProAtlasWCoordValue(QStringLiteral("139/43/20000")), Lon);
    for (const char* Broken : {"35/33", "", "35", "a/b/c", "-1/0/0", "35/33/20000/1", "9999999999/0/0", "1//2"}) {
        EXPECT_EQ(ProAtlasWCoordValue(QString::fromLatin1(Broken)), 0u) << Broken;
    }
}

TEST(MapLogicTest, SecondsIn256thsRoundBothWays)
{
    EXPECT_EQ(ToSec256(Lat), 32768000);
    EXPECT_EQ(FromSec256(32768000), Lat);
    EXPECT_EQ(ToSec256(Lon), 128768000);
    // A place the user did not move comes back through both roundings.
    EXPECT_EQ(ToSec256(128000001), 32768000);
    EXPECT_EQ(FromSec256(ToSec256(128000001)), 128000000);
    EXPECT_EQ(ToSec256(2), 1); // 0.512 rounds up
}

TEST(MapLogicTest, AtlasMateBearingsAndMeshes)
{
    const TAtlasBearings B = BearingsFromPosition(Lat, Lon);
    EXPECT_EQ(B, (TAtlasBearings{139, 43, 20, 0, 35, 33, 20, 0}));
    EXPECT_EQ(PositionFromBearings(B), (TMapPosition{Lat, Lon}));
    EXPECT_EQ(PositionFromBearings(TAtlasBearings{139, 43, 20, 0, 35, 33, 20, 5}), (TMapPosition{128000005, Lon}));
    EXPECT_EQ(PositionFromBearings(BearingsFromPosition(Lat, 0)), std::nullopt); // no map was shown

    QByteArray Result = QByteArray("1A2B0C0D") + QByteArray("\0\0", 2) + "00001234" + "00005678";
    Result.resize(DTMapAdrsResultSize);
    EXPECT_EQ(ParseDTMapAdrsResult(Result), (TAtlasMesh{0x1A2B, 12, 13, 1234, 5678}));
    EXPECT_EQ(ParseDTMapAdrsResult(QByteArray("1a2b0c0d..0000123400005678")), (TAtlasMesh{0x1A2B, 12, 13, 1234, 5678}));
    EXPECT_EQ(ParseDTMapAdrsResult(QByteArray("1A2G0C0D..0000123400005678")), std::nullopt);
    EXPECT_EQ(ParseDTMapAdrsResult(QByteArray("1A2B0C0D..00001234")), std::nullopt);
    EXPECT_EQ(ParseDTMapAdrsResult(QByteArray(DTMapAdrsResultSize, '\0')), std::nullopt);

    EXPECT_TRUE(DTMapAdrsAnswer(0).ShowMap);
    EXPECT_TRUE(DTMapAdrsAnswer(0).Message.isEmpty());
    EXPECT_TRUE(DTMapAdrsAnswer(1).ShowMap); // told, and the map nearby is shown
    EXPECT_FALSE(DTMapAdrsAnswer(1).Message.isEmpty());
    EXPECT_EQ(DTMapAdrsAnswer(8).Flags, MB_OK | MB_ICONWARNING);
    EXPECT_FALSE(DTMapAdrsAnswer(3).ShowMap);
    EXPECT_EQ(DTMapAdrsAnswer(-7).Message, QStringLiteral("DTMapAdrs (DTMap32.so) Call Error\r\nRC = -7"));
    EXPECT_EQ(DTMapAdrsAnswer(-7).Flags, MB_OK | MB_ICONSTOP);
}

TEST(MapLogicTest, MapFanTakesTheMostDetailedScaleOnOffer)
{
    EXPECT_EQ(MapFanScaleFromMask(MapFanScaleBit(3) | MapFanScaleBit(7)), 7);
    EXPECT_EQ(MapFanScaleCaptions().at(7), QStringLiteral("1/50000"));
    EXPECT_EQ(MapFanScaleFromMask(0x3FFFF), -1); // no scale bits: the scale stays
    EXPECT_EQ(MapFanScaleFromMask(MapFanScaleBit(11)), 11);
    EXPECT_EQ(MapFanScaleBit(0), 0x40000u);
    EXPECT_EQ(MapFanScaleCaptions().size(), 12);

    EXPECT_EQ(MapFanVersionFromSubKeys({QStringLiteral("3"), QStringLiteral("5"), QStringLiteral("4")}), 5);
    // Sorted as names, "10" comes before "3": the last name down is taken first.
    EXPECT_EQ(MapFanVersionFromSubKeys({QStringLiteral("10"), QStringLiteral("3")}), 10);
    EXPECT_EQ(MapFanVersionFromSubKeys({QStringLiteral("3"), QStringLiteral("Common")}), std::nullopt);
    EXPECT_EQ(MapFanVersionFromSubKeys({}), std::nullopt);
}

TEST(MapLogicTest, ProAtlasChoosesTheMostDetailedArea)
{
    const TMapPosition Req{Lat, Lon};
    TProAtlasAreaProbe Coarse{true, 25000, {1, 2}, false, 0};
    TProAtlasAreaProbe Fine{true, 10000, {3, 4}, false, 0};
    TProAtlasChoice C = ChooseProAtlasArea({Coarse, Fine}, 1, Req);
    EXPECT_EQ(C.Area, 1);
    EXPECT_EQ(C.Scale, 10000);
    EXPECT_EQ(C.Position, (TMapPosition{3, 4}));
    EXPECT_FALSE(C.Centre);
    EXPECT_EQ(ChooseProAtlasArea({Fine, Fine}, 1, Req).Area, 0); // equal scales: the earlier
    C = ChooseProAtlasArea({{}, {}}, 0, Req);
    EXPECT_TRUE(C.Centre);
    EXPECT_EQ(C.Area, 0);
    // Coordinates first prefers the area holding them, and takes the request's own place.
    const TProAtlasAreaProbe Holds{false, 0, {}, true, 50000};
    C = ChooseProAtlasArea({Fine, Holds}, 0, Req);
    EXPECT_EQ(C.Area, 1);
    EXPECT_EQ(C.Position, Req);
    EXPECT_EQ(ChooseProAtlasArea({Fine, Holds}, 1, Req).Area, 0);
    EXPECT_EQ(ChooseProAtlasArea({Holds}, 1, Req).Area, 0); // the other way when the first has none

    const QList<TProAtlasLayer> Layers = {{100000, 1}, {25000, 2}, {25000, 3}};
    EXPECT_EQ(ChooseProAtlasLayer(Layers, 25000, 3).Index, 2);
    EXPECT_FALSE(ChooseProAtlasLayer(Layers, 25000, 3).SetControl);
    EXPECT_EQ(ChooseProAtlasLayer(Layers, 25000, 9).Index, 0);
    EXPECT_TRUE(ChooseProAtlasLayer(Layers, 25000, 9).SetControl);
    EXPECT_EQ(ChooseProAtlasLayer({}, 1, 1).Index, -1);
}

TEST(MapLogicTest, TheCopiedMapsCornersKeepTheirMilliseconds)
{
    EXPECT_EQ(ProAtlasCornerText({128000005, Lon}, {127000000, 504000999}),
              QStringLiteral("左上 北緯 : 35度33分20.005秒  東経 : 139度43分20.000秒\r\n"
                             "右下 北緯 : 35度16分40.000秒  東経 : 140度00分00.999秒\r\n"));
}

// The starter answers "-I" with 0 when the program is installed and "-V" with the version times 100.
TEST(MapLogicTest, SuperMappleIsFoundThroughItsStarterOrElseItsFirstEditionsEntry)
{
    QTemporaryDir Folder;
    const QString Starter = Folder.filePath(QStringLiteral("MappleKick"));
    const auto WriteStarter = [&Starter](const char* Script) {
        QFile File(Starter);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Script);
        File.close();
        File.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    WriteStarter("#!/bin/sh\n[ \"$1\" = -I ] && exit 0\n[ \"$1\" = -V ] && [ \"$PWD\" = \"$(dirname \"$0\")\" ] && "
                 "exit 200\nexit 1\n");
    std::optional<TMappleInstall> Found = FindMapple(Folder.path());
    ASSERT_TRUE(Found);
    EXPECT_EQ(Found->Version, 2);
    EXPECT_EQ(Found->Program, QStringLiteral("MappleKick"));

    // Without the starter's answer, the first edition's registry entry, when its program is there.
    WriteStarter("#!/bin/sh\nexit 3\n");
    const QString Key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Super Mapple\\Version 1.0.1R\\Mapple\\App");
    ASSERT_TRUE(WriteRegistryString(Key, QStringLiteral("Path"), Folder.path()));
    EXPECT_FALSE(FindMapple(Folder.path()));
    QFile Program(Folder.filePath(QStringLiteral("Mapple")));
    ASSERT_TRUE(Program.open(QIODevice::WriteOnly));
    Program.close();
    Found = FindMapple(Folder.path());
    ASSERT_TRUE(Found);
    EXPECT_EQ(Found->Version, 1);
    EXPECT_EQ(Found->Folder, Folder.path() + QStringLiteral("/"));
    ASSERT_TRUE(WriteRegistryString(Key, QStringLiteral("Path"), QString()));
    EXPECT_FALSE(FindMapple(Folder.path()));
}

} // namespace

// The map programs are found by the sub-keys of their keys: one step below, each once, from the
// administrator's file and the user's, a deeper key naming its first step as well.
TEST(MapRegistryTest, SubKeysAreTheSectionsOneStepBelowTheKey)
{
    QTemporaryDir System;
    const QByteArray SavedDirs = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(System.path()));
    ASSERT_TRUE(QDir().mkpath(System.filePath(QStringLiteral("Pelmar"))));
    QFile File(SystemRegistryFileNames().back());
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Increment P Corporation\\MapFan\\4]\nA=1\n");
    File.close();
    QFile::remove(RegistryFileName());
    const QString Key = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Increment P Corporation\\MapFan");
    ASSERT_TRUE(WriteRegistryString(Key + QStringLiteral("\\5\\Data"), QStringLiteral("B"), QStringLiteral("2")));
    ASSERT_TRUE(WriteRegistryString(Key.toLower() + QStringLiteral("\\4"), QStringLiteral("C"), QStringLiteral("3")));
    ASSERT_TRUE(WriteRegistryString(Key + QStringLiteral("Plus\\9"), QStringLiteral("D"), QStringLiteral("4")));
    EXPECT_EQ(RegistrySubKeys(Key), (QStringList{"4", "5"}));
    EXPECT_EQ(RegistrySubKeys(Key + QStringLiteral("\\")), (QStringList{"4", "5"}));
    EXPECT_EQ(RegistrySubKeys(Key + QStringLiteral("\\4")), QStringList());
    EXPECT_EQ(MapFanVersionFromSubKeys(RegistrySubKeys(Key)), 5);
    QFile::remove(RegistryFileName());
    qputenv("XDG_CONFIG_DIRS", SavedDirs);
}
