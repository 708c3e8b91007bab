#pragma once

// One line of an SKK dictionary: "reading /word;annotation/word/.../". The separators are ASCII,
// which never occur inside a multibyte EUC character, so the same split holds for the file's own
// bytes and for the line once converted: the pieces of both correspond one to one.

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace namelore {

template <class S> struct TSkkLine
{
    S Reading;
    std::vector<S> Candidates; // each "word" or "word;annotation"
};

// False for a comment, an empty line or one without " /" after a reading.
template <class S> bool SplitSkkLine(const S& Line, TSkkLine<S>& Out)
{
    using C = typename S::value_type;
    Out.Candidates.clear();
    if (Line.empty() || Line[0] == C(';'))
        return false;
    const S Separator{C(' '), C('/')};
    const auto Space = Line.find(Separator);
    if (Space == S::npos || Space == 0)
        return false;
    Out.Reading = Line.substr(0, Space);
    auto At = Space + 2;
    while (At < Line.size()) {
        const auto Slash = Line.find(C('/'), At);
        if (Slash == S::npos)
            break;
        Out.Candidates.push_back(Line.substr(At, Slash - At));
        At = Slash + 1;
    }
    return true;
}

// The word of a candidate and its annotation (empty without one).
template <class S> void SplitCandidate(const S& Candidate, S& Word, S& Annotation)
{
    using C = typename S::value_type;
    const auto Semicolon = Candidate.find(C(';'));
    Word = Candidate.substr(0, Semicolon);
    Annotation = Semicolon == S::npos ? S() : Candidate.substr(Semicolon + 1);
}

// The reading of a line read as bytes, or empty for a comment or a line that is no entry.
inline std::string_view ReadingOf(std::string_view Line)
{
    if (Line.empty() || Line[0] == ';')
        return {};
    const auto Space = Line.find(" /");
    return Space == std::string_view::npos ? std::string_view() : Line.substr(0, Space);
}

// Calls Each(Word, Annotation) with views into Line for every candidate of an entry's line.
template <class F> void ForEachCandidate(std::string_view Line, F Each)
{
    const std::string_view Reading = ReadingOf(Line);
    if (Reading.empty())
        return;
    std::size_t At = Reading.size() + 2;
    while (At < Line.size()) {
        const auto Slash = Line.find('/', At);
        if (Slash == std::string_view::npos)
            break;
        const std::string_view Candidate = Line.substr(At, Slash - At);
        const auto Semicolon = Candidate.find(';');
        Each(Candidate.substr(0, Semicolon),
             Semicolon == std::string_view::npos ? std::string_view() : Candidate.substr(Semicolon + 1));
        At = Slash + 1;
    }
}

// Calls Each(Line) with every line of the file, a CR before the line feed removed.
template <class F> bool ForEachLine(const std::string& Path, F Each)
{
    std::ifstream In(Path, std::ios::binary);
    if (!In)
        return false;
    std::string Line;
    while (std::getline(In, Line)) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        Each(Line);
    }
    return true;
}

} // namespace namelore
