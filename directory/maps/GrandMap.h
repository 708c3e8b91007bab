#pragma once

#include "directory/maps/MapCmn.h"

// GrandMap, started in its own folder with the request on its command line. True when it was
// started.
[[nodiscard]] bool RunGrandMap(const TMapSearchParams& Params);

// Its arguments: "/M", latitude and longitude in degrees, or "/A" and the address, then "2500".
[[nodiscard]] QStringList GrandMapArguments(const TMapSearchParams& Params);
