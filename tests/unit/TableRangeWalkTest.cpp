#include "platform/db/Table.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// Walks over a range of an index: what they meet, and that their cost follows the rows they meet.

namespace {

TTableDef NumbersDef()
{
    return {
        {{"RecNo", TFieldType::Integer, 0}, {"Tel", TFieldType::String, 16}, {"Name", TFieldType::String, 10}},
        {{"", "RecNo", true, true, false}, {"Tel", "Tel", false, false, false}, {"Name", "Name", false, false, true}}};
}

class TableRangeWalkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        Table.SetDatabaseName(Dir.path());
        Table.SetTableName(QStringLiteral("Numbers.DB"));
        Table.CreateTable(NumbersDef());
        Table.Open();
    }
    void Add(int RecNo, const QString& Tel, const QString& Name = {})
    {
        Table.Append();
        Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
        Table.FieldByName(QStringLiteral("Tel")).SetAsString(Tel);
        Table.FieldByName(QStringLiteral("Name")).SetAsString(Name);
        Table.Post();
    }
    // Count distinct numbers beginning with "03", with as many before and after the range.
    void Fill(int Count)
    {
        TTableTransaction Transaction(Table);
        int RecNo = 0;
        for (int I = 0; I < Count; ++I) {
            Add(RecNo++, QStringLiteral("02%1").arg(I, 8, 10, QLatin1Char('0')));
            Add(RecNo++, QStringLiteral("03%1").arg(I, 8, 10, QLatin1Char('0')));
            Add(RecNo++, QStringLiteral("04%1").arg(I, 8, 10, QLatin1Char('0')));
        }
        Transaction.Commit();
    }
    QStringList TelsForward()
    {
        QStringList Tels;
        for (; !Table.Eof(); Table.Next())
            Tels << Table.FieldByName(QStringLiteral("Tel")).AsString();
        return Tels;
    }
    QStringList TelsBackward()
    {
        QStringList Tels;
        for (Table.Last(); !Table.Bof(); Table.Prior())
            Tels << Table.FieldByName(QStringLiteral("Tel")).AsString();
        return Tels;
    }
    // VM steps of a walk over the "03" range both ways, the table closed afterwards so that every
    // statement's steps are counted.
    long long StepsOfRangeWalk(int Count, bool ReadAhead)
    {
        Fill(Count);
        Table.SetIndexName(QStringLiteral("Tel"));
        const long long Before = TableVmSteps();
        Table.SetReadAhead(ReadAhead);
        Table.SetRange({QStringLiteral("03")}, {QStringLiteral("04")});
        EXPECT_EQ(TelsForward().size(), Count);
        EXPECT_EQ(TelsBackward().size(), Count);
        Table.Close();
        const long long Steps = TableVmSteps() - Before;
        Table.Open();
        return Steps;
    }

    QTemporaryDir Dir;
    TTable Table;
};

} // namespace

TEST_F(TableRangeWalkTest, StepsGrowWithTheRangeNotItsSquare)
{
    for (const bool ReadAhead : {false, true}) {
        SCOPED_TRACE(ReadAhead ? "read ahead" : "row by row");
        const long long Small = StepsOfRangeWalk(300, ReadAhead);
        Table.Close();
        Table.CreateTable(NumbersDef());
        Table.Open();
        const long long Large = StepsOfRangeWalk(1200, ReadAhead);
        Table.Close();
        Table.CreateTable(NumbersDef());
        Table.Open();
        EXPECT_GT(Small, 0);
        EXPECT_LE(Large, 5 * Small) << Small << " steps for 300 rows, " << Large << " for 1200";
    }
}

// A walk goes on from the current record; one that an edit has moved out of the range must not let
// the rows between it and the range in.
TEST_F(TableRangeWalkTest, AWalkMeetsOnlyTheRangeFromWhereverItStands)
{
    Add(1, QStringLiteral("0211"));
    Add(2, QStringLiteral("0311"));
    Add(3, QStringLiteral("0322"));
    Add(4, QStringLiteral("0333"));
    Add(5, QStringLiteral("0411"));
    Table.SetIndexName(QStringLiteral("Tel"));
    Table.SetRange({QStringLiteral("03")}, {QStringLiteral("04")});
    EXPECT_EQ(TelsForward(), (QStringList{"0311", "0322", "0333"}));
    EXPECT_EQ(TelsBackward(), (QStringList{"0333", "0322", "0311"}));

    Table.First();
    Table.Edit();
    Table.FieldByName(QStringLiteral("Tel")).SetAsString(QStringLiteral("0100"));
    Table.Post();
    Table.Next();
    EXPECT_EQ(Table.FieldByName(QStringLiteral("Tel")).AsString(), QStringLiteral("0322"));
    EXPECT_EQ(TelsForward(), (QStringList{"0322", "0333"}));

    Table.Last();
    Table.Edit();
    Table.FieldByName(QStringLiteral("Tel")).SetAsString(QStringLiteral("0999"));
    Table.Post();
    Table.Prior();
    EXPECT_EQ(Table.FieldByName(QStringLiteral("Tel")).AsString(), QStringLiteral("0322"));
}

