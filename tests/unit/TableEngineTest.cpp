#include "platform/db/Collation.h"
#include "platform/db/Table.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TTableDef PeopleDef()
{
    return {{{"RecNo", TFieldType::Integer, 0},
             {"Name", TFieldType::String, 10},
             {"Tel", TFieldType::String, 11},
             {"Stamp", TFieldType::DateTime, 0},
             {"Active", TFieldType::Boolean, 0},
             {"Note", TFieldType::Memo, 100}},
            {{"", "RecNo", true, true, false},
             {"Name", "Name", false, false, true},
             {"Tel", "Tel", false, false, false},
             {"NameTel", "Name;Tel", false, false, true}}};
}

class TableEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        Table.SetDatabaseName(Dir.path());
        Table.SetTableName("People.DB");
    }

    void AddRow(int RecNo, const QString& Name, const QString& Tel)
    {
        Table.Append();
        Table.FieldByName("RecNo").SetAsInteger(RecNo);
        Table.FieldByName("Name").SetAsString(Name);
        Table.FieldByName("Tel").SetAsString(Tel);
        Table.Post();
    }

    // RecNo of every record from First to Eof.
    QList<int> Forward()
    {
        QList<int> Result;
        for (Table.First(); !Table.Eof(); Table.Next())
            Result << Table.FieldByName("RecNo").AsInteger();
        return Result;
    }

    QList<int> Backward()
    {
        QList<int> Result;
        for (Table.Last(); !Table.Bof(); Table.Prior())
            Result << Table.FieldByName("RecNo").AsInteger();
        return Result;
    }

    QTemporaryDir Dir;
    TTable Table;
};

TEST_F(TableEngineTest, CreatedTableCarriesItsDefinitionAndOpensOnlyWithItsPassword)
{
    DefaultSession().RemoveAllPasswords();
    Table.CreateTable(PeopleDef(), "secret");
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"People.DB"});

    try {
        Table.Open();
        FAIL() << "opened without the password";
    } catch (const EDatabaseError& Error) {
        EXPECT_TRUE(Error.Message().contains("password")) << Error.Message().toStdString();
    }
    EXPECT_FALSE(Table.Active());

    TSession Other;
    Other.AddPassword("wrong");
    Other.AddPassword("secret");
    TTable WithPassword(Other);
    WithPassword.SetDatabaseName(Dir.path());
    WithPassword.SetTableName("People.DB");
    WithPassword.Open();
    EXPECT_TRUE(WithPassword.Protected());
    EXPECT_EQ(WithPassword.Definition(), PeopleDef());
    EXPECT_TRUE(WithPassword.IsEmpty());
    EXPECT_EQ(WithPassword.RecordCount(), 0);
}

