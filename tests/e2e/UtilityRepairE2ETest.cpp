// The real utility on data folders damaged by hand and by kills: a repair saves what a damaged
// directory still holds, a restore over a killed writer's journal gives the backup's rows, and a
// command killed at any moment leaves the next run clean.
#include "main/start/ProgramStart.h"
#include "main/tables/DBInfo.h"
#include "tests/support/OlderVersionFixture.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/SqlRows.h"
#include "tests/support/TableFaults.h"
#include "utility/start/UtilityRunning.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

void MakeTable(const QString& Folder, TDataTable Which, int Count)
{
    TDMVxRelvo16 Module(Folder, Folder);
    Which == TDataTable::RecvHis ? Module.CreateRecvHisTable() : Module.CreateMeiboTable();
    TTableUse Use(Module, Which);
    TTable& Table = *(Which == TDataTable::RecvHis ? RecvHisTable : MeiboTable);
    TTableTransaction Transaction(Table);
    for (int RecNo = 0; RecNo < Count; ++RecNo) {
        Table.Append();
        Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
        Table.FieldByName(QStringLiteral("CorpKanji")).SetAsString(QStringLiteral("会社%1").arg(RecNo));
        Table.Post();
    }
    Transaction.Commit();
}

QByteArray Bytes(const QString& File)
{
    QFile In(File);
    return In.open(QIODevice::ReadOnly) ? In.readAll() : QByteArray("<missing>");
}

// What the engine's check finds in a table of the data folder, and its rows; {"<unopened>"} when it
// does not open.
struct TTableState
{
    QStringList Problems;
    int Rows = -1;
};
TTableState State(const QString& File)
{
    DefaultSession().AddPassword(MasterPassword);
    TTableState Result;
    try {
        TTable Table;
        Table.SetDatabaseName(QFileInfo(File).absolutePath());
        Table.SetTableName(QFileInfo(File).fileName());
        Table.Open();
        Result.Problems = Table.IntegrityCheck();
        Result.Rows = Table.RecordCount();
    } catch (const EDatabaseError& Error) {
        Result.Problems << QStringLiteral("<unopened> ") + Error.Message();
    }
    return Result;
}

// The text of the first box that starts with Prefix, once it was logged.
QString WaitForBoxStarting(const TProgramHarness& Program, const QString& Prefix)
{
    QDeadlineTimer Deadline(TProgramHarness::Patience);
    while (!Deadline.hasExpired()) {
        for (const QJsonObject& Box : Program.Boxes())
            if (Box.value(QStringLiteral("text")).toString().startsWith(Prefix))
                return Box.value(QStringLiteral("text")).toString();
        QThread::msleep(50);
    }
    return {};
}

// Files of ours a killed command may leave: tables under temporary names, staging folders.
QStringList Leftovers(const QString& Folder)
{
    QStringList Found;
    QDirIterator It(Folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (It.hasNext()) {
        const QString Path = It.next();
        const QString Name = QFileInfo(Path).fileName();
        // A journal a killed writer left is SQLite's to roll back at the next open, not a leftover.
        if (Name.contains(QStringLiteral(".tmp-")) || (Name.startsWith(u'.') && QFileInfo(Path).isDir()))
            Found << QDir(Folder).relativeFilePath(Path);
    }
    return Found;
}

void StartUtility(TProgramHarness& Program, const QString& Answers)
{
    // Each start reads its scripted answers from the first line: a run of its own gets a file of its own.
    static int Runs = 0;
    Program.Environment().insert(QStringLiteral("VX_DIALOG_ANSWERS"),
                                 Program.TempPath(QStringLiteral("dialogs-%1.jsonl").arg(++Runs)));
    Program.SetProgram(QStringLiteral("VxUtil16"), Utility::UTILITY_INSTANCE_NAME);
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), Answers);
    ASSERT_TRUE(Program.Start());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
}

void CloseUtility(TProgramHarness& Program)
{
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("btnCancel"));
    QStringList Texts;
    for (const QJsonObject& Box : Program.Boxes())
        Texts << Box.value(QStringLiteral("text")).toString();
    ASSERT_TRUE(Program.Process().waitForFinished(TProgramHarness::Patience)) << Texts.join(u'|').toStdString();
}

