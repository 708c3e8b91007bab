#include "calls/HisSchCond.h"

#include "calls/ListPages.h"
#include "main/common/CommonText.h"
#include "platform/db/Collation.h"

#include <QStringList>
#include <cmath>

namespace {

bool IsDateRange(const THistorySearchCondition& Condition)
{
    return Condition.FromDate > 0 && Condition.ToDate > 0;
}

struct TTextTest
{
    QString Column;
    QString Wanted;
    QString THistoryRowKeys::*Field;
};

// The text tests that apply, in the order OR mode tries them.
QList<TTextTest> TextTests(const THistorySearchCondition& Condition)
{
    QList<TTextTest> Tests;
    const QString Tel = DigitsOnly(TrimBlanks(Condition.Tel));
    if (!TrimBlanks(Condition.Tel).isEmpty())
        Tests.append({QStringLiteral("SchTel"), Tel, &THistoryRowKeys::SchTel});
    const std::pair<QString, const QString*> Names[] = {
        {QStringLiteral("CorpKana"), &Condition.CorpKana},
        {QStringLiteral("CorpKanji"), &Condition.CorpKanji},
        {QStringLiteral("NameKana"), &Condition.NameKana},
        {QStringLiteral("NameKanji"), &Condition.NameKanji},
    };
    QString THistoryRowKeys::*const Fields[] = {&THistoryRowKeys::CorpKana, &THistoryRowKeys::CorpKanji,
                                                &THistoryRowKeys::NameKana, &THistoryRowKeys::NameKanji};
    for (int I = 0; I < 4; ++I) {
        const QString Wanted = Cp932Fold(TrimBlanks(*Names[I].second));
        if (!Wanted.isEmpty())
            Tests.append({Names[I].first, Wanted, Fields[I]});
    }
    return Tests;
}

bool TextTestHolds(const TTextTest& Test, const THistoryRowKeys& Row)
{
    // A number condition of letters only has no digits left; it then matches no row.
    if (Test.Wanted.isEmpty())
        return false;
    // Both sides compare as their CP932 bytes: an input method on this system and a CP932 file may
    // write one character differently.
    return Cp932Fold(TrimBlanks(Row.*Test.Field)).startsWith(Test.Wanted, Qt::CaseSensitive);
}

bool DateTestHolds(const THistorySearchCondition& Condition, const THistoryRowKeys& Row)
{
    const double Day = std::trunc(Row.RecvDateTime);
    return Day >= Condition.FromDate && Day <= Condition.ToDate;
}

} // namespace

void THistorySearchCondition::CutToWidths()
{
    Tel = MbcsLeft(Tel, TelWidth);
    CorpKana = MbcsLeft(CorpKana, CorpKanaWidth);
    CorpKanji = MbcsLeft(CorpKanji, CorpKanjiWidth);
    NameKana = MbcsLeft(NameKana, NameKanaWidth);
    NameKanji = MbcsLeft(NameKanji, NameKanjiWidth);
}

bool ConditionMatches(const THistorySearchCondition& Condition, const THistoryRowKeys& Row)
{
    if (!Condition.HasConditions)
        return true;
    const bool Dates = IsDateRange(Condition);
    const QList<TTextTest> Tests = TextTests(Condition);
    if (Condition.OrMode) {
        if (Dates && DateTestHolds(Condition, Row))
            return true;
        for (const TTextTest& Test : Tests)
            if (TextTestHolds(Test, Row))
                return true;
        return false;
    }
    if (Dates && !DateTestHolds(Condition, Row))
        return false;
    for (const TTextTest& Test : Tests)
        if (!TextTestHolds(Test, Row))
            return false;
    return true;
}

bool WeekdaysIgnored(const THistorySearchCondition& Condition)
{
    return Condition.HasConditions && Condition.FromDate != 0 && Condition.ToDate != 0;
}

bool HistoryRowMatches(const THistorySearchCondition& Condition, const TWeekdayButtons& Weekdays,
                       const THistoryRowKeys& Row)
{
    if (!ConditionMatches(Condition, Row))
        return false;
    if (WeekdaysIgnored(Condition) || Weekdays.AllWeek)
        return true;
    return Row.RecvWeek >= 1 && Row.RecvWeek <= 7 && Weekdays.Days[Row.RecvWeek];
}

bool HistoryFilterPassesAll(const THistorySearchCondition& Condition, const TWeekdayButtons& Weekdays)
{
    return !Condition.HasConditions && Weekdays.AllWeek;
}

THistorySqlFilter ConditionFilterSql(const THistorySearchCondition& Condition)
{
    THistorySqlFilter Filter;
    if (!Condition.HasConditions)
        return Filter;
    QStringList Terms;
    if (IsDateRange(Condition)) {
        // CAST truncates toward zero as the row test's whole day does.
        Terms << QStringLiteral("(CAST(\"RecvDateTime\" AS INTEGER) >= ? AND CAST(\"RecvDateTime\" AS INTEGER) <= ?)");
        Filter.Params << Condition.FromDate << Condition.ToDate;
    }
    for (const TTextTest& Test : TextTests(Condition)) {
        if (Test.Wanted.isEmpty()) {
            Terms << QStringLiteral("0");
            continue;
        }
        // substr counts characters; a character prefix of the text is a byte prefix of its CP932
        // form. BINARY keeps the comparison case-sensitive whatever the column's collation.
        Terms << QStringLiteral("(substr(%2(trim(\"%1\", ?)), 1, ?) = ? COLLATE BINARY)")
                     .arg(Test.Column, QLatin1String(Cp932FoldFunctionName));
        Filter.Params << SqlTrimCharacters() << static_cast<qlonglong>(Test.Wanted.toUcs4().size()) << Test.Wanted;
    }
    if (Terms.isEmpty())
        Filter.Where = Condition.OrMode ? QStringLiteral("0") : QString();
    else
        Filter.Where = u'(' + Terms.join(Condition.OrMode ? QStringLiteral(" OR ") : QStringLiteral(" AND ")) + u')';
    return Filter;
}

THistorySqlFilter HistoryFilterSql(const THistorySearchCondition& Condition, const TWeekdayButtons& Weekdays)
{
    THistorySqlFilter Filter = ConditionFilterSql(Condition);
    if (WeekdaysIgnored(Condition) || Weekdays.AllWeek)
        return Filter;
    QStringList Days;
    for (int Day = 1; Day <= 7; ++Day)
        if (Weekdays.Days[Day])
            Days << QString::number(Day);
    const QString Week =
        Days.isEmpty() ? QStringLiteral("0") : QStringLiteral("\"RecvWeek\" IN (%1)").arg(Days.join(u','));
    Filter.Where = Filter.Where.isEmpty() ? Week : Filter.Where + QStringLiteral(" AND ") + Week;
    return Filter;
}
