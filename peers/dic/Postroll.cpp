// Stand-in for the postal-code dictionary: a postal code to the municipalities that use it, their
// towns and the large offices that have a code of their own, from the postal dictionary that vxdict
// builds. rc: 0 found, 4 not a postal code, 8 nothing found, 12 no dictionary, 2 a bad argument.

#include "peers/dic/DicQuery.h"
#include "platform/sys/FileVersionNote.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct TCityRecord
{
    char JisCode[6];
    char Kana[40];
    char Kanji[40];
    std::int16_t TownCount;
    std::int16_t LargeCount;
};
static_assert(sizeof(TCityRecord) == 90);
static_assert(offsetof(TCityRecord, Kana) == 6);
static_assert(offsetof(TCityRecord, Kanji) == 46);
static_assert(offsetof(TCityRecord, TownCount) == 86);
static_assert(offsetof(TCityRecord, LargeCount) == 88);

struct TTownRecord
{
    char Pos[8];
    char Kana[102];
    char Kanji[102];
    char KajoCode[7];
    char Reserved[3];
};
static_assert(sizeof(TTownRecord) == 222);
static_assert(offsetof(TTownRecord, Kana) == 8);
static_assert(offsetof(TTownRecord, Kanji) == 110);
static_assert(offsetof(TTownRecord, KajoCode) == 212);

struct TLargeRecord
{
    char Kana[62];
    char Kanji[62];
};
static_assert(sizeof(TLargeRecord) == 124);

constexpr std::int32_t RcOk = 0;
constexpr std::int32_t RcBadArgument = 2;
constexpr std::int32_t RcBadCode = 4;
constexpr std::int32_t RcNone = 8;
constexpr std::int32_t RcNoDictionary = 12;

struct TCity
{
    long long Id;
    TCityRecord Record;
};

struct TSearch
{
    sqlite3* Db = nullptr;
    std::string Low, High; // the codes searched: Low <= Code < High
    std::vector<TCity> Cities;
};

const TCity* FindCity(const TSearch* Search, const void* Record)
{
    if (!Search || !Record)
        return nullptr;
    for (const TCity& City : Search->Cities)
        if (std::memcmp(&City.Record, Record, offsetof(TCityRecord, TownCount)) == 0)
            return &City;
    return nullptr;
}

std::int16_t Clamp16(long long Value)
{
    return static_cast<std::int16_t>(Value > INT16_MAX ? INT16_MAX : Value);
}

} // namespace

VX_FILE_VERSION(1, 0, 0, 0);

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

VX_EXPORT void* PostrollFirst(const char* Code, std::int16_t* Count, std::int32_t* Rc, const char* DicFolder)
{
    if (!Count || !Rc)
        return nullptr;
    *Count = 0;
    const size_t Length = Code ? std::strlen(Code) : 0;
    bool Digits = Length == 3 || Length == 5 || Length == 7;
    for (size_t I = 0; Digits && I < Length; ++I)
        Digits = Code[I] >= '0' && Code[I] <= '9';
    if (!Digits) {
        *Rc = RcBadCode;
        return nullptr;
    }
    auto* Search = new TSearch;
    Search->Db = dicstore::Open(DicFolder);
    if (!Search->Db) {
        delete Search;
        *Rc = RcNoDictionary;
        return nullptr;
    }
    // Three or five digits are the old-style codes: every seven-digit code they begin.
    Search->Low = Code;
    Search->High = Search->Low + (Length == 7 ? "0" : ":");
    dicstore::Statement Cities(Search->Db,
                               "SELECT c.Id, c.Kana, c.Kanji,"
                               " (SELECT COUNT(*) FROM town t WHERE t.City = c.Id AND t.Code >= ?1 AND t.Code < ?2),"
                               " (SELECT COUNT(*) FROM office o WHERE o.City = c.Id AND o.Code >= ?1 AND o.Code < ?2)"
                               " FROM city c WHERE c.Id IN (SELECT City FROM town WHERE Code >= ?1 AND Code < ?2"
                               " UNION SELECT City FROM office WHERE Code >= ?1 AND Code < ?2) ORDER BY c.Id");
    Cities.Text(1, Search->Low);
    Cities.Text(2, Search->High);
    while (Cities.Step()) {
        TCity City{};
        City.Id = Cities.ColumnInt(0);
        dicstore::PutField(City.Record.Kana, sizeof City.Record.Kana, Cities.ColumnText(1));
        dicstore::PutField(City.Record.Kanji, sizeof City.Record.Kanji, Cities.ColumnText(2));
        City.Record.TownCount = Clamp16(Cities.ColumnInt(3));
        City.Record.LargeCount = Clamp16(Cities.ColumnInt(4));
        Search->Cities.push_back(City);
    }
    *Count = Clamp16(static_cast<long long>(Search->Cities.size()));
    *Rc = Search->Cities.empty() ? RcNone : RcOk;
    return Search;
}