TEST(UtilityRepairE2ETest, ARepairSavesWhatADamagedDirectoryStillHoldsAndKeepsTheDamagedFile)
{
    constexpr int Count = 3000;
    struct TCase
    {
        const char* Name;
        std::function<void(const QString& File)> Damage;
        bool AllKept;
    };
    const std::vector<TCase> Cases = {
        {"a page overwritten",
         [](const QString& File) {
             const QList<int> Leaves = TableFaults::Pages(File, QStringLiteral("Meibo"));
             ASSERT_GT(Leaves.size(), 10);
             ASSERT_TRUE(TableFaults::OverwritePage(File, Leaves[Leaves.size() / 2], '\x5a'));
         },
         false},
        {"cut to four fifths", [](const QString& File) { QFile::resize(File, QFileInfo(File).size() * 4 / 5 + 77); },
         false},
        {"cut to a half", [](const QString& File) { QFile::resize(File, QFileInfo(File).size() / 2 + 1000); }, false},
        {"an index dropped",
         [](const QString& File) { ASSERT_TRUE(TableFaults::EditSchema(File, QStringLiteral("DROP INDEX Meibo_SchTel1"))); },
         true},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TProgramHarness Program;
        const QString File = Program.DataFolder() + MeiboFileName;
        MakeTable(Program.DataFolder(), TDataTable::Meibo, Count);
        const QStringList Indexes = SqlIndexNames(File);
        Case.Damage(File);
        const QByteArray Damaged = Bytes(File);

        StartUtility(Program, QStringLiteral("Yes,OK"));
        Program.AnswerDialog(QStringLiteral("MainForm"), {{QStringLiteral("cbxRepair"), QStringLiteral("登録名簿")}},
                             QStringLiteral("bbtnRepairIndex"));
        const QString End = WaitForBoxStarting(Program, QStringLiteral("修復が終了しました  "));
        CloseUtility(Program);

        const TTableState After = State(File);
        EXPECT_TRUE(After.Problems.isEmpty()) << After.Problems.join(u'\n').toStdString();
        if (Case.AllKept) {
            EXPECT_EQ(After.Rows, Count);
        } else {
            EXPECT_GT(After.Rows, 0);
            EXPECT_LT(After.Rows, Count);
        }
        EXPECT_TRUE(End.contains(QStringLiteral("保存できたレコード：%1 件").arg(After.Rows))) << End.toStdString();
        EXPECT_EQ(SqlIndexNames(File), Indexes);
        EXPECT_EQ(Bytes(Program.DataFolder() + QStringLiteral("backup.rep/") + MeiboFileName), Damaged);
        EXPECT_EQ(Leftovers(Program.DataFolder()), QStringList());
    }
}

TEST(UtilityRepairE2ETest, ARestoreOverAKilledWritersJournalGivesTheBackupsRowsAndCallsAreRecordedAfter)
{
    TProgramHarness Program;
    const QString Backup = Program.TempPath(QStringLiteral("backup/"));
    QDir().mkpath(Backup);
    MakeTable(Backup, TDataTable::RecvHis, 40);
    MakeTable(Program.DataFolder(), TDataTable::RecvHis, 400);
    const QString File = Program.DataFolder() + RecvHisFileName;
    TableFaults::KillWriterMidway(File, "UPDATE RecvHis SET SelItem1 = hex(randomblob(30)); DELETE FROM RecvHis WHERE RecNo % 3 = 0");
    ASSERT_TRUE(QFile::exists(File + QStringLiteral("-journal")));

    StartUtility(Program, QStringLiteral("Yes"));
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("bbtnRestore"));
    Program.AnswerDialog(QStringLiteral("RestoreData"), {{QStringLiteral("edtSrc"), Backup}},
                         QStringLiteral("btnRestore"));
    Program.AnswerDialog(QStringLiteral("RestoreData"), {}, QStringLiteral("btnclose"));
    CloseUtility(Program);

    const TTableState After = State(File);
    EXPECT_TRUE(After.Problems.isEmpty()) << After.Problems.join(u'\n').toStdString();
    EXPECT_EQ(After.Rows, 40);
    EXPECT_EQ(Leftovers(Program.DataFolder()), QStringList());

    // The main program records the next call into the restored table.
    Program.SetProgram(QStringLiteral("VxRelvo16"), MAIN_INSTANCE_NAME);
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    EXPECT_TRUE(Program.WaitForRows(41));
    ASSERT_TRUE(Program.Terminate());
    EXPECT_TRUE(State(File).Problems.isEmpty());
}

// A version-15 data folder with Rows calls and as many directory entries, each entry a number of
// its own, and full pick lists: a conversion long enough to be killed in any of its steps.
QString WriteVersion15(const QString& Folder, int Rows)
{
    const OlderFixture::TDataFolder Source(15, Folder);
    QList<OlderFixture::TRow> History;
    QList<OlderFixture::TRow> Directory;
    for (int I = 0; I < Rows; ++I) {
        const QString Tel = QStringLiteral("03%1").arg(I, 8, 10, QLatin1Char('0'));
        History.append({{QStringLiteral("SchTel"), Tel}, {QStringLiteral("CorpKanji"), QStringLiteral("会社%1").arg(I)}});
        Directory.append({{QStringLiteral("SchTel1"), Tel}, {QStringLiteral("NameKanji"), QStringLiteral("氏名%1").arg(I)}});
    }
    Source.WriteRecvHis(History);
    Source.WriteMeibo(Directory);
    QStringList Items;
    for (int I = 0; I < 50; ++I)
        Items << QStringLiteral("項目%1").arg(I);
    for (int I = 0; I < 3; ++I)
        Source.WriteSelItems(I, Items);
    Source.WriteRank(Items);
    return Source.Folder();
}

