#include "widelayer/UniSystem.h"

#include "platform/text/Cp932.h"
#include "widelayer/UniSysUtils.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

struct TUtf7Case
{
    const char16_t* Text;
    const char* Utf7;
};

TEST(UniUtf7, EncodesAsMailReadersExpect)
{
    const TUtf7Case Cases[] = {
        {u"A+B", "A+-B"},
        {u"~", "+AH4"},
        {u"~a", "+AH4-a"},
        {u"~-", "+AH4--"},
        {u"~.", "+AH4."},
        {u"日本語", "+ZeVnLIqe"},
        {u"日本語.", "+ZeVnLIqe."},
        {u"😀", "+2D3eAA"},
        {u"a b\t\r\n!\"#$%&*;<=>@[]^_`{|}'(),-./:?", "a b\t\r\n!\"#$%&*;<=>@[]^_`{|}'(),-./:?"},
        {u"", ""},
    };
    for (const TUtf7Case& Case : Cases) {
        const QString Text = QString::fromUtf16(Case.Text);
        EXPECT_EQ(WideStringToUTF7(Text), QByteArray(Case.Utf7)) << Text.toStdString();
        EXPECT_EQ(UTF7ToWideString(Case.Utf7), Text) << Case.Utf7;
        EXPECT_EQ(WideStringToStringEx(Text, CP_UTF7), QByteArray(Case.Utf7));
    }
}

TEST(UniUtf7, DecodesRunsEndedByAnyCharacter)
{
    EXPECT_EQ(UTF7ToWideString("+-"), QStringLiteral("+"));
    EXPECT_EQ(UTF7ToWideString("x+ZeVnLIqe-y"), QStringLiteral("x日本語y"));
    EXPECT_EQ(UTF7ToWideString("+ZeVnLIqe y"), QStringLiteral("日本語 y"));
    EXPECT_EQ(UTF7ToWideString(""), QString());
}

TEST(UniUtf7, RefusesDamagedInput)
{
    const char* Damaged[] = {"+!", "+", "abc+", "a\x80", "+AH5", "+ZeVn\xE3", "+A-"};
    for (const char* Input : Damaged) {
        try {
            (void)UTF7ToWideString(Input);
            ADD_FAILURE() << "accepted " << Input;
        } catch (const EUniGeneralError& E) {
            EXPECT_EQ(E.Message(), QStringLiteral("Invalid UTF7"));
        }
    }
}

TEST(UniUtf7, RoundTripsEveryCharacterClass)
{
    QString All;
    for (char16_t Ch = 0; Ch < 0x300; ++Ch)
        All += QChar(Ch);
    All += QString::fromUtf16(u"𠮷野家ｶﾞ～\uFFFF");
    EXPECT_EQ(UTF7ToWideString(WideStringToUTF7(All)), All);
    const QByteArray Encoded = WideStringToUTF7(All);
    for (char Byte : Encoded) {
        EXPECT_LT(uchar(Byte), 128);
    }
    // Every character followed by every other class, so each way of closing a run is met.
    for (const char16_t* Tail : {u"A", u"-", u".", u" ", u"+", u"~", u"é"}) {
        const QString Text = QStringLiteral("é") + QString::fromUtf16(Tail) + QStringLiteral("x");
        EXPECT_EQ(UTF7ToWideString(WideStringToUTF7(Text)), Text);
    }
}

TEST(UniCodePage, Cp932GoesThroughTheProgramCodec)
{
    const QString Text = QStringLiteral("～①ｶﾞ");
    EXPECT_EQ(WideStringToStringEx(Text, 932), QByteArray::fromHex("81608740B6DE"));
    EXPECT_EQ(StringToWideStringEx(QByteArray::fromHex("81608740B6DE"), 932), Text);
    // 0 stands for the code page recorded at start.
    EXPECT_EQ(DefaultCodePage(), 932);
    EXPECT_EQ(WideStringToStringEx(Text, 0), QByteArray::fromHex("81608740B6DE"));
    EXPECT_EQ(StringToWideStringEx(QByteArray::fromHex("81608740B6DE"), 0), Text);
    // A character CP932 lacks is shown as the geta mark, an invalid byte as U+FFFD.
    EXPECT_EQ(WideStringToStringEx(QStringLiteral("a😀"), 932), QByteArray("a") + Cp932Substitute);
    EXPECT_EQ(StringToWideStringEx(QByteArray("a\x81"), 932), QStringLiteral("a\uFFFD"));
}

