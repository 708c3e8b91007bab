#include "MapFieldValues.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/text/Cp932.h"
#include "transfer/export/ExportRun.h"
#include "transfer/print/ListItemText.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// 2013/04/01 09:05:07 as a table date-time.
constexpr double April1 = 41365.0 + (9 * 3600 + 5 * 60 + 7) / 86400.0;

TExportLayout Columns(std::initializer_list<std::initializer_list<int>> Cols)
{
    TExportLayout Layout;
    int N = 0;
    for (const auto& Col : Cols) {
        bool First = true;
        ++N;
        for (int Item : Col) {
            Layout << TExportLayoutEntry{First ? N : 0, Item};
            First = false;
        }
    }
    return Layout;
}

QString HistoryLine(const TExportLayout& Layout, const TMapValues& Row, const TMapValues* Entry,
                    const TExportSettings& Settings)
{
    return BuildRecordLine(
        Layout, [&](int I) { return FormatHistoryItem(I, Row, Entry, Settings); }, Settings.BindDblQuote);
}

QByteArray ReadAll(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(ExportLinesTest, HeaderAndWithheldNumberAsWrittenByHand)
{
    const TExportLayout Layout = Columns({{0}, {3, 4}, {2}});
    const QStringList Names = ExportItemNames(ExportSourceHistory, {"a", "b", "c"});
    EXPECT_EQ(BuildHeaderLine(Layout, Names), QStringLiteral("着信日付,会社名カナ＋会社名漢字,電話番号"));

    TMapValues Row;
    Row.Times["RecvDateTime"] = April1;
    Row.Texts = {{"Tel", "P"}, {"SchTel", "P"}, {"CorpKana", "カナ"}, {"CorpKanji", "漢字"}};
    TExportSettings Settings;
    Settings.BindDblQuote = true;
    Settings.EditDate = false;
    Settings.EditTelHyphen = true;

    QTemporaryDir Dir;
    TExportTextFile File;
    ASSERT_TRUE(File.Open(Dir.filePath("out.txt"), false));
    ASSERT_TRUE(File.WriteLine(BuildHeaderLine(Layout, Names)));
    ASSERT_TRUE(File.WriteLine(HistoryLine(Layout, Row, nullptr, Settings)));
    ASSERT_TRUE(File.Commit());
    EXPECT_EQ(ReadAll(Dir.filePath("out.txt")),
              Cp932Encode(QStringLiteral("着信日付,会社名カナ＋会社名漢字,電話番号\r\n"
                                         "\"20130401\",\"カナ漢字\",\"匿名着信\"\r\n")));
}

TEST(ExportLinesTest, ColumnsQuotesAndSeparators)
{
    const auto Value = [](int I) { return QStringList{"say \"hi\"", "a,b", "x"}.value(I); };
    // One item, quoted: the quote inside is doubled so the field reads back whole.
    EXPECT_EQ(BuildRecordLine(Columns({{0}}), Value, true), QStringLiteral("\"say \"\"hi\"\"\""));
    EXPECT_EQ(BuildRecordLine(Columns({{0}}), Value, false), QStringLiteral("say \"hi\""));
    // A comma without quotes adds a field; joined items run together.
    EXPECT_EQ(BuildRecordLine(Columns({{1}, {2}}), Value, false), QStringLiteral("a,b,x"));
    EXPECT_EQ(BuildRecordLine(Columns({{1, 2}, {2}}), Value, true), QStringLiteral("\"a,bx\",\"x\""));
    EXPECT_EQ(BuildRecordLine({}, Value, true), QString());
    // Out-of-range items are empty, named and valued.
    EXPECT_EQ(BuildHeaderLine(Columns({{0}, {28}}), ExportItemNames(ExportSourceMeibo, {})),
              QStringLiteral("電話番号１,"));
}

TEST(ExportLinesTest, HistoryItemRules)
{
    TExportSettings Settings;
    TMapValues Row;
    Row.Texts = {{"Tel", " P123 "}, {"SchTel", "P"}, {"Division", "2"}};
    for (bool Hyphen : {true, false}) {
        Settings.EditTelHyphen = Hyphen;
        EXPECT_EQ(FormatHistoryItem(2, Row, nullptr, Settings), QStringLiteral("匿名着信")) << Hyphen;
    }
    Row.Texts["SchTel"] = "0312345678";
    Settings.EditTelHyphen = false;
    EXPECT_EQ(FormatHistoryItem(2, Row, nullptr, Settings), QStringLiteral("0312345678"));
    EXPECT_EQ(FormatHistoryItem(7, Row, nullptr, Settings), QString());
    Row.Texts["Division"] = "1";
    EXPECT_EQ(FormatHistoryItem(7, Row, nullptr, Settings), QStringLiteral("既存"));

    // An empty stamp writes nothing rather than 1899/12/30.
    EXPECT_EQ(FormatHistoryItem(0, Row, nullptr, Settings), QString());
    EXPECT_EQ(FormatHistoryItem(1, Row, nullptr, Settings), QString());
    Row.Times["RecvDateTime"] = April1;
    EXPECT_EQ(FormatHistoryItem(1, Row, nullptr, Settings), QStringLiteral("090507"));
    Settings.EditDate = Settings.EditTime = true;
    EXPECT_EQ(FormatHistoryItem(0, Row, nullptr, Settings), QStringLiteral("2013/04/01"));
    EXPECT_EQ(FormatHistoryItem(1, Row, nullptr, Settings), QStringLiteral("09:05:07"));

    // Without a caller's entry, items 12 to 27 are empty; with one they read it.
    TMapValues Entry;
    Entry.Texts = {{"Pos", "1234567"}, {"Tdfkn", "東京都"},   {"EMail", "a@b"},
                   {"Memo3", "m3"},    {"NameKanji", "山田"}, {"Note", " 一行目\r\n二行目 "}};
    for (int I = 12; I < ExportItemCount; ++I) {
        EXPECT_EQ(FormatHistoryItem(I, Row, nullptr, Settings), QString()) << I;
    }
    EXPECT_EQ(FormatHistoryItem(12, Row, &Entry, Settings), QStringLiteral("123-4567"));
    EXPECT_EQ(FormatHistoryItem(13, Row, &Entry, Settings), QStringLiteral("東京都"));
    EXPECT_EQ(FormatHistoryItem(21, Row, &Entry, Settings), QStringLiteral("山田"));
    EXPECT_EQ(FormatHistoryItem(24, Row, &Entry, Settings), QStringLiteral("m3"));
    EXPECT_EQ(FormatHistoryItem(25, Row, &Entry, Settings), QStringLiteral("a@b"));
    EXPECT_EQ(FormatHistoryItem(27, Row, &Entry, Settings), QStringLiteral(" 一行目\t二行目 "));
}

TEST(ExportLinesTest, DirectoryItemRules)
{
    TExportSettings Settings;
    TMapValues Entry;
    struct TCase
    {
        const char* Field;
        const char* Value;
        int Item;
        bool PosHyphen;
        const char16_t* Expected;
    };
    const TCase Cases[] = {
        {"PrivCorp", "0", 12, true, u"個人"},
        {"PrivCorp", "", 12, true, u"個人"},
        {"PrivCorp", "1", 12, true, u"法人"},
        {"Msg", "0", 18, true, u"設定なし"},
        {"Msg", "", 18, true, u"設定なし"},
        {"Msg", "1", 18, true, u"設定あり"},
        {"Pos", "123456", 2, true, u"123456"},
        {"Pos", "1234567", 2, true, u"123-4567"},
        {"Pos", "12345", 2, true, u"123-45"},
        {"Pos", "1234567", 2, false, u"1234567"},
        {"BGColor", " $FF0000 ", 21, true, u"$FF0000"},
        {"Note", "a\r\nb", 23, true, u"a\tb"},
        {"ExtFile", "/x\r\n/y\r\n", 22, true, u"/x\t/y\t"},
    };
    for (const TCase& Case : Cases) {
        Entry.Texts = {{Case.Field, Case.Value}};
        Settings.EditPosHyphen = Case.PosHyphen;
        EXPECT_EQ(FormatDirectoryItem(Case.Item, Entry, Settings), QString::fromUtf16(Case.Expected)) << Case.Field;
    }
    // The directory's stamps always carry their separators; an empty one is empty.
    Settings.EditDate = Settings.EditTime = false;
    Entry.Times = {{"AddDateTime", April1}};
    EXPECT_EQ(FormatDirectoryItem(24, Entry, Settings), QStringLiteral("2013/04/01"));
    EXPECT_EQ(FormatDirectoryItem(25, Entry, Settings), QStringLiteral("09:05:07"));
    EXPECT_EQ(FormatDirectoryItem(26, Entry, Settings), QString());
    Entry.Texts = {{"Tel2", "03-1234-5678"}, {"SchTel2", "0312345678"}};
    Settings.EditTelHyphen = false;
    EXPECT_EQ(FormatDirectoryItem(1, Entry, Settings), QStringLiteral("0312345678"));
}

class ExportTablesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (TTable* T : {&His, &Meibo}) {
            T->SetDatabaseName(Dir.path());
            T->SetTableName(T == &His ? "RecvHis.DB" : "Meibo.DB");
            T->CreateTable(T == &His ? RecvHisTableDef() : MeiboTableDef());
            T->Open();
        }
    }

    void AddEntry(int RecNo, const QString& Sch1, const QString& Sch2, const QString& Kanji, const QString& Pos)
    {
        Meibo.Append();
        Meibo.FieldByName("RecNo").SetAsInteger(RecNo);
        Meibo.FieldByName("SchTel1").SetAsString(Sch1);
        Meibo.FieldByName("SchTel2").SetAsString(Sch2);
        Meibo.FieldByName("CorpKanji").SetAsString(Kanji);
        Meibo.FieldByName("Pos").SetAsString(Pos);
        Meibo.Post();
    }

    void AddCall(int RecNo, double When, const QString& SchTel, const QString& Kanji)
    {
        His.Append();
        His.FieldByName("RecNo").SetAsInteger(RecNo);
        His.FieldByName("RecvDateTime").SetAsFloat(When);
        His.FieldByName("SchTel").SetAsString(SchTel);
        His.FieldByName("Tel").SetAsString(SchTel);
        His.FieldByName("CorpKanji").SetAsString(Kanji);
        His.Post();
    }

    TExportSource Source(const TExportLayout& Layout)
    {
        TExportSource S;
        S.Table = &His;
        S.Meibo = &Meibo;
        S.Layout = Layout;
        S.ItemNames = ExportItemNames(ExportSourceHistory, {"s1", "s2", "s3"});
        S.Settings.EditTelHyphen = false;
        return S;
    }

    QTemporaryDir Dir;
    TTable His;
    TTable Meibo;
};