TEST_F(TableEngineTest, FailedCreationLeavesNoFileBehind)
{
    TTableDef Bad = PeopleDef();
    Bad.Indexes << TIndexDef{"Missing", "NoSuchField"};
    EXPECT_THROW(Table.CreateTable(Bad, "secret"), EDatabaseError);
    EXPECT_TRUE(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    TTableDef AutoIncNotKey{{{"Id", TFieldType::Integer, 0}, {"Counter", TFieldType::AutoInc, 0}},
                            {{"", "Id", true, true, false}}};
    EXPECT_THROW(Table.CreateTable(AutoIncNotKey), EDatabaseError);
    EXPECT_TRUE(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    TTable Missing;
    Missing.SetDatabaseName(Dir.path() + "/nowhere");
    Missing.SetTableName("People.DB");
    EXPECT_THROW(Missing.CreateTable(PeopleDef()), EDatabaseError);
    EXPECT_THROW(Missing.Open(), EDatabaseError);
}

TEST_F(TableEngineTest, WalksEveryIndexWithTiesInKeyOrder)
{
    Table.CreateTable(PeopleDef());
    Table.Open();
    AddRow(5, "beta", "0300000002");
    AddRow(1, "Alpha", "0300000002");
    AddRow(3, "ALPHA", "0300000001");
    AddRow(2, "alpha", "0300000002");
    AddRow(4, "Beta", "0300000001");

    struct TCase
    {
        QString Index;
        QList<int> Order;
    };
    const TCase Cases[] = {
        {"", {1, 2, 3, 4, 5}},
        {"Tel", {3, 4, 1, 2, 5}},
        {"Name", {1, 2, 3, 4, 5}}, // case folded: three alphas, then two betas, each by RecNo
        {"NameTel", {3, 1, 2, 4, 5}},
    };
    for (const TCase& Case : Cases) {
        Table.SetIndexName(Case.Index);
        EXPECT_EQ(Forward(), Case.Order) << Case.Index.toStdString();
        QList<int> Reversed(Case.Order.rbegin(), Case.Order.rend());
        EXPECT_EQ(Backward(), Reversed) << Case.Index.toStdString();
        EXPECT_EQ(Table.RecordCount(), 5);
    }

    // Next past the end stays on the last record; Prior from there goes to the one before it.
    Table.SetIndexName("Tel");
    Table.Last();
    EXPECT_TRUE(Table.Eof());
    Table.Prior();
    EXPECT_FALSE(Table.Eof());
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 2);
    Table.Next();
    Table.Next();
    EXPECT_TRUE(Table.Eof());
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 5);
    Table.Prior();
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 2);

    Table.First();
    EXPECT_EQ(Table.MoveBy(3), 3);
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 2);
    EXPECT_EQ(Table.MoveBy(10), 1);
    EXPECT_TRUE(Table.Eof());
    EXPECT_EQ(Table.MoveBy(-10), -4);
    EXPECT_TRUE(Table.Bof());
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 3);

    // The index chosen stays across Close and may be chosen before Open.
    Table.Close();
    EXPECT_EQ(Table.IndexName(), "Tel");
    Table.SetIndexName("NameTel");
    Table.Open();
    EXPECT_EQ(Forward(), (QList<int>{3, 1, 2, 4, 5}));
    Table.Close();
    Table.SetIndexName("NoSuchIndex");
    EXPECT_THROW(Table.Open(), EDatabaseError);
    EXPECT_FALSE(Table.Active());
}

TEST_F(TableEngineTest, IndexChangeKeepsTheCurrentRecord)
{
    Table.CreateTable(PeopleDef());
    Table.Open();
    for (int I = 1; I <= 20; ++I)
        AddRow(I, QString("n%1").arg(21 - I, 2, 10, QChar('0')), QString("03%1").arg(I % 4));
    ASSERT_TRUE(Table.FindKey({7}));
    Table.SetIndexName("Name");
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 7);
    Table.Next();
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 6); // "n15" follows "n14"
    Table.SetIndexName("Tel");
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 6);
    Table.Next();
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 10); // next with Tel "032"
    EXPECT_FALSE(Table.Bof());
    EXPECT_FALSE(Table.Eof());
}

TEST_F(TableEngineTest, FindKeyRangeAndFilter)
{
    Table.CreateTable(PeopleDef());
    Table.Open();
    AddRow(1, "a", "0311112222");
    AddRow(2, "b", "0522223333");
    AddRow(3, "c", "0311112222");
    AddRow(4, "d", "0311112223");

    EXPECT_TRUE(Table.FindKey({3}));
    EXPECT_EQ(Table.FieldByName("Name").AsString(), "c");
    Table.SetRange({"2"}, {3}); // the primary index takes numbers in any form
    EXPECT_EQ(Forward(), (QList<int>{2, 3}));
    Table.CancelRange();
    EXPECT_FALSE(Table.FindKey({9}));
    EXPECT_EQ(Table.FieldByName("Name").AsString(), "c");

    Table.SetIndexName("Tel");
    ASSERT_TRUE(Table.FindKey({"0311112222"}));
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 1);
    EXPECT_FALSE(Table.FindKey({"031111222"}));

    Table.SetRange({"0311112222"}, {"0311112222"});
    EXPECT_EQ(Forward(), (QList<int>{1, 3}));
    EXPECT_EQ(Backward(), (QList<int>{3, 1}));
    EXPECT_EQ(Table.RecordCount(), 2);
    Table.CancelRange();
    EXPECT_EQ(Table.RecordCount(), 4);

    Table.SetIndexName("Name");
    ASSERT_TRUE(Table.FindKey({"B"})); // case-insensitive index
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 2);

    Table.SetFilter([](TTable& T) { return T.FieldByName("RecNo").AsInteger() != 3; }, "Tel LIKE ?", {"03%"});
    Table.SetFiltered(true);
    EXPECT_EQ(Forward(), (QList<int>{1, 4}));
    EXPECT_EQ(Table.RecordCount(), 2);
    EXPECT_FALSE(Table.FindKey({"c"}));
    Table.SetFiltered(false);
    EXPECT_EQ(Table.RecordCount(), 4);
}

