#include "calls/HisPager.h"

#include "main/common/CallerRec.h"
#include "main/common/CommonText.h"
#include "platform/db/Table.h"

#include <QDate>
#include <cmath>
#include <optional>

namespace {

const QString DateIndex = QStringLiteral("RecvDateTime");
constexpr qint64 MSecsPerDay = 86400000;

int RecNoOf(TTable& Table)
{
    return Table.FieldByName(QStringLiteral("RecNo")).AsInteger();
}

QString Trimmed(TTable& Table, const QString& Field)
{
    return TrimBlanks(Table.FieldByName(Field).AsString());
}

// Whole milliseconds since 1899-12-30, rounded as the date-time formatting does, so that a time a
// hair before midnight shows as the next day's 00:00:00 on that day, never as 24:00:00.
qint64 StampOf(double Days)
{
    return std::llround(Days * static_cast<double>(MSecsPerDay));
}

// Rows the cursor steps through one by one before counting by key ranges pays off.
constexpr int StepLimit = 2000;

double DateOf(TTable& Table)
{
    return Table.FieldByName(QStringLiteral("RecvDateTime")).AsFloat();
}

// Rows (within the table's filter) whose date is Date or later.
int CountFrom(TTable& Table, double Date)
{
    Table.SetRange({Date}, {});
    return Table.RecordCount();
}

} // namespace

// Puts the cursor on the row with Behind newer rows before it, on the date index. Far into the
// history the newer rows are counted by date ranges, narrowing in on the spot by interpolation
// (calls come in at a fairly even pace), and only the last stretch is stepped row by row: the
// cursor never passes the skipped rows one at a time, and no row is addressed by its offset.
void MoveBehindNewest(TTable& Table, int Behind)
{
    Table.Last();
    if (Behind < StepLimit) {
        Table.MoveBy(-Behind);
        return;
    }
    const int Target = Behind + 1; // rows from the wanted one up to the newest
    double High = DateOf(Table);
    Table.First();
    double Low = DateOf(Table);
    int AtLow = Table.RecordCount();
    // Calls without a date sort first and say nothing of the pace: the guesses start from the
    // oldest dated call, when the wanted row lies among the dated ones.
    if (Low <= 0 && High > 0) {
        const int Dated = CountFrom(Table, std::nextafter(0.0, 1.0));
        if (Dated > Target) {
            Table.First();
            Low = DateOf(Table);
            AtLow = Dated;
        }
    }
    int AtHigh = CountFrom(Table, High);
    for (int Round = 0; Round < 12 && AtHigh <= Target && Target - AtHigh > StepLimit / 2 && High > Low; ++Round) {
        // Aim a little short of the target, so that the guess tends to land on the near side.
        const double Wanted = Target - StepLimit / 4.0;
        const double Share = AtLow == AtHigh ? 0.5 : (AtLow - Wanted) / static_cast<double>(AtLow - AtHigh);
        double Guess = Low + (High - Low) * std::clamp(Share, 0.0, 1.0);
        if (Guess <= Low || Guess >= High)
            Guess = Low + (High - Low) / 2;
        const int At = CountFrom(Table, Guess);
        if (At > Target) {
            Low = Guess;
            AtLow = At;
        } else {
            High = Guess;
            AtHigh = At;
        }
    }
    if (AtHigh > Target) {
        // Equal dates too many to split: step the whole way.
        Table.CancelRange();
        Table.Last();
        Table.MoveBy(-Behind);
        return;
    }
    // The oldest row dated High or later has AtHigh - 1 newer rows before it.
    Table.SetRange({High}, {});
    Table.First();
    Table.CancelRange();
    Table.MoveBy(-(Target - AtHigh));
}

QString HistoryDateText(double Days)
{
    if (Days == 0)
        return {};
    const qint64 Stamp = StampOf(Days);
    const qint64 Day = Stamp >= 0 ? Stamp / MSecsPerDay : -((-Stamp + MSecsPerDay - 1) / MSecsPerDay);
    return QDate(1899, 12, 30).addDays(Day).toString(QStringLiteral("yyyy/MM/dd"));
}

