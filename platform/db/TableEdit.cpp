#include "platform/db/Table.h"
#include "platform/db/TableImpl.h"

#include <cmath>
#include <sqlite3.h>

using namespace TableInternal;

double DateTimeToDays(const QDateTime& Value)
{
    if (!Value.isValid())
        return 0;
    static const QDate Epoch(1899, 12, 30);
    const double Days = static_cast<double>(Epoch.daysTo(Value.date()));
    const double Fraction = Value.time().msecsSinceStartOfDay() / 86400000.0;
    // Before the epoch the fraction counts away from zero, as the framework's values do.
    return Days < 0 ? Days - Fraction : Days + Fraction;
}

QDateTime DaysToDateTime(double Days)
{
    if (Days == 0)
        return {};
    static const QDate Epoch(1899, 12, 30);
    const double Whole = std::trunc(Days);
    const qint64 Msecs = std::llround(std::fabs(Days - Whole) * 86400000.0);
    return QDateTime(Epoch.addDays(static_cast<qint64>(Whole)), QTime(0, 0)).addMSecs(Msecs);
}

// ---- TField

const QVariant& TField::Raw() const
{
    FOwner.FImpl->CheckActive();
    return FOwner.FImpl->FCurrent.Values.at(static_cast<size_t>(FIndex));
}

void TField::SetRaw(const QVariant& Value)
{
    FOwner.FImpl->CheckActive();
    if (FOwner.FImpl->FState != TDataSetState::Edit && FOwner.FImpl->FState != TDataSetState::Insert)
        throw EDatabaseError(QStringLiteral("Table %1 is not in edit or insert mode").arg(FOwner.FImpl->FTableName));
    AssignValue(FOwner.FImpl->FCurrent.Values[static_cast<size_t>(FIndex)], Value);
}

bool TField::IsNull() const
{
    const QVariant& Value = Raw();
    if (IsText(FDef.Type))
        return Value.toString().isEmpty();
    if (FDef.Type == TFieldType::DateTime)
        return Value.toDouble() == 0;
    return Value.toLongLong() == 0;
}

void TField::Clear()
{
    SetRaw(BlankValue(FDef.Type));
}

QString StoredValueText(TFieldType Type, const QVariant& Value)
{
    switch (Type) {
    case TFieldType::String:
    case TFieldType::Memo:
        return Value.toString();
    case TFieldType::DateTime: {
        const QDateTime Time = DaysToDateTime(Value.toDouble());
        return Time.isValid() ? Time.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")) : QString();
    }
    case TFieldType::Boolean:
        return Value.toLongLong() != 0 ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return QString::number(Value.toLongLong());
    }
}

QString TField::AsString() const
{
    return StoredValueText(FDef.Type, Raw());
}

void TField::SetAsString(const QString& Value)
{
    switch (FDef.Type) {
    case TFieldType::String:
        SetRaw(CutToWidth(Value, FDef.Size));
        return;
    case TFieldType::Memo:
        SetRaw(Value);
        return;
    case TFieldType::DateTime: {
        if (Value.trimmed().isEmpty()) {
            SetRaw(0.0);
            return;
        }
        const QDateTime Time = QDateTime::fromString(Value.trimmed(), QStringLiteral("yyyy/MM/dd hh:mm:ss"));
        if (!Time.isValid())
            throw EDatabaseError(QStringLiteral("'%1' is not a valid date and time").arg(Value));
        SetRaw(DateTimeToDays(Time));
        return;
    }
    case TFieldType::Boolean: {
        const QString Text = Value.trimmed().toLower();
        if (Text == QStringLiteral("true") || Text == QStringLiteral("1"))
            SetRaw(qint64(1));
        else if (Text == QStringLiteral("false") || Text == QStringLiteral("0") || Text.isEmpty())
            SetRaw(qint64(0));
        else
            throw EDatabaseError(QStringLiteral("'%1' is not a valid Boolean value").arg(Value));
        return;
    }
    default: {
        if (Value.trimmed().isEmpty()) {
            SetRaw(qint64(0));
            return;
        }
        bool Ok = false;
        const int Number = Value.trimmed().toInt(&Ok);
        if (!Ok)
            throw EDatabaseError(QStringLiteral("'%1' is not a valid integer value").arg(Value));
        SetRaw(qint64(Number));
    }
    }
}

