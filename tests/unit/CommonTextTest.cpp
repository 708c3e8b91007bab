#include "main/common/CommonText.h"

#include "platform/text/Cp932.h"

#include <QHash>
#include <gtest/gtest.h>
#include <limits>

namespace {

QString S(const char16_t* Text)
{
    return QString::fromUtf16(Text);
}

QStringList L(std::initializer_list<const char16_t*> Items)
{
    QStringList List;
    for (const char16_t* Item : Items)
        List.append(S(Item));
    return List;
}

TEST(CommonText, DigitsOnlyKeepsWhatTheBitsAllow)
{
    struct TCase
    {
        const char16_t* Text;
        int Keep;
        const char16_t* Expected;
    };
    const TCase Cases[] = {
        {u"03-1234-5678", KeepDigits, u"0312345678"},
        {u"03-1234-5678", KeepDigits | KeepHyphen, u"03-1234-5678"},
        {u"０３-1.5 ｱ", KeepDigits, u"15"}, // full-width digits are dropped, not converted
        {u"1.5-2", KeepPeriod, u"."},
        {u"1.5-2", KeepDigits | KeepPeriod, u"1.52"},
        {u"(03)表5", KeepDigits, u"035"},
        {u"123", 0, u""},
    };
    for (const TCase& Case : Cases) {
        EXPECT_EQ(DigitsOnly(S(Case.Text), Case.Keep), S(Case.Expected)) << S(Case.Text).toStdString();
    }
}

const char16_t FullAlnum[] =
    u"ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ"
    u"＋－＊／＝！？（）［］・，．＠＃＄％＆＾￥　";

TEST(CommonText, HalfWidthAlnumUsesItsOwnTable)
{
    EXPECT_EQ(ToHalfWidthAlnum(S(FullAlnum)),
              QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+-*/=!?()[]･,.@#$%&^\\ "));
    // Digits, kana, kanji and characters outside the table stay as they are.
    EXPECT_EQ(ToHalfWidthAlnum(S(u"０１ア漢＿｛abc")), S(u"０１ア漢＿｛abc"));
    // CP932 keeps U+2212 under the code of "－", so it is the same character to the table.
    EXPECT_EQ(ToHalfWidthAlnum(S(u"1−2")), S(u"1-2"));
}

// Every character CP932 stores under a table character's code must convert like it.
TEST(CommonText, HalfWidthAlnumCoversEveryCp932Alias)
{
    const QString Full = S(FullAlnum);
    QHash<QByteArray, QChar> ByCode;
    for (QChar Ch : Full)
        ByCode.insert(Cp932Encode(QString(Ch)), Ch);
    for (char32_t Cp = 0x80; Cp < 0x10000; ++Cp) {
        if (Cp >= 0xD800 && Cp < 0xE000)
            continue;
        const QString One(QChar(static_cast<char16_t>(Cp)));
        const TCp932Encoded Encoded = Cp932EncodeChecked(One);
        auto It = ByCode.constFind(Encoded.Bytes);
        if (Encoded.Substituted || It == ByCode.constEnd())
            continue;
        EXPECT_EQ(ToHalfWidthAlnum(One), ToHalfWidthAlnum(QString(*It))) << std::hex << static_cast<unsigned>(Cp);
    }
}

TEST(CommonText, WideDigitsAndSpaces)
{
    EXPECT_EQ(WideDigitsToAnsi(S(u"０３－１２３４　ａ9")), S(u"03－1234　ａ9"));
    EXPECT_EQ(StripSpacesToAnsi(S(u" 東京　都 千代田 ")), S(u"東京都千代田"));
}

TEST(CommonText, MbcsLeftNeverSplitsACharacter)
{
    struct TCase
    {
        const char16_t* Text;
        int N;
        const char16_t* Expected;
    };
    const TCase Cases[] = {
        {u"123456789東京", 10, u"123456789"}, // 13 bytes, byte 10 starts 東
        {u"12345678東京", 10, u"12345678東"},
        {u"ABC", 10, u"ABC"},
        {u"ABC", 3, u"ABC"},
        {u"ABC", 0, u""},
        {u"ABC", -1, u""},
        {u"東", 1, u""},
        {u"ｱｲｳｴｵ", 3, u"ｱｲｳ"}, // half-width kana are one byte each
        {u"a😀b", 2, u"a"},     // a character CP932 lacks counts two bytes and stays whole
        {u"a😀b", 3, u"a😀"},
    };
    for (const TCase& Case : Cases) {
        EXPECT_EQ(MbcsLeft(S(Case.Text), Case.N), S(Case.Expected)) << S(Case.Text).toStdString() << " " << Case.N;
    }
}

TEST(CommonText, CountOccurrencesOverlaps)
{
    EXPECT_EQ(CountOccurrences(QStringLiteral("aaa"), QStringLiteral("aa")), 2);
    EXPECT_EQ(CountOccurrences(QStringLiteral("\"a\"\"b\""), QStringLiteral("\"")), 4);
    EXPECT_EQ(CountOccurrences(QStringLiteral("abc"), QStringLiteral("x")), 0);
    EXPECT_EQ(CountOccurrences(QStringLiteral("abc"), QString()), 0);
    // 表 is 0x95 0x5C in CP932; its trail byte is no backslash.
    EXPECT_EQ(CountOccurrences(S(u"表示\\"), QStringLiteral("\\")), 1);
}

struct TSplitCase
{
    const char16_t* Line;
    int Last;
    int Mode;
    int CutLength;
    std::initializer_list<const char16_t*> Expected;
};

void CheckSplits(std::initializer_list<TSplitCase> Cases, const QString& Separator)
{
    for (const TSplitCase& Case : Cases) {
        const QStringList Fields = SplitText(S(Case.Line), Case.Last, Case.Mode, Separator, Case.CutLength);
        EXPECT_EQ(Fields, L(Case.Expected))
            << S(Case.Line).toStdString() << " last " << Case.Last << " mode " << Case.Mode;
    }
}

TEST(CommonText, SplitTextAtBytePosition)
{
    CheckSplits(
        {
            {u"ABCDEFG", 1, SplitAtByte, 5, {u"ABCDE", u"FG"}},
            {u"ABCD東京", 1, SplitAtByte, 5, {u"ABCD ", u"東京"}}, // byte 5 starts 東: padded
            {u"ABC東京", 1, SplitAtByte, 5, {u"ABC東", u"京"}},
            {u"ABCDE", 1, SplitAtByte, 5, {u"ABCDE", u""}},
            {u"ｱｲｳｴｵｶ", 1, SplitAtByte, 5, {u"ｱｲｳｴｵ", u"ｶ"}},
            {u"ABCDEFG", 2, SplitAtByte, 3, {u"ABC", u"DEFG", u""}},
            {u"AB", 1, SplitAtByte, 0, {u"", u"AB"}},
            {u"東京", 1, SplitAtByte, 1, {u" ", u"東京"}},
            // Nowhere to put a second part: the line stays whole.
            {u"ABCDEFG", 0, SplitAtByte, 5, {u"ABCDEFG"}},
        },
        QString());
}

TEST(CommonText, SplitTextPlain)
{
    CheckSplits(
        {
            {u"a,b,c", 2, SplitPlain, 0, {u"a", u"b", u"c"}},
            {u"a,b,c", 1, SplitPlain, 0, {u"a", u"b,c"}},
            {u"a,b,c", 4, SplitPlain, 0, {u"a", u"b", u"c", u"", u""}},
            {u"a,\"b,c\"", 2, SplitPlain, 0, {u"a", u"\"b", u"c\""}},
            {u",,", 2, SplitPlain, 0, {u"", u"", u""}},
            {u"a,b", 0, SplitPlain, 0, {u"a,b"}},
            {u"", 1, SplitPlain, 0, {u"", u""}},
        },
        QStringLiteral(","));
    // A separator of more than one character, and one next to double-byte text.
    EXPECT_EQ(SplitText(S(u"東京::大阪::"), 2, SplitPlain, QStringLiteral("::")), L({u"東京", u"大阪", u""}));
    EXPECT_EQ(SplitText(S(u"a\tb"), 1, SplitPlain, QString()), L({u"a\tb", u""}));
}

TEST(CommonText, SplitTextQuoted)
{
    CheckSplits(
        {
            {u"a,\"b,c\",d", 2, SplitQuotedUnquote, 0, {u"a", u"b,c", u"d"}},
            {u"a,\"b,c\",d", 2, SplitQuotedKeepQuotes, 0, {u"a", u"\"b,c\"", u"d"}},
            // The last field takes the rest of the line unchanged.
            {u"a,\"b,c\",d", 1, SplitQuotedUnquote, 0, {u"a", u"\"b,c\",d"}},
            // Doubled quotes inside stay doubled; a field of one quote is too short to unquote.
            {u"\"x\"\"y\",\",\"", 1, SplitQuotedUnquote, 0, {u"x\"\"y", u","}},
            {u"\",\"", 0, SplitQuotedUnquote, 0, {u","}},
            {u"\"", 1, SplitQuotedUnquote, 0, {u"\"", u""}},
            // A quote left open swallows the rest.
            {u"a,\"b,c,d", 3, SplitQuotedUnquote, 0, {u"a", u"\"b,c,d", u"", u""}},
            {u"\"東京,都\",\"大阪\"", 1, SplitQuotedUnquote, 0, {u"東京,都", u"大阪"}},
            {u"a,b,c", 4, SplitQuotedUnquote, 0, {u"a", u"b", u"c", u"", u""}},
            // Last = 0: nothing may go beyond Fields[0].
            {u"a,b,c", 0, SplitQuotedUnquote, 0, {u"a,b,c"}},
            {u"\"a,b\"", 0, SplitQuotedUnquote, 0, {u"a,b"}},
            {u"a,b,c", 0, SplitQuotedKeepQuotes, 0, {u"a,b,c"}},
            {u"a,b", -3, SplitQuotedUnquote, 0, {u"a,b"}},
        },
        QStringLiteral(","));
    EXPECT_EQ(SplitText(S(u"a\t\"b\tc\"\td"), 2, SplitQuotedUnquote, QStringLiteral("\t")), L({u"a", u"b\tc", u"d"}));
}

TEST(CommonText, SplitTextTakesItsLineFromTheFirstField)
{
    QStringList Fields{QStringLiteral("a,b,c"), QStringLiteral("old"), QStringLiteral("old"), QStringLiteral("old")};
    SplitText(Fields, 1, SplitPlain, QStringLiteral(","));
    EXPECT_EQ(Fields, QStringList({QStringLiteral("a"), QStringLiteral("b,c")}));

    QStringList Empty;
    SplitText(Empty, 2, SplitQuotedUnquote, QStringLiteral(","));
    EXPECT_EQ(Empty, QStringList(3));

    QStringList Unknown{QStringLiteral("a,b")};
    SplitText(Unknown, 1, 7, QStringLiteral(","));
    EXPECT_EQ(Unknown, QStringList(2));
}

TEST(CommonText, SplitPrefectureTakesTheFirstMatchingName)
{
    struct TCase
    {
        const char16_t* Address;
        bool Found;
        const char16_t* Prefecture;
        const char16_t* Rest;
    };
    const TCase Cases[] = {
        {u"北海道札幌市中央区", true, u"北海道", u"札幌市中央区"},
        {u"東京都千代田区", true, u"東京都", u"千代田区"},
        {u"京都府京都市", true, u"京都府", u"京都市"},
        {u"神奈川県横浜市", true, u"神奈川県", u"横浜市"},
        {u"沖縄県", true, u"沖縄県", u""},
        {u"京都市中京区", false, u"", u"京都市中京区"},
        {u"四日市市", false, u"", u"四日市市"},
        {u"大阪市北区", false, u"", u"大阪市北区"},
        {u" 東京都", false, u"", u" 東京都"},
        {u"", false, u"", u""},
    };
    for (const TCase& Case : Cases) {
        const TPrefectureSplit Split = SplitPrefecture(S(Case.Address));
        EXPECT_EQ(Split.Found, Case.Found) << S(Case.Address).toStdString();
        EXPECT_EQ(Split.Prefecture, S(Case.Prefecture));
        EXPECT_EQ(Split.Rest, S(Case.Rest));
    }
}

TEST(CommonText, SplitPrefectureKanaUsesTheKanaTable)
{
    const TPrefectureSplit Tokyo = SplitPrefectureKana(S(u"ﾄｳｷﾖｳﾄﾁﾖﾀﾞｸ"));
    EXPECT_TRUE(Tokyo.Found);
    EXPECT_EQ(Tokyo.Prefecture, S(u"ﾄｳｷﾖｳﾄ"));
    EXPECT_EQ(Tokyo.Rest, S(u"ﾁﾖﾀﾞｸ"));
    EXPECT_EQ(SplitPrefectureKana(S(u"ﾎﾂｶｲﾄﾞｳｻﾂﾎﾟﾛｼ")).Prefecture, S(u"ﾎﾂｶｲﾄﾞｳ"));
    EXPECT_EQ(SplitPrefectureKana(S(u"ｷﾖｳﾄﾌ")).Rest, QString());
    // The table is written without small kana, so the small form is no match.
    EXPECT_FALSE(SplitPrefectureKana(S(u"ﾄｳｷｮｳﾄ")).Found);
    EXPECT_FALSE(SplitPrefectureKana(S(u"東京都")).Found);
}

TEST(CommonText, PrefectureTablesAreInCodeOrder)
{
    // Spot checks of the national codes: 01 北海道, 13 東京都, 26 京都府, 47 沖縄県.
    EXPECT_EQ(PrefectureNames[0], S(u"北海道"));
    EXPECT_EQ(PrefectureNames[12], S(u"東京都"));
    EXPECT_EQ(PrefectureNames[25], S(u"京都府"));
    EXPECT_EQ(PrefectureNames[46], S(u"沖縄県"));
    EXPECT_EQ(PrefectureKanaNames[12], S(u"ﾄｳｷﾖｳﾄ"));
    EXPECT_EQ(PrefectureKanaNames[25], S(u"ｷﾖｳﾄﾌ"));
    EXPECT_EQ(PrefectureKanaNames[46], S(u"ｵｷﾅﾜｹﾝ"));
    for (int I = 0; I < PrefectureCount; ++I) {
        EXPECT_TRUE(PrefectureNames[I].endsWith(u'都') || PrefectureNames[I].endsWith(u'道') ||
                    PrefectureNames[I].endsWith(u'府') || PrefectureNames[I].endsWith(u'県'))
            << I;
        EXPECT_EQ(Cp932Width(PrefectureKanaNames[I]), PrefectureKanaNames[I].size()) << I;
    }
}

TEST(CommonText, RoundOffGoesHalfAwayFromZero)
{
    const std::pair<double, std::int64_t> Cases[] = {
        {2.5, 3},
        {-2.5, -3},
        {2.4999, 2},
        {-2.4999, -2},
        {0.0, 0},
        {-0.5, -1},
        {1e12 + 0.5, 1000000000001},
        {0.49999999999999994, 0},               // the largest double below one half: adding 0.5 first rounds it up
        {4503599627370497.0, 4503599627370497}, // odd numbers from 2^52 on are whole already
        {-4503599627370497.0, -4503599627370497},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {1e300, std::numeric_limits<std::int64_t>::max()},
        {-1e300, std::numeric_limits<std::int64_t>::min()},
    };
    for (const auto& [X, Expected] : Cases) {
        EXPECT_EQ(RoundOff(X), Expected) << X;
    }
}

} // namespace
