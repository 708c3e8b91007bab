// Stand-in for the address normalisation library: the longest prefecture + municipality + town a
// free-text address (CP932) begins with, from the postal dictionary.
// rc: 0 a town was found; 1 only the municipality (the record filled at municipality level);
// 4 the address holds no kana or kanji; 8 no one municipality: none, only the beginning of a name,
// a prefecture alone, or a name that several prefectures share and the town does not decide;
// 12 no dictionary; 2 a bad argument.

#include "peers/dic/PlaceIndex.h"
#include "platform/sys/FileVersionNote.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

struct TFixRecord
{
    char JisCode[6];
    char Pos[10];
    char PrefKana[10];
    char PrefKanji[10];
    char CityKana[26];
    char CityKanji[26];
    char TownKana[102];
    char TownKanji[102];
    char KajoCode[7];
    char Reserved[3];
};
static_assert(sizeof(TFixRecord) == 302);
static_assert(offsetof(TFixRecord, Pos) == 6);
static_assert(offsetof(TFixRecord, PrefKana) == 16);
static_assert(offsetof(TFixRecord, PrefKanji) == 26);
static_assert(offsetof(TFixRecord, CityKana) == 36);
static_assert(offsetof(TFixRecord, CityKanji) == 62);
static_assert(offsetof(TFixRecord, TownKana) == 88);
static_assert(offsetof(TFixRecord, TownKanji) == 190);
static_assert(offsetof(TFixRecord, KajoCode) == 292);

constexpr std::int32_t RcTown = 0;
constexpr std::int32_t RcCity = 1;
constexpr std::int32_t RcBadArgument = 2;
constexpr std::int32_t RcBadAddress = 4;
constexpr std::int32_t RcNone = 8;
constexpr std::int32_t RcNoDictionary = 12;

} // namespace

VX_FILE_VERSION(1, 0, 0, 0);

extern "C" __attribute__((visibility("default"))) std::int32_t PlacefixAdrs(const char* Address, void* Result,
                                                                            const char* DicFolder)
{
    if (!Address || !Result)
        return RcBadArgument;
    auto* Record = static_cast<TFixRecord*>(Result);
    std::memset(Record, 0, sizeof *Record);
    const std::string Utf8 = dicstore::Convert("UTF-8", "CP932", Address);
    if (!dicstore::HasKanaOrKanji(Utf8))
        return RcBadAddress;
    const dicstore::TPlaceIndex* Index = dicstore::LoadPlaceIndex(DicFolder);
    if (!Index)
        return RcNoDictionary;
    // An import takes what it is told without a look: only one municipality named in full will do.
    const auto Matches = dicstore::MatchCities(*Index, Utf8);
    if (Matches.size() != 1 || !Matches.front().Whole)
        return RcNone;
    const dicstore::TCityMatch& Best = Matches.front();
    const auto Named = dicstore::TownsNamed(*Index, *Best.City, Best.Rest);
    const dicstore::TPlaceTown* Town = Named.empty() ? nullptr : Named.front();
    const dicstore::TPlaceTown* Own = nullptr;
    for (const dicstore::TPlaceTown& T : dicstore::TownsOf(*Index, *Best.City))
        if (T.Name.empty()) {
            Own = &T;
            break;
        }
    const dicstore::TPlaceCity& City = *Best.City;
    dicstore::PutField(Record->PrefKana, sizeof Record->PrefKana, City.PrefKana);
    dicstore::PutField(Record->PrefKanji, sizeof Record->PrefKanji, dicstore::ToCp932(City.PrefName, 10));
    dicstore::PutField(Record->CityKana, sizeof Record->CityKana, dicstore::CutCp932(City.CityKana, 26));
    dicstore::PutField(Record->CityKanji, sizeof Record->CityKanji, dicstore::ToCp932(City.Name, 26));
    if (Town) {
        dicstore::PutField(Record->Pos, sizeof Record->Pos, Town->Code);
        dicstore::PutField(Record->TownKana, sizeof Record->TownKana, Town->Kana);
        dicstore::PutField(Record->TownKanji, sizeof Record->TownKanji, Town->Kanji);
        return RcTown;
    }
    if (Own)
        dicstore::PutField(Record->Pos, sizeof Record->Pos, Own->Code);
    return RcCity;
}
