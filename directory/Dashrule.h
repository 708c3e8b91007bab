#pragma once

#include <QString>
#include <cstdint>

// Binding of the hyphenation library Dashrule.so, which inserts the hyphens of a Japanese
// telephone number. One library for the whole program, held with a use count: only the first load
// loads, only the free that brings the count back to 0 frees. Failures are shown in a message box
// and returned as codes; nothing here throws.

// The operating system's date and time as the library takes it: eight 16-bit values.
struct TSystemTime
{
    std::uint16_t Year;
    std::uint16_t Month;
    std::uint16_t DayOfWeek; // 0 = Sunday
    std::uint16_t Day;
    std::uint16_t Hour;
    std::uint16_t Minute;
    std::uint16_t Second;
    std::uint16_t Milliseconds;
};
static_assert(sizeof(TSystemTime) == 16);

inline constexpr int HyphenBufferSize = 14;

// GetHyphen(number, out buffer of 14 bytes zeroed by the caller, dictionary folder, UTC now) -> rc;
// 0 = the buffer holds the hyphenated number, NUL-terminated when shorter than 14 bytes.
using TGetHyphenProc = std::int32_t (*)(const char* Number, char* Buffer, const char* DicFolder,
                                        const TSystemTime* Now);

inline constexpr int HyphenRcLoadError = 11;
inline constexpr int HyphenRcBindError = 12;
inline constexpr int HyphenRcNotLoaded = 13;

// LibraryFolder and DicFolder keep their trailing "/". Answers 0, HyphenRcLoadError (the count
// stays raised) or HyphenRcBindError.
[[nodiscard]] int LoadHyphenLibrary(const QString& LibraryFolder, const QString& DicFolder);
void FreeHyphenLibrary();
[[nodiscard]] bool HyphenLibraryLoaded();

// HyphenRcNotLoaded without the library, else the library's code; on 0 Number holds the
// hyphenated form. An empty DicFolder means the one given at loading.
[[nodiscard]] int HyphenateTel(QString& Number, const QString& DicFolder = {});

// The trimmed Number, hyphenated when the library is loaded and knows it. Never fails.
[[nodiscard]] QString FormatTelHyphen(const QString& Number, const QString& DicFolder = {});
