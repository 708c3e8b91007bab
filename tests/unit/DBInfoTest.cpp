#include "main/tables/DBInfo.h"

#include "main/tables/AdrsTableDef.h"
#include "main/tables/HisInfo.h"
#include "platform/msg/CoreMessage.h"
#include "tests/support/Cp932Oracle.h"
#include "tests/support/SqlRows.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QStringList MetaFields(const QString& File)
{
    return SqlRows(File, "SELECT Name, Type, Size FROM _meta WHERE Kind = 'field' ORDER BY Position");
}

QStringList MetaIndexes(const QString& File)
{
    return SqlRows(File,
                   "SELECT Name, Fields, IsPrimary, CaseInsensitive FROM _meta WHERE Kind = 'index' ORDER BY Position");
}

// Each SQLite index as "name:column collation,...", sorted by name.
QStringList SqliteIndexes(const QString& File, const char* Table)
{
    QStringList Result;
    for (const QString& Name :
         SqlRows(File,
                 QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = '%1' ORDER BY name")
                     .arg(Table)
                     .toUtf8()
                     .constData())) {
        QStringList Columns;
        for (const QString& Row :
             SqlRows(File, QStringLiteral("SELECT name, coll FROM pragma_index_xinfo('%1') WHERE key")
                               .arg(Name)
                               .toUtf8()
                               .constData()))
            Columns << Row.split(u'|').join(u' ');
        Result << Name + u':' + Columns.join(u',');
    }
    return Result;
}

class DBInfoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Data.isValid() && Program.isValid());
        Module = new TDMVxRelvo16(Data.path(), Program.path());
        DMVxRelvo16 = Module;
        SetCoreMessageBox([this](const QString& Text, const QString&, unsigned) {
            Shown << Text;
            return IDOK;
        });
        Module->CreateRecvHisTable();
        Module->CreateMeiboTable();
    }
    void TearDown() override
    {
        SetCoreMessageBox({});
        for (int I = 0; I < 3; ++I)
            Module->FreeSelItemHistory(I);
        Module->FreeRankHistory();
        delete Module;
        DMVxRelvo16 = nullptr;
    }

    QTemporaryDir Data;
    QTemporaryDir Program;
    TDMVxRelvo16* Module = nullptr;
    QStringList Shown;
};

