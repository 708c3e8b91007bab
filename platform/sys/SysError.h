#pragma once

#include <QString>

// The system's own words for an error number, in Japanese as the desktop speaks them to the user,
// for a file that could not be opened or written.
[[nodiscard]] QString SysErrorMessage(int Error);
