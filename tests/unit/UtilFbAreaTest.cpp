// The utility's address-book data module: the table it creates, the books it leaves alone, and its
// counted open.
#include "main/tables/AdrsTableDef.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "utility/fernbook/FbArea.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Utility;

namespace {

class UtilFbAreaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DefaultSession().RemoveAllPasswords();
        SetCoreMessageBox([this](const QString& Text, const QString&, unsigned) {
            Shown << Text;
            return 1;
        });
        Book = Root.path() + QStringLiteral("/Adrs/Book/");
        QDir().mkpath(Book);
    }
    void TearDown() override
    {
        SetCoreMessageBox({});
        DefaultSession().RemoveAllPasswords();
    }
    // Every file under the book folder with its bytes.
    [[nodiscard]] QMap<QString, QByteArray> Files() const
    {
        QMap<QString, QByteArray> Result;
        QDirIterator It(Book, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (It.hasNext()) {
            QFile File(It.next());
            EXPECT_TRUE(File.open(QIODevice::ReadOnly));
            Result.insert(QDir(Book).relativeFilePath(File.fileName()), File.readAll());
        }
        return Result;
    }
    bool OpensWith(const QString& Password)
    {
        DefaultSession().RemoveAllPasswords();
        if (!Password.isEmpty())
            DefaultSession().AddPassword(Password);
        TTable Table;
        Table.SetDatabaseName(Book);
        Table.SetTableName(AdrsFileName);
        try {
            Table.Open();
        } catch (const std::exception&) {
            return false;
        }
        Definition = Table.Definition();
        return true;
    }

    QTemporaryDir Root;
    QString Book;
    QStringList Shown;
    TTableDef Definition;
};

TEST_F(UtilFbAreaTest, ABookOfTheTradeEditionIsCreatedProtectedWithItsFieldsAndIndexesInOrder)
{
    {
        TDMFbarea Area(1);
        Area.PrepareAdrsTable(Book);
        ASSERT_TRUE(Area.OpenAdrsTable());
        Area.CloseAdrsTable();
    }
    EXPECT_EQ(Files().keys(), QStringList{QStringLiteral("Adrs.DB")});
    EXPECT_FALSE(OpensWith({}));
    EXPECT_FALSE(OpensWith(QStringLiteral("zomriv52")));
    ASSERT_TRUE(OpensWith(QStringLiteral("gaxnel74")));

    const QStringList Fields = {
        "RecNo",       "Group",       "CustomCode",  "Tel",         "TelDiv",      "Fax",         "Portable1",
        "Portable2",   "Pos",         "Tdfkn",       "Adrs1",       "Adrs2",       "Adrs3",       "AdrsKana",
        "JisCode",     "KajoCode",    "Latitude",    "Longitude",   "PrivCorp",    "CorpKanji",   "CorpKana",
        "Dptmnt",      "Post",        "NameKanji",   "NameKana",    "Honor",       "IgnoreName",  "URL",
        "EMail1",      "EMail2",      "Joint1",      "Joint2",      "Joint3",      "Joint4",      "Joint5",
        "JointHonor1", "JointHonor2", "JointHonor3", "JointHonor4", "JointHonor5", "JointOwner",  "JointPrint",
        "JointPrint1", "JointPrint2", "JointPrint3", "JointPrint4", "JointPrint5", "PrintTarget", "Sender",
        "Keyword1",    "Keyword2",    "Keyword3",    "Keyword4",    "Keyword5",    "Keyword6",    "Keyword7",
        "Keyword8",    "Note",        "ExtFile",     "SymbolMark",  "SymbolColor", "AddDateTime", "UpdDateTime"};
    QStringList Got;
    for (const TFieldDef& Field : Definition.Fields)
        Got << Field.Name;
    EXPECT_EQ(Got, Fields);
    const std::map<QString, std::pair<TFieldType, int>> Kinds = {
        {"RecNo", {TFieldType::AutoInc, 0}},       {"Adrs3", {TFieldType::String, 116}},
        {"PrivCorp", {TFieldType::Boolean, 0}},    {"NameKanji", {TFieldType::String, 75}},
        {"Note", {TFieldType::Memo, 100}},         {"SymbolColor", {TFieldType::Integer, 0}},
        {"UpdDateTime", {TFieldType::DateTime, 0}}};
    for (const TFieldDef& Field : Definition.Fields)
        if (Kinds.contains(Field.Name)) {
            EXPECT_EQ(Field.Type, Kinds.at(Field.Name).first) << Field.Name.toStdString();
            EXPECT_EQ(Field.Size, Kinds.at(Field.Name).second) << Field.Name.toStdString();
        }
    QStringList Indexes;
    for (const TIndexDef& Index : Definition.Indexes)
        Indexes << Index.Name + QLatin1Char('=') + Index.Fields +
                       (Index.CaseInsensitive ? QStringLiteral(" ci") : QString());
    EXPECT_EQ(Indexes, (QStringList{"=RecNo", "Group=Group", "CustomCode=CustomCode", "Tel=Tel", "Fax=Fax",
                                    "Portable1=Portable1", "Portable2=Portable2", "Pos=Pos",
                                    "Adrs=JisCode;Adrs2;Adrs3 ci", "CorpKana=CorpKana ci", "NameKana=NameKana ci",
                                    "Keyword1=Keyword1 ci", "Keyword2=Keyword2 ci", "Keyword3=Keyword3 ci",
                                    "Keyword4=Keyword4 ci", "Keyword5=Keyword5 ci", "Keyword6=Keyword6 ci",
                                    "Keyword7=Keyword7 ci", "Keyword8=Keyword8 ci"}));
}

