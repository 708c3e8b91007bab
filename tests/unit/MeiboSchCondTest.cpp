#include "directory/search/MeiboSchCond.h"

#include "tests/unit/MeiboTableFixture.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TMeiboRowKeys Keys(const QString& SchTel1, const QString& SchTel2, const QString& Address = {},
                   const QString& CorpKana = {}, const QString& NameKanji = {})
{
    TMeiboRowKeys Row;
    Row.SchTel1 = SchTel1;
    Row.SchTel2 = SchTel2;
    // The address in its four parts, as the record window stores it.
    const QStringList Parts = Address.split(u'|');
    Row.Tdfkn = Parts.value(0);
    Row.Adrs1 = Parts.value(1);
    Row.Adrs2 = Parts.value(2);
    Row.Adrs3 = Parts.value(3);
    Row.CorpKana = CorpKana;
    Row.NameKanji = NameKanji;
    return Row;
}

TMeiboSearchCondition Condition(bool Or, const QString& Tel = {}, const QString& Adrs = {},
                                const QString& CorpKana = {}, const QString& NameKanji = {})
{
    TMeiboSearchCondition C;
    C.HasConditions = true;
    C.OrMode = Or;
    C.Tel = Tel;
    C.Adrs = Adrs;
    C.CorpKana = CorpKana;
    C.NameKanji = NameKanji;
    return C;
}

} // namespace

TEST(MeiboSchCondTest, ConditionsAgainstRows)
{
    const TMeiboRowKeys Rows[] = {
        Keys(QStringLiteral("0312345678"), QString(), QStringLiteral("東京都 |千代田区|千代田|1-1"),
             QStringLiteral("ｱｵｷ"), QStringLiteral("青木")),
        Keys(QStringLiteral("0667778888"), QStringLiteral("0312999999"), QStringLiteral("大阪府|大阪市北区||"),
             QStringLiteral("ｶﾜｲ"), QStringLiteral("河井")),
        Keys(QStringLiteral(" 09011112222"), QStringLiteral("0312"), QStringLiteral("東京都|港区|芝公園|"),
             QStringLiteral("aoki"), QStringLiteral("アオキ")),
    };
    const struct
    {
        const char* Name;
        TMeiboSearchCondition Condition;
        QList<bool> Expected;
    } Cases[] = {
        {"no conditions", TMeiboSearchCondition{}, {true, true, true}},
        {"all six blank", Condition(false, QStringLiteral(" "), QStringLiteral(" ")), {true, true, true}},
        {"four digits: the first or the second number", Condition(false, QStringLiteral("0312")), {true, true, true}},
        {"a number is a prefix, not a part", Condition(false, QStringLiteral("1234")), {false, false, false}},
        {"the first number trimmed", Condition(false, QStringLiteral("090")), {false, false, true}},
        {"an address part from the middle", Condition(false, {}, QStringLiteral("千代田")), {true, false, false}},
        {"the address joined without separator",
         Condition(false, {}, QStringLiteral("区千代田1")),
         {true, false, false}},
        {"the prefecture's blanks do not join", Condition(false, {}, QStringLiteral("都千代田")), {true, false, false}},
        {"a number without digits alone, AND", Condition(false, QStringLiteral("")), {true, true, true}},
        {"a number without digits alone, OR", Condition(true, QStringLiteral("")), {false, false, false}},
        {"AND needs every condition",
         Condition(false, QStringLiteral("03"), QStringLiteral("東京")),
         {true, false, true}},
        {"OR takes any", Condition(true, QStringLiteral("06"), QStringLiteral("港区")), {false, true, true}},
        {"readings compare case- and width-sensitively",
         Condition(false, {}, {}, QStringLiteral("ｱｵ")),
         {true, false, false}},
        {"a reading in lower case is not upper case",
         Condition(false, {}, {}, QStringLiteral("AO")),
         {false, false, false}},
        {"names are prefixes", Condition(false, {}, {}, {}, QStringLiteral("河")), {false, true, false}},
    };
    for (const auto& Case : Cases) {
        QList<bool> Got;
        for (const TMeiboRowKeys& Row : Rows)
            Got << MeiboRowMatches(Case.Condition, Row);
        EXPECT_EQ(Got, Case.Expected) << Case.Name;
    }
}