TEST_F(DBInfoTest, FirstOpenCreatesBothTablesWithTheirDefinitionsAndPassword)
{
    ASSERT_TRUE(Module->OpenRecvHis());
    ASSERT_TRUE(Module->OpenMeibo());
    Module->CloseRecvHis();
    Module->CloseMeibo();
    EXPECT_TRUE(Shown.isEmpty());
    EXPECT_EQ(QDir(Data.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"Meibo.DB", "RecvHis.DB"}));

    const QString RecvHis = Data.filePath("RecvHis.DB");
    EXPECT_EQ(MetaFields(RecvHis),
              (QStringList{"RecNo|Integer|0", "AxsDateTime|DateTime|0", "RecvDateTime|DateTime|0", "RecvWeek|Integer|0",
                           "SchTel|String|11", "Tel|String|13", "CorpKana|String|80", "CorpKanji|String|120",
                           "NameKana|String|25", "NameKanji|String|30", "Division|String|1", "Rank|String|20",
                           "SelItem1|String|60", "SelItem2|String|60", "SelItem3|String|60"}));
    EXPECT_EQ(MetaIndexes(RecvHis),
              (QStringList{"|RecNo|1|0", "AxsDateTime|AxsDateTime|0|0", "RecvDateTime|RecvDateTime|0|0",
                           "SchTel|SchTel|0|0", "CorpKana|CorpKana|0|1", "CorpKanji|CorpKanji|0|1",
                           "NameKana|NameKana|0|1", "NameKanji|NameKanji|0|1"}));
    EXPECT_EQ(SqliteIndexes(RecvHis, "RecvHis"),
              (QStringList{"RecvHis_AxsDateTime:AxsDateTime BINARY", "RecvHis_CorpKana:CorpKana CP932_CI",
                           "RecvHis_CorpKanji:CorpKanji CP932_CI", "RecvHis_NameKana:NameKana CP932_CI",
                           "RecvHis_NameKanji:NameKanji CP932_CI", "RecvHis_RecvDateTime:RecvDateTime BINARY",
                           "RecvHis_SchTel:SchTel CP932"}));
    EXPECT_EQ(SqlRows(RecvHis, "SELECT pk FROM pragma_table_info('RecvHis') WHERE name = 'RecNo'"), QStringList{"1"});

    const QString Meibo = Data.filePath("Meibo.DB");
    EXPECT_EQ(MetaFields(Meibo),
              (QStringList{
                  "RecNo|Integer|0",       "AxsDateTime|DateTime|0", "SchTel1|String|11",    "SchTel2|String|11",
                  "Tel1|String|13",        "Tel2|String|13",         "Pos|String|7",         "Tdfkn|String|8",
                  "Adrs1|String|32",       "Adrs2|String|100",       "Adrs3|String|116",     "JisCode|String|5",
                  "KajoCode|String|6",     "CorpKana|String|80",     "CorpKanji|String|120", "NameKana|String|25",
                  "NameKanji|String|30",   "PrivCorp|String|1",      "Memo1|String|100",     "Memo2|String|100",
                  "Memo3|String|100",      "EMail|String|64",        "Rank|String|20",       "Latitude|Integer|0",
                  "Longitude|Integer|0",   "Msg|Integer|0",          "Msg1|String|32",       "Msg2|String|32",
                  "BGColor|String|7",      "ExtFile|Memo|100",       "Note|Memo|100",        "AddDateTime|DateTime|0",
                  "UpdDateTime|DateTime|0"}));
    EXPECT_EQ(MetaIndexes(Meibo),
              (QStringList{"|RecNo|1|0", "AxsDateTime|AxsDateTime|0|0", "SchTel1|SchTel1|0|0", "SchTel2|SchTel2|0|0",
                           "Adrs|JisCode;Adrs2;Adrs3|0|1", "CorpKana|CorpKana|0|1", "CorpKanji|CorpKanji|0|1",
                           "NameKana|NameKana|0|1", "NameKanji|NameKanji|0|1"}));
    EXPECT_EQ(SqliteIndexes(Meibo, "Meibo"),
              (QStringList{"Meibo_Adrs:JisCode CP932_CI,Adrs2 CP932_CI,Adrs3 CP932_CI",
                           "Meibo_AxsDateTime:AxsDateTime BINARY", "Meibo_CorpKana:CorpKana CP932_CI",
                           "Meibo_CorpKanji:CorpKanji CP932_CI", "Meibo_NameKana:NameKana CP932_CI",
                           "Meibo_NameKanji:NameKanji CP932_CI", "Meibo_SchTel1:SchTel1 CP932",
                           "Meibo_SchTel2:SchTel2 CP932"}));

    // Protected from the start: without the master password in the session neither opens.
    TSession Stranger;
    for (const char* Name : {"RecvHis.DB", "Meibo.DB"}) {
        TTable Table(Stranger);
        Table.SetDatabaseName(Data.path());
        Table.SetTableName(Name);
        EXPECT_THROW(Table.Open(), EDatabaseError) << Name;
    }
}

TEST_F(DBInfoTest, CountedOpenAndClose)
{
    ASSERT_TRUE(Module->OpenRecvHis());
    ASSERT_TRUE(Module->OpenRecvHis());
    EXPECT_EQ(Module->RecvHisOpenCount(), 2);
    Module->CloseRecvHis();
    EXPECT_TRUE(RecvHisTable->Active());
    Module->CloseRecvHis();
    EXPECT_FALSE(RecvHisTable->Active());
    EXPECT_EQ(Module->RecvHisOpenCount(), 0);
    Module->CloseRecvHis(); // one close too many does not drive the count below zero
    EXPECT_EQ(Module->RecvHisOpenCount(), 0);
    {
        TTableUse Outer(*Module, TDataTable::Meibo);
        TTableUse Inner(*Module, TDataTable::Meibo);
        EXPECT_TRUE(Outer.Opened() && Inner.Opened());
        EXPECT_EQ(Module->MeiboOpenCount(), 2);
    }
    EXPECT_FALSE(MeiboTable->Active());
    EXPECT_EQ(Module->MeiboOpenCount(), 0);
}

