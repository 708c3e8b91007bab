#include "platform/db/Table.h"

#include "platform/db/Collation.h"
#include "platform/sys/Folders.h"
#include "platform/text/Cp932.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sqlite3.h>
#include <unistd.h>

namespace {

constexpr int MetaFormat = 1;
constexpr int PlainBatch = 256;
constexpr int FilteredBatch = 64;

QString Quote(const QString& Name)
{
    return u'"' + QString(Name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

bool IsText(TFieldType Type)
{
    return Type == TFieldType::String || Type == TFieldType::Memo;
}

QString TypeSql(TFieldType Type)
{
    switch (Type) {
    case TFieldType::String:
    case TFieldType::Memo:
        return QStringLiteral("TEXT NOT NULL DEFAULT ''");
    case TFieldType::DateTime:
        return QStringLiteral("REAL NOT NULL DEFAULT 0");
    default:
        return QStringLiteral("INTEGER NOT NULL DEFAULT 0");
    }
}

// A text column carries its collation itself, so that SQLite seeks its indexes on plain
// comparisons (an explicit COLLATE in a comparison keeps the planner off the index): the folding
// one when a case-insensitive index covers the column, else plain CP932 order.
bool ColumnFolds(const TTableDef& Def, const QString& FieldName)
{
    for (const TIndexDef& Index : Def.Indexes)
        if (Index.CaseInsensitive)
            for (const QString& Name : Index.FieldList())
                if (Name.compare(FieldName, Qt::CaseInsensitive) == 0)
                    return true;
    return false;
}

QString CollationSql(bool Fold)
{
    return QStringLiteral(" COLLATE ") + QString::fromLatin1(Fold ? Cp932CiCollationName : Cp932CollationName);
}

// A column of an index; the collation is named only where the index differs from the column.
QString IndexColumnSql(const TTableDef& Def, const TFieldDef& Field, bool CaseInsensitive)
{
    QString Column = Quote(Field.Name);
    if (IsText(Field.Type) && ColumnFolds(Def, Field.Name) != CaseInsensitive)
        Column += CollationSql(CaseInsensitive);
    return Column;
}

std::optional<TFieldType> FieldTypeFromName(const QString& Name)
{
    for (TFieldType Type : {TFieldType::Integer, TFieldType::AutoInc, TFieldType::String, TFieldType::Memo,
                            TFieldType::DateTime, TFieldType::Boolean})
        if (FieldTypeName(Type) == Name)
            return Type;
    return std::nullopt;
}

QVariant BlankValue(TFieldType Type)
{
    if (IsText(Type))
        return QString();
    if (Type == TFieldType::DateTime)
        return 0.0;
    return qint64(0);
}

QString PasswordMark(const QByteArray& Salt, const QString& Password)
{
    return QString::fromLatin1(QCryptographicHash::hash(Salt + Password.toUtf8(), QCryptographicHash::Sha256).toHex());
}

void SyncFile(const QString& Path)
{
    const int Fd = ::open(QFile::encodeName(Path).constData(), O_RDONLY);
    if (Fd >= 0) {
        ::fsync(Fd);
        ::close(Fd);
    }
}

QString TemporaryNameBeside(const QString& File)
{
    const QFileInfo Info(File);
    return Info.absolutePath() + QStringLiteral("/.") + Info.fileName() + QStringLiteral(".tmp-") +
           QString::number(QRandomGenerator::global()->generate(), 16);
}

// Moves a finished temporary file into place. A journal left under the new name by an earlier
// crash would otherwise be rolled back into the new file.
void RenameIntoPlace(const QString& Temporary, const QString& Dest)
{
    SyncFile(Temporary);
    QFile::remove(Dest + QStringLiteral("-journal"));
    if (::rename(QFile::encodeName(Temporary).constData(), QFile::encodeName(Dest).constData()) != 0) {
        QFile::remove(Temporary);
        throw EDatabaseError(QStringLiteral("Cannot create file %1").arg(Dest));
    }
    SyncFile(QFileInfo(Dest).absolutePath());
}

// A plain connection for building or copying files.
class TRawDb
{
public:
    TRawDb(const QString& Path, int Flags)
    {
        if (sqlite3_open_v2(QFile::encodeName(Path).constData(), &Db, Flags, nullptr) != SQLITE_OK) {
            const QString Message = QString::fromUtf8(sqlite3_errmsg(Db));
            sqlite3_close_v2(Db);
            Db = nullptr;
            throw EDatabaseError(QStringLiteral("Cannot open %1: %2").arg(Path, Message));
        }
        RegisterCp932Collations(Db);
    }
    ~TRawDb()
    {
        if (Db)
            sqlite3_close_v2(Db);
    }
    void Exec(const QString& Sql)
    {
        char* Error = nullptr;
        if (sqlite3_exec(Db, Sql.toUtf8().constData(), nullptr, nullptr, &Error) != SQLITE_OK) {
            const QString Message = QString::fromUtf8(Error ? Error : sqlite3_errmsg(Db));
            sqlite3_free(Error);
            throw EDatabaseError(Message);
        }
    }
    void Close()
    {
        if (Db && sqlite3_close_v2(Db) != SQLITE_OK)
            throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(Db)));
        Db = nullptr;
    }
    sqlite3* Db = nullptr;
};

// No character is wider than two bytes, so a short text needs no measuring.
QString CutToWidth(const QString& Text, int Size)
{
    return Text.size() * 2 <= Size ? Text : Cp932Left(Text, Size);
}

QString SqlLiteral(const QString& Text)
{
    return u'\'' + QString(Text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

void CopyDatabase(sqlite3* Source, const QString& DestFile)
{
    const QString Temporary = TemporaryNameBeside(DestFile);
    try {
        TRawDb Dest(Temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        sqlite3_backup* Backup = sqlite3_backup_init(Dest.Db, "main", Source, "main");
        if (!Backup)
            throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(Dest.Db)));
        int Rc;
        do {
            Rc = sqlite3_backup_step(Backup, -1);
            if (Rc == SQLITE_BUSY || Rc == SQLITE_LOCKED)
                sqlite3_sleep(20);
        } while (Rc == SQLITE_OK || Rc == SQLITE_BUSY || Rc == SQLITE_LOCKED);
        sqlite3_backup_finish(Backup);
        if (Rc != SQLITE_DONE)
            throw EDatabaseError(
                QStringLiteral("Cannot copy to %1: %2").arg(DestFile, QString::fromUtf8(sqlite3_errstr(Rc))));
        Dest.Close();
        RenameIntoPlace(Temporary, DestFile);
    } catch (...) {
        QFile::remove(Temporary);
        QFile::remove(Temporary + QStringLiteral("-journal"));
        throw;
    }
}

} // namespace

QString FieldTypeName(TFieldType Type)
{
    switch (Type) {
    case TFieldType::Integer:
        return QStringLiteral("Integer");
    case TFieldType::AutoInc:
        return QStringLiteral("AutoInc");
    case TFieldType::String:
        return QStringLiteral("String");
    case TFieldType::Memo:
        return QStringLiteral("Memo");
    case TFieldType::DateTime:
        return QStringLiteral("DateTime");
    case TFieldType::Boolean:
        return QStringLiteral("Boolean");
    }
    return {};
}

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

void TSession::AddPassword(const QString& Password)
{
    if (!FPasswords.contains(Password))
        FPasswords.append(Password);
}

void TSession::RemovePassword(const QString& Password)
{
    FPasswords.removeAll(Password);
}

TSession& DefaultSession()
{
    static TSession Session;
    return Session;
}

// ---- TField

const QVariant& TField::Raw() const
{
    FOwner.CheckActive();
    return FOwner.FCurrent.Values.at(static_cast<size_t>(FIndex));
}

void TField::SetRaw(const QVariant& Value)
{
    FOwner.CheckActive();
    if (FOwner.FState != TDataSetState::Edit && FOwner.FState != TDataSetState::Insert)
        throw EDatabaseError(QStringLiteral("Table %1 is not in edit or insert mode").arg(FOwner.FTableName));
    FOwner.FCurrent.Values[static_cast<size_t>(FIndex)] = Value;
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

QString TField::AsString() const
{
    const QVariant& Value = Raw();
    switch (FDef.Type) {
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

// ---- TTable: files and connection

TTable::TTable(TSession& Session) : FSession(Session) {}

TTable::~TTable()
{
    try {
        Close();
    } catch (...) {
    }
}

void TTable::SetDatabaseName(const QString& Folder)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot change the folder of an open table"));
    FDatabaseName = Folder;
}

void TTable::SetTableName(const QString& FileName)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot change the name of an open table"));
    FTableName = FileName;
}

QString TTable::FileName() const
{
    return FDatabaseName.isEmpty() ? FTableName : IncludeTrailingDelimiter(FDatabaseName) + FTableName;
}

QString TTable::SqlTableName() const
{
    // An open table goes by the name it was created with, so that a copy under another file name opens too.
    return FSqlName.isEmpty() ? QFileInfo(FTableName).completeBaseName() : FSqlName;
}

bool TTable::Exists() const
{
    return QFileInfo(FileName()).isFile();
}

void TTable::SetExclusive(bool Value)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot change the access of an open table"));
    FExclusive = Value;
}

void TTable::Fail(const QString& What) const
{
    QString Message = What;
    if (FDb)
        Message += QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(FDb));
    throw EDatabaseError(Message + QStringLiteral(" (table %1)").arg(FileName()));
}