int TField::AsInteger() const
{
    const QVariant& Value = Raw();
    if (IsText(FDef.Type)) {
        const QString Text = Value.toString().trimmed();
        if (Text.isEmpty())
            return 0;
        bool Ok = false;
        const int Number = Text.toInt(&Ok);
        if (!Ok)
            throw EDatabaseError(QStringLiteral("'%1' is not a valid integer value").arg(Text));
        return Number;
    }
    if (FDef.Type == TFieldType::DateTime)
        return static_cast<int>(Value.toDouble());
    return static_cast<int>(Value.toLongLong());
}

void TField::SetAsInteger(int Value)
{
    if (IsText(FDef.Type))
        SetAsString(QString::number(Value));
    else if (FDef.Type == TFieldType::DateTime)
        SetRaw(static_cast<double>(Value));
    else if (FDef.Type == TFieldType::Boolean)
        SetRaw(qint64(Value != 0));
    else
        SetRaw(qint64(Value));
}

double TField::AsFloat() const
{
    if (IsText(FDef.Type))
        return Raw().toString().toDouble();
    return Raw().toDouble();
}

void TField::SetAsFloat(double Value)
{
    if (FDef.Type == TFieldType::DateTime)
        SetRaw(Value);
    else if (IsText(FDef.Type))
        SetAsString(QString::number(Value));
    else
        SetAsInteger(static_cast<int>(Value));
}

QDateTime TField::AsDateTime() const
{
    if (FDef.Type != TFieldType::DateTime)
        throw EDatabaseError(QStringLiteral("Field '%1' is not a date-time field").arg(FDef.Name));
    return DaysToDateTime(Raw().toDouble());
}

void TField::SetAsDateTime(const QDateTime& Value)
{
    if (FDef.Type != TFieldType::DateTime)
        throw EDatabaseError(QStringLiteral("Field '%1' is not a date-time field").arg(FDef.Name));
    SetRaw(DateTimeToDays(Value));
}

bool TField::AsBoolean() const
{
    if (IsText(FDef.Type))
        return Raw().toString().trimmed().compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
    return Raw().toLongLong() != 0;
}

void TField::SetAsBoolean(bool Value)
{
    if (IsText(FDef.Type))
        SetAsString(Value ? QStringLiteral("True") : QStringLiteral("False"));
    else
        SetRaw(qint64(Value ? 1 : 0));
}

// ---- editing

TField* TTable::TImpl::FindField(const QString& Name)
{
    // Callers nearly always spell the name as defined; only the rest pay for folding.
    int Index = FFieldExact.value(Name, -1);
    if (Index < 0)
        Index = FFieldIndex.value(Name.toLower(), -1);
    return Index < 0 ? nullptr : FFields[static_cast<size_t>(Index)].get();
}

TField& TTable::TImpl::FieldByName(const QString& Name)
{
    CheckActive();
    TField* Field = FindField(Name);
    if (!Field)
        throw EDatabaseError(QStringLiteral("Field '%1' not found in table %2").arg(Name, FTableName));
    return *Field;
}

void TTable::TImpl::Append()
{
    CheckBrowseMode();
    // The current row moves aside whole for Cancel; the blank takes over the storage it leaves.
    std::swap(FSaved, FCurrent);
    FCurrent.RowId = 0;
    if (FCurrent.Values.size() != FBlank.size()) {
        FCurrent.Values = FBlank;
    } else {
        for (size_t I = 0; I < FBlank.size(); ++I)
            AssignValue(FCurrent.Values[I], FBlank[I]);
    }
    FState = TDataSetState::Insert;
}

