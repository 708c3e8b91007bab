#include "main/identify/FbEditions.h"

#include "main/settings/Settings.h"
#include "main/tables/AdrsTableDef.h"
#include "peers/fernbook/FernbookTable.h"
#include "platform/sys/Folders.h"
#include "tests/support/HermeticRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

} // namespace

void PrintTo(const TFbAdrsBook& Book, std::ostream* Out)
{
    *Out << '{' << Book.Name.toStdString() << ", " << Book.Folder.toStdString() << ", " << int(Book.State) << '}';
}

namespace {

void WriteFile(const QString& Path, const QByteArray& Content = "x")
{
    QDir().mkpath(QFileInfo(Path).absolutePath());
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly)) << Path.toStdString();
    File.write(Content);
}

QByteArray ReadFile(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

// An Adrs folder of one test, with helpers to lay out books and the journal.
struct TAdrsFolder
{
    QTemporaryDir Root;
    QString Path = Root.path() + QStringLiteral("/Adrs/");

    TAdrsFolder() { QDir().mkpath(Path); }
    void MakeBook(const QString& Name) { WriteFile(Path + Name + QStringLiteral("/Adrs.DB")); }
    void WriteJournal(const QByteArray& Text) { WriteFile(Path + QStringLiteral("AdrsOp.ini"), Text); }
    // The journal's lines without blank ones.
    [[nodiscard]] QByteArray Journal() const
    {
        QByteArray Text = ReadFile(Path + QStringLiteral("AdrsOp.ini"));
        while (Text.contains("\n\n"))
            Text.replace("\n\n", "\n");
        return Text;
    }
    [[nodiscard]] bool JournalExists() const { return QFileInfo::exists(Path + QStringLiteral("AdrsOp.ini")); }
    [[nodiscard]] bool Exists(const QString& Name) const { return QFileInfo::exists(Path + Name); }
};

QList<TFbAdrsBook> Books(std::initializer_list<TFbAdrsBook> List)
{
    return QList<TFbAdrsBook>(List);
}

TEST(FbEditionsTest, BooksAreFoldersWithATableSortedWithoutRegardToCase)
{
    TAdrsFolder Adrs;
    Adrs.MakeBook(QStringLiteral("C"));
    Adrs.MakeBook(QStringLiteral("b"));
    Adrs.MakeBook(QStringLiteral("A"));
    WriteFile(Adrs.Path + QStringLiteral("NoTable/Other.DB"));
    WriteFile(Adrs.Path + QStringLiteral("Lower/adrs.db")); // the product's own spelling on Windows
    LoadAddressBookList(Adrs.Path, true);
    EXPECT_EQ(FbAdrsBooks, Books({{"A", "A", 0}, {"b", "b", 0}, {"C", "C", 0}, {"Lower", "Lower", 0}}));
    EXPECT_FALSE(Adrs.JournalExists());
}

TEST(FbEditionsTest, PendingOperationsAreCarriedOutAndWhatFailsStaysInTheJournal)
{
    TAdrsFolder Adrs;
    for (const char* Name : {"Gone", "Kept", "Old", "Moved", "A", "B", "C"})
        Adrs.MakeBook(QString::fromLatin1(Name));
    WriteFile(Adrs.Path + QStringLiteral("Kept/Sub/file")); // a sub-folder stops the deletion
    WriteFile(Adrs.Path + QStringLiteral("Moved/Note.txt"));
    Adrs.WriteJournal("[DELETE]\nCount=3\n1=Gone\n2=Missing\n3=Kept\n"
                      "[RENAME]\nCount=3\n1=Moved/New\n2=A/B\n3=B/C\n");
    LoadAddressBookList(Adrs.Path, true);

    EXPECT_FALSE(Adrs.Exists(QStringLiteral("Gone")));
    EXPECT_TRUE(Adrs.Exists(QStringLiteral("Kept/Sub/file")));
    EXPECT_FALSE(Adrs.Exists(QStringLiteral("Kept/Adrs.DB"))); // its files went, the folder could not
    EXPECT_FALSE(Adrs.Exists(QStringLiteral("Moved")));
    EXPECT_EQ(ReadFile(Adrs.Path + QStringLiteral("New/Note.txt")), QByteArray("x"));
    // A cannot move into B, nor B into C: each target holds a table of its own.
    EXPECT_TRUE(Adrs.Exists(QStringLiteral("A/Adrs.DB")));
    EXPECT_TRUE(Adrs.Exists(QStringLiteral("B/Adrs.DB")));

    // A to B to C is still pending for A, B to C for B. "Kept" lost its files to the deletion attempt, so it is no
    // longer a book, but the journal keeps it for the next run.
    EXPECT_EQ(FbAdrsBooks, Books({{"C", "A", 2}, {"C", "B", 2}, {"C", "C", 0}, {"New", "New", 0}, {"Old", "Old", 0}}));
    EXPECT_EQ(Adrs.Journal(), QByteArray("[DELETE]\nCount=1\n1=Kept\n[RENAME]\nCount=2\n1=A/B\n2=B/C\n"));
}

TEST(FbEditionsTest, APendingDeletionIsListedWithoutAName)
{
    TAdrsFolder Adrs;
    Adrs.MakeBook(QStringLiteral("Busy"));
    Adrs.WriteJournal("[DELETE]\nCount=1\n1=busy\n");
    // Without applying, the journal is only read; names match without regard to case.
    LoadAddressBookList(Adrs.Path, false);
    EXPECT_EQ(FbAdrsBooks, Books({{"", "Busy", 1}}));
    EXPECT_TRUE(Adrs.Exists(QStringLiteral("Busy/Adrs.DB")));
    EXPECT_EQ(Adrs.Journal(), QByteArray("[DELETE]\nCount=1\n1=busy\n"));
    LoadAddressBookList(Adrs.Path, true);
    EXPECT_FALSE(Adrs.Exists(QStringLiteral("Busy")));
    EXPECT_TRUE(FbAdrsBooks.isEmpty());
}

TEST(FbEditionsTest, AJournalWithNothingLeftIsDeleted)
{
    TAdrsFolder Adrs;
    Adrs.MakeBook(QStringLiteral("Book"));
    Adrs.WriteJournal("[DELETE]\nCount=2\n1=NoSuchBook\n2=\n[RENAME]\nCount=1\n1=Ghost/Other\n");
    LoadAddressBookList(Adrs.Path, true);
    EXPECT_FALSE(Adrs.JournalExists());
    EXPECT_FALSE(Adrs.Exists(QStringLiteral("Other")));
    EXPECT_EQ(FbAdrsBooks, Books({{"Book", "Book", 0}}));
}

TEST(FbEditionsTest, JournalEntriesReachNothingOutsideTheirOwnBookFolder)
{
    TAdrsFolder Adrs;
    Adrs.MakeBook(QStringLiteral("Book"));
    WriteFile(Adrs.Root.path() + QStringLiteral("/Victim/Adrs.DB"));
    WriteFile(Adrs.Path + QStringLiteral("loose.txt"));
    const QByteArray Outside = QDir::cleanPath(Adrs.Root.path() + QStringLiteral("/Victim")).toUtf8();
    Adrs.WriteJournal("[DELETE]\nCount=6\n1=../Victim\n2=" + Outside +
                      "\n3=..\n4=.\n5=Book/.\n6=Book\\..\n"
                      "[RENAME]\nCount=5\n1=../Victim/Taken\n2=Book/../Escaped\n3=Book/\n4=/Book\n5=Book/x/y\n");
    LoadAddressBookList(Adrs.Path, true);
    EXPECT_TRUE(QFileInfo::exists(Adrs.Root.path() + QStringLiteral("/Victim/Adrs.DB")));
    EXPECT_TRUE(Adrs.Exists(QStringLiteral("loose.txt")));
    EXPECT_TRUE(Adrs.Exists(QStringLiteral("Book/Adrs.DB")));
    EXPECT_FALSE(QFileInfo::exists(Adrs.Root.path() + QStringLiteral("/Escaped")));
    EXPECT_FALSE(Adrs.JournalExists()); // ignored entries are not kept either
    EXPECT_EQ(FbAdrsBooks, Books({{"Book", "Book", 0}}));

    for (const char* Name : {"", ".", "..", "a/b", "/a", "a\\b"}) {
        EXPECT_FALSE(IsPlainBookFolderName(QString::fromLatin1(Name))) << Name;
    }
    EXPECT_TRUE(IsPlainBookFolderName(QStringLiteral("お客様..控え")));
}

TEST(FbEditionsTest, ALinkBesideTheBooksLeadsNoOperationOutside)
{
    TAdrsFolder Adrs;
    Adrs.MakeBook(QStringLiteral("Old"));
    WriteFile(Adrs.Root.path() + QStringLiteral("/Away/Keep.txt"));
    ASSERT_TRUE(QFile::link(Adrs.Root.path() + QStringLiteral("/Away"), Adrs.Path + QStringLiteral("Link")));
    Adrs.WriteJournal("[DELETE]\nCount=1\n1=Link\n[RENAME]\nCount=2\n1=Old/Link\n2=Link/Taken\n");
    LoadAddressBookList(Adrs.Path, true);
    EXPECT_EQ(QDir(Adrs.Root.path() + QStringLiteral("/Away")).entryList(QDir::Files), QStringList{"Keep.txt"});
    EXPECT_TRUE(Adrs.Exists(QStringLiteral("Old/Adrs.DB")));
    EXPECT_TRUE(QFileInfo(Adrs.Path + QStringLiteral("Link")).isSymLink());
    EXPECT_FALSE(Adrs.Exists(QStringLiteral("Taken")));
    // Nothing was done, so everything waits in the journal.
    EXPECT_EQ(Adrs.Journal(), QByteArray("[DELETE]\nCount=1\n1=Link\n[RENAME]\nCount=2\n1=Old/Link\n2=Link/Taken\n"));
}

TEST(FbEditionsTest, AJournalCountIsOnlyAClaim)
{
    TAdrsFolder Adrs;
    Adrs.MakeBook(QStringLiteral("Gone"));
    Adrs.MakeBook(QStringLiteral("Kept"));
    Adrs.MakeBook(QStringLiteral("Old"));
    Adrs.WriteJournal("[DELETE]\nCount=2147483647\n1=Gone\n01=Kept\n[RENAME]\nCount=$7FFFFFFF\n"
                      "2000000000=Old/New\n");
    QElapsedTimer Timer;
    Timer.start();
    LoadAddressBookList(Adrs.Path, true);
    EXPECT_LT(Timer.elapsed(), 2000);
    EXPECT_FALSE(Adrs.Exists(QStringLiteral("Gone")));
    EXPECT_TRUE(Adrs.Exists(QStringLiteral("Kept"))) << "01 is not the key of entry 1";
    EXPECT_TRUE(Adrs.Exists(QStringLiteral("New/Adrs.DB")));
}

TEST(FbEditionsTest, TheLinkedOrOpenBookIsNeverDeletedOrMoved)
{
    TAdrsFolder Adrs;
    Adrs.MakeBook(QStringLiteral("Linked"));
    Adrs.MakeBook(QStringLiteral("Open"));
    Adrs.WriteJournal("[DELETE]\nCount=1\n1=Linked\n[RENAME]\nCount=1\n1=Open/Renamed\n");
    const TSettings Saved = Settings;
    Settings.UseFbAdrs = true;
    Settings.FbSeries = 1;
    Settings.FbAdrsBookName = QStringLiteral("linked");
    FbDataPaths[1] = Adrs.Root.path() + QLatin1Char('/');
    SetFbOpenBookFolder(Adrs.Path + QStringLiteral("Open"));
    LoadAddressBookList(Adrs.Path, true);
    Settings = Saved;
    FbDataPaths = {};
    SetFbOpenBookFolder({});
    EXPECT_TRUE(Adrs.Exists(QStringLiteral("Linked/Adrs.DB")));
    EXPECT_TRUE(Adrs.Exists(QStringLiteral("Open/Adrs.DB")));
    EXPECT_EQ(FbAdrsBooks, Books({{"", "Linked", 1}, {"Renamed", "Open", 2}}));
    EXPECT_EQ(Adrs.Journal(), QByteArray("[DELETE]\nCount=1\n1=Linked\n[RENAME]\nCount=1\n1=Open/Renamed\n"));

    // Once released, the next run carries them out.
    LoadAddressBookList(Adrs.Path, true);
    EXPECT_EQ(FbAdrsBooks, Books({{"Renamed", "Renamed", 0}}));
}

TEST(FbEditionsTest, EditionsAreFoundThroughTheRegistryOrThePath)
{
    const QString Pelmar = GetCommonAppDataFolder() + QStringLiteral("Pelmar/");
    QTemporaryDir Data;
    WriteFile(Pelmar + QStringLiteral("registry.ini"),
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\fbarea18.exe]\n"
              "Path= /opt/fernbook \n");
    WriteFile(Pelmar + QStringLiteral("fbarea18/fbarea18.ini"), "[BASE]\nDataPath= " + Data.path().toUtf8() + " \n");
    FbInstallPaths = {QString(), QStringLiteral("/stale/")};
    FindDirectoryProductFolders();
    EXPECT_EQ(FbInstallPaths[0], QStringLiteral("/opt/fernbook/"));
    EXPECT_EQ(FbDataPaths[0], Data.path() + QLatin1Char('/'));
    EXPECT_EQ(FbInstallPaths[1], QStringLiteral("/stale/")); // not registered, not on PATH: kept
    EXPECT_EQ(FbDataPaths[1], QString());

    // A data folder that does not exist leaves the edition unusable.
    WriteFile(Pelmar + QStringLiteral("fbarea18/fbarea18.ini"), "[BASE]\nDataPath=/no/such/folder\n");
    FindDirectoryProductFolders();
    EXPECT_EQ(FbDataPaths[0], QString());

    // Not registered, but the program is on PATH.
    QTemporaryDir Bin;
    WriteFile(Bin.path() + QStringLiteral("/fbtype18"), "#!/bin/sh\n");
    QFile::setPermissions(Bin.path() + QStringLiteral("/fbtype18"), QFileDevice::ExeOwner | QFileDevice::ReadOwner);
    WriteFile(Pelmar + QStringLiteral("fbtype18/fbtype18.ini"), "[BASE]\nDataPath=" + Data.path().toUtf8() + "\n");
    {
        const TPathGuard Path(Bin.path());
        FindDirectoryProductFolders();
    }
    EXPECT_EQ(FbInstallPaths[1], Bin.path() + QLatin1Char('/'));
    EXPECT_EQ(FbDataPaths[1], Data.path() + QLatin1Char('/'));

    QDir(Pelmar).removeRecursively();
    FbInstallPaths = {};
    FbDataPaths = {};
}

