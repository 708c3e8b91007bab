#include "main/update/AtBackup.h"

#include "tests/support/FileModes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& Name, const QByteArray& Bytes)
{
    QDir().mkpath(QFileInfo(Name).absolutePath());
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
}

QByteArray ReadFile(const QString& Name)
{
    QFile File(Name);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

struct TFolders
{
    QTemporaryDir Dir;
    QString Settings = Dir.path() + QStringLiteral("/settings/");
    QString Data = Dir.path() + QStringLiteral("/data/");
    QString Generation(int G) const { return Settings + QStringLiteral("bakData/%1/").arg(G); }

    void WriteData(const QByteArray& Stamp)
    {
        for (const char* Name : {"RecvHis.DB", "Meibo.DB", "Rank.mtd", "SelItem1.mtd", "SelItem2.mtd", "SelItem3.mtd"})
            WriteFile(Data + QLatin1String(Name), Stamp + '/' + Name);
    }
};

} // namespace

TEST(AtBackupTest, ShiftsGenerationsAndDropsTheOldest)
{
    TFolders F;
    const struct
    {
        QByteArray Stamp;
        QList<QByteArray> Expected; // RecvHis.DB of generations 1..3 after the run
    } Runs[] = {
        {"A", {"A", "<missing>", "<missing>"}},
        {"B", {"B", "A", "<missing>"}},
        {"C", {"C", "B", "A"}},
        {"D", {"D", "C", "B"}},
    };
    for (const auto& Run : Runs) {
        F.WriteData(Run.Stamp);
        TAutoBackup Backup(F.Settings, F.Data, 3);
        ASSERT_TRUE(Backup.Execute()) << Run.Stamp.constData();
        EXPECT_EQ(Backup.GetBackupRoot(), F.Settings + QStringLiteral("bakData/"));
        for (int G = 1; G <= 3; ++G) {
            const QByteArray& Want = Run.Expected[G - 1];
            const QByteArray Got = ReadFile(F.Generation(G) + QStringLiteral("RecvHis.DB"));
            EXPECT_EQ(Got, Want == "<missing>" ? Want : Want + "/RecvHis.DB")
                << "run " << Run.Stamp.constData() << " generation " << G;
        }
        EXPECT_EQ(ReadFile(F.Generation(1) + QStringLiteral("SelItem3.mtd")), Run.Stamp + "/SelItem3.mtd");
    }
    EXPECT_FALSE(QFileInfo::exists(F.Generation(4)));
    EXPECT_FALSE(QFileInfo::exists(F.Settings + QStringLiteral("bakData/1.partial")));
}

TEST(AtBackupTest, LeavesGenerationsAboveTheCountAndMissingFilesAlone)
{
    TFolders F;
    for (int G = 1; G <= 5; ++G)
        WriteFile(F.Generation(G) + QStringLiteral("Rank.mtd"), QByteArray::number(G));
    F.WriteData("N");
    QFile::remove(F.Data + QStringLiteral("Meibo.DB"));
    TAutoBackup Backup(F.Settings, F.Data, 3);
    ASSERT_TRUE(Backup.Execute());
    EXPECT_EQ(ReadFile(F.Generation(1) + QStringLiteral("Rank.mtd")), QByteArray("N/Rank.mtd"));
    EXPECT_EQ(ReadFile(F.Generation(2) + QStringLiteral("Rank.mtd")), QByteArray("1"));
    EXPECT_EQ(ReadFile(F.Generation(3) + QStringLiteral("Rank.mtd")), QByteArray("2"));
    EXPECT_EQ(ReadFile(F.Generation(4) + QStringLiteral("Rank.mtd")), QByteArray("4"));
    EXPECT_EQ(ReadFile(F.Generation(5) + QStringLiteral("Rank.mtd")), QByteArray("5"));
    EXPECT_FALSE(QFileInfo::exists(F.Generation(1) + QStringLiteral("Meibo.DB")));
}

