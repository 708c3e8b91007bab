#include "main/identify/DBInfoFb.h"

#include "main/identify/FbEditions.h"
#include "main/settings/Settings.h"
#include "main/tables/AdrsTableDef.h"
#include "platform/db/Table.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"
#include "tests/support/FileModes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

void MakeBook(const QString& Folder, int Edition, int Rows = 0)
{
    QDir().mkpath(Folder);
    const bool Held = DefaultSession().Passwords().contains(AdrsPassword(Edition));
    DefaultSession().AddPassword(AdrsPassword(Edition));
    TTable Table;
    Table.SetDatabaseName(Folder);
    Table.SetTableName(AdrsFileName);
    Table.CreateTable(AdrsTableDef(), AdrsPassword(Edition));
    Table.Open();
    for (int I = 0; I < Rows; ++I) {
        Table.Append();
        Table.FieldByName(QStringLiteral("Tel")).SetAsString(QStringLiteral("03%1").arg(I, 8, 10, QLatin1Char('0')));
        Table.Post();
    }
    Table.Close();
    if (!Held)
        DefaultSession().RemovePassword(AdrsPassword(Edition));
}

QStringList Tree(const QString& Folder)
{
    QStringList Entries;
    QDirIterator It(Folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (It.hasNext())
        Entries << QDir(Folder).relativeFilePath(It.next());
    Entries.sort();
    return Entries;
}

TEST(DBInfoFbTest, TheBookStaysOpenWhileAnyHolderHasIt)
{
    QTemporaryDir Root;
    const QString Book = Root.path() + QStringLiteral("/Book/");
    MakeBook(Book, 1, 2);
    TDMFbarea Module(1);
    EXPECT_EQ(Module.Password(), QStringLiteral("gaxnel74"));
    EXPECT_TRUE(Module.EditionFolder().endsWith(QStringLiteral("/Pelmar/fbtype18/")));
    ASSERT_TRUE(Module.OpenAdrs(Book));
    ASSERT_TRUE(Module.OpenAdrs(Book));
    EXPECT_EQ(Module.AdrsOpenCount(), 2);
    EXPECT_TRUE(IsFbBookInUse(Book));
    Module.CloseAdrs();
    ASSERT_NE(Module.AdrsTable(), nullptr);
    EXPECT_TRUE(Module.AdrsTable()->Active());
    EXPECT_EQ(Module.AdrsTable()->RecordCount(), 2);
    Module.CloseAdrs();
    EXPECT_EQ(Module.AdrsTable(), nullptr);
    EXPECT_EQ(Module.AdrsOpenCount(), 0);
    EXPECT_FALSE(IsFbBookInUse(Book));
    Module.CloseAdrs(); // one close too many changes nothing
    EXPECT_EQ(Module.AdrsOpenCount(), 0);
}

TEST(DBInfoFbTest, OpeningNeedsTheBooksTableAndTheEditionsPassword)
{
    QTemporaryDir Root;
    const QString Empty = Root.path() + QStringLiteral("/Empty/");
    QDir().mkpath(Empty);
    TDMFbarea Other(2); // an unknown edition is edition 0
    EXPECT_EQ(Other.Password(), QStringLiteral("zomriv52"));
    EXPECT_TRUE(Other.EditionFolder().endsWith(QStringLiteral("/Pelmar/fbarea18/")));
    EXPECT_FALSE(Other.OpenAdrs(Empty));
    EXPECT_EQ(Tree(Empty), QStringList());
    EXPECT_EQ(Other.AdrsTable(), nullptr);

    const QString Book = Root.path() + QStringLiteral("/Trade/");
    MakeBook(Book, 1);
    EXPECT_FALSE(Other.OpenAdrs(Book)) << "a book of the other edition";
    EXPECT_EQ(Other.AdrsOpenCount(), 0);

    const QString Second = Root.path() + QStringLiteral("/Second/");
    MakeBook(Second, 0);
    const QString First = Root.path() + QStringLiteral("/First/");
    MakeBook(First, 0);
    ASSERT_TRUE(Other.OpenAdrs(First));
    EXPECT_FALSE(Other.OpenAdrs(Second)) << "another book while one is open";
    Other.CloseAdrs();
    EXPECT_TRUE(Other.OpenAdrs(Second));
    Other.CloseAdrs();
}

TEST(DBInfoFbTest, InstalledMeansRegisteredOrOnThePath)
{
    QFile::remove(RegistryFileName());
    EXPECT_FALSE(IsFbInstalled(0));
    ASSERT_TRUE(WriteRegistryString(FbAppPathsKey(1), QStringLiteral("Path"), QString()));
    EXPECT_TRUE(IsFbInstalled(1));
    EXPECT_FALSE(IsFbInstalled(0));
    QFile::remove(RegistryFileName());
}

TEST(DBInfoFbTest, TheProductsProgramStartsFromItsInstallFolder)
{
    QTemporaryDir Install;
    const QString Marker = Install.filePath(QStringLiteral("started"));
    const QString Program = Install.filePath(QStringLiteral("fbtype18"));
    QFile Script(Program);
    ASSERT_TRUE(Script.open(QIODevice::WriteOnly));
    Script.write("#!/bin/sh\ntouch '" + QFile::encodeName(Marker) + "'\n");
    Script.close();
    Script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    FbInstallPaths[1] = Install.path() + QLatin1Char('/');
    EXPECT_FALSE(ActivateFbIfRunning(1));
    EXPECT_FALSE(ActivateFbIfRunning(1)) << "the test leaves no lock behind";
    ASSERT_TRUE(StartFbProgram(1));
    for (int I = 0; I < 100 && !QFile::exists(Marker); ++I)
        QThread::msleep(20);
    EXPECT_TRUE(QFile::exists(Marker));
    FbInstallPaths[1].clear();
    EXPECT_FALSE(StartFbProgram(1));
}

class FbBackupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Saved = Settings;
        Book = Fb.path() + QStringLiteral("/Adrs/Book/");
        MakeBook(Book, 0, 3);
        QFile Extra(Book + QStringLiteral("Keyword1.mtd"));
        ASSERT_TRUE(Extra.open(QIODevice::WriteOnly));
        Extra.write("list");
        Extra.close();
        FbDataPaths[0] = Fb.path() + QLatin1Char('/');
        FbAdrsBooks = {{QStringLiteral("Book"), QStringLiteral("Book"), 0}};
        Settings.FbSeries = 0;
        Settings.FbAdrsBook = 0;
        Backup = Data.path() + QStringLiteral("/backup.FbAdrs/Adrs/");
    }
    void TearDown() override
    {
        FbDataPaths = {};
        FbAdrsBooks.clear();
        Settings = Saved;
    }

    QTemporaryDir Fb;
    QTemporaryDir Data;
    QString Book;
    QString Backup;
    TSettings Saved;
};

