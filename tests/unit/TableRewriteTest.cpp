// Bulk rewrites of a few fields of every row: what they read and write, a row the table refuses,
// and the transaction they run in.
#include "platform/db/Table.h"
#include "tests/support/TableFaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

TTableDef CardDef(bool TextKey, bool UniqueTel)
{
    return {{{"RecNo", TFieldType::Integer, 0},
             {"Code", TFieldType::String, 8},
             {"Tel", TFieldType::String, 6},
             {"Stamp", TFieldType::DateTime, 0},
             {"Name", TFieldType::String, 20}},
            {{"", TextKey ? "Code" : "RecNo", true, true, false},
             {"Tel", "Tel", false, UniqueTel, false},
             {"Name", "Name", false, false, true}}};
}

class TableRewriteTest : public ::testing::Test
{
protected:
    void Make(int Rows, bool TextKey = false, bool UniqueTel = false)
    {
        Table.SetDatabaseName(Dir.path());
        Table.SetTableName("Card.DB");
        Table.CreateTable(CardDef(TextKey, UniqueTel));
        Table.Open();
        TTableTransaction Transaction(Table);
        // Appended in reverse: where the key is a text, the order of the rows runs against it.
        for (int Row = Rows - 1; Row >= 0; --Row) {
            Table.Append();
            Table.FieldByName("RecNo").SetAsInteger(Row);
            Table.FieldByName("Code").SetAsString(QStringLiteral("C%1").arg(Row, 5, 10, QLatin1Char('0')));
            Table.FieldByName("Tel").SetAsString(QString::number(Row));
            Table.FieldByName("Name").SetAsString(QStringLiteral("name%1").arg(Row));
            Table.Post();
        }
        Transaction.Commit();
    }