// Long runs of equal keys and a filter that refuses most rows make the cursor read on across
// several batches in both directions.
TEST_F(TableEngineTest, FilteredWalkAcrossLongRunsOfEqualKeys)
{
    Table.CreateTable(PeopleDef());
    Table.Open();
    QList<int> Expected;
    {
        TTableTransaction Transaction(Table);
        for (int RecNo = 1; RecNo <= 400; ++RecNo) {
            AddRow(RecNo, RecNo % 100 == 0 ? QString("zz%1").arg(RecNo) : QString("same"), "0");
            if (RecNo % 7 == 0 && RecNo % 100 != 0)
                Expected << RecNo;
        }
        Transaction.Commit();
    }
    for (int RecNo : {100, 200, 300, 400})
        if (RecNo % 7 == 0)
            Expected << RecNo;
    Table.SetIndexName("Name");
    Table.SetFilter([](TTable& T) { return T.FieldByName("RecNo").AsInteger() % 7 == 0; });
    Table.SetFiltered(true);
    EXPECT_EQ(Forward(), Expected);
    EXPECT_EQ(Backward(), QList<int>(Expected.rbegin(), Expected.rend()));
    EXPECT_EQ(Table.RecordCount(), Expected.size());
    Table.First();
    EXPECT_EQ(Table.MoveBy(30), 30);
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), Expected[30]);
}

TEST_F(TableEngineTest, EditingPostsCancelsAndDeletes)
{
    Table.CreateTable(PeopleDef());
    Table.Open();
    EXPECT_THROW(Table.FieldByName("Name").SetAsString("x"), EDatabaseError); // browse mode
    EXPECT_THROW((void)Table.FieldByName("Nope"), EDatabaseError);
    AddRow(1, "one", "01");
    AddRow(2, "two", "02");
    AddRow(3, "three", "03");
    EXPECT_THROW(AddRow(2, "dup", "0"), EDatabaseError);
    Table.Cancel();

    const QDateTime Stamp(QDate(2026, 12, 9), QTime(5, 30, 15));
    ASSERT_TRUE(Table.FindKey({2}));
    Table.Edit();
    Table.FieldByName("Name").SetAsString("zwei");
    Table.FieldByName("Stamp").SetAsDateTime(Stamp);
    Table.FieldByName("Active").SetAsBoolean(true);
    Table.FieldByName("Note").SetAsMemo("line 1\r\nline 2");
    Table.Post();
    Table.Edit();
    Table.FieldByName("Name").SetAsString("lost");
    Table.Cancel();
    Table.Refresh();
    EXPECT_EQ(Table.FieldByName("Name").AsString(), "zwei");
    EXPECT_EQ(Table.FieldByName("Stamp").AsDateTime(), Stamp);
    EXPECT_NEAR(Table.FieldByName("Stamp").AsFloat(), 46365.229340, 1e-6);
    EXPECT_TRUE(Table.FieldByName("Active").AsBoolean());
    EXPECT_EQ(Table.FieldByName("Note").AsMemo(), "line 1\r\nline 2");

    Table.Delete();
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 3);
    Table.Delete();
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 1);
    EXPECT_TRUE(Table.Eof());
    Table.Delete();
    EXPECT_TRUE(Table.IsEmpty());
    EXPECT_EQ(Table.RecordCount(), 0);
}

TEST_F(TableEngineTest, TextIsCutToItsWidthOnACharacterBoundary)
{
    Table.CreateTable(PeopleDef());
    Table.Open();
    struct TCase
    {
        QString In;
        QString Stored;
    };
    const TCase Cases[] = {
        {"abcdefghijKL", "abcdefghij"},
        {"あいうえおか", "あいうえお"},
        {"aあいうえお", "aあいうえ"}, // 11 bytes: the last character would be split
        {"ｱｲｳｴｵｶｷｸｹｺｻ", "ｱｲｳｴｵｶｷｸｹｺ"},
    };
    int RecNo = 0;
    for (const TCase& Case : Cases) {
        AddRow(++RecNo, Case.In, "0");
        ASSERT_TRUE(Table.FindKey({RecNo}));
        EXPECT_EQ(Table.FieldByName("Name").AsString(), Case.Stored) << Case.In.toStdString();
    }
}

