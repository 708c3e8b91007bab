#pragma once

#include <QString>

// The 47 prefectures of Japan as addresses write them: the names in the order of their national
// codes (JIS X 0401), in kanji and in half-width katakana, and the split of an address at its
// prefecture.

inline constexpr int PrefectureCount = 47;
extern const QString PrefectureNames[PrefectureCount];
extern const QString PrefectureKanaNames[PrefectureCount];

struct TPrefectureSplit
{
    bool Found = false;
    QString Prefecture; // empty when not found
    QString Rest;       // the address without the prefecture, or the whole address
};

// The first prefecture, in table order, that Address begins with, and the rest of the address.
[[nodiscard]] TPrefectureSplit SplitPrefecture(const QString& Address);
[[nodiscard]] TPrefectureSplit SplitPrefectureKana(const QString& Address);

// The national code less one of the prefecture called Name (kanji), -1 for any other text.
[[nodiscard]] int PrefectureIndex(const QString& Name);
