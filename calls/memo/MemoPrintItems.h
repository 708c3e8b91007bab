#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TMemIniFile;

// One entry of the memo print order: the item as stored, the row of the item table it names, and
// whether it is printed and copied.
struct TMemoPrintItem
{
    int ItemNo = 0;
    int TableRow = 0;
    bool Chosen = false;
};

struct TMemoItemRow
{
    const char* ItemNo;
    const char* Label;
    const char* Export; // "1" chosen by default
};

inline constexpr int MemoItemCount = 25;
// Rows whose label is the configured select-item name, the attached files and the note.
inline constexpr int MemoSelectItemRow = 20;
inline constexpr int MemoFilesRow = 23;
inline constexpr int MemoNoteRow = 24;

// The items of the own directory and of the address-book mode; they differ in rows 5 and 6.
extern const TMemoItemRow MemoItemTable[MemoItemCount];
extern const TMemoItemRow MemoItemTableFb[MemoItemCount];
[[nodiscard]] const TMemoItemRow* MemoItemRows(bool Fb);

inline constexpr int MemoFontSizes[24] = {7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18,
                                          19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30};

// The memo font and the other program-wide memo settings, kept in [MEMO PRINT].
struct TMemoPrintSettings
{
    QString FontName = QStringLiteral("ＭＳ ゴシック");
    int FontSize = 9; // points
    int FontStyle = 0;
    int FontCharset = 128;
    int TabIndex = 0;
    bool PrintMsg = true;
};
extern TMemoPrintSettings MemoPrintSettings;

// The 25 entries of the mode's key pair. A list that is not a permutation of 0..24, or flags that
// are not 25 of "1" / "0", fall back to the table's order or flags: a broken list would otherwise
// print one item twice and drop another.
[[nodiscard]] QList<TMemoPrintItem> ReadMemoPrintItems(const TMemIniFile& Ini, bool Fb);
[[nodiscard]] TMemoPrintSettings ReadMemoPrintSettings(const TMemIniFile& Ini);
// Writes the entries under the mode's keys and the settings; the caller writes the file.
void WriteMemoPrintSection(TMemIniFile& Ini, const QList<TMemoPrintItem>& Items, bool Fb,
                           const TMemoPrintSettings& Memo);

// The name an item goes under: the configured select-item names for rows 20 to 22, else the label.
[[nodiscard]] QString MemoItemCaption(int TableRow, bool Fb, const QStringList& SelectItemNames);

// What the shown call holds for each table row: one text for rows 0 to 22, the attached files
// (folder + name) and the note's lines.
struct TMemoValues
{
    QStringList Texts; // 23 entries, trimmed
    QStringList Files;
    QStringList NoteLines;
};

// The copy: the chosen values in print order joined by ",", files joined by tabs, the note's lines
// by tabs; nothing is quoted.
[[nodiscard]] QString MemoCopyText(const QList<TMemoPrintItem>& Items, const TMemoValues& Values);

// One printed line: the bracketed caption (empty on a continuation line) and the value.
struct TMemoLine
{
    QString Caption;
    QString Value;
};
[[nodiscard]] QList<TMemoLine> MemoPrintLines(const QList<TMemoPrintItem>& Items, const TMemoValues& Values, bool Fb,
                                              const QStringList& SelectItemNames);
// The bare table labels of the chosen items, whose widest sets the value column.
[[nodiscard]] QStringList MemoChosenLabels(const QList<TMemoPrintItem>& Items, bool Fb);
// How many lines of Pitch go on a page of PageHeight, each needing LineHeight: at least one.
[[nodiscard]] int MemoLinesPerPage(int PageHeight, int Pitch, int LineHeight);