TEST(AtBackupTest, AFailedCopyKeepsTheLastGoodGeneration)
{
    TFolders F;
    F.WriteData("good");
    ASSERT_TRUE(TAutoBackup(F.Settings, F.Data, 1).Execute());
    ASSERT_TRUE(TAutoBackup(F.Settings, F.Data, 2).Execute());

    // A table that cannot be read (here a folder in its place) makes the copy fail half-way, after the
    // call history was copied already.
    F.WriteData("bad");
    const QString Meibo = F.Data + QStringLiteral("Meibo.DB");
    ASSERT_TRUE(QFile::remove(Meibo));
    ASSERT_TRUE(QDir().mkpath(Meibo));
    for (int Count : {1, 2}) {
        TAutoBackup Backup(F.Settings, F.Data, Count);
        EXPECT_FALSE(Backup.Execute());
        for (int G = 1; G <= 2; ++G)
            for (const char* Name : {"RecvHis.DB", "Meibo.DB", "SelItem1.mtd"})
                EXPECT_EQ(ReadFile(F.Generation(G) + QLatin1String(Name)), QByteArray("good/") + Name)
                    << "count " << Count << " generation " << G << " " << Name;
    }
    EXPECT_FALSE(QFileInfo::exists(F.Settings + QStringLiteral("bakData/1.partial")));
}

// The copies hold customers' data: the owner's alone, whatever the originals or the umask allowed.
TEST(AtBackupTest, GenerationsAreTheOwnersAlone)
{
    const TUmask Open(0);
    TFolders F;
    F.WriteData("A");
    for (const char* Name : {"RecvHis.DB", "Rank.mtd"})
        QFile::setPermissions(F.Data + QLatin1String(Name), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    for (int Run = 0; Run < 2; ++Run) {
        TAutoBackup Backup(F.Settings, F.Data, 3);
        ASSERT_TRUE(Backup.Execute());
    }
    EXPECT_EQ(ModeOf(F.Settings + QStringLiteral("bakData")), 0700);
    for (int G = 1; G <= 2; ++G) {
        EXPECT_EQ(ModeOf(F.Generation(G)), 0700) << G;
        for (const char* Name : {"RecvHis.DB", "Meibo.DB", "Rank.mtd", "SelItem1.mtd"}) {
            EXPECT_EQ(ModeOf(F.Generation(G) + QLatin1String(Name)), 0600) << G << " " << Name;
        }
    }
}

// The backups on a disk of their own, Capacity bytes large: what is free is what the generations leave.
TEST(AtBackupTest, AFullDiskDropsTheOldestGenerationFirst)
{
    TFolders F;
    const auto Used = [&F] {
        qint64 Bytes = 0;
        QDirIterator It(F.Settings + QStringLiteral("bakData"), QDir::Files, QDirIterator::Subdirectories);
        while (It.hasNext()) {
            It.next();
            Bytes += It.fileInfo().size();
        }
        return Bytes;
    };
    const auto Run = [&](int Count, qint64 Capacity, qint64 Cluster = 1) {
        TAutoBackup Backup(F.Settings, F.Data, Count);
        Backup.DiskSpaceOf = [&](const QString&) { return TAutoBackup::TDiskSpace{Capacity - Used(), Cluster}; };
        return Backup.Execute();
    };
    const auto Generations = [&F](int Count) {
        QByteArray Stamps;
        for (int G = 1; G <= Count; ++G)
            Stamps += ReadFile(F.Generation(G) + QStringLiteral("RecvHis.DB")).left(1);
        return Stamps;
    };
    const auto WriteData = [&F](char Stamp, int Size = 1000) {
        for (const char* Name : {"RecvHis.DB", "Meibo.DB", "Rank.mtd", "SelItem1.mtd", "SelItem2.mtd", "SelItem3.mtd"})
            WriteFile(F.Data + QLatin1String(Name), QByteArray(Size, Stamp));
    };
    constexpr qint64 Generation = 6000;

    // Only 4096-byte clusters of room for the six files of 1000 bytes: not enough, and nothing to drop.
    WriteData('A');
    EXPECT_FALSE(Run(3, Generation, 4096));
    for (char Stamp : {'A', 'B', 'C'}) {
        WriteData(Stamp);
        ASSERT_TRUE(Run(3, 1 << 30));
    }
    ASSERT_EQ(Generations(3), "CBA");

    // Room for one generation less a byte: the third generation makes way, as the shift would drop it.
    WriteData('D');
    ASSERT_TRUE(Run(3, Used() + Generation - 1));
    EXPECT_EQ(Generations(3), "DCB");
    // Data grown to twice the size find too little room even then: every generation stays.
    WriteData('E', 2000);
    EXPECT_FALSE(Run(3, Used() + 2 * Generation - 1 - Generation));
    EXPECT_EQ(Generations(3), "DCB");

    // A single generation makes way for its successor.
    ASSERT_TRUE(Run(1, Used() + 2 * Generation - Generation));
    EXPECT_EQ(Generations(3), "ECB");
    EXPECT_FALSE(QFileInfo::exists(F.Settings + QStringLiteral("bakData/1.partial")));
}
