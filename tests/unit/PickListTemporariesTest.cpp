// A pick-list save killed between writing its temporary file and renaming it leaves that file
// behind; the program removes such files of its own lists when it starts, and nothing else.
#include "main/tables/DBInfo.h"
#include "platform/sys/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Touch(const QString& Path)
{
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("half a list");
}

} // namespace

TEST(PickListTemporaries, TheListsOwnLeftTemporariesGoAtStart)
{
    QTemporaryDir Dir;
    const QString Folder = Dir.path() + u'/';
    const QString SelItem = QStringLiteral("SelItem1.mtd");
    const QStringList Left{QStringLiteral("Rank.mtd.tmp-a1B2c3"), QStringLiteral("Rank.mtd.tmp-ZZZZZZ"),
                           SelItem + QStringLiteral(".tmp-q9w8e7")};
    const QStringList Kept{QStringLiteral("Rank.mtd.tmp-notmine"), QStringLiteral("Rank.mtdx.tmp-a1B2c3"),
                           QStringLiteral("Notes.txt.tmp-a1B2c3"), QStringLiteral("Rank.mtd.tmp")};
    for (const QString& Name : Left + Kept)
        Touch(Folder + Name);
    {
        TDMVxRelvo16 Module(Folder, Folder);
        Module.CreateRankHistory();
        Module.CreateSelItemHistory(0);
        Module.FreeSelItemHistory(0);
        Module.FreeRankHistory();
    }
    for (const QString& Name : Left) {
        EXPECT_FALSE(QFile::exists(Folder + Name)) << Name.toStdString();
    }
    for (const QString& Name : Kept) {
        EXPECT_TRUE(QFile::exists(Folder + Name)) << Name.toStdString();
    }
}
