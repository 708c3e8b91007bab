#include "main/identify/AppSub.h"

#include "BoxRecorder.h"
#include "directory/Dashrule.h"
#include "directory/Numfind.h"
#include "main/common/ProductInfo.h"
#include "main/identify/DBInfoFb.h"
#include "main/identify/FbEditions.h"
#include "main/settings/Settings.h"
#include "main/tables/AdrsTableDef.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
const QString OwnQuestion =
    QStringLiteral("登録名簿の中に該当するデータが見つかりました  \r\nこのデータを照会しますか？  \r\n\r\n"
                   "照会しない場合はCDを検索します  \r\n\r\nキャンセルすると検索を中止します  ");
const QString FbQuestion =
    QStringLiteral("Fernbookのアドレス帳の中に該当するデータが見つかりました  \r\n"
                   "このデータを照会しますか？  \r\n\r\n照会しない場合はTolvaneのCDを検索します  \r\n\r\n"
                   "キャンセルすると検索を中止します  ");

using TValues = QList<std::pair<const char*, QVariant>>;

void AppendRow(TTable& Table, const TValues& Values)
{
    Table.Append();
    for (const auto& [Name, Value] : Values) {
        TField& Field = Table.FieldByName(QString::fromLatin1(Name));
        if (Value.typeId() == QMetaType::Bool)
            Field.SetAsBoolean(Value.toBool());
        else if (Value.typeId() == QMetaType::Int || Value.typeId() == QMetaType::UInt)
            Field.SetAsInteger(Value.toInt());
        else
            Field.SetAsString(Value.toString());
    }
    Table.Post();
}

// The record of a caller that was not found: the number alone.
TCallerRecord NumberOnly(const QString& Digits, const QString& Number)
{
    TCallerRecord Record;
    Record.SchTel[0] = Digits;
    Record.Tel[0] = Number;
    return Record;
}

// A data folder with the own directory, a program folder with the dictionary's number list, and an
// address book of edition 0; the hyphenation and number dictionary stand-ins are loaded.
class AppSubTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Saved = Settings;
        SavedProgramPath = ProgramPath;
        ProgramPath = Program.path() + QLatin1Char('/');
        Module = std::make_unique<TDMVxRelvo16>(Data.path(), Program.path());
        DMVxRelvo16 = Module.get();
        Module->CreateMeiboTable();
        ASSERT_EQ(LoadHyphenLibrary(BinFolder, BinFolder), 0);
        ASSERT_EQ(LoadNumberDictionary(BinFolder, ProductName), 0);
        Settings.UseFbAdrs = false;
        FbInstallPaths = {};
        FbDataPaths = {};
        FbAdrsBooks.clear();
    }
    void TearDown() override
    {
        FreeNumberDictionary();
        FreeHyphenLibrary();
        delete DMFbarea;
        DMFbarea = nullptr;
        Module.reset();
        DMVxRelvo16 = nullptr;
        QFile::remove(RegistryFileName());
        FbDataPaths = {};
        FbAdrsBooks.clear();
        Settings = Saved;
        ProgramPath = SavedProgramPath;
    }

    void AddMeibo(const TValues& Values)
    {
        TTableUse Use(*Module, TDataTable::Meibo);
        ASSERT_TRUE(Use.Opened());
        AppendRow(*MeiboTable, Values);
    }

    void WriteNumberList(const QByteArray& Lines)
    {
        QDir().mkpath(Program.path() + QStringLiteral("/Dic"));
        QFile File(Program.path() + QStringLiteral("/Dic/Numfind.csv"));
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Lines);
    }

    // Edition 0 installed, with one book "Book" holding Rows, chosen as the address book in use.
    void MakeAddressBook(const QList<TValues>& Rows)
    {
        ASSERT_TRUE(WriteRegistryString(FbAppPathsKey(0), QStringLiteral("Path"), QStringLiteral("/opt/fb")));
        const QString BookFolder = Fb.path() + QStringLiteral("/Adrs/Book/");
        QDir().mkpath(BookFolder);
        DMFbarea = new TDMFbarea(0);
        TTable Table;
        Table.SetDatabaseName(BookFolder);
        Table.SetTableName(AdrsFileName);
        Table.CreateTable(AdrsTableDef(), AdrsPassword(0));
        Table.Open();
        for (const TValues& Row : Rows)
            AppendRow(Table, Row);
        Table.Close();
        FbDataPaths[0] = Fb.path() + QLatin1Char('/');
        FbAdrsBooks = {{QStringLiteral("Book"), QStringLiteral("Book"), 0}};
        Settings.UseFbAdrs = true;
        Settings.FbSeries = 0;
        Settings.FbAdrsBook = 0;
    }

    QTemporaryDir Data;
    QTemporaryDir Program;
    QTemporaryDir Fb;
    std::unique_ptr<TDMVxRelvo16> Module;
    TSettings Saved;
    QString SavedProgramPath;
};

