#include "main/tables/HisInfo.h"
#include "tests/support/ConvertWorld.h"
#include "tests/unit/BoxRecorder.h"
#include "utility/convert/Convert.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Utility;
using OlderFixture::TRow;

namespace {

TRow Row(std::initializer_list<std::pair<const char*, QVariant>> Values)
{
    TRow Made;
    for (const auto& [Name, Value] : Values)
        Made.insert(QString::fromLatin1(Name), Value);
    return Made;
}

TNameOverflowChoice Always(TNameOverflow Option)
{
    return [Option] { return Option; };
}

QStringList PickList(const QString& Path)
{
    THistoryData List(Path, false, 60);
    if (!List.Load())
        return {QStringLiteral("<unreadable>")};
    QStringList Texts;
    for (int I = 0; I < List.Count(); ++I)
        Texts.append(List.GetText(I));
    return Texts;
}

const QString Names = QStringLiteral("CorpKana, CorpKanji, NameKana, NameKanji");

TEST(ConvertOlderVersionsTest, AVersion6CallIsAPersonsOnlyWhenItsNumberIsAPersonsInTheOldDirectory)
{
    TConvertWorld World(6);
    World.Source.WriteMeibo({Row({{"SchTel2", "0311"}, {"PrivCorp", "0"}}),
                             Row({{"SchTel1", "0322"}, {"PrivCorp", "1"}}),
                             Row({{"SchTel1", "P"}, {"PrivCorp", "0"}})});
    const auto Call = [](const char* SchTel) {
        return Row({{"SchTel", SchTel}, {"NameKana", "ﾔﾏﾀﾞ"}, {"NameKanji", "山田"}, {"RecvDateTime", 37991.5}});
    };
    World.Source.WriteRecvHis({Call("0311"), Call(" 0311 "), Call("0322"), Call("P"), Call("0399")});
    TBoxRecorder Boxes;
    World.Run();
    const QStringList Company{"ﾔﾏﾀﾞ", "山田", "", ""};
    const QStringList Person{"", "", "ﾔﾏﾀﾞ", "山田"};
    EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), Names),
              (QList<QStringList>{Person, Person, Company, Company, Company}));
    EXPECT_TRUE(Boxes.Boxes.isEmpty());
}

TEST(ConvertOlderVersionsTest, APersonsLongNameGoesWhereTheOptionStandingAtThatMomentSays)
{
    const QString Reading21(21, u'ｱ');
    const QString Name23 = QString(11, u'山') + u'a';
    TConvertWorld World(3);
    World.Source.WriteMeibo({Row({{"TEL1", "0311"}, {"KANA", Reading21}, {"KANJI", "山"}, {"PRIVCORP", "0"}}),
                             Row({{"TEL1", "0322"}, {"KANA", "ｱ"}, {"KANJI", Name23}, {"PRIVCORP", "0"}}),
                             Row({{"TEL1", "0333"}, {"KANA", Reading21}, {"KANJI", "山"}, {"PRIVCORP", "0"}}),
                             Row({{"TEL1", "0344"}, {"KANA", "ｱｲ"}, {"KANJI", QString(11, u'山')}, {"PRIVCORP", "0"}}),
                             Row({{"TEL1", "0355"}, {"KANA", Reading21}, {"KANJI", "社"}, {"PRIVCORP", "1"}})});
    // The answers change between the rows, as a user's click would.
    QList<TNameOverflow> Answers{TNameOverflow::NameSetCorpSet, TNameOverflow::CorpSet, TNameOverflow::NameSet};
    int Asked = 0;
    TBoxRecorder Boxes;
    World.Run([&] { return Answers.value(Asked++); });
    EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), Names), (QList<QStringList>{{Reading21, "山", Reading21, "山"},
                                                                              {"ｱ", Name23, "", ""},
                                                                              {"", "", Reading21, "山"},
                                                                              {"", "", "ｱｲ", QString(11, u'山')},
                                                                              {Reading21, "社", "", ""}}));
    // Only the long names of persons asked.
    EXPECT_EQ(Asked, 3);
}

