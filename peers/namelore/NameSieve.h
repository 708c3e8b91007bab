#pragma once

// Which entries of SKK's name dictionary are names a person has. The dictionary also lists famous
// people's full names (佐藤栄作 under さとうえいさく, so a prefix search for さとう lists them beside
// the surnames), ordinary words tagged as names (障子 under しょうじ), hiragana spellings of kanji
// surnames and names written in Latin letters. The companion dictionaries of the same folder tell
// them apart: SKK-JISYO.ML lists ordinary words, SKK-JISYO.fullname famous full names and
// SKK-JISYO.geo place names. A missing companion only switches its rule off.

#include "peers/namelore/SkkLine.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace namelore {

enum TKindBits : unsigned
{
    kbFamily = 1,
    kbGiven = 2
};

struct TEntry
{
    std::u32string Reading; // as the dictionary writes it (hiragana)
    std::u32string Word;
    unsigned Kinds = kbFamily | kbGiven;
    bool Typed = false;     // the annotation itself said 姓 or 名
    std::string RawReading; // the file's bytes (EUC-JIS-2004), for the companions
    std::string RawWord;
};

struct TCompanions
{
    std::string OrdinaryWords; // SKK-JISYO.ML
    std::string FullNames;     // SKK-JISYO.fullname
    std::string Places;        // SKK-JISYO.geo
};

inline TCompanions CompanionsBeside(const std::string& NameDicPath)
{
    const auto Slash = NameDicPath.rfind('/');
    const std::string Folder = Slash == std::string::npos ? std::string() : NameDicPath.substr(0, Slash + 1);
    return {Folder + "SKK-JISYO.ML", Folder + "SKK-JISYO.fullname", Folder + "SKK-JISYO.geo"};
}

namespace sieve {

// A reading and a word, as views into entries that outlive the tables holding them.
struct TNameKey
{
    std::u32string_view Reading;
    std::u32string_view Word;
    bool operator==(const TNameKey&) const = default;
};

struct TNameKeyHash
{
    std::size_t operator()(const TNameKey& K) const
    {
        const std::hash<std::u32string_view> H;
        return H(K.Reading) * 31 + H(K.Word);
    }
};

using TNameSet = std::unordered_set<TNameKey, TNameKeyHash>;

// Byte strings looked up by view, so that a line of a companion costs no copy.
struct TBytesHash
{
    using is_transparent = void;
    std::size_t operator()(std::string_view Bytes) const { return std::hash<std::string_view>()(Bytes); }
};
using TIndexByBytes = std::unordered_map<std::string, std::vector<std::size_t>, TBytesHash, std::equal_to<>>;

// The entries in the order of their readings' bytes, looked up by a view of a companion's line.
class TByReading
{
public:
    explicit TByReading(const std::vector<TEntry>& Entries) : FEntries(Entries), FOrder(Entries.size())
    {
        for (std::size_t I = 0; I < FOrder.size(); ++I)
            FOrder[I] = I;
        std::stable_sort(FOrder.begin(), FOrder.end(),
                         [&](std::size_t A, std::size_t B) { return Entries[A].RawReading < Entries[B].RawReading; });
    }

