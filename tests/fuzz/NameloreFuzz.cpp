// The name-reading stand-in's dictionary file SKK-JISYO.jinmei and its companions of any bytes, asked
// for every one-character reading and for the first reading it lists: each listed name has a half-width katakana
// reading of at most 12 bytes that begins with the reading asked for, a name of whole CP932
// characters within 12 bytes, each reading's names together, the count the list's length and never
// beyond 500, the program's reading of every record a text within its field, and with the companions
// never a name that the name dictionary alone would not list.

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

// Asks one kind for Reading and checks the answer: each listed entry as "reading:name".
QList<QByteArray> Ask(const QByteArray& Reading, bool Given, const QByteArray& Folder)
{
    QList<QByteArray> Listed;
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
        Listed.append(EntryReading + ':' + Name);
    }
    return Listed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    // The input is the name dictionary, then up to three companions (ordinary words, full names,
    // places), each after a "%" (a byte no EUC character holds). The library reads each file once: every input gets
    // folders of its own, one with the companions and one without.
    const QList<QByteArray> Files =
        QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)).split('%');
    static int Run = 0;
    ++Run;
    const QString With = FreshFolder(QStringLiteral("namelore%1c").arg(Run));
    const QString Without = FreshFolder(QStringLiteral("namelore%1").arg(Run));
    const char* const Names[] = {"SKK-JISYO.jinmei", "SKK-JISYO.ML", "SKK-JISYO.fullname", "SKK-JISYO.geo"};
    for (int I = 0; I < 4 && I < Files.size(); ++I)
        WriteFuzzFile(With + QLatin1String(Names[I]), Files[I]);
    WriteFuzzFile(Without + QLatin1String(Names[0]), Files.value(0));
    const QByteArray WithBytes = PathBytes(With);
    const QByteArray WithoutBytes = PathBytes(Without);
    for (const bool Given : {false, true}) {
        for (int C = 0xA6; C <= 0xDF; ++C) {
            const QByteArray Reading(1, static_cast<char>(C));
            const QList<QByteArray> Sifted = Ask(Reading, Given, WithBytes);
            const QList<QByteArray> All = Ask(Reading, Given, WithoutBytes);
            // The companions only ever take names away.
            if (All.size() < MaxNames)
                for (const QByteArray& Entry : Sifted)
                    VX_FUZZ_CHECK(All.contains(Entry));
            if (!Sifted.isEmpty() && Sifted.front().indexOf(':') > 1)
                (void)Ask(Sifted.front().left(Sifted.front().indexOf(':')), Given, WithBytes);
        }
    }
    QDir(With).removeRecursively();
    QDir(Without).removeRecursively();
    return 0;
}
