#pragma once

// The Japanese numbering plan of libphonenumber's metadata, answered two ways: by the library
// itself (a full parse, validation and formatting of every number, some tens of microseconds a
// number), and by a quick path that runs the same metadata's patterns as automata over the ten
// digits and settles the plain numbers a directory holds in well under a microsecond. The quick
// path answers only where it follows the library step for step; everything else goes to the
// library, so both ways always give the same answer.

#include <string>

namespace NumberPlan {

enum class TAnswer
{
    Hyphenated, // Out holds the number with its hyphens
    Unknown,    // not a number of the plan, or one whose digits the library would change
    Undecided,  // the quick path does not answer this input; ask the library
};

// The library's answer for a run of digits with its trunk prefix.
[[nodiscard]] TAnswer LibraryHyphen(const std::string& Digits, std::string& Out);

// The quick path; never Undecided for ten- and eleven-digit numbers that begin with one "0" and
// not with the international prefix "010", as long as the metadata stays within what it reads.
[[nodiscard]] TAnswer QuickHyphen(const std::string& Digits, std::string& Out);

// Both ways in one: the quick path, and the library where it stays undecided.
[[nodiscard]] TAnswer Hyphen(const std::string& Digits, std::string& Out);

} // namespace NumberPlan
