#include "directory/search/MeiboSchCond.h"

#include "main/common/CommonText.h"
#include "platform/db/Collation.h"
#include "platform/db/Table.h"

#include <QStringList>

namespace {

// A text ends at its first NUL for both tests, as SQLite's text functions read it: an imported row
// may carry one, and the row test must not see a text the table's filter cannot.
QString UpToNul(const QString& Text)
{
    const qsizetype Nul = Text.indexOf(QChar(0));
    return Nul < 0 ? Text : Text.left(Nul);
}

// Both sides of a test compare as their CP932 bytes: a text typed through an input method on this
// system and one decoded from a CP932 file may differ in characters that CP932 writes alike.
QString Cleaned(const QString& Text)
{
    return Cp932Fold(TrimBlanks(UpToNul(Text)));
}

enum class TTestKind
{
    Prefix,   // the trimmed column begins with the text
    TelPair,  // SchTel1 begins with it, or else SchTel2
    Contains, // the text occurs in the joined address
};

struct TTextTest
{
    TTestKind Kind;
    QString Column;
    QString Wanted;
    QString TMeiboRowKeys::*Field;
};

// The conditions that apply, in the order both modes try them.
QList<TTextTest> TextTests(const TMeiboSearchCondition& Condition)
{
    QList<TTextTest> Tests;
    auto Add = [&Tests](TTestKind Kind, const QString& Column, const QString& Text, QString TMeiboRowKeys::*Field) {
        const QString Wanted = Cleaned(Text);
        if (!Wanted.isEmpty())
            Tests.append({Kind, Column, Wanted, Field});
    };
    // A number typed without digits was stored empty: it is no condition at all.
    Add(TTestKind::TelPair, QStringLiteral("SchTel1"), DigitsOnly(Condition.Tel), &TMeiboRowKeys::SchTel1);
    Add(TTestKind::Contains, QString(), Condition.Adrs, nullptr);
    Add(TTestKind::Prefix, QStringLiteral("CorpKana"), Condition.CorpKana, &TMeiboRowKeys::CorpKana);
    Add(TTestKind::Prefix, QStringLiteral("CorpKanji"), Condition.CorpKanji, &TMeiboRowKeys::CorpKanji);
    Add(TTestKind::Prefix, QStringLiteral("NameKana"), Condition.NameKana, &TMeiboRowKeys::NameKana);
    Add(TTestKind::Prefix, QStringLiteral("NameKanji"), Condition.NameKanji, &TMeiboRowKeys::NameKanji);
    return Tests;
}

bool TestHolds(const TTextTest& Test, const TMeiboRowKeys& Row)
{
    switch (Test.Kind) {
    case TTestKind::TelPair:
        return Cleaned(Row.SchTel1).startsWith(Test.Wanted, Qt::CaseSensitive) ||
               Cleaned(Row.SchTel2).startsWith(Test.Wanted, Qt::CaseSensitive);
    case TTestKind::Contains:
        return (Cleaned(Row.Tdfkn) + Cleaned(Row.Adrs1) + Cleaned(Row.Adrs2) + Cleaned(Row.Adrs3))
            .contains(Test.Wanted, Qt::CaseSensitive);
    case TTestKind::Prefix:
        break;
    }
    return Cleaned(Row.*Test.Field).startsWith(Test.Wanted, Qt::CaseSensitive);
}

// Both tests read a field the same way (up to a NUL, trimmed, folded) and compare bytes exactly,
// whatever the column's collation.
QString BeginsTerm(const QString& Column)
{
    return QStringLiteral("%1(\"%2\", ?)").arg(QLatin1String(Cp932SearchBeginsFunctionName), Column);
}

} // namespace

void TMeiboSearchCondition::CutToWidths()
{
    Tel = MbcsLeft(Tel, TelWidth);
    Adrs = MbcsLeft(Adrs, AdrsWidth);
    CorpKana = MbcsLeft(CorpKana, CorpKanaWidth);
    CorpKanji = MbcsLeft(CorpKanji, CorpKanjiWidth);
    NameKana = MbcsLeft(NameKana, NameKanaWidth);
    NameKanji = MbcsLeft(NameKanji, NameKanjiWidth);
}

TMeiboRowKeys MeiboRowKeys(TTable& Table)
{
    auto Field = [&Table](const char* Name) { return Table.FieldByName(QLatin1String(Name)).AsString(); };
    return {Field("SchTel1"), Field("SchTel2"),  Field("Tdfkn"),     Field("Adrs1"),    Field("Adrs2"),
            Field("Adrs3"),   Field("CorpKana"), Field("CorpKanji"), Field("NameKana"), Field("NameKanji")};
}

QString JoinedAddress(const TMeiboRowKeys& Row)
{
    return TrimBlanks(Row.Tdfkn) + TrimBlanks(Row.Adrs1) + TrimBlanks(Row.Adrs2) + TrimBlanks(Row.Adrs3);
}

bool MeiboRowMatches(const TMeiboSearchCondition& Condition, const TMeiboRowKeys& Row)
{
    if (!Condition.HasConditions)
        return true;
    const QList<TTextTest> Tests = TextTests(Condition);
    for (const TTextTest& Test : Tests) {
        const bool Holds = TestHolds(Test, Row);
        if (Condition.OrMode && Holds)
            return true;
        if (!Condition.OrMode && !Holds)
            return false;
    }
    return !Condition.OrMode;
}

TMeiboSqlFilter MeiboFilterSql(const TMeiboSearchCondition& Condition)
{
    TMeiboSqlFilter Filter;
    if (!Condition.HasConditions)
        return Filter;
    QStringList Terms;
    for (const TTextTest& Test : TextTests(Condition)) {
        switch (Test.Kind) {
        case TTestKind::TelPair:
            Terms << u'(' + BeginsTerm(QStringLiteral("SchTel1")) + QStringLiteral(" OR ") +
                         BeginsTerm(QStringLiteral("SchTel2")) + u')';
            Filter.Params << Test.Wanted << Test.Wanted;
            break;
        case TTestKind::Contains:
            Terms << QStringLiteral("%1(?, \"Tdfkn\", \"Adrs1\", \"Adrs2\", \"Adrs3\")")
                         .arg(QLatin1String(Cp932SearchContainsFunctionName));
            Filter.Params << Test.Wanted;
            break;
        case TTestKind::Prefix:
            Terms << BeginsTerm(Test.Column);
            Filter.Params << Test.Wanted;
            break;
        }
    }
    if (Terms.isEmpty())
        Filter.Where = Condition.OrMode ? QStringLiteral("0") : QString();
    else
        Filter.Where = u'(' + Terms.join(Condition.OrMode ? QStringLiteral(" OR ") : QStringLiteral(" AND ")) + u')';
    return Filter;
}

TMeiboFilterUse::TMeiboFilterUse(TTable& Table, const TMeiboSearchCondition& Condition)
    : TSqlFilterUse(Table, MeiboFilterSql(Condition).Where, MeiboFilterSql(Condition).Params)
{
}
