#include "main/settings/IPPBXIni.h"
#include "main/tables/HisInfo.h"
#include "tests/support/ConvertWorld.h"
#include "tests/support/OlderVersionFixture.h"
#include "tests/support/SqlRows.h"
#include "tests/support/UtilityWorld.h"
#include "tests/unit/BoxRecorder.h"
#include "utility/convert/Convert.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Utility;
using OlderFixture::TRow;

namespace {

TRow History(const QString& Tel, const QString& Division = QStringLiteral("0"))
{
    return {{QStringLiteral("RecvDateTime"), 45000.25},
            {QStringLiteral("SchTel"), Tel},
            {QStringLiteral("Tel"), Tel},
            {QStringLiteral("Division"), Division}};
}

TRow Entry(const QString& SchTel1, const QString& SchTel2, const QString& Name)
{
    return {{QStringLiteral("SchTel1"), SchTel1},
            {QStringLiteral("SchTel2"), SchTel2},
            {QStringLiteral("NameKanji"), Name}};
}

TEST(ConvertVersionsTest, HistoryRowsAreNumberedOnFromTheDestinationAndDoubledByASecondRun)
{
    TConvertWorld World(12);
    World.Source.WriteRecvHis(
        {History(QStringLiteral("0311")), History(QStringLiteral("0322")), History(QStringLiteral("0333"))});
    World.Source.WriteMeibo({});
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), QStringLiteral("RecNo, SchTel")),
              (QList<QStringList>{{"0", "0311"}, {"1", "0322"}, {"2", "0333"}}));
    EXPECT_EQ(World.Progress.Total, 3);
    EXPECT_EQ(World.Progress.Steps, 3);
    EXPECT_TRUE(World.Progress.Finished);
    World.Run();
    EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), QStringLiteral("RecNo")).size(), 6);
    EXPECT_EQ(ConvertCounts[0], 6);
    EXPECT_TRUE(Boxes.Boxes.isEmpty());
}

TEST(ConvertVersionsTest, ADestinationEndingAt57GoesOnWith58)
{
    TConvertWorld World(9);
    World.MakeTable(TDataTable::RecvHis, {3, 57});
    World.Source.WriteRecvHis({History(QStringLiteral("0311"))});
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), QStringLiteral("RecNo")),
              (QList<QStringList>{{"3"}, {"57"}, {"58"}}));
}

TEST(ConvertVersionsTest, AtTheLastRecordNumberNothingIsAddedAndTheRightReasonIsGiven)
{
    {
        TConvertWorld World(10);
        World.MakeTable(TDataTable::RecvHis, {99999});
        World.Source.WriteRecvHis({History(QStringLiteral("0311"))});
        World.Source.WriteMeibo({Entry(QStringLiteral("0311"), {}, QStringLiteral("一"))});
        TBoxRecorder Boxes;
        World.Run();
        EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), QStringLiteral("RecNo")).size(), 1);
        ASSERT_EQ(Boxes.Boxes.size(), 1);
        EXPECT_EQ(Boxes.Boxes[0].Text, CounterFullMessage);
        EXPECT_EQ(Boxes.Boxes[0].Caption, QStringLiteral("Tolvane１６"));
        // The steps after it still run.
        EXPECT_EQ(ConvertCounts[1], 1);
    }
    {
        TConvertWorld World(10);
        QList<int> Full;
        for (int RecNo = 0; RecNo <= 99999; ++RecNo)
            Full.append(RecNo);
        World.MakeTable(TDataTable::RecvHis, Full);
        World.Source.WriteRecvHis({History(QStringLiteral("0311"))});
        TBoxRecorder Boxes;
        World.Run();
        ASSERT_EQ(Boxes.Boxes.size(), 1);
        EXPECT_EQ(Boxes.Boxes[0].Text, TableFullMessage);
        EXPECT_EQ(ConvertCounts[0], 0);
    }
}

TEST(ConvertVersionsTest, DirectoryRowsWhoseNumbersAreKnownAreLeftOut)
{
    TConvertWorld World(11);
    // Destination rows: 0311 as the first number, 0622 as the second.
    World.MakeEntries({{QStringLiteral("0311"), QString()}, {QString(), QStringLiteral("0622")}});
    World.Source.WriteMeibo({Entry({}, QStringLiteral("0622"), QStringLiteral("重複二")),
                             Entry({}, QStringLiteral("0311"), QStringLiteral("重複一")),
                             Entry({}, QStringLiteral("0733"), QStringLiteral("新")),
                             Entry(QStringLiteral("0844"), {}, QStringLiteral("先")),
                             Entry(QStringLiteral(" 0844 "), {}, QStringLiteral("後")),
                             Entry({}, {}, QStringLiteral("無一")), Entry({}, {}, QStringLiteral("無二"))});
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), QStringLiteral("RecNo, SchTel1, SchTel2, NameKanji")).mid(2),
              (QList<QStringList>{
                  {"2", "", "0733", "新"}, {"3", "0844", "", "先"}, {"4", "", "", "無一"}, {"5", "", "", "無二"}}));
    EXPECT_EQ(ConvertCounts[1], 4);
    EXPECT_EQ(World.Progress.Steps, 4);
}

