// The table file as other programs and versions meet it: files it cannot read, the connection it
// opens, copies while others hold the file, exclusive use and who may read the file.
#include "platform/db/Table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

TTableDef NotesDef()
{
    return {{{"RecNo", TFieldType::Integer, 0}, {"Name", TFieldType::String, 20}, {"Note", TFieldType::Memo, 100}},
            {{"", "RecNo", true, true, false}, {"Name", "Name", false, false, true}}};
}

// Runs Sql on the file through a plain connection of its own.
void ExecOn(const QString& File, const char* Sql)
{
    sqlite3* Db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(File).constData(), &Db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(Db, Sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(Db);
    sqlite3_close(Db);
}

class TableFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        Table.SetDatabaseName(Dir.path());
        Table.SetTableName("Notes.DB");
    }
    QString File() const { return Dir.filePath("Notes.DB"); }
    void AddRows(TTable& Into, int Count)
    {
        for (int RecNo = 1; RecNo <= Count; ++RecNo) {
            Into.Append();
            Into.FieldByName("RecNo").SetAsInteger(RecNo);
            Into.FieldByName("Name").SetAsString(QString("name%1").arg(RecNo));
            Into.Post();
        }
    }

    QTemporaryDir Dir;
    TTable Table;
};

// A later version may keep types this one does not know, or the file may not be a table at all:
// either is refused as a whole with a message naming the file, and the table stays closed.
TEST_F(TableFileTest, FilesThisVersionCannotReadAreRefusedWhole)
{
    struct TCase
    {
        const char* Damage;
        const char* Said;
    };
    const TCase Cases[] = {
        {"UPDATE _meta SET Type = 'Decimal' WHERE Kind = 'field' AND Name = 'Name'", "Unknown field type Decimal"},
        {"UPDATE _meta SET Value = '2' WHERE Kind = 'table' AND Name = 'Format'", "Not a table file of this program"},
        {"DROP TABLE _meta", "Not a table file"},
    };
    for (const TCase& Case : Cases) {
        Table.CreateTable(NotesDef());
        ExecOn(File(), Case.Damage);
        try {
            Table.Open();
            ADD_FAILURE() << "opened after " << Case.Damage;
        } catch (const EDatabaseError& Error) {
            EXPECT_TRUE(Error.Message().contains(Case.Said)) << Error.Message().toStdString();
            EXPECT_TRUE(Error.Message().contains(File())) << Error.Message().toStdString();
        }
        EXPECT_FALSE(Table.Active());
        EXPECT_EQ(Table.State(), TDataSetState::Inactive);
        Table.DeleteTable();
    }
    // The same object opens a sound file afterwards.
    Table.CreateTable(NotesDef());
    Table.Open();
    EXPECT_EQ(Table.Definition(), NotesDef());
}

} // namespace
