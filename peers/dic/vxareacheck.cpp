// vxareacheck: puts the exchange-area table (ExchangeAreas.tsv) and the geocoder's answers for the
// ten-digit numbers into the postal dictionary, and fails when the table falls short of the
// geocoder or of Japan Post: every area name libphonenumber's geocoder gives for a Japanese
// landline must have its line, and every municipality of a line must be one the dictionary lists.
//   vxareacheck TABLE DICFOLDER
//   vxareacheck --samples        (one landline number of each area, for the tests)

#include "peers/dic/AreaGeocode.h"
#include "peers/dic/DicStore.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sqlite3.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TArea
{
    std::string Name, Pref;
    std::vector<std::string> Cities;
};

std::vector<TArea> ReadTable(const char* Path, bool& Ok)
{
    std::vector<TArea> Areas;
    std::ifstream In(Path);
    Ok = static_cast<bool>(In);
    std::string Line;
    while (Ok && std::getline(In, Line)) {
        if (Line.empty() || Line[0] == '#')
            continue;
        std::istringstream Fields(Line);
        TArea Area;
        std::string Cities;
        if (!std::getline(Fields, Area.Name, '\t') || !std::getline(Fields, Area.Pref, '\t') ||
            !std::getline(Fields, Cities)) {
            std::fprintf(stderr, "vxareacheck: %s: not name, prefecture and municipalities: %s\n", Path, Line.c_str());
            Ok = false;
            break;
        }
        std::istringstream Names(Cities);
        for (std::string City; Names >> City;)
            Area.Cities.push_back(City);
        Areas.push_back(std::move(Area));
    }
    return Areas;
}

// A run of prefixes (the five digits after the trunk 0 of a ten-digit number) with one answer.
struct TExchangeRun
{
    int First = 0, Last = 0;
    dicstore::TGeocodedNumber Answer;
};

// What the geocoder says of the ten-digit numbers: every Japanese description it has for a
// landline, and the answer for each prefix of five digits, which is all that libphonenumber reads
// of such a number. A prefix whose first and last numbers it answers differently is left out of
// the runs, so that Areadex.so asks the geocoder itself for it.
struct TGeocoded
{
    std::map<std::string, std::string> Areas; // area -> the first number found in it
    std::vector<TExchangeRun> Runs;
};

TGeocoded GeocodeAll()
{
    TGeocoded Out;
    for (int Prefix = 0; Prefix < 100000; ++Prefix) {
        char Low[16], High[16];
        std::snprintf(Low, sizeof Low, "0%05d0000", Prefix);
        std::snprintf(High, sizeof High, "0%05d9999", Prefix);
        const dicstore::TGeocodedNumber Answer = dicstore::GeocodeNumber(Low);
        if (Answer.Landline && !Answer.Area.empty() && Answer.Area != "日本")
            Out.Areas.emplace(Answer.Area, Low);
        // Numbers that begin with 00 or the international prefix 010 the library reads otherwise;
        // Areadex.so leaves them to it.
        if (Prefix < 11000 || !(dicstore::GeocodeNumber(High) == Answer))
            continue;
        if (!Out.Runs.empty() && Out.Runs.back().Last == Prefix - 1 && Out.Runs.back().Answer == Answer)
            Out.Runs.back().Last = Prefix;
        else
            Out.Runs.push_back({Prefix, Prefix, Answer});
    }
    return Out;
}

// Makes a table anew and prepares the statement that fills it.
bool NewTable(sqlite3* Db, const char* Schema, const char* InsertSql, sqlite3_stmt*& Insert)
{
    const bool Made = sqlite3_exec(Db, Schema, nullptr, nullptr, nullptr) == SQLITE_OK;
    return sqlite3_prepare_v2(Db, InsertSql, -1, &Insert, nullptr) == SQLITE_OK && Made;
}