TEST(ConvertOlderVersionsTest, VersionsOneAndTwoKnowNoPersonsWhateverTheOption)
{
    for (const int Version : {1, 2}) {
        for (const TNameOverflow Option :
             {TNameOverflow::CorpSet, TNameOverflow::NameSet, TNameOverflow::NameSetCorpSet}) {
            SCOPED_TRACE(Version * 10 + static_cast<int>(Option));
            TConvertWorld World(Version);
            World.Source.WriteMeibo({Row({{"TEL1", "0311"}, {"KANA", QString(30, u'ｱ')}, {"KANJI", "山田"}})});
            World.Source.WriteRecvHis({Row({{"TEL", "0311"}, {"NAME", QString(15, u'山')}})});
            TBoxRecorder Boxes;
            World.Run(Always(Option));
            EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), Names + QStringLiteral(", PrivCorp")),
                      (QList<QStringList>{{QString(30, u'ｱ'), "山田", "", "", "0"}}));
            EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), Names),
                      (QList<QStringList>{{"", Version == 2 ? QString(15, u'山') : QString(), "", ""}}));
        }
    }
}

TEST(ConvertOlderVersionsTest, CallTimesOfTheOldestVersionsAndWhatIsNoTimeAtAll)
{
    TConvertWorld World(3);
    World.Source.WriteRecvHis(
        {Row({{"DATE", "20040105"}, {"TIME", ""}}), Row({{"DATE", "2004015"}, {"TIME", "123456"}}),
         Row({{"DATE", "2004A105"}, {"TIME", "120000"}}), Row({{"DATE", "20040231"}, {"TIME", "250000"}}),
         Row({{"DATE", "20040105"}, {"TIME", "063000"}})});
    TBoxRecorder Boxes;
    World.Run();
    // A date or time that cannot be one counts as missing, and the rows after it still come.
    EXPECT_EQ(
        World.Rows(QStringLiteral("RecvHis"), QStringLiteral("CAST(round(RecvDateTime * 86400) AS INTEGER), RecvWeek")),
        (QList<QStringList>{{QString::number(37991LL * 86400), "2"},
                            {"45296", "7"},
                            {"43200", "7"},
                            {"0", "7"},
                            {QString::number(37991LL * 86400 + 6 * 3600 + 30 * 60), "2"}}));
    EXPECT_EQ(ConvertCounts[0], 5);
    EXPECT_TRUE(Boxes.Boxes.isEmpty());
}

TEST(ConvertOlderVersionsTest, SearchNumbersOfOldCallsKeepOnlyTheDigitsOfARealNumber)
{
    TConvertWorld World(2);
    World.Source.WriteRecvHis({Row({{"TEL", " 03-1234-5678 "}}), Row({{"TEL", "P"}}), Row({{"TEL", "3-12"}}), Row({})});
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), QStringLiteral("SchTel, Tel")),
              (QList<QStringList>{{"0312345678", "03-1234-5678"}, {"P", "P"}, {"3-12", "3-12"}, {"", ""}}));
}

TEST(ConvertOlderVersionsTest, EachVersionLooksItsEntriesUpByItsOwnNumbers)
{
    struct TCase
    {
        int Version;
        QList<TRow> Known;
        TRow Fresh;
    };
    // The destination holds one entry, 0311 as its first number and 0622 as its second.
    const QList<TCase> Cases{
        {6,
         {Row({{"SchTel2", "0622"}}), Row({{"SchTel1", "0744"}, {"SchTel2", "0311"}})},
         Row({{"SchTel1", "0733"}, {"SchTel2", "0755"}})},
        {5, {Row({{"SchTel", " 0622"}})}, Row({{"SchTel", "0733"}})},
        {4, {Row({{"SchTel", "0311"}})}, Row({{"SchTel", "0733"}})},
        {3, {Row({{"TEL1", "0622 "}})}, Row({{"TEL1", "0733"}})},
        {1, {Row({{"TEL1", "0311"}})}, Row({{"TEL1", "0733"}})},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Version);
        TConvertWorld World(Case.Version);
        World.MakeEntries({{QStringLiteral("0311"), QStringLiteral("0622")}});
        // Entries without any number are never taken for known ones.
        World.Source.WriteMeibo(Case.Known + QList<TRow>{Case.Fresh, Row({}), Row({})});
        TBoxRecorder Boxes;
        World.Run();
        EXPECT_EQ(ConvertCounts[1], 3);
        EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), QStringLiteral("SchTel1")).mid(1),
                  (QList<QStringList>{{"0733"}, {""}, {""}}));
        EXPECT_EQ(World.Progress.Steps, 3);
    }
}