TEST(FbEditionsTest, ProductPagesFollowTheEdition)
{
    EXPECT_TRUE(FbProductPageAddress(1).endsWith(QStringLiteral("/products/fbtype18/")));
    EXPECT_TRUE(FbProductPageAddress(0).endsWith(QStringLiteral("/products/fbarea18/")));
    EXPECT_TRUE(FbProductPageAddress(5).endsWith(QStringLiteral("/products/fbarea18/")));
}

} // namespace

// The address-book product writes its books by a definition of its own; the program reads them by
// its own. A field or index that one side renamed or resized would show only as a book that does
// not open, or a search that finds nothing.
TEST(FbEditionsTest, TheProductsBookIsTheTableTheProgramReads)
{
    const TTableDef Written = FernbookTableDef();
    const TTableDef Read = AdrsTableDef();
    ASSERT_EQ(Written.Fields.size(), 63);
    ASSERT_EQ(Written.Fields.size(), Read.Fields.size());
    for (qsizetype I = 0; I < Read.Fields.size(); ++I) {
        EXPECT_EQ(Written.Fields[I], Read.Fields[I]) << "field " << I << ": " << Read.Fields[I].Name.toStdString();
    }
    ASSERT_EQ(Written.Indexes.size(), 19);
    ASSERT_EQ(Written.Indexes.size(), Read.Indexes.size());
    for (qsizetype I = 0; I < Read.Indexes.size(); ++I) {
        EXPECT_EQ(Written.Indexes[I], Read.Indexes[I]) << "index " << Read.Indexes[I].Name.toStdString();
    }
    EXPECT_EQ(FernbookTableFile, AdrsFileName);
    for (const int Edition : {0, 1}) {
        EXPECT_EQ(FernbookPassword(Edition), AdrsPassword(Edition)) << Edition;
    }
}