TEST_F(DBInfoTest, AFailedOpenIsReportedEveryTimeAndKeepsTheCountBalanced)
{
    // A file that is not a table, then a data folder that does not exist (creation fails).
    QFile Junk(Data.filePath("RecvHis.DB"));
    ASSERT_TRUE(Junk.open(QIODevice::WriteOnly));
    Junk.write(QByteArray(4096, 'x'));
    Junk.close();
    Module->SetDataPath(Data.filePath("missing"));
    Module->CreateMeiboTable();

    struct TCase
    {
        TDataTable Table;
        QString Message;
    };
    for (const TCase& Case : {TCase{TDataTable::RecvHis, RecvHisOpenError}, TCase{TDataTable::Meibo, MeiboOpenError}}) {
        Shown.clear();
        {
            TTableUse First(*Module, Case.Table);
            TTableUse Second(*Module, Case.Table);
            EXPECT_FALSE(First.Opened());
            EXPECT_FALSE(Second.Opened()); // not "already open": the table is not active
        }
        EXPECT_EQ(Shown, (QStringList{Case.Message, Case.Message}));
    }
    EXPECT_EQ(Module->RecvHisOpenCount(), 0);
    EXPECT_EQ(Module->MeiboOpenCount(), 0);
    EXPECT_FALSE(QDir(Data.filePath("missing")).exists());
    EXPECT_EQ(RecvHisOpenError, QString::fromUtf8("着信対応履歴ファイルがオープンできませんでした  "));
    EXPECT_EQ(MeiboOpenError, QString::fromUtf8("登録名簿ファイルがオープンできませんでした  "));
}

TEST_F(DBInfoTest, HistoryAndDirectorySearchesOnTheRealTables)
{
    TTableUse History(*Module, TDataTable::RecvHis);
    TTableUse Directory(*Module, TDataTable::Meibo);
    ASSERT_TRUE(History.Opened() && Directory.Opened());
    const QDateTime Base(QDate(2026, 12, 1), QTime(9, 0));
    const struct
    {
        int RecNo;
        const char* SchTel;
        int Minutes;
    } Calls[] = {{0, "0312345678", 30}, {1, "0612345678", 10}, {2, "0312345678", 10}, {3, "0312345679", 20}};
    for (const auto& Call : Calls) {
        RecvHisTable->Append();
        RecvHisTable->FieldByName("RecNo").SetAsInteger(Call.RecNo);
        RecvHisTable->FieldByName("SchTel").SetAsString(Call.SchTel);
        RecvHisTable->FieldByName("RecvDateTime").SetAsDateTime(Base.addSecs(Call.Minutes * 60));
        RecvHisTable->Post();
    }
    RecvHisTable->SetIndexName("RecvDateTime");
    QList<int> Order;
    for (RecvHisTable->Last(); !RecvHisTable->Bof(); RecvHisTable->Prior())
        Order << RecvHisTable->FieldByName("RecNo").AsInteger();
    EXPECT_EQ(Order, (QList<int>{0, 3, 2, 1}));
    RecvHisTable->SetIndexName("SchTel");
    RecvHisTable->SetRange({"0312345678"}, {"0312345678"});
    Order.clear();
    for (RecvHisTable->First(); !RecvHisTable->Eof(); RecvHisTable->Next())
        Order << RecvHisTable->FieldByName("RecNo").AsInteger();
    EXPECT_EQ(Order, (QList<int>{0, 2}));

    const struct
    {
        int RecNo;
        const char* SchTel1;
        const char* SchTel2;
    } People[] = {{0, "0311112222", ""}, {1, "09011112222", "0311112222"}, {2, "0455556666", "09011112222"}};
    for (const auto& Person : People) {
        MeiboTable->Append();
        MeiboTable->FieldByName("RecNo").SetAsInteger(Person.RecNo);
        MeiboTable->FieldByName("SchTel1").SetAsString(Person.SchTel1);
        MeiboTable->FieldByName("SchTel2").SetAsString(Person.SchTel2);
        MeiboTable->Post();
    }
    const struct
    {
        const char* Index;
        const char* Key;
        int RecNo; // -1: not found
    } Finds[] = {{"SchTel1", "09011112222", 1},
                 {"SchTel2", "09011112222", 2},
                 {"SchTel2", "0311112222", 1},
                 {"SchTel1", "0455556667", -1}};
    for (const auto& Find : Finds) {
        MeiboTable->SetIndexName(Find.Index);
        const bool Found = MeiboTable->FindKey({QString::fromLatin1(Find.Key)});
        EXPECT_EQ(Found, Find.RecNo >= 0) << Find.Index << " " << Find.Key;
        if (Found) {
            EXPECT_EQ(MeiboTable->FieldByName("RecNo").AsInteger(), Find.RecNo) << Find.Index << " " << Find.Key;
        }
    }
}