TEST_F(TableEngineTest, CaseInsensitiveOrderOfMixedAsciiAndKana)
{
    Table.CreateTable(PeopleDef());
    Table.Open();
    const QStringList Names{"ｶﾅ", "かな", "Kana", "kana", "KANA2", "カナ", "123", "ｶﾞｲﾄﾞ"};
    for (int I = 0; I < Names.size(); ++I)
        AddRow(I + 1, Names[I], "0");
    Table.SetIndexName("Name");
    QStringList Got;
    for (Table.First(); !Table.Eof(); Table.Next())
        Got << Table.FieldByName("Name").AsString();
    EXPECT_EQ(Got, (QStringList{"123", "Kana", "kana", "KANA2", "かな", "カナ", "ｶﾅ", "ｶﾞｲﾄﾞ"}));
}

TEST_F(TableEngineTest, TransactionsAndSavepoints)
{
    Table.CreateTable(PeopleDef());
    Table.Open();
    {
        TTableTransaction Transaction(Table);
        AddRow(1, "kept", "0");
        Table.Savepoint("record");
        AddRow(2, "refused", "0");
        Table.RollbackToSavepoint("record");
        Table.Savepoint("record");
        AddRow(3, "kept", "0");
        Table.ReleaseSavepoint("record");
        Transaction.Commit();
    }
    {
        TTableTransaction Transaction(Table);
        AddRow(4, "rolled back", "0");
    }
    EXPECT_FALSE(Table.InTransaction());
    EXPECT_EQ(Forward(), (QList<int>{1, 3}));
}

// Bulk work keeps its insert, update and savepoint statements past the statement cache, which
// filters and ranges empty; each record must still get its own values and no other's.
TEST_F(TableEngineTest, RecordsKeepTheirOwnValuesAcrossAnEmptiedStatementCache)
{
    Table.CreateTable(PeopleDef());
    Table.Open();
    const auto EmptyTheStatementCache = [this](int Round) {
        for (int I = 0; I < 300; ++I) {
            Table.SetFilter(nullptr, QStringLiteral("RecNo <> %1").arg(Round * 1000 + I));
            Table.SetFiltered(true);
            Table.First();
        }
        Table.SetFiltered(false);
    };
    {
        TTableTransaction Transaction(Table);
        Table.Savepoint("record");
        Table.Append();
        Table.FieldByName("RecNo").SetAsInteger(1);
        Table.FieldByName("Name").SetAsString("one");
        Table.FieldByName("Note").SetAsMemo("a note of the first");
        Table.FieldByName("Active").SetAsBoolean(true);
        Table.Post();
        Table.ReleaseSavepoint("record");
        EmptyTheStatementCache(1);
        Table.Savepoint("record");
        AddRow(2, "refused", "02");
        Table.RollbackToSavepoint("record");
        Table.Savepoint("other");
        AddRow(3, "three", "03");
        Table.ReleaseSavepoint("other");
        EmptyTheStatementCache(2);
        Table.Savepoint("record");
        AddRow(4, "four", "04");
        Table.ReleaseSavepoint("record");
        Transaction.Commit();
    }
    ASSERT_TRUE(Table.FindKey({3}));
    Table.Edit();
    Table.FieldByName("Tel").SetAsString("0333");
    Table.Post();
    EmptyTheStatementCache(3);
    ASSERT_TRUE(Table.FindKey({4}));
    Table.Edit();
    Table.FieldByName("Tel").SetAsString("0444");
    Table.Post();

    EXPECT_EQ(Forward(), (QList<int>{1, 3, 4}));
    ASSERT_TRUE(Table.FindKey({1}));
    EXPECT_EQ(Table.FieldByName("Note").AsMemo(), "a note of the first");
    EXPECT_TRUE(Table.FieldByName("Active").AsBoolean());
    EXPECT_EQ(Table.FieldByName("Tel").AsString(), "");
    ASSERT_TRUE(Table.FindKey({3}));
    EXPECT_EQ(Table.FieldByName("Name").AsString(), "three");
    EXPECT_EQ(Table.FieldByName("Tel").AsString(), "0333");
    EXPECT_EQ(Table.FieldByName("Note").AsMemo(), "");
    EXPECT_FALSE(Table.FieldByName("Active").AsBoolean());
    ASSERT_TRUE(Table.FindKey({4}));
    EXPECT_EQ(Table.FieldByName("Tel").AsString(), "0444");

    // A record appended and cancelled gives the one before back whole.
    Table.Append();
    Table.FieldByName("Name").SetAsString("dropped");
    Table.Cancel();
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 4);
    EXPECT_EQ(Table.FieldByName("Name").AsString(), "four");
    Table.Edit();
    Table.FieldByName("Name").SetAsString("vier");
    Table.Post();
    Table.Refresh();
    EXPECT_EQ(Table.FieldByName("Name").AsString(), "vier");
    EXPECT_EQ(Table.RecordCount(), 3);
}

