// What comes back from the map programs and what they are sent: the number library's result area
// (a mesh in hexadecimal and decimal fields), ProAtlas W's mark texts, MapFan's registry sub-keys,
// and the command lines of the three programs started with one, as their stand-in reads them.
// A field that reads gives back its own text, a mark text gives a position its canonical text
// reads back as, and a request sent on a command line arrives whole.

#include "FuzzSupport.h"
#include "directory/maps/AtlsMateLogic.h"
#include "directory/maps/GrandMap.h"
#include "directory/maps/MapFanLogic.h"
#include "directory/maps/ProAtlsWLogic.h"
#include "directory/maps/ZDC.h"
#include "directory/maps/Zenrin.h"
#include "peers/maps/MapCmdArgs.h"

#include <cmath>
#include <limits>

namespace {

bool AllOf(const QByteArray& Bytes, const char* Digits)
{
    for (const char C : Bytes)
        if (!std::strchr(Digits, C) || C == '\0')
            return false;
    return true;
}

void CheckMesh(const QByteArray& Result)
{
    const std::optional<TAtlasMesh> Mesh = ParseDTMapAdrsResult(Result);
    const bool Readable = Result.size() >= 26 && AllOf(Result.left(8), "0123456789ABCDEFabcdef") &&
                          AllOf(Result.mid(10, 16), "0123456789");
    VX_FUZZ_CHECK(Mesh.has_value() == Readable);
    if (!Mesh)
        return;
    const QByteArray Hex = QStringLiteral("%1%2%3")
                               .arg(Mesh->Number, 4, 16, QLatin1Char('0'))
                               .arg(Mesh->Sub1, 2, 16, QLatin1Char('0'))
                               .arg(Mesh->Sub2, 2, 16, QLatin1Char('0'))
                               .toLatin1();
    VX_FUZZ_CHECK_EQ(Hex.toUpper(), Result.left(8).toUpper());
    VX_FUZZ_CHECK_EQ(QStringLiteral("%1%2").arg(Mesh->X, 8, 10, QLatin1Char('0')).arg(Mesh->Y, 8, 10, QLatin1Char('0')),
                     QString::fromLatin1(Result.mid(10, 16)));
}

void CheckMark(const QString& Text)
{
    const std::uint32_t Value = ProAtlasWCoordValue(Text);
    VX_FUZZ_CHECK(Value <= static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()));
    if (Value != 0)
        VX_FUZZ_CHECK_EQ(ProAtlasWCoordValue(ProAtlasWCoordText(Value)), Value);
}

void CheckSubKeys(const QStringList& Keys)
{
    const std::optional<int> Version = MapFanVersionFromSubKeys(Keys);
    if (!Version)
        return;
    VX_FUZZ_CHECK(*Version >= 4);
    bool Listed = false;
    for (const QString& Key : Keys)
        Listed = Listed || Key.trimmed().toInt() == *Version;
    VX_FUZZ_CHECK(Listed);
}

bool Near(double Got, double Want, double Tolerance)
{
    return std::isfinite(Got) && std::fabs(Got - Want) <= Tolerance;
}

// The request each builder writes arrives as the stand-in reads it.
void CheckCommandLines(const TMapSearchParams& P)
{
    const bool Position = P.Latitude != 0 && P.Longitude != 0;
    const std::optional<QStringList> NaviArgs = ItsMoNaviArguments(P);
    VX_FUZZ_CHECK(NaviArgs.has_value() == (P.SearchKind == 0 || P.SearchKind == 1));
    // The settings know no other search kind.
    if (!NaviArgs)
        return;

    const TMapCmdRequest E = ReadMapCommand(TMapCmdKind::EmapZ, EmapZArguments(P));
    VX_FUZZ_CHECK(E.Error.isEmpty());
    VX_FUZZ_CHECK(E.ByPosition == (MapCommandMode(P) == 0));
    VX_FUZZ_CHECK_EQ(E.Address, P.Address);
    VX_FUZZ_CHECK(Near(E.Latitude * 36000.0, P.Latitude / 100, 1e-3));
    VX_FUZZ_CHECK(Near(E.Longitude * 36000.0, P.Longitude / 100, 1e-3));

    const TMapCmdRequest N = ReadMapCommand(TMapCmdKind::ItsMoNavi, *NaviArgs);
    VX_FUZZ_CHECK(N.Error.isEmpty());
    if (N.ByPosition) {
        VX_FUZZ_CHECK(P.SearchKind == 0 || (Position && P.Address.isEmpty()));
        VX_FUZZ_CHECK(Near(N.Latitude * 3600.0, P.Latitude / 1000.0, 0.0051));
        VX_FUZZ_CHECK(Near(N.Longitude * 3600.0, P.Longitude / 1000.0, 0.0051));
    } else {
        VX_FUZZ_CHECK_EQ(N.Address, P.Address);
    }

    const TMapCmdRequest G = ReadMapCommand(TMapCmdKind::GrandMap, GrandMapArguments(P));
    VX_FUZZ_CHECK(G.Error.isEmpty());
    VX_FUZZ_CHECK(G.ByPosition == (MapCommandMode(P) == 0));
    if (G.ByPosition) {
        VX_FUZZ_CHECK(Near(G.Latitude, P.Latitude / 3600000.0, 5.1e-7));
        VX_FUZZ_CHECK(Near(G.Longitude, P.Longitude / 3600000.0, 5.1e-7));
    } else {
        VX_FUZZ_CHECK_EQ(G.Address, P.Address);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    CheckMesh(Bytes);
    CheckMark(QString::fromUtf8(Bytes));
    CheckSubKeys(QString::fromUtf8(Bytes).split(QLatin1Char('\n')));

    TFuzzInput In(Data, Size);
    TMapSearchParams P;
    P.SearchKind = In.Byte() % 3;
    P.Latitude = In.Number<std::uint32_t>();
    P.Longitude = In.Number<std::uint32_t>();
    P.Address = QString::fromUtf8(In.Piece());
    CheckCommandLines(P);

    // Any argument list: a request or a reason, never a number that is not one.
    QStringList Args;
    for (const QByteArray& Arg : In.Rest().split('\0'))
        Args << QString::fromUtf8(Arg);
    for (TMapCmdKind Kind : {TMapCmdKind::EmapZ, TMapCmdKind::ItsMoNavi, TMapCmdKind::GrandMap, TMapCmdKind::Unknown}) {
        const TMapCmdRequest R = ReadMapCommand(Kind, Args);
        VX_FUZZ_CHECK(std::isfinite(R.Latitude) && std::isfinite(R.Longitude));
        if (!R.Error.isEmpty())
            VX_FUZZ_CHECK(!R.ByPosition && R.Address.isEmpty());
    }
    return 0;
}
