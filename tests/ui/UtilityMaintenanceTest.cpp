#include "main/start/MainHooks.h"
#include "main/start/ProgramStart.h"
#include "platform/sys/SingleInstance.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/SqlRows.h"
#include "tests/support/TableFaults.h"
#include "tests/support/UtilityWorld.h"
#include "utility/forms/UtilMainForm.h"
#include "utility/start/UtilityRunning.h"
#include "utility/tables/Maintenance.h"
#include "utility/tables/TableSafety.h"

#include <QComboBox>
#include <QDirIterator>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace Utility;

namespace {

const QString Finished = QStringLiteral("最適化が終了しました  ");

QStringList MeiboNumbers(const TUtilityWorld& World)
{
    return SqlRows(World.Data() + MeiboFileName, "SELECT RecNo, CorpKanji FROM Meibo ORDER BY RecNo");
}

// Overwrites the root page of the named index with rubbish, as a torn write would leave it.
void DamageIndex(const QString& File, const char* Index)
{
    int Root = 0;
    int PageSize = 0;
    sqlite3* Db = nullptr;
    sqlite3_open_v2(QFile::encodeName(File).constData(), &Db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* Statement = nullptr;
    sqlite3_prepare_v2(Db, "SELECT rootpage FROM sqlite_master WHERE name = ?", -1, &Statement, nullptr);
    sqlite3_bind_text(Statement, 1, Index, -1, SQLITE_STATIC);
    if (sqlite3_step(Statement) == SQLITE_ROW)
        Root = sqlite3_column_int(Statement, 0);
    sqlite3_finalize(Statement);
    sqlite3_prepare_v2(Db, "PRAGMA page_size", -1, &Statement, nullptr);
    if (sqlite3_step(Statement) == SQLITE_ROW)
        PageSize = sqlite3_column_int(Statement, 0);
    sqlite3_finalize(Statement);
    sqlite3_close(Db);
    ASSERT_GT(Root, 1);
    QFile Out(File);
    ASSERT_TRUE(Out.open(QIODevice::ReadWrite));
    Out.seek(qint64(Root - 1) * PageSize);
    Out.write(QByteArray(PageSize, '\x5a'));
}

// The record numbers 0 .. Count-1.
QList<int> Numbered(int Count)
{
    QList<int> Numbers;
    for (int I = 0; I < Count; ++I)
        Numbers << I;
    return Numbers;
}

// What the engine's check finds in a table file; empty when it is sound.
QStringList Integrity(const QString& File)
{
    DefaultSession().AddPassword(MasterPassword);
    TTable Table;
    Table.SetDatabaseName(QFileInfo(File).absolutePath());
    Table.SetTableName(QFileInfo(File).fileName());
    Table.Open();
    return Table.IntegrityCheck();
}

// Every file under Folder but the runtime folder's, with its bytes, by its path inside Folder.
QMap<QString, QByteArray> Files(const QString& Folder)
{
    QMap<QString, QByteArray> Result;
    QDirIterator It(Folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (It.hasNext()) {
        const QString File = QDir(Folder).relativeFilePath(It.next());
        // The programs' locks come and go in the runtime folder.
        if (!File.startsWith(QStringLiteral("run/")))
            Result.insert(File, TUtilityWorld::Bytes(Folder + u'/' + File));
    }
    return Result;
}

// The files that appeared or changed under Folder since Before.
QStringList Changed(const QMap<QString, QByteArray>& Before, const QString& Folder)
{
    QStringList Result;
    const QMap<QString, QByteArray> After = Files(Folder);
    for (auto It = After.cbegin(); It != After.cend(); ++It)
        if (Before.value(It.key(), QByteArray("<none>")) != It.value())
            Result << It.key();
    for (auto It = Before.cbegin(); It != Before.cend(); ++It)
        if (!After.contains(It.key()))
            Result << It.key();
    return Result;
}

// A directory and a call history copied from elsewhere, whose schemas carry statements that reach
// out of the table (the transaction they would run in ended, the call history beside it dropped, a
// file attached and written, the whole directory copied out) and a trigger.
void CraftTables(const TUtilityWorld& World)
{
    World.MakeTable(TDataTable::Meibo, {0, 1, 4});
    World.MakeTable(TDataTable::RecvHis, {0, 3});
    const QString Payload =
        QStringLiteral("; COMMIT; ATTACH DATABASE ''%1'' AS Near; DROP TABLE Near.RecvHis; DETACH DATABASE Near; "
                       "ATTACH DATABASE ''%2'' AS Far; CREATE TABLE Far.Taken (Name); "
                       "INSERT INTO Far.Taken SELECT CorpKanji FROM main.Meibo; DETACH DATABASE Far; "
                       "VACUUM main INTO ''%3''; BEGIN")
            .arg(World.Data() + RecvHisFileName, World.Path(QStringLiteral("outside/attached.db")),
                 World.Path(QStringLiteral("home/.ssh/authorized_keys")));
    ASSERT_TRUE(TableFaults::EditSchema(
        World.Data() + MeiboFileName,
        QStringLiteral("UPDATE sqlite_master SET sql = sql || '%1' WHERE name = 'Meibo'").arg(Payload)));
    ASSERT_TRUE(TableFaults::EditSchema(World.Data() + RecvHisFileName,
                                        QStringLiteral("CREATE TRIGGER Spread AFTER INSERT ON RecvHis BEGIN "
                                                       "DELETE FROM _meta; END")));
    QDir().mkpath(World.Path(QStringLiteral("outside")));
    QDir().mkpath(World.Path(QStringLiteral("home/.ssh")));
}

} // namespace

TEST(UtilityOptimizeTest, RenumbersOnlyWhereTheLastNumberIsOffAndKeepsThePassword)
{
    TUtilityWorld World;
    TScriptedBoxes Boxes("Yes");
    World.MakeTable(TDataTable::Meibo, {0, 1, 4});
    World.MakeTable(TDataTable::RecvHis, {0, 1, 2});
    const QByteArray HisBefore = SqlRows(World.Data() + RecvHisFileName, "SELECT * FROM RecvHis").join('\n').toUtf8();
    EXPECT_TRUE(RunOptimize());
    EXPECT_EQ(MeiboNumbers(World),
              (QStringList{QStringLiteral("0|会社0"), QStringLiteral("1|会社1"), QStringLiteral("2|会社4")}));
    EXPECT_EQ(SqlRows(World.Data() + RecvHisFileName, "SELECT * FROM RecvHis").join('\n').toUtf8(), HisBefore);
    EXPECT_EQ(Boxes.Texts().last(), Finished);
    // The safety copy holds the numbers as they were.
    EXPECT_EQ(SqlRows(World.Data() + "backup.opt/Meibo.DB", "SELECT RecNo FROM Meibo ORDER BY RecNo"),
              (QStringList{"0", "1", "4"}));

    // The packed file still opens only with the table password.
    TSession Stranger;
    TTable Foreign(Stranger);
    Foreign.SetDatabaseName(World.Data());
    Foreign.SetTableName(MeiboFileName);
    EXPECT_THROW(Foreign.Open(), EDatabaseError);
}

// The safety copy holds every customer's data: its folder and files are the owner's alone, even
// under a session's open umask and from originals that were readable by all.
TEST(UtilityOptimizeTest, TheSafetyCopyIsTheOwnersAloneUnderAnyUmask)
{
    TUtilityWorld World;
    TScriptedBoxes Boxes("Yes");
    World.MakeTable(TDataTable::Meibo, {0, 1});
    World.MakeTable(TDataTable::RecvHis, {0});
    for (const char* Name : {"Rank.mtd", "SelItem1.mtd", "LPRHis.tpl"}) {
        QFile File(World.Data() + QLatin1String(Name));
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write("list");
        File.close();
        ASSERT_TRUE(File.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    const mode_t Saved = umask(0);
    const bool Ran = RunOptimize();
    umask(Saved);
    ASSERT_TRUE(Ran);
    const QString Copy = World.Data() + QStringLiteral("backup.opt");
    struct stat Info
    {
    };
    ASSERT_EQ(stat(QFile::encodeName(Copy).constData(), &Info), 0);
    EXPECT_EQ(Info.st_mode & 0777, 0700u);
    QStringList Open;
    for (const QFileInfo& Entry : QDir(Copy).entryInfoList(QDir::Files | QDir::Hidden)) {
        ASSERT_EQ(stat(QFile::encodeName(Entry.filePath()).constData(), &Info), 0);
        if ((Info.st_mode & 0777) != 0600)
            Open << Entry.fileName();
    }
    EXPECT_EQ(Open, QStringList());
    EXPECT_TRUE(QFile::exists(Copy + QStringLiteral("/LPRHis.tpl")));
}

TEST(UtilityOptimizeTest, EmptyAndMissingTablesAreMadeAndTheEndMessageStillComes)
{
    TUtilityWorld World;
    TScriptedBoxes Boxes("Yes");
    World.MakeTable(TDataTable::RecvHis, {});
    ASSERT_FALSE(QFile::exists(World.Data() + MeiboFileName));
    EXPECT_TRUE(RunOptimize());
    EXPECT_TRUE(QFile::exists(World.Data() + MeiboFileName));
    EXPECT_TRUE(MeiboNumbers(World).isEmpty());
    EXPECT_EQ(Boxes.Texts().last(), Finished);
}

TEST(UtilityOptimizeTest, RunsWithoutItsSafetyCopyWhenTheDiskIsFull)
{
    TUtilityWorld World;
    TScriptedBoxes Boxes("Yes");
    World.MakeTable(TDataTable::Meibo, {3, 7});
    const TMeasure Saved = MeasureTableFiles;
    MeasureTableFiles = [](const QString&, const QStringList&, const QString&) {
        return TBackupMeasure{4096, 8192, 0};
    };
    const bool Ran = RunOptimize();
    MeasureTableFiles = Saved;
    EXPECT_TRUE(Ran);
    EXPECT_TRUE(Boxes.Texts().contains(QStringLiteral("バックアップを取るための空き容量が足りません  ")));
    EXPECT_FALSE(QFile::exists(World.Data() + "backup.opt/Meibo.DB"));
    EXPECT_EQ(MeiboNumbers(World), (QStringList{QStringLiteral("0|会社3"), QStringLiteral("1|会社7")}));
    EXPECT_EQ(Boxes.Texts().last(), Finished);
}

TEST(UtilityOptimizeTest, ATableThatCannotBeOptimisedIsNamedInTheEndMessage)
{
    TUtilityWorld World;
    TScriptedBoxes Boxes("Yes");
    World.MakeTable(TDataTable::RecvHis, {0, 5});
    // A Meibo.DB that is no table of ours cannot be opened, renumbered or packed.
    QFile Broken(World.Data() + MeiboFileName);
    ASSERT_TRUE(Broken.open(QIODevice::WriteOnly));
    Broken.write(QByteArray(4096, 'x'));
    Broken.close();
    EXPECT_TRUE(RunOptimize());
    EXPECT_EQ(Boxes.Texts().last(), QStringLiteral("登録名簿ファイルの最適化に失敗しました  "));
}

// The optimisation refuses both tables as they are, names each, and runs nothing of what they carry:
// no file outside the data folder's safety copy appears or changes.
TEST(UtilityForeignTableTest, TheOptimisationRefusesTablesWhoseSchemaCarriesStatements)
{
    TUtilityWorld World;
    CraftTables(World);
    const QMap<QString, QByteArray> Before = Files(World.Path(QString()));
    TScriptedBoxes Boxes("Yes");
    EXPECT_TRUE(RunOptimize());
    EXPECT_EQ(
        Boxes.Texts().last(),
        QStringLiteral("「RecvHis.DB」は Tolvane１６ のテーブルとして認識できないため、最適化できませんでした  "
                       "\r\n「Meibo.DB」は Tolvane１６ のテーブルとして認識できないため、最適化できませんでした  "));
    EXPECT_EQ(Boxes.Boxes().last().value(QStringLiteral("icon")).toString(), QStringLiteral("Warning"));
    for (const QString& File : Changed(Before, World.Path(QString()))) {
        EXPECT_TRUE(File.startsWith(QStringLiteral("data/backup.opt/"))) << File.toStdString();
    }
}

// The repair refuses each of them the same way: the table is as it was, its copy in backup.rep.
TEST(UtilityForeignTableTest, TheRepairRefusesTablesWhoseSchemaCarriesStatements)
{
    TUtilityWorld World;
    CraftTables(World);
    const QMap<QString, QByteArray> Before = Files(World.Path(QString()));
    TScriptedBoxes Boxes("Yes,OK,Yes,OK");
    EXPECT_FALSE(RunRepair(0));
    EXPECT_EQ(Boxes.Texts().last(), NotRepairedText(TDataTable::RecvHis));
    EXPECT_FALSE(RunRepair(1));
    EXPECT_EQ(Boxes.Texts().last(),
              QStringLiteral("「Meibo.DB」は Tolvane１６ のテーブルとして認識できないため、修復できませんでした  "));
    EXPECT_EQ(Boxes.Boxes().last().value(QStringLiteral("icon")).toString(), QStringLiteral("Stop"));
    EXPECT_EQ(Changed(Before, World.Path(QString())),
              (QStringList{QStringLiteral("data/backup.rep/Meibo.DB"), QStringLiteral("data/backup.rep/RecvHis.DB")}));
}

// The program's own table beside a refused one still optimises; an index an administrator added to
// a table of ours, or one that went missing, is no reason to refuse it: the rebuilt file has the
// program's indexes.
TEST(UtilityForeignTableTest, TheProgramsOwnTablesStillOptimiseWhateverTheirIndexes)
{
    TUtilityWorld World;
    CraftTables(World);
    ASSERT_TRUE(QFile::remove(World.Data() + RecvHisFileName));
    World.MakeTable(TDataTable::RecvHis, {0, 2, 5});
    TScriptedBoxes Boxes("Yes,OK,Yes");
    EXPECT_TRUE(RunOptimize());
    EXPECT_EQ(Boxes.Texts().last(), NotOptimisedText(TDataTable::Meibo));
    EXPECT_EQ(SqlRows(World.Data() + RecvHisFileName, "SELECT RecNo FROM RecvHis ORDER BY RecNo"),
              (QStringList{"0", "1", "2"}));

    ASSERT_TRUE(QFile::remove(World.Data() + MeiboFileName));
    World.MakeTable(TDataTable::Meibo, {0, 1, 4});
    const QStringList Indexes = SqlIndexNames(World.Data() + MeiboFileName);
    ASSERT_TRUE(
        TableFaults::EditSchema(World.Data() + MeiboFileName, QStringLiteral("CREATE INDEX Mine ON Meibo (Tel1, Tel2); "
                                                                             "DROP INDEX Meibo_CorpKana")));
    EXPECT_TRUE(RunOptimize());
    EXPECT_EQ(Boxes.Texts().last(), Finished);
    EXPECT_EQ(MeiboNumbers(World),
              (QStringList{QStringLiteral("0|会社0"), QStringLiteral("1|会社1"), QStringLiteral("2|会社4")}));
    EXPECT_EQ(SqlIndexNames(World.Data() + MeiboFileName), Indexes);
    EXPECT_TRUE(Integrity(World.Data() + MeiboFileName).isEmpty());
}

TEST(UtilityRepairTest, ADamagedIndexIsRebuiltWithEveryRowAndTheOldFileKept)
{
    TUtilityWorld World;
    TScriptedBoxes Boxes("Yes");
    World.MakeTable(TDataTable::Meibo, Numbered(400));
    const QString File = World.Data() + MeiboFileName;
    DamageIndex(File, "Meibo_CorpKanji");
    ASSERT_FALSE(Integrity(File).isEmpty());
    const QByteArray Damaged = TUtilityWorld::Bytes(File);

    EXPECT_TRUE(RunRepair(1));
    EXPECT_EQ(Boxes.Texts().last(),
              QStringLiteral("修復が終了しました  \r\n\r\n保存できたレコード：400 件  \r\n失われたレコード：0 件  "));
    EXPECT_TRUE(Integrity(File).isEmpty());
    EXPECT_EQ(SqlRows(File, "SELECT count(*) FROM Meibo"), QStringList{"400"});
    // The safety copy is the damaged table as it was.
    EXPECT_FALSE(Integrity(World.Data() + "backup.rep/Meibo.DB").isEmpty());
    EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + "backup.rep/Meibo.DB").size(), Damaged.size());
}

TEST(UtilityRepairTest, ADroppedIndexIsMadeAgainFromTheTablesDefinition)
{
    TUtilityWorld World;
    TScriptedBoxes Boxes("Yes");
    World.MakeTable(TDataTable::Meibo, {0, 1, 2});
    const QString File = World.Data() + MeiboFileName;
    const QStringList Indexes = SqlIndexNames(File);
    ASSERT_TRUE(Indexes.contains(QStringLiteral("Meibo_SchTel1")));
    ASSERT_TRUE(TableFaults::EditSchema(File, QStringLiteral("DROP INDEX Meibo_SchTel1")));

    EXPECT_TRUE(RunRepair(1));
    EXPECT_EQ(SqlIndexNames(File), Indexes);
    EXPECT_TRUE(Integrity(File).isEmpty());
}

TEST(UtilityRepairTest, ATableWithADamagedPageOrCutShortKeepsEveryReadableRowAndTheDamagedFile)
{
    struct TCase
    {
        const char* Name;
        std::function<void(const QString& File)> Damage;
    };
    const std::vector<TCase> Cases = {
        {"a page overwritten",
         [](const QString& File) {
             const QList<int> Leaves = TableFaults::Pages(File, QStringLiteral("Meibo"));
             ASSERT_GT(Leaves.size(), 4);
             ASSERT_TRUE(TableFaults::OverwritePage(File, Leaves[2], '\x5a'));
         }},
        {"the file cut short",
         [](const QString& File) { ASSERT_TRUE(QFile::resize(File, QFileInfo(File).size() * 2 / 3)); }},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TUtilityWorld World;
        TScriptedBoxes Boxes("Yes");
        World.MakeTable(TDataTable::Meibo, Numbered(2000));
        const QString File = World.Data() + MeiboFileName;
        Case.Damage(File);
        const QByteArray Damaged = TUtilityWorld::Bytes(File);

        EXPECT_TRUE(RunRepair(1));
        ASSERT_TRUE(Integrity(File).isEmpty());
        const int Saved = SqlRows(File, "SELECT count(*) FROM Meibo").value(0).toInt();
        EXPECT_GT(Saved, 0);
        EXPECT_LT(Saved, 2000);
        EXPECT_TRUE(Boxes.Texts().last().startsWith(
            QStringLiteral("修復が終了しました  \r\n\r\n保存できたレコード：%1 件  \r\n失われたレコード：").arg(Saved)))
            << Boxes.Texts().last().toStdString();
        EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + "backup.rep/Meibo.DB"), Damaged);
        EXPECT_EQ(SqlIndexNames(File).size(), MeiboTableDef().Indexes.size() - 1);
    }
}