    // The entries read Reading, as a range of indexes into FOrder.
    std::pair<const std::size_t*, const std::size_t*> Find(std::string_view Reading) const
    {
        const auto Less = [&](std::size_t I, std::string_view R) {
            return std::string_view(FEntries[I].RawReading) < R;
        };
        const auto Greater = [&](std::string_view R, std::size_t I) {
            return R < std::string_view(FEntries[I].RawReading);
        };
        const auto First = std::lower_bound(FOrder.begin(), FOrder.end(), Reading, Less);
        const auto Last = std::upper_bound(First, FOrder.end(), Reading, Greater);
        return {FOrder.data() + (First - FOrder.begin()), FOrder.data() + (Last - FOrder.begin())};
    }

private:
    const std::vector<TEntry>& FEntries;
    std::vector<std::size_t> FOrder;
};

inline bool IsKana(char32_t C)
{
    return (C >= U'ぁ' && C <= U'ゖ') || (C >= U'ァ' && C <= U'ヶ') || C == U'ー';
}

inline bool IsLatinOrDigit(char32_t C)
{
    return (C >= U'0' && C <= U'9') || (C >= U'A' && C <= U'Z') || (C >= U'a' && C <= U'z') ||
           (C >= U'０' && C <= U'９') || (C >= U'Ａ' && C <= U'Ｚ') || (C >= U'ａ' && C <= U'ｚ');
}

inline bool AllKana(std::u32string_view Word)
{
    for (char32_t C : Word)
        if (!IsKana(C))
            return false;
    return !Word.empty();
}

// Byte length of the EUC-JIS-2004 character that begins with Lead.
inline std::size_t CharSize(unsigned char Lead)
{
    return Lead < 0x80 ? 1 : Lead == 0x8F ? 3 : 2;
}

// Whether an annotation of SKK-JISYO.ML says a name (姓, 名, 人名, 地名 ...): such an entry is
// no ordinary word.
inline bool AnnotationNamesAName(std::string_view Annotation)
{
    for (std::size_t I = 0; I < Annotation.size();) {
        const std::size_t Size = CharSize(static_cast<unsigned char>(Annotation[I]));
        const std::string_view Char = Annotation.substr(I, Size);
        if (Char == "\xc0\xab" /* 姓 */ || Char == "\xcc\xbe" /* 名 */)
            return true;
        I += Size;
    }
    return false;
}

// Whether Tail ends Word on one of its character boundaries.
inline bool EndsOnABoundary(std::string_view Word, std::string_view Tail)
{
    if (Word.size() <= Tail.size() || Word.substr(Word.size() - Tail.size()) != Tail)
        return false;
    std::size_t I = 0;
    while (I < Word.size() - Tail.size())
        I += CharSize(static_cast<unsigned char>(Word[I]));
    return I == Word.size() - Tail.size();
}

// A famous person's full name: a family name of two characters or more followed by a given name
// of two characters or more, or of one the dictionary types as a given name, each with a reading of two kana or more.
// 長谷川 (はせ 長谷 + がわ 川) stays a surname; 高橋泥舟 goes although the dictionary lacks 泥舟.
inline bool IsFullName(const TEntry& E, const TNameSet& Families, const TNameSet& TypedGivens)
{
    const std::u32string_view Reading = E.Reading;
    const std::u32string_view Word = E.Word;
    if (Word.size() < 3)
        return false;
    for (std::size_t I = 2; I + 2 <= Reading.size(); ++I) {
        for (std::size_t J = 2; J < Word.size(); ++J) {
            if (!Families.count({Reading.substr(0, I), Word.substr(0, J)}))
                continue;
            if (Word.size() - J >= 2 || TypedGivens.count({Reading.substr(I), Word.substr(J)}))
                return true;
        }
    }
    return false;
}

} // namespace sieve