TEST(ConvertOlderVersionsTest, AddressesSplitAt100BytesInEveryVersionAndTheOldestSplitOffThePrefecture)
{
    const QString A150(150, u'a');
    const QString Wide = QString(99, u'a') + QString(26, u'あ');
    for (const int Version : {1, 3, 5}) {
        SCOPED_TRACE(Version);
        TConvertWorld World(Version);
        const char* Rest = Version >= 4 ? "Adrs2" : "ADRS_REST";
        World.Source.WriteMeibo(
            {Row({{Rest, A150}, {"ADRS_JIS", " 東京都千代田区 "}}), Row({{Rest, Wide}, {"ADRS_JIS", "千代田区"}})});
        TBoxRecorder Boxes;
        World.Run();
        const QList<QStringList> Rows = World.Rows(QStringLiteral("Meibo"), QStringLiteral("Adrs2, Adrs3"));
        EXPECT_EQ(Rows, (QList<QStringList>{{A150.left(100), A150.left(50)},
                                            {QString(99, u'a') + u' ', QString(26, u'あ')}}));
        if (Version <= 3) {
            EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), QStringLiteral("Tdfkn, Adrs1")),
                      (QList<QStringList>{{"東京都", "千代田区"}, {"", "千代田区"}}));
        }
    }
}

TEST(ConvertOlderVersionsTest, RanksAndDivisionsAreNormalised)
{
    TConvertWorld World(4);
    QList<TRow> Calls;
    QList<TRow> Entries;
    const QList<QPair<QString, QString>> Ranks{{" a ", "A"}, {"c", "C"}, {"Z1", "A"}, {"Y9", "Y9"},
                                               {"", "A"},    {"1", "A"}, {"Ａ", "A"}, {"Z", "Z"}};
    const QStringList Divisions{"1", "2", " 1", "", "0", "1", "1", "x"};
    for (int I = 0; I < Ranks.size(); ++I) {
        Calls.append(Row({{"Rank", Ranks[I].first}, {"Division", Divisions[I]}}));
        Entries.append(Row({{"Rank", Ranks[I].first}}));
    }
    World.Source.WriteRecvHis(Calls);
    World.Source.WriteMeibo(Entries);
    TBoxRecorder Boxes;
    World.Run();
    QList<QStringList> Expected;
    QList<QStringList> ExpectedEntries;
    const QStringList Dealt{"1", "0", "0", "0", "0", "1", "1", "0"};
    for (int I = 0; I < Ranks.size(); ++I) {
        Expected.append({Ranks[I].second, Dealt[I]});
        ExpectedEntries.append({Ranks[I].second});
    }
    EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), QStringLiteral("Rank, Division")), Expected);
    EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), QStringLiteral("Rank")), ExpectedEntries);
}

