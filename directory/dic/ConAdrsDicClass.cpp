#include "directory/dic/ConAdrsDicClass.h"

#include "directory/DicField.h"
#include "directory/Geomark.h"
#include "directory/dic/AdrsHitRecord.h"
#include "directory/dic/DicLibrary.h"
#include "platform/text/Cp932.h"

namespace {

const QString LibraryName = QStringLiteral("Placefix.so");

template <std::size_t N> QString Text(const char (&Field)[N])
{
    return FixedFieldText(Field, static_cast<int>(N));
}

} // namespace

TContinualAdrsSearch::TContinualAdrsSearch(const QString& LibraryFolder, const QString& DicFolder)
    : FLibraryFolder(DicLibraryFolder(LibraryFolder)), FDicFolder(DicLibraryFolder(DicFolder))
{
    LoadDicLibrary<EPlacefixErro>(FLibrary, FLibraryFolder, LibraryName);
    BindDicProc<EPlacefixErro>(FLibrary, FPlacefixAdrs, "PlacefixAdrs", LibraryName);
}

TContinualAdrsSearch::~TContinualAdrsSearch()
{
    if (FGeomarkHeld)
        FreeGeomarkLibrary();
    FLibrary.Free();
}

int TContinualAdrsSearch::Search(const QString& Address)
{
    FBuilt = false;
    FWithCoordinates = false;
    FAddress = Address.trimmed();
    if (FAddress.isEmpty())
        throw EContinualAdrsSearchError(QStringLiteral("検索住所が未入力です"));
    FRecord = TPlacefixRecord{};
    const int Rc = FPlacefixAdrs(Cp932Encode(FAddress).constData(), &FRecord, PathBytes(FDicFolder).constData());
    if (Rc != 0 && Rc != 1 && Rc != 4 && Rc != 8)
        RaiseDicCallError<EPlacefixErro>("PlacefixAdrs", LibraryName, Rc);
    return Rc;
}

const TContinualAdrsResult& TContinualAdrsSearch::GetResult(bool WithCoordinates)
{
    if (FBuilt && (!WithCoordinates || FWithCoordinates))
        return FResult;
    FResult = TContinualAdrsResult{};
    FResult.Pos = HitField(FormatPostalCode(Text(FRecord.Pos)), TAdrsHitRecord::PosCapacity);
    FResult.TdfknKana = HitField(Text(FRecord.PrefKana), TAdrsHitRecord::PrefCapacity);
    FResult.TdfknKanji = HitField(Text(FRecord.PrefKanji), TAdrsHitRecord::PrefCapacity);
    FResult.CityKana = HitField(Text(FRecord.CityKana), TAdrsHitRecord::CityCapacity);
    FResult.CityKanji = HitField(Text(FRecord.CityKanji), TAdrsHitRecord::CityCapacity);
    FResult.TownKana = HitField(Text(FRecord.TownKana), TAdrsHitRecord::TownCapacity);
    FResult.TownKanji = HitField(Text(FRecord.TownKanji), TAdrsHitRecord::TownCapacity);
    FResult.JisCode = HitField(Text(FRecord.JisCode), TAdrsHitRecord::JisCodeCapacity);
    FResult.KajoCode = HitField(Text(FRecord.KajoCode), TAdrsHitRecord::KajoCodeCapacity);
    if (WithCoordinates) {
        FWithCoordinates = true;
        // One use for the whole run: a failing library shows its box once, not once per address.
        if (!FGeomarkTried) {
            FGeomarkTried = true;
            const int Loaded = LoadGeomarkLibrary(FLibraryFolder);
            FGeomarkHeld = Loaded == 0;
            if (Loaded == GeomarkRcLoadError)
                FreeGeomarkLibrary();
        }
        TGeomarkRecord Record{};
        if (FGeomarkHeld && GeomarkLookup(GeomarkKey(FResult.JisCode, FResult.KajoCode), Record, FDicFolder) == 0) {
            TGeomarkResult Found = ReadGeomarkRecord(Record);
            FResult.Pos = HitField(Found.Pos, TAdrsHitRecord::PosCapacity);
            FResult.TdfknKana = HitField(Found.TdfknKana, TAdrsHitRecord::PrefCapacity);
            FResult.TdfknKanji = HitField(Found.TdfknKanji, TAdrsHitRecord::PrefCapacity);
            FResult.CityKana = HitField(Found.CityKana, TAdrsHitRecord::CityCapacity);
            FResult.CityKanji = HitField(Found.CityKanji, TAdrsHitRecord::CityCapacity);
            FResult.TownKana = HitField(Found.TownKana, TAdrsHitRecord::TownCapacity);
            FResult.TownKanji = HitField(Found.TownKanji, TAdrsHitRecord::TownCapacity);
            FResult.Latitude = Found.Latitude;
            FResult.Longitude = Found.Longitude;
        }
    }
    FBuilt = true;
    return FResult;
}