QString HistoryTimeText(double Days)
{
    if (Days == 0)
        return {};
    const qint64 Stamp = StampOf(Days);
    const qint64 InDay = ((Stamp % MSecsPerDay) + MSecsPerDay) % MSecsPerDay;
    const qint64 Seconds = InDay / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(Seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(Seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(Seconds % 60, 2, 10, QLatin1Char('0'));
}

THistoryRowKeys CurrentRowKeys(TTable& Table)
{
    THistoryRowKeys Keys;
    Keys.RecvDateTime = Table.FieldByName(QStringLiteral("RecvDateTime")).AsFloat();
    Keys.RecvWeek = Table.FieldByName(QStringLiteral("RecvWeek")).AsInteger();
    Keys.SchTel = Table.FieldByName(QStringLiteral("SchTel")).AsString();
    Keys.CorpKana = Table.FieldByName(QStringLiteral("CorpKana")).AsString();
    Keys.CorpKanji = Table.FieldByName(QStringLiteral("CorpKanji")).AsString();
    Keys.NameKana = Table.FieldByName(QStringLiteral("NameKana")).AsString();
    Keys.NameKanji = Table.FieldByName(QStringLiteral("NameKanji")).AsString();
    return Keys;
}

QStringList THistoryPager::RowCells(TTable& Table, int Number)
{
    const double When = Table.FieldByName(QStringLiteral("RecvDateTime")).AsFloat();
    const QString Tel = Trimmed(Table, QStringLiteral("Tel"));
    const QString Code = CallerNumberCodeText(Tel);
    const QString Division = Table.FieldByName(QStringLiteral("Division")).AsString();
    return {QString::number(Number),
            HistoryDateText(When),
            HistoryTimeText(When),
            Code.isEmpty() ? Tel : Code,
            Trimmed(Table, QStringLiteral("CorpKanji")),
            Trimmed(Table, QStringLiteral("NameKanji")),
            Division == u"0"   ? QStringLiteral("新規")
            : Division == u"1" ? QStringLiteral("既存")
                               : QString(),
            Trimmed(Table, QStringLiteral("Rank")),
            Trimmed(Table, QStringLiteral("SelItem1")),
            Trimmed(Table, QStringLiteral("SelItem2")),
            Trimmed(Table, QStringLiteral("SelItem3"))};
}

namespace {

THistorySqlFilter FilterOf(const THistorySearchCondition& Condition, const TWeekdayButtons& Weekdays)
{
    return HistoryFilterPassesAll(Condition, Weekdays) ? THistorySqlFilter() : HistoryFilterSql(Condition, Weekdays);
}

} // namespace

THistoryFilterUse::THistoryFilterUse(TTable& Table, const THistorySearchCondition& Condition,
                                     const TWeekdayButtons& Weekdays)
    : TSqlFilterUse(Table, FilterOf(Condition, Weekdays).Where, FilterOf(Condition, Weekdays).Params)
{
}

bool THistoryPager::RowMatches(TTable& Table) const
{
    return HistoryRowMatches(Condition, Weekdays, CurrentRowKeys(Table));
}

THistoryLoadResult THistoryPager::Load(TTable& Table, int Mode, int Page)
{
    THistoryFilterUse Filter(Table, Condition, Weekdays);
    if (Mode == Reload) {
        if (Page > 0)
            CurrentPage = Page;
        Lines.clear();
        LastMode = Reload;
        TotalRows = Table.RecordCount();
        if (TotalRows == 0)
            return THistoryLoadResult::Empty;
        Table.SetIndexName(DateIndex);
        FitPageToRows();
        MoveBehindNewest(Table, (CurrentPage - 1) * PageSize());
    } else {
        // The date index runs oldest first: a newer page lies after the anchor.
        THistoryLoadResult Failure = THistoryLoadResult::Gone;
        const bool Newer = Mode == Previous;
        if (!PositionAfterAnchor(
                Table, Newer ? FirstRecNo : LastRecNo, DateIndex, Newer ? 1 : -1,
                Newer ? THistoryLoadResult::NoPrevious : THistoryLoadResult::NoNext,
                [this](TTable& Row) { return RowMatches(Row); }, Failure))
            return Failure;
        Lines.clear();
        CurrentPage += Newer ? -1 : 1;
        LastMode = Mode;
    }
    // Older rows downwards for reload and next; newer rows upwards, built bottom up, for previous.
    FillPage(Table, Mode != Previous, -1, RowCells);
    return THistoryLoadResult::Loaded;
}

int THistoryPager::DeleteMatching(TTable& Table) const
{
    THistoryFilterUse Filter(Table, Condition, Weekdays);
    Table.SetIndexName(DateIndex);
    return DeleteMatchingRows(Table, false, [this](TTable& Row) { return RowMatches(Row); });
}

QList<int> DeleteHistoryRows(TTable& Table, const QList<int>& RecNos)
{
    return DeleteRowsByRecNo(Table, RecNos);
}
int PurgeHistoryRows(TTable& Table, int Limit, const std::function<bool()>& Confirm)
{
    Table.SetIndexName(DateIndex);
    Table.First();
    if (Table.IsEmpty())
        return 0;
    int Deleted = 0;
    bool Asked = false;
    std::optional<TTableTransaction> Transaction;
    while (!Table.IsEmpty()) {
        const double When = Table.FieldByName(QStringLiteral("RecvDateTime")).AsFloat();
        if (std::trunc(When) > Limit)
            break;
        if (!Asked) {
            Asked = true;
            if (Confirm && !Confirm())
                return 0;
            Transaction.emplace(Table);
        }
        try {
            Table.Delete();
            ++Deleted;
        } catch (const EDatabaseError&) {
            Table.Cancel();
            if (Table.MoveBy(1) == 0)
                break;
        }
    }
    if (Transaction)
        Transaction->Commit();
    return Deleted;
}

void TakeOverHistoryRow(TTable& Table, TCallerRecord& Record)
{
    Record.HisRecNo = RecNoOf(Table);
    if (TrimBlanks(Record.Rank).isEmpty())
        Record.Rank = MbcsLeft(Table.FieldByName(QStringLiteral("Rank")).AsString(), TCallerRecord::RankWidth);
    Record.RecvDateTime = DateOf(Table);
    Record.SelItem1 = MbcsLeft(Trimmed(Table, QStringLiteral("SelItem1")), TCallerRecord::SelItemWidth);
    Record.SelItem2 = MbcsLeft(Trimmed(Table, QStringLiteral("SelItem2")), TCallerRecord::SelItemWidth);
    Record.SelItem3 = MbcsLeft(Trimmed(Table, QStringLiteral("SelItem3")), TCallerRecord::SelItemWidth);
}

QStringList PreviousCallNumbers(const TCallerRecord& Record, const QString& RingingSchTel)
{
    QString Numbers[2];
    for (int I = 0; I < 2; ++I) {
        const QString& Tel = Record.Tel[static_cast<size_t>(I)];
        if (!Tel.isEmpty() && Tel[0].isDigit() && Tel[0].unicode() < 0x80)
            Numbers[I] = DigitsOnly(Tel);
    }
    if (!Numbers[1].isEmpty() && TrimBlanks(RingingSchTel) == Numbers[1])
        std::swap(Numbers[0], Numbers[1]);
    QStringList Result;
    for (const QString& Number : Numbers)
        if (!Number.isEmpty())
            Result << Number;
    return Result;
}

double PreviousCallTime(TTable& Table, const QStringList& Numbers, double Before)
{
    // The latest is kept to the second, as the times are compared written out.
    qint64 Latest = 0;
    Table.SetIndexName(QStringLiteral("SchTel"));
    for (const QString& Number : Numbers) {
        Table.SetRange({Number}, {Number});
        for (Table.Last(); !Table.IsEmpty();) {
            const double When = DateOf(Table);
            if (When < Before)
                Latest = std::max(Latest, StampOf(When) / 1000);
            if (Table.MoveBy(-1) == 0)
                break;
        }
        Table.CancelRange();
    }
    return Latest > 0 ? Latest / 86400.0 : 0;
}
