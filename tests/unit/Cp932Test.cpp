#include "platform/text/Cp932.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <optional>

namespace {

QByteArray Hex(const char* Text)
{
    return QByteArray::fromHex(Text);
}

struct TMapping
{
    const char16_t* Text;
    const char* Bytes;
};

// Characters where the code page's Windows table differs from plain Shift_JIS, or where
// two Unicode characters share one code.
TEST(Cp932Codec, EncodesTheWindowsTable)
{
    const TMapping Cases[] = {
        {u"〜", "8160"}, {u"～", "8160"}, {u"−", "817c"}, {u"－", "817c"}, {u"∥", "8161"},  {u"①", "8740"},
        {u"ⅰ", "fa40"},  {u"\\", "5c"},   {u"¥", "5c"},   {u"ｶﾞ", "b6de"}, {u"髙", "fbfc"}, {u"Aあ", "4182a0"},
    };
    for (const TMapping& Case : Cases) {
        const QString Text = QString::fromUtf16(Case.Text);
        EXPECT_EQ(Cp932Encode(Text).toHex(), QByteArray(Case.Bytes)) << Text.toStdString();
    }
}

TEST(Cp932Codec, DecodesToTheCharactersWindowsUses)
{
    EXPECT_EQ(*Cp932Decode(Hex("8160"), TDecodeMode::Strict), QString::fromUtf16(u"～"));
    EXPECT_EQ(*Cp932Decode(Hex("817c"), TDecodeMode::Strict), QString::fromUtf16(u"－"));
    EXPECT_EQ(*Cp932Decode(Hex("8161"), TDecodeMode::Strict), QString::fromUtf16(u"∥"));
    EXPECT_EQ(*Cp932Decode(Hex("5c7e"), TDecodeMode::Strict), QStringLiteral("\\~"));
    EXPECT_EQ(*Cp932Decode(Hex("87 40 fa 40"), TDecodeMode::Strict), QString::fromUtf16(u"①ⅰ"));
    EXPECT_EQ(*Cp932Decode(Hex("b6de"), TDecodeMode::Strict), QString::fromUtf16(u"ｶﾞ"));
}

TEST(Cp932Codec, RoundTripsEveryValidDoubleByteCode)
{
    int Checked = 0;
    for (int Lead = 0x81; Lead <= 0xFC; ++Lead) {
        if (!IsCp932LeadByte(static_cast<unsigned char>(Lead)))
            continue;
        for (int Trail = 0x40; Trail <= 0xFC; ++Trail) {
            QByteArray Bytes;
            Bytes.append(static_cast<char>(Lead)).append(static_cast<char>(Trail));
            auto Text = Cp932Decode(Bytes, TDecodeMode::Strict);
            if (!Text)
                continue;
            ++Checked;
            EXPECT_EQ(Cp932Width(*Text), 2);
            // Some characters have two codes (NEC and IBM rows); the text is what must survive.
            EXPECT_EQ(Cp932Decode(Cp932Encode(*Text), TDecodeMode::Strict), Text) << Bytes.toHex().toStdString();
        }
    }
    EXPECT_GT(Checked, 7000);
}

// glibc's own answer for one character's bytes; nullopt where it refuses them or gives nothing.
std::optional<QString> IconvDecode(const QByteArray& Bytes)
{
    iconv_t Cd = iconv_open("UTF-8", "CP932");
    char Out[16];
    char* In = const_cast<char*>(Bytes.constData());
    size_t InLeft = static_cast<size_t>(Bytes.size());
    char* OutPtr = Out;
    size_t OutLeft = sizeof(Out);
    const size_t Rc = iconv(Cd, &In, &InLeft, &OutPtr, &OutLeft);
    iconv_close(Cd);
    if (Rc == static_cast<size_t>(-1) || OutPtr == Out)
        return std::nullopt;
    return QString::fromUtf8(Out, OutPtr - Out);
}

// A long text is decoded a character at a time from a table of the converter's answers: every code,
// set between other characters, reads as the converter reads it alone.
TEST(Cp932Codec, EveryCodeAmidOtherTextDecodesAsTheConverterDecodesItAlone)
{
    int Checked = 0;
    for (int Lead = 0x80; Lead <= 0xFF; ++Lead) {
        const bool Double = IsCp932LeadByte(static_cast<unsigned char>(Lead));
        for (int Trail = Double ? 0x00 : 0x100; Trail <= (Double ? 0xFF : 0x100); ++Trail) {
            QByteArray Code(1, static_cast<char>(Lead));
            if (Double)
                Code.append(static_cast<char>(Trail));
            const std::optional<QString> Alone = IconvDecode(Code);
            const QByteArray Amid = Hex("41 82a0") + Code + Hex("8abf 5a");
            const std::optional<QString> Decoded = Cp932Decode(Amid, TDecodeMode::Strict);
            if (Alone && Alone->size() == 1) {
                ++Checked;
                EXPECT_EQ(Decoded, QString::fromUtf16(u"Aあ") + *Alone + QString::fromUtf16(u"漢Z"))
                    << Code.toHex().toStdString();
            } else if (Decoded) {
                // Where the converter gives nothing or more than one character, no byte is lost.
                EXPECT_TRUE(Decoded->startsWith(QString::fromUtf16(u"Aあ"))) << Code.toHex().toStdString();
            }
        }
    }
    EXPECT_GT(Checked, 7000);
}

TEST(Cp932Codec, InvalidBytesFailOrShowVisibly)
{
    // 85 40 is unassigned: glibc would drop it without a word.
    for (const char* Bad : {"80", "a0", "fd", "41 81", "81 20", "85 40"}) {
        EXPECT_FALSE(Cp932Decode(Hex(Bad), TDecodeMode::Strict).has_value()) << Bad;
        EXPECT_TRUE(Cp932DecodeLenient(Hex(Bad)).contains(QChar(0xFFFD))) << Bad;
    }
    // Nothing around a bad byte is lost.
    EXPECT_EQ(Cp932DecodeLenient(Hex("41 80 42")), QString::fromUtf16(u"A\uFFFDB"));
    EXPECT_EQ(Cp932DecodeLenient(Hex("41 81")), QString::fromUtf16(u"A\uFFFD"));
}

TEST(Cp932Codec, CharactersOutsideTheCodePageAreSubstitutedAndCounted)
{
    const TCp932Encoded Encoded = Cp932EncodeChecked(QString::fromUtf16(u"a😀b𠮷"));
    EXPECT_EQ(Encoded.Bytes.toHex(), QByteArray("6181ac6281ac"));
    EXPECT_EQ(Encoded.Substituted, 2);
    EXPECT_EQ(Cp932DecodeLenient(Encoded.Bytes), QString::fromUtf16(u"a〓b〓")) << "the geta mark, seen as a gap";
}

TEST(Cp932Codec, ALoneSurrogateIsWrittenAsTheSubstituteItIsCountedAs)
{
    // A high surrogate without its pair, and a low one without its own.
    const QString Text = QString(QChar(0xD800)) + QLatin1Char('a') + QChar(0xDC00) + QString::fromUtf16(u"😀");
    const TCp932Encoded Encoded = Cp932EncodeChecked(Text);
    EXPECT_EQ(Encoded.Bytes.toHex(), QByteArray("81ac6181ac81ac"));
    EXPECT_EQ(Encoded.Substituted, 3);
    EXPECT_EQ(Cp932Width(Text), Encoded.Bytes.size());
}

TEST(Cp932Codec, TagCharactersAreSubstitutedNotDropped)
{
    // The converter itself answers the tag characters with nothing; the bytes would come out
    // shorter than the width that was checked against a field.
    for (const char32_t Tag : {char32_t(0xE0000), char32_t(0xE0041), char32_t(0xE007F)}) {
        const QString Text = QLatin1Char('a') + QString::fromUcs4(&Tag, 1) + QLatin1Char('b');
        const TCp932Encoded Encoded = Cp932EncodeChecked(Text);
        EXPECT_EQ(Encoded.Bytes.toHex(), QByteArray("6181ac62")) << std::hex << unsigned(Tag);
        EXPECT_EQ(Encoded.Substituted, 1);
        EXPECT_EQ(Cp932Width(Text), Encoded.Bytes.size());
    }
    // Past the block the converter refuses as usual: the first code point after it, a variation selector.
    for (const char32_t After : {char32_t(0xE0080), char32_t(0xE0100)}) {
        EXPECT_EQ(Cp932EncodeChecked(QString::fromUcs4(&After, 1)).Bytes.toHex(), QByteArray("81ac"));
    }
}

TEST(Cp932Width, CountsBytesAndCutsOnCharacterBoundaries)
{
    EXPECT_EQ(Cp932Width(QString::fromUtf16(u"Aｱあ①😀")), 1 + 1 + 2 + 2 + 2);
    const QString Mixed = QString::fromUtf16(u"12345678あいう"); // 14 bytes
    EXPECT_EQ(Cp932Left(Mixed, 9), QStringLiteral("12345678"));
    EXPECT_EQ(Cp932Left(Mixed, 10), QString::fromUtf16(u"12345678あ"));
    EXPECT_EQ(Cp932Left(QString::fromUtf16(u"😀x"), 1), QString());
    EXPECT_EQ(Cp932Left(QString::fromUtf16(u"😀x"), 2), QString::fromUtf16(u"😀"));
    EXPECT_EQ(Cp932Left(Mixed, 0), QString());

    // 12 bytes, byte 10 is a lead byte: a cut to 10 keeps 9.
    const QByteArray Bytes = Cp932Encode(QString::fromUtf16(u"123456789あ1"));
    ASSERT_EQ(Bytes.size(), 12);
    EXPECT_EQ(Cp932LeftBytes(Bytes, 10).size(), 9);
    EXPECT_EQ(Cp932LeftBytes(Bytes, 11).size(), 11);
    EXPECT_EQ(Cp932LeftBytes(Bytes, 50), Bytes);
}

TEST(Cp932Width, ByteTypesFollowTheLeadBytes)
{
    const QByteArray Bytes = Cp932Encode(QString::fromUtf16(u"aあ\\"));
    EXPECT_EQ(Cp932ByteType(Bytes, 0), TByteType::Single);
    EXPECT_EQ(Cp932ByteType(Bytes, 1), TByteType::Lead);
    EXPECT_EQ(Cp932ByteType(Bytes, 2), TByteType::Trail);
    EXPECT_EQ(Cp932ByteType(Bytes, 3), TByteType::Single);
}

} // namespace
