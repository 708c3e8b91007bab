// The read-ahead walk and the batched look-ups of the table engine.
#include "platform/db/Table.h"

#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

TTableDef PeopleDef()
{
    return {
        {{"RecNo", TFieldType::Integer, 0}, {"Name", TFieldType::String, 10}, {"Tel", TFieldType::String, 11}},
        {{"", "RecNo", true, true, false}, {"Name", "Name", false, false, true}, {"Tel", "Tel", false, false, false}}};
}

class TableWalkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        for (TTable* T : {&Table, &Other}) {
            T->SetDatabaseName(Dir.path());
            T->SetTableName("People.DB");
        }
        Table.CreateTable(PeopleDef());
        Table.Open();
    }

    void AddRows(TTable& To, const QList<int>& RecNos)
    {
        TTableTransaction Transaction(To);
        for (int RecNo : RecNos) {
            To.Append();
            To.FieldByName("RecNo").SetAsInteger(RecNo);
            // Long runs of equal names, so batches end inside a run.
            To.FieldByName("Name").SetAsString(RecNo % 3 ? QString("same") : QString("n%1").arg(RecNo % 50));
            To.FieldByName("Tel").SetAsString(QString::number(RecNo % 7));
            To.Post();
        }
        Transaction.Commit();
    }

    int RecNo() { return Table.FieldByName("RecNo").AsInteger(); }

    // RecNo of every record met stepping from one end to the other, and whether the walk ended on
    // the far end's flag with the last record still current.
    QList<int> Walk(bool Forward)
    {
        QList<int> Met;
        Forward ? Table.First() : Table.Last();
        if (Table.IsEmpty())
            return Met;
        do
            Met << RecNo();
        while (Table.MoveBy(Forward ? 1 : -1) != 0);
        EXPECT_TRUE(Forward ? Table.Eof() : Table.Bof());
        EXPECT_EQ(RecNo(), Met.back()) << "a step past the end keeps the last record";
        return Met;
    }

    QTemporaryDir Dir;
    TTable Table;
    // A second connection, as another program would hold: it waits for no lock.
    TSession Quick;
    TTable Other{Quick};
};

QList<int> Numbers(int From, int To, int Step = 1)
{
    QList<int> Result;
    for (int I = From; I <= To; I += Step)
        Result << I;
    return Result;
}

// Reading ahead meets the rows single steps meet, in both directions, in every order, through a
// range, a filter in SQL and a filter that tests each row.
TEST_F(TableWalkTest, ReadAheadMeetsTheRowsSingleStepsMeet)
{
    AddRows(Table, Numbers(1, 1300));
    struct TCase
    {
        const char* What;
        std::function<void()> Set;
    };
    const TCase Cases[] = {
        {"primary", [&] { Table.SetIndexName(QString()); }},
        {"name, runs of ties", [&] { Table.SetIndexName("Name"); }},
        {"range",
         [&] {
             Table.SetIndexName("Tel");
             Table.SetRange({"2"}, {"4"});
         }},
        {"filters",
         [&] {
             Table.SetIndexName("Name");
             Table.SetFilter([](TTable& T) { return T.FieldByName("RecNo").AsInteger() % 4 != 0; }, "Tel <> ?", {"5"});
             Table.SetFiltered(true);
         }},
        {"a filter that takes almost nothing",
         [&] { Table.SetFilter([](TTable& T) { return T.FieldByName("RecNo").AsInteger() % 600 == 1; }); }},
    };
    for (const TCase& Case : Cases) {
        Case.Set();
        Table.SetReadAhead(false);
        const QList<int> Forward = Walk(true);
        const QList<int> Backward = Walk(false);
        ASSERT_FALSE(Forward.isEmpty()) << Case.What;
        Table.SetReadAhead(true);
        EXPECT_EQ(Walk(true), Forward) << Case.What;
        EXPECT_EQ(Walk(false), Backward) << Case.What;
        EXPECT_FALSE(Table.InTransaction()) << "no lock is held between batches";
    }
    Table.SetReadAhead(false);
}

