#include "platform/db/Collation.h"

#include "tests/support/Cp932Oracle.h"

#include <QRandomGenerator>
#include <array>
#include <gtest/gtest.h>

namespace {

int Sign(int Value)
{
    return Value < 0 ? -1 : (Value > 0 ? 1 : 0);
}

int CompareBytes(const QByteArray& A, const QByteArray& B, bool Fold)
{
    return Sign(CompareCp932(A.constData(), int(A.size()), B.constData(), int(B.size()), Fold));
}

TEST(Cp932CollationTest, OrdersAsCp932BytesWithAsciiFolding)
{
    struct TCase
    {
        QString A;
        QString B;
        bool Fold;
        int Expected;
    };
    const TCase Cases[] = {
        {"abc", "ABC", true, 0},
        {"abc", "ABC", false, 1},
        {"abc", "ABD", true, -1},
        {"Z", "_", true, -1},
        {"z", "あ", true, -1},          // ASCII before double-byte
        {"あ", "ア", false, -1},        // hiragana row 0x82 before katakana row 0x83
        {"亜", "ｱ", false, -1},         // 0x889F before half-width 0xB1
        {"漢", "ｱ", false, -1},         // 0x8ABF before half-width 0xB1
        {"ａ", "Ａ", true, 1},          // full-width letters are not folded
        {"\U0001F600", "熙", false, 1}, // a character CP932 lacks sorts last
        {"", "a", true, -1},
    };
    for (const TCase& Case : Cases) {
        const int Expected = Case.Expected;
        const int Got = CompareCp932(Case.A, Case.B, Case.Fold);
        EXPECT_EQ(Got < 0 ? -1 : (Got > 0 ? 1 : 0), Expected) << Case.A.toStdString() << " " << Case.B.toStdString();
        const int Reverse = CompareCp932(Case.B, Case.A, Case.Fold);
        EXPECT_EQ(Reverse < 0 ? -1 : (Reverse > 0 ? 1 : 0), -Expected);
    }
}

// Thousands of texts of ASCII of both cases, half-width kana, kana, kanji, full-width letters and a
// character CP932 lacks, in pairs that often share a head, against the order iconv's bytes give.
TEST(Cp932CollationTest, AgreesWithIconvOnRandomMixedTexts)
{
    const QString Alphabet = QString::fromUtf16(u"aAzZ09 _-~\\ｱｶﾞﾊﾟｰあがアヴ漢字亜熙ａＡ①ⅰ￢〜−😀");
    const QList<uint> Letters = Alphabet.toUcs4();
    QRandomGenerator Random(20261209);
    const auto RandomText = [&](int MaxLength) {
        QList<char32_t> Text;
        for (int I = Random.bounded(MaxLength + 1); I > 0; --I)
            Text << Letters[Random.bounded(int(Letters.size()))];
        return QString::fromUcs4(Text.constData(), Text.size());
    };
    int Compared = 0;
    for (int I = 0; I < 3000; ++I) {
        const QString Head = RandomText(3);
        const QString A = Head + RandomText(4);
        const QString B = Random.bounded(4) == 0 ? A : Head + RandomText(4);
        for (const bool Fold : {false, true}) {
            ASSERT_EQ(Sign(CompareCp932(A, B, Fold)), OracleCompare(A, B, Fold))
                << A.toStdString() << " / " << B.toStdString() << (Fold ? " folded" : "");
            ++Compared;
        }
    }
    EXPECT_EQ(Compared, 6000);
}

// Stored texts that are no valid UTF-8 (written by another program straight into the file): the
// order stays an order, or SQLite's index on them would be corrupt.
TEST(Cp932CollationTest, BytesThatAreNoUtf8StillOrderConsistently)
{
    // A character cut short in one text runs on in the other.
    const std::array<QByteArray, 5> Texts = {QByteArray("\xE3\x81"
                                                        "A"),
                                             QByteArray("\xE3\x81\x82"), QByteArray("\xE3\x81"), QByteArray("\x82\xA0"),
                                             QByteArray("\xFF"
                                                        "a")};
    for (const bool Fold : {false, true}) {
        for (const QByteArray& A : Texts) {
            EXPECT_EQ(CompareBytes(A, A, Fold), 0);
            for (const QByteArray& B : Texts) {
                EXPECT_EQ(CompareBytes(A, B, Fold), -CompareBytes(B, A, Fold))
                    << A.toHex().constData() << " " << B.toHex().constData();
                for (const QByteArray& C : Texts) {
                    if (CompareBytes(A, B, Fold) <= 0 && CompareBytes(B, C, Fold) <= 0) {
                        EXPECT_LE(CompareBytes(A, C, Fold), 0);
                    }
                }
            }
        }
    }
}

} // namespace