TEST(UtilityRepairTest, AFailedRebuildLeavesTheTableAsItWasAndAFailedCopyKeepsTheLastOne)
{
    TUtilityWorld World;
    TScriptedBoxes Boxes("Yes,Yes,Yes");
    World.MakeTable(TDataTable::Meibo, {0, 1, 2});
    const QString File = World.Data() + MeiboFileName;
    const QByteArray Before = TUtilityWorld::Bytes(File);

    RepairRebuildHook = [](const QString&) { throw EDatabaseError(QStringLiteral("refused by the test")); };
    EXPECT_FALSE(RunRepair(1));
    RepairRebuildHook = {};
    EXPECT_EQ(Boxes.Texts().last(),
              QStringLiteral("主データと主インデックスのコピーに失敗しました  \r\n処理を中断します  "));
    EXPECT_EQ(TUtilityWorld::Bytes(File), Before);
    const QByteArray FirstCopy = TUtilityWorld::Bytes(World.Data() + "backup.rep/Meibo.DB");
    ASSERT_NE(FirstCopy, QByteArray("<missing>"));

    // The second repair's safety copy cannot be written: the first copy stays whole.
    World.MakeTable(TDataTable::Meibo, {3});
    QFile::setPermissions(World.Data() + "backup.rep", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool Repaired = RunRepair(1);
    QFile::setPermissions(World.Data() + "backup.rep",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Root writes into a read-only folder all the same.
    if (::geteuid() != 0) {
        EXPECT_FALSE(Repaired);
        EXPECT_EQ(Boxes.Texts().last(), QStringLiteral("元ファイルの保存に失敗しました  \r\n処理を中断します  "));
        EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + "backup.rep/Meibo.DB"), FirstCopy);
    }
}

