// Stand-in for Namelore: the family names and given names written with a reading, from SKK's name
// dictionary "SKK-JISYO.jinmei" (format and source in README.md beside this file).
//
// Return codes: 0 names found; 8 no name for the reading; 3 a bad argument.

#include "peers/namelore/CommonNames.h"
#include "peers/namelore/NameSieve.h"
#include "peers/namelore/SkkLine.h"
#include "platform/sys/FileVersionNote.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <map>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

using namespace namelore;

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

struct TNameDicEntry
{
    char Reading[12];
    char Name[12];
};
static_assert(sizeof(TNameDicEntry) == 24);
static_assert(offsetof(TNameDicEntry, Name) == 12);

constexpr int RcOk = 0;
constexpr int RcBadArgument = 3;
constexpr int RcNoName = 8;

// A reading as short as one character matches thousands of names; nobody reads past a few hundred.
constexpr int MaxNames = 500;

constexpr char DicFileName[] = "SKK-JISYO.jinmei";
constexpr char SystemDicFolder[] = "/usr/share/skk/";

struct TName
{
    std::string Reading; // CP932 half-width katakana
    std::string Name;    // CP932
    unsigned Kinds;
};

// Kana to half-width katakana, as the programs keep readings. The library carries its own copy:
// it links nothing of the programs.
const std::u32string KanaFrom =
    U"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわ"
    U"をんぁぃぅぇぉっゃゅょー";
const std::u32string KanaTo = U"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝｧｨｩｪｫｯｬｭｮｰ";
const std::u32string VoicedFrom = U"ゔがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ";
const std::u32string VoicedBase = U"ｳｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎﾊﾋﾌﾍﾎ";

class TIconv
{
public:
    TIconv(const char* To, const char* From) : FHandle(iconv_open(To, From)) {}
    ~TIconv()
    {
        if (FHandle != reinterpret_cast<iconv_t>(-1))
            iconv_close(FHandle);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // False when a byte or character has no counterpart: such text is left out, never mangled.
    bool Convert(const std::string& In, std::string& Out)
    {
        Out.clear();
        if (FHandle == reinterpret_cast<iconv_t>(-1))
            return false;
        iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
        std::string Buffer(In.size() * 4 + 16, '\0');
        char* InPtr = const_cast<char*>(In.data());
        size_t InLeft = In.size();
        char* OutPtr = Buffer.data();
        size_t OutLeft = Buffer.size();
        if (iconv(FHandle, &InPtr, &InLeft, &OutPtr, &OutLeft) == static_cast<size_t>(-1))
            return false;
        if (iconv(FHandle, nullptr, nullptr, &OutPtr, &OutLeft) == static_cast<size_t>(-1))
            return false;
        Out.assign(Buffer.data(), OutPtr);
        return true;
    }

private:
    iconv_t FHandle;
};

std::u32string ToUtf32(TIconv& Conv, const std::string& Utf8)
{
    std::string Out;
    if (!Conv.Convert(Utf8, Out))
        return {};
    std::u32string Result(Out.size() / 4, U'\0');
    std::memcpy(Result.data(), Out.data(), Result.size() * 4);
    return Result;
}

std::string FromUtf32(TIconv& Conv, const std::u32string& Text)
{
    std::string In(reinterpret_cast<const char*>(Text.data()), Text.size() * 4);
    std::string Out;
    return Conv.Convert(In, Out) ? Out : std::string();
}

// The reading as half-width katakana, or empty when it holds anything else than kana.
std::u32string HalfKanaReading(const std::u32string& Reading)
{
    std::u32string Result;
    for (char32_t C : Reading) {
        if (C >= U'ァ' && C <= U'ヶ') // katakana readings read as their hiragana
            C -= 0x60;
        if (const auto I = KanaFrom.find(C); I != std::u32string::npos) {
            Result += KanaTo[I];
        } else if (const auto V = VoicedFrom.find(C); V != std::u32string::npos) {
            Result += VoicedBase[V];
            Result += V >= 21 ? U'ﾟ' : U'ﾞ';
        } else {
            return {};
        }
    }
    return Result;
}

// The tag is the first word of the annotation; a name without one, or with a word that is not a
// name's kind, may be either.
unsigned KindsOf(const std::u32string& Annotation)
{
    const auto End = Annotation.find_first_of(U", 、&\t");
    const std::u32string Tag = Annotation.substr(0, End);
    if (Tag == U"姓")
        return kbFamily;
    if (Tag == U"名")
        return kbGiven;
    return kbFamily | kbGiven;
}

class TIndex
{
public:
    explicit TIndex(const std::string& Path) { Load(Path); }

