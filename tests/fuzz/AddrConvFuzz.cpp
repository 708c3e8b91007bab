// The address-conversion stand-ins' table Addrmend.tsv of any bytes, asked for the address its first
// line begins with, and the program's reading of the output records: a conversion answers one of
// the codes, every answered field ends with a NUL inside its length and holds whole CP932
// characters, and the texts read from any record bytes stay within their fields (a bad byte shown
// as a substitute).

#include "FuzzSupport.h"
#include "directory/DicField.h"
#include "platform/text/Cp932.h"
#include "utility/fixes/AdrsConvLibs.h"

#include <cstring>

extern "C" unsigned char CvtAdrs(const Utility::TCvtAdrsIn* In, Utility::TCvtAdrsOut* Out, std::int32_t* Rc);
extern "C" unsigned char YAdrsTo(const Utility::TYAdrsToIn* In, Utility::TYAdrsToOut* Out, std::int32_t* Rc);

namespace {

void CheckField(const char* Field, std::size_t Size)
{
    const void* Nul = std::memchr(Field, 0, Size);
    VX_FUZZ_CHECK(Nul != nullptr);
    const QByteArray Text(Field, static_cast<const char*>(Nul) - Field);
    VX_FUZZ_CHECK(IsValidCp932(Text));
}

// A text read from a field of sound CP932 fits the field; a bad byte shows as a two-byte
// substitute, never more.
void CheckRead(const QString& Text, const char* Field, int Size)
{
    const void* Nul = std::memchr(Field, 0, static_cast<std::size_t>(Size));
    const QByteArray Bytes(Field, Nul ? static_cast<const char*>(Nul) - Field : Size);
    VX_FUZZ_CHECK(Cp932Width(Text) <= (IsValidCp932(Bytes) ? Size : 2 * Size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    using namespace Utility;
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const QString Folder = FreshFolder(QStringLiteral("addrconv"));
    WriteFuzzFile(Folder + QStringLiteral("Addrmend.tsv"), Bytes);
    const qsizetype LineEnd = Bytes.indexOf('\n');
    const QString First = QString::fromUtf8((LineEnd < 0 ? Bytes : Bytes.left(LineEnd)).split('\t').value(0));
    const QString Address = Cp932Left(First + QStringLiteral("本町１"), CvtAdrsMaxBytes);

    if (const auto In = MakeCvtAdrsIn(Address, Folder)) {
        TCvtAdrsOut Out{};
        std::int32_t Rc = -1;
        const unsigned char Converted = CvtAdrs(&*In, &Out, &Rc);
        VX_FUZZ_CHECK(Rc == 0 || Rc == 1 || Rc == 4);
        VX_FUZZ_CHECK((Converted != 0) == (Rc == 0));
        if (Converted) {
            CheckField(Out.Whole, sizeof(Out.Whole));
            CheckField(Out.Tdfkn, sizeof(Out.Tdfkn));
            CheckField(Out.City, sizeof(Out.City));
            CheckField(Out.Rest, sizeof(Out.Rest));
        }
    }
    if (const auto In = MakeYAdrsToIn(Address, Folder)) {
        TYAdrsToOut Out{};
        std::int32_t Rc = -1;
        if (YAdrsTo(&*In, &Out, &Rc)) {
            VX_FUZZ_CHECK(Rc == 0);
            CheckField(Out.JisCode, sizeof(Out.JisCode));
            CheckField(Out.Pos, sizeof(Out.Pos));
        }
    }

    // Whatever bytes a library leaves in its records, the texts read stay within their fields.
    TCvtAdrsOut Raw;
    std::memset(&Raw, 0, sizeof(Raw));
    std::memcpy(&Raw, Bytes.constData(), std::min<std::size_t>(Size, sizeof(Raw)));
    const TCvtAdrsResult Read = ReadCvtAdrsOut(Raw);
    CheckRead(Read.Whole, Raw.Whole, sizeof(Raw.Whole));
    CheckRead(Read.Tdfkn, Raw.Tdfkn, sizeof(Raw.Tdfkn));
    CheckRead(Read.City, Raw.City, sizeof(Raw.City));
    CheckRead(Read.Rest, Raw.Rest, sizeof(Raw.Rest));
    TYAdrsToOut RawCodes;
    std::memset(&RawCodes, 0, sizeof(RawCodes));
    std::memcpy(&RawCodes, Bytes.constData(), std::min<std::size_t>(Size, sizeof(RawCodes)));
    const TYAdrsToResult Codes = ReadYAdrsToOut(RawCodes);
    CheckRead(Codes.JisCode, RawCodes.JisCode, sizeof(RawCodes.JisCode));
    CheckRead(Codes.Pos, RawCodes.Pos, sizeof(RawCodes.Pos));
    return 0;
}