TEST_F(AppSubTest, AHitOnTheSecondNumberOfTheOwnDirectory)
{
    AddMeibo({{"RecNo", 7},
              {"SchTel1", "0311112222"},
              {"SchTel2", "0312345678"},
              {"Tel1", "03-1111-2222"},
              {"Tel2", "03-1234-5678"},
              {"Pos", "1000005"},
              {"CorpKanji", " 東京商事 "},
              {"PrivCorp", "1"},
              {"Msg", 1},
              {"ExtFile", "/a.pdf\r\n/b.pdf\r\n"},
              {"Note", ""},
              {"Latitude", 126000000}});
    TCallerRecord Record;
    EXPECT_EQ(IdentifyCaller(true, false, QStringLiteral("03-1234-5678"), Record), IdentifyFound);
    EXPECT_EQ(Record.RecNo, 7);
    EXPECT_EQ(Record.TelIndex, 1);
    EXPECT_EQ(Record.Division, 1);
    EXPECT_EQ(Record.SchTel[1], QStringLiteral("0312345678"));
    EXPECT_EQ(Record.Tel[0], QStringLiteral("03-1111-2222"));
    EXPECT_EQ(Record.Pos, QStringLiteral("100-0005"));
    EXPECT_EQ(Record.CorpKanji, QStringLiteral("東京商事"));
    EXPECT_EQ(Record.PrivCorp, 1);
    EXPECT_EQ(Record.Msg, 1);
    EXPECT_EQ(Record.Latitude, 126000000);
    EXPECT_EQ(Record.ExtFile, QStringList({"/a.pdf", "/b.pdf"}));
    EXPECT_EQ(Record.Note, QStringList());
    EXPECT_FALSE(FoundInFbAdrs);
    EXPECT_EQ(Module->MeiboOpenCount(), 0);
}

TEST_F(AppSubTest, AWindowsFilterOnTheSharedDirectoryHidesNoCaller)
{
    AddMeibo({{"RecNo", 1}, {"SchTel1", "0311112222"}, {"CorpKanji", "一"}});
    AddMeibo({{"RecNo", 2}, {"SchTel1", "0312345678"}, {"CorpKanji", "二"}});
    TTableUse Window(*Module, TDataTable::Meibo);
    ASSERT_TRUE(Window.Opened());
    MeiboTable->SetIndexName(QStringLiteral("CorpKanji"));
    MeiboTable->SetFilter([](TTable& Row) { return Row.FieldByName(QStringLiteral("RecNo")).AsInteger() == 1; });
    MeiboTable->SetFiltered(true);
    MeiboTable->First();
    TCallerRecord Record;
    EXPECT_EQ(IdentifyCaller(true, false, QStringLiteral("0312345678"), Record), IdentifyFound);
    EXPECT_EQ(Record.CorpKanji, QStringLiteral("二"));
    EXPECT_EQ(MeiboTable->IndexName(), QStringLiteral("CorpKanji"));
    EXPECT_TRUE(MeiboTable->Filtered());
    EXPECT_EQ(MeiboTable->FieldByName(QStringLiteral("RecNo")).AsInteger(), 1);
    EXPECT_EQ(MeiboTable->RecordCount(), 1);
}

