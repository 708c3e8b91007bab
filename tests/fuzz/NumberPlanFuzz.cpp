// The hyphenation stand-in's number plan on any text: its quick path either leaves the input to the
// formatting library or answers exactly as the library does, and a hyphenated number keeps its
// digits in their order.

#include "FuzzSupport.h"
#include "NumberPlan.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Input(reinterpret_cast<const char*>(Data), std::min<std::size_t>(Size, 32));
    std::string Quick;
    const NumberPlan::TAnswer Answer = NumberPlan::QuickHyphen(Input, Quick);
    if (Answer == NumberPlan::TAnswer::Undecided)
        return 0;
    std::string Library;
    const NumberPlan::TAnswer Expected = NumberPlan::LibraryHyphen(Input, Library);
    VX_FUZZ_CHECK(Answer == Expected);
    if (Answer != NumberPlan::TAnswer::Hyphenated)
        return 0;
    VX_FUZZ_CHECK(Quick == Library);
    std::string Digits;
    for (char C : Quick)
        if (C != '-')
            Digits += C;
    VX_FUZZ_CHECK(Digits == Input);
    return 0;
}
