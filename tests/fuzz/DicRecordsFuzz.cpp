// The records the dictionary libraries fill, of any bytes: a library other than our stand-in may
// leave anything in them, and the program must read each field within its bounds.

#include "DictionaryChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    TNumfindRecord Numfind;
    TGeomarkRecord Geomark;
    std::memset(&Numfind, 0, sizeof(Numfind));
    std::memset(&Geomark, 0, sizeof(Geomark));
    std::memcpy(&Numfind, Data, std::min(Size, sizeof(Numfind)));
    std::memcpy(&Geomark, Data, std::min(Size, sizeof(Geomark)));
    CheckNumfindRecord(Numfind);
    CheckGeomarkRecord(Geomark);
    return 0;
}