void TTable::CheckActive() const
{
    if (!FDb)
        throw EDatabaseError(QStringLiteral("Table %1 is not open").arg(FTableName));
}

void TTable::CreateTable(const TTableDef& Def, const QString& Password)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot create the open table %1").arg(FileName()));
    const QString Name = SqlTableName();
    if (Name.isEmpty() || Name.startsWith(u'_'))
        throw EDatabaseError(QStringLiteral("Invalid table name %1").arg(FTableName));

    QStringList Columns;
    QString PrimaryClause;
    const TIndexDef* Primary = nullptr;
    for (const TIndexDef& Index : Def.Indexes)
        if (Index.Primary)
            Primary = &Index;
    auto FindDef = [&](const QString& FieldName) -> const TFieldDef* {
        for (const TFieldDef& Field : Def.Fields)
            if (Field.Name.compare(FieldName, Qt::CaseInsensitive) == 0)
                return &Field;
        return nullptr;
    };
    auto IndexColumns = [&](const TIndexDef& Index) {
        QStringList Result;
        for (const QString& FieldName : Index.FieldList()) {
            const TFieldDef* Field = FindDef(FieldName);
            if (!Field)
                throw EDatabaseError(QStringLiteral("Index %1 names the unknown field %2").arg(Index.Name, FieldName));
            Result << IndexColumnSql(Def, *Field, Index.CaseInsensitive);
        }
        return Result;
    };
    const QStringList PrimaryFields = Primary ? Primary->FieldList() : QStringList();
    const bool RowIdPrimary = PrimaryFields.size() == 1 && FindDef(PrimaryFields[0]) &&
                              (FindDef(PrimaryFields[0])->Type == TFieldType::Integer ||
                               FindDef(PrimaryFields[0])->Type == TFieldType::AutoInc);
    for (const TFieldDef& Field : Def.Fields) {
        if (Field.Name.isEmpty())
            throw EDatabaseError(QStringLiteral("A field without a name"));
        const bool IsPrimaryColumn = RowIdPrimary && Field.Name.compare(PrimaryFields[0], Qt::CaseInsensitive) == 0;
        if (Field.Type == TFieldType::AutoInc && !IsPrimaryColumn)
            throw EDatabaseError(
                QStringLiteral("The auto-increment field %1 must be the primary index").arg(Field.Name));
        if (IsPrimaryColumn)
            Columns << Quote(Field.Name) + (Field.Type == TFieldType::AutoInc
                                                ? QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT")
                                                : QStringLiteral(" INTEGER PRIMARY KEY"));
        else
            Columns << Quote(Field.Name) + u' ' + TypeSql(Field.Type) +
                           (IsText(Field.Type) ? CollationSql(ColumnFolds(Def, Field.Name)) : QString());
    }
    if (Primary && !RowIdPrimary)
        PrimaryClause = QStringLiteral(", PRIMARY KEY (") + IndexColumns(*Primary).join(QStringLiteral(", ")) + u')';

    const QString Temporary = TemporaryNameBeside(FileName());
    try {
        TRawDb Db(Temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        // Pages of 8 KiB keep the index trees of a large table shallow; bulk appends run about a
        // third faster than with 4 KiB, at a little more journal per single write.
        Db.Exec(QStringLiteral("PRAGMA page_size=8192; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN"));
        Db.Exec(QStringLiteral("CREATE TABLE ") + Quote(Name) + QStringLiteral(" (") +
                Columns.join(QStringLiteral(", ")) + PrimaryClause + u')');
        for (const TIndexDef& Index : Def.Indexes) {
            if (Index.Primary)
                continue;
            if (Index.Name.isEmpty())
                throw EDatabaseError(QStringLiteral("A secondary index without a name"));
            Db.Exec(QStringLiteral("CREATE ") + QString(Index.Unique ? QStringLiteral("UNIQUE ") : QStringLiteral("")) +
                    QStringLiteral("INDEX ") + Quote(Name + u'_' + Index.Name) + QStringLiteral(" ON ") + Quote(Name) +
                    QStringLiteral(" (") + IndexColumns(Index).join(QStringLiteral(", ")) + u')');
        }
        Db.Exec(QStringLiteral("CREATE TABLE _meta (Kind TEXT NOT NULL, Position INTEGER NOT NULL, Name TEXT NOT NULL, "
                               "Type TEXT NOT NULL DEFAULT '', Size INTEGER NOT NULL DEFAULT 0, "
                               "Fields TEXT NOT NULL DEFAULT '', IsPrimary INTEGER NOT NULL DEFAULT 0, "
                               "IsUnique INTEGER NOT NULL DEFAULT 0, CaseInsensitive INTEGER NOT NULL DEFAULT 0, "
                               "Value TEXT NOT NULL DEFAULT '', PRIMARY KEY (Kind, Position))"));
        for (int I = 0; I < Def.Fields.size(); ++I) {
            const TFieldDef& Field = Def.Fields[I];
            Db.Exec(
                QStringLiteral("INSERT INTO _meta (Kind, Position, Name, Type, Size) VALUES ('field', %1, %2, %3, %4)")
                    .arg(I)
                    .arg(SqlLiteral(Field.Name), SqlLiteral(FieldTypeName(Field.Type)))
                    .arg(Field.Size));
        }
        for (int I = 0; I < Def.Indexes.size(); ++I) {
            const TIndexDef& Index = Def.Indexes[I];
            Db.Exec(
                QStringLiteral("INSERT INTO _meta (Kind, Position, Name, Fields, IsPrimary, IsUnique, CaseInsensitive) "
                               "VALUES ('index', %1, %2, %3, %4, %5, %6)")
                    .arg(I)
                    .arg(SqlLiteral(Index.Name), SqlLiteral(Index.Fields))
                    .arg(int(Index.Primary))
                    .arg(int(Index.Unique))
                    .arg(int(Index.CaseInsensitive)));
        }
        QByteArray Salt(16, Qt::Uninitialized);
        QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(Salt.data()), 4);
        Db.Exec(QStringLiteral("INSERT INTO _meta (Kind, Position, Name, Value) VALUES ('table', 0, 'Format', '%1')")
                    .arg(MetaFormat));
        Db.Exec(QStringLiteral("INSERT INTO _meta (Kind, Position, Name, Value) VALUES ('table', 1, 'Salt', '%1')")
                    .arg(QString::fromLatin1(Salt.toHex())));
        Db.Exec(QStringLiteral("INSERT INTO _meta (Kind, Position, Name, Value) VALUES ('table', 2, 'Password', %1)")
                    .arg(SqlLiteral(Password.isEmpty() ? QString() : PasswordMark(Salt, Password))));
        Db.Exec(QStringLiteral("INSERT INTO _meta (Kind, Position, Name, Value) VALUES ('table', 3, 'TableName', %1)")
                    .arg(SqlLiteral(Name)));
        Db.Exec(QStringLiteral("COMMIT"));
        Db.Close();
        RenameIntoPlace(Temporary, FileName());
    } catch (...) {
        QFile::remove(Temporary);
        throw;
    }
}

