#include "platform/text/Cp932.h"
#include "tests/support/OwnTables.h"
#include "transfer/export/ExportRun.h"
#include "transfer/print/ListPrt.h"
#include "transfer/print/PreviewWalk.h"

#include <QFile>
#include <gtest/gtest.h>

// The export and print runs walk the tables of the data module they are handed, never the
// program-wide ones: two offices' folders side by side, each with calls and callers of its own.

namespace {

class HandedTablesRunsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Mine.AddEntry(0, QStringLiteral("03-1111-1111"), QStringLiteral("一の客"));
        Mine.AddCall(0, QStringLiteral("03-1111-1111"), QStringLiteral("Ａ"));
        Mine.AddCall(1, QStringLiteral("03-2222-2222"), QStringLiteral("Ｂ"));
        Other.AddEntry(0, QStringLiteral("03-2222-2222"), QStringLiteral("他店の客"));
        for (int RecNo = 0; RecNo < 5; ++RecNo)
            Other.AddCall(RecNo, QStringLiteral("03-2222-2222"), QStringLiteral("要注意"));
    }
    void TearDown() override
    {
        for (TOwnTables* Tables : {&Mine, &Other}) {
            EXPECT_EQ(Tables->Module.RecvHisOpenCount(), 0) << "every run closes what it opened";
            EXPECT_EQ(Tables->Module.MeiboOpenCount(), 0);
            EXPECT_TRUE(Tables->OutOfGlobalReach());
        }
        EXPECT_EQ(RecvHisTable, nullptr);
        EXPECT_EQ(MeiboTable, nullptr);
    }

    TOwnTables Mine;
    TOwnTables Other;
};

} // namespace

TEST_F(HandedTablesRunsTest, AnExportWritesTheCallsOfItsModuleWithItsOwnCallers)
{
    const QString Out = Mine.Folder + QStringLiteral("calls.csv");
    {
        const TExportTables Tables(Mine.Module, false);
        ASSERT_TRUE(Tables.Opened());
        ASSERT_EQ(Tables.CallerDirectory(), Mine.Module.Meibo());
        TExportSource Walk;
        Walk.Table = Tables.Table();
        Walk.Meibo = Tables.CallerDirectory();
        // The rank and the caller's name from the directory.
        Walk.Layout = {TExportLayoutEntry{1, 8}, TExportLayoutEntry{2, 21}};
        Walk.ItemNames = ExportItemNames(ExportSourceHistory, {"s1", "s2", "s3"});
        Walk.Settings.OutHeader = false;
        TExportTextFile File;
        ASSERT_TRUE(File.Open(Out, false));
        EXPECT_EQ(ExportAll(File, Walk).Written, 2);
        ASSERT_TRUE(File.Commit());
    }
    QFile Written(Out);
    ASSERT_TRUE(Written.open(QIODevice::ReadOnly));
    EXPECT_EQ(Cp932DecodeLenient(Written.readAll()), QStringLiteral("Ｂ,\r\nＡ,一の客\r\n"));
}

TEST_F(HandedTablesRunsTest, TheDirectoryIsItsOwnSourceWithoutCallers)
{
    const TExportTables Tables(Other.Module, true);
    ASSERT_TRUE(Tables.Opened());
    EXPECT_EQ(Tables.Table(), Other.Module.Meibo());
    EXPECT_EQ(Tables.CallerDirectory(), nullptr);
    EXPECT_EQ(Other.Module.RecvHisOpenCount(), 0) << "the history stays closed for the directory";
    EXPECT_EQ(Tables.Table()->RecordCount(), 1);
}

TEST_F(HandedTablesRunsTest, ThePrintPreviewWalksAndCountsTheTableOfItsModule)
{
    TListPrintModel Model;
    Model.PrintSource = SourceRecvHis;
    Model.CountSourceRecords(Mine.Module);
    EXPECT_EQ(Model.SourceRecordCount, 2);
    Model.CountSourceRecords(Other.Module);
    EXPECT_EQ(Model.SourceRecordCount, 5);

    QStringList Texts;
    {
        TPreviewWalk Walk(Mine.Module, SourceRecvHis, 1, 10, false);
        for (; !Walk.AtEnd(); Walk.Next())
            Texts << Walk.GetItemText(10) + u'|' + Walk.GetItemText(20);
    }
    EXPECT_EQ(Texts, (QStringList{QStringLiteral("Ｂ|"), QStringLiteral("Ａ|一の客")}));
}
