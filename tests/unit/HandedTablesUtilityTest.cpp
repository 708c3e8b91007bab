#include "BoxRecorder.h"
#include "tests/support/OwnTables.h"
#include "tests/support/SqlRows.h"
#include "utility/start/UtilFolders.h"
#include "utility/tables/Maintenance.h"
#include "utility/tables/TableSafety.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

// The utility's optimisation and repair work on the folder of the data module they are handed, not
// on the program-wide tables or the utility's data folder.

namespace {

class HandedTablesUtilityTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The utility's own data folder is elsewhere: nothing may land there.
        Utility::DataPath = Elsewhere.path() + QStringLiteral("/");
        for (TOwnTables* Tables : {&Mine, &Other}) {
            Tables->AddEntry(3, QStringLiteral("03-1111-1111"), QStringLiteral("三"));
            Tables->AddEntry(8, QStringLiteral("03-2222-2222"), QStringLiteral("八"));
            Tables->Module.FreeMeiboTable(); // a run makes its own table object
        }
    }
    void TearDown() override
    {
        Utility::DataPath.clear();
        EXPECT_TRUE(QDir(Elsewhere.path()).isEmpty());
        EXPECT_TRUE(Mine.OutOfGlobalReach() && Other.OutOfGlobalReach());
        EXPECT_EQ(MeiboTable, nullptr);
    }
    static QStringList Entries(const TOwnTables& Tables)
    {
        return SqlRows(Tables.Folder + MeiboFileName, "SELECT RecNo, NameKanji FROM Meibo ORDER BY RecNo");
    }

    QTemporaryDir Elsewhere;
    TOwnTables Mine;
    TOwnTables Other;
    TBoxRecorder Boxes;
};

} // namespace

TEST_F(HandedTablesUtilityTest, TheOptimisationRenumbersTheTableOfItsModuleOnly)
{
    EXPECT_EQ(Utility::OptimizeTable(Mine.Module, TDataTable::Meibo, true), Utility::TOptimizeResult::Done);
    EXPECT_EQ(Entries(Mine), (QStringList{QStringLiteral("0|三"), QStringLiteral("1|八")}));
    EXPECT_EQ(Entries(Other), (QStringList{QStringLiteral("3|三"), QStringLiteral("8|八")}));
    EXPECT_EQ(Mine.Module.Meibo(), nullptr) << "the run frees the table object it made";
    EXPECT_TRUE(Boxes.Boxes.isEmpty());
}

TEST_F(HandedTablesUtilityTest, TheRepairKeepsItsCopyInTheFolderOfItsModule)
{
    TTable::TSalvageCount Rows;
    EXPECT_EQ(Utility::RepairTable(Other.Module, TDataTable::Meibo, {}, &Rows), Utility::TRepairResult::Done);
    EXPECT_EQ(Rows.Saved, 2);
    EXPECT_TRUE(QFileInfo::exists(Other.Folder + Utility::RepairBackupFolder + MeiboFileName));
    EXPECT_FALSE(QFileInfo::exists(Mine.Folder + Utility::RepairBackupFolder));
    EXPECT_EQ(Entries(Other), (QStringList{QStringLiteral("3|三"), QStringLiteral("8|八")}));
    EXPECT_TRUE(Boxes.Boxes.isEmpty());
}