void TTable::DeleteTable()
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot delete the open table %1").arg(FileName()));
    if (Exists() && !QFile::remove(FileName()))
        throw EDatabaseError(QStringLiteral("Cannot delete %1").arg(FileName()));
    QFile::remove(FileName() + QStringLiteral("-journal"));
}

void TTable::Connect(bool Create, const QString& Path)
{
    // A connection belongs to one table object on one thread.
    const int Flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (Create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(QFile::encodeName(Path).constData(), &FDb, Flags, nullptr) != SQLITE_OK) {
        const QString Message = QString::fromUtf8(sqlite3_errmsg(FDb));
        sqlite3_close_v2(FDb);
        FDb = nullptr;
        throw EDatabaseError(QStringLiteral("Cannot open table %1: %2").arg(Path, Message));
    }
    RegisterCp932Collations(FDb);
    sqlite3_busy_timeout(FDb, FSession.BusyTimeout());
}

void TTable::Disconnect()
{
    for (sqlite3_stmt* Statement : std::as_const(FStatements))
        sqlite3_finalize(Statement);
    FStatements.clear();
    if (FDb)
        sqlite3_close_v2(FDb);
    FDb = nullptr;
}

void TTable::Exec(const QString& Sql)
{
    CheckActive();
    char* Error = nullptr;
    if (sqlite3_exec(FDb, Sql.toUtf8().constData(), nullptr, nullptr, &Error) != SQLITE_OK) {
        const QString Message = QString::fromUtf8(Error ? Error : "");
        sqlite3_free(Error);
        throw EDatabaseError(Message + QStringLiteral(" (table %1)").arg(FileName()));
    }
}

