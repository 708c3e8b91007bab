#include "calls/HisSchCond.h"

#include "main/common/CommonText.h"
#include "platform/db/Collation.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

THistoryRowKeys Row(double Days, int Week, const QString& SchTel, const QString& CorpKana = {},
                    const QString& CorpKanji = {}, const QString& NameKana = {}, const QString& NameKanji = {})
{
    return {Days, Week, SchTel, CorpKana, CorpKanji, NameKana, NameKanji};
}

THistorySearchCondition Condition(bool Or, double From = 0, double To = 0, const QString& Tel = {},
                                  const QString& CorpKana = {}, const QString& CorpKanji = {})
{
    THistorySearchCondition C;
    C.HasConditions = true;
    C.OrMode = Or;
    C.FromDate = From;
    C.ToDate = To;
    C.Tel = Tel;
    C.CorpKana = CorpKana;
    C.CorpKanji = CorpKanji;
    return C;
}

} // namespace

TEST(HisSchCondTest, ConditionsAgainstRows)
{
    const THistoryRowKeys Rows[] = {
        Row(45000.25, 1, QStringLiteral("0312345678"), QStringLiteral("ｱｵｲ"), QStringLiteral("青井商事")),
        Row(45001.99, 2, QStringLiteral(" 0312999999 "), QStringLiteral("ｶﾜｲ"), QStringLiteral("河井")),
        Row(45003.00, 4, QStringLiteral("0667778888"), QStringLiteral("ｱｵｷ"), QStringLiteral("青木")),
    };
    const struct
    {
        const char* Name;
        THistorySearchCondition Condition;
        QList<bool> Expected;
    } Cases[] = {
        {"no conditions", THistorySearchCondition{}, {true, true, true}},
        {"stale fields without conditions",
         [] {
             THistorySearchCondition C = Condition(false, 0, 0, QStringLiteral("9"));
             C.HasConditions = false;
             return C;
         }(),
         {true, true, true}},
        {"date range, both days included", Condition(true, 45000, 45001), {true, true, false}},
        {"range backwards matches nothing", Condition(false, 45003, 45000), {false, false, false}},
        {"number prefix of the trimmed search number",
         Condition(false, 0, 0, QStringLiteral("0312")),
         {true, true, false}},
        {"number and reading, AND",
         Condition(false, 0, 0, QStringLiteral("03"), QStringLiteral("ｱｵ")),
         {true, false, false}},
        {"number and reading, OR",
         Condition(true, 0, 0, QStringLiteral("03"), QStringLiteral("ｱｵ")),
         {true, true, true}},
        {"prefix is case- and width-sensitive",
         Condition(false, 0, 0, {}, QStringLiteral("ｱｵｲｼ")),
         {false, false, false}},
        {"a blank condition does not apply",
         Condition(false, 0, 0, QStringLiteral("  "), QStringLiteral(" ")),
         {true, true, true}},
        {"kanji prefix", Condition(false, 0, 0, {}, {}, QStringLiteral("青")), {true, false, true}},
        {"OR with nothing that applies lets nothing pass", Condition(true), {false, false, false}},
    };
    for (const auto& Case : Cases) {
        QList<bool> Got;
        for (const THistoryRowKeys& R : Rows)
            Got << ConditionMatches(Case.Condition, R);
        EXPECT_EQ(Got, Case.Expected) << Case.Name;
    }
}

TEST(HisSchCondTest, WeekdayButtonsUnlessADateRangeRules)
{
    TWeekdayButtons Monday;
    Monday.Days[2] = true;
    TWeekdayButtons All;
    All.AllWeek = true;
    const THistoryRowKeys Sunday = Row(45000.5, 1, QStringLiteral("03"));
    const THistoryRowKeys Broken = Row(45000.5, 9, QStringLiteral("03"));
    EXPECT_FALSE(HistoryRowMatches({}, Monday, Sunday));
    EXPECT_TRUE(HistoryRowMatches({}, All, Sunday));
    EXPECT_FALSE(HistoryRowMatches({}, Monday, Broken));
    EXPECT_TRUE(HistoryRowMatches({}, All, Broken));
    // A date range overrides the buttons; a number alone does not.
    EXPECT_TRUE(HistoryRowMatches(Condition(false, 45000, 45000), Monday, Sunday));
    EXPECT_FALSE(HistoryRowMatches(Condition(false, 0, 0, QStringLiteral("03")), Monday, Sunday));
    EXPECT_TRUE(HistoryFilterPassesAll({}, All));
    EXPECT_FALSE(HistoryFilterPassesAll({}, Monday));
}

TEST(HisSchCondTest, CutsAndTrims)
{
    THistorySearchCondition C;
    C.NameKanji = QStringLiteral("一二三四五六七八九十壱弐");
    C.NameKana = QStringLiteral("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆ");
    C.CutToWidths();
    EXPECT_EQ(C.NameKanji, QStringLiteral("一二三四五六七八九十壱"));
    EXPECT_EQ(C.NameKana.size(), 20);
    EXPECT_EQ(TrimBlanks(QStringLiteral("\t 青木　 \r\n")), QStringLiteral("青木　"));
}

