#pragma once

#include "calls/ListPages.h"

#include <QString>
#include <QVariantList>

class TTable;

// The display conditions of a directory list, and the test of one directory row against them. The
// list, export and print windows each keep a record of their own, default-constructed (no
// conditions) when the window is made; the search dialog edits it.
struct TMeiboSearchCondition
{
    // Capacities of the text fields in CP932 bytes; longer values are cut.
    static constexpr int TelWidth = 13;
    static constexpr int AdrsWidth = 192;
    static constexpr int CorpKanaWidth = 80;
    static constexpr int CorpKanjiWidth = 112;
    static constexpr int NameKanaWidth = 20;
    static constexpr int NameKanjiWidth = 22;

    bool HasConditions = false; // false: no filter, the texts are not read
    QString Tel;                // digits only
    QString Adrs;               // a part of the joined address
    QString CorpKana;
    QString CorpKanji;
    QString NameKana;
    QString NameKanji;
    bool OrMode = false; // true: a row passes when any condition holds

    // Cuts each text to its capacity, never splitting a double-byte character.
    void CutToWidths();
    bool operator==(const TMeiboSearchCondition&) const = default;
};

// The directory row fields the conditions look at.
struct TMeiboRowKeys
{
    QString SchTel1;
    QString SchTel2;
    QString Tdfkn;
    QString Adrs1;
    QString Adrs2;
    QString Adrs3;
    QString CorpKana;
    QString CorpKanji;
    QString NameKana;
    QString NameKanji;
};

// The keys of the table's current Meibo row.
[[nodiscard]] TMeiboRowKeys MeiboRowKeys(TTable& Table);

// The address as the list shows it and the address condition searches it: the four parts trimmed
// and joined without a separator.
[[nodiscard]] QString JoinedAddress(const TMeiboRowKeys& Row);

// Whether Row passes the conditions. Blank conditions are skipped; in AND mode the first one that
// fails rejects the row, in OR mode the first one that holds accepts it.
[[nodiscard]] bool MeiboRowMatches(const TMeiboSearchCondition& Condition, const TMeiboRowKeys& Row);

// The same test as one SQL condition on the columns of Meibo, with its parameters, so that the table
// engine counts and walks the passing rows without reading the others. Empty: no filter.
struct TMeiboSqlFilter
{
    QString Where;
    QVariantList Params;
};
[[nodiscard]] TMeiboSqlFilter MeiboFilterSql(const TMeiboSearchCondition& Condition);

// Sets the conditions as the table's filter for its life and takes it off again, whatever the way
// out.
class TMeiboFilterUse : public TSqlFilterUse
{
public:
    TMeiboFilterUse(TTable& Table, const TMeiboSearchCondition& Condition);
};