sqlite3_stmt* TTable::Prepare(const QString& Sql)
{
    CheckActive();
    auto Found = FStatements.constFind(Sql);
    if (Found != FStatements.constEnd()) {
        sqlite3_reset(*Found);
        sqlite3_clear_bindings(*Found);
        return *Found;
    }
    // Filters and ranges make new texts; keep the cache from growing without end.
    if (FStatements.size() >= 256) {
        for (sqlite3_stmt* Old : std::as_const(FStatements))
            sqlite3_finalize(Old);
        FStatements.clear();
    }
    sqlite3_stmt* Statement = nullptr;
    const QByteArray Utf8 = Sql.toUtf8();
    if (sqlite3_prepare_v3(FDb, Utf8.constData(), static_cast<int>(Utf8.size()), SQLITE_PREPARE_PERSISTENT, &Statement,
                           nullptr) != SQLITE_OK)
        Fail(QStringLiteral("Cannot prepare \"%1\"").arg(Sql));
    FStatements.insert(Sql, Statement);
    return Statement;
}

int TTable::Step(const QString& Sql)
{
    sqlite3_stmt* Statement = Prepare(Sql);
    const int Rc = sqlite3_step(Statement);
    sqlite3_reset(Statement);
    return Rc;
}

void TTable::Bind(sqlite3_stmt* Statement, const QVariantList& Values)
{
    for (int I = 0; I < Values.size(); ++I)
        BindValue(Statement, I + 1, Values[I]);
}

void TTable::BindValue(sqlite3_stmt* Statement, int Position, const QVariant& Value)
{
    {
        switch (Value.typeId()) {
        case QMetaType::UnknownType:
            sqlite3_bind_null(Statement, Position);
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            sqlite3_bind_double(Statement, Position, Value.toDouble());
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Bool:
            sqlite3_bind_int64(Statement, Position, Value.toLongLong());
            break;
        default: {
            const QByteArray Utf8 = Value.toString().toUtf8();
            sqlite3_bind_text(Statement, Position, Utf8.constData(), static_cast<int>(Utf8.size()), SQLITE_TRANSIENT);
        }
        }
    }
}

// ---- opening

