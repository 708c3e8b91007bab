#include "peers/dic/AreaGeocode.h"

#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>

namespace dicstore {

namespace {

// The prefectures as the geocoder's English descriptions name them, in the order of their codes.
const char* const EnglishPrefectures[47] = {
    "Hokkaido", "Aomori",    "Iwate",     "Miyagi",    "Akita",    "Yamagata",  "Fukushima", "Ibaraki",
    "Tochigi",  "Gunma",     "Saitama",   "Chiba",     "Tokyo",    "Kanagawa",  "Niigata",   "Toyama",
    "Ishikawa", "Fukui",     "Yamanashi", "Nagano",    "Gifu",     "Shizuoka",  "Aichi",     "Mie",
    "Shiga",    "Kyoto",     "Osaka",     "Hyogo",     "Nara",     "Wakayama",  "Tottori",   "Shimane",
    "Okayama",  "Hiroshima", "Yamaguchi", "Tokushima", "Kagawa",   "Ehime",     "Kochi",     "Fukuoka",
    "Saga",     "Nagasaki",  "Kumamoto",  "Oita",      "Miyazaki", "Kagoshima", "Okinawa"};

int EnglishPrefecture(const std::string& Description)
{
    size_t Comma = Description.rfind(", ");
    const std::string Name = Comma == std::string::npos ? Description : Description.substr(Comma + 2);
    for (int I = 0; I < 47; ++I)
        if (Name == EnglishPrefectures[I])
            return I;
    return -1;
}

} // namespace

TGeocodedNumber GeocodeNumber(const std::string& Number)
{
    using namespace i18n::phonenumbers;
    TGeocodedNumber Out;
    const PhoneNumberUtil& Util = *PhoneNumberUtil::GetInstance();
    PhoneNumber Parsed;
    if (Util.Parse(Number, "JP", &Parsed) != PhoneNumberUtil::NO_PARSING_ERROR ||
        !Util.IsValidNumberForRegion(Parsed, "JP"))
        return Out;
    static const PhoneNumberOfflineGeocoder Geocoder;
    Out.Valid = true;
    const auto Type = Util.GetNumberType(Parsed);
    Out.Landline = Type == PhoneNumberUtil::FIXED_LINE || Type == PhoneNumberUtil::FIXED_LINE_OR_MOBILE;
    Out.Area = Geocoder.GetDescriptionForNumber(Parsed, icu::Locale("ja", "JP"));
    Out.Pref = EnglishPrefecture(Geocoder.GetDescriptionForNumber(Parsed, icu::Locale("en", "US")));
    return Out;
}

} // namespace dicstore
