#include "directory/record/MeiboVw.h"
#include "main/controls/NMDEdit.h"
#include "main/settings/Settings.h"
#include "tests/support/OwnTables.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/SqlRows.h"
#include "widelayer/UniSortListView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// The record window works on the data module it is handed: two offices' folders side by side, the
// program-wide tables never made.

namespace {

class MeiboViewTablesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        SettingsPath = Mine.Folder;
        ASSERT_EQ(RecvHisTable, nullptr);
        ASSERT_EQ(MeiboTable, nullptr);
    }
    void TearDown() override
    {
        View.reset();
        Settings = TSettings();
        SettingsPath.clear();
        EXPECT_TRUE(Mine.OutOfGlobalReach() && Other.OutOfGlobalReach());
    }
    void Open(const TCallerRecord* Record)
    {
        View = std::make_unique<TMeiboView>(Mine.Module);
        View->ShowRecord(Record);
        View->show();
        (void)QTest::qWaitForWindowExposed(View.get());
    }
    QStringList Column(int Column) const
    {
        QStringList Texts;
        const QAbstractItemModel* Model = View->lvHisList->model();
        for (int Row = 0; Row < Model->rowCount(); ++Row)
            Texts << Model->index(Row, Column).data().toString();
        return Texts;
    }

    TOwnTables Mine;
    TOwnTables Other;
    std::unique_ptr<TMeiboView> View;
};

} // namespace

TEST_F(MeiboViewTablesTest, TheHistoryPanelListsTheCallsOfItsOwnTableOnly)
{
    Mine.AddEntry(7, QStringLiteral("03-1111-2222"), QStringLiteral("山田太郎"));
    Mine.AddCall(0, QStringLiteral("03-1111-2222"), QStringLiteral("Ａ"));
    Mine.AddCall(1, QStringLiteral("03-9999-0000"));
    Mine.AddCall(2, QStringLiteral("03-1111-2222"), QStringLiteral("Ｂ"));
    // The other folder has more calls of the same number, under other ranks.
    for (int RecNo = 0; RecNo < 4; ++RecNo)
        Other.AddCall(RecNo, QStringLiteral("03-1111-2222"), QStringLiteral("要注意"));

    TCallerRecord Entry;
    Entry.RecNo = 7;
    Entry.Tel[0] = QStringLiteral("03-1111-2222");
    Entry.SchTel[0] = DigitsOnly(Entry.Tel[0]);
    Open(&Entry);
    QTest::mouseClick(View->btnOpenRecv, Qt::LeftButton);

    EXPECT_EQ(View->HistoryRecNos(), (QList<int>{2, 0}));
    EXPECT_EQ(Column(3), (QStringList{QStringLiteral("Ｂ"), QStringLiteral("Ａ")}));
}

TEST_F(MeiboViewTablesTest, ANewEntryGoesIntoItsOwnDirectoryAndOnlyItsEntriesAreDuplicates)
{
    Mine.Module.Rank()->Add(QStringLiteral("常連"), 45000);
    Other.Module.Rank()->Add(QStringLiteral("新規"), 45000);
    // The same number in the other folder is no entry to replace here.
    Other.AddEntry(0, QStringLiteral("03-1234-5678"), QStringLiteral("他店の客"));

    TScriptedBoxes Boxes("No");
    Open(nullptr);
    ASSERT_EQ(View->cbxRank->count(), 1);
    EXPECT_EQ(View->cbxRank->itemText(0), QStringLiteral("常連")) << "the rank list of the module handed in";
    View->edtTel1->setText(QStringLiteral("03-1234-5678"));
    View->nmedtNameKanji->setText(QStringLiteral("鈴木花子"));
    QTest::mouseClick(View->btnAddUpd, Qt::LeftButton);

    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("登録しました  \r\n続けて登録しますか？  ")});
    EXPECT_EQ(SqlRows(Mine.Folder + MeiboFileName, "SELECT RecNo, Tel1, NameKanji FROM Meibo"),
              QStringList{QStringLiteral("0|03-1234-5678|鈴木花子")});
    EXPECT_EQ(SqlRows(Other.Folder + MeiboFileName, "SELECT RecNo, Tel1, NameKanji FROM Meibo"),
              QStringList{QStringLiteral("0|03-1234-5678|他店の客")});
}