TEST(UtilityRunningTest, EveryCommandRefusesWhileTheMainProgramRunsAndChangesNothing)
{
    TUtilityWorld World;
    World.MakeTable(TDataTable::Meibo, {0, 4});
    World.MakeTable(TDataTable::RecvHis, {2});
    TSingleInstance MainProgram(MAIN_INSTANCE_NAME);
    ASSERT_EQ(MainProgram.Acquire(), TSingleInstance::EAcquire::Acquired);
    const QByteArray Meibo = TUtilityWorld::Bytes(World.Data() + MeiboFileName);
    const QByteArray RecvHis = TUtilityWorld::Bytes(World.Data() + RecvHisFileName);

    TScriptedBoxes Boxes("Yes,Yes,Yes,Yes");
    TMainForm Form;
    Form.show();
    for (QPushButton* Command : {Form.bbtnOptimize, Form.bbtnBackup, Form.bbtnRepairIndex, Form.bbtnRestore})
        Command->click();
    EXPECT_EQ(Boxes.Texts(), QStringList(4, QString::fromUtf8(MainProgramRunningMessage)));
    EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + MeiboFileName), Meibo);
    EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + RecvHisFileName), RecvHis);
    EXPECT_FALSE(QFile::exists(World.Data() + "backup.opt"));
    EXPECT_FALSE(QFile::exists(World.Data() + "backup.rep"));
}