TEST_F(AppSubTest, TheUserDecidesAboutAnOwnDirectoryHit)
{
    AddMeibo({{"RecNo", 1}, {"SchTel1", "0312345678"}, {"CorpKanji", "東京商事"}});
    TBoxRecorder Boxes;
    Boxes.Answers = {IDCANCEL, IDNO, IDYES};
    TCallerRecord Record;
    EXPECT_EQ(IdentifyCaller(true, true, QStringLiteral("0312345678"), Record), IdentifyStopped);
    EXPECT_EQ(Record, NumberOnly("0312345678", "0312345678"));
    EXPECT_EQ(IdentifyCaller(true, true, QStringLiteral("0312345678"), Record), 1) << "the dictionary's not found";
    EXPECT_EQ(Record, NumberOnly("0312345678", "0312345678"));
    EXPECT_EQ(IdentifyCaller(true, true, QStringLiteral("0312345678"), Record), IdentifyFound);
    EXPECT_EQ(Record.CorpKanji, QStringLiteral("東京商事"));
    ASSERT_EQ(Boxes.Boxes.size(), 3);
    EXPECT_EQ(Boxes.Boxes[0].Text, OwnQuestion);
    EXPECT_EQ(Boxes.Boxes[0].Caption, QStringLiteral("Tolvane１６"));
    EXPECT_EQ(Boxes.Boxes[0].Flags, MB_YESNOCANCEL | MB_ICONQUESTION);
}

TEST_F(AppSubTest, CallerNumberCodesAndEmptyNumbersAreNotLookedUp)
{
    AddMeibo({{"RecNo", 1}, {"SchTel1", "0312345678"}});
    TBoxRecorder Boxes;
    for (const char* Code : {"P", "O", "C", "S", "$", ""}) {
        TCallerRecord Record;
        EXPECT_EQ(IdentifyCaller(true, true, QString::fromLatin1(Code), Record), IdentifyNoNumber) << Code;
        EXPECT_EQ(Record, NumberOnly(Code, Code));
    }
    EXPECT_TRUE(Boxes.Boxes.isEmpty());
}

TEST_F(AppSubTest, ANumberWithoutDigitsMatchesNoEntryWithoutNumber)
{
    AddMeibo({{"RecNo", 1}, {"CorpKanji", "番号なし"}});
    MakeAddressBook({{{"NameKanji", "番号なし"}}});
    TCallerRecord Record;
    for (bool UseBook : {false, true}) {
        Settings.UseFbAdrs = UseBook;
        EXPECT_EQ(IdentifyCaller(true, false, QStringLiteral("  "), Record), 1) << UseBook;
        EXPECT_EQ(Record, NumberOnly("", "  "));
        EXPECT_EQ(FbAdrsRecNo, 0);
    }
}