void TTable::Open()
{
    if (Active())
        return;
    if (!Exists())
        throw EDatabaseError(QStringLiteral("Table %1 does not exist").arg(FileName()));
    Connect(false, FileName());
    try {
        // A bigger page cache keeps a bulk transaction from spilling into the file half-way.
        Exec(QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA cache_size=-32768"));
        if (FExclusive) {
            // Take the lock now rather than at the first write, and keep it until Close.
            Exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
            const int Saved = FSession.BusyTimeout();
            sqlite3_busy_timeout(FDb, 0);
            try {
                Exec(QStringLiteral("BEGIN EXCLUSIVE; COMMIT"));
            } catch (const EDatabaseError&) {
                throw EDatabaseError(QStringLiteral("Table %1 is in use").arg(FileName()));
            }
            sqlite3_busy_timeout(FDb, Saved);
        }
        ReadDefinition();
        FState = TDataSetState::Browse;
        First();
    } catch (...) {
        FState = TDataSetState::Inactive;
        FSqlName.clear();
        Disconnect();
        throw;
    }
}

void TTable::ReadDefinition()
{
    TTableDef Def;
    QString Salt;
    QString Mark;
    QString SqlName;
    bool HasFormat = false;
    sqlite3_stmt* Statement = nullptr;
    if (sqlite3_prepare_v2(FDb,
                           "SELECT Kind, Name, Type, Size, Fields, IsPrimary, IsUnique, CaseInsensitive, Value "
                           "FROM _meta ORDER BY Kind, Position",
                           -1, &Statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(Statement);
        Fail(QStringLiteral("Not a table file"));
    }
    auto Text = [&](int Column) {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement, Column)),
                                 sqlite3_column_bytes(Statement, Column));
    };
    int Rc;
    while ((Rc = sqlite3_step(Statement)) == SQLITE_ROW) {
        const QString Kind = Text(0);
        if (Kind == QStringLiteral("field")) {
            const auto Type = FieldTypeFromName(Text(2));
            if (!Type) {
                sqlite3_finalize(Statement);
                throw EDatabaseError(QStringLiteral("Unknown field type %1 in %2").arg(Text(2), FileName()));
            }
            Def.Fields.append({Text(1), *Type, sqlite3_column_int(Statement, 3)});
        } else if (Kind == QStringLiteral("index")) {
            Def.Indexes.append({Text(1), Text(4), sqlite3_column_int(Statement, 5) != 0,
                                sqlite3_column_int(Statement, 6) != 0, sqlite3_column_int(Statement, 7) != 0});
        } else if (Kind == QStringLiteral("table")) {
            if (Text(1) == QStringLiteral("Salt"))
                Salt = Text(8);
            else if (Text(1) == QStringLiteral("Password"))
                Mark = Text(8);
            else if (Text(1) == QStringLiteral("TableName"))
                SqlName = Text(8);
            else if (Text(1) == QStringLiteral("Format"))
                HasFormat = Text(8).toInt() == MetaFormat;
        }
    }
    sqlite3_finalize(Statement);
    if (Rc != SQLITE_DONE)
        Fail(QStringLiteral("Cannot read the table definition"));
    if (!HasFormat || Def.Fields.isEmpty())
        throw EDatabaseError(QStringLiteral("Not a table file of this program: %1").arg(FileName()));

    FProtected = !Mark.isEmpty();
    if (FProtected) {
        const QByteArray SaltBytes = QByteArray::fromHex(Salt.toLatin1());
        bool Known = false;
        for (const QString& Password : FSession.Passwords())
            Known = Known || PasswordMark(SaltBytes, Password) == Mark;
        if (!Known)
            throw EDatabaseError(QStringLiteral("Invalid password for table %1").arg(FileName()));
    }

    FDef = Def;
    FSqlName = SqlName;
    FFields.clear();
    FFieldIndex.clear();
    FFieldExact.clear();
    FAutoIncField = -1;
    for (int I = 0; I < FDef.Fields.size(); ++I) {
        FFields.push_back(std::unique_ptr<TField>(new TField(*this, I, FDef.Fields[I])));
        FFieldIndex.insert(FDef.Fields[I].Name.toLower(), I);
        FFieldExact.insert(FDef.Fields[I].Name, I);
        if (FDef.Fields[I].Type == TFieldType::AutoInc)
            FAutoIncField = I;
    }
    BuildIndexes();
    BuildStatements();
    FBlank.assign(FFields.size(), QVariant());
    for (size_t I = 0; I < FFields.size(); ++I)
        FBlank[I] = BlankValue(FDef.Fields[static_cast<int>(I)].Type);
    FCurrent.Values = FBlank;
}

void TTable::BuildIndexes()
{
    FIndexes.clear();
    FRowIdIsPrimary = false;
    FPrimaryField = -1;
    TIndexInfo PrimaryInfo;
    PrimaryInfo.Primary = true;
    for (const TIndexDef& Def : FDef.Indexes) {
        TIndexInfo Info;
        Info.Name = Def.Primary ? QString() : Def.Name;
        Info.Primary = Def.Primary;
        for (const QString& FieldName : Def.FieldList()) {
            const int Field = FFieldIndex.value(FieldName.toLower(), -1);
            if (Field < 0)
                throw EDatabaseError(QStringLiteral("Index %1 names the unknown field %2").arg(Def.Name, FieldName));
            Info.FieldIndexes << Field;
            Info.Columns << IndexColumnSql(FDef, FDef.Fields[Field], Def.CaseInsensitive);
        }
        if (Def.Primary) {
            FRowIdIsPrimary = Info.FieldIndexes.size() == 1 && !IsText(FDef.Fields[Info.FieldIndexes[0]].Type) &&
                              FDef.Fields[Info.FieldIndexes[0]].Type != TFieldType::DateTime;
            if (FRowIdIsPrimary) {
                // The key is the row id itself.
                FPrimaryField = Info.FieldIndexes[0];
                Info.FieldIndexes.clear();
                Info.Columns.clear();
            }
            PrimaryInfo = Info;
        } else {
            FIndexes.push_back(Info);
        }
    }
    FIndexes.insert(FIndexes.begin(), PrimaryInfo);
    for (TIndexInfo& Info : FIndexes)
        Info.Columns << QStringLiteral("rowid");
    FCurrentIndex = -1;
    for (size_t I = 0; I < FIndexes.size() && FCurrentIndex < 0; ++I)
        if (FIndexes[I].Name.compare(FIndexName, Qt::CaseInsensitive) == 0)
            FCurrentIndex = static_cast<int>(I);
    if (FCurrentIndex < 0)
        throw EDatabaseError(QStringLiteral("Index '%1' not found in table %2").arg(FIndexName, FTableName));
    FIndexName = FIndexes[static_cast<size_t>(FCurrentIndex)].Name;
}

