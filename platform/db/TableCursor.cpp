#include "platform/db/Table.h"
#include "platform/db/TableImpl.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <sqlite3.h>

using namespace TableInternal;

namespace {

constexpr int PlainBatch = 256;
constexpr int FilteredBatch = 64;

} // namespace

// ---- cursor

const TTable::TImpl::TIndexInfo& TTable::TImpl::CurrentIndex() const
{
    return FIndexes.at(static_cast<size_t>(FCurrentIndex));
}

const QString& TTable::TImpl::SelectList() const
{
    return FSelectList;
}

TTable::TImpl::TRow TTable::TImpl::ReadRow(sqlite3_stmt* Statement) const
{
    TRow Row;
    Row.RowId = sqlite3_column_int64(Statement, 0);
    Row.Values.reserve(FFields.size());
    for (int I = 0; I < FDef.Fields.size(); ++I)
        Row.Values.push_back(ColumnValue(Statement, I + 1, FDef.Fields[I].Type));
    return Row;
}

QVariant TTable::TImpl::ToStorage(int FieldIndex, const QVariant& Value) const
{
    const TFieldDef& Field = FDef.Fields[FieldIndex];
    switch (Field.Type) {
    case TFieldType::String:
        return CutToWidth(Value.toString(), Field.Size);
    case TFieldType::Memo:
        return Value.toString();
    case TFieldType::DateTime:
        if (Value.typeId() == QMetaType::QDateTime)
            return DateTimeToDays(Value.toDateTime());
        return Value.toDouble();
    case TFieldType::Boolean:
        return qint64(Value.toBool() ? 1 : 0);
    default:
        return Value.toLongLong();
    }
}

QVariantList TTable::TImpl::KeyOf(const TRow& Row) const
{
    QVariantList Key;
    for (int Field : CurrentIndex().FieldIndexes)
        Key << Row.Values[static_cast<size_t>(Field)];
    Key << Row.RowId;
    return Key;
}

bool TTable::TImpl::IndexFolds() const
{
    const TIndexInfo& Index = CurrentIndex();
    for (const TIndexDef& Def : FDef.Indexes)
        if (Index.Primary ? Def.Primary : (!Def.Primary && Def.Name.compare(Index.Name, Qt::CaseInsensitive) == 0))
            return Def.CaseInsensitive;
    return false;
}

int TTable::TImpl::CompareToBound(const QVariantList& Key, const QVariantList& Bound) const
{
    // The leading fields of a key against a range bound, in the order of the current index.
    const TIndexInfo& Index = CurrentIndex();
    const bool Fold = IndexFolds();
    for (int I = 0; I < Bound.size() && I < Key.size(); ++I) {
        const bool Field = Index.FieldIndexes.size() > I;
        const QVariant Value = Field ? ToStorage(Index.FieldIndexes[I], Bound[I]) : QVariant(Bound[I].toLongLong());
        int Order = 0;
        if (Field && IsText(FDef.Fields[Index.FieldIndexes[I]].Type)) {
            Order = CompareCp932(Key[I].toString(), Value.toString(), Fold);
        } else {
            const double A = Key[I].toDouble();
            const double B = Value.toDouble();
            Order = A < B ? -1 : (A > B ? 1 : 0);
        }
        if (Order != 0)
            return Order;
    }
    return 0;
}

