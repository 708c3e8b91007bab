#include "utility/convert/OlderData.h"

#include "main/tables/HisInfo.h"
#include "platform/db/ParadoxTable.h"
#include "platform/msg/MessageBoxFlags.h"
#include "tests/support/OlderVersionFixture.h"
#include "tests/unit/BoxRecorder.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Utility;

namespace {

OlderFixture::TRow HistoryRow(const QString& Tel, double When)
{
    return {{QStringLiteral("RecvDateTime"), When},
            {QStringLiteral("RecvWeek"), 3},
            {QStringLiteral("SchTel"), Tel},
            {QStringLiteral("Tel"), Tel},
            {QStringLiteral("NameKanji"), QStringLiteral("山田太郎")},
            {QStringLiteral("Division"), QStringLiteral("1")}};
}

TEST(OlderDataTest, ATableReadsBackTextNumbersAndTimesAsWritten)
{
    QTemporaryDir Dir;
    const OlderFixture::TDataFolder Folder(12, Dir.path());
    const double When = 45000.5 + 1.0 / 86400; // half past noon and a second
    Folder.WriteRecvHis({HistoryRow(QStringLiteral("0312345678"), When), HistoryRow(QStringLiteral("0699998888"), 0)});
    TBoxRecorder Boxes;
    const QStringList Before = DefaultSession().Passwords();
    {
        TDMVxRelvoOlder Module(12);
        EXPECT_TRUE(DefaultSession().Passwords().contains(QStringLiteral("molgat12")));
        ASSERT_TRUE(Module.OpenRecvHisTable(Dir.path()));
        TParadoxTable& Table = *Module.SourceRecvHisTable;
        ASSERT_EQ(Table.RecordCount(), 2);
        Table.First();
        EXPECT_EQ(Table.FieldByName(QStringLiteral("NameKanji")).AsString(), QStringLiteral("山田太郎"));
        EXPECT_EQ(Table.FieldByName(QStringLiteral("SchTel")).AsString(), QStringLiteral("0312345678"));
        EXPECT_EQ(Table.FieldByName(QStringLiteral("RecvWeek")).AsInteger(), 3);
        EXPECT_NEAR(Table.FieldByName(QStringLiteral("RecvDateTime")).AsFloat(), When, 1e-9);
        Table.Next();
        // An empty date stays empty rather than becoming the first day of year 1.
        EXPECT_TRUE(Table.FieldByName(QStringLiteral("RecvDateTime")).IsNull());
        EXPECT_EQ(Table.FieldByName(QStringLiteral("CorpKana")).AsString(), QString());
        Table.Next();
        EXPECT_TRUE(Table.Eof());
        // The table is held: no other reader gets it meanwhile.
        TParadoxTable Other;
        Other.SetDatabaseName(Dir.path());
        Other.SetTableName(QStringLiteral("RecvHis.DB"));
        EXPECT_THROW(Other.Open(), EParadoxError);
    }
    EXPECT_EQ(DefaultSession().Passwords(), Before);
    EXPECT_TRUE(Boxes.Boxes.isEmpty());
}

TEST(OlderDataTest, AnEmptyNumberIsEmptyWhateverFollowsIt)
{
    QTemporaryDir Dir;
    const OlderFixture::TDataFolder Folder(5, Dir.path());
    // Latitude empty before a Longitude, Longitude empty as the record's last field before a row
    // with numbers in it.
    Folder.WriteMeibo({{{QStringLiteral("Longitude"), 503}}, {}, {{QStringLiteral("Latitude"), -7}}});
    TBoxRecorder Boxes;
    TDMVxRelvoOlder Module(5);
    ASSERT_TRUE(Module.OpenMeiboTable(Dir.path()));
    TParadoxTable& Table = *Module.SourceMeiboTable;
    QStringList Read;
    for (Table.First(); !Table.Eof(); Table.Next())
        for (const QString& Field : {QStringLiteral("Latitude"), QStringLiteral("Longitude")}) {
            const TParadoxValue Value = Table.FieldByName(Field);
            Read.append(Value.IsNull() ? QStringLiteral("-") : QString::number(Value.AsInteger()));
        }
    EXPECT_EQ(Read, (QStringList{"-", "503", "-", "-", "-7", "-"}));
}

TEST(OlderDataTest, AMissingStoreAnswersFalseWithoutAWordAndTheOthersStillOpen)
{
    QTemporaryDir Dir;
    const OlderFixture::TDataFolder Folder(8, Dir.path());
    Folder.WriteRecvHis({HistoryRow(QStringLiteral("0312345678"), 45000)});
    Folder.WriteSelItems(1, {QStringLiteral("見積")});
    TBoxRecorder Boxes;
    TDMVxRelvoOlder Module(8);
    EXPECT_FALSE(Module.OpenMeiboTable(Dir.path()));
    EXPECT_FALSE(Module.SourceMeiboTable);
    EXPECT_TRUE(Module.OpenRecvHisTable(Dir.path() + u'/'));
    EXPECT_FALSE(Module.OpenSelItemList(0, Dir.path()));
    EXPECT_TRUE(Module.OpenSelItemList(1, Dir.path()));
    EXPECT_EQ(Module.SourceSelItemLists[1]->GetText(0), QStringLiteral("見積"));
    EXPECT_FALSE(Module.OpenSelItemList(2, Dir.path()));
    EXPECT_FALSE(Module.OpenRankList(Dir.path()));
    EXPECT_TRUE(Boxes.Boxes.isEmpty());
    Module.CloseSelItemList(1);
    EXPECT_FALSE(Module.SourceSelItemLists[1]);
}

TEST(OlderDataTest, VersionsOneAndTwoOpenWithNoPasswordOfTheirOwn)
{
    for (int Version : {1, 2}) {
        SCOPED_TRACE(Version);
        QTemporaryDir Dir;
        const OlderFixture::TDataFolder Folder(Version, Dir.path());
        Folder.WriteRecvHis({{{QStringLiteral("DATE"), QStringLiteral("19990102")},
                              {QStringLiteral("TEL"), QStringLiteral("0311112222")}}});
        Folder.WriteMeibo({{{QStringLiteral("TEL1"), QStringLiteral("0311112222")},
                            {QStringLiteral("KANJI"), QStringLiteral("佐藤")}}});
        Folder.WriteSelItems(0, {QStringLiteral("A"), QStringLiteral("B")});
        TBoxRecorder Boxes;
        const QStringList Before = DefaultSession().Passwords();
        TDMVxRelvoOlder Module(Version);
        EXPECT_EQ(DefaultSession().Passwords(), Before);
        ASSERT_TRUE(Module.OpenRecvHisTable(Dir.path()));
        EXPECT_EQ(Module.SourceRecvHisTable->FieldByName(QStringLiteral("DATE")).AsString(),
                  QStringLiteral("19990102"));
        ASSERT_TRUE(Module.OpenMeiboTable(Dir.path()));
        EXPECT_EQ(Module.SourceMeiboTable->FieldByName(QStringLiteral("KANJI")).AsString(), QStringLiteral("佐藤"));
        ASSERT_TRUE(Module.OpenSelItemTable(0, Dir.path()));
        EXPECT_EQ(Module.SourceSelItemTables[0]->RecordCount(), 2);
        EXPECT_TRUE(Boxes.Boxes.isEmpty());
    }
}

TEST(OlderDataTest, AFailedOpenShowsItsStopBoxAndLeavesWhatItMadeForTheClose)
{
    QTemporaryDir Dir;
    TBoxRecorder Boxes;
    TDMVxRelvoOlder Module(5);
    // Nothing there: nothing made, and the close has nothing to do.
    EXPECT_FALSE(Module.OpenSelItemTable(0, Dir.path()));
    EXPECT_FALSE(Module.SourceSelItemTables[0]);
    Module.CloseSelItemTable(0);
    OlderFixture::WriteBytes(Dir.filePath(QStringLiteral("SelItem1.DB")), QByteArray(4096, '\x07'));
    EXPECT_FALSE(Module.OpenSelItemTable(0, Dir.path()));
    ASSERT_EQ(Boxes.Boxes.size(), 1);
    EXPECT_EQ(Boxes.Boxes[0].Text, QStringLiteral("選択項目ファイルがオープンできませんでした"));
    EXPECT_EQ(Boxes.Boxes[0].Caption, QStringLiteral("Tolvane５"));
    EXPECT_EQ(Boxes.Boxes[0].Flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONSTOP));
    ASSERT_TRUE(Module.SourceSelItemTables[0]);
    EXPECT_FALSE(Module.SourceSelItemTables[0]->Active());
    Module.CloseSelItemTable(0);
    EXPECT_FALSE(Module.SourceSelItemTables[0]);
}

