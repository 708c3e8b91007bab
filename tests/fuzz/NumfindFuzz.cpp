// The number dictionary stand-in's list Numfind.csv of any bytes, looked up with the number of its
// first line, and the program's reading of the 508-byte record the search fills: the search answers
// one of its codes, a found record holds whole CP932 characters padded with blanks, and the caller
// taken from it keeps every text within its field.

#include "DictionaryChecks.h"
#include "FuzzSupport.h"
#include "directory/DicField.h"
#include "directory/Numfind.h"

extern "C" int SearchFromTelK(const char* Number, void* Record, const char* WorkFolder, const char* DicFolder);

namespace {

void CheckPaddedField(const char* Field, std::size_t Size)
{
    const QByteArray Bytes(Field, static_cast<qsizetype>(Size));
    VX_FUZZ_CHECK(IsValidCp932(Bytes));
    VX_FUZZ_CHECK(!Bytes.contains('\0'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const qsizetype LineEnd = Bytes.indexOf('\n');
    // The number as the library sees it: a C string, up to a NUL.
    const QByteArray Number = QByteArray((LineEnd < 0 ? Bytes : Bytes.left(LineEnd)).split(',').value(0).constData());
    const QString Folder = FreshFolder(QStringLiteral("numfind"));
    WriteFuzzFile(Folder + QStringLiteral("Numfind.csv"), Bytes);

    TNumfindRecord Record;
    const int Rc =
        SearchFromTelK(Number.constData(), &Record, PathBytes(Folder).constData(), PathBytes(Folder).constData());
    VX_FUZZ_CHECK(Rc == 0 || Rc == 1 || Rc == 4);
    if (Rc != 0)
        return 0;
    QByteArray Digits;
    for (const char C : Number)
        if (C >= '0' && C <= '9')
            Digits += C;
    VX_FUZZ_CHECK_EQ(QByteArray(Record.Tel, sizeof(Record.Tel)), Digits.left(14).leftJustified(14, ' '));
    for (const auto& [Field, FieldSize] :
         std::initializer_list<std::pair<const char*, std::size_t>>{{Record.Pos, sizeof(Record.Pos)},
                                                                    {Record.NameKanji, sizeof(Record.NameKanji)},
                                                                    {Record.NameKana, sizeof(Record.NameKana)},
                                                                    {Record.TdfknCity, sizeof(Record.TdfknCity)},
                                                                    {Record.Adrs1, sizeof(Record.Adrs1)},
                                                                    {Record.Adrs2, sizeof(Record.Adrs2)},
                                                                    {Record.Codes, sizeof(Record.Codes)},
                                                                    {Record.TypeCode, sizeof(Record.TypeCode)}})
        CheckPaddedField(Field, FieldSize);
    // Degrees of a full circle at most.
    VX_FUZZ_CHECK(Record.Latitude <= 360u * 3600u * 256u);
    VX_FUZZ_CHECK(Record.Longitude <= 360u * 3600u * 256u);
    CheckNumfindRecord(Record);
    return 0;
}