TEST_F(AppSubTest, TheDictionaryFillsACompanyWithItsMarkAndCoordinates)
{
    AddMeibo({{"RecNo", 1}, {"SchTel1", "0312345678"}, {"CorpKanji", "登録名簿の会社"}});
    WriteNumberList("0312345678,1000005,東京商事,ﾄｳｷﾖｳｼﾖｳｼﾞ,東京都千代田区,丸の内,１－１,13101,001002,11,35,140\n"
                    "0466123456,2510052,藤沢太郎,ﾌｼﾞｻﾜﾀﾛｳ,神奈川県藤沢市,藤沢,１－２\n");
    TCallerRecord Record;
    // Without the directory search the dictionary is asked at once.
    EXPECT_EQ(IdentifyCaller(false, false, QStringLiteral("0312345678"), Record), IdentifyFound);
    EXPECT_EQ(Record.Division, 0);
    EXPECT_EQ(Record.Tel[0], QStringLiteral("03-1234-5678"));
    EXPECT_EQ(Record.SchTel[0], QStringLiteral("0312345678"));
    EXPECT_EQ(Record.Pos, QStringLiteral("100-0005"));
    EXPECT_EQ(Record.Tdfkn, QStringLiteral("東京都"));
    EXPECT_EQ(Record.Adrs1, QStringLiteral("千代田区"));
    EXPECT_EQ(Record.Adrs2, QStringLiteral("丸の内１－１"));
    EXPECT_EQ(Record.JisCode, QStringLiteral("13101"));
    EXPECT_EQ(Record.KajoCode, QStringLiteral("001002"));
    EXPECT_EQ(Record.CorpKanji, QStringLiteral("東京商事（株）"));
    EXPECT_EQ(Record.CorpKana, QStringLiteral("ﾄｳｷﾖｳｼﾖｳｼﾞ"));
    EXPECT_EQ(Record.PrivCorp, 1);
    EXPECT_EQ(Record.Latitude, 126000000);
    EXPECT_EQ(Record.Longitude, 504000000); // 140 degrees east, past 32 bits on the way
    EXPECT_FALSE(FoundInFbAdrs);

    EXPECT_EQ(IdentifyCaller(true, false, QStringLiteral("0466-12-3456"), Record), IdentifyFound);
    EXPECT_EQ(Record.NameKanji, QStringLiteral("藤沢太郎"));
    EXPECT_EQ(Record.CorpKanji, QString());
    EXPECT_EQ(Record.PrivCorp, 0);
    EXPECT_EQ(Record.Tel[0], QStringLiteral("0466-12-3456"));
}

TEST_F(AppSubTest, WithoutTheNumberDictionaryTheNumberStandsAlone)
{
    FreeNumberDictionary();
    TBoxRecorder Boxes;
    TCallerRecord Record;
    const int Result = IdentifyCaller(true, true, QStringLiteral("03-9999-0000"), Record);
    EXPECT_EQ(Result, NumfindRcBindError);
    EXPECT_EQ(Record, NumberOnly("0399990000", "03-9999-0000"));
    EXPECT_TRUE(Boxes.Boxes.isEmpty());
    EXPECT_TRUE(NeedsAreaCodeSearch(Result));
    ASSERT_EQ(LoadNumberDictionary(BinFolder, ProductName), 0);
}

TEST_F(AppSubTest, AFailingDictionaryIsReportedAndLeavesTheNumber)
{
    // A number list the dictionary cannot read: a folder where its file belongs.
    QDir().mkpath(Program.path() + QStringLiteral("/Dic/Numfind.csv"));
    TBoxRecorder Boxes;
    TCallerRecord Record;
    EXPECT_EQ(IdentifyCaller(false, false, QStringLiteral("03-1234-5678"), Record), 4);
    EXPECT_EQ(Record, NumberOnly("0312345678", "03-1234-5678"));
    ASSERT_EQ(Boxes.Boxes.size(), 1);
    EXPECT_EQ(Boxes.Boxes[0].Text, QStringLiteral("SearchFromTelK (Numfind.so) Call Error\r\nRC = 4"));
    EXPECT_EQ(Boxes.Boxes[0].Caption, QStringLiteral("Tolvane１６"));
    EXPECT_EQ(Boxes.Boxes[0].Flags, unsigned(MB_ICONSTOP));
}