TEST(UtilityRunningTest, ASafetyCopyThatFindsTheMainProgramStartedStopsItsCommand)
{
    TUtilityWorld World;
    World.MakeTable(TDataTable::Meibo, {0, 4});
    TSingleInstance MainProgram(MAIN_INSTANCE_NAME);
    ASSERT_EQ(MainProgram.Acquire(), TSingleInstance::EAcquire::Acquired);
    TScriptedBoxes Boxes;
    EXPECT_FALSE(SaveTablesBeforeChange(OptimizeBackupFolder));
    EXPECT_EQ(Boxes.Texts(), QStringList{QString::fromUtf8(MainProgramRunningMessage)});
}

TEST(UtilityMainFormTest, PagesHelpContextsAndFocus)
{
    TUtilityWorld World;
    TScriptedBoxes Boxes;
    TMainForm Form;
    Form.show();
    QApplication::setActiveWindow(&Form);
    EXPECT_EQ(Form.windowTitle(), QStringLiteral("Tolvane１６ ユーティリティ"));
    EXPECT_TRUE(Form.bbtnOptimize->hasFocus());
    EXPECT_EQ(HelpContextOf(&Form), 82);
    const QStringList Pages{"tabstDBManagement", "tabstKyokubanChange", "tabstDataConvert", "tabstFbConvert"};
    const QList<int> Contexts{82, 86, 87, 89};
    for (int Page = 3; Page >= 0; --Page) {
        Form.btnCancel->setFocus();
        Form.pgctlUtility->setCurrentIndex(Page);
        EXPECT_EQ(Form.pgctlUtility->currentWidget()->objectName(), Pages[Page]);
        EXPECT_EQ(HelpContextOf(&Form), Contexts[Page]);
        // A page that starts with a command of a later version gives it no focus yet.
        if (Form.FirstControl(Page)->isEnabled()) {
            EXPECT_TRUE(Form.FirstControl(Page)->hasFocus()) << Page;
        }
    }
    EXPECT_TRUE(Form.bbtn06PP->isEnabled());
    EXPECT_TRUE(Form.bbtnConvertAdrsPos->isEnabled());
    EXPECT_TRUE(Form.bbtnFbConvert->isEnabled());
    // Version 15, chosen at start, converts.
    EXPECT_TRUE(Form.bbtnConvert->isEnabled());
    EXPECT_EQ(Form.cbxSrc->count(), 15);
    EXPECT_EQ(Form.cbxSrc->itemText(0), QStringLiteral("Tolvane１５"));
    EXPECT_EQ(Form.cbxSrc->itemData(14).toInt(), 1);
}