// Every index of both tables, walked both ways over rows with many equal keys, against an order
// worked out here: the CP932 bytes iconv gives (ASCII folded where the index says so), then RecNo.
TEST_F(DBInfoTest, EveryIndexWalksInKeyOrderWithTiesByRecNo)
{
    const QStringList Texts{"", "abc", "ABC", "Abd", "かな", "カナ", "ｶﾅ", "漢字", "abc ", "0312345678"};
    QRandomGenerator Random(20261209);
    for (TDataTable Kind : {TDataTable::RecvHis, TDataTable::Meibo}) {
        TTableUse Use(*Module, Kind);
        ASSERT_TRUE(Use.Opened());
        TTable& Table = Kind == TDataTable::RecvHis ? *RecvHisTable : *MeiboTable;
        const TTableDef Def = Table.Definition();
        QList<QList<QVariant>> Rows; // field values by position
        TTableTransaction Transaction(Table);
        for (int RecNo = 0; RecNo < 120; ++RecNo) {
            Table.Append();
            QList<QVariant> Row;
            for (const TFieldDef& Field : Def.Fields) {
                TField& Target = Table.FieldByName(Field.Name);
                if (Field.Name == "RecNo") {
                    Target.SetAsInteger(RecNo);
                    Row << RecNo;
                } else if (Field.Type == TFieldType::DateTime) {
                    const double Days = 46000 + Random.bounded(4) / 4.0;
                    Target.SetAsFloat(Days);
                    Row << Days;
                } else if (Field.Type == TFieldType::String) {
                    const QString Text = Texts[Random.bounded(Texts.size())];
                    Target.SetAsString(Text);
                    Row << Target.AsString();
                } else {
                    Row << QVariant();
                }
            }
            Table.Post();
            Rows << Row;
        }
        Transaction.Commit();
        for (const TIndexDef& Index : Def.Indexes) {
            QList<int> Positions;
            for (const QString& Name : Index.FieldList())
                for (int I = 0; I < Def.Fields.size(); ++I)
                    if (Def.Fields[I].Name == Name)
                        Positions << I;
            QList<int> Expected;
            for (int RecNo = 0; RecNo < Rows.size(); ++RecNo)
                Expected << RecNo;
            std::stable_sort(Expected.begin(), Expected.end(), [&](int A, int B) {
                for (int Position : Positions) {
                    const QVariant& X = Rows[A][Position];
                    const QVariant& Y = Rows[B][Position];
                    if (Def.Fields[Position].Type == TFieldType::String) {
                        const int Order = OracleCompare(X.toString(), Y.toString(), Index.CaseInsensitive);
                        if (Order != 0)
                            return Order < 0;
                    } else if (X.toDouble() != Y.toDouble()) {
                        return X.toDouble() < Y.toDouble();
                    }
                }
                return A < B;
            });
            Table.SetIndexName(Index.Name);
            QList<int> Forward;
            for (Table.First(); !Table.Eof(); Table.Next())
                Forward << Table.FieldByName("RecNo").AsInteger();
            QList<int> Backward;
            for (Table.Last(); !Table.Bof(); Table.Prior())
                Backward.prepend(Table.FieldByName("RecNo").AsInteger());
            EXPECT_EQ(Forward, Expected) << Index.Name.toStdString();
            EXPECT_EQ(Backward, Expected) << Index.Name.toStdString();
        }
    }
}