TEST(MeiboSchCondTest, CutsToTheRecordsWidths)
{
    TMeiboSearchCondition C;
    C.CorpKana = QString(90, u'ｱ');                           // 90 single bytes
    C.CorpKanji = QString(40, u'亜') + QStringLiteral("a");   // 81 bytes under a 112 limit
    C.NameKanji = QStringLiteral("一二三四五六七八九十壱弐"); // 24 bytes
    C.Adrs = QStringLiteral("a") + QString(100, u'亜');       // 201 bytes
    C.CutToWidths();
    EXPECT_EQ(C.CorpKana, QString(80, u'ｱ'));
    EXPECT_EQ(C.CorpKanji.size(), 41);
    EXPECT_EQ(C.NameKanji, QStringLiteral("一二三四五六七八九十壱"));
    // 1 + 95 * 2 = 191 bytes: the next character would split at byte 192.
    EXPECT_EQ(C.Adrs.size(), 96);
}

// The list counts and walks with the SQL form and the export and print lists test rows with the
// other: on a real directory table they must pass exactly the same rows.
TEST(MeiboSchCondTest, SqlFilterSelectsWhatTheRowTestPasses)
{
    QTemporaryDir Dir;
    TMeiboFixtureData Data(Dir.path());
    TTable& Table = Data.Table();
    QRandomGenerator Random(20);
    const QStringList Tels{"03-1234-5678", " 0312 ", "06-7777-8888", "", "090-1111-2222", "P"};
    // A text with a NUL, as an imported row may bring one: both tests read it up to the NUL.
    const QStringList Kana{"ｱｵｷ",
                           "ｱｵｷ ",
                           "ｶﾜｲ",
                           "",
                           " ｱｵ",
                           "aoki",
                           "AOKI",
                           "アオキ",
                           QChar(0) + QStringLiteral("ｱｵｷ"),
                           QStringLiteral("ｱ") + QChar(0) + QStringLiteral("ｵｷ")};
    const QStringList Kanji{"青木", "青井商事", "河井", "", "　青", "AOI", "𠀋木", "青−木", "青－木"};
    const QStringList Towns{"東京都", " 東京都", "", "大阪府", "千代田区", "千代田", "港区芝公園", "梅田１～３",
                            "梅田１〜３"};
    AppendMeiboRows(Table, 500, [&](int) {
        TMeiboFixtureRow Row;
        Row.Tel1 = Tels[Random.bounded(Tels.size())];
        Row.Tel2 = Tels[Random.bounded(Tels.size())];
        Row.Tdfkn = Towns[Random.bounded(3)];
        Row.Adrs1 = Towns[Random.bounded(Towns.size())];
        Row.Adrs2 = Towns[Random.bounded(Towns.size())];
        Row.Adrs3 = Towns[Random.bounded(Towns.size())];
        Row.CorpKana = Kana[Random.bounded(Kana.size())];
        Row.CorpKanji = Kanji[Random.bounded(Kanji.size())];
        Row.NameKana = Kana[Random.bounded(Kana.size())];
        Row.NameKanji = Kanji[Random.bounded(Kanji.size())];
        return Row;
    });
    QList<TMeiboRowKeys> Rows;
    Table.SetIndexName(QString());
    for (Table.First(); !Table.IsEmpty();) {
        Rows << MeiboRowKeys(Table);
        if (Table.MoveBy(1) == 0)
            break;
    }
    ASSERT_EQ(Rows.size(), 500);

    int Checked = 0;
    for (int I = 0; I < 200; ++I) {
        const QStringList Tel{"", "03", "0312", "09", "abc", "1"};
        const QStringList KanaCond{"", "ｱｵ", "ｶ", "a", "A", "ア"};
        const QStringList KanjiCond{"", "青", "河井", "　", "𠀋", "青－", "青−"};
        const QStringList AdrsCond{"", "千代田", "京都", "都千", "区芝", " ", "田１〜", "１～３"};
        TMeiboSearchCondition C;
        C.HasConditions = Random.bounded(6) != 0;
        C.OrMode = Random.bounded(2) == 1;
        C.Tel = Tel[Random.bounded(Tel.size())];
        C.Adrs = AdrsCond[Random.bounded(AdrsCond.size())];
        C.CorpKana = KanaCond[Random.bounded(KanaCond.size())];
        C.CorpKanji = KanjiCond[Random.bounded(KanjiCond.size())];
        C.NameKana = KanaCond[Random.bounded(KanaCond.size())];
        C.NameKanji = KanjiCond[Random.bounded(KanjiCond.size())];
        QList<int> FromSql;
        {
            TMeiboFilterUse Filter(Table, C);
            for (Table.First(); !Table.IsEmpty();) {
                FromSql << Table.FieldByName(QStringLiteral("RecNo")).AsInteger();
                if (Table.MoveBy(1) == 0)
                    break;
            }
            ASSERT_EQ(Table.RecordCount(), FromSql.size());
        }
        QList<int> FromTest;
        for (int R = 0; R < Rows.size(); ++R)
            if (MeiboRowMatches(C, Rows[R]))
                FromTest << R;
        ASSERT_EQ(FromSql, FromTest) << MeiboFilterSql(C).Where.toStdString();
        Checked += FromTest.size();
    }
    EXPECT_GT(Checked, 5000);       // the cases are not all empty
    EXPECT_FALSE(Table.Filtered()); // the filter went with its use
}

