#include "widelayer/UniControlText.h"

#include <gtest/gtest.h>

namespace {

TEST(UniControlText, ShortAndLongHints)
{
    EXPECT_EQ(GetShortHint(QStringLiteral("短い|長い")), QStringLiteral("短い"));
    EXPECT_EQ(GetLongHint(QStringLiteral("短い|長い")), QStringLiteral("長い"));
    EXPECT_EQ(GetShortHint(QStringLiteral("一つ")), QStringLiteral("一つ"));
    EXPECT_EQ(GetLongHint(QStringLiteral("一つ")), QStringLiteral("一つ"));
    EXPECT_EQ(GetLongHint(QStringLiteral("a|b|c")), QStringLiteral("b|c"));
    EXPECT_EQ(GetShortHint(QStringLiteral("|長い")), QString());
}

TEST(UniControlText, HotKeyMarkers)
{
    struct TCase
    {
        const char16_t* Caption;
        bool FarEast;
        const char16_t* Stripped;
    };
    const TCase Cases[] = {
        {u"ファイル(&F)", true, u"ファイル"},
        {u"ファイル(&F)", false, u"ファイル(F)"},
        {u"&File", true, u"File"},
        {u"&File", false, u"File"},
        {u"保存(&S)...", true, u"保存..."},
        {u"A && B", false, u"A  B"},
        // Only a whole group of four goes; a bracket that does not close right after is kept.
        {u"(&AB)", true, u"(AB)"},
        {u"(&", true, u"("},
        {u"&", true, u""},
    };
    for (const TCase& Case : Cases)
        EXPECT_EQ(StripHotkey(QString::fromUtf16(Case.Caption), Case.FarEast), QString::fromUtf16(Case.Stripped))
            << QString::fromUtf16(Case.Caption).toStdString();
}

} // namespace