// Turning back mid-walk, a jump elsewhere, the table's own writes and a change of index all go on
// from the record that is current at the time, as single steps do.
TEST_F(TableWalkTest, MovesAndWritesMidWalkGoOnFromTheCurrentRecord)
{
    AddRows(Table, Numbers(1, 600));
    const TTableReadAhead ReadAhead(Table);
    Table.First();
    for (int I = 0; I < 10; ++I) {
        ASSERT_EQ(Table.MoveBy(1), 1);
    }
    EXPECT_EQ(RecNo(), 11);
    EXPECT_EQ(Table.MoveBy(-1), -1);
    EXPECT_EQ(RecNo(), 10);
    EXPECT_EQ(Table.MoveBy(1), 1);
    EXPECT_EQ(RecNo(), 11);

    ASSERT_TRUE(Table.FindKey({300}));
    EXPECT_EQ(Table.MoveBy(1), 1);
    EXPECT_EQ(RecNo(), 301);

    // A row of the walk written through the table takes its new place in the order, and the walk
    // goes on from there.
    Table.SetIndexName("Tel");
    Table.First();
    for (int I = 0; I < 3; ++I) {
        ASSERT_EQ(Table.MoveBy(1), 1);
    }
    ASSERT_EQ(Table.FieldByName("Tel").AsString(), QStringLiteral("0"));
    const int Edited = RecNo();
    Table.Edit();
    Table.FieldByName("Tel").SetAsString("6");
    Table.Post();
    ASSERT_EQ(Table.MoveBy(1), 1);
    EXPECT_EQ(Table.FieldByName("Tel").AsString(), QStringLiteral("6"));
    EXPECT_GT(RecNo(), Edited);

    // The row posted mid-walk is on disk when Post returns: the walk holds no transaction open.
    Other.Open();
    ASSERT_TRUE(Other.FindKey({Edited}));
    EXPECT_EQ(Other.FieldByName("Tel").AsString(), QStringLiteral("6"));
}

// Another program deletes and adds rows while the walk goes on: every row is met at most once and
// in order, rows beyond what was read ahead are met as they now are, and the walk never keeps the
// other program from writing.
TEST_F(TableWalkTest, AnotherProgramsWritesDuringTheWalk)
{
    AddRows(Table, Numbers(1, 1999, 2));
    Quick.SetBusyTimeout(0);
    Other.Open();
    const TTableReadAhead ReadAhead(Table);
    QList<int> Met;
    Table.First();
    Met << RecNo();
    while (Met.size() < 5 && Table.MoveBy(1) == 1)
        Met << RecNo();
    // Now the rows up to about 513 are read ahead.
    ASSERT_TRUE(Other.FindKey({201}));
    Other.Delete();
    ASSERT_TRUE(Other.FindKey({1501}));
    Other.Delete();
    AddRows(Other, {200, 1600, 2001});
    while (Table.MoveBy(1) == 1)
        Met << RecNo();

    EXPECT_TRUE(std::is_sorted(Met.begin(), Met.end()));
    EXPECT_EQ(std::adjacent_find(Met.begin(), Met.end()), Met.end()) << "no row twice";
    EXPECT_FALSE(Met.contains(1501)) << "deleted before its batch was read";
    EXPECT_TRUE(Met.contains(1600));
    EXPECT_TRUE(Met.contains(2001));
    EXPECT_TRUE(Met.contains(201)) << "read before it was deleted: met as read";
    EXPECT_FALSE(Met.contains(200)) << "added among the rows already read";
    EXPECT_EQ(Met.back(), 2001);
    // A jump reads what follows from the file as it now is.
    ASSERT_TRUE(Table.FindKey({199}));
    ASSERT_EQ(Table.MoveBy(1), 1);
    EXPECT_EQ(RecNo(), 200);
}

// A batch of look-ups answers each key's first record in that index's order, with every field,
// and leaves the cursor, its index and its range where they were.
TEST_F(TableWalkTest, LookupRecordsAnswersEachKeyAndLeavesTheCursor)
{
    AddRows(Table, Numbers(1, 30));
    Table.SetIndexName("Name");
    Table.SetRange({"n3"}, {"n9"});
    ASSERT_TRUE(Table.FindKey({"n6"}));
    const std::vector<QVariantList> Found = Table.LookupRecords("Tel", {{"3"}, {"9"}, {"0"}, {"3"}});
    ASSERT_EQ(Found.size(), 4u);
    EXPECT_EQ(Found[0], QVariantList({qint64(3), QString("n3"), QString("3")}));
    EXPECT_TRUE(Found[1].isEmpty());
    EXPECT_EQ(Found[2], QVariantList({qint64(7), QString("same"), QString("0")}));
    EXPECT_EQ(Found[3], Found[0]);
    EXPECT_EQ(Table.LookupRecords("Name", {{"N12"}}).front().value(0), QVariant(qint64(12))) << "the index folds case";
    EXPECT_EQ(RecNo(), 6);
    EXPECT_EQ(Table.IndexName(), QStringLiteral("Name"));
    EXPECT_TRUE(Table.RangeActive());
    EXPECT_FALSE(Table.InTransaction());
    EXPECT_THROW((void)Table.LookupRecords("Gone", {{"x"}}), EDatabaseError);
    EXPECT_THROW((void)Table.LookupRecords("Tel", {{}}), EDatabaseError);
}

} // namespace