// Empty tables are loaded without their secondary indexes, which the commit builds: the duplicate
// test still finds a number the run itself wrote (trimmed, in either field, beyond ASCII too, and
// after such a number as before it), and each table ends with every index it was made with.
TEST(ConvertVersionsTest, EmptyTablesAreFilledAndEndWithEveryIndexOfTheirOwn)
{
    TConvertWorld World(15);
    World.Source.WriteRecvHis({History(QStringLiteral("0311")), History(QStringLiteral("0322"))});
    World.Source.WriteMeibo({Entry(QStringLiteral("0844"), {}, QStringLiteral("先")),
                             Entry({}, QStringLiteral("0844"), QStringLiteral("後")),
                             Entry(QStringLiteral("0955"), QStringLiteral("0966"), QStringLiteral("別")),
                             Entry(QStringLiteral("0966"), {}, QStringLiteral("重")),
                             Entry(QStringLiteral(" 0955 "), {}, QStringLiteral("空白")),
                             Entry(QStringLiteral("０９７７"), {}, QStringLiteral("全")),
                             Entry({}, QStringLiteral("０９７７"), QStringLiteral("全重")),
                             Entry({}, QStringLiteral("0966"), QStringLiteral("後重")),
                             Entry(QStringLiteral("0988"), {}, QStringLiteral("新"))});
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), QStringLiteral("RecNo, NameKanji")),
              (QList<QStringList>{{"0", "先"}, {"1", "別"}, {"2", "全"}, {"3", "新"}}));
    EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), QStringLiteral("RecNo")).size(), 2);
    TConversionModule Module(World.Data());
    DMVxRelvo16->CreateRecvHisTable();
    DMVxRelvo16->CreateMeiboTable();
    for (const TDataTable Which : {TDataTable::RecvHis, TDataTable::Meibo}) {
        const QString Name = Which == TDataTable::RecvHis ? QStringLiteral("RecvHis") : QStringLiteral("Meibo");
        SCOPED_TRACE(Name.toStdString());
        TTableUse Use(*DMVxRelvo16, Which);
        ASSERT_TRUE(Use.Opened());
        TTable& Table = Which == TDataTable::RecvHis ? *RecvHisTable : *MeiboTable;
        QStringList Made;
        for (const TIndexDef& Index : Table.Definition().Indexes)
            if (!Index.Primary)
                Made << Name + u'_' + Index.Name;
        Made.sort();
        ASSERT_GT(Made.size(), 2);
        EXPECT_EQ(SqlIndexNames(Table.FileName()), Made);
        EXPECT_EQ(Table.IntegrityCheck(), QStringList());
    }
}

TEST(ConvertVersionsTest, AddressesSplitAt100BytesAndDivisionsAreOneOrZero)
{
    TConvertWorld World(13);
    const QString A100(100, u'a');
    World.Source.WriteMeibo({{{QStringLiteral("Adrs2"), A100}},
                             {{QStringLiteral("Adrs2"), A100 + u'b'}},
                             {{QStringLiteral("Adrs2"), QString(99, u'a') + QStringLiteral("あい")}}});
    World.Source.WriteRecvHis({History({}, QStringLiteral("0")), History({}, QStringLiteral("2")), History({}, {}),
                               History({}, QStringLiteral(" 1")), History({}, QStringLiteral("1"))});
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), QStringLiteral("Adrs2, Adrs3")),
              (QList<QStringList>{{A100, ""}, {A100, "b"}, {QString(99, u'a') + u' ', QStringLiteral("あい")}}));
    EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), QStringLiteral("Division")),
              (QList<QStringList>{{"0"}, {"0"}, {"0"}, {"0"}, {"1"}}));
}

