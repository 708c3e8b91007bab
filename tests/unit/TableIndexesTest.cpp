// A table's secondary indexes taken away between two transactions and built again from its
// definition: the table answers the same meanwhile, the build is one transaction, and its work
// grows with the rows.
#include "platform/db/TableIndexes.h"

#include "platform/db/Table.h"
#include "tests/support/IndexedTableDef.h"
#include "tests/support/SqlRows.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TCards
{
    explicit TCards(int Rows)
    {
        Table.SetDatabaseName(Dir.path());
        Table.SetTableName("Card.DB");
        Table.CreateTable(IndexedTableDef());
        Table.Open();
        TTableTransaction Transaction(Table);
        for (int I = 0; I < Rows; ++I) {
            Table.Append();
            Table.FieldByName("RecNo").SetAsInteger(I);
            Table.FieldByName("Name").SetAsString(QStringLiteral("ｶﾅ%1").arg(I * 7919 % 10007));
            Table.FieldByName("Tel").SetAsString(
                QStringLiteral("03%1").arg(I * 104729 % 100003, 8, 10, QLatin1Char('0')));
            Table.FieldByName("Code").SetAsString(QString::number(I));
            Table.Post();
        }
        Transaction.Commit();
    }
    QTemporaryDir Dir;
    TTable Table;
};

QString NameOf(TTable& Table, int RecNo)
{
    return Table.LookupKey({}, {RecNo}, QStringLiteral("Name")).toString();
}

} // namespace

TEST(TableIndexesTest, TheDroppedIndexesComeBackFromTheDefinitionAndTheTableAnswersAlike)
{
    TCards Cards(300);
    TTable& Table = Cards.Table;
    // The unique index refuses a row as it comes, and a kept one serves the load's look-ups.
    EXPECT_EQ(DropSecondaryIndexes(Table, {"tel"}), QStringList{"Name"});
    EXPECT_EQ(MissingIndexes(Table), QStringList{"Name"});
    EXPECT_EQ(DropSecondaryIndexes(Table), QStringList{"Tel"});
    EXPECT_EQ(SqlIndexNames(Table.FileName()), QStringList{"Card_Code"});

    // Without the index a walk in its order and a search by it read the table, with the same answers.
    Table.SetIndexName("Name");
    Table.First();
    const QString First = Table.FieldByName("Name").AsString();
    EXPECT_TRUE(Table.FindKey({NameOf(Table, 123)}));
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 123);
    Table.SetIndexName({});
    Table.Append();
    Table.FieldByName("RecNo").SetAsInteger(300);
    Table.FieldByName("Name").SetAsString(QStringLiteral("ｱ"));
    Table.FieldByName("Code").SetAsString(QStringLiteral("300"));
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
    Table.SetIndexName("Name");
    Table.First();
    EXPECT_NE(Table.FieldByName("Name").AsString(), First); // the new row sorts first
    EXPECT_EQ(Table.FieldByName("Name").AsString(), QStringLiteral("ｱ"));
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
