// Stand-in for the address dictionary: a free-text address (full width, CP932) to the
// municipalities it names, their towns and their large offices, from the postal dictionary.
// rc: 0 found, 4 no kana or kanji in the address, 8 nothing found, 12 no dictionary, 2 a bad argument.

#include "peers/dic/PlaceIndex.h"
#include "platform/sys/FileVersionNote.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

struct TCityRecord
{
    char JisCode[6];
    char PrefKana[10];
    char PrefKanji[10];
    char CityKana[26];
    char CityKanji[26];
    char Reserved[2];
};
static_assert(sizeof(TCityRecord) == 80);
static_assert(offsetof(TCityRecord, PrefKana) == 6);
static_assert(offsetof(TCityRecord, PrefKanji) == 16);
static_assert(offsetof(TCityRecord, CityKana) == 26);
static_assert(offsetof(TCityRecord, CityKanji) == 52);

struct TTownRecord
{
    char Pos[10];
    char Kana[102];
    char Kanji[102];
    char KajoCode[7];
    char Reserved[3];
};
static_assert(sizeof(TTownRecord) == 224);
static_assert(offsetof(TTownRecord, Kana) == 10);
static_assert(offsetof(TTownRecord, Kanji) == 112);
static_assert(offsetof(TTownRecord, KajoCode) == 214);

struct TLargeRecord
{
    char Kana[62];
    char Kanji[62];
};
static_assert(sizeof(TLargeRecord) == 124);

constexpr std::int32_t RcOk = 0;
constexpr std::int32_t RcBadArgument = 2;
constexpr std::int32_t RcBadAddress = 4;
constexpr std::int32_t RcNone = 8;
constexpr std::int32_t RcNoDictionary = 12;

using dicstore::TCityMatch;

TCityRecord MakeCity(const dicstore::TPlaceCity& City)
{
    TCityRecord Record{};
    dicstore::PutField(Record.PrefKana, sizeof Record.PrefKana, City.PrefKana);
    dicstore::PutField(Record.PrefKanji, sizeof Record.PrefKanji, dicstore::ToCp932(City.PrefName, 10));
    dicstore::PutField(Record.CityKana, sizeof Record.CityKana, dicstore::CutCp932(City.CityKana, 26));
    dicstore::PutField(Record.CityKanji, sizeof Record.CityKanji, dicstore::ToCp932(City.Name, 26));
    return Record;
}

// The matches of an address, or an rc.
std::int32_t Match(const char* Address, const char* DicFolder, std::vector<TCityMatch>& Matches)
{
    if (!Address)
        return RcBadArgument;
    const std::string Utf8 = dicstore::Convert("UTF-8", "CP932", Address);
    if (!dicstore::HasKanaOrKanji(Utf8))
        return RcBadAddress;
    const dicstore::TPlaceIndex* Index = dicstore::LoadPlaceIndex(DicFolder);
    if (!Index)
        return RcNoDictionary;
    Matches = dicstore::MatchCities(*Index, Utf8);
    return Matches.empty() ? RcNone : RcOk;
}

// The match of the given city record among the address's matches.
const TCityMatch* FindCity(const std::vector<TCityMatch>& Matches, const void* Record)
{
    if (!Record)
        return nullptr;
    for (const TCityMatch& M : Matches) {
        TCityRecord Made = MakeCity(*M.City);
        if (std::memcmp(&Made, Record, offsetof(TCityRecord, Reserved)) == 0)
            return &M;
    }
    return nullptr;
}

// The towns the address goes on to name; while it names none yet, those its rest is the beginning of,
// so that a town half typed is offered.
std::vector<const dicstore::TPlaceTown*> TownsOf(const TCityMatch& M)
{
    std::vector<const dicstore::TPlaceTown*> Towns;
    if (M.Rest.empty()) {
        // The code of the municipality alone is offered where it is all the municipality has (直島町).
        const auto& All = dicstore::TownsOf(*M.Index, *M.City);
        const bool Named =
            std::any_of(All.begin(), All.end(), [](const dicstore::TPlaceTown& Town) { return !Town.Name.empty(); });
        for (const dicstore::TPlaceTown& Town : All)
            if (!Named || !Town.Name.empty())
                Towns.push_back(&Town);
        return Towns;
    }
    Towns = dicstore::TownsNamed(*M.Index, *M.City, M.Rest);
    if (Towns.empty())
        for (const dicstore::TPlaceTown& Town : dicstore::TownsOf(*M.Index, *M.City))
            if (!Town.Norm.empty() && dicstore::StartsWith(Town.Norm, M.Rest))
                Towns.push_back(&Town);
    return Towns;
}