QString TTable::TImpl::BaseWhere(QVariantList& Binds, const TRow* After, bool Forward) const
{
    QStringList Conditions;
    if (FRangeActive) {
        const TIndexInfo& Index = CurrentIndex();
        auto Bound = [&](const QVariantList& Values, const QString& Op) {
            if (Values.isEmpty())
                return;
            const QStringList Columns = Index.Columns.mid(0, Values.size());
            if (Values.size() == 1)
                Conditions << Columns[0] + u' ' + Op + QStringLiteral(" ?");
            else
                Conditions << u'(' + Columns.join(QStringLiteral(", ")) + QStringLiteral(") ") + Op +
                                  QStringLiteral(" (") +
                                  QStringList(Values.size(), QStringLiteral("?")).join(QStringLiteral(", ")) + u')';
            for (int I = 0; I < Values.size(); ++I)
                Binds << (Index.FieldIndexes.size() > I ? ToStorage(Index.FieldIndexes[I], Values[I])
                                                        : QVariant(Values[I].toLongLong()));
        };
        // Walking on from a row inside the range, the bound behind it holds for every row ahead and
        // is left out: SQLite seeks on one lower (or upper) bound of a column only, and given both
        // the range's and the walk's it may take the range's and read the range again from its start
        // at every step, which makes a walk over a range quadratic in its length.
        const QVariantList Key = After ? KeyOf(*After) : QVariantList();
        const bool PastLow = After && Forward && !FRangeLow.isEmpty() && CompareToBound(Key, FRangeLow) >= 0;
        const bool PastHigh = After && !Forward && !FRangeHigh.isEmpty() && CompareToBound(Key, FRangeHigh) <= 0;
        if (!PastLow)
            Bound(FRangeLow, QStringLiteral(">="));
        if (!PastHigh)
            Bound(FRangeHigh, QStringLiteral("<="));
    }
    if (FFiltered && !FFilterSql.trimmed().isEmpty()) {
        Conditions << u'(' + FFilterSql + u')';
        Binds << FFilterParams;
    }
    return Conditions.join(QStringLiteral(" AND "));
}

bool TTable::TImpl::Accepts(TRow& Row)
{
    if (!FFiltered || !FPredicate)
        return true;
    // The predicate reads the candidate through the fields, as the current record.
    std::swap(FCurrent, Row);
    bool Result = false;
    try {
        Result = FPredicate(FSelf);
    } catch (...) {
        std::swap(FCurrent, Row);
        throw;
    }
    std::swap(FCurrent, Row);
    return Result;
}

std::vector<TTable::TImpl::TRow> TTable::TImpl::Fetch(bool Forward, const TRow* Start, int Limit, const QString& Extra,
                                                      const QVariantList& ExtraBinds)
{
    const TIndexInfo& Index = CurrentIndex();
    QStringList Order;
    for (const QString& Column : Index.Columns)
        Order << (Forward ? Column : Column + QStringLiteral(" DESC"));
    const QVariantList Key = Start ? KeyOf(*Start) : QVariantList();
    std::vector<TRow> Rows;
    // One query per level of the key, so that SQLite seeks each time: first the rows that share
    // every leading column with the start and follow it in the last one, then those sharing one
    // column fewer, down to those that follow in the first column. A row-value comparison would
    // make SQLite seek on the first column only and then read a whole run of equal values.
    for (int Level = Start ? static_cast<int>(Key.size()) - 1 : 0; Level >= 0 && static_cast<int>(Rows.size()) < Limit;
         --Level) {
        QVariantList Binds;
        QStringList Conditions;
        const QString Base = BaseWhere(Binds, Start, Forward);
        if (!Base.isEmpty())
            Conditions << Base;
        if (!Extra.isEmpty()) {
            Conditions << Extra;
            Binds << ExtraBinds;
        }
        if (Start) {
            for (int I = 0; I < Level; ++I) {
                Conditions << Index.Columns[I] + QStringLiteral(" = ?");
                Binds << Key[I];
            }
            Conditions << Index.Columns[Level] + (Forward ? QStringLiteral(" > ?") : QStringLiteral(" < ?"));
            Binds << Key[Level];
        }
        Binds << Limit - static_cast<int>(Rows.size());
        const QString Sql =
            QStringLiteral("SELECT ") + SelectList() + QStringLiteral(" FROM ") + Quote(SqlTableName()) +
            (Conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + Conditions.join(u" AND ")) +
            QStringLiteral(" ORDER BY ") + Order.join(QStringLiteral(", ")) + QStringLiteral(" LIMIT ?");
        sqlite3_stmt* Statement = Prepare(Sql);
        Bind(Statement, Binds);
        int Rc;
        while ((Rc = TableInternal::Step(Statement)) == SQLITE_ROW)
            Rows.push_back(ReadRow(Statement));
        sqlite3_reset(Statement);
        if (Rc != SQLITE_DONE)
            Fail(QStringLiteral("Cannot read"));
    }
    return Rows;
}

