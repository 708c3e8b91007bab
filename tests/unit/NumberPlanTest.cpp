// The hyphenation stand-in's quick path against the formatting library it stands beside: for every
// beginning of a number the plan tells apart, and for lengths and shapes the quick path leaves to
// the library, both ways give the same answer.
#include "NumberPlan.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

using NumberPlan::TAnswer;

std::string Describe(TAnswer Answer, const std::string& Text)
{
    return Answer == TAnswer::Hyphenated ? Text : Answer == TAnswer::Unknown ? "(unknown)" : "(undecided)";
}

// Every four-digit beginning after the trunk prefix, each with a random, an all-zero and an
// all-nine rest, at both lengths the quick path answers.
TEST(NumberPlanTest, TheQuickPathAnswersAsTheLibraryDoes)
{
    std::mt19937 Random(2026);
    int Decided = 0;
    int Hyphenated = 0;
    int Compared = 0;
    for (int Head = 0; Head < 10000; ++Head) {
        for (std::size_t Length : {10u, 11u}) {
            for (int Rest = 0; Rest < 3; ++Rest) {
                std::string Number = "0" + std::to_string(10000 + Head).substr(1);
                while (Number.size() < Length)
                    Number += Rest == 0 ? char('0' + Random() % 10) : Rest == 1 ? '0' : '9';
                std::string Quick;
                std::string Library;
                const TAnswer QuickAnswer = NumberPlan::QuickHyphen(Number, Quick);
                if (QuickAnswer == TAnswer::Undecided)
                    continue;
                ++Decided;
                Hyphenated += QuickAnswer == TAnswer::Hyphenated;
                const TAnswer LibraryAnswer = NumberPlan::LibraryHyphen(Number, Library);
                ++Compared;
                ASSERT_EQ(Describe(QuickAnswer, Quick), Describe(LibraryAnswer, Library)) << Number;
            }
        }
    }
    // The numbers a directory holds are the quick path's to answer, else it would not be quick.
    EXPECT_GT(Decided, 50000);
    EXPECT_GT(Hyphenated, 15000);
    EXPECT_EQ(Compared, Decided);
}

TEST(NumberPlanTest, EveryOtherInputIsTheLibrarysToAnswer)
{
    std::mt19937 Random(7);
    for (const char* Fixed : {"0101234567", "01012345678", "0012345678", "00123456789", "0312345678", "09011234567",
                              "0120123456", "0800123456", "0570123456", "0", "03", "031234567", "0312345678901"}) {
        std::string Quick;
        std::string Library;
        const TAnswer Both = NumberPlan::Hyphen(Fixed, Quick);
        ASSERT_NE(Both, TAnswer::Undecided) << Fixed;
        EXPECT_EQ(Describe(Both, Quick), Describe(NumberPlan::LibraryHyphen(Fixed, Library), Library)) << Fixed;
    }
    for (int I = 0; I < 3000; ++I) {
        std::string Number = "0";
        const std::size_t Length = 2 + Random() % 12;
        while (Number.size() < Length)
            Number += char('0' + Random() % 10);
        std::string Quick;
        std::string Library;
        const TAnswer Both = NumberPlan::Hyphen(Number, Quick);
        ASSERT_EQ(Describe(Both, Quick), Describe(NumberPlan::LibraryHyphen(Number, Library), Library)) << Number;
    }
    std::string Out;
    EXPECT_EQ(NumberPlan::QuickHyphen("0101234567", Out), TAnswer::Undecided) << "the international prefix";
    EXPECT_EQ(NumberPlan::QuickHyphen("031234567", Out), TAnswer::Undecided);
    EXPECT_EQ(NumberPlan::QuickHyphen("03123456a8", Out), TAnswer::Undecided);
}

} // namespace
