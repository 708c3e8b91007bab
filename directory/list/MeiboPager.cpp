#include "directory/list/MeiboPager.h"

#include "directory/Geomark.h"
#include "main/common/CallerRec.h"
#include "main/common/CommonText.h"
#include "platform/db/Table.h"

#include <QRegularExpression>

namespace {

QString Trimmed(TTable& Table, const char* Field)
{
    return TrimBlanks(Table.FieldByName(QLatin1String(Field)).AsString());
}

// The lines of a memo field. Paths end each line with a break; a note's own last break is one of its
// lines, kept so that the note is written back as it was.
QStringList Lines(const QString& Text, bool KeepLastBreak = false)
{
    if (Text.isEmpty())
        return {};
    QStringList Result = Text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    if (Result.last().isEmpty() && !KeepLastBreak)
        Result.removeLast();
    return Result;
}

} // namespace

QString TMeiboPager::IndexOf(int SortIndex)
{
    static const char* const Indexes[6] = {"", "SchTel1", "SchTel2", "Adrs", "CorpKana", "NameKana"};
    return SortIndex >= 1 && SortIndex <= 5 ? QLatin1String(Indexes[SortIndex]) : QString();
}

QStringList TMeiboPager::RowCells(TTable& Table, int Number)
{
    return {QString::number(Number),     Trimmed(Table, "Tel1"),
            Trimmed(Table, "Tel2"),      JoinedAddress(MeiboRowKeys(Table)),
            Trimmed(Table, "CorpKanji"), Trimmed(Table, "NameKanji")};
}

bool TMeiboPager::RowMatches(TTable& Table) const
{
    return MeiboRowMatches(Condition, MeiboRowKeys(Table));
}

TListLoadResult TMeiboPager::Load(TTable& Table, int Mode, int Page)
{
    const QString Index = IndexOf(SortIndex);
    // The cursor goes where the load starts (the order's index, or a step's anchor) before the
    // conditions apply: a move under them walks from wherever the cursor stood to a row that passes,
    // which under a rare condition is most of the directory.
    if (Mode == Reload) {
        Table.SetIndexName(Index);
    } else {
        Table.SetIndexName(QString());
        (void)Table.FindKey({Mode == Previous ? FirstRecNo : LastRecNo});
    }
    TMeiboFilterUse Filter(Table, Condition);
    if (Mode == Reload) {
        if (Page > 0)
            CurrentPage = Page;
        Lines.clear();
        LastMode = Reload;
        TotalRows = Table.RecordCount();
        if (TotalRows == 0)
            return TListLoadResult::Empty;
        FitPageToRows();
        // A page is reached by walking to its first row from the nearer end of the order: the last
        // page of a large directory is a page's walk from its end, not the whole directory's.
        const int Before = (CurrentPage - 1) * PageSize();
        const int After = TotalRows - 1 - Before;
        if (After < Before) {
            Table.Last();
            if (After > 0)
                Table.MoveBy(-After);
        } else {
            Table.First();
            if (Before > 0)
                Table.MoveBy(Before);
        }
    } else {
        TListLoadResult Failure = TListLoadResult::Gone;
        const bool Back = Mode == Previous;
        if (!PositionAfterAnchor(
                Table, Back ? FirstRecNo : LastRecNo, Index, Back ? -1 : 1,
                Back ? TListLoadResult::NoPrevious : TListLoadResult::NoNext,
                [this](TTable& Row) { return RowMatches(Row); }, Failure))
            return Failure;
        Lines.clear();
        CurrentPage += Back ? -1 : 1;
        LastMode = Mode;
    }
    FillPage(Table, Mode != Previous, 1, RowCells);
    return TListLoadResult::Loaded;
}

int TMeiboPager::DeleteMatching(TTable& Table) const
{
    Table.SetIndexName(IndexOf(SortIndex));
    TMeiboFilterUse Filter(Table, Condition);
    return DeleteMatchingRows(Table, true, [this](TTable& Row) { return RowMatches(Row); });
}

void MeiboRowToRecord(TTable& Table, TCallerRecord& Record)
{
    const auto Number = [&Table](const char* Name) { return Table.FieldByName(QLatin1String(Name)).AsInteger(); };
    const auto Days = [&Table](const char* Name) { return Table.FieldByName(QLatin1String(Name)).AsFloat(); };
    Record.RecNo = Number("RecNo");
    Record.Tel[0] = Trimmed(Table, "Tel1");
    Record.Tel[1] = Trimmed(Table, "Tel2");
    Record.Pos = FormatPostalCode(Trimmed(Table, "Pos"));
    Record.Tdfkn = Trimmed(Table, "Tdfkn");
    Record.Adrs1 = Trimmed(Table, "Adrs1");
    Record.Adrs2 = Trimmed(Table, "Adrs2");
    Record.Adrs3 = Trimmed(Table, "Adrs3");
    Record.JisCode = Trimmed(Table, "JisCode");
    Record.KajoCode = Trimmed(Table, "KajoCode");
    Record.CorpKana = Trimmed(Table, "CorpKana");
    Record.CorpKanji = Trimmed(Table, "CorpKanji");
    Record.NameKana = Trimmed(Table, "NameKana");
    Record.NameKanji = Trimmed(Table, "NameKanji");
    Record.PrivCorp = Trimmed(Table, "PrivCorp") == QLatin1String("1") ? 1 : 0;
    Record.Memo1 = Trimmed(Table, "Memo1");
    Record.Memo2 = Trimmed(Table, "Memo2");
    Record.Memo3 = Trimmed(Table, "Memo3");
    Record.EMail = Trimmed(Table, "EMail");
    Record.Rank = Trimmed(Table, "Rank");
    Record.Latitude = Number("Latitude");
    Record.Longitude = Number("Longitude");
    Record.Msg = Number("Msg") == 1 ? 1 : 0;
    Record.Msg1 = Trimmed(Table, "Msg1");
    Record.Msg2 = Trimmed(Table, "Msg2");
    Record.BGColor = Trimmed(Table, "BGColor");
    Record.Note = Lines(Table.FieldByName(QStringLiteral("Note")).AsString(), true);
    Record.ExtFile = Lines(Table.FieldByName(QStringLiteral("ExtFile")).AsString());
    Record.AddDateTime = Days("AddDateTime");
    Record.UpdDateTime = Days("UpdDateTime");
    CutCallerRecordToWidths(Record);
}
