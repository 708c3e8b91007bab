// Japan Post's rows as the npm package carries them, of any bytes: the reader keeps only rows of a
// seven-digit code and a known prefecture, and the builder makes one town or office of each.

#include "FuzzSupport.h"
#include "peers/dic/PostalJson.h"
#include "platform/text/Prefectures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const TPostalFile File = ParseJpostal(Bytes);
    VX_FUZZ_CHECK(File.Rejected >= 0);
    if (File.Damaged)
        VX_FUZZ_CHECK(File.Rows.isEmpty() && File.Rejected == 0);
    for (const TPostalRow& Row : File.Rows) {
        VX_FUZZ_CHECK_EQ(Row.Code.size(), qsizetype(7));
        for (const QChar C : Row.Code)
            VX_FUZZ_CHECK(C >= QLatin1Char('0') && C <= QLatin1Char('9'));
        VX_FUZZ_CHECK(SplitPrefecture(Row.Pref).Found && SplitPrefecture(Row.Pref).Rest.isEmpty());
        VX_FUZZ_CHECK(!Row.City.isEmpty());
    }
    const TDicData Built = BuildFromPostal(File, QStringLiteral("fuzz"));
    VX_FUZZ_CHECK_EQ(Built.Towns.size() + Built.Offices.size(), File.Rows.size());
    VX_FUZZ_CHECK(Built.Cities.size() <= File.Rows.size());
    for (const TBuildTown& Town : Built.Towns) {
        VX_FUZZ_CHECK(Town.City >= 0 && Town.City < Built.Cities.size());
        // A code of the municipality alone is read as the municipality.
        if (Town.Name.isEmpty())
            VX_FUZZ_CHECK(Town.Kana == Built.Cities[Town.City].Kana);
    }
    for (const TDicOffice& Office : Built.Offices)
        VX_FUZZ_CHECK(Office.City >= 0 && Office.City < Built.Cities.size());
    for (const TDicCity& City : Built.Cities)
        VX_FUZZ_CHECK(City.Pref >= 0 && City.Pref < PrefectureCount);
    return 0;
}
