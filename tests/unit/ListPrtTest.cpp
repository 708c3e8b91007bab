#include "transfer/print/ListPrt.h"

#include "FakePrinters.h"
#include "MapFieldValues.h"
#include "platform/ini/IniFile.h"
#include "transfer/print/ListItemText.h"
#include "transfer/print/ListRender.h"

#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TMemIniFile IniOf(const QByteArray& Bytes)
{
    TMemIniFile Ini(QStringLiteral("/nonexistent/VxRelvo16.ini"));
    Ini.FromBytes(Bytes);
    return Ini;
}

class ListPrtTest : public ::testing::Test
{
protected:
    QTemporaryDir Folder;
    TFakePrinters Printers;
    TListPrintModel Model;

    ListPrtTest() { Printers.Add(QStringLiteral("PDF"), PdfPrinterCaps()); }
    void Load(const QByteArray& Bytes) { Model.LoadPrintSettings(IniOf(Bytes), Folder.filePath("LstPrint.pi")); }
};

TEST_F(ListPrtTest, AFreshSettingsFileGivesTheDefaults)
{
    Load({});
    const TPrintSettings& S = Model.PrintSettings;
    EXPECT_EQ(Model.PrintSource, SourceRecvHis);
    EXPECT_TRUE(S.Title.isEmpty());
    EXPECT_TRUE(S.ViewDate);
    EXPECT_EQ(S.DatePosX, 2);
    EXPECT_EQ(S.DatePosY, 0);
    EXPECT_TRUE(S.ViewPage);
    EXPECT_EQ(S.PagePosX, 1);
    EXPECT_EQ(S.PagePosY, 1);
    EXPECT_EQ(S.PageType, 0);
    EXPECT_EQ(S.FontName, QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(S.FontSize, 9);
    EXPECT_EQ(S.FontStyle, 0);
    EXPECT_EQ(S.FontCharset, 128);
    EXPECT_EQ(S.RowCount, 1);
    EXPECT_EQ(S.OffsetX + S.OffsetY, 0);
    EXPECT_EQ(S.Line, (std::array<bool, 6>{}));
    EXPECT_EQ(S.HorzInterval, 1);
    EXPECT_FALSE(S.HeaderColorExists);
    EXPECT_TRUE(S.Colors.isEmpty());
    EXPECT_EQ(S.DataSelect, 0);
    EXPECT_EQ(S.Copies, 1);
    ASSERT_TRUE(Model.PrinterInfo);
    EXPECT_EQ(Model.PrinterInfo->DeviceName, QStringLiteral("PDF"));
}

TEST_F(ListPrtTest, ValuesOutOfRangeTakeTheirDefaults)
{
    Load("[LIST PRINT]\nFontSize=24\nFontCharset=1\nHorzInterval=0\nCopies=101\nOffsetX=-5\nColorCount=11\n"
         "Color1=255\nPrintSource=2\n");
    const TPrintSettings& S = Model.PrintSettings;
    EXPECT_EQ(S.FontSize, 9);
    EXPECT_EQ(S.FontCharset, 128);
    EXPECT_EQ(S.HorzInterval, 1);
    EXPECT_EQ(S.Copies, 1);
    EXPECT_EQ(S.OffsetX, 0);
    EXPECT_TRUE(S.Colors.isEmpty());
    EXPECT_EQ(Model.PrintSource, 0);
    Load("[LIST PRINT]\nHorzInterval=21\nCopies=0\nColorCount=2\nColor1=255\n");
    EXPECT_EQ(Model.PrintSettings.HorzInterval, 1);
    EXPECT_EQ(Model.PrintSettings.Copies, 1);
    EXPECT_EQ(Model.PrintSettings.Colors, (QList<int>{255, 0xFFFFFF}));
}

TEST_F(ListPrtTest, LayoutsLoseEntriesTheItemListsCannotShowAndSaveBack)
{
    Load("[LIST PRINT LAYOUT RECVHIS]\nItemNo=2,40,6,6,0,0\nItemSize=10,5,50,9,2,2\n"
         "[LIST PRINT LAYOUT MEIBO]\nItemNo=26,27\nItemSize=8,8\n");
    EXPECT_EQ(Model.GetLayoutCount(SourceRecvHis), 4);
    EXPECT_EQ(*Model.GetLayoutEntry(SourceRecvHis, 1), (LayoutEntry{6, 50}));
    EXPECT_EQ(Model.GetLayoutCount(SourceMeibo), 1);
    EXPECT_FALSE(Model.GetLayoutEntry(SourceMeibo, 1));
    EXPECT_EQ(Model.GetPrintItem(25)->Name, QStringLiteral("備考（名簿）"));
    EXPECT_FALSE(Model.GetPrintItem(26));

    Model.PrintSettings.Copies = 3;
    Model.PrintSettings.FontSize = 30;
    TMemIniFile Ini = IniOf({});
    ASSERT_TRUE(Model.SavePrintSettings(Ini));
    EXPECT_EQ(Ini.ReadString(RecvHisLayoutSection, QStringLiteral("ItemNo"), {}), QStringLiteral("2,6,0,0"));
    EXPECT_EQ(Ini.ReadInteger(ListPrintSection, QStringLiteral("FontSize"), -1), 23);
    EXPECT_EQ(TPrinterInfo(Folder.filePath("LstPrint.pi")).GetCopies(), 3);
}

TEST(ListItemTextTest, HistoryTextsFollowTheRowAndTheCallersDirectoryRecord)
{
    TMapValues Row;
    Row.Texts = {{"Tel", "S"}, {"Division", "2"}, {"SelItem2", " memo "}};
    Row.Times = {{"RecvDateTime", 45000.5}};
    EXPECT_EQ(HistoryItemText(4, Row, nullptr, false), QStringLiteral("契約条件"));
    EXPECT_EQ(HistoryItemText(9, Row, nullptr, false), QString());
    EXPECT_EQ(HistoryItemText(12, Row, nullptr, false), QStringLiteral("memo"));
    EXPECT_EQ(HistoryItemText(2, Row, nullptr, false), QStringLiteral("2023/03/15"));
    EXPECT_EQ(HistoryItemText(3, Row, nullptr, false), QStringLiteral("12:00:00"));
    Row.Times.clear();
    EXPECT_EQ(HistoryItemText(2, Row, nullptr, false), QString());
    Row.Texts["Tel"] = QStringLiteral("03-1234-5678");
    Row.Texts["Division"] = QStringLiteral("0");
    EXPECT_EQ(HistoryItemText(4, Row, nullptr, false), QStringLiteral("03-1234-5678"));
    EXPECT_EQ(HistoryItemText(9, Row, nullptr, false), QStringLiteral("新規"));

    TMapValues Entry;
    Entry.Texts = {{"Pos", "12345"},
                   {"Tdfkn", "東京都"},
                   {"Adrs1", "千代田区"},
                   {"Adrs2", "丸の内"},
                   {"Note", "一行目\r\n二行目"}};
    EXPECT_EQ(HistoryItemText(14, Row, &Entry, false), QStringLiteral("123-45"));
    EXPECT_EQ(HistoryItemText(15, Row, &Entry, false), QStringLiteral("東京都千代田区丸の内"));
    EXPECT_EQ(HistoryItemText(15, Row, &Entry, true), QStringLiteral("千代田区丸の内"));
    EXPECT_EQ(HistoryItemText(25, Row, &Entry, true), QStringLiteral("一行目 二行目"));
    EXPECT_EQ(HistoryItemText(15, Row, nullptr, false), QString());
}

TEST(ListItemTextTest, DirectoryTextsFollowTheEntry)
{
    TMapValues Entry;
    Entry.Texts = {{"Pos", "1234"}, {"Tdfkn", "大阪府"}, {"Adrs1", "北区"}, {"PrivCorp", "1"}, {"Msg", "0"}};
    Entry.Times = {{"AddDateTime", 45000.25}};
    EXPECT_EQ(MeiboItemText(4, Entry, false), QStringLiteral("1234"));
    EXPECT_EQ(MeiboItemText(5, Entry, false), QStringLiteral("大阪府北区"));
    EXPECT_EQ(MeiboItemText(5, Entry, true), QStringLiteral("北区"));
    EXPECT_EQ(MeiboItemText(11, Entry, false), QStringLiteral("法人"));
    EXPECT_EQ(MeiboItemText(17, Entry, false), QStringLiteral("設定なし"));
    EXPECT_EQ(MeiboItemText(21, Entry, false), QStringLiteral("2023/03/15 06:00:00"));
    EXPECT_EQ(MeiboItemText(23, Entry, false), QStringLiteral("06:00:00"));
    EXPECT_EQ(MeiboItemText(24, Entry, false), QString());
    Entry.Texts["Pos"] = QStringLiteral("1234567");
    EXPECT_EQ(MeiboItemText(4, Entry, false), QStringLiteral("123-4567"));
}

TEST(ListItemTextTest, HeadersTakeShortCaptionsOrTheItemName)
{
    const QList<PrintItem> Items = BuildItemTable(SourceMeibo, {}, {}, {});
    EXPECT_EQ(GetHeaderText(SourceMeibo, 0, Items), QString());
    EXPECT_EQ(GetHeaderText(SourceMeibo, 17, Items), QStringLiteral("Msg設定"));
    EXPECT_EQ(GetHeaderText(SourceMeibo, 5, Items), QStringLiteral("住所"));
    EXPECT_EQ(GetHeaderText(SourceRecvHis, 14, BuildItemTable(SourceRecvHis, {}, {}, {})), QStringLiteral("〒"));
}

TEST(ListItemTextTest, PageNumbersAndDatesTakeTheirFormats)
{
    const QStringList Expected{"Page. 3", "- 3 -", "3 ページ", "Page. 3 / 7", "- 3 / 7 -", "3 / 7 ページ"};
    for (int Type = 0; Type < 6; ++Type) {
        EXPECT_EQ(PageNumberText(Type, 3, 7), Expected[Type]) << Type;
    }
    EXPECT_EQ(PrintDateText(45000), QStringLiteral("2023/ 3/15"));
}

} // namespace
