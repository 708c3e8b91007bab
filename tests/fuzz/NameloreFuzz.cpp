// The name-reading stand-in's dictionary file SKK-JISYO.jinmei of any bytes, asked for every one-
// character reading and for the first reading it lists: each listed name has a half-width katakana
// reading of at most 12 bytes that begins with the reading asked for, a name of whole CP932
// characters within 12 bytes, each reading's names together, the count the list's length and never
// beyond 500, and the program's reading of every record a text within its field.

#include "DictionaryChecks.h"
#include "FuzzSupport.h"
#include "directory/DicField.h"
#include "directory/namedic/NameloreLib.h"

extern "C" int NameloreSeiCount(const char* Reading, std::int32_t, std::int32_t* Count, const char* DicFolder);
extern "C" int NameloreMeiCount(const char* Reading, std::int32_t, std::int32_t* Count, const char* DicFolder);
extern "C" int NameloreSeiList(const char* Reading, std::int32_t, TNameDicEntry* Entries, std::int32_t Count,
                               const char* DicFolder);
extern "C" int NameloreMeiList(const char* Reading, std::int32_t, TNameDicEntry* Entries, std::int32_t Count,
                               const char* DicFolder);

namespace {

constexpr int MaxNames = 500;

// The bytes of a field up to its first NUL; after that only NULs.
QByteArray PaddedBytes(const char* Field, std::size_t Size)
{
    const QByteArray Bytes(Field, static_cast<qsizetype>(Size));
    const qsizetype End = Bytes.indexOf('\0');
    if (End < 0)
        return Bytes;
    VX_FUZZ_CHECK(Bytes.mid(End).count('\0') == Bytes.size() - End);
    return Bytes.left(End);
}

bool IsHalfKana(const QByteArray& Bytes)
{
    return std::all_of(Bytes.begin(), Bytes.end(), [](char C) {
        const auto B = static_cast<unsigned char>(C);
        return B >= 0xA6 && B <= 0xDF;
    });
}

// Asks one kind for Reading and checks the answer; the first reading listed, for a second question.
QByteArray Ask(const QByteArray& Reading, bool Given, const QByteArray& Folder)
{
    std::int32_t Count = -1;
    const int CountRc = Given ? NameloreMeiCount(Reading.constData(), 0, &Count, Folder.constData())
                              : NameloreSeiCount(Reading.constData(), 0, &Count, Folder.constData());
    VX_FUZZ_CHECK(CountRc == 0 || CountRc == 8);
    VX_FUZZ_CHECK_EQ(CountRc == 0, Count > 0);
    VX_FUZZ_CHECK(Count >= 0 && Count <= MaxNames);

    // One entry more than counted: the library must leave it untouched.
    std::vector<TNameDicEntry> Entries(static_cast<std::size_t>(Count) + 1);
    std::memset(Entries.data(), 0, Entries.size() * sizeof(TNameDicEntry));
    const int ListRc = Given ? NameloreMeiList(Reading.constData(), 0, Entries.data(), Count + 1, Folder.constData())
                             : NameloreSeiList(Reading.constData(), 0, Entries.data(), Count + 1, Folder.constData());
    VX_FUZZ_CHECK_EQ(ListRc, CountRc);
    QList<QByteArray> Seen;
    for (int I = 0; I <= Count; ++I) {
        const TNameDicEntry& E = Entries[static_cast<std::size_t>(I)];
        const QByteArray EntryReading = PaddedBytes(E.Reading, sizeof E.Reading);
        const QByteArray Name = PaddedBytes(E.Name, sizeof E.Name);
        if (I >= Count) {
            VX_FUZZ_CHECK(EntryReading.isEmpty() && Name.isEmpty());
            continue;
        }
        VX_FUZZ_CHECK(!EntryReading.isEmpty() && IsHalfKana(EntryReading));
        VX_FUZZ_CHECK(EntryReading.startsWith(Reading));
        VX_FUZZ_CHECK(!Name.isEmpty() && IsValidCp932(Name));
        // Grouped by reading: the exact reading first, then the longer ones in byte order.
        if (!Seen.isEmpty() && Seen.back() != EntryReading) {
            VX_FUZZ_CHECK(!Seen.contains(EntryReading));
            VX_FUZZ_CHECK(Seen.back() < EntryReading);
        }
        if (Seen.isEmpty() || Seen.back() != EntryReading)
            Seen.append(EntryReading);
        // The program's reading of the record.
        const QString ReadingText = FixedFieldText(E.Reading, sizeof E.Reading);
        const QString NameText = FixedFieldText(E.Name, sizeof E.Name);
        CheckFieldText(ReadingText, sizeof E.Reading);
        CheckFieldText(NameText, sizeof E.Name);
        VX_FUZZ_CHECK_EQ(Cp932Encode(ReadingText), EntryReading);
    }
    return Seen.value(0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    // The library reads each dictionary file once: every input gets a folder of its own.
    static int Run = 0;
    const QString Folder = FreshFolder(QStringLiteral("namelore%1").arg(++Run));
    WriteFuzzFile(Folder + QStringLiteral("SKK-JISYO.jinmei"),
                  QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));
    const QByteArray FolderBytes = PathBytes(Folder);
    for (const bool Given : {false, true}) {
        for (int C = 0xA6; C <= 0xDF; ++C) {
            const QByteArray Listed = Ask(QByteArray(1, static_cast<char>(C)), Given, FolderBytes);
            if (Listed.size() > 1)
                (void)Ask(Listed, Given, FolderBytes);
        }
    }
    QDir(Folder).removeRecursively();
    return 0;
}
