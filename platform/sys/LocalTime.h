#pragma once

#include <QDateTime>
#include <optional>

// Local wall-clock times for work that reads several a record, thousands a second. The C library
// looks the zone file up again (a stat of /etc/localtime) for every local conversion; these ask it
// once a minute for the clock and once per calendar day for wall times, and take the full
// conversion wherever the zone changes its offset nearby, so that every date and time they give is
// the one a plain local QDateTime has. The values carry a fixed offset from UTC as their time spec.

// Now: the date and time of QDateTime::currentDateTime().
[[nodiscard]] QDateTime LocalNow();

// The offset from UTC, in seconds, that the local zone keeps from noon the day before Day to noon
// the day after; none where it changes in between.
[[nodiscard]] std::optional<int> SteadyLocalOffset(const QDate& Day);

// Day at At in local time, with the date, time and validity of QDateTime(Day, At).
[[nodiscard]] QDateTime LocalDateTime(const QDate& Day, const QTime& At);