int TTable::TImpl::Walk(bool Forward, const TRow* From, int Count, const QString& Extra, const QVariantList& ExtraBinds)
{
    DropReadAhead();
    // The queries of one move share one read transaction: one lock instead of one per query.
    TReadTransaction Transaction(*this);
    const bool Predicate = FFiltered && FPredicate;
    std::optional<TRow> Last;
    std::optional<TRow> Accepted;
    int Passed = 0;
    while (Passed < Count) {
        const int Batch = Predicate ? FilteredBatch : std::clamp(Count - Passed, 1, PlainBatch);
        std::vector<TRow> Rows = Fetch(Forward, Last ? &*Last : From, Batch, Extra, ExtraBinds);
        for (TRow& Row : Rows) {
            if (Accepts(Row)) {
                ++Passed;
                Accepted = Row;
                if (Passed == Count)
                    break;
            }
        }
        if (static_cast<int>(Rows.size()) < Batch || Passed >= Count)
            break;
        Last = std::move(Rows.back());
    }
    if (Accepted)
        SetCurrent(std::move(*Accepted));
    return Passed;
}

void TTable::TImpl::SetCurrent(TRow Row)
{
    FCurrent = std::move(Row);
    FHasCurrent = true;
}

void TTable::TImpl::SetEmpty()
{
    FHasCurrent = false;
    FCurrent.RowId = 0;
    for (int I = 0; I < FDef.Fields.size(); ++I)
        FCurrent.Values[static_cast<size_t>(I)] = BlankValue(FDef.Fields[I].Type);
    FBof = FEof = true;
}

void TTable::TImpl::CheckBrowseMode()
{
    CheckActive();
    if (FState == TDataSetState::Edit || FState == TDataSetState::Insert)
        Post();
}

void TTable::TImpl::First()
{
    CheckBrowseMode();
    if (Walk(true, nullptr, 1) == 0) {
        SetEmpty();
        return;
    }
    FBof = true;
    FEof = false;
}

void TTable::TImpl::Last()
{
    CheckBrowseMode();
    if (Walk(false, nullptr, 1) == 0) {
        SetEmpty();
        return;
    }
    FBof = false;
    FEof = true;
}

void TTable::TImpl::Next()
{
    MoveBy(1);
}

void TTable::TImpl::Prior()
{
    MoveBy(-1);
}

int TTable::TImpl::MoveBy(int Distance)
{
    CheckBrowseMode();
    if (Distance == 0)
        return 0;
    if ((Distance > 0 && FEof) || (Distance < 0 && FBof))
        return 0;
    if (!FHasCurrent) {
        SetEmpty();
        return 0;
    }
    if (FAhead.On && (Distance == 1 || Distance == -1))
        return StepReadAhead(Distance > 0);
    const TRow From = FCurrent;
    const int Wanted = Distance > 0 ? Distance : -Distance;
    const int Moved = Walk(Distance > 0, &From, Wanted);
    if (Distance > 0) {
        if (Moved > 0)
            FBof = false;
        FEof = Moved < Wanted;
        return Moved;
    }
    if (Moved > 0)
        FEof = false;
    FBof = Moved < Wanted;
    return -Moved;
}

int TTable::TImpl::RecordCount()
{
    CheckActive();
    if (FFiltered && FPredicate) {
        const TRow Saved = FCurrent;
        const bool HadCurrent = FHasCurrent;
        const int Count = Walk(true, nullptr, std::numeric_limits<int>::max());
        FCurrent = Saved;
        FHasCurrent = HadCurrent;
        return Count;
    }
    QVariantList Binds;
    const QString Where = BaseWhere(Binds);
    sqlite3_stmt* Statement = Prepare(QStringLiteral("SELECT count(*) FROM ") + Quote(SqlTableName()) +
                                      (Where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + Where));
    Bind(Statement, Binds);
    if (TableInternal::Step(Statement) != SQLITE_ROW)
        Fail(QStringLiteral("Cannot count"));
    const int Count = sqlite3_column_int(Statement, 0);
    sqlite3_reset(Statement);
    return Count;
}

