#pragma once

#include <QString>
#include <cstdint>

// ProAtlas W / SV take and give coordinates as texts: whole degrees "/" minutes "/" milliseconds
// within the minute.

// "35/33/20000" for 128000000 milliseconds of arc; 0 (no coordinate) gives an empty text.
[[nodiscard]] QString ProAtlasWCoordText(std::uint32_t Milliseconds);

// The milliseconds of arc of such a text, as the map program's mark gives it; 0 for a text that
// does not read as three whole numbers or lies beyond what a record keeps (2^31 - 1).
[[nodiscard]] std::uint32_t ProAtlasWCoordValue(const QString& Text);
