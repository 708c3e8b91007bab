#include "directory/maps/host/MapHostText.h"

#include <cstring>

QString MapHostText(const char* Buffer, int Size)
{
    if (!Buffer || Size <= 0)
        return {};
    const void* End = std::memchr(Buffer, '\0', static_cast<std::size_t>(Size));
    const int Length = End ? static_cast<int>(static_cast<const char*>(End) - Buffer) : Size;
    return QString::fromUtf8(Buffer, Length);
}