void TTable::Close()
{
    if (!Active())
        return;
    if (FState == TDataSetState::Edit || FState == TDataSetState::Insert)
        Cancel();
    if (InTransaction())
        sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
    Disconnect();
    FSqlName.clear();
    FState = TDataSetState::Inactive;
    FHasCurrent = false;
    FBof = FEof = true;
    FRangeActive = false;
    FFields.clear();
    FFieldIndex.clear();
    FFieldExact.clear();
    FIndexes.clear();
    FCurrentIndex = 0;
}

// ---- cursor

const TTable::TIndexInfo& TTable::CurrentIndex() const
{
    return FIndexes.at(static_cast<size_t>(FCurrentIndex));
}

const QString& TTable::SelectList() const
{
    return FSelectList;
}

void TTable::BuildStatements()
{
    QStringList Columns{QStringLiteral("rowid")};
    QStringList All;
    QStringList Numbered;
    QStringList Sets;
    for (int I = 0; I < FDef.Fields.size(); ++I) {
        const QString Column = Quote(FDef.Fields[I].Name);
        Columns << Column;
        All << Column;
        if (I != FAutoIncField)
            Numbered << Column;
        Sets << Column + QStringLiteral(" = ?");
    }
    const QString Table = Quote(SqlTableName());
    auto Insert = [&](const QStringList& Names) {
        return QStringLiteral("INSERT INTO ") + Table + QStringLiteral(" (") + Names.join(QStringLiteral(", ")) +
               QStringLiteral(") VALUES (") +
               QStringList(Names.size(), QStringLiteral("?")).join(QStringLiteral(", ")) + u')';
    };
    FSelectList = Columns.join(QStringLiteral(", "));
    FInsertSql = Insert(All);
    FInsertNumberedSql = Insert(Numbered);
    FUpdateSql = QStringLiteral("UPDATE ") + Table + QStringLiteral(" SET ") + Sets.join(QStringLiteral(", ")) +
                 QStringLiteral(" WHERE rowid = ?");
}

TTable::TRow TTable::ReadRow(sqlite3_stmt* Statement) const
{
    TRow Row;
    Row.RowId = sqlite3_column_int64(Statement, 0);
    Row.Values.resize(FFields.size());
    for (int I = 0; I < FDef.Fields.size(); ++I) {
        const int Column = I + 1;
        switch (FDef.Fields[I].Type) {
        case TFieldType::String:
        case TFieldType::Memo:
            Row.Values[static_cast<size_t>(I)] =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement, Column)),
                                  sqlite3_column_bytes(Statement, Column));
            break;
        case TFieldType::DateTime:
            Row.Values[static_cast<size_t>(I)] = sqlite3_column_double(Statement, Column);
            break;
        default:
            Row.Values[static_cast<size_t>(I)] = sqlite3_column_int64(Statement, Column);
        }
    }
    return Row;
}

QVariant TTable::ToStorage(int FieldIndex, const QVariant& Value) const
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

QVariantList TTable::KeyOf(const TRow& Row) const
{
    QVariantList Key;
    for (int Field : CurrentIndex().FieldIndexes)
        Key << Row.Values[static_cast<size_t>(Field)];
    Key << Row.RowId;
    return Key;
}

QString TTable::BaseWhere(QVariantList& Binds) const
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
        Bound(FRangeLow, QStringLiteral(">="));
        Bound(FRangeHigh, QStringLiteral("<="));
    }
    if (FFiltered && !FFilterSql.trimmed().isEmpty()) {
        Conditions << u'(' + FFilterSql + u')';
        Binds << FFilterParams;
    }
    return Conditions.join(QStringLiteral(" AND "));
}

bool TTable::Accepts(TRow& Row)
{
    if (!FFiltered || !FPredicate)
        return true;
    // The predicate reads the candidate through the fields, as the current record.
    std::swap(FCurrent, Row);
    bool Result = false;
    try {
        Result = FPredicate(*this);
    } catch (...) {
        std::swap(FCurrent, Row);
        throw;
    }
    std::swap(FCurrent, Row);
    return Result;
}

std::vector<TTable::TRow> TTable::Fetch(bool Forward, const TRow* Start, int Limit, const QString& Extra,
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
        const QString Base = BaseWhere(Binds);
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
        while ((Rc = sqlite3_step(Statement)) == SQLITE_ROW)
            Rows.push_back(ReadRow(Statement));
        sqlite3_reset(Statement);
        if (Rc != SQLITE_DONE)
            Fail(QStringLiteral("Cannot read"));
    }
    return Rows;
}

