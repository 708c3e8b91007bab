// The part of the area-code stand-in that asks libphonenumber, for the numbers the dictionary's
// exchange table leaves open (AreaGeocode.h).

#include "peers/dic/AreaGeocode.h"
#include "platform/sys/FileVersionNote.h"

#include <cstring>

VX_FILE_VERSION(1, 0, 0, 0);

extern "C" __attribute__((visibility("default"))) std::int32_t AreadexGeocode(const char* Number, char* Area,
                                                                              std::int32_t AreaSize, std::int32_t* Pref)
{
    if (!Number || !Area || AreaSize < 1 || !Pref)
        return 2;
    const dicstore::TGeocodedNumber Found = dicstore::GeocodeNumber(Number);
    std::memset(Area, 0, static_cast<size_t>(AreaSize));
    *Pref = Found.Pref;
    if (!Found.Valid)
        return 4;
    std::memcpy(Area, Found.Area.data(), std::min(Found.Area.size(), static_cast<size_t>(AreaSize) - 1));
    return 0;
}
