// Stand-in for Dashrule: inserts the hyphens of a Japanese telephone number where the national
// numbering plan puts them (03-1234-5678, 090-1234-5678, 0120-123-456, 0466-12-3456).
//
// Return codes: 0 hyphenated; 1 not a number this plan knows (the buffer holds the input as it
// came); 2 a bad argument (no number or no buffer).

#include "NumberPlan.h"
#include "platform/sys/FileVersionNote.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

struct TSystemTime
{
    std::uint16_t Year, Month, DayOfWeek, Day, Hour, Minute, Second, Milliseconds;
};
static_assert(sizeof(TSystemTime) == 16);

constexpr int HyphenBufferSize = 14;
constexpr int RcFound = 0;
constexpr int RcNotFound = 1;
constexpr int RcBadArgument = 2;

void CopyOut(const std::string& Text, char* Buffer)
{
    std::memset(Buffer, 0, HyphenBufferSize);
    std::memcpy(Buffer, Text.data(), std::min<std::size_t>(Text.size(), HyphenBufferSize));
}

bool PlainDigits(const std::string& Text)
{
    for (char C : Text)
        if (C < '0' || C > '9')
            return false;
    return true;
}

} // namespace

VX_FILE_VERSION(1, 0, 0, 0);

extern "C" __attribute__((visibility("default"))) int GetHyphen(const char* Number, char* Buffer, const char* DicFolder,
                                                                const TSystemTime* Now)
{
    if (!Number || !Buffer)
        return RcBadArgument;
    const std::string Input(Number);
    CopyOut(Input, Buffer);
    // Only a plain run of digits with its trunk prefix is hyphenated; anything else is not ours to touch.
    if (Input.empty() || Input.size() >= HyphenBufferSize || Input[0] != '0' || !PlainDigits(Input))
        return RcNotFound;
    std::string Formatted;
    if (NumberPlan::Hyphen(Input, Formatted) != NumberPlan::TAnswer::Hyphenated || Formatted.size() >= HyphenBufferSize)
        return RcNotFound;
    CopyOut(Formatted, Buffer);
    return RcFound;
}