TEST(UtilityMainFormTest, F1WithoutAUsableGuideWarnsOnceAndPointsToTheDesktopsMenu)
{
    TUtilityWorld World;
    TScriptedBoxes Boxes;
    TMainForm Form;
    Form.show();
    QApplication::setActiveWindow(&Form);
    // The world's program folder has no guide to show.
    qsizetype Before = 0;
    for (QWidget* Control : {static_cast<QWidget*>(Form.bbtnOptimize), static_cast<QWidget*>(Form.cbxRepair)}) {
        Control->setFocus();
        QTest::keyClick(Control, Qt::Key_F1);
        ASSERT_EQ(Boxes.Texts().size(), Before + 1) << Boxes.Texts().join(u'|').toStdString();
        Before = Boxes.Texts().size();
        EXPECT_TRUE(
            Boxes.Texts().last().endsWith(QStringLiteral("\r\n\r\nスタートメニューから『Mirelo　Tolvane』を開き  "
                                                         "\r\n「操作ガイドの使用について」をご確認ください  ")));
        EXPECT_FALSE(Boxes.Texts().last().contains(QStringLiteral("ヘルプ")));
    }
}

TEST(UtilityMainFormTest, EnterInTheRepairChoiceOnlyMovesTheFocus)
{
    TUtilityWorld World;
    World.MakeTable(TDataTable::Meibo, {0, 4});
    TScriptedBoxes Boxes("Yes");
    TMainForm Form;
    Form.show();
    QApplication::setActiveWindow(&Form);
    Form.cbxRepair->setFocus();
    QTest::keyClick(Form.cbxRepair, Qt::Key_Return);
    EXPECT_TRUE(Form.bbtnRepairIndex->hasFocus());
    EXPECT_TRUE(Boxes.Texts().isEmpty());
    EXPECT_FALSE(QFile::exists(World.Data() + "backup.rep"));
}