int TTable::Walk(bool Forward, const TRow* From, int Count, const QString& Extra, const QVariantList& ExtraBinds)
{
    // The queries of one move share one read transaction: one lock instead of one per query.
    struct TReadTransaction
    {
        TTable& Table;
        bool Started = false;
        explicit TReadTransaction(TTable& Table) : Table(Table)
        {
            if (sqlite3_get_autocommit(Table.FDb))
                Started = Table.Step(QStringLiteral("BEGIN")) == SQLITE_DONE;
        }
        ~TReadTransaction()
        {
            if (Started)
                Table.Step(QStringLiteral("COMMIT"));
        }
    } Transaction(*this);
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

void TTable::SetCurrent(TRow Row)
{
    FCurrent = std::move(Row);
    FHasCurrent = true;
}

void TTable::SetEmpty()
{
    FHasCurrent = false;
    FCurrent.RowId = 0;
    for (int I = 0; I < FDef.Fields.size(); ++I)
        FCurrent.Values[static_cast<size_t>(I)] = BlankValue(FDef.Fields[I].Type);
    FBof = FEof = true;
}

void TTable::CheckBrowseMode()
{
    CheckActive();
    if (FState == TDataSetState::Edit || FState == TDataSetState::Insert)
        Post();
}

void TTable::First()
{
    CheckBrowseMode();
    if (Walk(true, nullptr, 1) == 0) {
        SetEmpty();
        return;
    }
    FBof = true;
    FEof = false;
}

void TTable::Last()
{
    CheckBrowseMode();
    if (Walk(false, nullptr, 1) == 0) {
        SetEmpty();
        return;
    }
    FBof = false;
    FEof = true;
}

void TTable::Next()
{
    MoveBy(1);
}

void TTable::Prior()
{
    MoveBy(-1);
}

int TTable::MoveBy(int Distance)
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

int TTable::RecordCount()
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
    if (sqlite3_step(Statement) != SQLITE_ROW)
        Fail(QStringLiteral("Cannot count"));
    const int Count = sqlite3_column_int(Statement, 0);
    sqlite3_reset(Statement);
    return Count;
}

bool TTable::ReadByRowId(qint64 RowId, TRow& Row)
{
    QVariantList Binds;
    QString Where = BaseWhere(Binds);
    Where = Where.isEmpty() ? QStringLiteral("rowid = ?") : Where + QStringLiteral(" AND rowid = ?");
    Binds << RowId;
    sqlite3_stmt* Statement = Prepare(QStringLiteral("SELECT ") + SelectList() + QStringLiteral(" FROM ") +
                                      Quote(SqlTableName()) + QStringLiteral(" WHERE ") + Where);
    Bind(Statement, Binds);
    const int Rc = sqlite3_step(Statement);
    if (Rc == SQLITE_ROW)
        Row = ReadRow(Statement);
    sqlite3_reset(Statement);
    if (Rc != SQLITE_ROW && Rc != SQLITE_DONE)
        Fail(QStringLiteral("Cannot read"));
    return Rc == SQLITE_ROW && Accepts(Row);
}

void TTable::Reposition(const TRow& Old)
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

void TTable::Refresh()
{
    CheckBrowseMode();
    if (FHasCurrent)
        Reposition(TRow(FCurrent));
    else
        First();
}

