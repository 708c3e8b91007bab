#include "NumberPlan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <phonenumbers/phonemetadata.pb.h>
#include <phonenumbers/phonenumberutil.h>
#include <vector>

// The metadata the library parses at its start, as its build compiles it in.
namespace i18n::phonenumbers {
int metadata_size();
const void* metadata_get();
} // namespace i18n::phonenumbers

namespace NumberPlan {

namespace {

std::string DigitsOf(const std::string& Text)
{
    std::string Digits;
    for (char C : Text)
        if (C >= '0' && C <= '9')
            Digits += C;
    return Digits;
}

// ---- patterns over the ten digits

// A pattern of the metadata as a deterministic automaton over the digits. The metadata's patterns
// use digits, "\d", classes, groups, alternation and counted repeats; a pattern with anything else
// is not read, and every question to it stays undecided.
class TDigitPattern
{
public:
    explicit TDigitPattern(const std::string& Source);
    [[nodiscard]] bool Usable() const { return !FStates.empty(); }
    // The whole text matches.
    [[nodiscard]] bool FullMatch(const std::string& Text) const { return Run(Text, false); }
    // Some beginning of the text matches, the empty one included.
    [[nodiscard]] bool MatchesAPrefix(const std::string& Text) const { return Run(Text, true); }

private:
    struct TNode
    {
        std::uint16_t Digits = 0; // the digits this node's edge takes; 0 = an empty edge
        int Next = -1;
        int Other = -1; // a second empty edge
    };
    struct TTree
    {
        enum
        {
            Set,
            Sequence,
            Choice,
            Repeat
        } Kind = Set;
        std::uint16_t Digits = 0;
        std::vector<TTree> Parts;
        int Min = 1;
        int Max = 1; // -1: no limit
    };
    struct TState
    {
        std::array<int, 10> Next{};
        bool Accepting = false;
    };

    // Recursive descent; false on anything this reader does not know.
    [[nodiscard]] bool Run(const std::string& Text, bool AnyPrefix) const;
    bool ParseChoice(TTree& Out);
    bool ParseSequence(TTree& Out);
    bool ParseRepeat(TTree& Out);
    bool ParseAtom(TTree& Out);
    bool ParseNumber(int& Out);
    std::pair<int, int> Build(const TTree& Tree);
    int AddNode(std::uint16_t Digits, int Next, int Other = -1);
    void Closure(std::vector<int>& Set) const;