TEST_F(DBInfoTest, PickListsSeedTheRankListOnlyWhenMissingAndFollowTheDataFolder)
{
    ASSERT_TRUE(QDir().mkpath(Program.filePath("Common/History")));
    {
        THistoryData Seed(Program.filePath("Common/History/Rank.mtd"), true, 20);
        ASSERT_TRUE(Seed.Load());
        Seed.Add("Ａランク", 1);
        Seed.Add("Ｂランク", 1);
        ASSERT_TRUE(Seed.Save());
    }
    Module->CreateRankHistory();
    for (int I = 0; I < 3; ++I)
        Module->CreateSelItemHistory(I);
    ASSERT_TRUE(Module->LoadRankHistory());
    EXPECT_EQ(RankHistory->Count(), 2);
    EXPECT_EQ(RankHistory->ItemBytes(), 20);
    for (int I = 0; I < 3; ++I) {
        ASSERT_TRUE(Module->LoadSelItemHistory(I));
        EXPECT_EQ(SelItemHistory[I]->Count(), 0);
        EXPECT_EQ(SelItemHistory[I]->ItemBytes(), 60);
        EXPECT_EQ(SelItemHistory[I]->FileName(), Data.filePath(QString("SelItem%1.mtd").arg(I + 1)));
    }
    RankHistory->Clear();
    ASSERT_TRUE(RankHistory->Save());

    // An existing list is never replaced by the seed.
    Module->CreateRankHistory();
    ASSERT_TRUE(Module->LoadRankHistory());
    EXPECT_EQ(RankHistory->Count(), 0);

    QTemporaryDir Other;
    Module->ChangeDataPath(Other.path());
    EXPECT_EQ(RecvHisTable->FileName(), Other.filePath("RecvHis.DB"));
    EXPECT_EQ(MeiboTable->FileName(), Other.filePath("Meibo.DB"));
    EXPECT_EQ(RankHistory->Count(), 2);
    ASSERT_TRUE(Module->OpenMeibo());
    Module->CloseMeibo();
    EXPECT_TRUE(QFile::exists(Other.filePath("Meibo.DB")));
}

TEST(AdrsTableDefTest, AddressBookTableHasItsFieldsIndexesAndEditionPassword)
{
    QTemporaryDir Book;
    TTable Adrs;
    Adrs.SetDatabaseName(Book.path());
    Adrs.SetTableName(AdrsFileName);
    Adrs.CreateTable(AdrsTableDef(), AdrsPassword(1));
    EXPECT_EQ(AdrsPassword(0), "zomriv52");
    EXPECT_EQ(AdrsPassword(1), "gaxnel74");
    EXPECT_EQ(AdrsPassword(7), "zomriv52");

    const QString File = Book.filePath("Adrs.DB");
    const QStringList Fields = MetaFields(File);
    ASSERT_EQ(Fields.size(), 63);
    const struct
    {
        int Position;
        const char* Field;
    } Samples[] = {{0, "RecNo|AutoInc|0"},       {1, "Group|Integer|0"},        {13, "AdrsKana|String|100"},
                   {18, "PrivCorp|Boolean|0"},   {30, "Joint1|String|55"},      {39, "JointHonor5|String|10"},
                   {41, "JointPrint|Boolean|0"}, {46, "JointPrint5|Boolean|0"}, {49, "Keyword1|String|100"},
                   {57, "Note|Memo|100"},        {58, "ExtFile|Memo|100"},      {62, "UpdDateTime|DateTime|0"}};
    for (const auto& Sample : Samples) {
        EXPECT_EQ(Fields[Sample.Position], Sample.Field);
    }
    const QStringList Indexes = MetaIndexes(File);
    ASSERT_EQ(Indexes.size(), 19);
    EXPECT_EQ(Indexes.mid(0, 11),
              (QStringList{"|RecNo|1|0", "Group|Group|0|0", "CustomCode|CustomCode|0|0", "Tel|Tel|0|0", "Fax|Fax|0|0",
                           "Portable1|Portable1|0|0", "Portable2|Portable2|0|0", "Pos|Pos|0|0",
                           "Adrs|JisCode;Adrs2;Adrs3|0|1", "CorpKana|CorpKana|0|1", "NameKana|NameKana|0|1"}));
    EXPECT_EQ(Indexes[18], "Keyword8|Keyword8|0|1");
    EXPECT_EQ(SqliteIndexes(File, "Adrs").size(), 18);

    EXPECT_THROW(Adrs.Open(), EDatabaseError);
    TSession Edition1;
    Edition1.AddPassword("gaxnel74");
    TTable Reader(Edition1);
    Reader.SetDatabaseName(Book.path());
    Reader.SetTableName(AdrsFileName);
    Reader.Open();
    Reader.Append();
    Reader.FieldByName("Tel").SetAsString("0311112222");
    Reader.FieldByName("PrivCorp").SetAsBoolean(true);
    Reader.Post();
    Reader.Append();
    Reader.Post();
    EXPECT_EQ(Reader.FieldByName("RecNo").AsInteger(), 2); // numbered by the table
    Reader.SetIndexName("Tel");
    ASSERT_TRUE(Reader.FindKey({"0311112222"}));
    EXPECT_TRUE(Reader.FieldByName("PrivCorp").AsBoolean());
}

} // namespace
