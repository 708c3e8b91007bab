// The rebuild of a table's file from its definition: what it keeps, and files it refuses, which may
// carry any statements in their schema, none of which may run.
#include "platform/db/Table.h"
#include "tests/support/SqlRows.h"
#include "tests/support/TableFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QString Password = QStringLiteral("rebuild-pw");

TTableDef NumberedDef()
{
    return {{{QStringLiteral("Id"), TFieldType::AutoInc, 0}, {QStringLiteral("Name"), TFieldType::String, 20}},
            {{QString(), QStringLiteral("Id"), true, true, false},
             {QStringLiteral("Name"), QStringLiteral("Name"), false, false, true}}};
}

QByteArray Bytes(const QString& File)
{
    QFile In(File);
    return In.open(QIODevice::ReadOnly) ? In.readAll() : QByteArray();
}

class TableRebuildTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Session.AddPassword(Password);
        Table.SetDatabaseName(Dir.path());
        Table.SetTableName(QStringLiteral("Names.DB"));
        Table.CreateTable(NumberedDef(), Password);
        Table.Open();
        for (const char* Name : {"b", "a", "c"}) {
            Table.Append();
            Table.FieldByName(QStringLiteral("Name")).SetAsString(QString::fromLatin1(Name));
            Table.Post();
        }
        // The last number given stays given: a rebuilt table must not hand it out again.
        Table.Last();
        Table.Delete();
        Table.Close();
        ASSERT_TRUE(TableFaults::EditSchema(Victim(), QStringLiteral("CREATE TABLE Victim (Name); "
                                                                     "INSERT INTO Victim VALUES ('kept')")));
        VictimBytes = Bytes(Victim());
    }

    QString File() const { return Dir.filePath(QStringLiteral("Names.DB")); }

    // Statements that, run, would reach outside the table's folder: the transaction they would run in
    // ended, a table of another file dropped, a file attached and written, the whole table copied out.
    QString Payload() const
    {
        return QStringLiteral("; COMMIT; ATTACH DATABASE '%1' AS Near; DROP TABLE Near.Victim; DETACH DATABASE Near; "
                              "ATTACH DATABASE '%2' AS Far; CREATE TABLE Far.Taken (Name); "
                              "INSERT INTO Far.Taken SELECT Name FROM main.Names; DETACH DATABASE Far; "
                              "VACUUM main INTO '%3'; BEGIN")
            .arg(Victim(), Outside.filePath(QStringLiteral("attached.db")),
                 Outside.filePath(QStringLiteral("copied.db")));
    }
    QString Victim() const { return Outside.filePath(QStringLiteral("victim.db")); }

    // The folder outside holds what it held before the test: the other file, as it was.
    void ExpectOutsideUntouched() const
    {
        EXPECT_EQ(QDir(Outside.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("victim.db")});
        EXPECT_EQ(Bytes(Victim()), VictimBytes);
    }

    // The catalogue of the table file, as SQLite keeps it.
    static QStringList Schema(const QString& File)
    {
        return SqlRows(File, "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name");
    }

    QTemporaryDir Dir;
    QTemporaryDir Outside;
    QByteArray VictimBytes;
    TSession Session;
    TTable Table{Session};
};