TEST_F(TableEngineTest, ExclusiveOpenShutsOthersOutAndMaintenanceKeepsRows)
{
    Table.CreateTable(PeopleDef(), "pw");
    DefaultSession().AddPassword("pw");
    Table.Open();
    for (int I = 1; I <= 50; ++I)
        AddRow(I, QString("name%1").arg(I), "0");
    ASSERT_TRUE(Table.FindKey({10}));
    Table.Delete();
    Table.Close();

    Table.SetExclusive(true);
    Table.Open();
    TSession Impatient;
    Impatient.AddPassword("pw");
    Impatient.SetBusyTimeout(50);
    TTable Other(Impatient);
    Other.SetDatabaseName(Dir.path());
    Other.SetTableName("People.DB");
    EXPECT_THROW(Other.Open(), EDatabaseError);

    Table.Pack();
    EXPECT_TRUE(Table.RegenerateIndexes().isEmpty());
    EXPECT_TRUE(Table.IntegrityCheck().isEmpty());
    Table.CopyTo(Dir.path() + "/Copy.DB");
    Table.Close();
    Table.SetExclusive(false);

    BackupTableFile(Dir.filePath("People.DB"), Dir.filePath("Backup.DB"));
    for (const char* Name : {"Copy.DB", "Backup.DB"}) {
        TTable Copy;
        Copy.SetDatabaseName(Dir.path());
        Copy.SetTableName(Name);
        Copy.Open();
        EXPECT_TRUE(Copy.Protected());
        EXPECT_EQ(Copy.RecordCount(), 49);
        Copy.SetIndexName("Name");
        EXPECT_TRUE(Copy.FindKey({"NAME20"}));
    }
    DefaultSession().RemovePassword("pw");
}

// A child posts rows until it is killed; every row it was told had been posted must be there.
TEST_F(TableEngineTest, PostedRowsSurviveAKill)
{
    Table.CreateTable(PeopleDef());
    int Pipe[2];
    ASSERT_EQ(pipe(Pipe), 0);
    const pid_t Child = fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        close(Pipe[0]);
        try {
            TTable Writer;
            Writer.SetDatabaseName(Dir.path());
            Writer.SetTableName("People.DB");
            Writer.Open();
            for (int RecNo = 1;; ++RecNo) {
                Writer.Append();
                Writer.FieldByName("RecNo").SetAsInteger(RecNo);
                Writer.FieldByName("Name").SetAsString(QString("row%1").arg(RecNo));
                Writer.FieldByName("Note").SetAsMemo(QString(500, QChar('x')));
                Writer.Post();
                if (write(Pipe[1], &RecNo, sizeof RecNo) != sizeof RecNo)
                    _exit(2);
            }
        } catch (...) {
            _exit(3);
        }
    }
    close(Pipe[1]);
    int Reported = 0;
    int Value = 0;
    while (Reported < 40 && read(Pipe[0], &Value, sizeof Value) == sizeof Value)
        Reported = Value;
    kill(Child, SIGKILL);
    while (read(Pipe[0], &Value, sizeof Value) == sizeof Value)
        Reported = Value;
    close(Pipe[0]);
    int Status = 0;
    waitpid(Child, &Status, 0);
    ASSERT_TRUE(WIFSIGNALED(Status));
    ASSERT_GE(Reported, 40);

    Table.Open();
    EXPECT_TRUE(Table.IntegrityCheck().isEmpty());
    for (int RecNo = 1; RecNo <= Reported; ++RecNo) {
        ASSERT_TRUE(Table.FindKey({RecNo})) << RecNo;
    }
    EXPECT_GE(Table.RecordCount(), Reported);
}

