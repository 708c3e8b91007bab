#pragma once

#include "main/controls/SortState.h"

#include <QImage>

// The wide list view's own header arrows: 11 x 11, a dark-grey (0x808080) triangle on a transparent
// ground, pointing up for sdAsc and down for sdDesc; sdNone has none (a null image).
inline constexpr int UniSortArrowSize = 11;
[[nodiscard]] QImage UniSortArrowBitmap(TSortDir Dir);
