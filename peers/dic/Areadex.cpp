// Stand-in for the area-code dictionary: a telephone number to the municipalities of its exchange
// area and their towns. The exchange area is the Japanese description of libphonenumber's offline
// geocoder; its municipalities are the numbering plan's, as the dictionary's area table holds them
// (ExchangeAreas.tsv), and their towns come from the postal dictionary. rc: 0 found; 1 more towns follow; 4 not a
// Japanese number; 8 no exchange area (or no towns); 12 no dictionary; 2 a bad argument.

#include "peers/dic/PlaceIndex.h"
#include "platform/sys/FileVersionNote.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>

namespace {

struct TCityRecord
{
    char JisCode[6];
    char Kanji[40];
    char Reserved[2];
    std::int32_t TownCount;
};
static_assert(sizeof(TCityRecord) == 52);
static_assert(offsetof(TCityRecord, Kanji) == 6);
static_assert(offsetof(TCityRecord, TownCount) == 48);

struct TTownRecord
{
    char Initial[2];
    char Pos[8];
    char Codes[12];
    char Kanji[74];
};
static_assert(sizeof(TTownRecord) == 96);
static_assert(offsetof(TTownRecord, Pos) == 2);
static_assert(offsetof(TTownRecord, Codes) == 10);
static_assert(offsetof(TTownRecord, Kanji) == 22);

constexpr int Batch = 20;
constexpr std::int32_t RcLast = 0;
constexpr std::int32_t RcMore = 1;
constexpr std::int32_t RcBadArgument = 2;
constexpr std::int32_t RcBadNumber = 4;
constexpr std::int32_t RcNone = 8;
constexpr std::int32_t RcNoDictionary = 12;

// The prefectures as the geocoder's English descriptions name them, in the order of their codes.
const char* const EnglishPrefectures[47] = {
    "Hokkaido", "Aomori",    "Iwate",     "Miyagi",    "Akita",    "Yamagata",  "Fukushima", "Ibaraki",
    "Tochigi",  "Gunma",     "Saitama",   "Chiba",     "Tokyo",    "Kanagawa",  "Niigata",   "Toyama",
    "Ishikawa", "Fukui",     "Yamanashi", "Nagano",    "Gifu",     "Shizuoka",  "Aichi",     "Mie",
    "Shiga",    "Kyoto",     "Osaka",     "Hyogo",     "Nara",     "Wakayama",  "Tottori",   "Shimane",
    "Okayama",  "Hiroshima", "Yamaguchi", "Tokushima", "Kagawa",   "Ehime",     "Kochi",     "Fukuoka",
    "Saga",     "Nagasaki",  "Kumamoto",  "Oita",      "Miyazaki", "Kagoshima", "Okinawa"};

int EnglishPrefecture(const std::string& Description)
{
    size_t Comma = Description.rfind(", ");
    const std::string Name = Comma == std::string::npos ? Description : Description.substr(Comma + 2);
    for (int I = 0; I < 47; ++I)
        if (Name == EnglishPrefectures[I])
            return I;
    return -1;
}

std::string CityKanji(const dicstore::TPlaceCity& City)
{
    return dicstore::ToCp932(City.PrefName + City.Name, 40);
}

// The municipalities of a number's exchange area, or an rc.
std::int32_t AreaCities(const char* Number, const char* DicFolder, std::vector<const dicstore::TPlaceCity*>& Cities)
{
    using namespace i18n::phonenumbers;
    if (!Number)
        return RcBadArgument;
    const PhoneNumberUtil& Util = *PhoneNumberUtil::GetInstance();
    PhoneNumber Parsed;
    if (Util.Parse(Number, "JP", &Parsed) != PhoneNumberUtil::NO_PARSING_ERROR ||
        !Util.IsValidNumberForRegion(Parsed, "JP"))
        return RcBadNumber;
    static PhoneNumberOfflineGeocoder Geocoder;
    const std::string Area = Geocoder.GetDescriptionForNumber(Parsed, icu::Locale("ja", "JP"));
    const int Pref = EnglishPrefecture(Geocoder.GetDescriptionForNumber(Parsed, icu::Locale("en", "US")));
    if (Area.empty() || Area == "日本")
        return RcNone;
    const dicstore::TPlaceIndex* Index = dicstore::LoadPlaceIndex(DicFolder);
    if (!Index)
        return RcNoDictionary;
    // The numbering plan's own list of the area's municipalities; guesses by name only for an area
    // the geocoder learned after the table was written.
    auto Listed = Index->Areas.find(Area);
    if (Listed != Index->Areas.end()) {
        for (size_t At : Listed->second)
            Cities.push_back(&Index->Cities[At]);
        return Cities.empty() ? RcNone : RcLast;
    }
    auto InPref = [&](const dicstore::TPlaceCity& City) { return Pref < 0 || City.Pref == Pref; };
    // The capital's area is its twenty-three wards.
    if (Area == "東京") {
        for (const dicstore::TPlaceCity& City : Index->Cities)
            if (City.Pref == 12 && City.Ward.empty() && City.Name.size() > 3 &&
                City.Name.compare(City.Name.size() - 3, 3, "区") == 0)
                Cities.push_back(&City);
        return Cities.empty() ? RcNone : RcLast;
    }
    const std::string Named = Area + "市";
    for (const dicstore::TPlaceCity& City : Index->Cities)
        if (InPref(City) && (City.Name == Named || City.Ward == Named))
            Cities.push_back(&City);
    if (Cities.empty())
        for (const dicstore::TPlaceCity& City : Index->Cities)
            if (InPref(City) && dicstore::StartsWith(City.Name, Area))
                Cities.push_back(&City);
    return Cities.empty() ? RcNone : RcLast;
}

struct TListing
{
    std::vector<TTownRecord> Towns;
    size_t Next = 0;
};

std::int32_t Fill(TListing& Listing, void* Buffer)
{
    auto* Out = static_cast<TTownRecord*>(Buffer);
    std::memset(Out, 0, sizeof(TTownRecord) * Batch);
    int Filled = 0;
    while (Filled < Batch && Listing.Next < Listing.Towns.size())
        Out[Filled++] = Listing.Towns[Listing.Next++];
    return Listing.Next < Listing.Towns.size() ? RcMore : RcLast;
}

} // namespace