TEST(UniCodePage, OtherCodePagesAndRefusals)
{
    EXPECT_EQ(WideStringToStringEx(QStringLiteral("é€"), 1252), QByteArray("\xE9\x80"));
    EXPECT_EQ(StringToWideStringEx(QByteArray("\xE9\x80"), 1252), QStringLiteral("é€"));
    EXPECT_EQ(WideStringToStringEx(QStringLiteral("a日b"), 1252), QByteArray("a?b"));
    EXPECT_EQ(WideStringToStringEx(QStringLiteral("𠮷"), CP_UTF8), QByteArray("\xF0\xA0\xAE\xB7"));
    EXPECT_EQ(StringToWideStringEx(QByteArray("\xF0\xA0\xAE\xB7"), CP_UTF8), QStringLiteral("𠮷"));
    // An undefined byte of a single-byte code page is shown, and the bytes after it still read.
    EXPECT_EQ(StringToWideStringEx(QByteArray("a\x81z"), 1252), QStringLiteral("a\uFFFDz"));
    for (int Unknown : {12345, -1, 99999}) {
        EXPECT_FALSE(IsCodePageSupported(Unknown));
        EXPECT_THROW((void)WideStringToStringEx(QStringLiteral("a"), Unknown), EUniGeneralError);
        EXPECT_THROW((void)StringToWideStringEx("a", Unknown), EUniGeneralError);
    }
    EXPECT_TRUE(IsCodePageSupported(0));
    EXPECT_TRUE(IsCodePageSupported(1251));
}

TEST(UniText, SwapsAndReadsRawBuffers)
{
    char16_t Big[] = {0x3042, 0x0041, 0};
    StrSwapByteOrder(Big);
    EXPECT_EQ(Big[0], 0x4230);
    EXPECT_EQ(Big[1], 0x4100);
    EXPECT_EQ(Big[2], 0);
    const char16_t Buffer[] = u"日本語\0後";
    EXPECT_EQ(WideStringFromBuffer(Buffer, -1), QStringLiteral("日本語"));
    EXPECT_EQ(WideStringFromBuffer(Buffer, 2), QStringLiteral("日本"));
    EXPECT_EQ(WideStringFromBuffer(Buffer, 5), QString::fromUtf16(u"日本語\0後", 5));
    EXPECT_EQ(WideStringFromBuffer(nullptr, -1), QString());
    const char16_t Marks[] = {0xFFFE, 0x0041, 0};
    EXPECT_EQ(WideStringFromBuffer(Marks, -1), QString(QChar(0xFFFE)) + u'A');
}

TEST(UniSysUtils, SystemErrorTextsAndChecks)
{
    EXPECT_EQ(SysErrorMessage(123456), QStringLiteral("Unspecified error (123456) from system."));
    EXPECT_EQ(SysErrorMessage(-5, QStringLiteral("VxComm3.so")),
              QStringLiteral("Unspecified error (-5) from VxComm3.so."));
    EXPECT_FALSE(SysErrorMessage(ENOENT).isEmpty());
    EXPECT_FALSE(SysErrorMessage(ENOENT).startsWith(QStringLiteral("Unspecified")));

    EXPECT_EQ(UniCheck(7), 7);
    errno = EACCES;
    try {
        (void)UniCheck(0);
        ADD_FAILURE() << "0 passed the check";
    } catch (const EUniOSError& E) {
        EXPECT_EQ(E.ErrorCode(), EACCES);
        EXPECT_TRUE(E.Message().contains(SysErrorMessage(EACCES)));
    }
}

} // namespace
