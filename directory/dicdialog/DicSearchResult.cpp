#include "directory/dicdialog/DicSearchResult.h"

#include "directory/dic/AdrsHitRecord.h"
#include "directory/dic/KykbnDicClass.h"
#include "main/common/CommonText.h"

namespace {

QString Field(const QString& Text, int Width)
{
    return MbcsLeft(Text.trimmed(), Width);
}

// What both kinds of hit name alike.
template <typename THit> TDicSearchResult AddressOf(const THit& Hit)
{
    TDicSearchResult Result;
    Result.Pos = Field(Hit.Pos, TDicSearchResult::PosWidth);
    Result.Tdfkn = Field(Hit.TdfknKanji, TDicSearchResult::TdfknWidth);
    Result.Adrs1 = Field(Hit.CityKanji, TDicSearchResult::Adrs1Width);
    Result.Adrs2 = Field(Hit.TownKanji, TDicSearchResult::Adrs2Width);
    Result.JisCode = Field(Hit.JisCode, TDicSearchResult::JisCodeWidth);
    Result.KajoCode = Field(Hit.KajoCode, TDicSearchResult::KajoCodeWidth);
    Result.Latitude = Hit.Latitude;
    Result.Longitude = Hit.Longitude;
    return Result;
}

} // namespace

TDicSearchResult DicResultOfKykbnHit(const TKykbnHitRecord& Hit)
{
    TDicSearchResult Result = AddressOf(Hit);
    Result.Tel = Field(Hit.Tel, TDicSearchResult::TelWidth);
    return Result;
}

TDicSearchResult DicResultOfAdrsHit(const TAdrsHitRecord& Hit)
{
    TDicSearchResult Result = AddressOf(Hit);
    Result.NameKanji = Field(Hit.LargeKanji, TDicSearchResult::NameKanjiWidth);
    Result.NameKana = Field(Hit.LargeKana, TDicSearchResult::NameKanaWidth);
    return Result;
}
