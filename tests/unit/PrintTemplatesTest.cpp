#include "transfer/print/PrintTemplates.h"

#include "platform/sys/SafeWrite.h"
#include "platform/text/Cp932.h"
#include "transfer/print/PrintItems.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QList<PrintItem> History =
    BuildItemTable(SourceRecvHis, QStringLiteral("内容"), QStringLiteral("メモ"), QStringLiteral("受付"));

QByteArray Sections(int Count)
{
    QByteArray Bytes;
    for (int I = 1; I <= Count; ++I)
        Bytes += "[T" + QByteArray::number(I) + "]\r\nItemNo=2,3\r\nItemSize=10,8\r\n";
    return Bytes;
}

class PrintTemplatesTest : public ::testing::Test
{
protected:
    QTemporaryDir Folder;
    QString File = Folder.filePath(QStringLiteral("LPRHis.tpl"));

    TTemplateList Load(const QByteArray& Bytes)
    {
        EXPECT_EQ(WriteFileSafely(File, Bytes), TSafeWriteResult::Written);
        return LoadTemplateFile(File, static_cast<int>(History.size()));
    }
};

TEST(PrintItemsTest, TablesHoldTheirItemsWithSelectItemTitlesAndBothKindsOfParentheses)
{
    ASSERT_EQ(History.size(), 26);
    EXPECT_EQ(History[11].Name, QStringLiteral("内容"));
    EXPECT_EQ(History[13].Name, QStringLiteral("受付"));
    EXPECT_EQ(History[14].Name, QStringLiteral("郵便番号(名簿)"));
    EXPECT_EQ(History[25].Name, QStringLiteral("備考（名簿）"));
    EXPECT_EQ(History[25].DefaultWidth, 60);
    const QList<PrintItem> Directory = BuildItemTable(SourceMeibo, {}, {}, {});
    ASSERT_EQ(Directory.size(), 27);
    EXPECT_EQ(Directory[18].Name, QStringLiteral("着信時メッセージ(１行目)"));
    EXPECT_EQ(Directory[26].DefaultWidth, 8);
}

TEST(PrintItemsTest, LayoutTextReadsPairsOfEqualCountsOnly)
{
    EXPECT_EQ(LayoutFromText({QStringLiteral("2,3,4,6"), QStringLiteral("10,8,13,50")}),
              (TLayout{{2, 10}, {3, 8}, {4, 13}, {6, 50}}));
    EXPECT_FALSE(LayoutFromText({QStringLiteral("2,3"), QStringLiteral("10")}));
    EXPECT_FALSE(LayoutFromText({QStringLiteral("2"), QStringLiteral("x")}));
    EXPECT_FALSE(LayoutFromText({QString(), QStringLiteral("10")}));
    QStringList Hundred(100, QStringLiteral("0"));
    EXPECT_EQ(LayoutFromText({Hundred.join(','), Hundred.join(',')})->size(), 100);
    Hundred << QStringLiteral("0");
    EXPECT_FALSE(LayoutFromText({Hundred.join(','), Hundred.join(',')}));
    const TLayout Layout{{0, 2}, {5, 30}};
    EXPECT_EQ(LayoutFromText(LayoutToText(Layout)), Layout);
    // A comma is counted where it stands as a character of its own.
    EXPECT_EQ(CountCommas(QStringLiteral("表,示,")), 2);
}

TEST(PrintItemsTest, CleaningDropsUnknownItemsAndSecondPlacesButKeepsBlanks)
{
    const TLayout Read{{2, 10}, {40, 5}, {6, 50}, {0, 2}, {6, 9}, {0, 3}, {-1, 4}};
    EXPECT_EQ(CleanLayout(Read, 26), (TLayout{{2, 10}, {6, 50}, {0, 2}, {0, 3}}));
}

