// The memo print's item order and choice as kept in the settings file, the copied line and the
// printed lines.

#include "calls/memo/MemoPrintItems.h"

#include "platform/ini/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Section = QStringLiteral("MEMO PRINT");

QString Defaults(bool Flags)
{
    QStringList Parts;
    for (int Row = 0; Row < MemoItemCount; ++Row)
        Parts << QString::fromLatin1(Flags ? MemoItemTable[Row].Export : MemoItemTable[Row].ItemNo);
    return Parts.join(u',');
}

struct TMemoIni
{
    QTemporaryDir Dir;
    QString File = Dir.filePath(QStringLiteral("VxRelvo16.ini"));

    void Write(const QByteArray& Text)
    {
        QFile Out(File);
        ASSERT_TRUE(Out.open(QIODevice::WriteOnly));
        Out.write(Text);
    }
};

QString OrderOf(const QList<TMemoPrintItem>& Items)
{
    QStringList Parts;
    for (const TMemoPrintItem& Item : Items)
        Parts << QString::number(Item.ItemNo);
    return Parts.join(u',');
}

QString FlagsOf(const QList<TMemoPrintItem>& Items)
{
    QStringList Parts;
    for (const TMemoPrintItem& Item : Items)
        Parts << (Item.Chosen ? QStringLiteral("1") : QStringLiteral("0"));
    return Parts.join(u',');
}

} // namespace

TEST(MemoPrintItemsTest, ABrokenListFallsBackToTheTableNeverToADoubledItem)
{
    const QByteArray Reversed = "24,23,22,21,20,19,18,17,16,15,14,13,12,11,10,9,8,7,6,5,4,3,2,1,0";
    const struct
    {
        const char* Name;
        QByteArray Index;
        QByteArray Export;
    } Cases[] = {
        {"missing", {}, {}},
        {"empty", "ExportItemIndex=\nExportItemExport=\n", {}},
        {"24 entries", "ExportItemIndex=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23\n",
         "ExportItemExport=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1\n"},
        {"not a number", "ExportItemIndex=x,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24\n",
         "ExportItemExport=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,x\n"},
        {"doubled", "ExportItemIndex=0,0,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24\n",
         "ExportItemExport=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,2\n"},
        {"out of range", "ExportItemIndex=25,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24\n",
         "ExportItemExport=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1\n"},
    };
    for (const auto& Case : Cases) {
        TMemoIni Ini;
        Ini.Write("[MEMO PRINT]\n" + Case.Index + Case.Export);
        const QList<TMemoPrintItem> Items = ReadMemoPrintItems(TMemIniFile(Ini.File), false);
        ASSERT_EQ(Items.size(), MemoItemCount) << Case.Name;
        EXPECT_EQ(OrderOf(Items), Defaults(false)) << Case.Name;
        EXPECT_EQ(FlagsOf(Items), Defaults(true)) << Case.Name;
        for (int I = 0; I < MemoItemCount; ++I) {
            EXPECT_EQ(Items[I].TableRow, I) << Case.Name;
        }
    }
    // The address-book pair is read apart from the own one.
    TMemoIni Ini;
    Ini.Write("[MEMO PRINT]\nExportItemIndexFb=" + Reversed + "\n");
    EXPECT_EQ(OrderOf(ReadMemoPrintItems(TMemIniFile(Ini.File), false)), Defaults(false));
    const QList<TMemoPrintItem> Fb = ReadMemoPrintItems(TMemIniFile(Ini.File), true);
    EXPECT_EQ(OrderOf(Fb), QString::fromLatin1(Reversed));
    EXPECT_EQ(Fb[0].TableRow, 24);
}

TEST(MemoPrintItemsTest, AChosenOrderRoundTripsByteForByte)
{
    const QByteArray Text = "[MEMO PRINT]\n"
                            "ExportItemIndex=24,3,4,0,1,2,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23\n"
                            "ExportItemExport=1,0,1,0,0,0,1,1,1,1,1,1,1,1,1,1,0,0,0,0,0,0,1,1,0\n"
                            "FontName=IPAGothic\n"
                            "FontSize=5\n"
                            "FontStyle=3\n"
                            "FontCharset=0\n"
                            "TabIndex=1\n"
                            "PrintMsg=0\n";
    TMemoIni Ini;
    Ini.Write(Text);
    const QList<TMemoPrintItem> Items = ReadMemoPrintItems(TMemIniFile(Ini.File), false);
    const TMemoPrintSettings Memo = ReadMemoPrintSettings(TMemIniFile(Ini.File));
    EXPECT_EQ(Memo.FontSize, 12);
    EXPECT_EQ(Memo.FontStyle, 3);
    EXPECT_EQ(Memo.FontCharset, 0);
    EXPECT_FALSE(Memo.PrintMsg);

    QFile::remove(Ini.File);
    TMemIniFile Out(Ini.File);
    WriteMemoPrintSection(Out, Items, false, Memo);
    ASSERT_TRUE(Out.UpdateFile());
    QFile In(Ini.File);
    ASSERT_TRUE(In.open(QIODevice::ReadOnly));
    EXPECT_EQ(In.readAll(), Text);
}