    // The names whose reading begins with Prefix: the exact reading first, then the longer ones in
    // reading order, each reading's names together and in the dictionary's order.
    std::vector<const TName*> Find(const std::string& Prefix, unsigned Kind) const
    {
        std::vector<const TName*> Found;
        auto It = std::lower_bound(FNames.begin(), FNames.end(), Prefix,
                                   [](const TName& N, const std::string& P) { return N.Reading < P; });
        for (; It != FNames.end() && It->Reading.compare(0, Prefix.size(), Prefix) == 0; ++It) {
            if (It->Kinds & Kind)
                Found.push_back(&*It);
            if (static_cast<int>(Found.size()) >= MaxNames)
                break;
        }
        return Found;
    }

private:
    void Load(const std::string& Path)
    {
        TIconv FromEuc("UTF-8", "EUC-JISX0213");
        TIconv ToUtf32Conv("UTF-32LE", "UTF-8");
        TIconv ToCp932("CP932", "UTF-32LE");
        std::vector<TEntry> Entries;
        if (std::ifstream Size(Path, std::ios::binary | std::ios::ate); Size)
            Entries.reserve(static_cast<std::size_t>(Size.tellg()) / 16); // about one name in 17 bytes
        TSkkLine<std::string> Raw;
        TSkkLine<std::u32string> Text;
        std::string Utf8;
        std::u32string Word, Annotation;
        std::string RawWord, RawAnnotation;
        ForEachLine(Path, [&](const std::string& Line) {
            if (!SplitSkkLine(Line, Raw))
                return;
            if (!FromEuc.Convert(Line, Utf8))
                return; // a damaged line costs only itself
            if (!SplitSkkLine(ToUtf32(ToUtf32Conv, Utf8), Text) || Text.Candidates.size() != Raw.Candidates.size())
                return;
            for (std::size_t I = 0; I < Text.Candidates.size(); ++I) {
                SplitCandidate(Text.Candidates[I], Word, Annotation);
                SplitCandidate(Raw.Candidates[I], RawWord, RawAnnotation);
                // Lisp expressions compute a word at run time; there is nothing to list for them.
                if (Word.empty() || Word.front() == U'(' || Word.find(U'[') != std::u32string::npos)
                    continue;
                const auto Semicolon = Text.Candidates[I].find(U';');
                const unsigned Kinds = Semicolon == std::u32string::npos ? kbFamily | kbGiven : KindsOf(Annotation);
                Entries.push_back({Text.Reading, Word, Kinds, Kinds != (kbFamily | kbGiven), Raw.Reading, RawWord});
            }
        });
        SiftNames(Entries, CompanionsBeside(Path));
        AddCommonNames(Entries, ToUtf32Conv);
        for (const TEntry& E : Entries)
            AddName(E, ToCp932);
        std::stable_sort(FNames.begin(), FNames.end(),
                         [](const TName& A, const TName& B) { return A.Reading < B.Reading; });
    }

    // Where the dictionary was read at all: without one, no list is made up from ours alone.
    static void AddCommonNames(std::vector<TEntry>& Entries, TIconv& ToUtf32Conv)
    {
        if (Entries.empty())
            return;
        std::unordered_set<std::u32string> Known;
        for (const TEntry& E : Entries)
            Known.insert(E.Reading + U'\t' + E.Word);
        for (const TCommonName& Common : CommonNames) {
            TEntry E{
                ToUtf32(ToUtf32Conv, Common.Reading), ToUtf32(ToUtf32Conv, Common.Word), Common.Kinds, true, {}, {}};
            if (Known.insert(E.Reading + U'\t' + E.Word).second)
                Entries.push_back(std::move(E));
        }
    }