// exchange: First, Last (a run of prefixes), Valid (a number of the plan), Area (the geocoder's
// Japanese description), Pref (0-46 or -1, from its English one)
bool WriteRuns(sqlite3* Db, const std::vector<TExchangeRun>& Runs)
{
    sqlite3_stmt* Insert = nullptr;
    bool Written = NewTable(Db,
                            "DROP TABLE IF EXISTS exchange;"
                            " CREATE TABLE exchange(First INTEGER PRIMARY KEY, Last INTEGER, Valid INTEGER,"
                            " Area TEXT, Pref INTEGER);",
                            "INSERT INTO exchange VALUES(?,?,?,?,?)", Insert);
    for (const TExchangeRun& Run : Runs) {
        sqlite3_bind_int(Insert, 1, Run.First);
        sqlite3_bind_int(Insert, 2, Run.Last);
        sqlite3_bind_int(Insert, 3, Run.Answer.Valid ? 1 : 0);
        sqlite3_bind_text(Insert, 4, Run.Answer.Area.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(Insert, 5, Run.Answer.Pref);
        Written = Written && sqlite3_step(Insert) == SQLITE_DONE;
        sqlite3_reset(Insert);
    }
    sqlite3_finalize(Insert);
    return Written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--samples") {
        for (const auto& [Name, Number] : GeocodeAll().Areas)
            std::printf("%s\t%s\n", Name.c_str(), Number.c_str());
        return 0;
    }
    if (argc != 3) {
        std::fputs("usage: vxareacheck TABLE DICFOLDER\n", stderr);
        return 2;
    }
    bool Ok = false;
    const std::vector<TArea> Areas = ReadTable(argv[1], Ok);
    if (!Ok)
        return 1;
    std::set<std::string> InTable;
    for (const TArea& Area : Areas)
        InTable.insert(Area.Name);
    int Missing = 0;
    const TGeocoded All = GeocodeAll();
    const std::map<std::string, std::string>& Geocoded = All.Areas;
    for (const auto& [Name, Number] : Geocoded)
        if (!InTable.count(Name)) {
            std::fprintf(stderr, "vxareacheck: the geocoder's area %s has no line in %s\n", Name.c_str(), argv[1]);
            ++Missing;
        }

    const std::string Path = std::string(argv[2]) + "/" + DicStoreFileName;
    sqlite3* Db = nullptr;
    if (sqlite3_open_v2(Path.c_str(), &Db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "vxareacheck: %s: %s\n", Path.c_str(), sqlite3_errmsg(Db));
        sqlite3_close(Db);
        return 1;
    }
    std::string Source;
    std::map<std::string, long long> Cities; // "prefecture|municipality" -> city id
    {
        sqlite3_stmt* Stmt = nullptr;
        sqlite3_prepare_v2(Db, "SELECT Value FROM meta WHERE Key = 'source'", -1, &Stmt, nullptr);
        if (Stmt && sqlite3_step(Stmt) == SQLITE_ROW)
            Source = reinterpret_cast<const char*>(sqlite3_column_text(Stmt, 0));
        sqlite3_finalize(Stmt);
        sqlite3_prepare_v2(Db, "SELECT p.Name || '|' || c.Name, c.Id FROM city c JOIN pref p ON p.Id = c.Pref", -1,
                           &Stmt, nullptr);
        while (Stmt && sqlite3_step(Stmt) == SQLITE_ROW)
            Cities[reinterpret_cast<const char*>(sqlite3_column_text(Stmt, 0))] = sqlite3_column_int64(Stmt, 1);
        sqlite3_finalize(Stmt);
    }
    // The SKK lists split some municipalities wrongly; only Japan Post's own list is held to the table.
    const bool Strict = Source.rfind("Japan Post", 0) == 0;
    int Unknown = 0;
    sqlite3_stmt* Insert = nullptr;
    bool Written = NewTable(Db,
                            "BEGIN; DROP TABLE IF EXISTS area;"
                            " CREATE TABLE area(Name TEXT, City INTEGER, Seq INTEGER);"
                            " CREATE INDEX area_name ON area(Name, Seq);",
                            "INSERT INTO area VALUES(?,?,?)", Insert);
    int Seq = 0;
    for (const TArea& Area : Areas)
        for (const std::string& City : Area.Cities) {
            auto Found = Cities.find(Area.Pref + "|" + City);
            if (Found == Cities.end()) {
                if (Strict)
                    std::fprintf(stderr, "vxareacheck: %s: %s%s is no municipality of Japan Post's list\n",
                                 Area.Name.c_str(), Area.Pref.c_str(), City.c_str());
                Unknown += Strict ? 1 : 0;
                continue;
            }
            sqlite3_bind_text(Insert, 1, Area.Name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(Insert, 2, Found->second);
            sqlite3_bind_int(Insert, 3, Seq++);
            Written = Written && sqlite3_step(Insert) == SQLITE_DONE;
            sqlite3_reset(Insert);
        }
    sqlite3_finalize(Insert);
    Written = Written && WriteRuns(Db, All.Runs) && sqlite3_exec(Db, "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(Db);
    if (!Written) {
        std::fprintf(stderr, "vxareacheck: %s: the area table could not be written\n", Path.c_str());
        return 1;
    }
    std::printf("vxareacheck: %zu areas of the geocoder, %zu lines, %d missing, %d unknown municipalities;"
                " %zu runs of exchange prefixes\n",
                Geocoded.size(), Areas.size(), Missing, Unknown, All.Runs.size());
    return Missing + Unknown == 0 ? 0 : 1;
}
