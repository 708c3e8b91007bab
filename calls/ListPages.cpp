#include "calls/ListPages.h"

#include "platform/db/Table.h"

#include <QSet>

namespace {

int RecNoOf(TTable& Table)
{
    return Table.FieldByName(QStringLiteral("RecNo")).AsInteger();
}

} // namespace

QString TListLine::Text() const
{
    QString Result;
    for (const QString& Cell : Cells)
        Result += Cell + u'\t';
    return Result;
}

bool TListPages::NextVisible() const
{
    if (TotalRows == 0)
        return false;
    return LastMode == Previous || static_cast<qint64>(CurrentPage) * ListMaxCount < TotalRows;
}

int TListPages::PageCount() const
{
    const int Size = PageSize();
    return TotalRows / Size + (TotalRows % Size != 0 ? 1 : 0);
}

void TListPages::FitPageToRows()
{
    const int Size = PageSize();
    if (static_cast<qint64>(CurrentPage - 1) * Size + 1 > TotalRows)
        CurrentPage = std::max(1, LastPageRoundsUp ? PageCount() : TotalRows / Size);
}

void TListPages::FillPage(TTable& Table, bool Down, int Step, const std::function<QStringList(TTable&, int)>& Cells)
{
    const int Size = PageSize();
    // The rows of the page are read with one query rather than one a row.
    const TTableReadAhead ReadAhead(Table, Size - 1);
    for (;;) {
        const int Made = static_cast<int>(Lines.size());
        const int RecNo = RecNoOf(Table);
        const int Number = Down ? (CurrentPage - 1) * Size + Made + 1 : CurrentPage * Size - Made;
        TListLine Line{RecNo, Cells(Table, Number)};
        if (Down)
            Lines.append(std::move(Line));
        else
            Lines.prepend(std::move(Line));
        if (Made == 0)
            (Down ? FirstRecNo : LastRecNo) = RecNo;
        // The far end anchors the following page; a short page ends at its last line.
        (Down ? LastRecNo : FirstRecNo) = RecNo;
        if (Lines.size() >= Size || Table.MoveBy(Down ? Step : -Step) == 0)
            break;
    }
}

bool PositionAfterAnchor(TTable& Table, int Anchor, const QString& Index, int Step, TListLoadResult AtEnd,
                         const std::function<bool(TTable&)>& Matches, TListLoadResult& Failure)
{
    Table.SetIndexName(QString());
    if (Table.FindKey({Anchor})) {
        Table.SetIndexName(Index);
        if (Table.MoveBy(Step) == 0) {
            Failure = AtEnd;
            return false;
        }
        return true;
    }
    // The anchor is gone, or was edited so that it no longer passes the filter: look for it
    // without the filter and walk on from it to the first row that passes.
    if (!Table.Filtered()) {
        Failure = TListLoadResult::Gone;
        return false;
    }
    Table.SetFiltered(false);
    int Found = -1;
    const bool Exists = Table.FindKey({Anchor});
    if (Exists) {
        Table.SetIndexName(Index);
        while (Table.MoveBy(Step) != 0) {
            if (Matches(Table)) {
                Found = RecNoOf(Table);
                break;
            }
        }
    }
    Table.SetFiltered(true);
    if (!Exists) {
        Failure = TListLoadResult::Gone;
        return false;
    }
    if (Found < 0) {
        Failure = AtEnd;
        return false;
    }
    Table.SetIndexName(QString());
    if (!Table.FindKey({Found})) {
        Failure = TListLoadResult::Gone;
        return false;
    }
    Table.SetIndexName(Index);
    return true;
}

int DeleteMatchingRows(TTable& Table, bool Forward, const std::function<bool(TTable&)>& Matches)
{
    TTableTransaction Transaction(Table);
    const int Step = Forward ? 1 : -1;
    Forward ? Table.First() : Table.Last();
    int Deleted = 0;
    QSet<int> Refused;
    while (!Table.IsEmpty()) {
        const int RecNo = RecNoOf(Table);
        // After a deletion the cursor may come to rest on a row it has passed already.
        if (Refused.contains(RecNo) || !Matches(Table)) {
            if (Table.MoveBy(Step) == 0)
                break;
            continue;
        }
        try {
            Table.Delete();
            ++Deleted;
        } catch (const EDatabaseError&) {
            Table.Cancel();
            Refused.insert(RecNo);
            if (Table.MoveBy(Step) == 0)
                break;
        }
    }
    Transaction.Commit();
    return Deleted;
}

QList<int> DeleteRowsByRecNo(TTable& Table, const QList<int>& RecNos)
{
    QList<int> Deleted;
    Table.SetIndexName(QString());
    TTableTransaction Transaction(Table);
    for (int RecNo : RecNos) {
        if (!Table.FindKey({RecNo}))
            continue;
        try {
            Table.Delete();
            Deleted << RecNo;
        } catch (const EDatabaseError&) {
            Table.Cancel();
        }
    }
    Transaction.Commit();
    return Deleted;
}

QString SqlTrimCharacters()
{
    QString Blanks;
    for (char16_t C = 1; C <= 0x20; ++C)
        Blanks += QChar(C);
    return Blanks;
}

TSqlFilterUse::TSqlFilterUse(TTable& Table, const QString& Where, const QVariantList& Params) : FTable(Table)
{
    if (Where.isEmpty())
        return;
    // Every user moves the cursor itself once the filter is on.
    FTable.SetFilter({}, Where, Params);
    FTable.SetFiltered(true, false);
    FSet = true;
}

TSqlFilterUse::~TSqlFilterUse()
{
    if (!FSet)
        return;
    // The table object is shared: nobody else may find this list's filter on it.
    try {
        FTable.SetFiltered(false, false);
    } catch (...) {
    }
    FTable.SetFilter({});
}
