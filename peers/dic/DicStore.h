#pragma once

// The postal dictionary file that vxdict writes and the four dictionary stand-ins read. Texts
// that go into the libraries' records are stored as CP932 bytes already cut to their fields, so
// the libraries copy them without a codec; the UTF-8 columns serve matching and the query tool.

inline constexpr char DicStoreFileName[] = "PostalDic.db";

// city:   Id, Pref (0-46), Kana (CP932, prefecture reading and municipality reading, at most 40 bytes),
//         Kanji (CP932, prefecture + municipality, at most 40 bytes), Name (UTF-8 municipality),
//         District (UTF-8 municipality without its district, "" when it has none), Ward (UTF-8 ward
//         city of a ward, "" otherwise), CityKana (CP932 municipality reading), Norm and DistrictNorm
//         (Name and District as NormalisePlace writes them)
// pref:   Id (0-46), Name (UTF-8), Kana (CP932 reading)
// town:   Code (7 digits), City, Kanji (CP932, at most 102 bytes), Name (UTF-8), Seq (file order),
//         Kana (CP932 reading, at most 102 bytes), Norm (Name normalised)
// office: Code, City, Town (CP932 town and block, at most 102 bytes), TownName (UTF-8 of the same),
//         Kanji (CP932 office name, at most 62 bytes), Seq, Kana (CP932 town reading), Norm
// meta:   Key, Value ("source": the lists the file was built from)
// area and exchange (the exchange areas' municipalities, the geocoder's answers for the ten-digit
// numbers) are vxareacheck's, written after the rest.
inline constexpr char DicStoreSchema[] =
    "CREATE TABLE city(Id INTEGER PRIMARY KEY, Pref INTEGER, Kana BLOB, Kanji BLOB, Name TEXT, District TEXT,"
    " Ward TEXT, CityKana BLOB, Norm TEXT, DistrictNorm TEXT);"
    "CREATE TABLE pref(Id INTEGER PRIMARY KEY, Name TEXT, Kana BLOB);"
    "CREATE TABLE town(Code TEXT, City INTEGER, Kanji BLOB, Name TEXT, Seq INTEGER, Kana BLOB, Norm TEXT);"
    "CREATE TABLE office(Code TEXT, City INTEGER, Town BLOB, TownName TEXT, Kanji BLOB, Seq INTEGER, Kana BLOB,"
    " Norm TEXT);"
    "CREATE TABLE meta(Key TEXT PRIMARY KEY, Value TEXT);"
    "CREATE INDEX town_code ON town(Code);"
    "CREATE INDEX town_city ON town(City, Code, Seq);"
    "CREATE INDEX office_code ON office(Code);"
    "CREATE INDEX office_city ON office(City, Code, Seq);";
