// The text procedures every window uses, on any text: SplitText in every mode, the address-book
// text decoding, the width maps, MbcsLeft, the prefecture splits and RoundOff on any double.

#include "FuzzSupport.h"
#include "main/common/CommonText.h"
#include "main/identify/AppSub.h"
#include "platform/text/Cp932.h"

#include <cmath>

namespace {

void CheckSplit(const QString& Line, int Last, int Mode, const QString& Separator, int Cut)
{
    const QStringList Fields = SplitText(Line, Last, Mode, Separator, Cut);
    VX_FUZZ_CHECK_EQ(Fields.size(), std::max(Last, 0) + 1);
    switch (Mode) {
    case SplitAtByte:
        if (Fields.size() < 2 || Cp932Width(Line) <= Cut) {
            VX_FUZZ_CHECK_EQ(Fields[0], Line);
        } else {
            // The first part is exactly the cut long, a space standing in for a split character.
            VX_FUZZ_CHECK_EQ(Cp932Width(Fields[0]), std::max(Cut, 0));
            const bool Padded = Fields[0] + Fields[1] != Line;
            VX_FUZZ_CHECK(!Padded || Fields[0].endsWith(QLatin1Char(' ')));
            VX_FUZZ_CHECK_EQ(Fields[0].left(Fields[0].size() - (Padded ? 1 : 0)) + Fields[1], Line);
        }
        break;
    case SplitPlain:
    case SplitQuotedKeepQuotes: {
        // The line is its fields joined again; the fields it did not reach stay empty.
        qsizetype Used = Fields.size();
        while (Used > 1 && Fields[Used - 1].isEmpty() && Fields.mid(0, Used).join(Separator) != Line)
            --Used;
        VX_FUZZ_CHECK_EQ(Fields.mid(0, Used).join(Separator), Line);
        break;
    }
    case SplitQuotedUnquote: {
        const QStringList Kept = SplitText(Line, Last, SplitQuotedKeepQuotes, Separator, Cut);
        for (qsizetype I = 0; I < Fields.size(); ++I) {
            const QString& Quoted = Kept[I];
            const bool Unquoted =
                Quoted.size() >= 2 && Quoted.startsWith(QLatin1Char('"')) && Quoted.endsWith(QLatin1Char('"'));
            VX_FUZZ_CHECK_EQ(Fields[I], Unquoted ? Quoted.mid(1, Quoted.size() - 2) : Quoted);
        }
        break;
    }
    default:
        for (const QString& Field : Fields)
            VX_FUZZ_CHECK(Field.isEmpty());
    }
}

void CheckFbText(const QString& Text)
{
    const QString Decoded = DecodeFbText(Text);
    if (Decoded == Text)
        return;
    // Decoded only when every whole group is "@" and four hexadecimal digits; a short tail is no group.
    QString Encoded;
    for (const QChar C : Decoded)
        Encoded += QStringLiteral("@%1").arg(C.unicode(), 4, 16, QLatin1Char('0'));
    VX_FUZZ_CHECK_EQ(Encoded, Text.left(Text.size() / 5 * 5).toLower());
}

void CheckWidths(const QString& Text, int Limit)
{
    const QString Half = ToHalfWidth(Text);
    const QString Full = ToFullWidth(Text);
    VX_FUZZ_CHECK_EQ(ToHalfWidth(Half), Half);
    VX_FUZZ_CHECK_EQ(ToFullWidth(Full), Full);
    VX_FUZZ_CHECK(Cp932Width(Half) <= Cp932Width(Text));
    VX_FUZZ_CHECK(Cp932Width(Full) >= Cp932Width(Text));

    const QString Left = MbcsLeft(Text, Limit);
    VX_FUZZ_CHECK(Text.startsWith(Left));
    VX_FUZZ_CHECK(Cp932Width(Left) <= std::max(Limit, 0));
}

void CheckPrefecture(const QString& Address, bool Kana)
{
    const TPrefectureSplit Split = Kana ? SplitPrefectureKana(Address) : SplitPrefecture(Address);
    const QString(&Names)[PrefectureCount] = Kana ? PrefectureKanaNames : PrefectureNames;
    if (Split.Found) {
        VX_FUZZ_CHECK(std::find(std::begin(Names), std::end(Names), Split.Prefecture) != std::end(Names));
        VX_FUZZ_CHECK_EQ(Split.Prefecture + Split.Rest, Address);
    } else {
        VX_FUZZ_CHECK(Split.Prefecture.isEmpty());
        VX_FUZZ_CHECK_EQ(Split.Rest, Address);
        for (const QString& Name : Names)
            VX_FUZZ_CHECK(!Address.startsWith(Name));
    }
}

void CheckRoundOff(double X)
{
    const std::int64_t Rounded = RoundOff(X);
    if (std::isnan(X)) {
        VX_FUZZ_CHECK_EQ(Rounded, std::int64_t(0));
        return;
    }
    // std::round rounds half away from zero too, without adding 0.5 first.
    const double Expected = std::round(X);
    if (Expected >= 9223372036854775808.0)
        VX_FUZZ_CHECK_EQ(Rounded, std::numeric_limits<std::int64_t>::max());
    else if (Expected < -9223372036854775808.0)
        VX_FUZZ_CHECK_EQ(Rounded, std::numeric_limits<std::int64_t>::min());
    else
        VX_FUZZ_CHECK_EQ(Rounded, static_cast<std::int64_t>(Expected));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    TFuzzInput Input(Data, Size);
    const std::uint8_t Mode = Input.Byte();
    const int Last = static_cast<std::int8_t>(Input.Byte()) % 8; // -7 .. 7
    const int Cut = static_cast<std::int8_t>(Input.Byte());
    const double Number = Input.Number<double>();
    const QString Separator = TFuzzInput::Utf16(Input.Bytes(Input.Byte() % 4 * 2));
    const QByteArray Rest = Input.Rest();
    // Texts as UTF-16 units straight from the bytes, or as UTF-8 for kana and kanji that a
    // mutation keeps whole.
    const QString Text = Mode & 0x80 ? QString::fromUtf8(Rest) : TFuzzInput::Utf16(Rest);

    CheckSplit(Text, Last, Mode % 5, Separator, Cut);
    CheckFbText(Text);
    CheckWidths(Text, Cut);
    CheckPrefecture(Text, false);
    CheckPrefecture(Text, true);
    CheckRoundOff(Number);
    return 0;
}
