#include "transfer/common/TelRules.h"

#include <gtest/gtest.h>

namespace {

struct TClockGuard
{
    explicit TClockGuard(QDate Day)
    {
        SetTelRulesClock([Day] { return Day; });
    }
    ~TClockGuard() { SetTelRulesClock({}); }
};

// Both rules in the order every caller applies them.
QString UpToDate(const char* Number)
{
    return ConvertExchange0720(ConvertOldMobileNumber(QString::fromLatin1(Number)));
}

TEST(TelRulesTest, OldNumbersAreBroughtUpToDateAndOthersStay)
{
    const TClockGuard Clock(QDate(2026, 12, 9));
    const struct
    {
        const char* Number;
        const char* Expected;
    } Cases[] = {
        {"0101234567", "09011234567"},
        {"0301234567", "09031234567"},
        {"0801234567", "09081234567"},
        {"0501234567", "07051234567"},
        {"0601234567", "07061234567"}, // the "060" rule wins over "06"
        {"061234567", "0661234567"},
        {"06123456", "066123456"},
        {"0612345678", "0612345678"},
        {"0901234567", "0901234567"},
        {"0701234567", "0701234567"},
        {"010-123-4567", "010-123-4567"},
        {"010", "010"},
        {"0720", "0720"},
        {"07201", "07281"},
        {"0720123456", "0728123456"},
        {"", ""},
    };
    for (const auto& Case : Cases) {
        EXPECT_EQ(UpToDate(Case.Number), QString::fromLatin1(Case.Expected)) << Case.Number;
    }
}

TEST(TelRulesTest, ExchangeChangesOnlyFromTheYear2000On)
{
    {
        const TClockGuard Clock(QDate(1999, 12, 31));
        EXPECT_EQ(ConvertExchange0720(QStringLiteral("0720123456")), QStringLiteral("0720123456"));
    }
    const TClockGuard Clock(QDate(2000, 1, 1));
    EXPECT_EQ(ConvertExchange0720(QStringLiteral("0720123456")), QStringLiteral("0728123456"));
}

} // namespace