TEST(OlderDataTest, ARankListThatCannotBeReadSaysSoUnderTheVersionsName)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("Rank.mtd")));
    TBoxRecorder Boxes;
    TDMVxRelvoOlder Module(12);
    EXPECT_FALSE(Module.OpenRankList(Dir.path()));
    ASSERT_EQ(Boxes.Boxes.size(), 1);
    EXPECT_EQ(Boxes.Boxes[0].Text, QStringLiteral("ランクファイルがオープンできませんでした"));
    EXPECT_EQ(Boxes.Boxes[0].Caption, QStringLiteral("Tolvane１２"));
    EXPECT_EQ(Boxes.Boxes[0].Flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONSTOP));
}

TEST(OlderDataTest, ATableOfAnotherVersionOrLackingAFieldDoesNotOpen)
{
    QTemporaryDir Dir;
    const OlderFixture::TDataFolder Seven(7, Dir.path());
    Seven.WriteRecvHis({HistoryRow(QStringLiteral("0312345678"), 45000)});
    TBoxRecorder Boxes;
    {
        TDMVxRelvoOlder Eight(8);
        EXPECT_FALSE(Eight.OpenRecvHisTable(Dir.path()));
    }
    {
        TDMVxRelvoOlder SevenModule(7);
        EXPECT_TRUE(SevenModule.OpenRecvHisTable(Dir.path()));
        // Version 15's directory has six fields more than version 14's.
        const OlderFixture::TDataFolder Fourteen(14, Dir.path() + QStringLiteral("/v14"));
        TDMVxRelvoOlder Fifteen(15);
        OlderFixture::WriteTable(Dir.path() + QStringLiteral("/v14/Meibo.DB"), OlderFixture::MeiboLayout(14), {},
                                 OlderFixture::Password(15));
        EXPECT_FALSE(Fifteen.OpenMeiboTable(Dir.path() + QStringLiteral("/v14")));
    }
    ASSERT_EQ(Boxes.Boxes.size(), 2);
    EXPECT_EQ(Boxes.Boxes[0].Text, QStringLiteral("着信対応履歴ファイルがオープンできませんでした"));
    EXPECT_EQ(Boxes.Boxes[0].Caption, QStringLiteral("Tolvane８"));
    EXPECT_EQ(Boxes.Boxes[1].Text, QStringLiteral("登録名簿ファイルがオープンできませんでした"));
    EXPECT_EQ(Boxes.Boxes[1].Caption, QStringLiteral("Tolvane１５"));
}

