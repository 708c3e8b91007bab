#include "main/settings/OwnedFiles.h"

#include "main/settings/Settings.h"
#include "platform/sys/Folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

// Which places a write chosen by the user may not go: any name of a file the programs own.

namespace {

void Touch(const QString& Name)
{
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("x");
}

class OwnedFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(Data));
        ASSERT_TRUE(QDir().mkpath(Other));
        Touch(Data + QStringLiteral("Meibo.DB"));
        Touch(Data + QStringLiteral("RecvHis.DB-journal"));
    }
    bool Owned(const QString& Path) const
    {
        return IsFileOfFolders(Path, {{Data, {QStringLiteral("*.DB")}}, {Root.path() + "/missing/", {"*"}}});
    }

    QTemporaryDir Root;
    QString Data = Root.path() + QStringLiteral("/data/");
    QString Other = Root.path() + QStringLiteral("/other/");
};

} // namespace

TEST_F(OwnedFilesTest, EveryNameOfAnOwnedFileIsRefused)
{
    EXPECT_TRUE(Owned(Data + QStringLiteral("Meibo.DB")));
    EXPECT_TRUE(Owned(Data + QStringLiteral("RecvHis.DB-journal")));
    EXPECT_TRUE(Owned(Root.path() + QStringLiteral("/other/../data/./Meibo.DB")));
    ASSERT_EQ(
        ::link(QFile::encodeName(Data + "Meibo.DB").constData(), QFile::encodeName(Other + "hard.csv").constData()), 0);
    EXPECT_TRUE(Owned(Other + QStringLiteral("hard.csv")));
    ASSERT_TRUE(QFile::link(Data + QStringLiteral("Meibo.DB"), Other + QStringLiteral("soft.csv")));
    EXPECT_TRUE(Owned(Other + QStringLiteral("soft.csv")));
    // The folder itself under another name.
    ASSERT_TRUE(QFile::link(Root.path() + QStringLiteral("/data"), Root.path() + QStringLiteral("/alias")));
    EXPECT_TRUE(Owned(Root.path() + QStringLiteral("/alias/Meibo.DB")));
}

TEST_F(OwnedFilesTest, AJournalNotYetThereIsRefusedToo)
{
    // A file there would be taken for the table's hot journal at its next opening.
    EXPECT_TRUE(Owned(Data + QStringLiteral("Meibo.DB-journal")));
    EXPECT_TRUE(Owned(Data + QStringLiteral("Meibo.DB-wal")));
    ASSERT_TRUE(QFile::link(Data + QStringLiteral("Meibo.DB-journal"), Other + QStringLiteral("dangling.csv")));
    EXPECT_TRUE(Owned(Other + QStringLiteral("dangling.csv")));
}

TEST_F(OwnedFilesTest, OtherPlacesAreFree)
{
    EXPECT_FALSE(Owned(Data + QStringLiteral("Meibo.csv")));
    // A file of the user's in the same folder, an earlier export, is the user's to write over.
    Touch(Data + QStringLiteral("Rireki.txt"));
    EXPECT_FALSE(Owned(Data + QStringLiteral("Rireki.txt")));
    // Names are the file system's: another case is another file.
    EXPECT_FALSE(Owned(Data + QStringLiteral("meibo.db")));
    EXPECT_FALSE(Owned(Other + QStringLiteral("Meibo.DB")));
    EXPECT_FALSE(Owned(Other + QStringLiteral("Meibo.DB-journal")));
    Touch(Other + QStringLiteral("copy.csv"));
    EXPECT_FALSE(Owned(Other + QStringLiteral("copy.csv")));
    EXPECT_FALSE(IsFileOfFolders(Data + QStringLiteral("Meibo.DB"), {}));
    EXPECT_FALSE(IsFileOfFolders(Data + QStringLiteral("Meibo.DB"), {{Data, {QStringLiteral("*.mtd")}}}));
}

TEST_F(OwnedFilesTest, TheProgramsOwnTheDataAndSettingsFolders)
{
    const QString KeptData = Settings.DataPath;
    const QString KeptSettings = SettingsPath;
    Settings.DataPath = Data;
    SettingsPath = Other;
    EXPECT_TRUE(IsOwnedFile(Data + QStringLiteral("Meibo.DB")));
    Touch(Data + QStringLiteral("Rank.mtd"));
    EXPECT_TRUE(IsOwnedFile(Data + QStringLiteral("Rank.mtd")));
    Touch(Data + QStringLiteral("Rireki.txt"));
    EXPECT_FALSE(IsOwnedFile(Data + QStringLiteral("Rireki.txt")));
    Touch(Other + QStringLiteral("VxRelvo16.ini"));
    EXPECT_TRUE(IsOwnedFile(Other + QStringLiteral("VxRelvo16.ini")));
    EXPECT_TRUE(OwnedFileRefusal(Data + QStringLiteral("Meibo.DB")).contains(QStringLiteral("出力先に指定できません")));
    Settings.DataPath = KeptData;
    SettingsPath = KeptSettings;
}
