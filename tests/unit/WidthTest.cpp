#include "platform/text/Width.h"

#include "platform/text/Cp932.h"

#include <gtest/gtest.h>

namespace {

struct TWidthCase
{
    const char16_t* Half;
    const char16_t* Full;
};

QString S(const char16_t* Text)
{
    return QString::fromUtf16(Text);
}

// Pairs that map onto each other in both directions.
const TWidthCase RoundTrips[] = {
    {u"ABC xyz 019", u"ＡＢＣ　ｘｙｚ　０１９"},
    {u"!\"#$%&'()*+,-./:;<=>?@[]^_`{|}~", u"！＂＃＄％＆＇（）＊＋，－．／：；＜＝＞？＠［］＾＿｀｛｜｝～"},
    {u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ", u"ガギグゲゴザジズゼゾダヂヅデド"},
    {u"ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟｳﾞ", u"バビブベボパピプペポヴ"},
    {u"ｱｲｳｴｵｧｨｩｪｫｬｭｮｯｦﾝﾜ", u"アイウエオァィゥェォャュョッヲンワ"},
    {u"｡｢｣､･ｰﾞﾟ", u"。「」、・ー゛゜"},
    {u"ﾄｳｷﾖｳﾄ ﾁﾖﾀﾞｸ", u"トウキヨウト　チヨダク"},
    {u"漢字とひらがな", u"漢字とひらがな"},
};

TEST(Width, MapsBothWaysWithVoicedMarks)
{
    for (const TWidthCase& Case : RoundTrips) {
        EXPECT_EQ(MapToFullWidth(S(Case.Half)), S(Case.Full)) << S(Case.Half).toStdString();
        EXPECT_EQ(MapToHalfWidth(S(Case.Full)), S(Case.Half)) << S(Case.Full).toStdString();
    }
}

TEST(Width, OneWayMappings)
{
    const TWidthCase ToFull[] = {
        // A mark that has nothing to join stays a mark of its own.
        {u"ﾞ", u"゛"},
        {u"ｱﾞ", u"ア゛"},
        {u"ﾏﾟ", u"マ゜"},
        {u"ﾜﾞ", u"ワ゛"}, // ヷ is not in CP932
        {u"ｶﾞﾞ", u"ガ゛"},
        {u"ｶﾟ", u"カ゜"},
        // The yen sign's byte has no full-width form here.
        {u"C:\\", u"Ｃ：\\"},
    };
    for (const TWidthCase& Case : ToFull) {
        EXPECT_EQ(MapToFullWidth(S(Case.Half)), S(Case.Full)) << S(Case.Half).toStdString();
    }

    const TWidthCase ToHalf[] = {
        {u"\\100", u"￥１００"},
        {u"\\", u"＼"},
        {u"-", u"−"},
        {u"~", u"〜"},
        {u"'\"", u"’”"},
        // Kana without half-width forms, hiragana and the yen sign itself pass through.
        {u"ヵヶぁ¥", u"ヵヶぁ¥"},
    };
    for (const TWidthCase& Case : ToHalf) {
        EXPECT_EQ(MapToHalfWidth(S(Case.Full)), S(Case.Half)) << S(Case.Full).toStdString();
    }
}

// Everything the half-width mapping produces must be single-byte in CP932, or the byte widths that
// the program cuts to would be wrong.
TEST(Width, HalfWidthResultIsSingleByteForEveryConvertibleCharacter)
{
    for (char16_t C = 0x3000; C < 0x3100; ++C) {
        const QString Half = MapToHalfWidth(QString(QChar(C)));
        if (Half != QString(QChar(C))) {
            EXPECT_EQ(Cp932Width(Half), Half.size()) << int(C);
        }
    }
    for (char16_t C = 0xFF01; C <= 0xFF5E; ++C) {
        EXPECT_EQ(Cp932Width(MapToHalfWidth(QString(QChar(C)))), 1) << int(C);
    }
}

} // namespace
