#include "utility/convert/OlderRules.h"

#include "main/common/CommonText.h"
#include "platform/text/Cp932.h"

#include <QDate>
#include <cmath>
#include <optional>

namespace Utility {

namespace {

// The number written in Text's ASCII digits; nothing for any other character.
std::optional<int> DigitsValue(const QString& Text)
{
    int Value = 0;
    for (const QChar C : Text) {
        if (C < u'0' || C > u'9')
            return std::nullopt;
        Value = Value * 10 + (C.unicode() - u'0');
    }
    return Value;
}

} // namespace

TPlacedNames PlaceNames(const QString& Reading, const QString& Name, bool Person, const TNameOverflowChoice& Choice)
{
    if (!Person)
        return {Reading, Name, {}, {}};
    if (Cp932Width(Reading) <= ReadingLimit && Cp932Width(Name) <= NameLimit)
        return {{}, {}, Reading, Name};
    switch (Choice ? Choice() : TNameOverflow::NameSet) {
    case TNameOverflow::CorpSet:
        return {Reading, Name, {}, {}};
    case TNameOverflow::NameSetCorpSet:
        return {Reading, Name, Reading, Name};
    case TNameOverflow::NameSet:
        break;
    }
    return {{}, {}, Reading, Name};
}

QString NormalRank(const QString& Rank)
{
    QString Upper = TrimBlanks(Rank);
    for (QChar& C : Upper)
        if (C >= u'a' && C <= u'z')
            C = QChar(C.unicode() - u'a' + u'A');
    const QByteArray Bytes = Cp932Encode(Upper);
    return Bytes >= QByteArrayView("A") && Bytes <= QByteArrayView("Z") ? Upper : QStringLiteral("A");
}

QString NormalDivision(const QString& Division)
{
    return Division == QStringLiteral("1") ? QStringLiteral("1") : QStringLiteral("0");
}

double CallTime(const QString& Date, const QString& Time)
{
    double Days = 0;
    const QString Day = TrimBlanks(Date);
    if (Day.size() == 8) {
        const auto Year = DigitsValue(Day.left(4));
        const auto Month = DigitsValue(Day.mid(4, 2));
        const auto Of = DigitsValue(Day.mid(6, 2));
        const QDate Value = Year && Month && Of ? QDate(*Year, *Month, *Of) : QDate();
        if (Value.isValid())
            Days = static_cast<double>(QDate(1899, 12, 30).daysTo(Value));
    }
    const QString Clock = TrimBlanks(Time);
    if (Clock.size() == 6) {
        const auto Hours = DigitsValue(Clock.left(2));
        const auto Minutes = DigitsValue(Clock.mid(2, 2));
        const auto Seconds = DigitsValue(Clock.mid(4, 2));
        if (Hours && Minutes && Seconds && *Hours < 24 && *Minutes < 60 && *Seconds < 60)
            Days += (*Hours * 3600 + *Minutes * 60 + *Seconds) / 86400.0;
    }
    return Days;
}

int WeekOfDays(double Days)
{
    // 1899-12-30, day 0, was a Saturday.
    if (!std::isfinite(Days) || std::fabs(Days) > 1e9)
        return 7;
    const auto Whole = static_cast<long long>(std::trunc(Days));
    return static_cast<int>(((Whole + 6) % 7 + 7) % 7) + 1;
}

QString HistorySearchNumber(const QString& Tel)
{
    return Tel.startsWith(u'0') ? DigitsOnly(Tel, KeepDigits) : Tel;
}

TAddressRest SplitAddressRest(const QString& Rest)
{
    const QStringList Parts = SplitText(Rest, 1, SplitAtByte, QString(), 100);
    return {Parts.value(0), Parts.value(1)};
}

} // namespace Utility
