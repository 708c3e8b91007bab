#pragma once

#include "transfer/print/PrintItems.h"

#include <QString>

class TTable;

// The field values of one record, as the cell texts read them.
class TFieldValues
{
public:
    virtual ~TFieldValues() = default;
    [[nodiscard]] virtual QString Text(const QString& Field) const = 0;
    // A date-time field in days since 1899-12-30; 0 for none.
    [[nodiscard]] virtual double DateTime(const QString& Field) const = 0;
};

// The current record of an open table.
class TTableFieldValues final : public TFieldValues
{
public:
    explicit TTableFieldValues(TTable& Table) : FTable(Table) {}
    [[nodiscard]] QString Text(const QString& Field) const override;
    [[nodiscard]] double DateTime(const QString& Field) const override;

private:
    TTable& FTable;
};

// The text of a call-history item of Row; Entry is the caller's directory record (null when the
// row has none), which items 14 to 25 print. Item 1, the running number, is the caller's.
[[nodiscard]] QString HistoryItemText(int ItemNo, const TFieldValues& Row, const TFieldValues* Entry, bool IgnoreTdfkn);
// The text of a directory item of Entry.
[[nodiscard]] QString MeiboItemText(int ItemNo, const TFieldValues& Entry, bool IgnoreTdfkn);
// Whether a history item reads the caller's directory record.
[[nodiscard]] inline bool NeedsDirectoryRecord(int ItemNo)
{
    return ItemNo >= 14 && ItemNo <= 25;
}

// The header caption of an item: a short caption for some, else the item's name, trimmed; nothing
// for item 0.
[[nodiscard]] QString GetHeaderText(int Source, int ItemNo, const QList<PrintItem>& Items);
