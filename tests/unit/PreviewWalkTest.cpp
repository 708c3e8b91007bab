#include "transfer/print/PreviewWalk.h"

#include "FakePrinters.h"
#include "HisTableFixture.h"
#include "platform/ini/IniFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class PreviewWalkTest : public ::testing::Test
{
protected:
    QTemporaryDir Folder;
    std::unique_ptr<THisFixtureData> Data;

    void SetUp() override
    {
        Data = std::make_unique<THisFixtureData>(Folder.path());
        // Row I is called at 45000 + I quarter-hours: the higher I, the newer.
        AppendHistoryRows(Data->Table(), 10, [](int I) {
            THisFixtureRow Row = GeneratedRow(I * 3);
            Row.Tel = QStringLiteral("03-0000-%1").arg(I, 4, 10, QLatin1Char('0'));
            return Row;
        });
        Data->Module.CloseRecvHis();
        Data->Module.CreateMeiboTable();
        TTableUse Use(Data->Module, TDataTable::Meibo);
        ASSERT_TRUE(Use.Opened());
        for (int I : {2, 7}) {
            MeiboTable->Append();
            MeiboTable->FieldByName(QStringLiteral("RecNo")).SetAsInteger(I);
            // The caller of row 7 is found by the directory's second number.
            const QString Tel = QStringLiteral("0300000%1").arg(I, 3, 10, QLatin1Char('0'));
            MeiboTable->FieldByName(QString::fromLatin1(I == 7 ? "SchTel2" : "SchTel1")).SetAsString(Tel);
            MeiboTable->FieldByName(QStringLiteral("Tel1")).SetAsString(QStringLiteral("entry %1").arg(I));
            MeiboTable->FieldByName(QStringLiteral("Pos")).SetAsString(QStringLiteral("1000001"));
            MeiboTable->FieldByName(QStringLiteral("Tdfkn")).SetAsString(QStringLiteral("東京都"));
            MeiboTable->FieldByName(QStringLiteral("Adrs1")).SetAsString(QStringLiteral("千代田区%1").arg(I));
            MeiboTable->Post();
        }
    }
    void TearDown() override { Data->Module.OpenRecvHis(); } // the fixture closes it once more

    QStringList Page(int Source, int PageNo, int PerPage, int ItemNo)
    {
        TPreviewWalk Walk(Data->Module, Source, PageNo, PerPage, false);
        QStringList Texts;
        for (int Row = 0; Row < PerPage && !Walk.AtEnd(); ++Row, Walk.Next())
            Texts << QStringLiteral("%1 %2").arg(Walk.RunningNumber()).arg(Walk.GetItemText(ItemNo));
        return Texts;
    }
};

TEST_F(PreviewWalkTest, HistoryPagesRunNewestFirstWithTheirRunningNumbers)
{
    EXPECT_EQ(Page(SourceRecvHis, 1, 4, 4),
              (QStringList{"1 03-0000-0009", "2 03-0000-0008", "3 03-0000-0007", "4 03-0000-0006"}));
    // Reached from the oldest end: the last page holds the two oldest rows.
    EXPECT_EQ(Page(SourceRecvHis, 3, 4, 4), (QStringList{"9 03-0000-0001", "10 03-0000-0000"}));
    EXPECT_EQ(Page(SourceRecvHis, 2, 4, 4).first(), QStringLiteral("5 03-0000-0005"));
    EXPECT_TRUE(Page(SourceRecvHis, 4, 4, 4).isEmpty());
    EXPECT_TRUE(Page(SourceRecvHis, 1, 0, 4).isEmpty());
    EXPECT_EQ(Data->Module.RecvHisOpenCount(), 0);
    EXPECT_EQ(Data->Module.MeiboOpenCount(), 0);
}

TEST_F(PreviewWalkTest, HistoryRowsFindTheirCallerByEitherDirectoryNumber)
{
    const QStringList Texts = Page(SourceRecvHis, 1, 10, 15);
    EXPECT_EQ(Texts[2], QStringLiteral("3 東京都千代田区7"));
    EXPECT_EQ(Texts[7], QStringLiteral("8 東京都千代田区2"));
    EXPECT_EQ(Texts[0], QStringLiteral("1 "));
    EXPECT_EQ(Page(SourceRecvHis, 1, 10, 14)[7], QStringLiteral("8 100-0001"));
}

TEST_F(PreviewWalkTest, DirectoryPagesFollowThePrimaryIndex)
{
    EXPECT_EQ(Page(SourceMeibo, 1, 1, 2), QStringList{"1 entry 2"});
    EXPECT_EQ(Page(SourceMeibo, 2, 1, 2), QStringList{"2 entry 7"});
    EXPECT_TRUE(Page(SourceMeibo, 3, 1, 2).isEmpty());
}

} // namespace

namespace {

TEST(ListPageTest, ThePreviewFramesThePrintableAreaInsideTheSheetAndThePrintPageStartsAtIt)
{
    QTemporaryDir Folder;
    TFakePrinters Printers;
    Printers.Add(QStringLiteral("Office Laser"), FakeCaps({QPageSize::A4}, 600, QMarginsF(5, 5, 5, 5)));
    TListPrintModel Model;
    TMemIniFile Ini(Folder.filePath(QStringLiteral("VxRelvo16.ini")));
    Ini.FromBytes("[LIST PRINT]\nPrintSource=1\n[LIST PRINT LAYOUT MEIBO]\nItemNo=1,16\nItemSize=5,10\n");
    Model.LoadPrintSettings(Ini, Folder.filePath(QStringLiteral("LstPrint.pi")));
    Model.RecordsPerPage = 52;
    const TListPage Preview = MakeListPage(Model, 2, 5, true);
    EXPECT_EQ(Preview.Frame, QRect(118, 118, 4961 - 236, 7016 - 236));
    EXPECT_TRUE(Preview.Outline);
    EXPECT_EQ(Preview.Headers, (QStringList{"No.", "RANK"}));
    EXPECT_EQ(Preview.Layout, (TLayout{{1, 5}, {16, 10}}));
    EXPECT_EQ(Preview.PageNo, 2);
    const TListPage Print = MakeListPage(Model, 2, 5, false);
    EXPECT_EQ(Print.Frame, QRect(0, 0, 4961 - 236, 7016 - 236));
    EXPECT_FALSE(Print.Outline);
}

} // namespace
