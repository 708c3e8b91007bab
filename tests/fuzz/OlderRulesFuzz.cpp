// The values of one row of an earlier version's table (call date and time, number, rank, address
// rest, reading and name, as the Paradox reader decodes them) through the rules that turn them into
// version-16 values: a call time is a date of the calendar or 0 plus a time of day, with its day of
// the week; a rank is "A" or the trimmed, upper-cased rank between "A" and "Z"; an address rest
// loses nothing in its split and Adrs2 holds at most 100 bytes; names land whole or not at all.

#include "FuzzSupport.h"
#include "main/common/CommonText.h"
#include "platform/text/Cp932.h"
#include "utility/convert/OlderRules.h"

#include <cmath>

using namespace Utility;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QList<QByteArray> Pieces =
        SplitInput(QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)), "\n", 7);
    QStringList Values;
    for (const QByteArray& Piece : Pieces)
        Values.append(Cp932DecodeLenient(Piece));
    const QString& Date = Values[0];
    const QString& Time = Values[1];

    const double When = CallTime(Date, Time);
    VX_FUZZ_CHECK(std::isfinite(When));
    const double Day = std::floor(When);
    VX_FUZZ_CHECK(When - Day < 1.0);
    if (TrimBlanks(Date).size() != 8)
        VX_FUZZ_CHECK(Day == 0);
    if (TrimBlanks(Time).size() != 6)
        VX_FUZZ_CHECK(When == Day);
    VX_FUZZ_CHECK(Day >= -693593 && Day <= 2958465);
    const int Week = WeekOfDays(When);
    VX_FUZZ_CHECK(Week >= 1 && Week <= 7);

    const QString Number = HistorySearchNumber(TrimBlanks(Values[2]));
    if (Number.startsWith(u'0'))
        VX_FUZZ_CHECK_EQ(DigitsOnly(Number), Number);

    const QString Rank = NormalRank(Values[3]);
    const QByteArray RankBytes = Cp932Encode(Rank);
    VX_FUZZ_CHECK(RankBytes >= QByteArrayView("A") && RankBytes <= QByteArrayView("Z"));
    VX_FUZZ_CHECK(Rank == QStringLiteral("A") || Rank.compare(TrimBlanks(Values[3]), Qt::CaseInsensitive) == 0);

    const QString& Rest = Values[4];
    const TAddressRest Address = SplitAddressRest(Rest);
    VX_FUZZ_CHECK(Cp932Width(Address.Adrs2) <= 100);
    if (Cp932Width(Rest) <= 100)
        VX_FUZZ_CHECK(Address.Adrs2 == Rest && Address.Adrs3.isEmpty());
    else
        VX_FUZZ_CHECK(Address.Adrs2 + Address.Adrs3 == Rest ||
                      (Address.Adrs2.endsWith(u' ') && Address.Adrs2.chopped(1) + Address.Adrs3 == Rest));

    const QString& Reading = Values[5];
    const QString& Name = Values[6];
    const TNameOverflow Option = static_cast<TNameOverflow>(Size % 3);
    for (const bool Person : {false, true}) {
        const TPlacedNames Names = PlaceNames(Reading, Name, Person, [Option] { return Option; });
        for (const QString& Placed : {Names.CorpKana, Names.NameKana})
            VX_FUZZ_CHECK(Placed.isEmpty() || Placed == Reading);
        for (const QString& Placed : {Names.CorpKanji, Names.NameKanji})
            VX_FUZZ_CHECK(Placed.isEmpty() || Placed == Name);
        // Nothing is lost: the reading and the name stand somewhere.
        VX_FUZZ_CHECK(Names.CorpKana == Reading || Names.NameKana == Reading);
        VX_FUZZ_CHECK(Names.CorpKanji == Name || Names.NameKanji == Name);
        if (!Person)
            VX_FUZZ_CHECK(Names.NameKana.isEmpty() && Names.NameKanji.isEmpty());
    }
    return 0;
}
