#include "platform/db/Table.h"
#include "platform/db/TableImpl.h"

// TTable's public face: each call goes to the method of the same name of its state (TableImpl.h).

TTable::TTable(TSession& Session) : FImpl(std::make_unique<TImpl>(*this, Session)) {}

TTable::~TTable()
{
    try {
        FImpl->Close();
    } catch (...) {
    }
}

// ---- file and connection

void TTable::SetDatabaseName(const QString& Folder)
{
    FImpl->SetDatabaseName(Folder);
}

const QString& TTable::DatabaseName() const
{
    return FImpl->DatabaseName();
}

void TTable::SetTableName(const QString& FileName)
{
    FImpl->SetTableName(FileName);
}

const QString& TTable::TableName() const
{
    return FImpl->TableName();
}

QString TTable::FileName() const
{
    return FImpl->FileName();
}

bool TTable::Exists() const
{
    return FImpl->Exists();
}

void TTable::CreateTable(const TTableDef& Def, const QString& Password)
{
    FImpl->CreateTable(Def, Password);
}

void TTable::DeleteTable()
{
    FImpl->DeleteTable();
}

void TTable::SetExclusive(bool Value)
{
    FImpl->SetExclusive(Value);
}

bool TTable::Exclusive() const
{
    return FImpl->Exclusive();
}

void TTable::Open()
{
    FImpl->Open();
}

void TTable::Close()
{
    FImpl->Close();
}

bool TTable::Active() const
{
    return FImpl->Active();
}

TDataSetState TTable::State() const
{
    return FImpl->State();
}

const TTableDef& TTable::Definition() const
{
    return FImpl->Definition();
}

bool TTable::Protected() const
{
    return FImpl->Protected();
}

// ---- cursor

const QString& TTable::IndexName() const
{
    return FImpl->IndexName();
}

void TTable::SetIndexName(const QString& Name)
{
    FImpl->SetIndexName(Name);
}

void TTable::First()
{
    FImpl->First();
}

void TTable::Last()
{
    FImpl->Last();
}

void TTable::Next()
{
    FImpl->Next();
}

void TTable::Prior()
{
    FImpl->Prior();
}

int TTable::MoveBy(int Distance)
{
    return FImpl->MoveBy(Distance);
}

void TTable::SetReadAhead(bool On, int Batch)
{
    FImpl->SetReadAhead(On, Batch);
}

bool TTable::ReadAhead() const
{
    return FImpl->ReadAhead();
}

bool TTable::Bof() const
{
    return FImpl->Bof();
}

bool TTable::Eof() const
{
    return FImpl->Eof();
}

bool TTable::IsEmpty() const
{
    return FImpl->IsEmpty();
}

int TTable::RecordCount()
{
    return FImpl->RecordCount();
}

void TTable::Refresh()
{
    FImpl->Refresh();
}

bool TTable::FindKey(const QVariantList& Values)
{
    return FImpl->FindKey(Values);
}

QVariant TTable::LookupKey(const QString& IndexName, const QVariantList& Values, const QString& ResultField)
{
    return FImpl->LookupKey(IndexName, Values, ResultField);
}

std::vector<QVariantList> TTable::LookupRecords(const QString& IndexName, const QList<QVariantList>& Keys)
{
    return FImpl->LookupRecords(IndexName, Keys);
}

void TTable::SetRange(const QVariantList& Low, const QVariantList& High)
{
    FImpl->SetRange(Low, High);
}

void TTable::CancelRange()
{
    FImpl->CancelRange();
}

bool TTable::RangeActive() const
{
    return FImpl->RangeActive();
}

void TTable::SetFilter(std::function<bool(TTable&)> Predicate, const QString& SqlWhere, const QVariantList& Params)
{
    FImpl->SetFilter(std::move(Predicate), SqlWhere, Params);
}

void TTable::SetFiltered(bool Value, bool GoToFirst)
{
    FImpl->SetFiltered(Value, GoToFirst);
}

bool TTable::Filtered() const
{
    return FImpl->Filtered();
}

qint64 TTable::GetBookmark() const
{
    return FImpl->GetBookmark();
}

bool TTable::GotoBookmark(qint64 Bookmark)
{
    return FImpl->GotoBookmark(Bookmark);
}

// ---- records and fields

void TTable::Append()
{
    FImpl->Append();
}

void TTable::Edit()
{
    FImpl->Edit();
}

void TTable::Post()
{
    FImpl->Post();
}

void TTable::Cancel()
{
    FImpl->Cancel();
}

void TTable::Delete()
{
    FImpl->Delete();
}

TField& TTable::FieldByName(const QString& Name)
{
    return FImpl->FieldByName(Name);
}

TField* TTable::FindField(const QString& Name)
{
    return FImpl->FindField(Name);
}

int TTable::FieldCount() const
{
    return FImpl->FieldCount();
}

TField& TTable::Fields(int Index)
{
    return FImpl->Fields(Index);
}

// ---- transactions and bulk work

void TTable::StartTransaction()
{
    FImpl->StartTransaction();
}

void TTable::Commit()
{
    FImpl->Commit();
}

void TTable::Rollback()
{
    FImpl->Rollback();
}

bool TTable::InTransaction() const
{
    return FImpl->InTransaction();
}

void TTable::Savepoint(const QString& Name)
{
    FImpl->Savepoint(Name);
}

void TTable::ReleaseSavepoint(const QString& Name)
{
    FImpl->ReleaseSavepoint(Name);
}

void TTable::RollbackToSavepoint(const QString& Name)
{
    FImpl->RollbackToSavepoint(Name);
}

bool TTable::DeferIndexes(const QStringList& Keep)
{
    return FImpl->DeferIndexes(Keep);
}

void TTable::StartReadTransaction()
{
    FImpl->StartReadTransaction();
}

TTable::TRewriteCount
TTable::RewriteRows(const QStringList& Read, const QStringList& Write,
                    const std::function<bool(const QVariantList& Values, QVariantList& NewValues)>& Change)
{
    return FImpl->RewriteRows(Read, Write, Change);
}

// ---- maintenance

void TTable::Pack()
{
    FImpl->Pack();
}

QStringList TTable::IntegrityCheck()
{
    return FImpl->IntegrityCheck();
}

QStringList TTable::RegenerateIndexes()
{
    return FImpl->RegenerateIndexes();
}

qint64 TTable::Rebuild(const TTableDef& Def, const std::function<void(const QString& NewFile)>& BeforeRename,
                       const QString& RenumberField)
{
    return FImpl->Rebuild(Def, BeforeRename, RenumberField);
}

TTable::TSalvageCount TTable::Salvage(const TTableDef& Def,
                                      const std::function<void(const QString& NewFile)>& BeforeRename)
{
    return FImpl->Salvage(Def, BeforeRename);
}

void TTable::CopyTo(const QString& DestFile)
{
    FImpl->CopyTo(DestFile);
}

QString TTable::ConnectionSetting(const QString& Name)
{
    return FImpl->ConnectionSetting(Name);
}
