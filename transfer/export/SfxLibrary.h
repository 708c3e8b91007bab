#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

// Binding of the encryption library Vtxcrtpup.so, which packs a text file into a password-protected
// self-restoring program. One library for the whole program, held with a use count: every
// LoadSfxLibrary, whatever it answered, is paired with one FreeSfxLibrary.

// The settings block of VtxCreateSFX, zero-filled before use. Texts are NUL-terminated inside their
// field; the folder is spelled in the file system's bytes and keeps its trailing "/".
#pragma pack(push, 1)
struct TSfxSettings
{
    char Reserved1[40];
    char Password[44];
    std::int32_t Flag; // always 1
    char Folder[256];
};
struct TSfxFileName
{
    char Name[256];
};
#pragma pack(pop)
static_assert(sizeof(TSfxSettings) == 344);
static_assert(offsetof(TSfxSettings, Password) == 40 && offsetof(TSfxSettings, Flag) == 84 &&
              offsetof(TSfxSettings, Folder) == 88);
static_assert(sizeof(TSfxFileName) == 256);

// VtxCreateSFX(settings block, file-name buffer, calling window) -> 0 when "<folder><name>.exe" stands.
using TVtxCreateSFX = std::int32_t (*)(void* Settings, void* FileName, void* Window);

inline const QString SfxLibraryFileName = QStringLiteral("Vtxcrtpup.so");

inline constexpr int SfxRcLoadError = 101;
inline constexpr int SfxRcBindError = 102;
inline constexpr int SfxRcNotLoaded = 103;
// The library's answer when the disk had too little space.
inline constexpr int SfxRcDiskFull = 11;

// What of a call does not fit its field with its terminator.
enum class TSfxFieldFault
{
    None,
    Password,
    Folder,
    FileName,
};

// Fills both blocks, zeroed first, for the text file at TextPath (an absolute path).
[[nodiscard]] TSfxFieldFault MakeSfxCall(const QString& Password, const QString& TextPath, TSfxSettings& Settings,
                                         TSfxFileName& FileName);
// The message for a field that does not fit.
[[nodiscard]] QString SfxFieldFaultText(TSfxFieldFault Fault);

// 0 bound (or already bound), SfxRcLoadError or SfxRcBindError; each call adds one use. An empty
// Folder means the program folder; the library is always loaded by its absolute path. Failures are
// shown with the stop icon through ShowError when given, else through the core message box.
[[nodiscard]] int LoadSfxLibrary(const QString& Folder, const std::function<void(const QString& Text)>& ShowError = {});
// A test seam: an empty Folder means Folder instead of the program folder (empty: back to it).
void UseSfxLibraryFolderForTests(const QString& Folder);
// Drops one use; the library goes with the last one.
void FreeSfxLibrary();
[[nodiscard]] bool SfxLibraryLoaded();
// The library's result, or SfxRcNotLoaded.
[[nodiscard]] int CallCreateSfx(TSfxSettings& Settings, TSfxFileName& FileName, void* Window);