TEST_F(AppSubTest, TheAddressBookEntryWithTheGreatestRecNoIsTaken)
{
    MakeAddressBook({
        {{"Tel", "0312345678"}, {"NameKanji", "古い"}},
        {{"Tel", "0399990000"},
         {"Portable1", "0312345678"},
         {"NameKanji", "@6771@4EAC"},
         {"PrivCorp", true},
         {"Pos", "10000"},
         {"Keyword1", "メモ"},
         {"Keyword4", "折り返し"},
         {"Keyword6", "Ａ"},
         {"SymbolColor", static_cast<int>(0x7F123456)},
         {"EMail1", "a@example.jp"},
         {"Note", "一行目\n二行目"}},
        {{"Fax", "0300000000"}, {"NameKanji", "別人"}},
    });
    Settings.Memo1 = 0;
    Settings.Rank = 0;
    Settings.Line1 = 3;
    TCallerRecord Record;
    EXPECT_EQ(IdentifyCaller(true, false, QStringLiteral("03-1234-5678"), Record), IdentifyFound);
    EXPECT_TRUE(FoundInFbAdrs);
    EXPECT_EQ(FbAdrsRecNo, 2);
    EXPECT_EQ(Record.NameKanji, QStringLiteral("東京"));
    EXPECT_EQ(Record.TelIndex, 2);
    EXPECT_EQ(Record.SchTel[0], QStringLiteral("0399990000"));
    EXPECT_EQ(Record.Tel[0], QStringLiteral("03-9999-0000"));
    EXPECT_EQ(Record.Tel[2], QStringLiteral("03-1234-5678"));
    EXPECT_EQ(Record.PrivCorp, 0); // kept as a person in the book
    EXPECT_EQ(Record.Pos, QStringLiteral("100-00"));
    EXPECT_EQ(Record.Memo1, QStringLiteral("メモ"));
    EXPECT_EQ(Record.Msg1, QStringLiteral("折り返し"));
    EXPECT_EQ(Record.Msg, 1);
    EXPECT_EQ(Record.Rank, QStringLiteral("Ａ"));
    EXPECT_EQ(Record.BGColor, QStringLiteral("$123456")); // the colour's 24 bits, nothing above
    EXPECT_EQ(Record.EMail, QStringLiteral("a@example.jp"));
    EXPECT_EQ(Record.Note, QStringList({"一行目", "二行目"}));
    EXPECT_EQ(Record.Division, 1);
    EXPECT_EQ(DMFbarea->AdrsOpenCount(), 0);
}

TEST_F(AppSubTest, ADeclinedAddressBookEntryLeavesOnlyTheNumber)
{
    MakeAddressBook({{{"Tel", "0312345678"}, {"NameKanji", "山田"}, {"Adrs2", "どこか"}, {"PrivCorp", false}}});
    TBoxRecorder Boxes;
    Boxes.Answers = {IDNO, IDCANCEL};
    TCallerRecord Record;
    EXPECT_EQ(IdentifyCaller(true, true, QStringLiteral("03-1234-5678"), Record), 1); // the dictionary has no list
    EXPECT_EQ(Record, NumberOnly("0312345678", "03-1234-5678"));
    EXPECT_FALSE(FoundInFbAdrs);
    EXPECT_EQ(FbAdrsRecNo, 0);
    EXPECT_EQ(IdentifyCaller(true, true, QStringLiteral("03-1234-5678"), Record), IdentifyStopped);
    EXPECT_EQ(Record, NumberOnly("0312345678", "03-1234-5678"));
    EXPECT_FALSE(NeedsAreaCodeSearch(IdentifyStopped));
    ASSERT_EQ(Boxes.Boxes.size(), 2);
    EXPECT_EQ(Boxes.Boxes[0].Text, FbQuestion);

    // Taken without asking, a company of the book (false in PrivCorp) is a company in the record.
    EXPECT_EQ(IdentifyCaller(true, false, QStringLiteral("0312345678"), Record), IdentifyFound);
    EXPECT_EQ(Record.PrivCorp, 1);
    EXPECT_EQ(Record.NameKanji, QStringLiteral("山田"));
}

