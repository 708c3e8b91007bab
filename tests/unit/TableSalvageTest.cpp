// A table file damaged from outside (a page overwritten, the file cut short, a journal of a killed
// writer left beside it) and what the engine makes of it: every readable row saved, nothing of the
// old pages rolled into a new file, and the cost of the reading linear in the rows.
#include "platform/db/Collation.h"
#include "platform/db/Table.h"
#include "tests/support/SqlRows.h"
#include "tests/support/TableFaults.h"
#include "transfer/common/TableCopy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QString Password = QStringLiteral("salvage-pw");

TTableDef RowsDef()
{
    return {{{QStringLiteral("RecNo"), TFieldType::Integer, 0},
             {QStringLiteral("Name"), TFieldType::String, 60},
             {QStringLiteral("Note"), TFieldType::Memo, 0}},
            {{QString(), QStringLiteral("RecNo"), true, true, false},
             {QStringLiteral("Name"), QStringLiteral("Name"), false, false, true}}};
}

QList<int> Leaves(const QString& File)
{
    return TableFaults::Pages(File, QStringLiteral("Rows"));
}

void Overwrite(const QString& File, int Page, char Byte)
{
    ASSERT_TRUE(TableFaults::OverwritePage(File, Page, Byte));
}

class TableSalvageTest : public ::testing::Test
{
protected:
    void SetUp() override { Session.AddPassword(Password); }

    // A table of Count rows numbered 0 .. Count-1, a few rows to a page.
    void Make(int Count, const QString& Folder = {})
    {
        TTable Table(Session);
        Table.SetDatabaseName(Folder.isEmpty() ? Dir.path() : Folder);
        Table.SetTableName(QStringLiteral("Rows.DB"));
        Table.CreateTable(RowsDef(), Password);
        Table.Open();
        TTableTransaction Transaction(Table);
        for (int I = 0; I < Count; ++I) {
            Table.Append();
            Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(I);
            Table.FieldByName(QStringLiteral("Name")).SetAsString(QStringLiteral("名前%1").arg(I));
            Table.FieldByName(QStringLiteral("Note")).SetAsString(QString(600, u'x'));
            Table.Post();
        }
        Transaction.Commit();
    }
    QString File() const { return Dir.filePath(QStringLiteral("Rows.DB")); }
    TTable::TSalvageCount Salvage()
    {
        TTable Table(Session);
        Table.SetDatabaseName(Dir.path());
        Table.SetTableName(QStringLiteral("Rows.DB"));
        return Table.Salvage(RowsDef());
    }
    // The rows the engine reads back through a plain open, after the check.
    QStringList Numbers()
    {
        TTable Table(Session);
        Table.SetDatabaseName(Dir.path());
        Table.SetTableName(QStringLiteral("Rows.DB"));
        Table.Open();
        EXPECT_TRUE(Table.IntegrityCheck().isEmpty());
        QStringList Result;
        for (Table.First(); !Table.Eof(); Table.Next())
            Result << Table.FieldByName(QStringLiteral("RecNo")).AsString();
        return Result;
    }

    QTemporaryDir Dir;
    TSession Session;
};

TEST_F(TableSalvageTest, AnOverwrittenPageCostsItsOwnRowsAndTheRestAreSavedWithTheLossCounted)
{
    Make(400);
    const QList<int> Leaf = Leaves(File());
    ASSERT_GT(Leaf.size(), 20);
    // Rubbish and zeros, as a torn write and a lost sector leave a page.
    Overwrite(File(), Leaf[5], '\x5a');
    Overwrite(File(), Leaf[12], '\0');
    TTable Plain(Session);
    Plain.SetDatabaseName(Dir.path());
    Plain.SetTableName(QStringLiteral("Rows.DB"));
    EXPECT_THROW(Plain.Rebuild(RowsDef()), EDatabaseError);

    const TTable::TSalvageCount Count = Salvage();
    EXPECT_GT(Count.Saved, 360);
    EXPECT_LT(Count.Saved, 400);
    // The intact index still counts every row the table held.
    EXPECT_EQ(Count.Lost, 400 - Count.Saved);
    const QStringList Kept = Numbers();
    EXPECT_EQ(Kept.size(), Count.Saved);
    // Nothing after the damage is lost with it: the last rows are all there.
    EXPECT_EQ(Kept.last(), QStringLiteral("399"));
    EXPECT_TRUE(Kept.contains(QStringLiteral("0")));
    EXPECT_EQ(SqlIndexNames(File()), QStringList{QStringLiteral("Rows_Name")});
    // The new file took the old one's place and nothing else stays beside it.
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Rows.DB")});
}

