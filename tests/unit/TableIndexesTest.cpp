// A table's secondary indexes taken away between two transactions and built again from its
// definition: the table answers the same meanwhile, the build is one transaction, and its work
// grows with the rows.
#include "platform/db/Table.h"
#include "platform/db/TableIndexes.h"
#include "tests/support/SqlRows.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TTableDef CardDef()
{
    return {{{"RecNo", TFieldType::Integer, 0},
             {"Kana", TFieldType::String, 20},
             {"Tel", TFieldType::String, 13},
             {"Serial", TFieldType::String, 8}},
            {{"", "RecNo", true, true, false},
             {"Kana", "Kana", false, false, true},
             {"Tel", "Tel", false, false, false},
             {"Serial", "Serial", false, true, false}}};
}

struct TCards
{
    explicit TCards(int Rows)
    {
        Table.SetDatabaseName(Dir.path());
        Table.SetTableName("Card.DB");
        Table.CreateTable(CardDef());
        Table.Open();
        TTableTransaction Transaction(Table);
        for (int I = 0; I < Rows; ++I) {
            Table.Append();
            Table.FieldByName("RecNo").SetAsInteger(I);
            Table.FieldByName("Kana").SetAsString(QStringLiteral("ｶﾅ%1").arg(I * 7919 % 10007));
            Table.FieldByName("Tel").SetAsString(QStringLiteral("03%1").arg(I * 104729 % 100003, 8, 10, QLatin1Char('0')));
            Table.FieldByName("Serial").SetAsString(QString::number(I));
            Table.Post();
        }
        Transaction.Commit();
    }
    QTemporaryDir Dir;
    TTable Table;
};

QString KanaOf(TTable& Table, int RecNo)
{
    return Table.LookupKey({}, {RecNo}, QStringLiteral("Kana")).toString();
}

} // namespace

TEST(TableIndexesTest, TheDroppedIndexesComeBackFromTheDefinitionAndTheTableAnswersAlike)
{
    TCards Cards(300);
    TTable& Table = Cards.Table;
    // The unique index refuses a row as it comes, and a kept one serves the load's look-ups.
    EXPECT_EQ(DropSecondaryIndexes(Table, {"tel"}), QStringList{"Kana"});
    EXPECT_EQ(MissingIndexes(Table), QStringList{"Kana"});
    EXPECT_EQ(DropSecondaryIndexes(Table), QStringList{"Tel"});
    EXPECT_EQ(SqlIndexNames(Table.FileName()), QStringList{"Card_Serial"});

    // Without the index a walk in its order and a search by it read the table, with the same answers.
    Table.SetIndexName("Kana");
    Table.First();
    const QString First = Table.FieldByName("Kana").AsString();
    EXPECT_TRUE(Table.FindKey({KanaOf(Table, 123)}));
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 123);
    Table.SetIndexName({});
    Table.Append();
    Table.FieldByName("RecNo").SetAsInteger(300);
    Table.FieldByName("Kana").SetAsString(QStringLiteral("ｱ"));
    Table.FieldByName("Serial").SetAsString(QStringLiteral("300"));
    Table.Post();

    // Not inside the table's own transaction: the build would wait for it.
    Table.StartTransaction();
    EXPECT_THROW((void)BuildMissingIndexes(Table), EDatabaseError);
    Table.Rollback();

    int Seen = 0;
    EXPECT_EQ(BuildMissingIndexes(Table, [&](int Built) { Seen = Built; }), 2);
    EXPECT_EQ(Seen, 2);
    EXPECT_EQ(MissingIndexes(Table), QStringList());
    EXPECT_EQ(BuildMissingIndexes(Table), 0);
    EXPECT_EQ(Table.IntegrityCheck(), QStringList());
    // The schema is word for word what the engine makes of the definition, or Pack refuses it.
    EXPECT_NO_THROW(Table.Pack());
    Table.SetIndexName("Kana");
    Table.First();
    EXPECT_NE(Table.FieldByName("Kana").AsString(), First); // the new row sorts first
    EXPECT_EQ(Table.FieldByName("Kana").AsString(), QStringLiteral("ｱ"));
}

TEST(TableIndexesTest, TheBuildIsOneWalkOverTheRows)
{
    constexpr int N = 500;
    long long Steps[2] = {};
    for (int Round = 0; Round < 2; ++Round) {
        TCards Cards(Round == 0 ? N : 4 * N);
        (void)DropSecondaryIndexes(Cards.Table);
        ResetTableCounters();
        ASSERT_EQ(BuildMissingIndexes(Cards.Table), 2);
        Steps[Round] = TableCounters().VmSteps;
    }
    ASSERT_GT(Steps[0], N);
    EXPECT_LE(Steps[1], 5 * Steps[0]);
}
