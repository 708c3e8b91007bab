#pragma once

// A telephone number as libphonenumber's offline geocoder sees it: whether it is a Japanese number
// of the plan, the Japanese description of its exchange area and the prefecture its English
// description names. Loading the geocoder relocates some hundred thousand pointers of its data, so
// Areadex.so does not link it: the dictionary answers the usual numbers from the exchange table
// vxareacheck builds with this, and the rest goes to AreadexGeocoder.so, loaded when one comes.

#include <cstdint>
#include <string>

namespace dicstore {

struct TGeocodedNumber
{
    bool Valid = false; // a number of the Japanese plan
    bool Landline = false;
    std::string Area; // "" or "日本" where the geocoder names no exchange area
    int Pref = -1;    // 0-46, or -1
    bool operator==(const TGeocodedNumber&) const = default;
};

[[nodiscard]] TGeocodedNumber GeocodeNumber(const std::string& Number);

} // namespace dicstore

// The export of AreadexGeocoder.so: 0 and the area (NUL-terminated UTF-8, cut to AreaSize - 1
// bytes) and prefecture of a number of the plan; 4 for anything else; 2 for a bad argument.
inline constexpr char AreadexGeocoderFile[] = "AreadexGeocoder.so";
inline constexpr char AreadexGeocoderExport[] = "AreadexGeocode";
using TAreadexGeocodeProc = std::int32_t (*)(const char* Number, char* Area, std::int32_t AreaSize, std::int32_t* Pref);