VX_EXPORT std::int32_t PostrollCityList(void* Handle, void* Cities, std::int32_t First, std::int32_t Count)
{
    auto* Search = static_cast<TSearch*>(Handle);
    if (!Search || !Cities || First < 0 || Count < 0)
        return RcBadArgument;
    auto* Out = static_cast<TCityRecord*>(Cities);
    for (std::int32_t I = 0; I < Count && static_cast<size_t>(First) + I < Search->Cities.size(); ++I)
        Out[I] = Search->Cities[First + I].Record;
    return RcOk;
}

namespace {

std::int32_t ListTowns(void* Handle, const void* CityRecord, void* Towns, void* Larges, std::int32_t First,
                       std::int32_t Count)
{
    auto* Search = static_cast<TSearch*>(Handle);
    const TCity* City = FindCity(Search, CityRecord);
    if (!City || !Towns || First < 0 || Count < 0)
        return RcBadArgument;
    dicstore::Statement Rows(
        Search->Db, Larges ? "SELECT Code, Town, Kanji, Kana FROM office WHERE City = ?1 AND Code >= ?2 AND Code < ?3"
                             " ORDER BY Code, Seq LIMIT ?4 OFFSET ?5"
                           : "SELECT Code, Kanji, '', Kana FROM town WHERE City = ?1 AND Code >= ?2 AND Code < ?3"
                             " ORDER BY Code, Seq LIMIT ?4 OFFSET ?5");
    Rows.Int(1, City->Id);
    Rows.Text(2, Search->Low);
    Rows.Text(3, Search->High);
    Rows.Int(4, Count);
    Rows.Int(5, First);
    auto* TownOut = static_cast<TTownRecord*>(Towns);
    auto* LargeOut = static_cast<TLargeRecord*>(Larges);
    int Filled = 0;
    while (Filled < Count && Rows.Step()) {
        dicstore::PutField(TownOut[Filled].Pos, sizeof TownOut[Filled].Pos, Rows.ColumnText(0));
        dicstore::PutField(TownOut[Filled].Kanji, sizeof TownOut[Filled].Kanji, Rows.ColumnText(1));
        dicstore::PutField(TownOut[Filled].Kana, sizeof TownOut[Filled].Kana, Rows.ColumnText(3));
        if (LargeOut)
            dicstore::PutField(LargeOut[Filled].Kanji, sizeof LargeOut[Filled].Kanji, Rows.ColumnText(2));
        ++Filled;
    }
    return Filled > 0 ? RcOk : RcNone;
}

} // namespace

VX_EXPORT std::int32_t PostrollTownList(void* Handle, const void* City, void* Towns, std::int32_t First,
                                        std::int32_t Count)
{
    return ListTowns(Handle, City, Towns, nullptr, First, Count);
}

VX_EXPORT std::int32_t PostrollLgTownList(void* Handle, const void* City, void* Towns, void* Larges, std::int32_t First,
                                          std::int32_t Count)
{
    if (!Larges)
        return RcBadArgument;
    return ListTowns(Handle, City, Towns, Larges, First, Count);
}

VX_EXPORT void PostrollClose(void* Handle)
{
    auto* Search = static_cast<TSearch*>(Handle);
    if (!Search)
        return;
    sqlite3_close(Search->Db);
    delete Search;
}

// Kept for the interface; nothing here calls it.
VX_EXPORT std::int32_t PostrollPost()
{
    return RcOk;
}
