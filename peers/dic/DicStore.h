#pragma once

// The postal dictionary file that vxdict writes and the four dictionary stand-ins read. Texts
// that go into the libraries' records are stored as CP932 bytes already cut to their fields, so
// the libraries copy them without a codec; the UTF-8 columns serve matching and the query tool.

inline constexpr char DicStoreFileName[] = "PostalDic.db";

// city:   Id, Pref (0-46), Kana (CP932, prefecture reading), Kanji (CP932, prefecture + municipality,
//         at most 40 bytes), Name (UTF-8 municipality), District (UTF-8 municipality without its
//         district, "" when it has none), Ward (UTF-8 ward city of a ward, "" otherwise)
// pref:   Id (0-46), Name (UTF-8)
// town:   Code (7 digits), City, Kanji (CP932, at most 102 bytes), Name (UTF-8), Seq (file order)
// office: Code, City, Town (CP932, at most 102 bytes), TownName (UTF-8), Kanji (CP932 office name,
//         at most 62 bytes), Seq
inline constexpr char DicStoreSchema[] =
    "CREATE TABLE city(Id INTEGER PRIMARY KEY, Pref INTEGER, Kana BLOB, Kanji BLOB, Name TEXT, District TEXT,"
    " Ward TEXT);"
    "CREATE TABLE pref(Id INTEGER PRIMARY KEY, Name TEXT);"
    "CREATE TABLE town(Code TEXT, City INTEGER, Kanji BLOB, Name TEXT, Seq INTEGER);"
    "CREATE TABLE office(Code TEXT, City INTEGER, Town BLOB, TownName TEXT, Kanji BLOB, Seq INTEGER);"
    "CREATE INDEX town_code ON town(Code);"
    "CREATE INDEX town_city ON town(City, Code, Seq);"
    "CREATE INDEX office_code ON office(Code);"
    "CREATE INDEX office_city ON office(City, Code, Seq);";
