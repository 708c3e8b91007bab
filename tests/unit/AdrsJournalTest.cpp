// The journal of pending book deletions and renames as the address-book dialog writes it and both
// programs carry it out.
#include "main/identify/FbEditions.h"
#include "utility/fernbook/AdrsBooks.h"
#include "utility/fernbook/FbConvert.h"
#include "utility/start/UtilFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Utility;

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
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

struct TJournalWorld
{
    QTemporaryDir Root;
    QString Adrs = Root.path() + QStringLiteral("/Adrs/");
    QString Outside = Root.path() + QStringLiteral("/outside/");

    TJournalWorld()
    {
        QDir().mkpath(Adrs);
        WriteFile(Outside + QStringLiteral("x/keep.txt"));
    }
    void MakeBook(const QString& Name) const { WriteFile(Adrs + Name + QStringLiteral("/Adrs.DB")); }
    [[nodiscard]] QString Journal() const { return QString::fromUtf8(ReadFile(Adrs + QStringLiteral("AdrsOp.ini"))); }
    [[nodiscard]] QStringList Folders() const
    {
        return QDir(Adrs).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    [[nodiscard]] QStringList Names() const
    {
        QStringList Result;
        for (const TFbAdrsBook& Book : FbAdrsBooks)
            Result << Book.Name + QLatin1Char('|') + Book.Folder + QLatin1Char('|') + QString::number(Book.State);
        return Result;
    }
};

TEST(AdrsJournalTest, DeletionAndRenameOverTwoBooksLeaveOnlyTheRenamedOneAndNoJournal)
{
    TJournalWorld World;
    World.MakeBook(QStringLiteral("A"));
    World.MakeBook(QStringLiteral("B"));
    WriteFile(World.Adrs + QStringLiteral("AdrsOp.ini"), "[DELETE]\nCount=1\n1=B\n[RENAME]\nCount=1\n1=A/C\n");
    ReadAddressBooks(World.Adrs, true);
    EXPECT_EQ(World.Folders(), QStringList{QStringLiteral("C")});
    EXPECT_EQ(World.Names(), QStringList{QStringLiteral("C|C|0")});
    EXPECT_FALSE(QFileInfo::exists(World.Adrs + QStringLiteral("AdrsOp.ini")));
}

TEST(AdrsJournalTest, DialogEntriesAreWrittenAtOnceInGoldenBytesAndAppliedInOrder)
{
    TJournalWorld World;
    for (const char* Name : {"A", "B", "X"})
        World.MakeBook(QString::fromLatin1(Name));
    ReadAddressBooks(World.Adrs, true);
    ASSERT_TRUE(JournalBookDeletion(World.Adrs, QStringLiteral("X")));
    ASSERT_TRUE(JournalBookRename(World.Adrs, QStringLiteral("A"), QStringLiteral("C")));
    EXPECT_EQ(World.Journal(), QStringLiteral("[DELETE]\nCount=1\n1=X\n\n[RENAME]\nCount=1\n1=A/C\n"));
    // A second rename of the new name in the same dialog follows the first; the list shows D at once.
    ASSERT_TRUE(JournalBookRename(World.Adrs, QStringLiteral("C"), QStringLiteral("D")));
    EXPECT_EQ(World.Names(), (QStringList{QStringLiteral("D|A|2"), QStringLiteral("B|B|0"), QStringLiteral("|X|1")}));
    EXPECT_EQ(World.Journal(), QStringLiteral("[DELETE]\nCount=1\n1=X\n\n[RENAME]\nCount=2\n1=A/C\n2=C/D\n"));
    // The list read again without carrying the journal out still shows the chain's end.
    ReadAddressBooks(World.Adrs, false);
    EXPECT_EQ(World.Names(), (QStringList{QStringLiteral("D|A|2"), QStringLiteral("B|B|0"), QStringLiteral("|X|1")}));
    ReadAddressBooks(World.Adrs, true);
    EXPECT_EQ(World.Folders(), (QStringList{QStringLiteral("B"), QStringLiteral("D")}));
}

TEST(AdrsJournalTest, AnAppendedEntryKeepsEveryEntryOfTheFileThoseTheRunPassesOverIncluded)
{
    TJournalWorld World;
    World.MakeBook(QStringLiteral("A"));
    // "Gone" no longer exists and "../x" is no book name: the run passes both over, the file keeps them.
    WriteFile(World.Adrs + QStringLiteral("AdrsOp.ini"), "; kept\n[DELETE]\nCount=2\n1=Gone\n2=../x\n[OTHER]\nKey=1\n");
    ReadAddressBooks(World.Adrs, false);
    ASSERT_TRUE(JournalBookDeletion(World.Adrs, QStringLiteral("A")));
    EXPECT_EQ(World.Journal(), QStringLiteral("; kept\n[DELETE]\nCount=3\n1=Gone\n2=../x\n3=A\n[OTHER]\nKey=1\n"));
}

TEST(AdrsJournalTest, EntriesThatLeadOutOfTheAdrsFolderAreIgnoredOrLeftPending)
{
    TJournalWorld World;
    World.MakeBook(QStringLiteral("A"));
    World.MakeBook(QStringLiteral("B"));
    World.MakeBook(QStringLiteral("L"));
    ASSERT_TRUE(QFile::link(World.Outside + QStringLiteral("x"), World.Adrs + QStringLiteral("Link")));
    const QByteArray Journal = "[DELETE]\nCount=4\n1=../outside/x\n2=" + World.Outside.toUtf8() +
                               "x\n3=a\\b\n4=.hidden\n[RENAME]\nCount=4\n1=A/../../outside/x\n2=B/" +
                               World.Outside.toUtf8() + "x\n3=L/Link\n4=A/b:c\n";
    WriteFile(World.Adrs + QStringLiteral("AdrsOp.ini"), Journal);
    ReadAddressBooks(World.Adrs, true);
    EXPECT_EQ(ReadFile(World.Outside + QStringLiteral("x/keep.txt")), QByteArray("x"));
    EXPECT_EQ(QDir(World.Outside + QStringLiteral("x")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("keep.txt")});
    EXPECT_TRUE(QFileInfo::exists(World.Adrs + QStringLiteral("A/Adrs.DB")));
    EXPECT_TRUE(QFileInfo::exists(World.Adrs + QStringLiteral("B/Adrs.DB")));
    EXPECT_TRUE(QFileInfo::exists(World.Adrs + QStringLiteral("L/Adrs.DB")));
    // Only the rename onto the link is a rename of plain names: it stays pending, the others are dropped.
    // Nothing left to delete: no empty section either.
    EXPECT_EQ(World.Journal(), QStringLiteral("[RENAME]\nCount=1\n1=L/Link\n"));
}

TEST(AdrsJournalTest, BookNamesFollowTheDialogsRules)
{
    EXPECT_TRUE(IsPlainBookFolderName(QStringLiteral("得意先")));
    EXPECT_TRUE(IsPlainBookFolderName(QString(50, QChar(0x3042))));
    EXPECT_FALSE(IsPlainBookFolderName(QString(51, QChar(0x3042))));
    for (const char* Bad :
         {"", ".", "..", ".x", "a/b", "a\\b", "a:b", "a;b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b"})
        EXPECT_FALSE(IsPlainBookFolderName(QString::fromUtf8(Bad))) << Bad;
    EXPECT_EQ(BookNameCharRefusal(QStringLiteral(".a")), QStringLiteral("' . ' で始まる名前は指定できません  "));
    EXPECT_EQ(BookNameCharRefusal(QStringLiteral("a|b")),
              QStringLiteral("アドレス帳には次の文字は使えません\r\n \\ / : ; * ? \" < > |   "));
    EXPECT_EQ(BookNameCharRefusal(QStringLiteral("ab")), QString());
}

TEST(AdrsJournalTest, ANewBookNamedLikeOnePendingDeletionGetsANumberedFolderAndAJournaledRename)
{
    TJournalWorld World;
    World.MakeBook(QStringLiteral("Shop"));
    QDir().mkpath(World.Adrs + QStringLiteral("Shop（1）")); // taken by something else already
    ReadAddressBooks(World.Adrs, true);
    ASSERT_TRUE(JournalBookDeletion(World.Adrs, QStringLiteral("Shop")));
    ASSERT_TRUE(AddNewBook(World.Adrs, QStringLiteral("Shop")));
    EXPECT_TRUE(QFileInfo(World.Adrs + QStringLiteral("Shop（2）")).isDir());
    EXPECT_EQ(World.Names(), (QStringList{QStringLiteral("|Shop|1"), QStringLiteral("Shop|Shop（2）|2")}));
    EXPECT_EQ(World.Journal(), QStringLiteral("[DELETE]\nCount=1\n1=Shop\n\n[RENAME]\nCount=1\n1=Shop（2）/Shop\n"));
    // A plain new name gets its own folder and no journal entry; a listed one is only chosen again.
    ASSERT_TRUE(AddNewBook(World.Adrs, QStringLiteral("New")));
    ASSERT_TRUE(AddNewBook(World.Adrs, QStringLiteral("new")));
    EXPECT_EQ(World.Names().size(), 3);
    EXPECT_TRUE(QFileInfo(World.Adrs + QStringLiteral("New")).isDir());
}

TEST(AdrsJournalTest, TheEditionFolderItsSettingsFileAndTheTableFileAreFoundInAnyLetterCase)
{
    TJournalWorld World;
    const QByteArray Home = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(World.Root.path() + QStringLiteral("/home")));
    const QString Data = World.Root.path() + QStringLiteral("/fb/");
    QDir().mkpath(Data);
    WriteFile(World.Root.path() + QStringLiteral("/home/Pelmar/Fbarea18/FBAREA18.INI"),
              "[BASE]\nDataPath=" + Data.toUtf8() + "\n");
    const auto Found = FindFernbookFolders();
    qputenv("XDG_DATA_HOME", Home);
    EXPECT_EQ(Found[0], Data);
    EXPECT_EQ(Found[1], NotFoundText);
    WriteFile(World.Adrs + QStringLiteral("Book/adrs.db"));
    EXPECT_EQ(FindAdrsTableFile(World.Adrs + QStringLiteral("Book/")), QStringLiteral("adrs.db"));
}

} // namespace
