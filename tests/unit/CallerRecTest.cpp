#include "main/common/CallerRec.h"

#include "platform/text/Cp932.h"

#include <gtest/gtest.h>

namespace {

QString S(const char16_t* Text)
{
    return QString::fromUtf16(Text);
}

TCallerRecord FilledRecord()
{
    TCallerRecord Record;
    Record.HisRecNo = 7;
    Record.RecNo = 12;
    Record.SchTel[0] = QStringLiteral("0312345678");
    Record.Tel[0] = QStringLiteral("03-1234-5678");
    Record.TelIndex = 1;
    Record.CorpKanji = S(u"株式会社テスト");
    Record.Latitude = 128000000;
    Record.RecvDateTime = 46000.5;
    Record.Division = 1;
    Record.ExtFile = QStringList{QStringLiteral("/tmp/a.pdf")};
    Record.Note = QStringList{S(u"一行目"), S(u"二行目")};
    return Record;
}

TEST(CallerRecord, ClearZeroFillsAndFreesTheLists)
{
    TCallerRecord Record = FilledRecord();
    const TCallerRecord Copy = Record;
    ClearCallerRecord(&Record);
    EXPECT_EQ(Record, TCallerRecord());
    EXPECT_FALSE(Record.ExtFile.has_value());
    EXPECT_FALSE(Record.Note.has_value());
    // A copy kept by a window owns its own lists.
    ASSERT_TRUE(Copy.Note.has_value());
    EXPECT_EQ(Copy.Note->size(), 2);

    // Without lists, and a second time: the same empty record.
    ClearCallerRecord(&Record);
    EXPECT_EQ(Record, TCallerRecord());
    ClearCallerRecord(nullptr);
}

TEST(CallerRecord, CutToWidthsNeverSplitsACharacter)
{
    TCallerRecord Record;
    Record.SchTel[0] = QStringLiteral("0120123456789");     // 13 digits
    Record.Tel[0] = QStringLiteral("0120-123-456-789");     // 16 bytes
    Record.Tel[3] = QStringLiteral("090-1234-5678");        // exactly 13
    Record.Tdfkn = S(u"神奈川県X");                         // 9 bytes, cut after 県
    Record.NameKanji = S(u"A") + QString(15, QChar(u'山')); // 31 bytes: the last 山 would be split
    Record.CorpKana = QString(90, QChar(u'ｱ'));             // half-width kana count one byte each
    Record.BGColor = QStringLiteral("$00FF00FF");
    Record.Note = QStringList{QString(300, QChar(u'x'))}; // lists have no width
    CutCallerRecordToWidths(Record);

    EXPECT_EQ(Record.SchTel[0], QStringLiteral("01201234567"));
    EXPECT_EQ(Record.Tel[0], QStringLiteral("0120-123-456-"));
    EXPECT_EQ(Record.Tel[3], QStringLiteral("090-1234-5678"));
    EXPECT_EQ(Record.Tdfkn, S(u"神奈川県"));
    EXPECT_EQ(Record.NameKanji, S(u"A") + QString(14, QChar(u'山')));
    EXPECT_EQ(Cp932Width(Record.NameKanji), 29);
    EXPECT_EQ(Record.CorpKana.size(), TCallerRecord::CorpKanaWidth);
    EXPECT_EQ(Record.BGColor, QStringLiteral("$00FF00"));
    EXPECT_EQ(Record.Note->first().size(), 300);
}

TEST(CallerRecord, CallerNumberCodes)
{
    const std::pair<const char16_t*, const char16_t*> Codes[] = {
        {u"P", u"匿名着信"}, {u"O", u"表示圏外"},     {u"C", u"公衆電話"},
        {u"S", u"契約条件"}, {u"$", u"特殊電話番号"}, {u" P  ", u"匿名着信"},
    };
    for (const auto& [Number, Text] : Codes) {
        EXPECT_TRUE(IsCallerNumberCode(S(Number))) << S(Number).toStdString();
        EXPECT_EQ(CallerNumberCodeText(S(Number)), S(Text));
    }
    for (const char16_t* Number : {u"", u"  ", u"0312345678", u"p", u"X", u"03-P"}) {
        EXPECT_FALSE(IsCallerNumberCode(S(Number))) << S(Number).toStdString();
        EXPECT_TRUE(CallerNumberCodeText(S(Number)).isEmpty());
    }

    // A record made from the "$" code holds it in slot 0 and nothing else; cutting keeps it.
    TCallerRecord Record;
    Record.SchTel[0] = QStringLiteral("$");
    Record.Tel[0] = QStringLiteral("$");
    CutCallerRecordToWidths(Record);
    EXPECT_EQ(Record.SchTel[0], QStringLiteral("$"));
    EXPECT_EQ(Record.TelIndex, 0);
    EXPECT_EQ(Record.Division, 0);
    EXPECT_TRUE(IsCallerNumberCode(Record.SchTel[0]));
}

} // namespace
