#pragma once

#include <QList>
#include <QString>
#include <optional>

// The printable items of a list and the layout the user makes of them: which items, in which order
// and how wide.

inline constexpr int SourceRecvHis = 0;
inline constexpr int SourceMeibo = 1;

struct PrintItem
{
    QString Name;     // shown in the item lists and used as the column header
    int DefaultWidth; // half-width characters
};

struct LayoutEntry
{
    int ItemNo = 0;
    int ItemSize = 0; // half-width characters
    bool operator==(const LayoutEntry&) const = default;
};
using TLayout = QList<LayoutEntry>;

inline constexpr int BlankItemNo = 0;  // "＜空白＞": an empty column, any number of times
inline constexpr int SerialItemNo = 1; // "＜通番＞": the running number
inline constexpr int MaxLayoutEntries = 100;

// The items of a source: 26 of the call history (items 11 to 13 titled by the three select items),
// 27 of the directory.
[[nodiscard]] QList<PrintItem> BuildItemTable(int Source, const QString& SelectItem1, const QString& SelectItem2,
                                              const QString& SelectItem3);
// The same with the select items of the settings.
[[nodiscard]] QList<PrintItem> BuildItemTable(int Source);

// The "," characters at single-byte positions of the text in CP932.
[[nodiscard]] int CountCommas(const QString& Text);

// The layout text form: ItemNo = the numbers joined by ",", ItemSize = the widths likewise.
struct TLayoutText
{
    QString ItemNo;
    QString ItemSize;
};
[[nodiscard]] TLayoutText LayoutToText(const TLayout& Layout);
// None when either value is empty, the counts differ or reach 100 commas, or a field is no integer.
[[nodiscard]] std::optional<TLayout> LayoutFromText(const TLayoutText& Text);

// The layout without the entries the item list cannot show: numbers the source lacks, and a
// non-blank item after its first place. What stays keeps its order.
[[nodiscard]] TLayout CleanLayout(const TLayout& Layout, int ItemCount);

// The rules of the "印刷内容" page on a layout; each answers what the window shows, and a refusal
// changes nothing.
inline const QString LayoutFullMessage = QStringLiteral("設定できる項目数は100項目です  \r\nこれ以上追加できません  ");

enum class TLayoutEdit
{
    Done,
    Full,       // LayoutFullMessage
    AlreadySet, // a non-blank item that stands in the layout already
    Nothing,    // no entry there, or no item of that number
};

// Inserts ItemNo before Index (the end for Index beyond it) with the item's default width.
[[nodiscard]] TLayoutEdit SetLayoutEntry(TLayout& Layout, int Index, int ItemNo, const QList<PrintItem>& Items);
// Removes the entry at Index; the insertion row (Index = size) removes the last one.
[[nodiscard]] TLayoutEdit RemoveLayoutEntry(TLayout& Layout, int Index);
// Swaps the entry at Index with the one above (Up) or below.
[[nodiscard]] TLayoutEdit MoveLayoutEntry(TLayout& Layout, int Index, bool Up);
// The item numbers that the item list offers beside the layout: every item not placed, and item 0 always.
[[nodiscard]] QList<int> AvailableItems(const TLayout& Layout, int ItemCount);
