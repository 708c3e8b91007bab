// Damaged and hostile bytes for the layer's two readers of outside data: the UTF-7 decoder and the
// text-file loader. Every input either reads or is refused with the layer's own error; none crashes,
// hangs or reads past its end.
#include "widelayer/UniClasses.h"
#include "widelayer/UniSysUtils.h"
#include "widelayer/UniSystem.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QByteArray RandomBytes(QRandomGenerator& Random, const QByteArray& Alphabet, int MaxLength)
{
    QByteArray Out;
    const int Length = int(Random.bounded(MaxLength + 1));
    for (int I = 0; I < Length; ++I)
        Out += Alphabet.isEmpty() ? char(Random.bounded(256)) : Alphabet[Random.bounded(int(Alphabet.size()))];
    return Out;
}

TEST(UniHostileInput, Utf7DecoderEitherReadsOrRefuses)
{
    QRandomGenerator Random(20261209);
    // Mostly the characters that steer the decoder, so that runs open and close often.
    const QByteArray Steering = "+-AZaz09/+-+-.~ \x80\xFF";
    int Read = 0;
    for (int Round = 0; Round < 20000; ++Round) {
        const QByteArray Input = RandomBytes(Random, Round % 2 ? Steering : QByteArray(), 24);
        try {
            const QString Text = UTF7ToWideString(Input);
            // What reads, writes back to something that reads the same.
            ASSERT_EQ(UTF7ToWideString(WideStringToUTF7(Text)), Text) << Input.toHex().toStdString();
            ++Read;
        } catch (const EUniGeneralError& E) {
            ASSERT_EQ(E.Message(), QStringLiteral("Invalid UTF7"));
        }
    }
    EXPECT_GT(Read, 1000);
}

TEST(UniHostileInput, Utf7EncoderTakesLoneSurrogates)
{
    const QString Broken = QString(QChar(0xD800)) + u'a' + QChar(0xDFFF);
    EXPECT_EQ(UTF7ToWideString(WideStringToUTF7(Broken)), Broken);
}

TEST(UniHostileInput, TextLoaderReadsAnyBytes)
{
    QRandomGenerator Random(34);
    const QByteArray Marks[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF", "\xEF\xBB", "\xFF"};
    for (int Round = 0; Round < 5000; ++Round) {
        QByteArray Bytes = Marks[Round % 6] + RandomBytes(Random, QByteArray(), 40);
        if (Round % 3 == 0)
            Bytes += QByteArray("\r\n\r\r\n\n", int(Random.bounded(7)));
        QBuffer Stream(&Bytes);
        Stream.open(QIODevice::ReadOnly);
        TUniStringList List;
        List.LoadFromStream(Stream);
        // Lines never carry their breaks, and the text the list gives back loads to the same list.
        for (int I = 0; I < List.Count(); ++I) {
            ASSERT_FALSE(List.Get(I).contains(u'\r') || List.Get(I).contains(u'\n'));
        }
        TUniStringList Again;
        Again.SetText(List.Text());
        ASSERT_EQ(Again.ToList(), List.ToList()) << Bytes.toHex().toStdString();
    }
}

TEST(UniHostileInput, CodePageReadersTakeAnyBytes)
{
    QRandomGenerator Random(932);
    for (int Round = 0; Round < 3000; ++Round) {
        const QByteArray Bytes = RandomBytes(Random, QByteArray(), 16);
        for (int CodePage : {932, 1252, 936, CP_UTF8}) {
            const QString Text = StringToWideStringEx(Bytes, CodePage);
            ASSERT_LE(Text.size(), Bytes.size()) << CodePage;
        }
    }
}

} // namespace