TEST(ConvertOlderVersionsTest, SelectItemsComeInTheOrderTheyWereLastUsedTheLatestOnTop)
{
    TConvertWorld World(4);
    // Written out of the order of their stamps: the stamps decide.
    World.Source.WriteSelItemRows(0, {{QStringLiteral("新"), 45003.0},
                                      {QStringLiteral(" 古 "), 45001.0},
                                      {QStringLiteral("中"), 45002.0},
                                      {QStringLiteral("空"), 0}});
    World.Source.WriteSelItemRows(2, {{QStringLiteral("Y"), 45000.0}, {QStringLiteral("X"), 45000.0}});
    OlderFixture::WriteMtd(World.Data() + QStringLiteral("SelItem1.mtd"), {QStringLiteral("中"), QStringLiteral("前")});
    OlderFixture::WriteMtd(World.Data() + QStringLiteral("SelItem3.mtd"), {QStringLiteral("X")});
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(PickList(World.Data() + QStringLiteral("SelItem1.mtd")), (QStringList{"新", "中", "古", "空", "前"}));
    EXPECT_EQ(PickList(World.Data() + QStringLiteral("SelItem3.mtd")), (QStringList{"X", "Y"}));
    EXPECT_EQ((std::array<int, 4>{ConvertCounts[2], ConvertCounts[3], ConvertCounts[4], ConvertCounts[5]}),
              (std::array<int, 4>{4, 0, 2, 0}));
    EXPECT_EQ(World.Progress.Total, 6);
    EXPECT_EQ(World.Progress.Steps, 6);
    EXPECT_FALSE(QFileInfo::exists(World.Data() + QStringLiteral("Rank.mtd")));
}

TEST(ConvertOlderVersionsTest, Version1SelectItemsComeInTheFilesOrder)
{
    TConvertWorld World(1);
    World.Source.WriteSelItems(1, {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")});
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(PickList(World.Data() + QStringLiteral("SelItem2.mtd")), (QStringList{"三", "二", "一"}));
    EXPECT_EQ(ConvertCounts[3], 3);
}

TEST(ConvertOlderVersionsTest, AVersion4SourceWithoutADirectoryStillConvertsItsCallsAsCompanies)
{
    TConvertWorld World(4);
    World.Source.WriteRecvHis({Row({{"SchTel", "0311"}, {"NameKana", "ｶﾌﾞ"}, {"NameKanji", "株"}})});
    World.Source.WriteSelItems(0, {QStringLiteral("見積")});
    OlderAdapterSettings[11] = {false, 6, QStringLiteral("COM3")};
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), Names), (QList<QStringList>{{"ｶﾌﾞ", "株", "", ""}}));
    EXPECT_EQ(ConvertCounts[1], 0);
    EXPECT_EQ(ConvertCounts[2], 1);
    EXPECT_TRUE(Boxes.Boxes.isEmpty());
    const TMemIniFile Ini(SettingsFileName());
    EXPECT_EQ(Ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("Adapter"), {}), QStringLiteral("6"));
    EXPECT_EQ(Ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("Port"), {}), QStringLiteral("COM3"));
}

TEST(ConvertOlderVersionsTest, TheOldestVersionsCallsNeedNoDirectory)
{
    for (const int Version : {1, 2}) {
        SCOPED_TRACE(Version);
        TConvertWorld World(Version);
        World.Source.WriteRecvHis({Row({{"TEL", "0311"}, {"DATE", "20040105"}})});
        TBoxRecorder Boxes;
        World.Run();
        EXPECT_EQ(ConvertCounts[0], 1);
    }
}