// The SQL form must select exactly the rows the row test passes: the list counts and walks with
// the one and the tests state the other.
TEST(HisSchCondTest, SqlFilterSelectsWhatTheRowTestPasses)
{
    sqlite3* Db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &Db), SQLITE_OK);
    RegisterCp932Collations(Db); // as every connection of the engine has them
    sqlite3_exec(Db,
                 "CREATE TABLE RecvHis (RecvDateTime REAL, RecvWeek INTEGER, SchTel TEXT, CorpKana TEXT, "
                 "CorpKanji TEXT, NameKana TEXT, NameKanji TEXT)",
                 nullptr, nullptr, nullptr);
    const QStringList Tels{"0312345678", " 0312 ", "0667778888", "", "P", "09011112222"};
    const QStringList Kana{"ｱｵｲ", "ｱｵｷ ", "ｶﾜｲ", "", " ｱｵ", "aoi"};
    const QStringList Kanji{"青井商事", "青木", "河井", "", "　青", "AOI", "梅田１～３", "梅田１〜３", "∥", "‖"};
    QRandomGenerator Random(42);
    QList<THistoryRowKeys> Rows;
    sqlite3_stmt* Insert = nullptr;
    sqlite3_prepare_v2(Db, "INSERT INTO RecvHis VALUES (?,?,?,?,?,?,?)", -1, &Insert, nullptr);
    for (int I = 0; I < 400; ++I) {
        THistoryRowKeys R = Row(45000 + Random.bounded(6) + Random.bounded(100) / 100.0, Random.bounded(9),
                                Tels[Random.bounded(Tels.size())], Kana[Random.bounded(Kana.size())],
                                Kanji[Random.bounded(Kanji.size())], Kana[Random.bounded(Kana.size())],
                                Kanji[Random.bounded(Kanji.size())]);
        Rows << R;
        sqlite3_bind_double(Insert, 1, R.RecvDateTime);
        sqlite3_bind_int(Insert, 2, R.RecvWeek);
        const QString Texts[] = {R.SchTel, R.CorpKana, R.CorpKanji, R.NameKana, R.NameKanji};
        for (int T = 0; T < 5; ++T) {
            const QByteArray Utf8 = Texts[T].toUtf8();
            sqlite3_bind_text(Insert, 3 + T, Utf8.constData(), static_cast<int>(Utf8.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(Insert);
        sqlite3_reset(Insert);
    }
    sqlite3_finalize(Insert);

    int Checked = 0;
    for (int I = 0; I < 300; ++I) {
        THistorySearchCondition C;
        C.HasConditions = Random.bounded(5) != 0;
        C.OrMode = Random.bounded(2) == 1;
        if (Random.bounded(2)) {
            C.FromDate = 45000 + Random.bounded(4);
            C.ToDate = C.FromDate + Random.bounded(3) - 1;
        }
        const QStringList Tel{"", "03", "0312", "09", "abc"};
        const QStringList KanaCond{"", "ｱｵ", "ｶ", "a"};
        const QStringList KanjiCond{"", "青", "河井", "　", "梅田１〜", "梅田１～３", "‖", "∥"};
        C.Tel = Tel[Random.bounded(Tel.size())];
        C.CorpKana = KanaCond[Random.bounded(KanaCond.size())];
        C.CorpKanji = KanjiCond[Random.bounded(KanjiCond.size())];
        C.NameKana = KanaCond[Random.bounded(KanaCond.size())];
        C.NameKanji = KanjiCond[Random.bounded(KanjiCond.size())];
        TWeekdayButtons W;
        W.AllWeek = Random.bounded(3) == 0;
        for (int D = 1; D <= 7; ++D)
            W.Days[D] = Random.bounded(2) == 1;

        const THistorySqlFilter Filter = HistoryFilterSql(C, W);
        const QByteArray Sql = ("SELECT rowid FROM RecvHis" +
                                (Filter.Where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + Filter.Where) +
                                QStringLiteral(" ORDER BY rowid"))
                                   .toUtf8();
        sqlite3_stmt* Select = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(Db, Sql.constData(), -1, &Select, nullptr), SQLITE_OK) << Sql.constData();
        for (int P = 0; P < Filter.Params.size(); ++P) {
            const QVariant& V = Filter.Params[P];
            if (V.typeId() == QMetaType::Double)
                sqlite3_bind_double(Select, P + 1, V.toDouble());
            else if (V.typeId() == QMetaType::LongLong)
                sqlite3_bind_int64(Select, P + 1, V.toLongLong());
            else {
                const QByteArray Utf8 = V.toString().toUtf8();
                sqlite3_bind_text(Select, P + 1, Utf8.constData(), static_cast<int>(Utf8.size()), SQLITE_TRANSIENT);
            }
        }
        QList<int> FromSql;
        while (sqlite3_step(Select) == SQLITE_ROW)
            FromSql << sqlite3_column_int(Select, 0) - 1;
        sqlite3_finalize(Select);
        QList<int> FromTest;
        for (int R = 0; R < Rows.size(); ++R)
            if (HistoryRowMatches(C, W, Rows[R]))
                FromTest << R;
        ASSERT_EQ(FromSql, FromTest) << Sql.constData();
        Checked += FromTest.size();
    }
    EXPECT_GT(Checked, 1000); // the cases are not all empty
    sqlite3_close(Db);
}
