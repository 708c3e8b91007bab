#pragma once

// The municipalities, towns and offices of the postal dictionary as the address stand-ins see them,
// and the matching of a free-text address against them. Texts are UTF-8 here; the records get CP932
// through the library's own iconv. vxdict builds the index (normalised names, the towns of each
// municipality in order) into the file; a library opens it read-only through SQLite's memory map,
// reads the municipalities once, and a municipality's towns and offices the first time a search
// reaches it, so the first search of a dialog costs what the later ones do.

#include "peers/dic/DicQuery.h"
#include "peers/dic/PlaceNorm.h"

#include <algorithm>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace dicstore {

struct TPlaceTown
{
    std::string Code;
    std::string Name;  // UTF-8, "" for the municipality's own entry
    std::string Kanji; // CP932, cut to 102 bytes
    std::string Kana;  // CP932 reading
    std::string Norm;  // Name as NormalisePlace writes it
};

struct TPlaceOffice
{
    std::string Code;
    std::string TownName; // UTF-8 town and block
    std::string Town;     // CP932
    std::string Kanji;    // CP932 office name
    std::string Kana;     // CP932 town reading
    std::string Norm;     // TownName normalised
};

struct TPlaceCity
{
    long long Id = 0;
    int Pref = -1;
    std::string PrefName; // UTF-8
    std::string Name;     // UTF-8 municipality
    std::string District; // UTF-8 municipality without its district, or ""
    std::string Ward;     // UTF-8 ward city of a ward, or ""
    std::string PrefKana; // CP932
    std::string CityKana; // CP932 municipality reading
    std::string Norm;     // Name normalised
    std::string DistrictNorm;
    // Filled by TownsOf / OfficesOf on first use.
    mutable bool Loaded = false;
    mutable std::vector<TPlaceTown> Towns;
    mutable std::vector<TPlaceOffice> Offices;
};

struct TPlaceIndex
{
    sqlite3* Db = nullptr; // kept open read-only for the towns still to be read
    mutable std::mutex Lock;
    std::vector<TPlaceCity> Cities;
    // exchange-area name -> its municipalities (indexes into Cities), from ExchangeAreas.tsv
    std::map<std::string, std::vector<size_t>> Areas;
    std::vector<std::string> Prefectures; // UTF-8, longest first

    TPlaceIndex() = default;
    TPlaceIndex(const TPlaceIndex&) = delete;
    TPlaceIndex& operator=(const TPlaceIndex&) = delete;
    // The library may be unloaded and loaded again within one process: the connection goes with
    // the index, or every load would keep a page cache alive.
    ~TPlaceIndex() { sqlite3_close(Db); }
};