    // Runs a statement on the file through a connection of its own, as another program would.
    void Sql(const char* Text) const
    {
        sqlite3* Db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(Table.FileName()).constData(), &Db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(Db, Text, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(Db);
        sqlite3_close(Db);
    }

    QString TelOf(int RecNo)
    {
        Table.SetIndexName({});
        return Table.FindKey({RecNo}) ? Table.FieldByName("Tel").AsString() : QStringLiteral("(gone)");
    }

    QTemporaryDir Dir;
    TTable Table;
};

TEST_F(TableRewriteTest, EveryRowIsSeenInKeyOrderAndOnlyTheChosenFieldsAreWritten)
{
    Make(1300); // more rows than one batch reads
    Table.SetIndexName(QStringLiteral("Name"));
    Table.SetRange({QStringLiteral("name4")}, {QStringLiteral("name4")});
    const QDateTime When(QDate(2026, 12, 9), QTime(10, 30));
    QList<int> Seen;
    const TTable::TRewriteCount Count = Table.RewriteRows(
        {QStringLiteral("RecNo"), QStringLiteral("Tel")}, {QStringLiteral("Tel"), QStringLiteral("Stamp")},
        [&](const QVariantList& Values, QVariantList& NewValues) {
            Seen << Values[0].toInt();
            if (Values[0].toInt() % 2 == 1)
                return false;
            // Wider than the field: cut to it, as a field set by hand is.
            NewValues << QStringLiteral("T-") + Values[1].toString() + QStringLiteral("-long") << When;
            return true;
        });
    EXPECT_EQ(Count.Rows, 1300);
    EXPECT_EQ(Count.Written, 650);
    EXPECT_EQ(Count.Refused, 0);
    ASSERT_EQ(Seen.size(), 1300);
    for (int I = 0; I < Seen.size(); ++I) {
        ASSERT_EQ(Seen[I], I);
    }

    // The range stays, and its record shows what was written.
    EXPECT_TRUE(Table.RangeActive());
    EXPECT_EQ(Table.RecordCount(), 1);
    EXPECT_EQ(Table.FieldByName("Tel").AsString(), QStringLiteral("T-4-lo"));
    Table.CancelRange();
    EXPECT_EQ(TelOf(0), QStringLiteral("T-0-lo"));
    EXPECT_EQ(Table.FieldByName("Stamp").AsDateTime(), When);
    EXPECT_EQ(Table.FieldByName("Name").AsString(), QStringLiteral("name0"));
    EXPECT_EQ(TelOf(1299), QStringLiteral("1299"));
    EXPECT_FALSE(Table.FieldByName("Stamp").AsDateTime().isValid());
    // The index over the rewritten field follows.
    Table.SetIndexName(QStringLiteral("Tel"));
    EXPECT_TRUE(Table.FindKey({QStringLiteral("T-1000")}));
    EXPECT_EQ(Table.IntegrityCheck(), QStringList());
}

TEST_F(TableRewriteTest, ATextKeyIsWalkedInItsOwnOrder)
{
    Make(700, true);
    QStringList Seen;
    (void)Table.RewriteRows({QStringLiteral("Code")}, {QStringLiteral("Name")},
                            [&](const QVariantList& Values, QVariantList&) {
                                Seen << Values[0].toString();
                                return false;
                            });
    ASSERT_EQ(Seen.size(), 700);
    QStringList Sorted = Seen;
    Sorted.sort();
    EXPECT_EQ(Seen, Sorted);
    EXPECT_THROW(
        (void)Table.RewriteRows({}, {QStringLiteral("Code")}, [](const QVariantList&, QVariantList&) { return false; }),
        EDatabaseError)
        << "the key cannot be rewritten";
    EXPECT_THROW((void)Table.RewriteRows({QStringLiteral("Nothing")}, {},
                                         [](const QVariantList&, QVariantList&) { return false; }),
                 EDatabaseError);
}

// A row the table refuses keeps all its old values; the rows around it are written.
TEST_F(TableRewriteTest, ARefusedRowKeepsItsOldValuesAndTheOthersAreWritten)
{
    Make(20);
    Table.Close();
    ASSERT_TRUE(TableFaults::RefuseRow(Table.FileName(), QStringLiteral("Card"), 3));
    ASSERT_TRUE(TableFaults::RefuseRow(Table.FileName(), QStringLiteral("Card"), 7));
    Table.Open();
    const TTable::TRewriteCount Count =
        Table.RewriteRows({QStringLiteral("Tel")}, {QStringLiteral("Tel"), QStringLiteral("Name")},
                          [](const QVariantList& Values, QVariantList& NewValues) {
                              NewValues << QStringLiteral("n") + Values[0].toString() << QStringLiteral("new");
                              return true;
                          });
    EXPECT_EQ(Count.Written, 18);
    EXPECT_EQ(Count.Refused, 2);
    EXPECT_EQ(TelOf(3), QStringLiteral("3"));
    EXPECT_EQ(TelOf(7), QStringLiteral("7"));
    EXPECT_EQ(Table.FieldByName("Name").AsString(), QStringLiteral("name7"));
    EXPECT_EQ(TelOf(8), QStringLiteral("n8"));
    EXPECT_FALSE(Table.InTransaction()) << "its own transaction is committed";
}

// Triggers a file carries do not fire on the engine's connection: neither one that would refuse a
// row after it was changed nor one that would change the other rows.
TEST_F(TableRewriteTest, TriggersTheFileCarriesDoNotFire)
{
    Make(20);
    Table.Close();
    Sql("CREATE TRIGGER Before BEFORE UPDATE ON Card WHEN OLD.RecNo = 3 BEGIN SELECT RAISE(ABORT, 'no'); END;"
        "CREATE TRIGGER After AFTER UPDATE ON Card WHEN OLD.RecNo = 7 BEGIN SELECT RAISE(FAIL, 'no'); END;"
        "CREATE TRIGGER Wipe AFTER UPDATE ON Card BEGIN DELETE FROM Card WHERE RecNo <> NEW.RecNo; END");
    Table.Open();
    const TTable::TRewriteCount Count = Table.RewriteRows({QStringLiteral("Tel")}, {QStringLiteral("Tel")},
                                                          [](const QVariantList& Values, QVariantList& NewValues) {
                                                              NewValues << QStringLiteral("n") + Values[0].toString();
                                                              return true;
                                                          });
    EXPECT_EQ(Count.Written, 20);
    EXPECT_EQ(Count.Refused, 0);
    EXPECT_EQ(Table.RecordCount(), 20);
    EXPECT_EQ(TelOf(3), QStringLiteral("n3"));
    EXPECT_EQ(TelOf(7), QStringLiteral("n7"));
}

// A row a constraint refuses (here a number another row has just taken) is written without a
// savepoint of its own, and still keeps every old value and counts as refused.
TEST_F(TableRewriteTest, ARowAConstraintRefusesKeepsItsOldValuesWithoutASavepoint)
{
    Make(20, false, true);
    const TTable::TRewriteCount Count = Table.RewriteRows(
        {QStringLiteral("RecNo"), QStringLiteral("Tel")}, {QStringLiteral("Name"), QStringLiteral("Tel")},
        [](const QVariantList& Values, QVariantList& NewValues) {
            const int RecNo = Values[0].toInt();
            NewValues << QStringLiteral("new") << QStringLiteral("n%1").arg(RecNo == 5 ? 4 : RecNo);
            return RecNo != 9;
        });
    EXPECT_EQ(Count.Rows, 20);
    EXPECT_EQ(Count.Written, 18);
    EXPECT_EQ(Count.Refused, 1);
    EXPECT_EQ(TelOf(4), QStringLiteral("n4"));
    EXPECT_EQ(TelOf(5), QStringLiteral("5"));
    EXPECT_EQ(Table.FieldByName("Name").AsString(), QStringLiteral("name5"));
    EXPECT_EQ(TelOf(6), QStringLiteral("n6"));
    EXPECT_EQ(TelOf(9), QStringLiteral("9"));
    EXPECT_EQ(Table.FieldByName("Name").AsString(), QStringLiteral("name9"));
    EXPECT_FALSE(Table.InTransaction());
    EXPECT_EQ(Table.IntegrityCheck(), QStringList());
}

TEST_F(TableRewriteTest, InsideTheCallersTransactionItIsUndoneWithIt)
{
    Make(30);
    {
        TTableTransaction Transaction(Table);
        (void)Table.RewriteRows({}, {QStringLiteral("Tel")}, [](const QVariantList&, QVariantList& NewValues) {
            NewValues << QStringLiteral("x");
            return true;
        });
        EXPECT_TRUE(Table.InTransaction());
        EXPECT_EQ(TelOf(4), QStringLiteral("x"));
    }
    EXPECT_EQ(TelOf(4), QStringLiteral("4"));
    // A change that answers too few values half-way stops the rewrite and leaves the table as it was.
    int Rows = 0;
    EXPECT_THROW((void)Table.RewriteRows({}, {QStringLiteral("Tel"), QStringLiteral("Name")},
                                         [&](const QVariantList&, QVariantList& NewValues) {
                                             NewValues << QStringLiteral("y");
                                             if (++Rows < 10)
                                                 NewValues << QStringLiteral("z");
                                             return true;
                                         }),
                 EDatabaseError);
    EXPECT_FALSE(Table.InTransaction());
    EXPECT_EQ(TelOf(4), QStringLiteral("4"));
}

} // namespace
