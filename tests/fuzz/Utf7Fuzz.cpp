// The UTF-7 decoder on any bytes: it reads or refuses with its own error, and what it reads writes
// back to bytes that read the same. The encoder on any UTF-16 (lone surrogates included) writes
// only 7-bit bytes that read back to the text.

#include "FuzzSupport.h"
#include "widelayer/UniSysUtils.h"
#include "widelayer/UniSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    try {
        const QString Text = UTF7ToWideString(Bytes);
        VX_FUZZ_CHECK(Text.size() <= Bytes.size());
        VX_FUZZ_CHECK_EQ(UTF7ToWideString(WideStringToUTF7(Text)), Text);
    } catch (const EUniGeneralError& E) {
        VX_FUZZ_CHECK_EQ(E.Message(), QStringLiteral("Invalid UTF7"));
    }

    const QString Text = TFuzzInput::Utf16(Bytes);
    const QByteArray Encoded = WideStringToUTF7(Text);
    for (const char Byte : Encoded)
        VX_FUZZ_CHECK(static_cast<unsigned char>(Byte) < 128);
    VX_FUZZ_CHECK_EQ(UTF7ToWideString(Encoded), Text);
    VX_FUZZ_CHECK_EQ(StringToWideStringEx(WideStringToStringEx(Text, CP_UTF7), CP_UTF7), Text);
    return 0;
}
