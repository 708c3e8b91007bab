#pragma once

#include <QStringList>
#include <optional>

// The choices of the MapFan window that do not need its map control.

// The twelve scales, index 0 (the whole country) to 11 (the most detailed).
[[nodiscard]] const QStringList& MapFanScaleCaptions();

// The bit of scale Index in the control's availability mask.
[[nodiscard]] unsigned MapFanScaleBit(int Index);

// The most detailed scale the mask offers; -1 when it offers none (the scale stays as it is).
[[nodiscard]] int MapFanScaleFromMask(unsigned Mask);

// The installed version among the numeric sub-keys of the product's registry key: from the last
// name in sorted order down, the first that reads as a number of 4 or more. None: not usable.
[[nodiscard]] std::optional<int> MapFanVersionFromSubKeys(QStringList SubKeys);