std::vector<const dicstore::TPlaceOffice*> OfficesOf(const TCityMatch& M)
{
    std::vector<const dicstore::TPlaceOffice*> Offices;
    for (const dicstore::TPlaceOffice& Office : dicstore::OfficesOf(*M.Index, *M.City))
        if (dicstore::StartsWith(Office.Norm, M.Rest) || dicstore::StartsWith(M.Rest, Office.Norm))
            Offices.push_back(&Office);
    return Offices;
}

} // namespace

VX_FILE_VERSION(1, 0, 0, 0);

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

VX_EXPORT std::int32_t PlacedexJisCount(const char* Address, std::int32_t* Count, const char* DicFolder)
{
    if (!Count)
        return RcBadArgument;
    std::vector<TCityMatch> Matches;
    std::int32_t Rc = Match(Address, DicFolder, Matches);
    *Count = static_cast<std::int32_t>(Matches.size());
    return Rc;
}

VX_EXPORT std::int32_t PlacedexJisList(const char* Address, void* Cities, std::int32_t Count, const char* DicFolder)
{
    std::vector<TCityMatch> Matches;
    if (!Cities || Count < 0)
        return RcBadArgument;
    std::int32_t Rc = Match(Address, DicFolder, Matches);
    auto* Out = static_cast<TCityRecord*>(Cities);
    for (std::int32_t I = 0; I < Count && static_cast<size_t>(I) < Matches.size(); ++I)
        Out[I] = MakeCity(*Matches[I].City);
    return Rc;
}

namespace {

std::int32_t Count(const char* Address, const void* City, std::int32_t* Count, const char* DicFolder, bool Larges)
{
    if (!Count)
        return RcBadArgument;
    *Count = 0;
    std::vector<TCityMatch> Matches;
    std::int32_t Rc = Match(Address, DicFolder, Matches);
    if (Rc != RcOk)
        return Rc;
    const TCityMatch* M = FindCity(Matches, City);
    if (!M)
        return RcNone;
    *Count = static_cast<std::int32_t>(Larges ? OfficesOf(*M).size() : TownsOf(*M).size());
    return *Count > 0 ? RcOk : RcNone;
}

void PutTown(TTownRecord& Record, const std::string& Code, const std::string& Kana, const std::string& Kanji)
{
    dicstore::PutField(Record.Pos, sizeof Record.Pos, Code);
    dicstore::PutField(Record.Kana, sizeof Record.Kana, Kana);
    dicstore::PutField(Record.Kanji, sizeof Record.Kanji, Kanji);
}

} // namespace

VX_EXPORT std::int32_t PlacedexTownCount(const char* Address, const void* City, std::int32_t* Out,
                                         const char* DicFolder)
{
    return Count(Address, City, Out, DicFolder, false);
}

VX_EXPORT std::int32_t PlacedexLargeCount(const char* Address, const void* City, std::int32_t* Out,
                                          const char* DicFolder)
{
    return Count(Address, City, Out, DicFolder, true);
}

VX_EXPORT std::int32_t PlacedexTownList(const char* Address, const void* City, void* Towns, std::int32_t Count,
                                        const char* DicFolder)
{
    std::vector<TCityMatch> Matches;
    if (!Towns || Count < 0)
        return RcBadArgument;
    std::int32_t Rc = Match(Address, DicFolder, Matches);
    if (Rc != RcOk)
        return Rc;
    const TCityMatch* M = FindCity(Matches, City);
    if (!M)
        return RcNone;
    auto* Out = static_cast<TTownRecord*>(Towns);
    const auto List = TownsOf(*M);
    for (std::int32_t I = 0; I < Count && static_cast<size_t>(I) < List.size(); ++I)
        PutTown(Out[I], List[I]->Code, List[I]->Kana, List[I]->Kanji);
    return RcOk;
}

VX_EXPORT std::int32_t PlacedexLargeList(const char* Address, const void* City, void* Towns, void* Larges,
                                         std::int32_t Count, const char* DicFolder)
{
    std::vector<TCityMatch> Matches;
    if (!Towns || !Larges || Count < 0)
        return RcBadArgument;
    std::int32_t Rc = Match(Address, DicFolder, Matches);
    if (Rc != RcOk)
        return Rc;
    const TCityMatch* M = FindCity(Matches, City);
    if (!M)
        return RcNone;
    auto* TownOut = static_cast<TTownRecord*>(Towns);
    auto* LargeOut = static_cast<TLargeRecord*>(Larges);
    const auto List = OfficesOf(*M);
    for (std::int32_t I = 0; I < Count && static_cast<size_t>(I) < List.size(); ++I) {
        PutTown(TownOut[I], List[I]->Code, List[I]->Kana, List[I]->Town);
        dicstore::PutField(LargeOut[I].Kanji, sizeof LargeOut[I].Kanji, List[I]->Kanji);
    }
    return RcOk;
}
