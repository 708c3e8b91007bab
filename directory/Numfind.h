#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// Binding of the telephone-number dictionary Numfind.so: a number to a subscriber entry. The
// caller identification uses it for numbers that the directory does not know. Use-counted; load
// and bind failures are message boxes and codes, a search only returns its code.

// The library's result record; texts CP932, padded.
struct TNumfindRecord
{
    char Tel[14]; // the caller rewrites it in place with hyphens
    char Pos[8];
    char NameKanji[114];
    char NameKana[62];
    char TdfknCity[40];
    char Adrs1[38];
    char Adrs2[118];
    char Reserved[90];
    char Codes[12];          // characters 1-5 JisCode, 6-11 KajoCode
    char TypeCode[4];        // empty = a person; "PK" = a company (position of the mark, kind of company)
    std::uint32_t Latitude;  // 1/256 second of arc
    std::uint32_t Longitude; // the same unit
};
static_assert(sizeof(TNumfindRecord) == 508);
static_assert(offsetof(TNumfindRecord, Pos) == 14);
static_assert(offsetof(TNumfindRecord, NameKana) == 136);
static_assert(offsetof(TNumfindRecord, TdfknCity) == 198);
static_assert(offsetof(TNumfindRecord, Adrs2) == 276);
static_assert(offsetof(TNumfindRecord, Codes) == 484);
static_assert(offsetof(TNumfindRecord, TypeCode) == 496);
static_assert(offsetof(TNumfindRecord, Latitude) == 500);

// SearchFromTelK(number digits, out record, work folder, dictionary folder) -> rc: 0 found;
// 1, 2, 5 not found; 6 wrong setup path; any other an error. The other three exports are bound
// but never called; their arguments are not ours to know.
using TSearchFromTelKProc = std::int32_t (*)(const char* Number, TNumfindRecord* Record, const char* WorkFolder,
                                             const char* DicFolder);
using TNumfindOtherProc = void (*)();

inline constexpr int NumfindRcLoadError = 101;
inline constexpr int NumfindRcBindError = 102; // also: the dictionary is not loaded
inline constexpr int NumfindRcMaskBindError = 103;

// Folder keeps its trailing "/"; an empty Folder is the program folder (libraries are loaded by
// absolute path only). Answers 0, NumfindRcLoadError, NumfindRcBindError (the library is freed
// again) or NumfindRcMaskBindError (it stays loaded and searches work). A failure is shown in a
// message box under Caption, the name of the program that loads the dictionary.
[[nodiscard]] int LoadNumberDictionary(const QString& Folder, const QString& Caption);
void FreeNumberDictionary();
[[nodiscard]] bool NumberDictionaryLoaded();

// NumfindRcBindError without the library; else Record is zero-filled and SearchFromTelK's code
// comes back unchanged. Shows nothing.
[[nodiscard]] int SearchNumberDictionary(const QString& Number, TNumfindRecord& Record, const QString& WorkFolder,
                                         const QString& DicFolder);