// Characters that CP932 writes with the same bytes are one character to a search, whichever an input
// method typed and whichever a file's decoding stored; the filter in SQL agrees with the row test.
TEST(MeiboSchCondTest, TextsCp932WritesAlikeFindEachOther)
{
    QTemporaryDir Dir;
    TMeiboFixtureData Data(Dir.path());
    TTable& Table = Data.Table();
    // Stored as an import decodes CP932, searched as a Linux input method types.
    const std::pair<QString, QString> Pairs[] = {
        {QStringLiteral("梅田１～３"), QStringLiteral("梅田１〜３")}, {QStringLiteral("Ａ－１"), QStringLiteral("Ａ−１")},
        {QStringLiteral("∥線"), QStringLiteral("‖線")},             {QStringLiteral("―号"), QStringLiteral("—号")},
        {QStringLiteral("￠店"), QStringLiteral("¢店")},             {QStringLiteral("￢印"), QStringLiteral("¬印")},
    };
    AppendMeiboRows(Table, 6, [&Pairs](int I) {
        TMeiboFixtureRow Row;
        Row.Tel1 = QStringLiteral("03-0000-000%1").arg(I);
        Row.Adrs2 = Pairs[I].first;
        Row.CorpKanji = Pairs[I].first;
        Row.NameKanji = Pairs[I].second;
        return Row;
    });
    for (int I = 0; I < 6; ++I) {
        for (const bool Typed : {true, false}) {
            const QString Wanted = Typed ? Pairs[I].second : Pairs[I].first;
            for (const int Field : {0, 1, 2}) {
                TMeiboSearchCondition C;
                C.HasConditions = true;
                (Field == 0 ? C.Adrs : Field == 1 ? C.CorpKanji : C.NameKanji) = Wanted;
                SCOPED_TRACE(Wanted.toStdString() + " in field " + std::to_string(Field));
                TMeiboFilterUse Filter(Table, C);
                ASSERT_EQ(Table.RecordCount(), 1);
                Table.First();
                EXPECT_EQ(Table.FieldByName(QStringLiteral("RecNo")).AsInteger(), I);
                EXPECT_TRUE(MeiboRowMatches(C, MeiboRowKeys(Table)));
            }
        }
    }
    TMeiboSearchCondition Other;
    Other.HasConditions = true;
    Other.Adrs = QStringLiteral("梅田１~３"); // an ASCII tilde is another character
    TMeiboFilterUse Filter(Table, Other);
    EXPECT_EQ(Table.RecordCount(), 0);
}