TEST(ConvertVersionsTest, TheDirectoryFieldsOfVersion15AreCopiedAndOthersGetTheirDefaults)
{
    for (int Version : {14, 15}) {
        SCOPED_TRACE(Version);
        TConvertWorld World(Version);
        TRow Row = Entry(QStringLiteral("0311"), {}, QStringLiteral("一"));
        Row.insert(QStringLiteral("Latitude"), 128000000);
        if (Version == 15) {
            Row.insert(QStringLiteral("Msg"), 2);
            Row.insert(QStringLiteral("Msg1"), QStringLiteral("伝言"));
            Row.insert(QStringLiteral("BGColor"), QStringLiteral("$FFFFFF"));
            Row.insert(QStringLiteral("Note"), QStringLiteral("覚え"));
        }
        World.Source.WriteMeibo({Row});
        TBoxRecorder Boxes;
        World.Run();
        const QList<QStringList> Rows = World.Rows(
            QStringLiteral("Meibo"),
            QStringLiteral("Latitude, Msg, Msg1, Msg2, BGColor, ExtFile, Note, AddDateTime <= UpdDateTime AND "
                           "UpdDateTime - AddDateTime < 1.0 / 86400 AND "
                           "abs(AddDateTime * 86400 - round(AddDateTime * 86400)) < 1e-3"));
        ASSERT_EQ(Rows.size(), 1);
        if (Version == 14) {
            EXPECT_EQ(Rows[0], (QStringList{"128000000", "0", "", "", "$D8E9EC", "", "", "1"}));
        } else {
            EXPECT_EQ(Rows[0], (QStringList{"128000000", "2", "伝言", "", "$FFFFFF", "", "覚え", "1"}));
        }
    }
}

TEST(ConvertVersionsTest, PickListsPutTheSourceOnTopOnceAndCountEveryEntry)
{
    TConvertWorld World(7);
    World.Source.WriteSelItems(0, {QStringLiteral("X"), QStringLiteral("Y")});
    World.Source.WriteRank({QStringLiteral("Ａ")});
    OlderFixture::WriteMtd(World.Data() + QStringLiteral("SelItem1.mtd"), {QStringLiteral("Y"), QStringLiteral("Z")});
    TBoxRecorder Boxes;
    World.Run();
    THistoryData Result(World.Data() + QStringLiteral("SelItem1.mtd"), false, 60);
    ASSERT_TRUE(Result.Load());
    QStringList Texts;
    for (int I = 0; I < Result.Count(); ++I)
        Texts.append(Result.GetText(I));
    EXPECT_EQ(Texts, (QStringList{"X", "Y", "Z"}));
    EXPECT_EQ(ConvertCounts[2], 2);
    EXPECT_EQ(ConvertCounts[3], 0);
    EXPECT_EQ(ConvertCounts[5], 1);
}

TEST(ConvertVersionsTest, AFolderWithoutStoresConvertsNothingAndHandsNothingOver)
{
    TConvertWorld World(15);
    const QByteArray Before = TUtilityWorld::Bytes(SettingsFileName());
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(ConvertCounts, (std::array<int, 6>{}));
    EXPECT_EQ(World.Progress.Total, -1);
    EXPECT_EQ(TUtilityWorld::Bytes(SettingsFileName()), Before);
    EXPECT_FALSE(QFileInfo::exists(World.Data() + QStringLiteral("RecvHis.DB")));
    EXPECT_TRUE(Boxes.Boxes.isEmpty());
    EXPECT_EQ(ConvertEndMessage(15),
              QStringLiteral("コンバートが終了しました  \r\n\r\nコンバート件数\r\n着信対応履歴\t0件　\r\n"
                             "登録名簿\t\t0件　\r\n選択項目１\t0件　\r\n選択項目２\t0件　\r\n"
                             "選択項目３\t0件　\r\nランク\t\t0件　"));
    EXPECT_FALSE(ConvertEndMessage(6).contains(QStringLiteral("ランク")));
}

TEST(ConvertVersionsTest, HistoryConvertsWithoutASourceDirectory)
{
    TConvertWorld World(12);
    World.Source.WriteRecvHis({History(QStringLiteral("0311"))});
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(ConvertCounts[0], 1);
}

TEST(ConvertVersionsTest, ADestinationTableThatDoesNotOpenSkipsOnlyItsOwnStep)
{
    TConvertWorld World(12);
    World.Source.WriteRecvHis({History(QStringLiteral("0311"))});
    World.Source.WriteMeibo({Entry(QStringLiteral("0311"), {}, QStringLiteral("一"))});
    OlderFixture::WriteBytes(World.Data() + QStringLiteral("RecvHis.DB"), QByteArray(8192, 'x'));
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(ConvertCounts[0], 0);
    EXPECT_EQ(ConvertCounts[1], 1);
    EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + QStringLiteral("RecvHis.DB")), QByteArray(8192, 'x'));
}