    void AddName(const TEntry& E, TIconv& ToCp932)
    {
        const std::u32string Kana = HalfKanaReading(E.Reading);
        if (Kana.empty())
            return;
        const std::string Reading = FromUtf32(ToCp932, Kana);
        if (Reading.empty() || Reading.size() > sizeof(TNameDicEntry::Reading))
            return;
        // The record ends a text at its first NUL: a name holding a control character would show cut.
        if (std::any_of(E.Word.begin(), E.Word.end(), [](char32_t C) { return C < U' '; }))
            return;
        const std::string Name = FromUtf32(ToCp932, E.Word);
        if (Name.empty() || Name.size() > sizeof(TNameDicEntry::Name))
            return;
        FNames.push_back({Reading, Name, E.Kinds});
    }

    std::vector<TName> FNames;
};

std::mutex IndexLock;

// Each dictionary file is read once per load of the library.
const TIndex& IndexFor(const char* DicFolder)
{
    static std::map<std::string, TIndex> Indexes;
    std::string Path;
    if (DicFolder && *DicFolder) {
        Path = DicFolder;
        if (Path.back() != '/')
            Path += '/';
        Path += DicFileName;
        if (std::ifstream Probe(Path, std::ios::binary); !Probe)
            Path.clear();
    }
    if (Path.empty())
        Path = std::string(SystemDicFolder) + DicFileName;
    auto It = Indexes.find(Path);
    if (It == Indexes.end())
        It = Indexes.emplace(Path, TIndex(Path)).first;
    return It->second;
}

// Only half-width katakana (and the sound marks) can be a reading.
bool ValidReading(const char* Reading)
{
    if (!Reading || !*Reading || std::strlen(Reading) > sizeof(TNameDicEntry::Reading))
        return false;
    for (const char* P = Reading; *P; ++P) {
        const auto C = static_cast<unsigned char>(*P);
        if (C < 0xA6 || C > 0xDF)
            return false;
    }
    return true;
}

int Count(const char* Reading, std::int32_t* Result, const char* DicFolder, unsigned Kind)
{
    if (!Result)
        return RcBadArgument;
    *Result = 0;
    if (!ValidReading(Reading))
        return RcNoName;
    std::lock_guard Guard(IndexLock);
    const auto Found = IndexFor(DicFolder).Find(Reading, Kind);
    *Result = static_cast<std::int32_t>(Found.size());
    return Found.empty() ? RcNoName : RcOk;
}

int List(const char* Reading, TNameDicEntry* Entries, std::int32_t Capacity, const char* DicFolder, unsigned Kind)
{
    if (!Entries || Capacity < 0)
        return RcBadArgument;
    if (!ValidReading(Reading))
        return RcNoName;
    std::lock_guard Guard(IndexLock);
    const auto Found = IndexFor(DicFolder).Find(Reading, Kind);
    if (Found.empty())
        return RcNoName;
    const std::size_t N = std::min<std::size_t>(Found.size(), static_cast<std::size_t>(Capacity));
    for (std::size_t I = 0; I < N; ++I) {
        TNameDicEntry& E = Entries[I];
        std::memset(&E, 0, sizeof E);
        std::memcpy(E.Reading, Found[I]->Reading.data(), Found[I]->Reading.size());
        std::memcpy(E.Name, Found[I]->Name.data(), Found[I]->Name.size());
    }
    return RcOk;
}

} // namespace

VX_FILE_VERSION(1, 0, 0, 0);

VX_EXPORT int NameloreSeiCount(const char* Reading, std::int32_t, std::int32_t* Count_, const char* DicFolder)
{
    return Count(Reading, Count_, DicFolder, kbFamily);
}

VX_EXPORT int NameloreMeiCount(const char* Reading, std::int32_t, std::int32_t* Count_, const char* DicFolder)
{
    return Count(Reading, Count_, DicFolder, kbGiven);
}

VX_EXPORT int NameloreSeiList(const char* Reading, std::int32_t, TNameDicEntry* Entries, std::int32_t Count_,
                              const char* DicFolder)
{
    return List(Reading, Entries, Count_, DicFolder, kbFamily);
}

VX_EXPORT int NameloreMeiList(const char* Reading, std::int32_t, TNameDicEntry* Entries, std::int32_t Count_,
                              const char* DicFolder)
{
    return List(Reading, Entries, Count_, DicFolder, kbGiven);
}
