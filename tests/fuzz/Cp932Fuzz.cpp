// The CP932 codec and the byte counts built on it, on any bytes and any UTF-16 text (lone
// surrogates included): strict decoding agrees with the validity test, valid bytes come back
// through the encoder, the width is the encoded length, and cuts neither split a character nor
// pass their limit.

#include "FuzzSupport.h"
#include "platform/text/Cp932.h"

namespace {

void CheckBytes(const QByteArray& Bytes, int Limit)
{
    const std::optional<QString> Strict = Cp932Decode(Bytes, TDecodeMode::Strict);
    VX_FUZZ_CHECK_EQ(Strict.has_value(), IsValidCp932(Bytes));
    const QString Lenient = Cp932DecodeLenient(Bytes);
    if (Strict) {
        VX_FUZZ_CHECK_EQ(Lenient, *Strict);
        const TCp932Encoded Encoded = Cp932EncodeChecked(*Strict);
        VX_FUZZ_CHECK_EQ(Encoded.Substituted, 0);
        // Some characters have two codes (the NEC and IBM rows): the text comes back, and the length.
        VX_FUZZ_CHECK_EQ(Encoded.Bytes.size(), Bytes.size());
        VX_FUZZ_CHECK_EQ(Cp932Decode(Encoded.Bytes, TDecodeMode::Strict).value_or(QStringLiteral("<invalid>")),
                         *Strict);
        VX_FUZZ_CHECK_EQ(Cp932Width(*Strict), static_cast<int>(Bytes.size()));
    } else {
        VX_FUZZ_CHECK(Lenient.contains(QChar(0xFFFD)));
    }

    const QByteArray Left = Cp932LeftBytes(Bytes, Limit);
    VX_FUZZ_CHECK(Bytes.startsWith(Left));
    VX_FUZZ_CHECK(Left.size() <= std::max(Limit, 0));
    if (Left.size() < Bytes.size()) {
        VX_FUZZ_CHECK(Left.size() >= Limit - 1);
        VX_FUZZ_CHECK(Cp932ByteType(Bytes, static_cast<int>(Left.size())) != TByteType::Trail);
    }
    for (int I = 0; I < Bytes.size(); ++I)
        (void)Cp932ByteType(Bytes, I);
    if (!Bytes.isEmpty())
        VX_FUZZ_CHECK(Cp932ByteType(Bytes, 0) != TByteType::Trail);
}

// The length of the character that starts at Index: 2 for a surrogate pair, else 1.
qsizetype CharUnits(const QString& Text, qsizetype Index)
{
    return Text[Index].isHighSurrogate() && Index + 1 < Text.size() && Text[Index + 1].isLowSurrogate() ? 2 : 1;
}

void CheckText(const QString& Text, int Limit)
{
    const TCp932Encoded Encoded = Cp932EncodeChecked(Text);
    VX_FUZZ_CHECK_EQ(Cp932Width(Text), static_cast<int>(Encoded.Bytes.size()));
    VX_FUZZ_CHECK(IsValidCp932(Encoded.Bytes));
    // What was written reads back to a text that writes the same bytes again.
    VX_FUZZ_CHECK_EQ(Cp932Encode(Cp932DecodeLenient(Encoded.Bytes)), Encoded.Bytes);

    const QString Left = Cp932Left(Text, Limit);
    VX_FUZZ_CHECK(Text.startsWith(Left));
    VX_FUZZ_CHECK(Cp932Width(Left) <= std::max(Limit, 0));
    if (Left.size() < Text.size()) {
        VX_FUZZ_CHECK(Left.isEmpty() || !(Left.back().isHighSurrogate() && Text[Left.size()].isLowSurrogate()));
        VX_FUZZ_CHECK(Cp932Width(Text.left(Left.size() + CharUnits(Text, Left.size()))) > Limit);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    TFuzzInput Input(Data, Size);
    const int Limit = static_cast<std::int8_t>(Input.Byte()) + 64; // -64 .. 191, the cuts' own edge cases
    const QByteArray Rest = Input.Rest();
    CheckBytes(Rest, Limit);
    CheckText(TFuzzInput::Utf16(Rest), Limit);
    CheckText(QString::fromUtf8(Rest), Limit);
    return 0;
}