// A case-insensitive index compares the range's bounds with ASCII case folded, also when the walk
// goes on from a row inside them.
TEST_F(TableRangeWalkTest, ACaseInsensitiveRangeHoldsItsRowsBothWays)
{
    const QStringList Names{"Ab", "aC", "B", "bz", "C", "ｱｲ"};
    for (int I = 0; I < Names.size(); ++I)
        Add(I, QStringLiteral("0%1").arg(I), Names[I]);
    Table.SetIndexName(QStringLiteral("Name"));
    Table.SetRange({QStringLiteral("AC")}, {QStringLiteral("BZ")});
    QStringList Seen;
    for (; !Table.Eof(); Table.Next())
        Seen << Table.FieldByName(QStringLiteral("Name")).AsString();
    EXPECT_EQ(Seen, (QStringList{"aC", "B", "bz"}));
    Seen.clear();
    for (Table.Last(); !Table.Bof(); Table.Prior())
        Seen << Table.FieldByName(QStringLiteral("Name")).AsString();
    EXPECT_EQ(Seen, (QStringList{"bz", "B", "aC"}));
}

// The counters the complexity guards read: what a fill and a walk did, and nothing after a reset.
TEST_F(TableRangeWalkTest, TheCountersSayWhatTheEngineDid)
{
    ResetTableCounters();
    Fill(100);
    const TTableCounters Filled = TableCounters();
    EXPECT_EQ(Filled.RowsWritten, 300);
    EXPECT_GE(Filled.Stepped, 300);
    EXPECT_LT(Filled.Prepared, 30) << "a statement is prepared once, not once a row";
    EXPECT_GT(Filled.VmSteps, 0);

    ResetTableCounters();
    Table.SetIndexName(QStringLiteral("Tel"));
    Table.SetRange({QStringLiteral("03")}, {QStringLiteral("04")});
    EXPECT_EQ(TelsForward().size(), 100);
    const TTableCounters Walked = TableCounters();
    EXPECT_GE(Walked.RowsRead, 100);
    EXPECT_EQ(Walked.RowsWritten, 0);

    ResetTableCounters();
    const TTableCounters Reset = TableCounters();
    EXPECT_EQ(Reset.Prepared + Reset.Stepped + Reset.RowsRead + Reset.RowsWritten + Reset.VmSteps, 0);
}

// A filtered walk both ways (a condition in SQLite and a test of each row) and a bulk rewrite of
// every row: their cost follows the rows, whatever the table holds before and after them.
TEST_F(TableRangeWalkTest, AFilteredWalkAndABulkRewriteCostInProportionToTheRows)
{
    const auto Cost = [this](int Count) {
        Fill(Count);
        ResetTableCounters();
        Table.SetIndexName(QStringLiteral("Tel"));
        Table.SetFilter([](TTable& Row) { return Row.FieldByName(QStringLiteral("RecNo")).AsInteger() % 2 == 1; },
                        QStringLiteral("Tel LIKE ?"), {QStringLiteral("03%")});
        Table.SetFiltered(true);
        const int Forward = int(TelsForward().size());
        const int Backward = int(TelsBackward().size());
        Table.SetFiltered(false);
        const TTable::TRewriteCount Rewritten = Table.RewriteRows({QStringLiteral("Tel")}, {QStringLiteral("Name")},
                                                                  [](const QVariantList& Values, QVariantList& New) {
                                                                      New = {Values[0].toString().left(4)};
                                                                      return true;
                                                                  });
        Table.Close();
        const TTableCounters Counted = TableCounters();
        Table.Open();
        EXPECT_EQ(Forward, (Count + 1) / 2) << Count;
        EXPECT_EQ(Backward, Forward) << Count;
        EXPECT_EQ(Rewritten.Written, 3 * Count);
        EXPECT_GE(Counted.RowsWritten, 3 * Count);
        Table.Close();
        Table.CreateTable(NumbersDef());
        Table.Open();
        return Counted;
    };
    const TTableCounters Small = Cost(300);
    const TTableCounters Large = Cost(1200);
    EXPECT_GT(Small.VmSteps, 0);
    EXPECT_LE(Large.VmSteps, 5 * Small.VmSteps) << Small.VmSteps << " steps for 300, " << Large.VmSteps << " for 1200";
    EXPECT_LE(Large.Prepared, 5 * Small.Prepared) << Small.Prepared << " statements for 300, " << Large.Prepared;
}
