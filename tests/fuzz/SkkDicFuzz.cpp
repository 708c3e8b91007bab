// The postal lists in the SKK dictionary format, of any bytes: the builder must keep every line it
// takes, refuse the rest, and split any address into a municipality without losing a character.

#include "FuzzSupport.h"
#include "peers/dic/DicBuild.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const TSkkFile File = ParseSkk(Bytes);
    VX_FUZZ_CHECK(File.Rejected >= 0);
    VX_FUZZ_CHECK(File.Lines.size() + File.Rejected <= Bytes.count('\n') + 1);
    qsizetype Texts = 0;
    for (const TSkkLine& Line : File.Lines) {
        VX_FUZZ_CHECK_EQ(Line.Code.size(), qsizetype(7));
        for (const QChar C : Line.Code)
            VX_FUZZ_CHECK(C >= QLatin1Char('0') && C <= QLatin1Char('9'));
        VX_FUZZ_CHECK(!Line.Texts.isEmpty());
        for (const QString& Text : Line.Texts) {
            VX_FUZZ_CHECK(!Text.isEmpty() && !Text.contains(QLatin1Char('/')));
            ++Texts;
        }
    }
    // The same bytes as the office list: each text one office, each address one postal row.
    const TDicBuilder Builder(File);
    const TDicData Built = Builder.Build(File, File);
    VX_FUZZ_CHECK_EQ(Built.Towns.size(), Texts);
    VX_FUZZ_CHECK_EQ(Built.Offices.size(), Texts);
    for (const TBuildTown& Town : Built.Towns)
        VX_FUZZ_CHECK(Town.City >= 0 && Town.City < Built.Cities.size());
    for (const TSkkLine& Line : File.Lines)
        for (const QString& Text : Line.Texts) {
            const TAddressSplit Split = Builder.Split(Text);
            VX_FUZZ_CHECK(Text.endsWith(Split.City + Split.Town));
            VX_FUZZ_CHECK(DicFieldBytes(Text, 62).size() <= 62);
        }
    return 0;
}