TEST_F(ExportTablesTest, CallerEntryBySchTel1ThenSchTel2)
{
    AddEntry(0, "0311111111", "", "一番", "1000001");
    AddEntry(1, "0322222222", "0333333333", "二番", "");
    AddCall(0, April1, "0333333333", "甲");     // second number only
    AddCall(1, April1 + 1, "0399999999", "乙"); // nobody
    AddCall(2, April1 + 2, "0311111111", "丙");
    QString Out = Dir.filePath("calls.csv");
    TExportTextFile File;
    ASSERT_TRUE(File.Open(Out, false));
    const TExportResult Result = ExportAll(File, Source(Columns({{4}, {19}, {12}})));
    ASSERT_TRUE(File.Commit());
    EXPECT_EQ(Result.Written, 3);
    EXPECT_FALSE(Result.Failed);
    EXPECT_EQ(ReadAll(Out), Cp932Encode(QStringLiteral("会社名漢字,会社名漢字(名簿),郵便番号(名簿)\r\n"
                                                       "丙,一番,100-0001\r\n乙,,\r\n甲,二番,\r\n")));
}

TEST_F(ExportTablesTest, RangeSelectionAppendAndFailedOverwrite)
{
    for (int I = 0; I < 5; ++I)
        AddCall(I, April1 + I, QString::number(100 + I), QString::number(I));
    const QString Out = Dir.filePath("range.txt");
    const TExportSource S = Source(Columns({{4}}));
    {
        TExportTextFile File;
        ASSERT_TRUE(File.Open(Out, false));
        // Positions count newest first: the third is RecNo 2.
        EXPECT_EQ(ExportRange(File, S, 3, 3).Written, 1);
        ASSERT_TRUE(File.Commit());
    }
    EXPECT_EQ(ReadAll(Out), Cp932Encode(QStringLiteral("会社名漢字\r\n2\r\n")));
    {
        // An append with the header on puts a second header mid-file; a gone row is skipped.
        TExportTextFile File;
        ASSERT_TRUE(File.Open(Out, true));
        EXPECT_EQ(ExportSelected(File, S, {4, 99, 0}).Written, 2);
        ASSERT_TRUE(File.Commit());
    }
    const QByteArray Before = ReadAll(Out);
    EXPECT_EQ(Before, Cp932Encode(QStringLiteral("会社名漢字\r\n2\r\n会社名漢字\r\n4\r\n0\r\n")));
    {
        // A write that fails midway leaves the earlier file whole.
        TExportTextFile::FailAfterLinesForTests(3);
        TExportTextFile File;
        ASSERT_TRUE(File.Open(Out, false));
        const TExportResult Result = ExportAll(File, S);
        TExportTextFile::FailAfterLinesForTests(-1);
        EXPECT_TRUE(Result.Failed);
        EXPECT_EQ(Result.Written, 2);
        EXPECT_NE(File.Error(), 0);
    }
    EXPECT_EQ(ReadAll(Out), Before);
    EXPECT_EQ(QDir(Dir.path()).entryList({"range.txt.tmp*"}, QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(ExportTablesTest, CharactersCp932LacksAreSubstitutedAndCounted)
{
    AddCall(0, April1, "1", QStringLiteral("𠮷野家"));
    AddCall(1, April1 + 1, "2", QStringLiteral("～①ｶﾞ"));
    const QString Out = Dir.filePath("sub.txt");
    TExportTextFile File;
    ASSERT_TRUE(File.Open(Out, false));
    TExportSource S = Source(Columns({{4}}));
    S.Settings.OutHeader = false;
    EXPECT_EQ(ExportAll(File, S).Written, 2);
    ASSERT_TRUE(File.Commit());
    EXPECT_EQ(File.Substituted(), 1);
    EXPECT_EQ(ReadAll(Out), QByteArray("\x81\x60\x87\x40\xB6\xDE\r\n\x81\xAC\x96\xEC\x89\xC6\r\n"));
}

TEST_F(ExportTablesTest, TheSubstituteCountIsOfValuesNotOfLines)
{
    AddCall(0, April1, "1", QStringLiteral("𠮷野家"));
    ASSERT_TRUE(His.FindKey({0}));
    His.Edit();
    His.FieldByName("NameKanji").SetAsString(QStringLiteral("髙𠮷"));
    His.Post();
    AddCall(1, April1 + 1, "2", QStringLiteral("普通"));
    const QString Out = Dir.filePath("sub.txt");
    TExportTextFile File;
    ASSERT_TRUE(File.Open(Out, false));
    // Company and name as two fields, then joined into one: one line either way, two values, then one.
    for (const bool Joined : {false, true}) {
        TExportSource S = Source(Joined ? Columns({{4, 6}}) : Columns({{4}, {6}}));
        S.Settings.OutHeader = false;
        const int Before = File.Substituted();
        EXPECT_EQ(ExportAll(File, S).Written, 2);
        EXPECT_EQ(File.Substituted() - Before, Joined ? 1 : 2);
    }
    ASSERT_TRUE(File.Commit());
}

// The callers of a long history are looked up a window of rows at a time: numbers that come again
// in later windows, entries found by either number and rows with no entry all come out as for a
// short one, through a range across windows and a write that fails mid-window.
TEST_F(ExportTablesTest, CallersOfALongHistoryAcrossLookupWindows)
{
    const auto Number = [](int K) { return QStringLiteral("03%1").arg(K, 8, 10, QLatin1Char('0')); };
    QHash<QString, QString> Kanji;
    for (int K = 0; K < 97; ++K) {
        if (K % 3 == 0)
            AddEntry(K, Number(K), "", Kanji[Number(K)] = QStringLiteral("一%1").arg(K), "");
        else if (K % 5 == 0)
            AddEntry(K, "09" + Number(K).mid(2), Number(K), Kanji[Number(K)] = QStringLiteral("二%1").arg(K), "");
    }
    {
        TTableTransaction Transaction(His);
        for (int I = 0; I < 600; ++I)
            AddCall(I, April1 + I / 1440.0, Number(I % 97), QString::number(I));
        Transaction.Commit();
    }
    const auto Line = [&](int I) {
        return QString::number(I) + u',' + Kanji.value(Number(I % 97)) + QStringLiteral("\r\n");
    };
    const TExportSource S = Source(Columns({{4}, {19}}));
    const QString Out = Dir.filePath("long.txt");
    QString All = QStringLiteral("会社名漢字,会社名漢字(名簿)\r\n");
    for (int I = 599; I >= 0; --I)
        All += Line(I);
    {
        TExportTextFile File;
        ASSERT_TRUE(File.Open(Out, false));
        EXPECT_EQ(ExportAll(File, S).Written, 600);
        ASSERT_TRUE(File.Commit());
    }
    EXPECT_EQ(ReadAll(Out), Cp932Encode(All));
    {
        TExportTextFile File;
        ASSERT_TRUE(File.Open(Out, false));
        EXPECT_EQ(ExportRange(File, S, 250, 260).Written, 11);
        ASSERT_TRUE(File.Commit());
    }
    QString Range = QStringLiteral("会社名漢字,会社名漢字(名簿)\r\n");
    for (int I = 350; I >= 340; --I)
        Range += Line(I);
    EXPECT_EQ(ReadAll(Out), Cp932Encode(Range));
    {
        TExportTextFile::FailAfterLinesForTests(300);
        TExportTextFile File;
        ASSERT_TRUE(File.Open(Out, true));
        const TExportResult Result = ExportAll(File, S);
        TExportTextFile::FailAfterLinesForTests(-1);
        EXPECT_TRUE(Result.Failed);
        EXPECT_EQ(Result.Written, 299);
    }
    EXPECT_EQ(ReadAll(Out), Cp932Encode(Range + All.left(All.indexOf(Line(300)))));
}