void TTable::SetIndexName(const QString& Name)
{
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

bool TTable::FindKey(const QVariantList& Values)
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

void TTable::SetRange(const QVariantList& Low, const QVariantList& High)
{
    CheckBrowseMode();
    const TIndexInfo& Index = CurrentIndex();
    const int KeyFields = Index.FieldIndexes.isEmpty() ? 1 : static_cast<int>(Index.FieldIndexes.size());
    if (Low.size() > KeyFields || High.size() > KeyFields)
        throw EDatabaseError(QStringLiteral("The range has more values than the index has fields"));
    FRangeLow = Low;
    FRangeHigh = High;
    FRangeActive = true;
    First();
}

void TTable::CancelRange()
{
    CheckBrowseMode();
    FRangeActive = false;
    FRangeLow.clear();
    FRangeHigh.clear();
    if (FHasCurrent)
        Reposition(TRow(FCurrent));
    else
        First();
}

void TTable::SetFilter(std::function<bool(TTable&)> Predicate, const QString& SqlWhere, const QVariantList& Params)
{
    FPredicate = std::move(Predicate);
    FFilterSql = SqlWhere;
    FFilterParams = Params;
    if (Active() && FFiltered)
        First();
}

void TTable::SetFiltered(bool Value)
{
    if (FFiltered == Value)
        return;
    FFiltered = Value;
    if (Active())
        First();
}

qint64 TTable::GetBookmark() const
{
    return FHasCurrent ? FCurrent.RowId : 0;
}

bool TTable::GotoBookmark(qint64 Bookmark)
{
    CheckBrowseMode();
    TRow Row;
    if (!ReadByRowId(Bookmark, Row))
        return false;
    SetCurrent(std::move(Row));
    FBof = FEof = false;
    return true;
}

// ---- editing

TField* TTable::FindField(const QString& Name)
{
    // Callers nearly always spell the name as defined; only the rest pay for folding.
    int Index = FFieldExact.value(Name, -1);
    if (Index < 0)
        Index = FFieldIndex.value(Name.toLower(), -1);
    return Index < 0 ? nullptr : FFields[static_cast<size_t>(Index)].get();
}

TField& TTable::FieldByName(const QString& Name)
{
    CheckActive();
    TField* Field = FindField(Name);
    if (!Field)
        throw EDatabaseError(QStringLiteral("Field '%1' not found in table %2").arg(Name, FTableName));
    return *Field;
}

void TTable::Append()
{
    CheckBrowseMode();
    FSaved = FCurrent;
    FCurrent.RowId = 0;
    FCurrent.Values = FBlank;
    FState = TDataSetState::Insert;
}

void TTable::Edit()
{
    CheckBrowseMode();
    if (!FHasCurrent)
        throw EDatabaseError(QStringLiteral("Cannot edit an empty table %1").arg(FTableName));
    FSaved = FCurrent;
    FState = TDataSetState::Edit;
}

void TTable::Cancel()
{
    if (FState != TDataSetState::Edit && FState != TDataSetState::Insert)
        return;
    FCurrent = FSaved;
    FState = TDataSetState::Browse;
}

void TTable::Post()
{
    CheckActive();
    if (FState != TDataSetState::Edit && FState != TDataSetState::Insert)
        throw EDatabaseError(QStringLiteral("Table %1 is not in edit or insert mode").arg(FTableName));
    const bool Inserting = FState == TDataSetState::Insert;
    const bool NumberedByTable =
        Inserting && FAutoIncField >= 0 && FCurrent.Values[static_cast<size_t>(FAutoIncField)].toLongLong() == 0;
    const QString& Sql = Inserting ? (NumberedByTable ? FInsertNumberedSql : FInsertSql) : FUpdateSql;
    sqlite3_stmt* Statement = Prepare(Sql);
    int Position = 0;
    for (int I = 0; I < FDef.Fields.size(); ++I) {
        if (NumberedByTable && I == FAutoIncField)
            continue;
        // Text was cut to its width when it was set.
        BindValue(Statement, ++Position, FCurrent.Values[static_cast<size_t>(I)]);
    }
    if (!Inserting)
        BindValue(Statement, ++Position, FCurrent.RowId);
    const int Rc = sqlite3_step(Statement);
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

void TTable::Delete()
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
    const int Rc = sqlite3_step(Statement);
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

// ---- transactions and maintenance

void TTable::StartTransaction()
{
    CheckBrowseMode();
    if (InTransaction())
        throw EDatabaseError(QStringLiteral("A transaction is already active on table %1").arg(FTableName));
    Exec(QStringLiteral("BEGIN IMMEDIATE"));
}

void TTable::Commit()
{
    CheckBrowseMode();
    Exec(QStringLiteral("COMMIT"));
}

void TTable::Rollback()
{
    CheckActive();
    Cancel();
    Exec(QStringLiteral("ROLLBACK"));
    Refresh();
}

bool TTable::InTransaction() const
{
    return FDb && sqlite3_get_autocommit(FDb) == 0;
}

void TTable::Savepoint(const QString& Name)
{
    CheckBrowseMode();
    Exec(QStringLiteral("SAVEPOINT ") + Quote(Name));
}

void TTable::ReleaseSavepoint(const QString& Name)
{
    CheckBrowseMode();
    Exec(QStringLiteral("RELEASE ") + Quote(Name));
}

void TTable::RollbackToSavepoint(const QString& Name)
{
    CheckActive();
    Cancel();
    Exec(QStringLiteral("ROLLBACK TO ") + Quote(Name) + QStringLiteral("; RELEASE ") + Quote(Name));
    Refresh();
}

void TTable::Pack()
{
    CheckBrowseMode();
    for (sqlite3_stmt* Statement : std::as_const(FStatements))
        sqlite3_reset(Statement);
    Exec(QStringLiteral("VACUUM"));
    First();
}

QStringList TTable::IntegrityCheck()
{
    CheckBrowseMode();
    QStringList Problems;
    sqlite3_stmt* Statement = Prepare(QStringLiteral("PRAGMA integrity_check"));
    int Rc;
    while ((Rc = sqlite3_step(Statement)) == SQLITE_ROW) {
        const QString Line = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement, 0)));
        if (Line != QStringLiteral("ok"))
            Problems << Line;
    }
    sqlite3_reset(Statement);
    if (Rc != SQLITE_DONE)
        Problems << QString::fromUtf8(sqlite3_errmsg(FDb));
    return Problems;
}

QStringList TTable::RegenerateIndexes()
{
    const QStringList Before = IntegrityCheck();
    Exec(QStringLiteral("REINDEX"));
    const QStringList After = IntegrityCheck();
    if (!After.isEmpty())
        throw EDatabaseError(QStringLiteral("Table %1 is damaged beyond its indexes: %2")
                                 .arg(FileName(), After.join(QStringLiteral("; "))));
    Refresh();
    return Before;
}

void TTable::CopyTo(const QString& DestFile)
{
    CheckBrowseMode();
    CopyDatabase(FDb, DestFile);
}

TTableTransaction::~TTableTransaction()
{
    if (!FDone && FTable.InTransaction()) {
        try {
            FTable.Rollback();
        } catch (...) {
        }
    }
}

void TTableTransaction::Commit()
{
    FTable.Commit();
    FDone = true;
}

void BackupTableFile(const QString& SourceFile, const QString& DestFile)
{
    if (!QFileInfo(SourceFile).isFile())
        throw EDatabaseError(QStringLiteral("Table %1 does not exist").arg(SourceFile));
    TRawDb Source(SourceFile, SQLITE_OPEN_READONLY);
    sqlite3_busy_timeout(Source.Db, DefaultSession().BusyTimeout());
    CopyDatabase(Source.Db, DestFile);
}
