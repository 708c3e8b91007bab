#pragma once

#include <QByteArray>
#include <QPageSize>
#include <QString>
#include <cstdint>
#include <optional>

// The device mode the list printing keeps for its printer. Linux printers have no driver device mode,
// so this is a record of our own that keeps the offsets the stored file has always had: the device
// name in the first 32 bytes (CP932, zero-padded, cut), the format version as the 16-bit driver
// version at 34, the orientation at 44, the paper code at 46 and the copies at 54, all little-endian
// in a 156-byte public part; then a tail of our own: the full printer name (16-bit byte count, UTF-8)
// and the page size in micrometres (two 32-bit values), so that a long name and a paper without a
// code are found again.

inline constexpr int DevModePublicSize = 156;
inline constexpr int DevModeNameSize = 32;
inline constexpr int DevModeVersionOffset = 34;
inline constexpr int DevModeSizeOffset = 36;
inline constexpr int DevModeExtraOffset = 38;
inline constexpr int DevModeFieldsOffset = 40;
inline constexpr int DevModeOrientationOffset = 44;
inline constexpr int DevModePaperOffset = 46;
inline constexpr int DevModeCopiesOffset = 54;
inline constexpr std::uint16_t DevModeFormatVersion = 1;
// The smallest tail: an empty name and the page size.
inline constexpr int DevModeMinSize = DevModePublicSize + 2 + 8;
// A stored record beyond this is no record of ours.
inline constexpr int DevModeMaxSize = 64 * 1024;

inline constexpr int DMORIENT_PORTRAIT = 1;
inline constexpr int DMORIENT_LANDSCAPE = 2;
// The paper code of a size that has none of its own; the tail's size tells it.
inline constexpr int DMPAPER_USER = 256;

struct TDevModeFields
{
    QString Name;
    int Orientation = DMORIENT_PORTRAIT;
    int PaperCode = 9; // A4
    int Copies = 1;
    QPageSize Paper = QPageSize(QPageSize::A4);
};

[[nodiscard]] QByteArray EncodeDevMode(const TDevModeFields& Fields);
// None when Bytes is no record of ours: too short or long, another format version or public size, or
// a tail that does not fit.
[[nodiscard]] std::optional<TDevModeFields> DecodeDevMode(const QByteArray& Bytes);

[[nodiscard]] int DevModeWord(const QByteArray& DevMode, int Offset);
void SetDevModeWord(QByteArray& DevMode, int Offset, int Value);

// The paper codes the record has always used, for the sizes that have one; DMPAPER_USER otherwise.
[[nodiscard]] int PaperCodeOf(QPageSize::PageSizeId Id);
// The size of a code; none for an unknown code.
[[nodiscard]] std::optional<QPageSize::PageSizeId> PaperOfCode(int Code);
