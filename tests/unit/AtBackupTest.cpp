#include "main/update/AtBackup.h"

#include "tests/support/FileModes.h"

#include <QDir>
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
        for (const char* Name : {"RecvHis.DB", "Meibo.DB", "Rank.mtd", "SelItem1.mtd"})
            EXPECT_EQ(ModeOf(F.Generation(G) + QLatin1String(Name)), 0600) << G << " " << Name;
    }
}
