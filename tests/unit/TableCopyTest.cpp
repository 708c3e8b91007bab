#include "transfer/common/TableCopy.h"

#include "platform/db/Table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& Name, const QByteArray& Bytes)
{
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
}

QByteArray ReadFile(const QString& Name)
{
    QFile File(Name);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

TEST(TableCopyTest, SizesRoundUpToWholeClustersAndMissingNamesAddNothing)
{
    QTemporaryDir Dir;
    WriteFile(Dir.filePath("One"), "x");
    WriteFile(Dir.filePath("Big"), QByteArray(4097, 'y'));
    const QStringList Names = {"One", "Big", "Gone"};
    EXPECT_EQ(GetFilesSize(Names, Dir.path(), 4096), 4096 + 8192);
    EXPECT_EQ(GetFilesSize(Names, Dir.path() + "/", 0), 1 + 4097);
    EXPECT_EQ(GetFilesSize({"Gone"}, Dir.path(), 4096), 0);
}

TEST(TableCopyTest, MeasuresTheFileSystemOfAFolderNotMadeYet)
{
    QTemporaryDir Dir;
    const QString Later = Dir.filePath("not/yet/made");
    EXPECT_GT(GetClusterSize(Later), 0);
    EXPECT_EQ(GetClusterSize(Later), GetClusterSize(Dir.path()));
    EXPECT_GT(GetDriveFreeSpace(Later), 0);
    WriteFile(Dir.filePath("One"), "x");
    const TBackupMeasure Measure = MeasureBackup(Later, {"One"}, Dir.path());
    EXPECT_EQ(Measure.NeededSize, Measure.ClusterSize);
    EXPECT_TRUE(Measure.Fits());
}

TEST(TableCopyTest, CopiesPresentFilesPassesMissingOnesAndCopiesAnOpenTableWhole)
{
    QTemporaryDir Dir;
    const QString Source = Dir.filePath("data");
    QDir().mkpath(Source);
    TTable Table;
    Table.SetDatabaseName(Source);
    Table.SetTableName("Meibo.DB");
    Table.CreateTable({{{"RecNo", TFieldType::Integer, 0}}, {{"", "RecNo", true, true, false}}});
    Table.Open();
    Table.StartTransaction();
    Table.Append();
    Table.FieldByName("RecNo").SetAsInteger(7);
    Table.Post();
    Table.Commit();
    WriteFile(Source + "/Meibo.MB", "memo");

    const QString Dest = Dir.filePath("data/backupMB.imp/");
    EXPECT_EQ(CopyTableFiles(Source, Dest, MeiboTableFiles), CopyTableFilesDone);
    EXPECT_EQ(ReadFile(Dest + "Meibo.MB"), "memo");
    EXPECT_FALSE(QFile::exists(Dest + "Meibo.PX"));
    TTable Copy;
    Copy.SetDatabaseName(Dest);
    Copy.SetTableName("Meibo.DB");
    Copy.Open();
    EXPECT_EQ(Copy.RecordCount(), 1);
    // Nothing of the staging is left beside the backup.
    EXPECT_EQ(QDir(Source).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              QStringList({"Meibo.DB", "Meibo.MB", "backupMB.imp"}));
}

TEST(TableCopyTest, ADestinationThatCannotBeMadeCopiesNothing)
{
    QTemporaryDir Dir;
    WriteFile(Dir.filePath("plain"), "not a folder");
    WriteFile(Dir.filePath("Meibo.MB"), "memo");
    int Copies = 0;
    EXPECT_EQ(CopyTableFiles(Dir.path(), Dir.filePath("plain/backup"), MeiboTableFiles,
                             [&](const QString&, const QString&) { return ++Copies, true; }),
              CopyTableFilesNoFolder);
    EXPECT_EQ(Copies, 0);
}

TEST(TableCopyTest, AFailedCopyLeavesTheEarlierBackupAsItWas)
{
    QTemporaryDir Dir;
    const QString Dest = Dir.filePath("backup/");
    QDir().mkpath(Dest);
    for (const char* Name : {"Meibo.MB", "Meibo.PX", "Meibo.X02"}) {
        WriteFile(Dir.filePath(Name), QByteArray("new ") + Name);
        WriteFile(Dest + Name, QByteArray("old ") + Name);
    }
    int Calls = 0;
    const int Result = CopyTableFiles(Dir.path(), Dest, MeiboTableFiles, [&](const QString& From, const QString& To) {
        return ++Calls < 2 && CopyOneTableFile(From, To);
    });
    EXPECT_EQ(Result, CopyTableFilesFailed);
    for (const char* Name : {"Meibo.MB", "Meibo.PX", "Meibo.X02"}) {
        EXPECT_EQ(ReadFile(Dest + Name), QByteArray("old ") + Name) << Name;
    }
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot), QStringList({"backup"}));
}

} // namespace