void TTable::TImpl::Edit()
{
    CheckBrowseMode();
    if (!FHasCurrent)
        throw EDatabaseError(QStringLiteral("Cannot edit an empty table %1").arg(FTableName));
    FSaved = FCurrent;
    FState = TDataSetState::Edit;
}

void TTable::TImpl::Cancel()
{
    if (FState != TDataSetState::Edit && FState != TDataSetState::Insert)
        return;
    FCurrent = FSaved;
    FState = TDataSetState::Browse;
}

void TTable::TImpl::Post()
{
    CheckActive();
    if (FState != TDataSetState::Edit && FState != TDataSetState::Insert)
        throw EDatabaseError(QStringLiteral("Table %1 is not in edit or insert mode").arg(FTableName));
    const bool Inserting = FState == TDataSetState::Insert;
    const bool NumberedByTable =
        Inserting && FAutoIncField >= 0 && FCurrent.Values[static_cast<size_t>(FAutoIncField)].toLongLong() == 0;
    // Every parameter is bound below, so the bindings of the record before need no clearing.
    sqlite3_stmt* Statement = Inserting ? (NumberedByTable ? PrepareKept(FKept.InsertNumbered, FInsertNumberedSql)
                                                           : PrepareKept(FKept.Insert, FInsertSql))
                                        : PrepareKept(FKept.Update, FUpdateSql);
    int Position = 0;
    for (int I = 0; I < FDef.Fields.size(); ++I) {
        if (NumberedByTable && I == FAutoIncField)
            continue;
        // Text was cut to its width when it was set.
        BindValue(Statement, ++Position, FCurrent.Values[static_cast<size_t>(I)]);
    }
    if (!Inserting)
        BindValue(Statement, ++Position, FCurrent.RowId);
    const int Rc = TableInternal::Step(Statement);
    sqlite3_reset(Statement);
    if ((Rc & 0xFF) == SQLITE_CONSTRAINT)
        throw EDatabaseError(QStringLiteral("Key violation in table %1").arg(FileName()));
    if (Rc != SQLITE_DONE)
        Fail(QStringLiteral("Cannot write"));
    if (Inserting) {
        FCurrent.RowId = sqlite3_last_insert_rowid(FDb);
        if (NumberedByTable)
            FCurrent.Values[static_cast<size_t>(FAutoIncField)] = FCurrent.RowId;
    } else {
        if (sqlite3_changes(FDb) == 0)
            throw EDatabaseError(QStringLiteral("The record was deleted by another user (table %1)").arg(FileName()));
        // A changed primary key moves the row id with it.
        if (FRowIdIsPrimary)
            FCurrent.RowId = FCurrent.Values[static_cast<size_t>(FPrimaryField)].toLongLong();
    }
    // The posted row becomes current even when a range or filter would hide it: a record just
    // written stays in view until the cursor moves.
    FState = TDataSetState::Browse;
    FHasCurrent = true;
    FBof = FEof = false;
}

void TTable::TImpl::Delete()
{
    CheckActive();
    if (FState == TDataSetState::Insert) {
        Cancel();
        return;
    }
    if (FState == TDataSetState::Edit)
        Cancel();
    if (!FHasCurrent)
        throw EDatabaseError(QStringLiteral("Cannot delete from an empty table %1").arg(FTableName));
    sqlite3_stmt* Statement =
        Prepare(QStringLiteral("DELETE FROM ") + Quote(SqlTableName()) + QStringLiteral(" WHERE rowid = ?"));
    Bind(Statement, {FCurrent.RowId});
    const int Rc = TableInternal::Step(Statement);
    sqlite3_reset(Statement);
    if (Rc != SQLITE_DONE)
        Fail(QStringLiteral("Cannot delete"));
    const TRow Old = FCurrent;
    if (Walk(true, &Old, 1) > 0) {
        FBof = FEof = false;
    } else if (Walk(false, &Old, 1) > 0) {
        FBof = false;
        FEof = true;
    } else {
        SetEmpty();
    }
}
