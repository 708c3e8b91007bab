// Bulk loading into an empty table: the secondary indexes come back, whole, by the commit; a
// rollback or a close without commit leaves the table as it was made; and a read transaction keeps
// one view of the table for a long walk.
#include "platform/db/Table.h"
#include "tests/support/IndexedTableDef.h"
#include "tests/support/SqlRows.h"
#include "tests/support/TableFaults.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList FileIndexes(const TTable& Table)
{
    return SqlIndexNames(Table.FileName());
}

const QStringList AllIndexes{"Book_Code", "Book_Name", "Book_Tel"};

void AddRow(TTable& Table, int RecNo, const QString& Name, const QString& Code)
{
    Table.Append();
    Table.FieldByName("RecNo").SetAsInteger(RecNo);
    Table.FieldByName("Name").SetAsString(Name);
    Table.FieldByName("Tel").SetAsString(QStringLiteral("03%1").arg(RecNo * 7919 % 10007, 8, 10, QLatin1Char('0')));
    Table.FieldByName("Code").SetAsString(Code);
    Table.Post();
}

QStringList NamesInIndexOrder(TTable& Table)
{
    QStringList Names;
    Table.SetIndexName("Name");
    for (Table.First(); !Table.Eof(); Table.Next())
        Names << Table.FieldByName("Name").AsString();
    Table.SetIndexName({});
    return Names;
}

struct TBook
{
    TBook()
    {
        Table.SetDatabaseName(Dir.path());
        Table.SetTableName("Book.DB");
        Table.CreateTable(IndexedTableDef());
        Table.Open();
    }
    QTemporaryDir Dir;
    TTable Table;
};

TEST(TableBulkLoadTest, AnEmptyTableIsLoadedWithoutItsIndexesAndCommittedWithEveryOne)
{
    TBook Book;
    TTable& Table = Book.Table;
    EXPECT_THROW((void)Table.DeferIndexes(), EDatabaseError); // only inside a transaction
    Table.StartTransaction();
    ASSERT_TRUE(Table.DeferIndexes({"tel"}));
    QStringList Expected;
    for (int RecNo = 0; RecNo < 300; ++RecNo) {
        const QString Name = QStringLiteral("n%1").arg(299 - RecNo, 3, 10, QLatin1Char('0'));
        AddRow(Table, RecNo, Name, QStringLiteral("c%1").arg(RecNo));
        Expected.prepend(Name);
    }
    // During the load the kept index answers look-ups, the unique one still refuses a second key,
    // and a walk by a deferred index still comes in its order.
    EXPECT_EQ(Table.LookupKey("Tel", {QStringLiteral("0300007919")}, "RecNo").toInt(), 1);
    EXPECT_THROW(AddRow(Table, 300, "dup", "c7"), EDatabaseError);
    Table.Cancel();
    EXPECT_EQ(NamesInIndexOrder(Table), Expected);
    Table.Commit();

    EXPECT_EQ(FileIndexes(Table), AllIndexes);
    EXPECT_EQ(Table.IntegrityCheck(), QStringList());
    EXPECT_EQ(NamesInIndexOrder(Table), Expected);
    Table.SetIndexName("Code");
    EXPECT_TRUE(Table.FindKey({QStringLiteral("c42")}));
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 42);

    // A table that holds rows keeps its indexes through the next load.
    Table.StartTransaction();
    EXPECT_FALSE(Table.DeferIndexes());
    AddRow(Table, 300, "late", "c300");
    Table.Commit();
    EXPECT_EQ(FileIndexes(Table), AllIndexes);
    EXPECT_EQ(Table.IntegrityCheck(), QStringList());
}