TEST(MemoPrintItemsTest, FontValuesOutOfRangeTakeTheirDefaults)
{
    TMemoIni Ini;
    Ini.Write("[MEMO PRINT]\nFontSize=24\nFontStyle=4\nFontCharset=1\nFontName=\n");
    const TMemoPrintSettings Memo = ReadMemoPrintSettings(TMemIniFile(Ini.File));
    EXPECT_EQ(Memo.FontSize, 9);
    EXPECT_EQ(Memo.FontStyle, 0);
    EXPECT_EQ(Memo.FontCharset, 128);
    EXPECT_EQ(Memo.FontName, QStringLiteral("ＭＳ ゴシック"));
    Ini.Write("[MEMO PRINT]\nFontSize=-1\n");
    EXPECT_EQ(ReadMemoPrintSettings(TMemIniFile(Ini.File)).FontSize, 9);
}

TEST(MemoPrintItemsTest, TheCopyJoinsValuesAsTheyAre)
{
    QList<TMemoPrintItem> Items;
    for (const int Row : {5, 24, 23, 11, 0})
        Items.append({Row, Row, Row != 0});
    TMemoValues Values;
    for (int Row = 0; Row < 23; ++Row)
        Values.Texts << QStringLiteral("v%1").arg(Row);
    Values.Texts[11] = QStringLiteral("山田,商店");
    Values.Files = {QStringLiteral("/home/a/見積.pdf"), QStringLiteral("/home/a/b.txt")};
    Values.NoteLines = {QStringLiteral("一行目"), QStringLiteral("二行目"), QStringLiteral("三行目")};
    EXPECT_EQ(MemoCopyText(Items, Values),
              QStringLiteral("v5,一行目\t二行目\t三行目,/home/a/見積.pdf\t/home/a/b.txt,山田,商店"));
    for (TMemoPrintItem& Item : Items)
        Item.Chosen = false;
    EXPECT_EQ(MemoCopyText(Items, Values), QString());
}

TEST(MemoPrintItemsTest, PrintedLinesCarryTheModesLabelsAndOneLineEachForNoteAndFiles)
{
    QList<TMemoPrintItem> Items;
    for (const int Row : {5, 6, 20, 24, 23})
        Items.append({Row, Row, true});
    TMemoValues Values;
    for (int Row = 0; Row < 23; ++Row)
        Values.Texts << QStringLiteral("v%1").arg(Row);
    Values.NoteLines = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    const QStringList Names = {QStringLiteral("問合せ"), QStringLiteral("メモ"), QStringLiteral("受付")};

    auto Render = [](const QList<TMemoLine>& Lines) {
        QStringList Out;
        for (const TMemoLine& Line : Lines)
            Out << Line.Caption + QLatin1Char('|') + Line.Value;
        return Out;
    };
    EXPECT_EQ(
        Render(MemoPrintLines(Items, Values, false, Names)),
        (QStringList{"[電話番号１]|v5", "[電話番号２]|v6", "[問合せ]|v20", "[備考]|a", "|b", "|c", "[外部ファイル]|"}));
    EXPECT_EQ(Render(MemoPrintLines(Items, Values, true, Names)).mid(0, 2),
              (QStringList{"[着信電話番号]|v5", "[他の電話番号]|v6"}));
    // The value column is set by the table's labels, the select items' among them.
    EXPECT_EQ(MemoChosenLabels(Items, false),
              (QStringList{"電話番号１", "電話番号２", "内容", "備考", "外部ファイル"}));

    EXPECT_EQ(MemoLinesPerPage(1000, 150, 100), 7);
    EXPECT_EQ(MemoLinesPerPage(50, 150, 100), 1);
}
