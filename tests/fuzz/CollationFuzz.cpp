// The CP932 collations on any bytes, valid UTF-8 or not, as SQLite hands them the stored texts:
// reflexive, antisymmetric and transitive, equal only for identical bytes where case counts, and
// on valid texts in the order of the CP932 bytes that iconv gives.

#include "FuzzSupport.h"
#include "platform/db/Collation.h"
#include "tests/support/Cp932Oracle.h"

#include <QStringDecoder>
#include <array>

namespace {

int Sign(int Value)
{
    return Value < 0 ? -1 : (Value > 0 ? 1 : 0);
}

int Compare(const QByteArray& A, const QByteArray& B, bool Fold)
{
    return Sign(
        CompareCp932(A.constData(), static_cast<int>(A.size()), B.constData(), static_cast<int>(B.size()), Fold));
}

// A leading byte-order mark is a character of the stored text like any other: the collation sees
// it, so the oracle must too (the decoder would drop it by default).
std::optional<QString> StrictUtf8(const QByteArray& Bytes)
{
    QStringDecoder Decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString Text = Decoder.decode(Bytes);
    return Decoder.hasError() ? std::nullopt : std::optional<QString>(Text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    // Three texts with a common head, as the keys next to each other in an index have: a
    // difference right after a shared partial character is where an order goes wrong.
    TFuzzInput Input(Data, Size);
    const QByteArray Head = Input.Piece();
    const std::array<QByteArray, 3> Texts = {Head + Input.Piece(), Head + Input.Piece(), Head + Input.Rest()};

    for (const bool Fold : {false, true}) {
        for (const QByteArray& A : Texts) {
            VX_FUZZ_CHECK_EQ(Compare(A, A, Fold), 0);
            for (const QByteArray& B : Texts) {
                const int AB = Compare(A, B, Fold);
                VX_FUZZ_CHECK_EQ(Compare(B, A, Fold), -AB);
                if (!Fold)
                    VX_FUZZ_CHECK_EQ(AB == 0, A == B);
                for (const QByteArray& C : Texts) {
                    if (AB <= 0 && Compare(B, C, Fold) <= 0)
                        VX_FUZZ_CHECK(Compare(A, C, Fold) <= 0);
                }
                const std::optional<QString> TextA = StrictUtf8(A);
                const std::optional<QString> TextB = StrictUtf8(B);
                if (TextA && TextB)
                    VX_FUZZ_CHECK_EQ(AB, OracleCompare(*TextA, *TextB, Fold));
            }
        }
    }
    return 0;
}
