#include "directory/dic/DicLibrary.h"

#include "directory/Geomark.h"
#include "directory/dic/AdrsHitRecord.h"
#include "platform/sys/Folders.h"
#include "platform/text/Cp932.h"

QString DicLibraryFolder(const QString& Folder)
{
    return IncludeTrailingDelimiter(Folder.isEmpty() ? GetProgramFolder() : Folder);
}

QString HitField(const QString& Text, int Capacity)
{
    return Cp932Left(Text, Capacity - 1);
}

void ApplyCoordinates(TAdrsHitRecord& Hit, const QString& LibraryFolder, const QString& DicFolder, bool ReplaceTexts)
{
    const int Loaded = LoadGeomarkLibrary(LibraryFolder);
    if (Loaded == 0) {
        TGeomarkRecord Record{};
        if (GeomarkLookup(GeomarkKey(Hit.JisCode, Hit.KajoCode), Record, DicFolder) == 0) {
            TGeomarkResult Found = ReadGeomarkRecord(Record);
            if (ReplaceTexts) {
                Hit.Pos = HitField(Found.Pos, TAdrsHitRecord::PosCapacity);
                Hit.TdfknKana = HitField(Found.TdfknKana, TAdrsHitRecord::PrefCapacity);
                Hit.TdfknKanji = HitField(Found.TdfknKanji, TAdrsHitRecord::PrefCapacity);
                Hit.CityKana = HitField(Found.CityKana, TAdrsHitRecord::CityCapacity);
                Hit.CityKanji = HitField(Found.CityKanji, TAdrsHitRecord::CityCapacity);
                Hit.TownKana = HitField(Found.TownKana, TAdrsHitRecord::TownCapacity);
                Hit.TownKanji = HitField(Found.TownKanji, TAdrsHitRecord::TownCapacity);
            }
            Hit.Latitude = Found.Latitude;
            Hit.Longitude = Found.Longitude;
        }
    }
    // A failed bind has given its use back already; a failed load still holds one.
    if (Loaded != GeomarkRcBindError)
        FreeGeomarkLibrary();
}
