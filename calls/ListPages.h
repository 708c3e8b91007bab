#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>

class TTable;

// What the paged lists of the program share (the call history and the directory): a line, the
// outcome of a page load, the page arithmetic and the keyset walks around a page's anchors.

// One line of a paged list: the row behind it and its cell texts.
struct TListLine
{
    int RecNo = 0;
    QStringList Cells;
    // The cells as the list keeps a line: each text followed by a tab.
    [[nodiscard]] QString Text() const;
};

enum class TListLoadResult
{
    Loaded,
    Empty,      // nothing passes: no lines
    Gone,       // the row the page was anchored on no longer exists
    NoPrevious, // no page before this one
    NoNext,     // no page after this one
};

// A list's pages of ListMaxCount lines over TotalRows passing rows. A page is found from its
// neighbour's first or last row, or by walking from the first row; rows are never addressed by
// their offset.
class TListPages
{
public:
    enum TMode
    {
        Reload = 0,
        Previous = 1,
        Next = 2,
    };

    int ListMaxCount = 200;
    int CurrentPage = 1;
    int TotalRows = 0;
    int FirstRecNo = 0; // top line of the page
    int LastRecNo = 0;  // bottom line
    QList<TListLine> Lines;
    int LastMode = Reload;
    // Where a page past the rows falls back to: false, the last full page (TotalRows div the page
    // size), as the history and directory lists keep a full screen; true, the last page with any
    // rows, as the export and print lists number every row they offer.
    bool LastPageRoundsUp = false;

    [[nodiscard]] bool JumpVisible() const { return TotalRows > ListMaxCount; }
    [[nodiscard]] bool PrevVisible() const { return TotalRows > 0 && CurrentPage >= 2; }
    [[nodiscard]] bool NextVisible() const;
    // Pages for the jump dialog: every row on some page.
    [[nodiscard]] int PageCount() const;
    // The page size, at least one line.
    [[nodiscard]] int PageSize() const { return std::max(1, ListMaxCount); }

protected:
    // A page past the rows (after deletions, or a new filter) falls back to the page
    // LastPageRoundsUp names, and at least 1.
    void FitPageToRows();
    // Fills the page from the current row on: downwards (reload and next) with Step rows at a time
    // in the table's order, else upwards, built bottom up. Each line's first cell is its running
    // number on the whole list. Sets both anchors.
    void FillPage(TTable& Table, bool Down, int Step, const std::function<QStringList(TTable&, int)>& Cells);
};

// Puts the cursor on the row after Anchor in the walk of Step (+1 or -1) on Index. An anchor that
// no longer passes the table's filter is looked for without it, and the walk goes on from there to
// the first row that Matches. Failure: Gone when the anchor no longer exists, AtEnd when no row
// follows it. Leaves the index set to Index.
bool PositionAfterAnchor(TTable& Table, int Anchor, const QString& Index, int Step, TListLoadResult AtEnd,
                         const std::function<bool(TTable&)>& Matches, TListLoadResult& Failure);

// Deletes every row that Matches, walking the current index forwards from the first row
// (Forward) or backwards from the last; a row that refuses is stepped over. One transaction.
// Answers the number deleted.
int DeleteMatchingRows(TTable& Table, bool Forward, const std::function<bool(TTable&)>& Matches);

// Deletes the rows whose RecNo is listed and still exists; one transaction. Answers the RecNos
// actually deleted.
QList<int> DeleteRowsByRecNo(TTable& Table, const QList<int>& RecNos);

// The characters a trim takes off, for SQL's trim(): the blanks and control characters that
// TrimBlanks takes.
[[nodiscard]] QString SqlTrimCharacters();

// Sets an SQL filter (a condition with its parameters; none when empty) on the table for the life
// of the object and takes it off again, whatever the way out. Neither moves the cursor: the user
// positions it under the filter (and leaves it where its work ended).
class TSqlFilterUse
{
public:
    TSqlFilterUse(TTable& Table, const QString& Where, const QVariantList& Params);
    ~TSqlFilterUse();
    TSqlFilterUse(const TSqlFilterUse&) = delete;
    TSqlFilterUse& operator=(const TSqlFilterUse&) = delete;

private:
    TTable& FTable;
    bool FSet = false;
};