TEST(PrintItemsTest, SettingRemovingAndMovingFollowTheItemRules)
{
    TLayout Layout;
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(SetLayoutEntry(Layout, 0, BlankItemNo, History), TLayoutEdit::Done);
    }
    EXPECT_EQ(SetLayoutEntry(Layout, 3, SerialItemNo, History), TLayoutEdit::Done);
    EXPECT_EQ(SetLayoutEntry(Layout, 0, SerialItemNo, History), TLayoutEdit::AlreadySet);
    EXPECT_EQ(Layout.size(), 4);
    EXPECT_EQ(Layout[3], (LayoutEntry{1, 5}));
    EXPECT_FALSE(AvailableItems(Layout, 26).contains(SerialItemNo));
    EXPECT_TRUE(AvailableItems(Layout, 26).contains(BlankItemNo));
    // The insertion row (one past the last entry) removes the last entry.
    EXPECT_EQ(RemoveLayoutEntry(Layout, 4), TLayoutEdit::Done);
    EXPECT_TRUE(AvailableItems(Layout, 26).contains(SerialItemNo));
    EXPECT_EQ(MoveLayoutEntry(Layout, 0, true), TLayoutEdit::Nothing);
    EXPECT_EQ(MoveLayoutEntry(Layout, 2, false), TLayoutEdit::Nothing);

    TLayout Full(99, LayoutEntry{0, 2});
    EXPECT_EQ(SetLayoutEntry(Full, 0, BlankItemNo, History), TLayoutEdit::Done);
    EXPECT_EQ(SetLayoutEntry(Full, 0, BlankItemNo, History), TLayoutEdit::Full);
    EXPECT_EQ(Full.size(), 100);
    EXPECT_EQ(LayoutFullMessage, QStringLiteral("設定できる項目数は100項目です  \r\nこれ以上追加できません  "));
}

TEST_F(PrintTemplatesTest, TakesTheFirstTenValidSectionsAndTheLastLayoutInFront)
{
    TTemplateList List = Load(Sections(12));
    ASSERT_EQ(List.Items.size(), 10);
    EXPECT_EQ(List.Items[9].Name, QStringLiteral("T10"));
    AddLastLayoutTemplate(List, {{2, 10}});
    EXPECT_EQ(List.Names().size(), 11);
    EXPECT_EQ(List.Names().first(), LastLayoutName);
    EXPECT_FALSE(List.CanSave());
    EXPECT_EQ(SaveTemplate(List, QStringLiteral("New"), -1, {{3, 8}}).Answer, TTemplateAnswer::Refused);
}

TEST_F(PrintTemplatesTest, SkipsUnequalCountsDropsNonIntegersAndUnknownItems)
{
    const TTemplateList List = Load("[Uneven]\nItemNo=2,3\nItemSize=10\n"
                                    "[Bad]\nItemNo=2\nItemSize=x\n"
                                    "[NoSize]\nItemNo=2\n"
                                    "[Good]\nItemNo=40,6,6,2\nItemSize=1,2,3,4\n"
                                    "[Unknown]\nItemNo=-1,40\nItemSize=10,10\n");
    ASSERT_EQ(List.Names(), QStringList{QStringLiteral("Good")});
    EXPECT_EQ(List.Items[0].Layout, (TLayout{{6, 2}, {2, 4}}));
}

TEST_F(PrintTemplatesTest, ASectionNameThatCannotBeWrittenBackIsLeftOutSoTheOthersStillSave)
{
    const TTemplateList List = Load("[A\rB]\nItemNo=2\nItemSize=10\n[C]\nItemNo=3\nItemSize=8\n");
    EXPECT_EQ(List.Names(), QStringList{QStringLiteral("C")});
    EXPECT_TRUE(SaveTemplateFile(File, List));
}