TEST(OlderDataTest, LookUpsUseTheIndexesBuiltAsTheTableOpens)
{
    QTemporaryDir Dir;
    const OlderFixture::TDataFolder Folder(6, Dir.path());
    Folder.WriteMeibo(
        {{{QStringLiteral("SchTel1"), QStringLiteral("0311")}, {QStringLiteral("NameKanji"), QStringLiteral("一")}},
         {{QStringLiteral("SchTel2"), QStringLiteral("0622")}, {QStringLiteral("NameKanji"), QStringLiteral("二")}}});
    TDMVxRelvoOlder Module(6);
    ASSERT_TRUE(Module.OpenMeiboTable(Dir.path()));
    TParadoxTable& Table = *Module.SourceMeiboTable;
    ASSERT_TRUE(Table.FindKey(QStringLiteral("SchTel2"), QStringLiteral("0622")));
    EXPECT_EQ(Table.FieldByName(QStringLiteral("NameKanji")).AsString(), QStringLiteral("二"));
    EXPECT_FALSE(Table.FindKey(QStringLiteral("SchTel1"), QStringLiteral("0622")));
}

TEST(OlderDataTest, TheFixturesPickListBytesAreTheFileFormat)
{
    // Two items: "A" at stamp 1.0 and "あ" (0x82 0xA0) at stamp 0.
    const QByteArray Expected = QByteArray::fromHex("02000000"
                                                    "09"
                                                    "000000000000f03f"
                                                    "be"
                                                    "0a"
                                                    "0000000000000000"
                                                    "7d5f");
    EXPECT_EQ(OlderFixture::MtdBytes({{1.0, QStringLiteral("A")}, {0.0, QStringLiteral("あ")}}), Expected);
    QTemporaryDir Dir;
    OlderFixture::WriteBytes(Dir.filePath(QStringLiteral("l.mtd")), Expected);
    THistoryData List(Dir.filePath(QStringLiteral("l.mtd")), false, 30);
    ASSERT_TRUE(List.Load());
    ASSERT_EQ(List.Count(), 2);
    EXPECT_EQ(List.GetText(1), QStringLiteral("あ"));
}

} // namespace