TEST(ConvertOlderVersionsTest, TheFieldsOfEachVersionLandInTheirVersion16Places)
{
    const QString Columns =
        QStringLiteral("SchTel1, SchTel2, Tel1, Tel2, Pos, Tdfkn, Adrs1, JisCode, KajoCode, PrivCorp, Memo1, Memo2, "
                       "Memo3, EMail, Latitude, Longitude, Msg, BGColor");
    {
        TConvertWorld World(6);
        World.Source.WriteMeibo({Row({{"SchTel1", "0311"},
                                      {"SchTel2", "0622"},
                                      {"Tel1", "03-11"},
                                      {"Tel2", "06-22"},
                                      {"Pos", "1000001"},
                                      {"Tdfkn", "東京都"},
                                      {"Adrs1", "千代田区"},
                                      {"JisCode", "13101"},
                                      {"KajoCode", "100001"},
                                      {"PrivCorp", "1"},
                                      {"Memo1", "一"},
                                      {"Memo2", "二"},
                                      {"EMail", "a@b"},
                                      {"Latitude", 128},
                                      {"Longitude", 503}})});
        TBoxRecorder Boxes;
        World.Run();
        EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), Columns),
                  (QList<QStringList>{{"0311", "0622", "03-11", "06-22", "1000001", "東京都", "千代田区", "13101",
                                       "100001", "1", "一", "二", "", "a@b", "128", "503", "0", "$D8E9EC"}}));
    }
    {
        TConvertWorld World(5);
        World.Source.WriteMeibo({Row({{"SchTel", "0311"},
                                      {"Tel", "03-11"},
                                      {"PostCode", "1000001"},
                                      {"Memo1", "一"},
                                      {"PrivCorp", "1"},
                                      {"Latitude", 128}})});
        TBoxRecorder Boxes;
        World.Run();
        EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), Columns),
                  (QList<QStringList>{{"0311", "", "03-11", "", "1000001", "", "", "", "", "1", "一", "", "", "", "128",
                                       "0", "0", "$D8E9EC"}}));
    }
    for (const int Version : {1, 2, 3}) {
        SCOPED_TRACE(Version);
        TConvertWorld World(Version);
        World.Source.WriteMeibo({Row({{"TEL1", "0311"},
                                      {"TEL2", "03-11"},
                                      {"POS", "1000001"},
                                      {"ADRS_JIS", "大阪府大阪市"},
                                      {"JISCD", "27100"},
                                      {"KAJOCD", "530001"},
                                      {"PRIVCORP", "1"},
                                      {"MEMO", "覚"},
                                      {"LAT", 7},
                                      {"LON", 9}})});
        TBoxRecorder Boxes;
        World.Run();
        const bool Three = Version == 3;
        EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), Columns),
                  (QList<QStringList>{{"0311", "", "03-11", "", Three ? "1000001" : "", "大阪府", "大阪市",
                                       Version >= 2 ? "27100" : "", Three ? "530001" : "", Three ? "1" : "0", "覚", "",
                                       "", "", Three ? "7" : "0", Three ? "9" : "0", "0", "$D8E9EC"}}));
    }
}

TEST(ConvertOlderVersionsTest, WhatWasPostedStaysWhenTheHandOverFails)
{
    TConvertWorld World(2);
    World.Source.WriteRecvHis({Row({{"TEL", "0311"}}), Row({{"TEL", "0322"}})});
    World.Source.WriteMeibo({Row({{"TEL1", "0311"}})});
    ProgramPath = World.Path(QStringLiteral("nolib/"));
    TBoxRecorder Boxes;
    EXPECT_THROW(World.Run(), EConvertAborted);
    EXPECT_EQ(World.Rows(QStringLiteral("RecvHis"), QStringLiteral("SchTel")),
              (QList<QStringList>{{"0311"}, {"0322"}}));
    EXPECT_EQ(World.Rows(QStringLiteral("Meibo"), QStringLiteral("SchTel1")), (QList<QStringList>{{"0311"}}));
    EXPECT_TRUE(World.Progress.Finished);
}

TEST(ConvertOlderVersionsTest, ASourceWithNothingInItEndsAtOnce)
{
    TConvertWorld World(5);
    World.Source.WriteRecvHis({});
    World.Source.WriteSelItems(0, {});
    const QByteArray Before = TUtilityWorld::Bytes(SettingsFileName());
    TBoxRecorder Boxes;
    World.Run();
    EXPECT_EQ(ConvertCounts, (std::array<int, 6>{}));
    EXPECT_EQ(World.Progress.Total, -1);
    EXPECT_FALSE(QFileInfo::exists(World.Data() + QStringLiteral("RecvHis.DB")));
    EXPECT_EQ(TUtilityWorld::Bytes(SettingsFileName()), Before);
}

} // namespace
