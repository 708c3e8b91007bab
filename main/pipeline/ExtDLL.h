#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

struct TCallerRecord;

// The optional extension library "ExtDLL.so" in the program folder: called once for every incoming
// call with the caller's data in a fixed block of 1024 bytes. Texts are CP932, NUL-terminated inside
// their slot; numbers are little-endian, as on every machine the program runs on.
#pragma pack(push, 1)
struct TExtDLLBlock
{
    char SchTel0[12];
    char SchTel1[12];
    char Tel0[14];
    char Tel1[14];
    std::int32_t TelIndex;
    char Pos[9];
    char Tdfkn[9];
    char Adrs1[33];
    char Adrs2[153];
    char JisCode[6];
    char CorpKana[81];
    char CorpKanji[113];
    char NameKana[21];
    char NameKanji[23];
    std::int32_t PrivCorp;
    char Memo1[101];
    char Memo3[101]; // the third memo lies before the second
    char Memo2[101];
    char Rank[21];
    std::int32_t Latitude;     // milliseconds of arc
    std::int32_t Longitude;    // milliseconds of arc
    double RecvDateTime;       // days since 1899-12-30
    double BeforeRecvDateTime; // 0 = none
    std::int32_t Division;
    char SelItem1[31];
    char SelItem2[31];
    char SelItem3[31];
    char EMail[65];
    char Reserved[6];
};
#pragma pack(pop)

static_assert(sizeof(TExtDLLBlock) == 1024);
static_assert(offsetof(TExtDLLBlock, SchTel1) == 12 && offsetof(TExtDLLBlock, Tel0) == 24 &&
              offsetof(TExtDLLBlock, Tel1) == 38 && offsetof(TExtDLLBlock, TelIndex) == 52 &&
              offsetof(TExtDLLBlock, Pos) == 56 && offsetof(TExtDLLBlock, Tdfkn) == 65 &&
              offsetof(TExtDLLBlock, Adrs1) == 74 && offsetof(TExtDLLBlock, Adrs2) == 107 &&
              offsetof(TExtDLLBlock, JisCode) == 260 && offsetof(TExtDLLBlock, CorpKana) == 266 &&
              offsetof(TExtDLLBlock, CorpKanji) == 347 && offsetof(TExtDLLBlock, NameKana) == 460 &&
              offsetof(TExtDLLBlock, NameKanji) == 481 && offsetof(TExtDLLBlock, PrivCorp) == 504 &&
              offsetof(TExtDLLBlock, Memo1) == 508 && offsetof(TExtDLLBlock, Memo3) == 609 &&
              offsetof(TExtDLLBlock, Memo2) == 710 && offsetof(TExtDLLBlock, Rank) == 811 &&
              offsetof(TExtDLLBlock, Latitude) == 832 && offsetof(TExtDLLBlock, Longitude) == 836 &&
              offsetof(TExtDLLBlock, RecvDateTime) == 840 && offsetof(TExtDLLBlock, BeforeRecvDateTime) == 848 &&
              offsetof(TExtDLLBlock, Division) == 856 && offsetof(TExtDLLBlock, SelItem1) == 860 &&
              offsetof(TExtDLLBlock, SelItem2) == 891 && offsetof(TExtDLLBlock, SelItem3) == 922 &&
              offsetof(TExtDLLBlock, EMail) == 953 && offsetof(TExtDLLBlock, Reserved) == 1018);

// ExtendDLLFunc(block, settings folder with its trailing "/") -> 1 on success.
using TExtendDLLFunc = std::int32_t (*)(TExtDLLBlock* Block, const char* SettingsFolder);

inline const QString ExtDllFileName = QStringLiteral("ExtDLL.so");
inline const QString ExtDllLogFileName = QStringLiteral("extdll_call.log");

inline constexpr int ExtDllRcLoadError = 101;
inline constexpr int ExtDllRcBindError = 102;
inline constexpr int ExtDllRcNotLoaded = 103;

// The block for a call: zero-filled, then filled from the record; texts cut to their slot less one
// byte, never half a double-byte character.
[[nodiscard]] TExtDLLBlock MakeExtDLLBlock(const TCallerRecord& Record);

// Remembers Folder (empty: the program folder) and tells whether the library lies there.
[[nodiscard]] bool ExtDllExists(const QString& Folder = {});
// 0 loaded (or already loaded), ExtDllRcLoadError, ExtDllRcBindError; each call adds one use.
// A failure is shown with the stop icon and the product's caption, through ShowError when given, else
// through the program's core message box.
[[nodiscard]] int LoadExtDll(const std::function<void(const QString& Text)>& ShowError = {});
// Drops one use; the library goes with the last one.
void FreeExtDll();
[[nodiscard]] bool ExtDllLoaded();
// The library's result, or ExtDllRcNotLoaded. A result other than 1 adds a line to the settings
// folder's extdll_call.log; a log that cannot be written is let go, the call goes on.
int CallExtDll(const TCallerRecord& Record);