TEST_F(PrintTemplatesTest, RefusesNamesOfOtherTemplatesInAnyCaseAndNamesNoSectionHolds)
{
    TTemplateList List = Load(Sections(2));
    AddLastLayoutTemplate(List, {{2, 10}});
    const TLayout Layout{{4, 13}};
    EXPECT_EQ(SaveTemplate(List, QStringLiteral("  "), 1, Layout).Message, TemplateNameMissing);
    EXPECT_EQ(SaveTemplate(List, LastLayoutName, 1, Layout).Message, TemplateNameReserved);
    EXPECT_EQ(SaveTemplate(List, QStringLiteral("T2"), 1, Layout).Message, TemplateNameTaken);
    EXPECT_EQ(SaveTemplate(List, QStringLiteral("t2"), 1, Layout).Message, TemplateNameTaken);
    EXPECT_EQ(SaveTemplate(List, QStringLiteral("[a]"), 1, Layout).Message, TemplateNameUnfit);
    EXPECT_EQ(SaveTemplate(List, QStringLiteral(";a"), 1, Layout).Message, TemplateNameUnfit);
    // The file is CP932: a name it cannot hold is refused, not written in another encoding.
    EXPECT_EQ(SaveTemplate(List, QStringLiteral("月報\U0001F4C8"), 1, Layout).Message, TemplateNameNotCp932);
    EXPECT_EQ(SaveTemplate(List, QStringLiteral("한국"), 1, Layout).Message, TemplateNameNotCp932);
    EXPECT_EQ(List.Items.size(), 3);

    const TTemplateResult Replaced = SaveTemplate(List, QStringLiteral("t1"), 1, Layout);
    EXPECT_EQ(Replaced.Answer, TTemplateAnswer::Replaced);
    EXPECT_EQ(List.Items[1].Layout, Layout);
    EXPECT_EQ(List.Items.size(), 3);
    EXPECT_EQ(SaveTemplate(List, QStringLiteral("T3"), 1, Layout).Answer, TTemplateAnswer::Saved);
    EXPECT_EQ(List.Items.size(), 4);
}

TEST_F(PrintTemplatesTest, DeletingNamesTheTemplateOrRefuses)
{
    TTemplateList List = Load(Sections(1));
    AddLastLayoutTemplate(List, {{2, 10}});
    EXPECT_EQ(FindTemplateToDelete(List, LastLayoutName).Message, TemplateDeleteReserved);
    EXPECT_EQ(FindTemplateToDelete(List, QStringLiteral("T9")).Message, TemplateNotFound);
    const TTemplateResult Found = FindTemplateToDelete(List, QStringLiteral("T1"));
    EXPECT_EQ(Found.Answer, TTemplateAnswer::NeedsYes);
    EXPECT_EQ(Found.Index, 1);
    EXPECT_EQ(Found.Message, QStringLiteral("「T1」\r\n\r\nこのテンプレートを削除してもよろしいですか？  "));
}

TEST_F(PrintTemplatesTest, WritesTheRealTemplatesInCp932)
{
    TTemplateList List;
    List.Items = {{QStringLiteral("月次報告"), {{2, 10}, {3, 8}}}, {QStringLiteral("B"), {{0, 2}}}};
    AddLastLayoutTemplate(List, {{6, 50}});
    ASSERT_TRUE(SaveTemplateFile(File, List));
    QFile Saved(File);
    ASSERT_TRUE(Saved.open(QIODevice::ReadOnly));
    const QByteArray Expected = QByteArray("[\x8c\x8e\x8e\x9f\x95\xf1\x8d\x90]\r\n") +
                                "ItemNo=2,3\r\nItemSize=10,8\r\n\r\n[B]\r\nItemNo=0\r\nItemSize=2\r\n";
    EXPECT_EQ(Saved.readAll().toHex(' '), Expected.toHex(' '));
    const TTemplateList Again = LoadTemplateFile(File, 26);
    EXPECT_EQ(Again.Names(), (QStringList{QStringLiteral("月次報告"), QStringLiteral("B")}));
}

} // namespace
