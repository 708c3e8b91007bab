#pragma once

#include <QList>
#include <QString>
#include <array>

class TTable;

// The calls of one directory entry, as the record window's call-history panel lists them.

// A history row belongs to the entry when its trimmed search number begins with the digits of the
// entry's first number, else with those of its second; a number without a digit matches nothing.
[[nodiscard]] bool HistoryRowMatches(const QString& SchTel, const QString& Tel1, const QString& Tel2);

// RecNo of each row of the open RecvHis table that belongs to the entry, newest call first (a tie in
// time: the later row first). None when the first number has no digit. The rows are found through
// the search-number index, one range per number, so the cost follows the entry's calls, not the table.
[[nodiscard]] QList<int> LoadHistoryRecNos(TTable& RecvHis, const QString& Tel1, const QString& Tel2);

// The panel's texts of one row: its position from 1, date "yyyy/mm/dd", time "hh:nn:ss", rank and the
// three select items, trimmed. Empty texts when the row is gone.
using THistoryTexts = std::array<QString, 7>;
[[nodiscard]] THistoryTexts HistoryRowTexts(TTable& RecvHis, int RecNo, int Position);