// A file that holds what the definition does not is refused as it is, and nothing of its schema runs.
TEST_F(TableRebuildTest, AFileThatHoldsWhatTheDefinitionDoesNotIsRefusedAndNothingOfItRuns)
{
    struct TCase
    {
        const char* Name;
        std::function<bool()> Craft;
        TTableDef Def;
    };
    auto Literal = [](QString Text) { return Text.replace(u'\'', QStringLiteral("''")); };
    auto Exec = [this](const char* Sql) { return TableFaults::EditSchema(File(), QString::fromLatin1(Sql)); };
    TTableDef Wider = NumberedDef();
    Wider.Fields.append({QStringLiteral("Extra"), TFieldType::String, 10});
    TTableDef Narrower = NumberedDef();
    Narrower.Fields[1].Size = 30;
    const std::vector<TCase> Cases = {
        {"statements after the table's own",
         [&] {
             return TableFaults::EditSchema(File(), QStringLiteral("UPDATE sqlite_master SET sql = sql || '%1' "
                                                                   "WHERE name = 'Names'")
                                                        .arg(Literal(Payload())));
         },
         NumberedDef()},
        {"statements after the definition table's",
         [&] {
             return TableFaults::EditSchema(File(), QStringLiteral("UPDATE sqlite_master SET sql = sql || '%1' "
                                                                   "WHERE name = '_meta'")
                                                        .arg(Literal(Payload())));
         },
         NumberedDef()},
        {"a trigger", [&] { return Exec("CREATE TRIGGER Wipe AFTER INSERT ON Names BEGIN DELETE FROM _meta; END"); },
         NumberedDef()},
        {"a view", [&] { return Exec("CREATE VIEW Shown AS SELECT Name FROM Names"); }, NumberedDef()},
        {"another table", [&] { return Exec("CREATE TABLE Other (Name TEXT)"); }, NumberedDef()},
        {"a column of its own", [&] { return Exec("ALTER TABLE Names ADD COLUMN Extra TEXT"); }, NumberedDef()},
        {"a field the definition lacks", [] { return true; }, Wider},
        {"a field made otherwise", [] { return true; }, Narrower},
    };
    const QString Original = Dir.filePath(QStringLiteral("Original.DB"));
    ASSERT_TRUE(QFile::copy(File(), Original));
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        QFile::remove(File());
        ASSERT_TRUE(QFile::copy(Original, File()));
        ASSERT_TRUE(Case.Craft());
        const QByteArray Before = Bytes(File());
        EXPECT_THROW(Table.Rebuild(Case.Def), EForeignTableError);
        EXPECT_EQ(Bytes(File()), Before);
        EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{QStringLiteral("Names.DB"), QStringLiteral("Original.DB")}));
        ExpectOutsideUntouched();
    }
}

// Indexes hold nothing of their own: whatever the file keeps for them (a missing one, a changed one,
// one the program never made, statements after one), the rebuilt file has the definition's, and
// nothing of the old texts runs.
TEST_F(TableRebuildTest, TheIndexesComeFromTheDefinitionWhateverTheFileHeldForThem)
{
    QTemporaryDir Fresh;
    {
        TTable Reference(Session);
        Reference.SetDatabaseName(Fresh.path());
        Reference.SetTableName(QStringLiteral("Names.DB"));
        Reference.CreateTable(NumberedDef(), Password);
    }
    const QStringList Made = Schema(Fresh.filePath(QStringLiteral("Names.DB")));
    const QString Original = Dir.filePath(QStringLiteral("Original.DB"));
    ASSERT_TRUE(QFile::copy(File(), Original));
    const QString Literal = QString(Payload()).replace(u'\'', QStringLiteral("''"));
    for (const QString& Craft :
         {QStringLiteral("UPDATE sqlite_master SET sql = sql || '%1' WHERE name = 'Names_Name'").arg(Literal),
          QStringLiteral("DROP INDEX Names_Name"),
          QStringLiteral("DROP INDEX Names_Name; CREATE INDEX Names_Name ON Names (Id)"),
          QStringLiteral("CREATE INDEX Mine ON Names (Name, Id)")}) {
        SCOPED_TRACE(Craft.toStdString());
        QFile::remove(File());
        ASSERT_TRUE(QFile::copy(Original, File()));
        ASSERT_TRUE(TableFaults::EditSchema(File(), Craft));
        ASSERT_NE(Schema(File()), Made);
        EXPECT_EQ(Table.Rebuild(NumberedDef()), 2);
        EXPECT_EQ(Schema(File()), Made);
        ExpectOutsideUntouched();
        Table.Open();
        EXPECT_TRUE(Table.IntegrityCheck().isEmpty());
        Table.SetIndexName(QStringLiteral("Name"));
        Table.First();
        EXPECT_EQ(Table.FieldByName(QStringLiteral("Name")).AsString(), QStringLiteral("a"));
        Table.SetIndexName({});
        Table.Close();
    }
}

