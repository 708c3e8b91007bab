#include "directory/Geomark.h"

#include "directory/DicField.h"
#include "platform/msg/CoreMessage.h"
#include "platform/dynlib/DynLib.h"
#include "platform/text/Cp932.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr char LibraryName[] = "Geomark.so";

struct TBinding
{
    TDynLib Library;
    int UseCount = 0;
    TGeomarkAdrsProc GeomarkAdrs = nullptr;
};

TBinding& Binding()
{
    static TBinding Instance;
    return Instance;
}

} // namespace

int LoadGeomarkLibrary(const QString& LibraryFolder)
{
    TBinding& B = Binding();
    if (++B.UseCount > 1)
        return 0;
    if (!B.Library.Load(LibraryFolder + QLatin1String(LibraryName))) {
        (void)CoreMessageBox(QStringLiteral("Geomark.so\r\nDLLのロードに失敗しました"),
                             QStringLiteral("Geomark.so LoadLibrary Error"), MB_ICONSTOP);
        return GeomarkRcLoadError;
    }
    B.GeomarkAdrs = reinterpret_cast<TGeomarkAdrsProc>(B.Library.Symbol("GeomarkAdrs"));
    if (!B.GeomarkAdrs) {
        (void)CoreMessageBox(QStringLiteral("GeomarkAdrs\r\n関数の割り当てに失敗しました"),
                             QStringLiteral("Geomark.so GetProcAddress Error"), MB_ICONSTOP);
        FreeGeomarkLibrary();
        return GeomarkRcBindError;
    }
    return 0;
}

void FreeGeomarkLibrary()
{
    TBinding& B = Binding();
    if (B.UseCount <= 0)
        return;
    if (--B.UseCount == 0 && B.Library.Loaded()) {
        B.GeomarkAdrs = nullptr;
        B.Library.Free();
    }
}

bool GeomarkLibraryLoaded()
{
    return Binding().GeomarkAdrs != nullptr;
}

int GeomarkLookup(const QString& Key, TGeomarkRecord& Record, const QString& DicFolder)
{
    if (!GeomarkLibraryLoaded())
        return GeomarkRcNotLoaded;
    std::memset(&Record, 0, sizeof(Record));
    return Binding().GeomarkAdrs(Cp932Encode(Key).constData(), &Record, PathBytes(DicFolder).constData());
}

QString GeomarkKey(const QString& JisCode, const QString& KajoCode)
{
    return (JisCode.left(5) + KajoCode.left(6) + QStringLiteral("00000000000")).left(11);
}

std::int32_t Arc256ToMilliseconds(std::int64_t Value)
{
    const std::int64_t Scaled = Value * 1000;
    const std::int64_t Rounded = Scaled >= 0 ? (Scaled + 128) / 256 : -((-Scaled + 128) / 256);
    // Nothing on earth lies beyond 32 bits of milliseconds; a wild value is held at the edge, not wrapped.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(Rounded, INT32_MIN, INT32_MAX));
}

QString FormatPostalCode(const QString& Code)
{
    if (Code.size() == 5 || Code.size() == 7)
        return Code.left(3) + QLatin1Char('-') + Code.mid(3);
    return Code;
}

TGeomarkResult ReadGeomarkRecord(const TGeomarkRecord& Record)
{
    const auto Text = [](const auto& Field) { return FixedFieldText(Field, sizeof(Field)); };
    TGeomarkResult Result;
    Result.Pos = FormatPostalCode(Text(Record.Pos));
    Result.TdfknKana = Text(Record.TdfknKana);
    Result.TdfknKanji = Text(Record.TdfknKanji);
    Result.CityKana = Text(Record.CityKana);
    Result.CityKanji = Text(Record.CityKanji);
    Result.TownKana = Text(Record.TownKana) + Text(Record.SubAreaKana);
    Result.TownKanji = Text(Record.TownKanji) + Text(Record.SubAreaKanji);
    Result.Latitude = Arc256ToMilliseconds(Record.Latitude);
    Result.Longitude = Arc256ToMilliseconds(Record.Longitude);
    return Result;
}