// UTF-8 <-> CP932 with this library's own iconv; characters that do not convert are dropped.
inline std::string Convert(const char* To, const char* From, const std::string& Text)
{
    iconv_t Cd = iconv_open(To, From);
    if (Cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string Out(Text.size() * 3 + 8, '\0');
    char* In = const_cast<char*>(Text.data());
    size_t InLeft = Text.size();
    char* OutPtr = Out.data();
    size_t OutLeft = Out.size();
    while (InLeft > 0) {
        if (iconv(Cd, &In, &InLeft, &OutPtr, &OutLeft) == static_cast<size_t>(-1)) {
            ++In;
            --InLeft;
        }
    }
    iconv_close(Cd);
    Out.resize(Out.size() - OutLeft);
    return Out;
}

inline bool IsCp932Lead(unsigned char Byte)
{
    return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

// CP932 bytes cut to at most Size bytes on a character boundary.
inline std::string CutCp932(const std::string& Bytes, size_t Size)
{
    size_t I = 0;
    while (I < Bytes.size()) {
        size_t Step = IsCp932Lead(static_cast<unsigned char>(Bytes[I])) ? 2 : 1;
        if (I + Step > Size)
            break;
        I += Step;
    }
    return Bytes.substr(0, I);
}

inline std::string ToCp932(const std::string& Utf8, size_t Size)
{
    return CutCp932(Convert("CP932", "UTF-8", Utf8), Size);
}

// Whether the text holds a kana or kanji character (UTF-8 lead bytes of U+3005..U+9FFF and
// half-width kana U+FF66..U+FF9F).
inline bool HasKanaOrKanji(const std::string& Utf8)
{
    for (size_t I = 0; I < Utf8.size();) {
        unsigned char B = static_cast<unsigned char>(Utf8[I]);
        size_t Len = B < 0x80 ? 1 : B < 0xE0 ? 2 : B < 0xF0 ? 3 : 4;
        if (Len == 3 && I + 2 < Utf8.size()) {
            unsigned Cp = ((B & 0x0F) << 12) | ((Utf8[I + 1] & 0x3F) << 6) | (Utf8[I + 2] & 0x3F);
            if ((Cp >= 0x3005 && Cp <= 0x3006) || (Cp >= 0x3041 && Cp <= 0x30FF) || (Cp >= 0x3400 && Cp <= 0x9FFF) ||
                (Cp >= 0xFF66 && Cp <= 0xFF9F))
                return true;
        }
        if (Len == 4)
            return true;
        I += Len;
    }
    return false;
}

inline bool StartsWith(const std::string& Text, const std::string& Prefix)
{
    return Text.size() >= Prefix.size() && Text.compare(0, Prefix.size(), Prefix) == 0;
}

// The dictionary read-only through the memory map: pages come from the page cache as they are
// touched, nothing of the file is copied up front.
inline sqlite3* OpenMapped(const char* DicFolder)
{
    sqlite3* Db = Open(DicFolder);
    if (Db)
        sqlite3_exec(Db, "PRAGMA mmap_size=268435456; PRAGMA query_only=1;", nullptr, nullptr, nullptr);
    return Db;
}

// The columns of a municipality as ReadCity takes them, for "FROM city c LEFT JOIN pref p ...".
inline constexpr char CityColumns[] =
    "c.Id, c.Pref, p.Name, c.Name, c.District, c.Ward, p.Kana, c.CityKana, c.Norm, c.DistrictNorm";

inline TPlaceCity ReadCity(Statement& Row)
{
    TPlaceCity City;
    City.Id = Row.ColumnInt(0);
    City.Pref = static_cast<int>(Row.ColumnInt(1));
    City.PrefName = Row.ColumnText(2);
    City.Name = Row.ColumnText(3);
    City.District = Row.ColumnText(4);
    City.Ward = Row.ColumnText(5);
    City.PrefKana = Row.ColumnText(6);
    City.CityKana = Row.ColumnText(7);
    City.Norm = Row.ColumnText(8);
    City.DistrictNorm = Row.ColumnText(9);
    return City;
}

inline const TPlaceIndex* LoadPlaceIndex(const char* DicFolder)
{
    static std::mutex Lock;
    static std::map<std::string, std::unique_ptr<TPlaceIndex>> Loaded;
    std::lock_guard<std::mutex> Guard(Lock);
    const std::string Key = DicFolder ? DicFolder : "";
    auto It = Loaded.find(Key);
    if (It != Loaded.end())
        return It->second.get();
    sqlite3* Db = OpenMapped(DicFolder);
    if (!Db)
        return nullptr;
    auto Index = std::make_unique<TPlaceIndex>();
    std::map<long long, size_t> At;
    {
        // Grown one by one, the list would touch about twice its memory, and fresh pages cost more
        // than the rows.
        Statement Count(Db, "SELECT count(*) FROM city");
        if (Count.Step())
            Index->Cities.reserve(static_cast<size_t>(Count.ColumnInt(0)));
        Statement Cities(
            Db, (std::string("SELECT ") + CityColumns + " FROM city c LEFT JOIN pref p ON p.Id = c.Pref ORDER BY c.Id")
                    .c_str());
        while (Cities.Step()) {
            TPlaceCity City = ReadCity(Cities);
            At[City.Id] = Index->Cities.size();
            Index->Cities.push_back(std::move(City));
        }
        Statement Areas(Db, "SELECT Name, City FROM area ORDER BY Seq");
        while (Areas.Ok() && Areas.Step()) {
            auto Found = At.find(Areas.ColumnInt(1));
            if (Found != At.end())
                Index->Areas[Areas.ColumnText(0)].push_back(Found->second);
        }
        Statement Prefs(Db, "SELECT Name FROM pref ORDER BY length(Name) DESC");
        while (Prefs.Step())
            Index->Prefectures.push_back(Prefs.ColumnText(0));
    }
    Index->Db = Db;
    const TPlaceIndex* Result = Index.get();
    Loaded[Key] = std::move(Index);
    return Result;
}

// A municipality's towns and offices, in code order, read from the file the first time they are asked for.
inline void LoadTowns(const TPlaceIndex& Index, const TPlaceCity& City)
{
    std::lock_guard<std::mutex> Guard(Index.Lock);
    if (City.Loaded)
        return;
    City.Loaded = true;
    Statement Towns(Index.Db, "SELECT Code, Name, Kanji, Kana, Norm FROM town WHERE City = ?1 ORDER BY Code, Seq");
    Towns.Int(1, City.Id);
    while (Towns.Step())
        City.Towns.push_back(
            {Towns.ColumnText(0), Towns.ColumnText(1), Towns.ColumnText(2), Towns.ColumnText(3), Towns.ColumnText(4)});
    Statement Offices(Index.Db,
                      "SELECT Code, TownName, Town, Kanji, Kana, Norm FROM office WHERE City = ?1 ORDER BY Code, Seq");
    Offices.Int(1, City.Id);
    while (Offices.Step())
        City.Offices.push_back({Offices.ColumnText(0), Offices.ColumnText(1), Offices.ColumnText(2),
                                Offices.ColumnText(3), Offices.ColumnText(4), Offices.ColumnText(5)});
}

inline const std::vector<TPlaceTown>& TownsOf(const TPlaceIndex& Index, const TPlaceCity& City)
{
    LoadTowns(Index, City);
    return City.Towns;
}

inline const std::vector<TPlaceOffice>& OfficesOf(const TPlaceIndex& Index, const TPlaceCity& City)
{
    LoadTowns(Index, City);
    return City.Offices;
}

struct TCityMatch
{
    const TPlaceCity* City = nullptr;
    std::string Rest;   // the normalised address after the municipality
    size_t Length = 0;  // how much of the normalised address the municipality took
    bool Whole = false; // the address names the municipality in full, not only its beginning
    const TPlaceIndex* Index = nullptr;
};

// The towns of a municipality that the rest of an address begins with, longest first. A Kyoto
// street-style rest (烏丸通二条下ル秋野々町) is tried by the town after its street as well.
inline std::vector<const TPlaceTown*> TownsNamed(const TPlaceIndex& Index, const TPlaceCity& City,
                                                 const std::string& Rest)
{
    std::vector<const TPlaceTown*> Towns;
    if (Rest.empty())
        return Towns;
    auto Collect = [&](const std::string& Text) {
        for (const TPlaceTown& Town : TownsOf(Index, City))
            if (!Town.Norm.empty() && StartsWith(Text, Town.Norm))
                Towns.push_back(&Town);
    };
    Collect(Rest);
    if (Towns.empty()) {
        const size_t Start = KyotoTownStart(Rest);
        if (Start != std::string::npos)
            Collect(Rest.substr(Start));
    }
    std::stable_sort(Towns.begin(), Towns.end(),
                     [](const TPlaceTown* A, const TPlaceTown* B) { return A->Norm.size() > B->Norm.size(); });
    return Towns;
}

// The municipalities an address names, after an optional prefecture, with the district optional.
// A prefecture alone names all of its municipalities. A municipality named in full outranks those
// the address is only the beginning of; of several named in full in different prefectures, those
// whose towns the rest of the address begins with are kept, when there are such.
inline std::vector<TCityMatch> MatchCities(const TPlaceIndex& Index, const std::string& Address)
{
    const std::string Text = NormalisePlace(Address);
    if (Text.empty())
        return {};
    std::string Pref, Rest = Text;
    for (const std::string& Name : Index.Prefectures)
        if (StartsWith(Text, Name)) {
            Pref = Name;
            Rest = Text.substr(Name.size());
            break;
        }
    std::vector<TCityMatch> Whole, Begun;
    for (const TPlaceCity& City : Index.Cities) {
        if (!Pref.empty() && City.PrefName != Pref)
            continue;
        if (Rest.empty()) {
            Whole.push_back({&City, std::string(), Pref.size(), false, &Index});
            continue;
        }
        bool Taken = false;
        for (const std::string* Name : {&City.Norm, &City.DistrictNorm}) {
            if (!Name->empty() && StartsWith(Rest, *Name)) {
                Whole.push_back({&City, Rest.substr(Name->size()), Pref.size() + Name->size(), true, &Index});
                Taken = true;
                break;
            }
        }
        for (const std::string* Name : {&City.Norm, &City.DistrictNorm})
            if (!Taken && !Name->empty() && StartsWith(*Name, Rest)) {
                Begun.push_back({&City, std::string(), Text.size(), false, &Index});
                break;
            }
    }
    if (Whole.empty())
        return Begun;
    if (Rest.empty())
        return Whole;
    // "札幌市北区" is named in full, "札幌市" is not a municipality of its own: the longest name wins.
    size_t Longest = 0;
    for (const TCityMatch& M : Whole)
        Longest = std::max(Longest, M.Length);
    std::vector<TCityMatch> Kept;
    for (const TCityMatch& M : Whole)
        if (M.Length == Longest)
            Kept.push_back(M);
    if (Kept.size() > 1) {
        std::vector<TCityMatch> ByTown;
        for (const TCityMatch& M : Kept)
            if (!TownsNamed(Index, *M.City, M.Rest).empty())
                ByTown.push_back(M);
        if (!ByTown.empty())
            Kept = ByTown;
    }
    return Kept;
}

} // namespace dicstore