// Pack rewrites the file from its own schema's statements: it runs only on a schema the engine made.
TEST_F(TableRebuildTest, PackingRefusesASchemaTheEngineDidNotMake)
{
    const QString Literal = QString(Payload()).replace(u'\'', QStringLiteral("''"));
    ASSERT_TRUE(TableFaults::EditSchema(
        File(), QStringLiteral("UPDATE sqlite_master SET sql = sql || '%1' WHERE name = 'Names_Name'").arg(Literal)));
    const QByteArray Before = Bytes(File());
    Table.Open();
    EXPECT_THROW(Table.Pack(), EForeignTableError);
    Table.Close();
    EXPECT_EQ(Bytes(File()), Before);
    ExpectOutsideUntouched();
    // Rebuilt from its definition, it packs again.
    EXPECT_EQ(Table.Rebuild(NumberedDef()), 2);
    Table.Open();
    EXPECT_NO_THROW(Table.Pack());
    EXPECT_EQ(Table.RecordCount(), 2);
}

TEST_F(TableRebuildTest, KeepsRowsDefinitionsPasswordAndNumbering)
{
    EXPECT_EQ(Table.Rebuild(NumberedDef()), 2);
    TSession Stranger;
    TTable Foreign(Stranger);
    Foreign.SetDatabaseName(Dir.path());
    Foreign.SetTableName(QStringLiteral("Names.DB"));
    EXPECT_THROW(Foreign.Open(), EDatabaseError);

    Table.Open();
    EXPECT_EQ(Table.Definition(), NumberedDef());
    EXPECT_TRUE(Table.IntegrityCheck().isEmpty());
    Table.SetIndexName(QStringLiteral("Name"));
    Table.First();
    EXPECT_EQ(Table.FieldByName(QStringLiteral("Name")).AsString(), QStringLiteral("a"));
    Table.Append();
    Table.FieldByName(QStringLiteral("Name")).SetAsString(QStringLiteral("d"));
    Table.Post();
    EXPECT_EQ(Table.FieldByName(QStringLiteral("Id")).AsInteger(), 4);
    Table.Close();
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Names.DB")});
}

TEST_F(TableRebuildTest, AFailureLeavesTheOldFileAndNoNewOne)
{
    const QString File = Dir.filePath(QStringLiteral("Names.DB"));
    const QByteArray Before = Bytes(File);
    EXPECT_THROW(Table.Rebuild(NumberedDef(), [](const QString&) { throw EDatabaseError(QStringLiteral("refused")); }),
                 EDatabaseError);
    EXPECT_EQ(Bytes(File), Before);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Names.DB")});

    // Without the password, nothing is read or written.
    TSession Stranger;
    TTable Foreign(Stranger);
    Foreign.SetDatabaseName(Dir.path());
    Foreign.SetTableName(QStringLiteral("Names.DB"));
    EXPECT_THROW(Foreign.Rebuild(NumberedDef()), EDatabaseError);
    EXPECT_EQ(Bytes(File), Before);

    // An open table is not rebuilt under its own feet, nor one another object holds open.
    Table.Open();
    EXPECT_THROW(Table.Rebuild(NumberedDef()), EDatabaseError);
    TTable Other(Session);
    Other.SetDatabaseName(Dir.path());
    Other.SetTableName(QStringLiteral("Names.DB"));
    EXPECT_THROW(Other.Rebuild(NumberedDef()), EDatabaseError);
    Table.Close();
    EXPECT_EQ(Bytes(File), Before);
}

} // namespace