TEST_F(TableSalvageTest, AFileCutShortKeepsTheRowsBeforeTheCutWhereverItFalls)
{
    Make(300);
    const QString Whole = Dir.filePath(QStringLiteral("whole"));
    ASSERT_TRUE(QFile::copy(File(), Whole));
    const qint64 Size = QFileInfo(Whole).size();
    qint64 Before = 301;
    // From near the end of the rows back to a third of them, each cut inside a page.
    for (const qint64 Cut : {Size * 9 / 10, Size * 6 / 10, Size * 3 / 10}) {
        SCOPED_TRACE(Cut);
        QFile::remove(File());
        ASSERT_TRUE(QFile::copy(Whole, File()));
        ASSERT_TRUE(QFile::resize(File(), Cut / 8192 * 8192 + 100));
        const TTable::TSalvageCount Count = Salvage();
        EXPECT_LE(Count.Saved, Before);
        Before = Count.Saved;
        const QStringList Kept = Numbers();
        ASSERT_EQ(Kept.size(), Count.Saved);
        // What is kept is the table's first rows, in one run without gaps.
        for (int I = 0; I < Kept.size(); ++I) {
            ASSERT_EQ(Kept[I], QString::number(I));
        }
        EXPECT_NE(Count.Lost, 0);
    }
}

TEST_F(TableSalvageTest, TheReadingOfASoundOrDamagedFileGrowsWithItsRowsAlone)
{
    auto Steps = [this](int Rows, bool Damage) {
        QDir(Dir.path()).removeRecursively();
        QDir().mkpath(Dir.path());
        Make(Rows);
        if (Damage) {
            const QList<int> Leaf = Leaves(File());
            for (int I = 3; I < Leaf.size(); I += 10)
                Overwrite(File(), Leaf[I], '\x5a');
        }
        return Salvage().Steps;
    };
    for (const bool Damage : {false, true}) {
        SCOPED_TRACE(Damage);
        const qint64 Small = Steps(200, Damage);
        const qint64 Large = Steps(800, Damage);
        ASSERT_GT(Small, 0);
        EXPECT_LE(Large, Small * 5);
    }
}

void KillWriterMidway(const QString& File)
{
    TableFaults::KillWriterMidway(File,
                                  "UPDATE Rows SET Note = hex(randomblob(400)); DELETE FROM Rows WHERE RecNo % 2 = 0");
}

TEST_F(TableSalvageTest, AFileCopiedIntoPlaceIsNotRolledBackByTheJournalOfTheOneItReplaced)
{
    Make(200);
    QTemporaryDir Backup;
    Make(50, Backup.path());
    KillWriterMidway(File());
    ASSERT_TRUE(QFile::exists(File() + QStringLiteral("-journal")));

    EXPECT_EQ(CopyTableFiles(Backup.path(), Dir.path(), {QStringLiteral("Rows.DB")}), CopyTableFilesDone);
    EXPECT_FALSE(QFile::exists(File() + QStringLiteral("-journal")));
    EXPECT_EQ(Numbers().size(), 50);
}

TEST_F(TableSalvageTest, AFailedPlacementLeavesTheOldFileWithItsJournal)
{
    Make(100);
    KillWriterMidway(File());
    const QString Journal = File() + QStringLiteral("-journal");
    QFile In(Journal);
    ASSERT_TRUE(In.open(QIODevice::ReadOnly));
    const QByteArray Pending = In.readAll();
    // The new file's name cannot be renamed: it is not there.
    EXPECT_THROW(PutTableFileInPlace(Dir.filePath(QStringLiteral(".missing")), File()), EDatabaseError);
    QFile After(Journal);
    ASSERT_TRUE(After.open(QIODevice::ReadOnly));
    EXPECT_EQ(After.readAll(), Pending);
    // The old file still rolls back to its rows as they were before the killed writer.
    EXPECT_EQ(Numbers().size(), 100);
}

} // namespace
