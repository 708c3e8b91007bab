#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

// Bindings of the two address-conversion libraries: Addrmend.so rewrites an address after a
// municipal merger, Postmend.so answers an address's address code and postal code. Each has one
// process-wide handle. Texts in the records are CP932, NUL-terminated and NUL-padded.
namespace Utility {

struct TCvtAdrsIn
{
    char Address[186];
    char Folder[256];
};
static_assert(sizeof(TCvtAdrsIn) == 442);
static_assert(offsetof(TCvtAdrsIn, Folder) == 186);

struct TCvtAdrsOut
{
    char Whole[186];
    char Tdfkn[10];
    char City[26];
    char Rest[152];
};
static_assert(sizeof(TCvtAdrsOut) == 374);
static_assert(offsetof(TCvtAdrsOut, Tdfkn) == 186);
static_assert(offsetof(TCvtAdrsOut, City) == 196);
static_assert(offsetof(TCvtAdrsOut, Rest) == 222);

struct TYAdrsToIn
{
    char Unused[194];
    char Address[186];
    char Folder[256];
};
static_assert(sizeof(TYAdrsToIn) == 636);
static_assert(offsetof(TYAdrsToIn, Address) == 194);
static_assert(offsetof(TYAdrsToIn, Folder) == 380);

struct TYAdrsToOut
{
    char JisCode[6];
    char Unused[376];
    char Pos[8];
};
static_assert(sizeof(TYAdrsToOut) == 390);
static_assert(offsetof(TYAdrsToOut, Pos) == 382);

inline constexpr int AdrsLibLoaded = 0;
inline constexpr int AdrsLibLoadError = 101;
inline constexpr int AdrsLibBindError = 102;
inline constexpr int AdrsLibNotLoaded = 103;

// The most bytes of an address the libraries take.
inline constexpr int CvtAdrsMaxBytes = 184;

// Every export: (input record, output record, result code) -> non-zero when converted.
using TCvtAdrsProc = unsigned char (*)(const TCvtAdrsIn* In, TCvtAdrsOut* Out, std::int32_t* Rc);
using TYAdrsToProc = unsigned char (*)(const TYAdrsToIn* In, TYAdrsToOut* Out, std::int32_t* Rc);

// Loads by absolute path from LibraryFolder (with its trailing "/"); a failure is shown in the
// error box and answered as AdrsLibLoadError or AdrsLibBindError (the library freed again).
[[nodiscard]] int LoadAddrmend(const QString& LibraryFolder);
void FreeAddrmend();
[[nodiscard]] bool CallCvtAdrs(const TCvtAdrsIn& In, TCvtAdrsOut& Out, std::int32_t& Rc);

[[nodiscard]] int LoadPostmend(const QString& LibraryFolder);
void FreePostmend();
[[nodiscard]] bool CallYAdrsTo(const TYAdrsToIn& In, TYAdrsToOut& Out, std::int32_t& Rc);

// The input records of one address; none when the folder's name does not fit its field, or the
// address is longer than CvtAdrsMaxBytes.
[[nodiscard]] std::optional<TCvtAdrsIn> MakeCvtAdrsIn(const QString& Address, const QString& Folder);
[[nodiscard]] std::optional<TYAdrsToIn> MakeYAdrsToIn(const QString& Address, const QString& Folder);

// Whether a folder's name fits the records' folder field with its NUL.
[[nodiscard]] bool ConversionFolderFits(const QString& Folder);

// The texts of the output records, each read no further than its field, trimmed.
struct TCvtAdrsResult
{
    QString Whole;
    QString Tdfkn;
    QString City;
    QString Rest;
};
[[nodiscard]] TCvtAdrsResult ReadCvtAdrsOut(const TCvtAdrsOut& Out);
struct TYAdrsToResult
{
    QString JisCode;
    QString Pos;
};
[[nodiscard]] TYAdrsToResult ReadYAdrsToOut(const TYAdrsToOut& Out);

} // namespace Utility