VX_FILE_VERSION(1, 0, 0, 0);

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

VX_EXPORT std::int32_t AreadexPrefix(const char* Number, char* Prefix, std::int16_t* Count, const char* DicFolder)
{
    if (!Prefix || !Count)
        return RcBadArgument;
    std::vector<const dicstore::TPlaceCity*> Cities;
    std::int32_t Rc = AreaCities(Number, DicFolder, Cities);
    *Count = static_cast<std::int16_t>(Cities.size() > 32767 ? 32767 : Cities.size());
    if (Rc == RcLast)
        std::strncpy(Prefix, Number, 13);
    return Rc;
}

VX_EXPORT std::int32_t AreadexCity2(const char* Number, void* Cities, const char* DicFolder)
{
    if (!Cities)
        return RcBadArgument;
    std::vector<const dicstore::TPlaceCity*> Found;
    std::int32_t Rc = AreaCities(Number, DicFolder, Found);
    if (Rc != RcLast)
        return Rc;
    auto* Out = static_cast<TCityRecord*>(Cities);
    for (size_t I = 0; I < Found.size() && I < Batch; ++I) {
        Out[I] = TCityRecord{};
        dicstore::PutField(Out[I].Kanji, sizeof Out[I].Kanji, CityKanji(*Found[I]));
        size_t Towns = 0;
        const auto& All = dicstore::TownsOf(*dicstore::LoadPlaceIndex(DicFolder), *Found[I]);
        for (const dicstore::TPlaceTown& Town : All)
            Towns += Town.Name.empty() ? 0 : 1;
        if (Towns == 0)
            Towns = All.size();
        Out[I].TownCount = static_cast<std::int32_t>(Towns);
    }
    return RcLast;
}

VX_EXPORT void* AreadexTown2First(const char* Number, const void* City, void* Buffer, std::int32_t* Rc,
                                  const char* DicFolder)
{
    if (!Rc)
        return nullptr;
    std::vector<const dicstore::TPlaceCity*> Found;
    *Rc = City && Buffer ? AreaCities(Number, DicFolder, Found) : RcBadArgument;
    if (*Rc != RcLast)
        return nullptr;
    const auto* Wanted = static_cast<const TCityRecord*>(City);
    for (const dicstore::TPlaceCity* Candidate : Found) {
        TCityRecord Made{};
        dicstore::PutField(Made.Kanji, sizeof Made.Kanji, CityKanji(*Candidate));
        if (std::memcmp(Made.Kanji, Wanted->Kanji, sizeof Made.Kanji) != 0)
            continue;
        auto* Listing = new TListing;
        // A municipality that only has codes of its own (直島町) is listed by them, so it can be chosen.
        const auto& All = dicstore::TownsOf(*dicstore::LoadPlaceIndex(DicFolder), *Candidate);
        const bool Named =
            std::any_of(All.begin(), All.end(), [](const dicstore::TPlaceTown& Town) { return !Town.Name.empty(); });
        for (const dicstore::TPlaceTown& Town : All) {
            if (Named && Town.Name.empty())
                continue;
            TTownRecord Record{};
            if (!Town.Kana.empty())
                Record.Initial[0] = Town.Kana[0];
            dicstore::PutField(Record.Pos, sizeof Record.Pos, Town.Code);
            dicstore::PutField(Record.Kanji, sizeof Record.Kanji, dicstore::CutCp932(Town.Kanji, 74));
            Listing->Towns.push_back(Record);
        }
        if (Listing->Towns.empty()) {
            delete Listing;
            *Rc = RcNone;
            return nullptr;
        }
        *Rc = Fill(*Listing, Buffer);
        return Listing;
    }
    *Rc = RcNone;
    return nullptr;
}

VX_EXPORT std::int32_t AreadexTown2Next(void* Handle, void* Buffer)
{
    if (!Handle || !Buffer)
        return RcBadArgument;
    return Fill(*static_cast<TListing*>(Handle), Buffer);
}

VX_EXPORT void AreadexTown2Close(void* Handle)
{
    delete static_cast<TListing*>(Handle);
}

// Kept for the interface; nothing here calls it.
VX_EXPORT std::int32_t AreadexTown2Prev(void* Handle, void* Buffer)
{
    return Handle && Buffer ? RcLast : RcBadArgument;
}