bool TTable::TImpl::ReadByRowId(qint64 RowId, TRow& Row)
{
    QVariantList Binds;
    QString Where = BaseWhere(Binds);
    Where = Where.isEmpty() ? QStringLiteral("rowid = ?") : Where + QStringLiteral(" AND rowid = ?");
    Binds << RowId;
    sqlite3_stmt* Statement = Prepare(QStringLiteral("SELECT ") + SelectList() + QStringLiteral(" FROM ") +
                                      Quote(SqlTableName()) + QStringLiteral(" WHERE ") + Where);
    Bind(Statement, Binds);
    const int Rc = TableInternal::Step(Statement);
    if (Rc == SQLITE_ROW)
        Row = ReadRow(Statement);
    sqlite3_reset(Statement);
    if (Rc != SQLITE_ROW && Rc != SQLITE_DONE)
        Fail(QStringLiteral("Cannot read"));
    return Rc == SQLITE_ROW && Accepts(Row);
}

void TTable::TImpl::Reposition(const TRow& Old)
{
    TRow Row;
    if (ReadByRowId(Old.RowId, Row)) {
        SetCurrent(std::move(Row));
        FBof = FEof = false;
        return;
    }
    if (Walk(true, &Old, 1) > 0) {
        FBof = FEof = false;
        return;
    }
    if (Walk(false, &Old, 1) > 0) {
        FBof = false;
        FEof = true;
        return;
    }
    SetEmpty();
}

void TTable::TImpl::Refresh()
{
    CheckBrowseMode();
    DropReadAhead();
    if (FHasCurrent)
        Reposition(TRow(FCurrent));
    else
        First();
}

void TTable::TImpl::SetIndexName(const QString& Name)
{
    DropReadAhead();
    if (!Active()) {
        // Chosen before the open, checked by it.
        FIndexName = Name;
        return;
    }
    CheckBrowseMode();
    int Found = -1;
    for (size_t I = 0; I < FIndexes.size(); ++I)
        if (FIndexes[I].Name.compare(Name, Qt::CaseInsensitive) == 0)
            Found = static_cast<int>(I);
    if (Found < 0)
        throw EDatabaseError(QStringLiteral("Index '%1' not found in table %2").arg(Name, FTableName));
    if (Found == FCurrentIndex)
        return;
    FCurrentIndex = Found;
    FIndexName = FIndexes[static_cast<size_t>(Found)].Name;
    FRangeActive = false;
    if (FHasCurrent)
        Reposition(TRow(FCurrent));
    else
        First();
}

bool TTable::TImpl::FindKey(const QVariantList& Values)
{
    CheckBrowseMode();
    const TIndexInfo& Index = CurrentIndex();
    const int KeyFields = Index.FieldIndexes.isEmpty() ? 1 : static_cast<int>(Index.FieldIndexes.size());
    if (Values.isEmpty() || Values.size() > KeyFields)
        throw EDatabaseError(QStringLiteral("FindKey needs 1 to %1 values").arg(KeyFields));
    QVariantList Binds;
    for (int I = 0; I < Values.size(); ++I)
        Binds << (Index.FieldIndexes.isEmpty() ? QVariant(Values[I].toLongLong())
                                               : ToStorage(Index.FieldIndexes[I], Values[I]));
    QStringList Equal;
    for (int I = 0; I < Values.size(); ++I)
        Equal << Index.Columns[I] + QStringLiteral(" = ?");
    const QString Condition = Equal.join(u" AND ");
    if (Walk(true, nullptr, 1, Condition, Binds) == 0)
        return false;
    FBof = FEof = false;
    return true;
}

TTable::TImpl::TKeySearch TTable::TImpl::KeySearch(const QString& IndexName, const QVariantList& Values,
                                                   const char* What) const
{
    TKeySearch Search;
    for (const TIndexInfo& Each : FIndexes)
        if (Each.Name.compare(IndexName, Qt::CaseInsensitive) == 0)
            Search.Index = &Each;
    if (!Search.Index)
        throw EDatabaseError(QStringLiteral("Index '%1' not found in table %2").arg(IndexName, FTableName));
    const QList<int>& Fields = Search.Index->FieldIndexes;
    const int KeyFields = Fields.isEmpty() ? 1 : static_cast<int>(Fields.size());
    if (Values.isEmpty() || Values.size() > KeyFields)
        throw EDatabaseError(QStringLiteral("%1 needs 1 to %2 values").arg(QLatin1String(What)).arg(KeyFields));
    for (int I = 0; I < Values.size(); ++I)
        Search.Binds << (Fields.isEmpty() ? QVariant(Values[I].toLongLong()) : ToStorage(Fields[I], Values[I]));
    return Search;
}