TEST(TableBulkLoadTest, ARollbackOrACloseWithoutCommitLeavesTheTableAsItWasMade)
{
    TBook Book;
    TTable& Table = Book.Table;
    Table.StartTransaction();
    ASSERT_TRUE(Table.DeferIndexes());
    AddRow(Table, 1, "a", "c1");
    Table.Rollback();
    EXPECT_EQ(FileIndexes(Table), AllIndexes);
    EXPECT_EQ(Table.RecordCount(), 0);

    {
        TTableTransaction Transaction(Table);
        ASSERT_TRUE(Table.DeferIndexes());
        AddRow(Table, 1, "a", "c1");
    }
    EXPECT_EQ(FileIndexes(Table), AllIndexes);

    Table.StartTransaction();
    ASSERT_TRUE(Table.DeferIndexes());
    AddRow(Table, 1, "a", "c1");
    Table.Close();
    EXPECT_EQ(FileIndexes(Table), AllIndexes);
    Table.Open();
    EXPECT_EQ(Table.RecordCount(), 0);
    EXPECT_EQ(Table.IntegrityCheck(), QStringList());

    // After a rollback the next commit has nothing left to build.
    Table.StartTransaction();
    ASSERT_TRUE(Table.DeferIndexes());
    Table.Rollback();
    TTableTransaction Transaction(Table);
    AddRow(Table, 2, "b", "c2");
    Transaction.Commit();
    EXPECT_EQ(FileIndexes(Table), AllIndexes);
    EXPECT_EQ(Table.IntegrityCheck(), QStringList());
}

// A file made elsewhere may keep any statements in an index's text: the load builds the index
// again from the table's definition, and none of them runs.
TEST(TableBulkLoadTest, AnIndexComesBackFromTheDefinitionNotFromTheTextTheFileKeeps)
{
    TBook Book;
    QTemporaryDir Outside;
    Book.Table.Close();
    const QString Attached = Outside.filePath(QStringLiteral("attached.db"));
    ASSERT_TRUE(TableFaults::EditSchema(
        Book.Table.FileName(),
        QStringLiteral("UPDATE sqlite_master SET sql = 'CREATE INDEX \"Book_Name\" ON \"Book\" (\"Tel\"); "
                       "ATTACH DATABASE ''%1'' AS Far; CREATE TABLE Far.Taken (a); DROP TABLE main._meta' "
                       "WHERE name = 'Book_Name'")
            .arg(Attached)));
    Book.Table.Open();
    TTable& Table = Book.Table;
    Table.StartTransaction();
    ASSERT_TRUE(Table.DeferIndexes());
    for (int RecNo = 0; RecNo < 20; ++RecNo)
        AddRow(Table, RecNo, QStringLiteral("n%1").arg(19 - RecNo, 2, 10, QLatin1Char('0')),
               QStringLiteral("c%1").arg(RecNo));
    Table.Commit();
    EXPECT_TRUE(QDir(Outside.path()).isEmpty());
    EXPECT_EQ(SqlRows(Table.FileName(), "SELECT sql FROM sqlite_master WHERE name = 'Book_Name'"),
              QStringList{QStringLiteral("CREATE INDEX \"Book_Name\" ON \"Book\" (\"Name\")")});
    EXPECT_EQ(Table.IntegrityCheck(), QStringList());
    Table.Close();
    Table.Open();
    EXPECT_EQ(NamesInIndexOrder(Table).first(), QStringLiteral("n00"));
}

TEST(TableBulkLoadTest, AReadTransactionHoldsOneViewOfTheTableUntilItEnds)
{
    TBook Book;
    TTable& Table = Book.Table;
    for (int RecNo = 0; RecNo < 5; ++RecNo)
        AddRow(Table, RecNo, QStringLiteral("n%1").arg(RecNo), QStringLiteral("c%1").arg(RecNo));
    TSession Impatient;
    Impatient.SetBusyTimeout(50);
    TTable Writer(Impatient);
    Writer.SetDatabaseName(Book.Dir.path());
    Writer.SetTableName("Book.DB");
    Writer.Open();
    {
        const TTableReading Reading(Table);
        EXPECT_TRUE(Table.InTransaction());
        EXPECT_THROW(Table.StartTransaction(), EDatabaseError);
        int Seen = 0;
        for (Table.First(); !Table.Eof(); Table.Next()) {
            // A writer elsewhere waits for the walk to end rather than change the rows under it.
            if (Seen++ == 2) {
                try {
                    AddRow(Writer, 99, "x", "c99");
                    ADD_FAILURE() << "written during the walk";
                } catch (const EDatabaseError& Error) {
                    EXPECT_TRUE(Error.Busy()) << Error.what();
                    Writer.Cancel();
                }
            }
        }
        EXPECT_EQ(Seen, 5);
    }
    EXPECT_FALSE(Table.InTransaction());
    AddRow(Writer, 99, "x", "c99");
    Table.Refresh();
    EXPECT_EQ(Table.RecordCount(), 6);
}

} // namespace