TEST_F(UtilFbAreaTest, ABookThatHasItsTableInAnyLetterCaseIsLeftByteForByte)
{
    for (const QString& Name : {QStringLiteral("Adrs.DB"), QStringLiteral("adrs.db")}) {
        QDir(Book).removeRecursively();
        QDir().mkpath(Book);
        {
            DefaultSession().AddPassword(QStringLiteral("zomriv52"));
            TTable Other;
            Other.SetDatabaseName(Book);
            Other.SetTableName(Name);
            Other.CreateTable(
                {{{QStringLiteral("RecNo"), TFieldType::AutoInc, 0}, {QStringLiteral("Tel"), TFieldType::String, 11}},
                 {{QString(), QStringLiteral("RecNo"), true, true, false}}},
                QStringLiteral("zomriv52"));
        }
        const auto Before = Files();
        {
            TDMFbarea Area(0);
            Area.PrepareAdrsTable(Book);
            ASSERT_TRUE(Area.OpenAdrsTable()) << Name.toStdString();
            EXPECT_EQ(Area.AdrsTable()->FieldCount(), 2);
            Area.CloseAdrsTable();
        }
        EXPECT_EQ(Files(), Before) << Name.toStdString();
    }
}

TEST_F(UtilFbAreaTest, TheOpenIsCountedAndAFailedOneSaysSo)
{
    TDMFbarea Area(0);
    Area.PrepareAdrsTable(Book);
    ASSERT_TRUE(Area.OpenAdrsTable());
    TTable* Table = Area.AdrsTable();
    ASSERT_TRUE(Area.OpenAdrsTable());
    EXPECT_EQ(Area.AdrsTable(), Table);
    EXPECT_EQ(Area.AdrsOpenCount(), 2);
    Area.CloseAdrsTable();
    EXPECT_TRUE(Table->Active());
    Area.CloseAdrsTable();
    EXPECT_FALSE(Table->Active());
    EXPECT_TRUE(Shown.isEmpty());

    // A folder that cannot hold a table: the open says so and creates nothing.
    TDMFbarea Missing(0);
    Missing.PrepareAdrsTable(Root.path() + QStringLiteral("/none/"));
    EXPECT_FALSE(Missing.OpenAdrsTable());
    EXPECT_EQ(Shown, QStringList{QStringLiteral("アドレス帳ファイルがオープンできませんでした  ")});
}

TEST_F(UtilFbAreaTest, KeywordListsMayBeMissingButAnUnreadableOneSaysSo)
{
    KeywordPath = Root.path() + QStringLiteral("/History/");
    QDir().mkpath(KeywordPath);
    {
        TDMFbarea Area(0);
        Area.PrepareKeywords();
        ASSERT_TRUE(Area.OpenKeywords());
        EXPECT_EQ(Area.Keyword(2)->Count(), 0);
        EXPECT_EQ(Area.Keyword(0)->ItemBytes(), 100);
        Area.CloseKeywords();
        Area.FreeKeywords();
        EXPECT_EQ(Area.Keyword(0), nullptr);
    }
    QFile Damaged(KeywordPath + QStringLiteral("Keyword2.mtd"));
    ASSERT_TRUE(Damaged.open(QIODevice::WriteOnly));
    Damaged.write("short");
    Damaged.close();
    TDMFbarea Area(0);
    Area.PrepareKeywords();
    EXPECT_FALSE(Area.OpenKeywords());
    EXPECT_EQ(Shown, QStringList{QStringLiteral("キーワードファイルがオープンできませんでした  ")});
    EXPECT_EQ(Area.Keyword(0)->Items(), nullptr);
}

} // namespace
