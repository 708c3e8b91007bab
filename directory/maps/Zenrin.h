#pragma once

#include "directory/maps/MapCmn.h"

// ZENRIN EmapZ (電子地図帳Ｚ II to 5), started with the request on its command line. True when it
// was started.
[[nodiscard]] bool RunEmapZ(const TMapSearchParams& Params);

// Its arguments: longitude and latitude in tenths of a second, four "0", "2", the mode, the address.
[[nodiscard]] QStringList EmapZArguments(const TMapSearchParams& Params);
