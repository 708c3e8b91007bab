#include "platform/db/Table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    }

    QTemporaryDir Dir;
    TSession Session;
    TTable Table{Session};
};

TEST_F(TableRebuildTest, KeepsRowsDefinitionsPasswordAndNumbering)
{
    EXPECT_EQ(Table.Rebuild(), 2);
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
    EXPECT_THROW(Table.Rebuild([](const QString&) { throw EDatabaseError(QStringLiteral("refused")); }),
                 EDatabaseError);
    EXPECT_EQ(Bytes(File), Before);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Names.DB")});

    // Without the password, nothing is read or written.
    TSession Stranger;
    TTable Foreign(Stranger);
    Foreign.SetDatabaseName(Dir.path());
    Foreign.SetTableName(QStringLiteral("Names.DB"));
    EXPECT_THROW(Foreign.Rebuild(), EDatabaseError);
    EXPECT_EQ(Bytes(File), Before);

    // An open table is not rebuilt under its own feet, nor one another object holds open.
    Table.Open();
    EXPECT_THROW(Table.Rebuild(), EDatabaseError);
    TTable Other(Session);
    Other.SetDatabaseName(Dir.path());
    Other.SetTableName(QStringLiteral("Names.DB"));
    EXPECT_THROW(Other.Rebuild(), EDatabaseError);
    Table.Close();
    EXPECT_EQ(Bytes(File), Before);
}

} // namespace
