#pragma once

#include <QString>
#include <QVariantList>
#include <cstdint>

// The search conditions of a call-history list, and the test of one history row against them.
// Each list window keeps a record of its own, default-constructed (no conditions) when the window
// is made; the search dialog edits it.
struct THistorySearchCondition
{
    // Capacities of the text fields in CP932 bytes; longer values are cut.
    static constexpr int TelWidth = 13;
    static constexpr int CorpKanaWidth = 80;
    static constexpr int CorpKanjiWidth = 112;
    static constexpr int NameKanaWidth = 20;
    static constexpr int NameKanjiWidth = 22;

    bool HasConditions = false; // false: no filter, the other fields are not read
    double FromDate = 0;        // first day of the range (whole day); 0 = no date range
    double ToDate = 0;          // last day of the range (whole day); 0 = no date range
    QString Tel;                // digits only
    QString CorpKana;
    QString CorpKanji;
    QString NameKana;
    QString NameKanji;
    bool OrMode = false; // true: a row passes when any condition holds

    // Cuts each text to its capacity, never splitting a double-byte character.
    void CutToWidths();
    bool operator==(const THistorySearchCondition&) const = default;
};

// The history row fields the conditions look at.
struct THistoryRowKeys
{
    double RecvDateTime = 0;
    int RecvWeek = 0; // 1 Sunday .. 7 Saturday
    QString SchTel;
    QString CorpKana;
    QString CorpKanji;
    QString NameKana;
    QString NameKanji;
};

// The weekday buttons of the call-history list: the "all days" button and one per day.
struct TWeekdayButtons
{
    bool AllWeek = false;
    bool Days[8] = {}; // [1] Sunday .. [7] Saturday; [0] unused
};

// Whether Row passes the conditions (dates, number and name prefixes, AND / OR).
[[nodiscard]] bool ConditionMatches(const THistorySearchCondition& Condition, const THistoryRowKeys& Row);

// A date range under conditions overrides the weekday buttons.
[[nodiscard]] bool WeekdaysIgnored(const THistorySearchCondition& Condition);

// The call-history list's row test: the conditions, then the weekday buttons unless a date
// range overrides them.
[[nodiscard]] bool HistoryRowMatches(const THistorySearchCondition& Condition, const TWeekdayButtons& Weekdays,
                                     const THistoryRowKeys& Row);

// True when HistoryRowMatches lets every row pass, so that no filter is needed.
[[nodiscard]] bool HistoryFilterPassesAll(const THistorySearchCondition& Condition, const TWeekdayButtons& Weekdays);

// The same tests as one SQL condition on the columns of RecvHis, with its parameters, so that the
// table engine can count and walk the passing rows without reading the others. Empty: no filter.
struct THistorySqlFilter
{
    QString Where;
    QVariantList Params;
};
[[nodiscard]] THistorySqlFilter HistoryFilterSql(const THistorySearchCondition& Condition,
                                                 const TWeekdayButtons& Weekdays);
[[nodiscard]] THistorySqlFilter ConditionFilterSql(const THistorySearchCondition& Condition);
