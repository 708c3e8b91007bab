// The real utility optimises a data folder where a directory copied from elsewhere carries statements
// in its schema that reach out of the folder: it refuses that table, runs none of it, and
// optimises the call history beside it.
#include "main/tables/DBInfo.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/TableFaults.h"
#include "utility/start/UtilityRunning.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

void MakeTable(const QString& Folder, TDataTable Which, const QList<int>& RecNos)
{
    TDMVxRelvo16 Module(Folder, Folder);
    Which == TDataTable::RecvHis ? Module.CreateRecvHisTable() : Module.CreateMeiboTable();
    TTableUse Use(Module, Which);
    TTable& Table = *(Which == TDataTable::RecvHis ? RecvHisTable : MeiboTable);
    for (int RecNo : RecNos) {
        Table.Append();
        Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
        Table.FieldByName(QStringLiteral("CorpKanji")).SetAsString(QStringLiteral("会社%1").arg(RecNo));
        Table.Post();
    }
}

QByteArray Bytes(const QString& File)
{
    QFile In(File);
    return In.open(QIODevice::ReadOnly) ? In.readAll() : QByteArray("<missing>");
}

TEST(UtilityTablesE2ETest, TheOptimisationRefusesADirectoryWhoseSchemaReachesOutAndOptimisesTheRest)
{
    TProgramHarness Program;
    Program.SetProgram(QStringLiteral("VxUtil16"), Utility::UTILITY_INSTANCE_NAME);
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("Yes,OK"));
    const QString Data = Program.DataFolder();
    const QString Outside = Program.TempPath(QStringLiteral("outside/"));
    const QString Keys = Program.DataHome() + QStringLiteral(".ssh/authorized_keys");
    ASSERT_TRUE(QDir().mkpath(Outside));
    ASSERT_TRUE(QDir().mkpath(Program.DataHome() + QStringLiteral(".ssh")));
    MakeTable(Data, TDataTable::Meibo, {0, 1, 4});
    MakeTable(Data, TDataTable::RecvHis, {0, 2, 5});
    // The statements end the rebuild's transaction, drop the call history beside the directory,
    // attach and write a file of their own and copy the whole directory out.
    ASSERT_TRUE(TableFaults::EditSchema(
        Data + MeiboFileName,
        QStringLiteral("UPDATE sqlite_master SET sql = sql || '; COMMIT; ATTACH DATABASE ''%1'' AS Near; "
                       "DROP TABLE Near.RecvHis; DETACH DATABASE Near; ATTACH DATABASE ''%2'' AS Far; "
                       "CREATE TABLE Far.Taken (Name); INSERT INTO Far.Taken SELECT CorpKanji FROM main.Meibo; "
                       "DETACH DATABASE Far; VACUUM main INTO ''%3''; BEGIN' WHERE name = 'Meibo'")
            .arg(Data + RecvHisFileName, Outside + QStringLiteral("attached.db"), Keys)));
    const QByteArray Meibo = Bytes(Data + MeiboFileName);

    ASSERT_TRUE(Program.Start());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("bbtnOptimize"));
    ASSERT_TRUE(Program.WaitForBox(
        QStringLiteral("「Meibo.DB」は Tolvane１６ のテーブルとして認識できないため、最適化できませんでした  ")));
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("btnCancel"));
    ASSERT_TRUE(Program.Process().waitForFinished(TProgramHarness::Patience));

    EXPECT_EQ(Bytes(Data + MeiboFileName), Meibo);
    EXPECT_TRUE(QDir(Outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_FALSE(QFile::exists(Keys));
    EXPECT_EQ(Program.Rows(QStringLiteral("SELECT RecNo FROM RecvHis ORDER BY RecNo")), (QStringList{"0", "1", "2"}));
    // The data folder holds the tables and the safety copy of the optimisation, and nothing else.
    EXPECT_EQ(QDir(Data).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{QStringLiteral("Meibo.DB"), QStringLiteral("RecvHis.DB"), QStringLiteral("backup.opt")}));
}

} // namespace