// A look-up in another index answers the first record of that index's order and leaves the cursor,
// its index and a range where they were; letter case counts as in FindKey.
TEST_F(TableEngineTest, LookupKeyAnswersWithoutMovingTheCursor)
{
    Table.CreateTable(PeopleDef());
    Table.Open();
    AddRow(3, "b", "0311");
    AddRow(1, "a", "0311");
    AddRow(2, "c", "0322");
    Table.SetIndexName("Name");
    Table.SetRange({"b"}, {"c"});
    ASSERT_TRUE(Table.FindKey({"c"}));
    EXPECT_EQ(Table.LookupKey("Tel", {"0311"}, "RecNo"), QVariant(qint64(1)));
    EXPECT_EQ(Table.LookupKey("Tel", {"0322"}, "Name"), QVariant(QStringLiteral("c")));
    EXPECT_FALSE(Table.LookupKey("Tel", {"0399"}, "RecNo").isValid());
    EXPECT_EQ(Table.LookupKey("Name", {"A"}, "RecNo"), QVariant(qint64(1))) << "the index folds case";
    EXPECT_EQ(Table.LookupKey("", {2}, "Name"), QVariant(QStringLiteral("c")));
    EXPECT_EQ(Table.FieldByName("RecNo").AsInteger(), 2);
    EXPECT_EQ(Table.IndexName(), QStringLiteral("Name"));
    EXPECT_EQ(Forward(), QList<int>({3, 2}));
    EXPECT_THROW((void)Table.LookupKey("Gone", {"x"}, "RecNo"), EDatabaseError);
}

// A table object that goes away in the middle of its work (a record being edited inside a bulk
// transaction, a filtered read-ahead walk) takes nothing with it: the edit and the transaction are
// dropped, and its hold on the file is gone, so an exclusive opener gets in. A failed open leaves
// the object as it was, free to open the table once its password is known.
TEST_F(TableEngineTest, ATableGoneMidWorkOrAfterAFailedOpenLeavesTheFileFree)
{
    Table.CreateTable(PeopleDef(), "late");
    TSession Session;
    Session.SetBusyTimeout(50);
    {
        TTable Busy(Session);
        Busy.SetDatabaseName(Dir.path());
        Busy.SetTableName("People.DB");
        EXPECT_THROW(Busy.Open(), EDatabaseError);
        EXPECT_FALSE(Busy.Active());
        Session.AddPassword("late");
        Busy.Open();
        for (int I = 1; I <= 30; ++I) {
            Busy.Append();
            Busy.FieldByName("RecNo").SetAsInteger(I);
            Busy.FieldByName("Name").SetAsString(QString("n%1").arg(I));
            Busy.Post();
        }
        Busy.SetFilter([](TTable& Row) { return Row.FieldByName("RecNo").AsInteger() % 2 == 0; });
        Busy.SetFiltered(true);
        Busy.SetReadAhead(true, 4);
        Busy.MoveBy(1);
        Busy.MoveBy(1);
        ASSERT_EQ(Busy.FieldByName("RecNo").AsInteger(), 6);
        Busy.StartTransaction();
        Busy.Edit();
        Busy.FieldByName("Name").SetAsString("unposted");
    }
    TTable Exclusive(Session);
    Exclusive.SetDatabaseName(Dir.path());
    Exclusive.SetTableName("People.DB");
    Exclusive.SetExclusive(true);
    Exclusive.Open();
    EXPECT_EQ(Exclusive.RecordCount(), 30);
    ASSERT_TRUE(Exclusive.FindKey({6}));
    EXPECT_EQ(Exclusive.FieldByName("Name").AsString(), QStringLiteral("n6"));
}

} // namespace
