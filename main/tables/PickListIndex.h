#pragma once

#include "main/tables/HisInfo.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// A hash kept beside a pick list for a run that touches the list once per line (an import): each
// value is found, moved to the front or added at the end in constant time, where the list itself
// would compare the value with every item. Apply gives the list the order the same moves made one
// by one on the list would have given it.
class TPickListIndex
{
public:
    // List must be loaded; it is read here and changed only by Apply.
    explicit TPickListIndex(THistoryData& List);

    [[nodiscard]] bool Contains(const QString& Text) const;
    // Text to the front, as a new item when absent, else in place of the equal item.
    void MoveToFront(const QString& Text);
    // Text at the end when no item is equal to it.
    void AddIfAbsent(const QString& Text);
    // Whether a move or an addition changed the order since the last Apply.
    [[nodiscard]] bool Changed() const { return FChanged; }
    // Writes the order into the list; items of their own (stamp 0) get the time of the Apply.
    void Apply();

private:
    struct TEntry
    {
        THistoryStruct Item;
        // Where the item stands: below 0 the fronts, the most recent most negative; 0 upwards the
        // items as the list had them, then the added ones.
        qint64 Place = 0;
    };

    THistoryData& FList;
    QList<TEntry> FEntries;
    QHash<QByteArray, qsizetype> FByBytes; // the first entry of each saved form
    qint64 FFronts = 0;
    qint64 FNextEnd = 0;
    bool FChanged = false;
};
