// The records the postal, address, area-code and normalisation libraries fill, of any bytes: each
// field is read within its bounds, and what goes into an entry fits the entry's capacity.

#include "FuzzSupport.h"
#include "directory/DicField.h"
#include "directory/Geomark.h"
#include "directory/dic/AdrsDicClass.h"
#include "directory/dic/AdrsHitRecord.h"
#include "directory/dic/ConAdrsDicClass.h"
#include "directory/dic/KykbnDicClass.h"
#include "directory/dic/PosDicClass.h"
#include "main/common/CommonText.h"
#include "platform/text/Cp932.h"

namespace {

template <std::size_t N> void CheckField(const char (&Field)[N], int Capacity)
{
    const QString Text = FixedFieldText(Field, static_cast<int>(N));
    VX_FUZZ_CHECK(!Text.contains(QChar(0)));
    VX_FUZZ_CHECK(Text.size() <= static_cast<qsizetype>(N));
    // A field filled to its end never reads its cut-off last half as a character of its own.
    if (!std::memchr(Field, 0, N) && Cp932ByteType(QByteArray(Field, N), N - 1) == TByteType::Lead)
        VX_FUZZ_CHECK(!Text.endsWith(QChar(0xFFFD)) || FixedFieldText(Field, N - 1) == Text);
    const QString Cut = HitField(FormatPostalCode(Text), Capacity);
    VX_FUZZ_CHECK(Cp932Width(Cut) <= Capacity - 1);
    (void)SplitPrefecture(Text);
    (void)SplitPrefectureKana(Text);
}

template <typename TRecord> TRecord Take(const std::uint8_t* Data, std::size_t Size)
{
    TRecord Record;
    std::memset(&Record, 0, sizeof Record);
    std::memcpy(&Record, Data, std::min(Size, sizeof Record));
    return Record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const auto PostCity = Take<TPostrollCity>(Data, Size);
    CheckField(PostCity.JisCode, TAdrsHitRecord::JisCodeCapacity);
    CheckField(PostCity.Kana, TAdrsHitRecord::CityCapacity);
    CheckField(PostCity.Kanji, TAdrsHitRecord::CityCapacity);
    const auto PostTown = Take<TPostrollTown>(Data, Size);
    CheckField(PostTown.Pos, TAdrsHitRecord::PosCapacity);
    CheckField(PostTown.Kanji, TAdrsHitRecord::TownCapacity);
    CheckField(PostTown.KajoCode, TAdrsHitRecord::KajoCodeCapacity);
    const auto Large = Take<TPostrollLarge>(Data, Size);
    CheckField(Large.Kanji, TAdrsHitRecord::LargeCapacity);
    const auto PlaceCity = Take<TPlacedexCity>(Data, Size);
    CheckField(PlaceCity.PrefKanji, TAdrsHitRecord::PrefCapacity);
    CheckField(PlaceCity.CityKanji, TAdrsHitRecord::CityCapacity);
    const auto PlaceTown = Take<TPlacedexTown>(Data, Size);
    CheckField(PlaceTown.Pos, TAdrsHitRecord::PosCapacity);
    CheckField(PlaceTown.Kanji, TAdrsHitRecord::TownCapacity);
    const auto Fix = Take<TPlacefixRecord>(Data, Size);
    CheckField(Fix.Pos, TAdrsHitRecord::PosCapacity);
    CheckField(Fix.TownKanji, TAdrsHitRecord::TownCapacity);
    const auto AreaCity = Take<TAreadexCity>(Data, Size);
    CheckField(AreaCity.Kanji, TAdrsHitRecord::CityCapacity);
    const auto AreaTown = Take<TAreadexTown>(Data, Size);
    CheckField(AreaTown.Codes, TAdrsHitRecord::KajoCodeCapacity);
    CheckField(AreaTown.Kanji, TAdrsHitRecord::TownCapacity);
    return 0;
}