class THandOverTest : public ::testing::Test
{
protected:
    TUtilityWorld World;
    void SetUp() override
    {
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteString(QStringLiteral("SCREEN VIEW"), QStringLiteral("Left"), QStringLiteral("12"));
        Ini.WriteString(QStringLiteral("COMMON"), QStringLiteral("Port"), QStringLiteral("COM9"));
        ASSERT_TRUE(Ini.UpdateFile());
        OlderAdapterSettings = {};
        ProgramPath = QStringLiteral(VX_BIN_DIR "/");
    }
    [[nodiscard]] static QString Read(const QString& Section, const QString& Key)
    {
        return TMemIniFile(SettingsFileName()).ReadString(Section, Key, QStringLiteral("<none>"));
    }
};

TEST_F(THandOverTest, Version12WritesItsAdapterAndTheLibrarysVersionButCopiesNoIpFile)
{
    (void)OlderFixture::InstallVersion(12, World.Data(), {}, {}, "[IP]\r\nUser=12\r\n");
    OlderAdapterSettings[3] = {false, 7, QStringLiteral("/dev/ttyUSB1")};
    TBoxRecorder Boxes;
    CarryOverAdapterSettings(12);
    EXPECT_EQ(Read(QStringLiteral("COMMON"), QStringLiteral("IPPBX")), QStringLiteral("0"));
    EXPECT_EQ(Read(QStringLiteral("COMMON"), QStringLiteral("Adapter")), QStringLiteral("7"));
    EXPECT_EQ(Read(QStringLiteral("COMMON"), QStringLiteral("Port")), QStringLiteral("/dev/ttyUSB1"));
    EXPECT_NE(Read(QStringLiteral("VERSION"), QStringLiteral("DLL")), QStringLiteral("<none>"));
    EXPECT_EQ(Read(QStringLiteral("SCREEN VIEW"), QStringLiteral("Left")), QStringLiteral("12"));
    EXPECT_EQ(Read(QStringLiteral("COMMON"), QStringLiteral("DataPath")), World.Data());
    EXPECT_FALSE(QFileInfo::exists(SettingsPath + IPPBXIniName));
}

TEST_F(THandOverTest, Version14CopiesItsIpFileForItsOwnerOnly)
{
    // Found without regard to the case of the folder's name.
    (void)OlderFixture::InstallVersion(14, World.Data(), {true, 3, QStringLiteral("COM2")}, {}, "[IP]\r\nUser=14\r\n",
                                       QStringLiteral("vxrelvo14"));
    OlderAdapterSettings[1] = {true, 3, QStringLiteral("COM2")};
    TBoxRecorder Boxes;
    CarryOverAdapterSettings(14);
    EXPECT_EQ(TUtilityWorld::Bytes(SettingsPath + IPPBXIniName), QByteArray("[IP]\r\nUser=14\r\n"));
    EXPECT_EQ(QFileInfo(SettingsPath + IPPBXIniName).permissions(),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
    EXPECT_EQ(Read(QStringLiteral("COMMON"), QStringLiteral("IPPBX")), QStringLiteral("1"));
}

TEST_F(THandOverTest, TheLibrarysVersionIsWrittenUnsigned)
{
    ProgramPath = QStringLiteral(VX_FIXTURE_DIR "/highversion/");
    TBoxRecorder Boxes;
    CarryOverAdapterSettings(12);
    EXPECT_EQ(Read(QStringLiteral("VERSION"), QStringLiteral("DLL")), QStringLiteral("2147483649"));
}

TEST_F(THandOverTest, WithoutADeviceLibraryNothingChanges)
{
    (void)OlderFixture::InstallVersion(14, World.Data(), {}, {}, "[IP]\r\nUser=14\r\n");
    OlderFixture::WriteBytes(SettingsPath + IPPBXIniName, "[IP]\r\nUser=16\r\n");
    const QByteArray Before = TUtilityWorld::Bytes(SettingsFileName());
    ProgramPath = World.Path(QStringLiteral("nolib/"));
    TBoxRecorder Boxes;
    EXPECT_THROW(CarryOverAdapterSettings(14), EConvertAborted);
    EXPECT_EQ(Boxes.Boxes.size(), 1);
    EXPECT_EQ(TUtilityWorld::Bytes(SettingsFileName()), Before);
    EXPECT_EQ(TUtilityWorld::Bytes(SettingsPath + IPPBXIniName), QByteArray("[IP]\r\nUser=16\r\n"));
}

} // namespace
