#pragma once

#include <QString>

// A text the map host wrote into the caller's buffer: read up to the first NUL or the buffer's
// end, whichever comes first, as UTF-8. A host that forgets the NUL or fills the buffer to the
// last byte is never read past it.
[[nodiscard]] QString MapHostText(const char* Buffer, int Size);
