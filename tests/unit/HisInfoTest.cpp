#include "main/tables/HisInfo.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& FileName)
{
    QFile File(FileName);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

void WriteAll(const QString& FileName, const QByteArray& Bytes)
{
    QFile File(FileName);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
}

const QString Aiu = QString::fromUtf16(u"あい"); // 82 A0 82 A2 in CP932

// "A" at 45000.5 and "あい" at 46000.25, laid out by hand: count, then per item the length byte,
// the stamp's eight bytes and the inverted text.
const QByteArray Golden = QByteArray::fromHex("02000000"
                                              "09"
                                              "0000000010f9e540"
                                              "be"
                                              "0c"
                                              "000000000876e640"
                                              "7d5f7d5d");

QString LoadError(const QString& FileName)
{
    return FileName + QStringLiteral("\r\nデータが読み込めませんでした");
}

TEST(HistoryData, SavesAndLoadsTheFileLayout)
{
    QTemporaryDir Dir;
    const QString Name = Dir.filePath("Sub/Rank.mtd"); // the missing folder is made by Save
    THistoryData List(Name, true, 20);
    ASSERT_TRUE(List.Load());
    List.Add("A", 45000.5);
    List.Add(Aiu, 46000.25);
    ASSERT_TRUE(List.Save());
    const QByteArray Saved = ReadAll(Name);
    ASSERT_EQ(Saved.size(), 27);
    EXPECT_EQ(static_cast<unsigned char>(Saved[4]), 0x09);
    EXPECT_EQ(static_cast<unsigned char>(Saved[13]), 0xBE);
    EXPECT_EQ(Saved.toHex(), Golden.toHex());

    WriteAll(Dir.filePath("Golden.mtd"), Golden);
    THistoryData Read(Dir.filePath("Golden.mtd"), false, 20);
    ASSERT_TRUE(Read.Load());
    ASSERT_EQ(Read.Count(), 2);
    EXPECT_EQ(Read.GetText(0), "A");
    EXPECT_EQ(Read.GetText(1), Aiu);
    EXPECT_EQ((*Read.Items())[0].Stamp, 45000.5);
    EXPECT_EQ((*Read.Items())[1].Stamp, 46000.25);
}

TEST(HistoryData, LengthByteWrapsForLongTexts)
{
    QTemporaryDir Dir;
    const QString Name = Dir.filePath("Long.mtd");
    THistoryData List(Name, true, 255);
    ASSERT_TRUE(List.Load());
    const QString Text(250, QLatin1Char('x'));
    List.Add(Text, 1.0);
    ASSERT_TRUE(List.Save());
    EXPECT_EQ(static_cast<unsigned char>(ReadAll(Name)[4]), 2); // (250 + 8) mod 256
    List.FreeItems();
    ASSERT_TRUE(List.Load());
    EXPECT_EQ(List.GetText(0), Text);
}

TEST(HistoryData, InsertCutsWithoutSplittingACharacter)
{
    THistoryData List("/nonexistent/x.mtd", true, 20);
    ASSERT_TRUE(List.Load());
    const QString Ascii21(21, QLatin1Char('a'));
    const QString Split = QString(19, QLatin1Char('b')) + QString::fromUtf16(u"あ"); // bytes 20-21 one character
    const QString Fits = QString(18, QLatin1Char('c')) + QString::fromUtf16(u"あ");
    List.Insert(0, Ascii21, 1);
    List.Insert(1, Split, 1);
    List.Insert(2, Fits, 1);
    List.Insert(3, "  padded  ", 0);
    EXPECT_EQ(List.GetText(0), Ascii21.left(20));
    EXPECT_EQ(List.GetText(1), QString(19, QLatin1Char('b')));
    EXPECT_EQ(List.GetText(2), Fits);
    EXPECT_EQ(List.GetText(3), "  padded  ");
    EXPECT_GT((*List.Items())[3].Stamp, 40000.0); // 0 means now

    EXPECT_EQ(List.IndexOf("  padded  "), 3);
    EXPECT_EQ(List.IndexOf("  PADDED  "), -1);
    EXPECT_EQ(List.IndexOf("  padded"), -1);

    // The file keeps no surrounding spaces: after a reload the text is found only without them.
    QTemporaryDir Dir;
    THistoryData Reloaded(Dir.filePath("Pad.mtd"), true, 20);
    ASSERT_TRUE(Reloaded.Load());
    Reloaded.Insert(0, "  padded  ", 1);
    ASSERT_TRUE(Reloaded.Save());
    Reloaded.FreeItems();
    ASSERT_TRUE(Reloaded.Load());
    EXPECT_EQ(Reloaded.GetText(0), "padded");
    EXPECT_EQ(Reloaded.IndexOf("  padded  "), -1);
}

// Texts that CP932 stores as the same bytes are one item: the most-recently-used update finds the
// earlier one instead of adding a second that a restart would show as its twin.
TEST(HistoryData, TextsStoredAsTheSameBytesAreOneItem)
{
    const std::pair<QString, QString> Pairs[] = {
        {QString::fromUtf16(u"10〜12時"), QString::fromUtf16(u"10～12時")},
        {QString::fromUtf16(u"A−B"), QString::fromUtf16(u"A－B")},
        {QString::fromUtf16(u"‖"), QString::fromUtf16(u"∥")},
        {QString::fromUtf16(u"¥100"), QStringLiteral("\\100")},
        {QString(25, QLatin1Char('x')), QString(20, QLatin1Char('x')) + QStringLiteral("yyyyy")}, // both cut to 20
    };
    QTemporaryDir Dir;
    for (const auto& [One, Other] : Pairs) {
        for (const QStringList& Uses : {QStringList{One, Other}, QStringList{Other, One}}) {
            const QString FileName = Dir.filePath("Rank.mtd");
            QFile::remove(FileName);
            for (const QString& Used : Uses) {
                // A start of the program: load, move the used text to the top, save.
                THistoryData List(FileName, true, 20);
                ASSERT_TRUE(List.Load());
                const int Index = List.IndexOf(Used);
                if (Index != 0) {
                    if (Index > 0)
                        List.Delete(Index);
                    List.Insert(0, Used, 0);
                    ASSERT_TRUE(List.Save());
                }
            }
            THistoryData List(FileName, true, 20);
            ASSERT_TRUE(List.Load());
            EXPECT_EQ(List.Count(), 1) << Uses.join(" then ").toStdString();
        }
    }
    THistoryData List("/nonexistent/x.mtd", true, 20);
    ASSERT_TRUE(List.Load());
    List.Add(QString::fromUtf16(u"～"), 1);
    EXPECT_EQ(List.IndexOf(QString::fromUtf16(u"〜")), 0);
    EXPECT_EQ(List.IndexOf(QString::fromUtf16(u"ー")), -1);
    EXPECT_EQ(List.IndexOf(QStringLiteral("a")), -1);
}

TEST(HistoryData, IndexErrorsChangeNothing)
{
    THistoryData List("/nonexistent/x.mtd", true, 20);
    ASSERT_TRUE(List.Load());
    List.Add("one", 1);
    EXPECT_EQ(List.Add("two", 1), 1);
    List.Insert(2, "three", 1); // at Count appends

    const auto ExpectIndexError = [](auto&& Call) {
        try {
            Call();
            ADD_FAILURE() << "no error";
        } catch (const EHistoryDataError& Error) {
            EXPECT_EQ(Error.Message(), QString::fromUtf16(u"Indexが範囲外です"));
        }
    };
    ExpectIndexError([&] { List.Insert(4, "x", 1); });
    ExpectIndexError([&] { List.Insert(-1, "x", 1); });
    ExpectIndexError([&] { List.Delete(3); });
    ExpectIndexError([&] { List.Delete(-1); });
    ExpectIndexError([&] { (void)List.GetText(3); });
    ASSERT_EQ(List.Count(), 3);
    List.Delete(1);
    EXPECT_EQ(List.GetText(1), "three");
    List.Clear();
    EXPECT_EQ(List.Count(), 0);
}

TEST(HistoryData, CreationChecksFileAndItemSize)
{
    QTemporaryDir Dir;
    const QString Missing = Dir.filePath("Missing.mtd");
    try {
        THistoryData List(Missing, false, 20);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& Error) {
        EXPECT_EQ(Error.Message(), Missing + QString::fromUtf16(u"\r\nファイルが見つかりません"));
    }
    for (int Bytes : {0, 256}) {
        try {
            THistoryData List(Missing, true, Bytes);
            ADD_FAILURE() << "no error for " << Bytes;
        } catch (const ERangeError& Error) {
            EXPECT_EQ(Error.Message(), Missing + QString::fromUtf16(u"\r\n項目サイズには1～255の値を指定してください"));
        }
    }

    // A missing file and an empty file are both empty lists.
    THistoryData List(Missing, true, 20);
    EXPECT_EQ(List.Items(), nullptr);
    ASSERT_TRUE(List.Load());
    EXPECT_EQ(List.Count(), 0);
    WriteAll(Missing, {});
    List.FreeItems();
    ASSERT_TRUE(List.Load());
    EXPECT_EQ(List.Count(), 0);
}

TEST(HistoryData, ShortOrDamagedFilesRaiseTheLoadError)
{
    struct TCase
    {
        const char* What;
        QByteArray Bytes;
        int ItemsKept;
    };
    const QByteArray TwoItems = Golden.mid(4);
    const TCase Cases[] = {
        {"count says three", QByteArray::fromHex("03000000") + TwoItems, 2},
        {"count beyond any file", QByteArray::fromHex("ffffff7f") + TwoItems, 2},
        {"negative count", QByteArray::fromHex("ffffffff") + TwoItems, 0},
        {"count cut short", QByteArray::fromHex("0200"), 0},
        {"stamp cut short", Golden.left(4 + 10 + 5), 1},
        {"text cut short", Golden.left(Golden.size() - 1), 1},
    };
    QTemporaryDir Dir;
    const QString Name = Dir.filePath("Bad.mtd");
    for (const TCase& Case : Cases) {
        WriteAll(Name, Case.Bytes);
        THistoryData List(Name, false, 20);
        try {
            List.Load();
            ADD_FAILURE() << Case.What << ": no error";
        } catch (const EHistoryDataError& Error) {
            EXPECT_EQ(Error.Message(), LoadError(Name)) << Case.What;
        }
        ASSERT_NE(List.Items(), nullptr) << Case.What;
        EXPECT_EQ(List.Count(), Case.ItemsKept) << Case.What;
    }
}

TEST(HistoryData, FailedSaveLeavesTheOldFileWhole)
{
    QTemporaryDir Dir;
    const QString Name = Dir.filePath("SelItem1.mtd");
    WriteAll(Name, Golden);
    THistoryData List(Name, false, 60);
    ASSERT_TRUE(List.Load());
    List.Insert(0, QString(60, QLatin1Char('z')), 1);
    {
        TFileSizeLimit Limit(40); // the new file would be 96 bytes
        try {
            List.Save();
            ADD_FAILURE() << "no error";
        } catch (const EHistoryDataError& Error) {
            EXPECT_EQ(Error.Message(), Name + QString::fromUtf16(u"\r\nデータが書き込めませんでした"));
        }
    }
    EXPECT_EQ(ReadAll(Name), Golden);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList({"SelItem1.mtd"}));
    EXPECT_EQ(List.Count(), 3);

    // A folder that cannot hold the file: false, nothing raised.
    WriteAll(Dir.filePath("NotAFolder"), "x");
    THistoryData Nowhere(Dir.filePath("NotAFolder/SelItem2.mtd"), true, 60);
    ASSERT_TRUE(Nowhere.Load());
    EXPECT_FALSE(Nowhere.Save());
}

} // namespace
