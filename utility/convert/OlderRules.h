#pragma once

#include <QString>
#include <functional>

// How the converters of the oldest versions (1 to 6) turn single values of an old row into
// version-16 values. Nothing here touches a table, so each rule can be checked on its own.
namespace Utility {

// What becomes of a person's reading and name too long for the name fields; the page's three
// option buttons, in their order.
enum class TNameOverflow
{
    CorpSet,        // into the company fields only
    NameSet,        // into the name fields, cut as they are
    NameSetCorpSet, // into both
};
// Asked each time a long name is placed, so that the option standing at that moment counts.
using TNameOverflowChoice = std::function<TNameOverflow()>;

inline constexpr int ReadingLimit = 20; // bytes of a reading the name fields take
inline constexpr int NameLimit = 22;    // bytes of a name the name fields take

struct TPlacedNames
{
    QString CorpKana;
    QString CorpKanji;
    QString NameKana;
    QString NameKanji;
};
// A company's reading and name go into the company fields; a person's into the name fields, unless
// one of them is longer than the limits, when Choice says where they go. A row with a name but no
// reading passes an empty Reading.
[[nodiscard]] TPlacedNames PlaceNames(const QString& Reading, const QString& Name, bool Person,
                                      const TNameOverflowChoice& Choice);

// The rank of an old row: trimmed, ASCII letters upper-cased, and "A" unless it lies between "A"
// and "Z" in byte order ("Y9" stays, "Z1" does not).
[[nodiscard]] QString NormalRank(const QString& Rank);

// Only a plain "1" marked a call as dealt with.
[[nodiscard]] QString NormalDivision(const QString& Division);

// The call time of versions 1 to 3 from their "DATE" (yyyymmdd) and "TIME" (hhmmss) texts, as days
// since 1899-12-30. A part of the wrong length, or one that is no date or time, counts as missing
// (0 for the date, midnight for the time).
[[nodiscard]] double CallTime(const QString& Date, const QString& Time);

// The day of the week of a time in days since 1899-12-30: 1 = Sunday .. 7 = Saturday (an empty
// time, 0, is a Saturday).
[[nodiscard]] int WeekOfDays(double Days);

// The search number of a history row of versions 1 to 3: a number beginning with "0" keeps only its
// digits; anything else (a reason code such as "P") stays as written. Tel is trimmed already.
[[nodiscard]] QString HistorySearchNumber(const QString& Tel);

struct TAddressRest
{
    QString Adrs2;
    QString Adrs3;
};
// Version 16 keeps 100 bytes of an address's rest in Adrs2 and the remainder in Adrs3, never
// splitting a double-byte character (Adrs2 then ends in a blank).
[[nodiscard]] TAddressRest SplitAddressRest(const QString& Rest);

} // namespace Utility
