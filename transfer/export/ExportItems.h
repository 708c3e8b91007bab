#pragma once

#include "platform/db/Table.h"
#include "transfer/print/ListItemText.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

// The export items of the two sources, the column layout and the lines of an exported text file.

inline constexpr int ExportSourceHistory = 0;
inline constexpr int ExportSourceMeibo = 1;
inline constexpr int ExportItemCount = 28;
inline constexpr int MaxExportEntries = 100;

// One entry of a column layout: ColumnNo > 0 starts that column (1-based), 0 joins the column above.
struct TExportLayoutEntry
{
    std::int32_t ColumnNo = 0;
    std::int32_t ItemIndex = 0;
    friend bool operator==(const TExportLayoutEntry&, const TExportLayoutEntry&) = default;
};
using TExportLayout = QList<TExportLayoutEntry>;

// Section [FILE EXPORT]: what is exported and how values are written.
struct TExportSettings
{
    int Source = ExportSourceHistory;
    int Range = 0; // 0 rows chosen in the list, 1 a position range, 2 all
    int Type = 0;  // 0 encrypted self-restoring file, 1 plain text
    bool OutHeader = true;
    bool BindDblQuote = false;
    bool EditTelHyphen = true;
    bool EditPosHyphen = true;
    bool EditDate = false;
    bool EditTime = false;
};
// The program-wide values the settings window edits and the list windows read.
TExportSettings& ExportSettings();

// The names of a source's 28 items; the history's items 9 to 11 take the select-item titles.
[[nodiscard]] QStringList ExportItemNames(int Source, const QStringList& SelectTitles);
// A name of Names by index; empty outside 0 to 27.
[[nodiscard]] QString ExportItemName(const QStringList& Names, int Index);

// Item names joined: "," before a column's first item, "＋" before a joined one; never quoted.
[[nodiscard]] QString BuildHeaderLine(const TExportLayout& Layout, const QStringList& Names);
// One field per column, each the values of its items run together; with BindDblQuote every field
// is quoted and a quote inside it doubled, so that a reader that honours quotes gets the value back.
// Columns, when given, takes each field as it was before quoting.
[[nodiscard]] QString BuildRecordLine(const TExportLayout& Layout, const std::function<QString(int)>& ItemValue,
                                      bool BindDblQuote, QStringList* Columns = nullptr);

// The value of one item of the current history row; Entry is the caller's directory record, null
// when there is none (items 12 to 27 are then empty).
[[nodiscard]] QString FormatHistoryItem(int Index, const TFieldValues& Row, const TFieldValues* Entry,
                                        const TExportSettings& Settings);
// The value of one item of the current directory row.
[[nodiscard]] QString FormatDirectoryItem(int Index, const TFieldValues& Entry, const TExportSettings& Settings);
[[nodiscard]] inline bool ReadsCallerEntry(int Index)
{
    return Index >= 12 && Index < ExportItemCount;
}

// The field values of one record copied out of a table, for a line made after the walk has moved
// on: fields read as the table's fields read them.
class TRecordCopy final : public TFieldValues
{
public:
    // The fields of a table by name, shared by the copies of its records.
    struct TShape
    {
        QHash<QString, int> Index;
        QList<TFieldType> Types;
        [[nodiscard]] static TShape Of(TTable& Table);
    };
    // Values in field order, as TTable::LookupRecords answers them.
    TRecordCopy(const TShape& Shape, QVariantList Values) : FShape(&Shape), FValues(std::move(Values)) {}
    // The table's current record.
    [[nodiscard]] static TRecordCopy Current(const TShape& Shape, TTable& Table);
    [[nodiscard]] QString Text(const QString& Field) const override;
    [[nodiscard]] double DateTime(const QString& Field) const override;

private:
    const TShape* FShape;
    QVariantList FValues;
};

// The caller's directory record of a history row: the entry whose SchTel1 equals the row's trimmed
// SchTel, else the one whose SchTel2 does. Meibo is an open directory table; its cursor stays
// where it is. A batch of rows is looked up together, in one read of the table per index.
class TCallerEntryLookup
{
public:
    explicit TCallerEntryLookup(TTable& Meibo);
    // Looks the numbers up together; Find then answers them without asking the table. What an
    // earlier call looked up is forgotten.
    void Prefetch(const QStringList& SchTels);
    // Null when the key is empty or no entry holds it; valid until the next Prefetch or Find.
    [[nodiscard]] const TFieldValues* Find(const QString& SchTel);

private:
    void LookUp(const QStringList& Keys);
    TTable& FMeibo;
    TRecordCopy::TShape FShape;
    QHash<QString, std::optional<TRecordCopy>> FKnown;
};

// The line of a row (of RecvHis or Meibo, by Source). Lookup serves the history's directory items
// and may be null for the directory.
[[nodiscard]] QString RecordLine(int Source, const TFieldValues& Row, TCallerEntryLookup* Lookup,
                                 const TExportLayout& Layout, const TExportSettings& Settings,
                                 QStringList* Columns = nullptr);
// The line of the current row of Table.
[[nodiscard]] QString CurrentRecordLine(int Source, TTable& Table, TCallerEntryLookup* Lookup,
                                        const TExportLayout& Layout, const TExportSettings& Settings);
