#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

struct TDeviceHistoryEntry;
class TDMVxRelvo16;

// One call from the adapter's own log, as the import dialog keeps it: the number in its display
// form (hyphenated, or the code letter), the date and time fields as the adapter wrote them.
struct THistoryImportEntry
{
    QString Number;
    QString Date;
    QString Time;
};

// The dialog's copy of a record: an ordinary number goes through Hyphenate, a code letter stays.
[[nodiscard]] THistoryImportEntry HistoryImportEntryOf(const TDeviceHistoryEntry& Raw,
                                                       const std::function<QString(const QString&)>& Hyphenate);
// "yyyy/mm/dd\thh:mm:ss\tnumber\t"; fields of another length are shown as they came, a code letter
// as its word.
[[nodiscard]] QString HistoryImportLine(const THistoryImportEntry& Entry);
// The call's time in days: a date or time part that is not eight or six characters of a real date or
// time counts as 0, so a broken field never stops a save half way.
[[nodiscard]] double HistoryImportDateTime(const THistoryImportEntry& Entry);

inline const QString HistoryImportCounterFull = QStringLiteral(
    "データ管理カウンタが一杯になり登録できませんでした  \r\n最適化処理を行うことにより登録できるようになります  ");

struct THistoryImportResult
{
    enum class EStop
    {
        None,
        CounterFull,
        RowsFull,
        NotOpened
    };
    int Saved = 0;
    EStop Stop = EStop::None;
};

// Appends each entry to the call history as a new caller with no names, after the last RecNo. Stops
// at the RecNo and row limits, keeping the rows written so far; a row that cannot be posted is
// skipped. The table is closed again whatever happens.
[[nodiscard]] THistoryImportResult SaveHistoryImport(TDMVxRelvo16& Module, const QList<THistoryImportEntry>& Entries,
                                                     const QDateTime& Now);