    std::string FSource;
    std::size_t FAt = 0;
    std::vector<TNode> FNodes;
    int FFinal = -1;
    std::vector<TState> FStates; // state 0 is the start; -1 in Next is the dead state
};

constexpr std::uint16_t AllDigits = 0x3FF;
constexpr std::size_t MostStates = 20000;

TDigitPattern::TDigitPattern(const std::string& Source) : FSource(Source)
{
    TTree Tree;
    if (!ParseChoice(Tree) || FAt != FSource.size())
        return;
    const auto [Start, End] = Build(Tree);
    FFinal = End;
    // The subsets of nodes reachable after each digit string, numbered as they are met.
    std::map<std::vector<int>, int> Numbers;
    std::vector<std::vector<int>> Pending;
    std::vector<int> First{Start};
    Closure(First);
    Numbers.emplace(First, 0);
    Pending.push_back(First);
    std::vector<TState> States(1);
    for (std::size_t Index = 0; Index < Pending.size(); ++Index) {
        const std::vector<int> Set = Pending[Index];
        States[Index].Accepting = std::find(Set.begin(), Set.end(), FFinal) != Set.end();
        for (int Digit = 0; Digit < 10; ++Digit) {
            std::vector<int> Moved;
            for (int Node : Set)
                if (FNodes[static_cast<std::size_t>(Node)].Digits & (1u << Digit))
                    Moved.push_back(FNodes[static_cast<std::size_t>(Node)].Next);
            if (Moved.empty()) {
                States[Index].Next[static_cast<std::size_t>(Digit)] = -1;
                continue;
            }
            Closure(Moved);
            auto [Found, Added] = Numbers.emplace(Moved, static_cast<int>(Pending.size()));
            if (Added) {
                if (Pending.size() >= MostStates)
                    return;
                Pending.push_back(Moved);
                States.emplace_back();
            }
            States[Index].Next[static_cast<std::size_t>(Digit)] = Found->second;
        }
    }
    FStates = std::move(States);
}

void TDigitPattern::Closure(std::vector<int>& Set) const
{
    std::vector<bool> Seen(FNodes.size(), false);
    std::vector<int> Stack(Set.begin(), Set.end());
    Set.clear();
    while (!Stack.empty()) {
        const int Node = Stack.back();
        Stack.pop_back();
        if (Node < 0 || Seen[static_cast<std::size_t>(Node)])
            continue;
        Seen[static_cast<std::size_t>(Node)] = true;
        Set.push_back(Node);
        const TNode& Each = FNodes[static_cast<std::size_t>(Node)];
        if (Each.Digits == 0) {
            Stack.push_back(Each.Next);
            Stack.push_back(Each.Other);
        }
    }
    std::sort(Set.begin(), Set.end());
}

int TDigitPattern::AddNode(std::uint16_t Digits, int Next, int Other)
{
    FNodes.push_back({Digits, Next, Other});
    return static_cast<int>(FNodes.size()) - 1;
}

// Builds the tree's nodes; answers its entry and its exit, an empty node whose Next is still open.
std::pair<int, int> TDigitPattern::Build(const TTree& Tree)
{
    switch (Tree.Kind) {
    case TTree::Set: {
        const int End = AddNode(0, -1);
        return {AddNode(Tree.Digits, End), End};
    }
    case TTree::Sequence: {
        const int Start = AddNode(0, -1);
        int Open = Start;
        for (const TTree& Part : Tree.Parts) {
            const auto [In, Out] = Build(Part);
            FNodes[static_cast<std::size_t>(Open)].Next = In;
            Open = Out;
        }
        return {Start, Open};
    }
    case TTree::Choice: {
        const int End = AddNode(0, -1);
        int Start = -1;
        for (const TTree& Part : Tree.Parts) {
            const auto [In, Out] = Build(Part);
            FNodes[static_cast<std::size_t>(Out)].Next = End;
            Start = AddNode(0, In, Start);
        }
        return {Start, End};
    }
    case TTree::Repeat: {
        const int Start = AddNode(0, -1);
        int Open = Start;
        const TTree& Part = Tree.Parts.front();
        for (int I = 0; I < Tree.Min; ++I) {
            const auto [In, Out] = Build(Part);
            FNodes[static_cast<std::size_t>(Open)].Next = In;
            Open = Out;
        }
        const int End = AddNode(0, -1);
        if (Tree.Max < 0) {
            const auto [In, Out] = Build(Part);
            FNodes[static_cast<std::size_t>(Open)].Next = In;
            FNodes[static_cast<std::size_t>(Open)].Other = End;
            FNodes[static_cast<std::size_t>(Out)].Next = In;
            FNodes[static_cast<std::size_t>(Out)].Other = End;
            return {Start, End};
        }
        for (int I = Tree.Min; I < Tree.Max; ++I) {
            const auto [In, Out] = Build(Part);
            FNodes[static_cast<std::size_t>(Open)].Next = In;
            FNodes[static_cast<std::size_t>(Open)].Other = End;
            Open = Out;
        }
        FNodes[static_cast<std::size_t>(Open)].Next = End;
        return {Start, End};
    }
    }
    return {-1, -1};
}

bool TDigitPattern::ParseChoice(TTree& Out)
{
    Out.Kind = TTree::Choice;
    do {
        TTree Part;
        if (!ParseSequence(Part))
            return false;
        Out.Parts.push_back(std::move(Part));
    } while (FAt < FSource.size() && FSource[FAt] == '|' && ++FAt);
    return true;
}

bool TDigitPattern::ParseSequence(TTree& Out)
{
    Out.Kind = TTree::Sequence;
    while (FAt < FSource.size() && FSource[FAt] != '|' && FSource[FAt] != ')') {
        TTree Part;
        if (!ParseRepeat(Part))
            return false;
        Out.Parts.push_back(std::move(Part));
    }
    return true;
}

bool TDigitPattern::ParseNumber(int& Out)
{
    const std::size_t Start = FAt;
    Out = 0;
    while (FAt < FSource.size() && FSource[FAt] >= '0' && FSource[FAt] <= '9' && Out < 1000)
        Out = Out * 10 + (FSource[FAt++] - '0');
    return FAt > Start && Out < 1000;
}

bool TDigitPattern::ParseRepeat(TTree& Out)
{
    TTree Atom;
    if (!ParseAtom(Atom))
        return false;
    while (FAt < FSource.size()) {
        int Min = 0;
        int Max = -1;
        const char C = FSource[FAt];
        if (C == '?')
            Max = 1;
        else if (C == '+')
            Min = 1;
        else if (C == '{') {
            ++FAt;
            if (!ParseNumber(Min))
                return false;
            Max = Min;
            if (FAt < FSource.size() && FSource[FAt] == ',') {
                ++FAt;
                Max = -1;
                if (FAt < FSource.size() && FSource[FAt] != '}' && !ParseNumber(Max))
                    return false;
            }
            if (FAt >= FSource.size() || FSource[FAt] != '}' || (Max >= 0 && Max < Min))
                return false;
        } else if (C != '*')
            break;
        ++FAt;
        // A lazy or possessive mark changes where a match ends, never which texts match.
        if (FAt < FSource.size() && FSource[FAt] == '?')
            ++FAt;
        else if (FAt < FSource.size() && FSource[FAt] == '+')
            return false;
        TTree Repeat;
        Repeat.Kind = TTree::Repeat;
        Repeat.Min = Min;
        Repeat.Max = Max;
        Repeat.Parts.push_back(std::move(Atom));
        Atom = std::move(Repeat);
    }
    Out = std::move(Atom);
    return true;
}

bool TDigitPattern::ParseAtom(TTree& Out)
{
    if (FAt >= FSource.size())
        return false;
    const char C = FSource[FAt++];
    if (C >= '0' && C <= '9') {
        Out.Digits = static_cast<std::uint16_t>(1u << (C - '0'));
        return true;
    }
    if (C == '\\') {
        if (FAt >= FSource.size() || FSource[FAt++] != 'd')
            return false;
        Out.Digits = AllDigits;
        return true;
    }
    if (C == '[') {
        if (FAt < FSource.size() && FSource[FAt] == '^')
            return false;
        while (FAt < FSource.size() && FSource[FAt] != ']') {
            char From = FSource[FAt++];
            if (From == '\\') {
                if (FAt >= FSource.size() || FSource[FAt++] != 'd')
                    return false;
                Out.Digits |= AllDigits;
                continue;
            }
            char To = From;
            if (FAt + 1 < FSource.size() && FSource[FAt] == '-' && FSource[FAt + 1] != ']') {
                To = FSource[FAt + 1];
                FAt += 2;
            }
            if (From < '0' || To > '9' || To < From)
                return false;
            for (char D = From; D <= To; ++D)
                Out.Digits |= static_cast<std::uint16_t>(1u << (D - '0'));
        }
        return FAt++ < FSource.size() && Out.Digits != 0;
    }
    if (C == '(') {
        if (FAt < FSource.size() && FSource[FAt] == '?') {
            if (FAt + 1 >= FSource.size() || FSource[FAt + 1] != ':')
                return false;
            FAt += 2;
        }
        if (!ParseChoice(Out))
            return false;
        return FAt < FSource.size() && FSource[FAt++] == ')';
    }
    return false;
}

bool TDigitPattern::Run(const std::string& Text, bool AnyPrefix) const
{
    int State = 0;
    for (char C : Text) {
        if (AnyPrefix && FStates[static_cast<std::size_t>(State)].Accepting)
            return true;
        if (C < '0' || C > '9')
            return false;
        State = FStates[static_cast<std::size_t>(State)].Next[static_cast<std::size_t>(C - '0')];
        if (State < 0)
            return false;
    }
    return FStates[static_cast<std::size_t>(State)].Accepting;
}

// ---- the plan

// One kind of number: its lengths (none listed: any length the plan allows) and its pattern.
struct TNumberKind
{
    bool Absent = false; // the plan has no such numbers
    std::vector<int> Lengths;
    std::unique_ptr<TDigitPattern> Pattern;
    [[nodiscard]] bool Matches(const std::string& Number) const
    {
        if (Absent)
            return false;
        if (!Lengths.empty() && std::find(Lengths.begin(), Lengths.end(), int(Number.size())) == Lengths.end())
            return false;
        return Pattern->FullMatch(Number);
    }
};

// A format of the plan: where its groups may begin, the groups' digit counts, and the text that
// puts them together for a national number ("0$1-$2-$3").
struct TFormat
{
    std::unique_ptr<TDigitPattern> Leading;  // null: every number
    std::vector<std::pair<int, int>> Groups; // fewest and most digits of each group
    std::unique_ptr<TDigitPattern> Pattern;
    std::string Template;
};

// Reads a format's pattern when it is a row of digit groups, "(\d{4})(\d{2})(\d{3,4})".
bool ReadGroups(const std::string& Source, std::vector<std::pair<int, int>>& Groups)
{
    std::size_t At = 0;
    auto Number = [&](int& Out) {
        const std::size_t Start = At;
        Out = 0;
        while (At < Source.size() && Source[At] >= '0' && Source[At] <= '9' && Out < 100)
            Out = Out * 10 + (Source[At++] - '0');
        return At > Start && Out < 100;
    };
    while (At < Source.size()) {
        if (Source.compare(At, 3, "(\\d") != 0)
            return false;
        At += 3;
        int Min = 1;
        int Max = 1;
        if (At < Source.size() && Source[At] == '{') {
            ++At;
            if (!Number(Min))
                return false;
            Max = Min;
            if (At < Source.size() && Source[At] == ',') {
                ++At;
                if (!Number(Max) || Max < Min)
                    return false;
            }
            if (At >= Source.size() || Source[At++] != '}')
                return false;
        }
        if (At >= Source.size() || Source[At++] != ')' || Min < 1)
            return false;
        Groups.emplace_back(Min, Max);
    }
    return !Groups.empty() && Groups.size() <= 9;
}

// The national format's text: the first group reference of the format takes the national prefix
// rule, whose own "$1" stands for that reference. Only references and plain characters are read.
bool ReadTemplate(const std::string& Format, const std::string& PrefixRule, std::string& Out)
{
    auto Plain = [](const std::string& Text) {
        for (std::size_t I = 0; I < Text.size(); ++I)
            if (Text[I] == '\\' ||
                (Text[I] == '$' && (I + 1 >= Text.size() || Text[I + 1] < '0' || Text[I + 1] > '9' ||
                                    (I + 2 < Text.size() && Text[I + 2] >= '0' && Text[I + 2] <= '9'))))
                return false;
        return true;
    };
    if (!Plain(Format) || !Plain(PrefixRule))
        return false;
    Out = Format;
    if (PrefixRule.empty())
        return true;
    const std::size_t First = Format.find('$');
    if (First == std::string::npos)
        return true;
    std::string Rule;
    for (std::size_t I = 0; I < PrefixRule.size(); ++I) {
        if (PrefixRule[I] == '$') {
            if (PrefixRule[I + 1] != '1')
                return false;
            Rule += Format.substr(First, 2);
            ++I;
        } else {
            Rule += PrefixRule[I];
        }
    }
    Out = Format.substr(0, First) + Rule + Format.substr(First + 2);
    return true;
}

struct TPlan
{
    bool Usable = false;
    std::string InternationalPrefix;
    TNumberKind General;
    std::vector<TNumberKind> Kinds;
    std::vector<TFormat> Formats;
    int ShortestNational = 0;
};

bool ReadKind(const i18n::phonenumbers::PhoneNumberDesc& Desc, TNumberKind& Kind)
{
    for (int Length : Desc.possible_length())
        Kind.Lengths.push_back(Length);
    if (Kind.Lengths.size() == 1 && Kind.Lengths.front() == -1) {
        Kind.Absent = true;
        return true;
    }
    if (Desc.national_number_pattern().empty())
        return false;
    Kind.Pattern = std::make_unique<TDigitPattern>(Desc.national_number_pattern());
    return Kind.Pattern->Usable();
}

// Reads the Japanese part of the library's metadata. The quick path follows the library only as
// far as the plan is as this reader expects it: a national prefix "0" stripped as it is, possible
// lengths for the whole plan, formats of plain digit groups.
TPlan ReadPlan()
{
    TPlan Plan;
    i18n::phonenumbers::PhoneMetadataCollection Collection;
    if (!Collection.ParseFromArray(i18n::phonenumbers::metadata_get(), i18n::phonenumbers::metadata_size()))
        return Plan;
    const i18n::phonenumbers::PhoneMetadata* Japan = nullptr;
    for (const auto& Each : Collection.metadata())
        if (Each.id() == "JP")
            Japan = &Each;
    if (!Japan || Japan->national_prefix() != "0" || Japan->national_prefix_for_parsing() != "0" ||
        !Japan->national_prefix_transform_rule().empty() || Japan->international_prefix() != "010" ||
        Japan->general_desc().possible_length_size() == 0 || !ReadKind(Japan->general_desc(), Plan.General))
        return Plan;
    Plan.InternationalPrefix = Japan->international_prefix();
    Plan.ShortestNational = *std::min_element(Plan.General.Lengths.begin(), Plan.General.Lengths.end());
    for (const auto* Desc :
         {&Japan->premium_rate(), &Japan->toll_free(), &Japan->shared_cost(), &Japan->voip(), &Japan->personal_number(),
          &Japan->pager(), &Japan->uan(), &Japan->voicemail(), &Japan->fixed_line(), &Japan->mobile()}) {
        TNumberKind Kind;
        if (!ReadKind(*Desc, Kind))
            return Plan;
        Plan.Kinds.push_back(std::move(Kind));
    }
    for (const auto& Each : Japan->number_format()) {
        TFormat Format;
        if (Each.leading_digits_pattern_size() > 0) {
            Format.Leading =
                std::make_unique<TDigitPattern>(Each.leading_digits_pattern(Each.leading_digits_pattern_size() - 1));
            if (!Format.Leading->Usable())
                return Plan;
        }
        Format.Pattern = std::make_unique<TDigitPattern>(Each.pattern());
        if (!Format.Pattern->Usable() || !ReadGroups(Each.pattern(), Format.Groups) ||
            !ReadTemplate(Each.format(), Each.national_prefix_formatting_rule(), Format.Template))
            return Plan;
        Plan.Formats.push_back(std::move(Format));
    }
    Plan.Usable = true;
    return Plan;
}

const TPlan& Plan()
{
    static const TPlan Instance = ReadPlan();
    return Instance;
}

// The first match of the groups from the start of Text, trying the longer group first as a
// backtracking matcher does; the digit counts of each group, or nothing.
std::optional<std::vector<int>> MatchGroups(const std::vector<std::pair<int, int>>& Groups, std::size_t Available)
{
    std::vector<int> Counts(Groups.size());
    auto Try = [&](auto& Self, std::size_t Group, std::size_t Left) -> bool {
        if (Group == Groups.size())
            return true;
        for (int Count = Groups[Group].second; Count >= Groups[Group].first; --Count) {
            if (static_cast<std::size_t>(Count) > Left)
                continue;
            Counts[Group] = Count;
            if (Self(Self, Group + 1, Left - static_cast<std::size_t>(Count)))
                return true;
        }
        return false;
    };
    if (!Try(Try, 0, Available))
        return std::nullopt;
    return Counts;
}

// The format's text laid over every match of its groups along the number, the rest copied.
std::string ApplyFormat(const TFormat& Format, const std::string& Number)
{
    std::string Out;
    std::size_t At = 0;
    while (At < Number.size()) {
        const auto Counts = MatchGroups(Format.Groups, Number.size() - At);
        if (!Counts) {
            Out += Number[At++];
            continue;
        }
        std::vector<std::string> Parts;
        for (int Count : *Counts) {
            Parts.push_back(Number.substr(At, static_cast<std::size_t>(Count)));
            At += static_cast<std::size_t>(Count);
        }
        for (std::size_t I = 0; I < Format.Template.size(); ++I) {
            if (Format.Template[I] == '$') {
                const std::size_t Group = static_cast<std::size_t>(Format.Template[++I] - '0');
                if (Group >= 1 && Group <= Parts.size())
                    Out += Parts[Group - 1];
            } else {
                Out += Format.Template[I];
            }
        }
    }
    return Out;
}

} // namespace

TAnswer LibraryHyphen(const std::string& Digits, std::string& Out)
{
    using i18n::phonenumbers::PhoneNumber;
    using i18n::phonenumbers::PhoneNumberUtil;
    const PhoneNumberUtil* Util = PhoneNumberUtil::GetInstance();
    PhoneNumber Parsed;
    if (Util->Parse(Digits, "JP", &Parsed) != PhoneNumberUtil::NO_PARSING_ERROR)
        return TAnswer::Unknown;
    if (!Util->IsValidNumberForRegion(Parsed, "JP"))
        return TAnswer::Unknown;
    std::string Formatted;
    Util->Format(Parsed, PhoneNumberUtil::NATIONAL, &Formatted);
    // The library drops a leading 0 it does not expect; a result whose digits differ is refused.
    if (DigitsOf(Formatted) != Digits)
        return TAnswer::Unknown;
    Out = Formatted;
    return TAnswer::Hyphenated;
}

TAnswer QuickHyphen(const std::string& Digits, std::string& Out)
{
    const TPlan& P = Plan();
    // A number that starts like the international prefix or with two zeros is read otherwise by
    // the library, and one outside the usual lengths may keep its prefix: those it answers itself.
    if (!P.Usable || (Digits.size() != 10 && Digits.size() != 11) || Digits[0] != '0' || Digits[1] == '0' ||
        Digits.compare(0, P.InternationalPrefix.size(), P.InternationalPrefix) == 0 || DigitsOf(Digits) != Digits ||
        static_cast<int>(Digits.size()) - 1 < P.ShortestNational)
        return TAnswer::Undecided;
    // The national prefix comes off: the whole number cannot fit the plan with it, and what is left
    // has a length the plan allows.
    const std::string National = Digits.substr(1);
    if (std::find(P.General.Lengths.begin(), P.General.Lengths.end(), int(National.size())) ==
            P.General.Lengths.end() ||
        P.General.Matches(Digits))
        return TAnswer::Undecided;
    if (!P.General.Matches(National))
        return TAnswer::Unknown;
    bool Valid = false;
    for (const TNumberKind& Kind : P.Kinds)
        Valid = Valid || Kind.Matches(National);
    if (!Valid)
        return TAnswer::Unknown;
    for (const TFormat& Format : P.Formats) {
        if (Format.Leading && !Format.Leading->MatchesAPrefix(National))
            continue;
        if (!Format.Pattern->FullMatch(National))
            continue;
        const std::string Formatted = ApplyFormat(Format, National);
        if (DigitsOf(Formatted) != Digits)
            return TAnswer::Unknown;
        Out = Formatted;
        return TAnswer::Hyphenated;
    }
    // Without a format the library gives the national number as it is, without its prefix.
    return TAnswer::Unknown;
}

TAnswer Hyphen(const std::string& Digits, std::string& Out)
{
    const TAnswer Quick = QuickHyphen(Digits, Out);
    return Quick == TAnswer::Undecided ? LibraryHyphen(Digits, Out) : Quick;
}

} // namespace NumberPlan
