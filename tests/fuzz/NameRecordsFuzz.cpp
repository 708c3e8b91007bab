// The name-reading library's 24-byte records of any bytes, read as the program reads a list: each
// text stays within its field, holds no NUL and no padding, and a field filled to its end never
// reads the cut-off half of its last character as a character of its own.

#include "DictionaryChecks.h"
#include "FuzzSupport.h"
#include "directory/DicField.h"
#include "directory/namedic/NameloreLib.h"

namespace {

template <std::size_t N> void CheckField(const char (&Field)[N])
{
    const QString Text = FixedFieldText(Field, static_cast<int>(N));
    CheckFieldText(Text, N);
    if (!std::memchr(Field, 0, N) && Cp932ByteType(QByteArray(Field, N), N - 1) == TByteType::Lead)
        VX_FUZZ_CHECK(!Text.endsWith(QChar(0xFFFD)) || FixedFieldText(Field, N - 1) == Text);
    // What the field shows, written back, fits the field.
    if (IsValidCp932(Cp932Encode(Text)) && !Text.contains(QChar(0xFFFD)))
        VX_FUZZ_CHECK(Cp932Encode(Text).size() <= static_cast<qsizetype>(N));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    for (std::size_t At = 0; At < Size; At += sizeof(TNameDicEntry)) {
        TNameDicEntry Entry;
        std::memset(&Entry, 0, sizeof Entry);
        std::memcpy(&Entry, Data + At, std::min(Size - At, sizeof Entry));
        CheckField(Entry.Reading);
        CheckField(Entry.Name);
    }
    return 0;
}
