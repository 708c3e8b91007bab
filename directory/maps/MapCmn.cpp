#include "directory/maps/MapCmn.h"

#include "main/common/CommonSys.h"
#include "main/common/CommonText.h"

TMapSearchParams MakeMapSearchParams(int SearchKind, int Latitude, int Longitude, const TMapFields& Fields)
{
    TMapSearchParams P;
    P.SearchKind = SearchKind;
    P.Latitude = static_cast<std::uint32_t>(Latitude);
    P.Longitude = static_cast<std::uint32_t>(Longitude);
    P.Tel = DigitsOnly(TrimBlanks(Fields.Tel1).isEmpty() ? Fields.Tel2 : Fields.Tel1);
    P.Address = TrimBlanks(Fields.Tdfkn) + TrimBlanks(Fields.Adrs1) + TrimBlanks(Fields.Adrs2);
    return P;
}

const std::array<TMapProgram, MapProgramCount>& MapPrograms()
{
    static const std::array<TMapProgram, MapProgramCount> Programs = {{
        {QStringLiteral("AtlasMate4/5のどちらのCD-ROMも見つかりません  "), true},
        {QStringLiteral("プロアトラス2002がインストールされていません  "), true},
        {QStringLiteral("プロアトラスＷ～Ｗ３/SV～SV7のいずれもインストールされていません  "), true},
        {QStringLiteral("電子地図帳Ｚ[zi]Ⅱ～５のいずれもインストールされていません  "), false},
        {QStringLiteral("いつもNAVIがインストールされていません  "), false},
        {QStringLiteral("MapFanⅣ/Ⅴのどちらもインストールされていません  "), true},
        {QStringLiteral("MapFan.netがインストールされていません  "), false},
        {QStringLiteral("MapFan PLANNER1/2がインストールされていません  "), false},
        {QStringLiteral("スーパーマップル・デジタル Ver.1～13のいずれもインストールされていません  "), false},
        {QStringLiteral("グランマップがインストールされていません  "), false},
    }};
    return Programs;
}

bool MapReturnsPosition(int Map)
{
    return Map >= 0 && Map < MapProgramCount && MapPrograms()[static_cast<std::size_t>(Map)].ReturnsPosition;
}

TMapRequest MapSetRequest(const TMapSearchParams& Params, TMapView View, int Version)
{
    TMapRequest R;
    R.Latitude = Params.Latitude;
    R.Longitude = Params.Longitude;
    R.Text = View == TMapView::AtlasMate ? Params.Tel : Params.Address;
    // The oldest ProAtlas W and Super Mapple before version 4 cannot search an address from
    // outside: asked to, they fall back to the coordinates.
    if (Params.SearchKind == 1 &&
        ((View == TMapView::ProAtlasW && Version == 1) || (View == TMapView::Mapple && Version < 4)))
        R.Text.clear();
    const bool Position = R.Latitude != 0 && R.Longitude != 0;
    const bool Text = !R.Text.isEmpty();
    if (Params.SearchKind == 0) {
        R.Mode = Position || !Text ? 0 : 1;
        R.Result = Position ? MapShowByPosition : Text ? MapShowByText : MapNothingByPosition;
    } else {
        R.Mode = Text || !Position ? 1 : 0;
        R.Result = Text ? MapShowByText : Position ? MapShowByPosition : MapNothingByText;
        const bool Old = (View == TMapView::ProAtlasW || View == TMapView::Mapple) && Version == 1;
        if (R.Result == MapNothingByText && Old)
            R.Result = MapNothingOldVersion;
    }
    return R;
}

std::int64_t ToSec256(std::int64_t Milliseconds)
{
    return RoundOff(static_cast<double>(Milliseconds) * 256.0 / 1000.0);
}

std::int64_t FromSec256(std::int64_t Sec256)
{
    return RoundOff(static_cast<double>(Sec256) * 1000.0 / 256.0);
}

int MapCommandMode(const TMapSearchParams& Params)
{
    const bool Position = Params.Latitude != 0 && Params.Longitude != 0;
    if (Params.SearchKind == 1 && Params.Address.isEmpty() && Position)
        return 0;
    if (Params.SearchKind == 0 && !Position && !Params.Address.isEmpty())
        return 1;
    return Params.SearchKind;
}

bool StartMapProgram(const QString& Program, const QStringList& Arguments, const QString& WorkDir)
{
    // Without waiting, the answer is 0 once the program runs, else why it could not be started.
    return RunProgram(Program, Arguments, WorkDir, true) == 0;
}
