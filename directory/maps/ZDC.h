#pragma once

#include "directory/maps/MapCmn.h"

#include <optional>

// ZENRIN its-mo Navi, started with the request on its command line. True when it was started.
[[nodiscard]] bool RunItsMoNavi(const TMapSearchParams& Params);

// Its arguments: "1", "tokyo", "second", longitude "/" latitude in seconds, or "3" and the address,
// then "g", "1", "0". None for a search kind it does not know.
[[nodiscard]] std::optional<QStringList> ItsMoNaviArguments(const TMapSearchParams& Params);