TEST_F(AppSubTest, AnAddressBookThatCannotBeUsedIsReported)
{
    TBoxRecorder Boxes;
    Settings.UseFbAdrs = true;
    Boxes.Answers = {IDYES, IDNO, IDYES};
    TCallerRecord Record;
    EXPECT_EQ(IdentifyCaller(true, true, QStringLiteral("0312345678"), Record), 1) << "on to the dictionary";
    EXPECT_EQ(IdentifyCaller(true, true, QStringLiteral("0312345678"), Record), IdentifyStopped);
    ASSERT_EQ(Boxes.Boxes.size(), 2);
    EXPECT_TRUE(
        Boxes.Boxes[0].Text.startsWith(QStringLiteral("Fernbookのインストール状態を確認できませんでした  \r\n")));

    // Installed, but the chosen book has no table.
    MakeAddressBook({});
    QFile::remove(Fb.path() + QStringLiteral("/Adrs/Book/Adrs.DB"));
    EXPECT_EQ(IdentifyCaller(true, true, QStringLiteral("0312345678"), Record), 1);
    ASSERT_EQ(Boxes.Boxes.size(), 3);
    EXPECT_TRUE(
        Boxes.Boxes[2].Text.startsWith(QStringLiteral("何らかの理由でFernbookのアドレス帳が開けませんでした  \r\n")));
    EXPECT_EQ(IdentifyCaller(true, false, QStringLiteral("0312345678"), Record), 1) << "silently on without asking";
    EXPECT_EQ(Boxes.Boxes.size(), 3);
}

TEST(AppSubHelpersTest, AddressBookTextsDecode)
{
    EXPECT_EQ(DecodeFbText(QStringLiteral("@6771@4EAC")), QStringLiteral("東京"));
    EXPECT_EQ(DecodeFbText(QStringLiteral("@d842@dfb7")), QStringLiteral("𠮷")); // a pair of code units
    EXPECT_EQ(DecodeFbText(QStringLiteral("@6771@4E")), QStringLiteral("東"));   // a short tail is no group
    EXPECT_EQ(DecodeFbText(QStringLiteral("山田")), QStringLiteral("山田"));
    EXPECT_EQ(DecodeFbText(QStringLiteral("@xyz1@4EAC")), QStringLiteral("@xyz1@4EAC"));
    EXPECT_EQ(DecodeFbText(QStringLiteral("@+123")), QStringLiteral("@+123"));
    EXPECT_EQ(DecodeFbText(QString()), QString());
}

TEST(AppSubHelpersTest, CompanyTypeCodesGiveTheirMarks)
{
    const QString Name = QStringLiteral("東京商事");
    const struct
    {
        const char* Code;
        const char* Expected;
    } Cases[] = {
        {"11", "東京商事（株）"}, {"01", "（株）東京商事"}, {"00", "東京商事"},       {"", "東京商事"},
        {"12", "東京商事（有）"}, {"03", "（資）東京商事"}, {"14", "東京商事（名）"}, {"05", "（相）東京商事"},
        {"16", "東京商事（財）"}, {"97", "東京商事（社）"}, {"18", "東京商事"},       {"0X", "東京商事"},
    };
    for (const auto& Case : Cases) {
        EXPECT_EQ(MarkCompanyName(Name, QString::fromUtf8(Case.Code)), QString::fromUtf8(Case.Expected)) << Case.Code;
    }
}

TEST(AppSubHelpersTest, SmallProcedures)
{
    // 2026-12-09 12:34:56.789 and the same without its milliseconds.
    const double Day = 46365.0;
    const double WithMs = Day + (12 * 3600 + 34 * 60 + 56.789) / 86400.0;
    EXPECT_DOUBLE_EQ(TruncToSeconds(WithMs), Day + (12 * 3600 + 34 * 60 + 56) / 86400.0);
    EXPECT_DOUBLE_EQ(TruncToSeconds(Day), Day);
    EXPECT_FALSE(IsWow64BeforeVista());
    for (int Result : {1, 2, 5, 6, 8, 102, 255}) {
        EXPECT_TRUE(NeedsAreaCodeSearch(Result)) << Result;
    }
    EXPECT_FALSE(NeedsAreaCodeSearch(0));
}

} // namespace