TEST_F(FbBackupTest, TheBookIsCopiedBesideTheTables)
{
    ASSERT_TRUE(BackupFbAdrs(Data.path()));
    EXPECT_EQ(Tree(Backup), QStringList({"Book", "Book/Adrs.DB", "Book/Keyword1.mtd"}));
    DefaultSession().AddPassword(AdrsPassword(0));
    TTable Copy;
    Copy.SetDatabaseName(Backup + QStringLiteral("Book"));
    Copy.SetTableName(AdrsFileName);
    Copy.Open();
    EXPECT_EQ(Copy.RecordCount(), 3);
    Copy.Close();
    DefaultSession().RemovePassword(AdrsPassword(0));

    // A second backup replaces the first as a whole.
    QFile::remove(Book + QStringLiteral("Keyword1.mtd"));
    ASSERT_TRUE(BackupFbAdrs(Data.path()));
    EXPECT_EQ(Tree(Backup), QStringList({"Book", "Book/Adrs.DB"}));
}

TEST_F(FbBackupTest, TheCopyIsTheOwnersAlone)
{
    const TUmask Open(0);
    ASSERT_TRUE(BackupFbAdrs(Data.path()));
    for (const char* Folder : {"/backup.FbAdrs", "/backup.FbAdrs/Adrs", "/backup.FbAdrs/Adrs/Book"}) {
        EXPECT_EQ(ModeOf(Data.path() + QLatin1String(Folder)), 0700) << Folder;
    }
    for (const char* File : {"Book/Adrs.DB", "Book/Keyword1.mtd"}) {
        EXPECT_EQ(ModeOf(Backup + QLatin1String(File)), 0600) << File;
    }
}

TEST_F(FbBackupTest, AStoppedBackupKeepsThePreviousOne)
{
    ASSERT_TRUE(BackupFbAdrs(Data.path()));
    const QStringList Before = Tree(Backup);
    int Calls = 0;
    EXPECT_FALSE(BackupFbAdrs(Data.path(), [&Calls](int, int) { return ++Calls < 2; }));
    EXPECT_EQ(Tree(Backup), Before);

    // Nothing to back up: no book in the list.
    FbAdrsBooks.clear();
    EXPECT_FALSE(BackupFbAdrs(Data.path()));
    EXPECT_EQ(Tree(Backup), Before);
}

} // namespace