QString TTable::TImpl::KeySearchSql(const TIndexInfo& Index, int KeyLength, const QString& Select) const
{
    QStringList Equal;
    for (int I = 0; I < KeyLength; ++I)
        Equal << Index.Columns[I] + QStringLiteral(" = ?");
    return QStringLiteral("SELECT ") + Select + QStringLiteral(" FROM ") + Quote(SqlTableName()) +
           QStringLiteral(" WHERE ") + Equal.join(u" AND ") + QStringLiteral(" ORDER BY ") +
           Index.Columns.join(QStringLiteral(", ")) + QStringLiteral(" LIMIT 1");
}

QVariant TTable::TImpl::LookupKey(const QString& IndexName, const QVariantList& Values, const QString& ResultField)
{
    CheckActive();
    const TKeySearch Search = KeySearch(IndexName, Values, "LookupKey");
    const int Result = FFieldIndex.value(ResultField.toLower(), -1);
    if (Result < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found in table %2").arg(ResultField, FTableName));
    // The text is made once per index, key length and field: bulk work asks the same look-up again
    // and again.
    const QString Key = Search.Index->Name + u'|' + QString::number(Values.size()) + u'|' + QString::number(Result);
    auto Sql = FLookupSql.constFind(Key);
    if (Sql == FLookupSql.constEnd())
        Sql = FLookupSql.insert(
            Key, KeySearchSql(*Search.Index, static_cast<int>(Values.size()), Quote(FDef.Fields[Result].Name)));
    sqlite3_stmt* Statement = Prepare(*Sql);
    Bind(Statement, Search.Binds);
    QVariant Value;
    const int Rc = TableInternal::Step(Statement);
    if (Rc == SQLITE_ROW)
        Value = ColumnValue(Statement, 0, FDef.Fields[Result].Type);
    sqlite3_reset(Statement);
    if (Rc != SQLITE_ROW && Rc != SQLITE_DONE)
        Fail(QStringLiteral("Cannot read"));
    return Value;
}

void TTable::TImpl::SetRange(const QVariantList& Low, const QVariantList& High)
{
    CheckBrowseMode();
    const TIndexInfo& Index = CurrentIndex();
    const int KeyFields = Index.FieldIndexes.isEmpty() ? 1 : static_cast<int>(Index.FieldIndexes.size());
    if (Low.size() > KeyFields || High.size() > KeyFields)
        throw EDatabaseError(QStringLiteral("The range has more values than the index has fields"));
    DropReadAhead();
    FRangeLow = Low;
    FRangeHigh = High;
    FRangeActive = true;
    First();
}

void TTable::TImpl::CancelRange()
{
    CheckBrowseMode();
    DropReadAhead();
    FRangeActive = false;
    FRangeLow.clear();
    FRangeHigh.clear();
    if (FHasCurrent)
        Reposition(TRow(FCurrent));
    else
        First();
}

void TTable::TImpl::SetFilter(std::function<bool(TTable&)> Predicate, const QString& SqlWhere,
                              const QVariantList& Params)
{
    DropReadAhead();
    FPredicate = std::move(Predicate);
    FFilterSql = SqlWhere;
    FFilterParams = Params;
    if (Active() && FFiltered)
        First();
}

void TTable::TImpl::SetFiltered(bool Value, bool GoToFirst)
{
    if (FFiltered == Value)
        return;
    DropReadAhead();
    FFiltered = Value;
    if (Active() && GoToFirst)
        First();
}

qint64 TTable::TImpl::GetBookmark() const
{
    return FHasCurrent ? FCurrent.RowId : 0;
}

bool TTable::TImpl::GotoBookmark(qint64 Bookmark)
{
    CheckBrowseMode();
    TRow Row;
    if (!ReadByRowId(Bookmark, Row))
        return false;
    SetCurrent(std::move(Row));
    FBof = FEof = false;
    return true;
}