// Killed at a random moment of the command, the utility leaves the table whole (as before or as
// after), and its next start takes away what the command left.
TEST(UtilityRepairE2ETest, ACommandKilledAtAnyMomentLeavesTheNextRunClean)
{
    constexpr int Count = 15000;
    constexpr int Converted = 6000;
    // The source is only read: one for every round.
    const QTemporaryDir Older;
    ASSERT_TRUE(Older.isValid());
    const QString Version15 = WriteVersion15(Older.path(), Converted);
    struct TCommand
    {
        const char* Name;
        QString Answers;
        std::function<void(TProgramHarness&, const QString& Backup)> Start;
        // The directory's rows once the command ran whole.
        int After;
        // The kill comes within this many milliseconds, while the command is likely still at work.
        int Within = 1500;
    };
    const std::vector<TCommand> Commands = {
        {"optimise", QStringLiteral("Yes"),
         [](TProgramHarness& Program, const QString&) {
             Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("bbtnOptimize"));
         },
         Count},
        {"repair", QStringLiteral("Yes"),
         [](TProgramHarness& Program, const QString&) {
             Program.AnswerDialog(QStringLiteral("MainForm"),
                                  {{QStringLiteral("cbxRepair"), QStringLiteral("登録名簿")}},
                                  QStringLiteral("bbtnRepairIndex"));
         },
         Count},
        {"restore", QStringLiteral("Yes"),
         [](TProgramHarness& Program, const QString& Backup) {
             Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("bbtnRestore"));
             Program.AnswerDialog(QStringLiteral("RestoreData"), {{QStringLiteral("edtSrc"), Backup}},
                                  QStringLiteral("btnRestore"));
         },
         Count / 2},
        {"convert", QStringLiteral("Yes"),
         [&Version15](TProgramHarness& Program, const QString&) {
             Program.AnswerDialog(QStringLiteral("MainForm"),
                                  {{QStringLiteral("cbxSrc"), QStringLiteral("Tolvane１５")},
                                   {QStringLiteral("edtSrcDataPath"), Version15},
                                   {QStringLiteral("edtDestDataPath"), Program.DataFolder()}},
                                  QStringLiteral("bbtnConvert"));
         },
         Count + Converted, 700},
    };
    for (const TCommand& Command : Commands) {
        for (int Round = 0; Round < 3; ++Round) {
            const int Delay = QRandomGenerator::global()->bounded(50, Command.Within);
            SCOPED_TRACE(QStringLiteral("%1 killed after %2 ms").arg(QString::fromLatin1(Command.Name)).arg(Delay).toStdString());
            TProgramHarness Program;
            const QString Backup = Program.TempPath(QStringLiteral("backup/"));
            QDir().mkpath(Backup);
            MakeTable(Backup, TDataTable::Meibo, Count / 2);
            MakeTable(Program.DataFolder(), TDataTable::Meibo, Count);
            StartUtility(Program, Command.Answers);
            Command.Start(Program, Backup);
            QThread::msleep(static_cast<unsigned long>(Delay));
            Program.Kill();

            // The next start, a moment later, cleans up before it shows its window.
            QThread::msleep(300);
            StartUtility(Program, QString());
            CloseUtility(Program);
            const TTableState After = State(Program.DataFolder() + MeiboFileName);
            EXPECT_TRUE(After.Problems.isEmpty()) << After.Problems.join(u'\n').toStdString();
            EXPECT_TRUE(After.Rows == Count || After.Rows == Command.After) << After.Rows;
            // A conversion's history is there whole or not at all.
            if (const QString History = Program.DataFolder() + RecvHisFileName; QFileInfo::exists(History)) {
                const TTableState Calls = State(History);
                EXPECT_TRUE(Calls.Problems.isEmpty()) << Calls.Problems.join(u'\n').toStdString();
                EXPECT_TRUE(Calls.Rows == 0 || Calls.Rows == Converted) << Calls.Rows;
            }
            EXPECT_EQ(Leftovers(Program.DataFolder()), QStringList());
            EXPECT_EQ(Leftovers(Program.SettingsFolder()), QStringList());
            // A restore stages its copies beside the data folder.
            EXPECT_EQ(Leftovers(QFileInfo(QDir::cleanPath(Program.DataFolder())).absolutePath())
                          .filter(QStringLiteral(".tables-")),
                      QStringList());
        }
    }
}

} // namespace