// Leaves in Entries the names a person has, each with the kinds it can be.
inline void SiftNames(std::vector<TEntry>& Entries, const TCompanions& Files)
{
    using namespace sieve;
    TNameSet Families, TypedGivens;
    std::unordered_set<std::u32string_view> TypedWords;
    Families.reserve(Entries.size());
    TypedWords.reserve(Entries.size());
    for (const TEntry& E : Entries) {
        if (E.Kinds & kbFamily)
            Families.insert({E.Reading, E.Word});
        if (E.Typed && E.Kinds == kbGiven)
            TypedGivens.insert({E.Reading, E.Word});
        if (E.Typed)
            TypedWords.insert(E.Word);
    }
    const TByReading ByReading(Entries);

    std::vector<bool> Drop(Entries.size(), false);
    std::vector<unsigned> Kinds(Entries.size());
    for (std::size_t I = 0; I < Entries.size(); ++I) {
        const TEntry& E = Entries[I];
        bool Latin = false;
        for (char32_t C : E.Word)
            Latin = Latin || IsLatinOrDigit(C);
        // A surname is written in kanji; only a given name is spelt in kana of its own.
        Kinds[I] = AllKana(E.Word) ? E.Kinds & kbGiven : E.Kinds;
        Drop[I] = Latin || Kinds[I] == 0 || IsFullName(E, Families, TypedGivens);
    }

    // Ordinary words: an entry the dictionary did not type, which SKK-JISYO.ML lists under the
    // same reading with no name's annotation, is a suspect.
    std::vector<bool> Suspect(Entries.size(), false);
    ForEachLine(Files.OrdinaryWords, [&](const std::string& Line) {
        const std::string_view Reading = ReadingOf(Line);
        if (Reading.empty())
            return;
        const auto Range = ByReading.Find(Reading);
        const std::size_t* const First = Range.first;
        const std::size_t* const Last = Range.second;
        if (First == Last)
            return;
        ForEachCandidate(Line, [&](std::string_view Word, std::string_view Annotation) {
            if (AnnotationNamesAName(Annotation))
                return;
            for (const std::size_t* I = First; I != Last; ++I)
                if (!Entries[*I].Typed && Entries[*I].RawWord == Word && !TypedWords.count(Entries[*I].Word))
                    Suspect[*I] = true;
        });
    });
    TIndexByBytes SuspectsByReading, SuspectsByWord;
    for (std::size_t I = 0; I < Entries.size(); ++I) {
        if (Suspect[I] && !Drop[I]) {
            SuspectsByReading[Entries[I].RawReading].push_back(I);
            SuspectsByWord[Entries[I].RawWord].push_back(I);
        }
    }

    // A famous full name of SKK-JISYO.fullname that the name dictionary holds whole goes; one that
    // begins or ends with a suspect shows the suspect to be a family or given name.
    ForEachLine(Files.FullNames, [&](const std::string& Line) {
        const std::string_view Reading = ReadingOf(Line);
        if (Reading.empty())
            return;
        const auto Range = ByReading.Find(Reading);
        const std::size_t* const First = Range.first;
        const std::size_t* const Last = Range.second;
        if (First == Last && SuspectsByReading.empty())
            return;
        ForEachCandidate(Line, [&](std::string_view Word, std::string_view) {
            for (const std::size_t* I = First; I != Last; ++I)
                if (Entries[*I].RawWord == Word && Entries[*I].Word.size() >= 3 && !AllKana(Entries[*I].Word))
                    Drop[*I] = true;
            for (std::size_t Cut = 0; Cut < Reading.size();) {
                Cut += CharSize(static_cast<unsigned char>(Reading[Cut]));
                if (Cut >= Reading.size())
                    break;
                if (const auto Head = SuspectsByReading.find(Reading.substr(0, Cut)); Head != SuspectsByReading.end())
                    for (std::size_t I : Head->second)
                        if (Word.size() > Entries[I].RawWord.size() &&
                            Word.substr(0, Entries[I].RawWord.size()) == Entries[I].RawWord)
                            Suspect[I] = false;
                if (const auto Tail = SuspectsByReading.find(Reading.substr(Cut)); Tail != SuspectsByReading.end())
                    for (std::size_t I : Tail->second)
                        if (EndsOnABoundary(Word, Entries[I].RawWord))
                            Suspect[I] = false;
            }
        });
    });

    // Most family names are place names: a suspect that names a place stays.
    if (!SuspectsByWord.empty()) {
        ForEachLine(Files.Places, [&](const std::string& Line) {
            ForEachCandidate(Line, [&](std::string_view Word, std::string_view) {
                if (const auto Found = SuspectsByWord.find(Word); Found != SuspectsByWord.end())
                    for (std::size_t I : Found->second)
                        Suspect[I] = false;
            });
        });
    }

    std::vector<TEntry> Kept;
    Kept.reserve(Entries.size());
    for (std::size_t I = 0; I < Entries.size(); ++I) {
        if (!Drop[I] && !Suspect[I]) {
            Kept.push_back(std::move(Entries[I]));
            Kept.back().Kinds = Kinds[I];
        }
    }
    Entries = std::move(Kept);
}

} // namespace namelore
