#include "platform/db/Table.h"

#include "platform/db/Collation.h"
#include "platform/db/TableImpl.h"
#include "platform/sys/Folders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QVarLengthArray>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

// The table's file and its definition: creating the file with its definition in _meta, opening it
// and reading the definition back, and the connection every other part works through.

using namespace TableInternal;

namespace {

constexpr int MetaFormat = 1;

std::optional<TFieldType> FieldTypeFromName(const QString& Name)
{
    for (TFieldType Type : {TFieldType::Integer, TFieldType::AutoInc, TFieldType::String, TFieldType::Memo,
                            TFieldType::DateTime, TFieldType::Boolean})
        if (FieldTypeName(Type) == Name)
            return Type;
    return std::nullopt;
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

// SQLite's code for a file the engine itself could not make, so that callers tell a full disk from a
// folder they may not write to as they do for SQLite's own failures.
int CodeOfFileError(int Error)
{
    return Error == ENOSPC || Error == EDQUOT                    ? SQLITE_FULL
           : Error == EACCES || Error == EPERM || Error == EROFS ? SQLITE_READONLY
                                                                 : SQLITE_CANTOPEN;
}

QString SqlLiteral(const QString& Text)
{
    return u'\'' + QString(Text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

} // namespace

namespace TableInternal {

QString TemporaryNameBeside(const QString& File)
{
    const QFileInfo Info(File);
    return Info.absolutePath() + QStringLiteral("/.") + Info.fileName() + QStringLiteral(".tmp-") +
           QString::number(QRandomGenerator::global()->generate(), 16);
}

QString CreateOwnerOnlyFile(const QString& File)
{
    const int Fd =
        ::open(QFile::encodeName(File).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (Fd < 0)
        throw EDatabaseError(QStringLiteral("Cannot create file %1").arg(File), CodeOfFileError(errno));
    // The mode given to open passes through the umask and a default ACL; this one does not.
    const bool Private = ::fchmod(Fd, 0600) == 0;
    ::close(Fd);
    if (!Private) {
        QFile::remove(File);
        throw EDatabaseError(QStringLiteral("Cannot make %1 private").arg(File));
    }
    return File;
}

} // namespace TableInternal

// SQLite keeps a table's pending pages beside it under the table's name: a journal or WAL left
// there by a writer that was killed belongs to the file being replaced, and the next open would
// roll its pages into the new file.
void PutTableFileInPlace(const QString& NewFile, const QString& Dest)
{
    SyncFile(NewFile);
    // The old file's pending pages are moved aside first, so that a failed rename leaves the old
    // file with them, as it was.
    QStringList Aside;
    for (const char* Suffix : {"-journal", "-wal", "-shm"}) {
        const QString Pending = Dest + QLatin1String(Suffix);
        if (!QFileInfo::exists(Pending))
            continue;
        const QString Side = NewFile + QLatin1String(Suffix) + QStringLiteral(".old");
        QFile::remove(Side);
        if (::rename(QFile::encodeName(Pending).constData(), QFile::encodeName(Side).constData()) == 0)
            Aside << QLatin1String(Suffix);
    }
    if (::rename(QFile::encodeName(NewFile).constData(), QFile::encodeName(Dest).constData()) != 0) {
        const int Error = errno;
        for (const QString& Suffix : std::as_const(Aside))
            (void)::rename(QFile::encodeName(NewFile + Suffix + QStringLiteral(".old")).constData(),
                           QFile::encodeName(Dest + Suffix).constData());
        QFile::remove(NewFile);
        throw EDatabaseError(QStringLiteral("Cannot create file %1").arg(Dest), CodeOfFileError(Error));
    }
    for (const QString& Suffix : std::as_const(Aside))
        QFile::remove(NewFile + Suffix + QStringLiteral(".old"));
    // A journal that could not be moved aside must still not meet the new file.
    for (const char* Suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(Dest + QLatin1String(Suffix));
    SyncFile(QFileInfo(Dest).absolutePath());
}

int RemoveLeftTemporaries(const QString& Folder, const QDateTime& Before)
{
    int Removed = 0;
    const QFileInfoList Entries =
        QDir(Folder).entryInfoList({QStringLiteral(".*.tmp-*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& Entry : Entries)
        if (!Entry.isSymLink() && Entry.lastModified() < Before && QFile::remove(Entry.absoluteFilePath()))
            ++Removed;
    return Removed;
}

namespace TableInternal {

void WriteTableFile(const QString& Path, const TTableDef& Def, const QString& Name, const QString& Password,
                    bool WithIndexes)
{
    // Every text is made before the file, so that a definition the engine refuses leaves none.
    const QString Table = TableSql(Def, Name);
    QStringList Indexes;
    for (const TIndexDef& Index : Def.Indexes)
        if (!Index.Primary)
            Indexes << IndexSql(Def, Name, Index);
    TRawDb Db(CreateOwnerOnlyFile(Path), SQLITE_OPEN_READWRITE);
    // Pages of 8 KiB keep the index trees of a large table shallow; bulk appends run about a
    // third faster than with 4 KiB, at a little more journal per single write. A file nobody sees
    // before it is complete needs no journal on disk.
    Db.Exec(QStringLiteral("PRAGMA page_size=8192; PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF; BEGIN"));
    Db.Exec(Table);
    if (WithIndexes)
        for (const QString& Index : std::as_const(Indexes))
            Db.Exec(Index);
    Db.Exec(MetaTableSql());
    for (int I = 0; I < Def.Fields.size(); ++I) {
        const TFieldDef& Field = Def.Fields[I];
        Db.Exec(QStringLiteral("INSERT INTO _meta (Kind, Position, Name, Type, Size) VALUES ('field', %1, %2, %3, %4)")
                    .arg(I)
                    .arg(SqlLiteral(Field.Name), SqlLiteral(FieldTypeName(Field.Type)))
                    .arg(Field.Size));
    }
    for (int I = 0; I < Def.Indexes.size(); ++I) {
        const TIndexDef& Index = Def.Indexes[I];
        Db.Exec(QStringLiteral("INSERT INTO _meta (Kind, Position, Name, Fields, IsPrimary, IsUnique, CaseInsensitive) "
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
}

} // namespace TableInternal

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

// ---- TTable: files and connection

void TTable::TImpl::SetDatabaseName(const QString& Folder)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot change the folder of an open table"));
    FDatabaseName = Folder;
}

void TTable::TImpl::SetTableName(const QString& FileName)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot change the name of an open table"));
    FTableName = FileName;
}

QString TTable::TImpl::FileName() const
{
    return FDatabaseName.isEmpty() ? FTableName : IncludeTrailingDelimiter(FDatabaseName) + FTableName;
}

QString TTable::TImpl::SqlTableName() const
{
    // An open table goes by the name it was created with, so that a copy under another file name opens too.
    return FSqlName.isEmpty() ? QFileInfo(FTableName).completeBaseName() : FSqlName;
}

bool TTable::TImpl::Exists() const
{
    return QFileInfo(FileName()).isFile();
}

void TTable::TImpl::SetExclusive(bool Value)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot change the access of an open table"));
    FExclusive = Value;
}

static_assert(EDatabaseError::BusyCode == SQLITE_BUSY);

bool EDatabaseError::Busy() const noexcept
{
    const int Primary = FCode & 0xFF;
    return Primary == SQLITE_BUSY || Primary == SQLITE_LOCKED;
}

void TTable::TImpl::Fail(const QString& What) const
{
    QString Message = What;
    if (FDb)
        Message += QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(FDb));
    throw EDatabaseError(Message + QStringLiteral(" (table %1)").arg(FileName()), FDb ? sqlite3_errcode(FDb) : 0);
}

void TTable::TImpl::CheckActive() const
{
    if (!FDb)
        throw EDatabaseError(QStringLiteral("Table %1 is not open").arg(FTableName));
}

void TTable::TImpl::CreateTable(const TTableDef& Def, const QString& Password)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot create the open table %1").arg(FileName()));
    const QString Name = SqlTableName();
    if (Name.isEmpty() || Name.startsWith(u'_'))
        throw EDatabaseError(QStringLiteral("Invalid table name %1").arg(FTableName));
    const QString Temporary = TemporaryNameBeside(FileName());
    try {
        WriteTableFile(Temporary, Def, Name, Password, true);
        PutTableFileInPlace(Temporary, FileName());
    } catch (...) {
        QFile::remove(Temporary);
        throw;
    }
}

void TTable::TImpl::DeleteTable()
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot delete the open table %1").arg(FileName()));
    if (Exists() && !QFile::remove(FileName()))
        throw EDatabaseError(QStringLiteral("Cannot delete %1").arg(FileName()));
    QFile::remove(FileName() + QStringLiteral("-journal"));
}

void TableInternal::InitializeSqlite()
{
    // No one reads SQLite's memory statistics here, and keeping them takes a global lock around
    // every allocation it makes: a bulk load and its index sorts make millions. Set too late (some
    // other part of the process started SQLite first) this changes nothing and does no harm.
    static const bool Initialized = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return sqlite3_initialize() == SQLITE_OK;
    }();
    (void)Initialized;
}

void TableInternal::SecureConnection(sqlite3* Db)
{
    for (const auto& [Setting, Value] :
         {std::pair{SQLITE_DBCONFIG_DEFENSIVE, 1}, std::pair{SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
          std::pair{SQLITE_DBCONFIG_ENABLE_VIEW, 0}, std::pair{SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0}}) {
        int Now = -1;
        if (sqlite3_db_config(Db, Setting, Value, &Now) != SQLITE_OK || Now != Value)
            throw EDatabaseError(QStringLiteral("SQLite does not take the connection setting %1").arg(Setting));
    }
}

namespace {

// Each statement's steps are added as it finishes or is reset (sqlite3_exec's own statements too),
// and counted from zero again; a statement kept open across calls adds its steps when it is used
// again (CountSteps), so that both add into one total and nothing counts twice.
int CountVmSteps(unsigned, void*, void* Statement, void*)
{
    CountSteps(static_cast<sqlite3_stmt*>(Statement));
    return 0;
}

} // namespace

void TTable::TImpl::Connect(bool Create, const QString& Path)
{
    InitializeSqlite();
    // A connection belongs to one table object on one thread.
    const int Flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (Create ? SQLITE_OPEN_CREATE : 0);
    if (const int Rc = sqlite3_open_v2(QFile::encodeName(Path).constData(), &FDb, Flags, nullptr); Rc != SQLITE_OK) {
        const QString Message = QString::fromUtf8(sqlite3_errmsg(FDb));
        sqlite3_close_v2(FDb);
        FDb = nullptr;
        throw EDatabaseError(QStringLiteral("Cannot open table %1: %2").arg(Path, Message), Rc);
    }
    try {
        SecureConnection(FDb);
    } catch (...) {
        sqlite3_close_v2(FDb);
        FDb = nullptr;
        throw;
    }
    RegisterCp932Collations(FDb);
    sqlite3_busy_timeout(FDb, FSession.BusyTimeout());
    sqlite3_trace_v2(FDb, SQLITE_TRACE_PROFILE, CountVmSteps, nullptr);
}

void TTable::TImpl::ForgetStatements()
{
    for (sqlite3_stmt* Statement : std::as_const(FStatements)) {
        CountSteps(Statement);
        sqlite3_finalize(Statement);
    }
    FStatements.clear();
    FKept = {};
}

void TTable::TImpl::Disconnect()
{
    ForgetStatements();
    FLookupSql.clear();
    if (FDb)
        sqlite3_close_v2(FDb);
    FDb = nullptr;
}

void TTable::TImpl::Exec(const QString& Sql)
{
    CheckActive();
    char* Error = nullptr;
    if (const int Rc = sqlite3_exec(FDb, Sql.toUtf8().constData(), nullptr, nullptr, &Error); Rc != SQLITE_OK) {
        const QString Message = QString::fromUtf8(Error ? Error : "");
        sqlite3_free(Error);
        throw EDatabaseError(Message + QStringLiteral(" (table %1)").arg(FileName()), Rc);
    }
}

sqlite3_stmt* TTable::TImpl::Prepare(const QString& Sql)
{
    CheckActive();
    auto Found = FStatements.constFind(Sql);
    if (Found != FStatements.constEnd()) {
        CountSteps(*Found);
        sqlite3_reset(*Found);
        sqlite3_clear_bindings(*Found);
        return *Found;
    }
    // Filters and ranges make new texts; keep the cache from growing without end.
    if (FStatements.size() >= 256)
        ForgetStatements();
    sqlite3_stmt* Statement = nullptr;
    const QByteArray Utf8 = Sql.toUtf8();
    if (TableInternal::PrepareV3(FDb, Utf8.constData(), static_cast<int>(Utf8.size()), SQLITE_PREPARE_PERSISTENT,
                                 &Statement, nullptr) != SQLITE_OK)
        Fail(QStringLiteral("Cannot prepare \"%1\"").arg(Sql));
    FStatements.insert(Sql, Statement);
    return Statement;
}

sqlite3_stmt* TTable::TImpl::PrepareKept(sqlite3_stmt*& Kept, const QString& Sql)
{
    CheckActive();
    if (!Kept) {
        sqlite3_stmt* Statement = Prepare(Sql);
        // Prepare may have emptied the cache, and this slot with it, to make room.
        Kept = Statement;
        return Statement;
    }
    CountSteps(Kept);
    sqlite3_reset(Kept);
    return Kept;
}

int TTable::TImpl::Step(const QString& Sql)
{
    sqlite3_stmt* Statement = Prepare(Sql);
    const int Rc = TableInternal::Step(Statement);
    sqlite3_reset(Statement);
    return Rc;
}

void TTable::TImpl::Bind(sqlite3_stmt* Statement, const QVariantList& Values)
{
    for (int I = 0; I < Values.size(); ++I)
        BindValue(Statement, I + 1, Values[I]);
}

namespace {

// Binds a text as SQLite stores it. A record's texts are nearly all short or empty: they are
// encoded on the stack, and SQLite copies them into the parameter's own buffer, which it keeps
// from one record to the next.
void BindText(sqlite3_stmt* Statement, int Position, QStringView Text)
{
    if (Text.isEmpty()) {
        sqlite3_bind_text(Statement, Position, "", 0, SQLITE_STATIC);
        return;
    }
    QStringEncoder Encoder(QStringEncoder::Utf8);
    QVarLengthArray<char, 1024> Utf8(Encoder.requiredSpace(Text.size()));
    const char* End = Encoder.appendToBuffer(Utf8.data(), Text);
    sqlite3_bind_text64(Statement, Position, Utf8.constData(), static_cast<sqlite3_uint64>(End - Utf8.constData()),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
}

} // namespace

void TTable::TImpl::BindValue(sqlite3_stmt* Statement, int Position, const QVariant& Value)
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
        case QMetaType::QString:
            BindText(Statement, Position, *static_cast<const QString*>(Value.constData()));
            break;
        default:
            BindText(Statement, Position, Value.toString());
        }
    }
}

// ---- opening

void TTable::TImpl::Open()
{
    if (Active())
        return;
    if (!Exists())
        throw EDatabaseError(QStringLiteral("Table %1 does not exist").arg(FileName()));
    FOpenLock = std::make_unique<TOpenLock>(FileName(), FExclusive, FSession.BusyTimeout());
    try {
        Connect(false, FileName());
        // A bigger page cache keeps a bulk transaction from spilling into the file half-way.
        // A savepoint's statement journal stays in memory: in a temporary file it would cost more than the
        // row it guards. The rollback journal of the transaction itself stays on disk.
        Exec(QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA temp_store=MEMORY; ") +
             CacheSizeSql(TableCacheKiB));
        if (FExclusive) {
            // Take the lock now rather than at the first write, and keep it until Close.
            Exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
            const int Saved = FSession.BusyTimeout();
            sqlite3_busy_timeout(FDb, 0);
            try {
                Exec(QStringLiteral("BEGIN EXCLUSIVE; COMMIT"));
            } catch (const EDatabaseError&) {
                throw EDatabaseError(QStringLiteral("Table %1 is in use").arg(FileName()), SQLITE_BUSY);
            }
            sqlite3_busy_timeout(FDb, Saved);
        }
        ReadDefinition();
        FState = TDataSetState::Browse;
        First();
    } catch (...) {
        FState = TDataSetState::Inactive;
        FSqlName.clear();
        FPassword.clear();
        Disconnect();
        FOpenLock.reset();
        throw;
    }
}

void TTable::TImpl::ReadDefinition()
{
    TTableDef Def;
    QString Salt;
    QString Mark;
    QString SqlName;
    bool HasFormat = false;
    // The statement lives until every way out of here, a refused definition included.
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> Guard(nullptr, sqlite3_finalize);
    sqlite3_stmt* Statement = nullptr;
    const int Prepared = TableInternal::PrepareV2(FDb,
                                                  "SELECT Kind, Name, Type, Size, Fields, IsPrimary, IsUnique, "
                                                  "CaseInsensitive, Value FROM _meta ORDER BY Kind, Position",
                                                  -1, &Statement, nullptr);
    Guard.reset(Statement);
    if (Prepared != SQLITE_OK)
        Fail(QStringLiteral("Not a table file"));
    auto Text = [&](int Column) {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement, Column)),
                                 sqlite3_column_bytes(Statement, Column));
    };
    int Rc;
    while ((Rc = TableInternal::Step(Statement)) == SQLITE_ROW) {
        const QString Kind = Text(0);
        if (Kind == QStringLiteral("field")) {
            // A later version's file may hold types this one does not know: refuse it whole.
            const QString TypeName = Text(2);
            const auto Type = FieldTypeFromName(TypeName);
            if (!Type)
                throw EDatabaseError(QStringLiteral("Unknown field type %1 in %2").arg(TypeName, FileName()));
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
    if (Rc != SQLITE_DONE)
        Fail(QStringLiteral("Cannot read the table definition"));
    Guard.reset();
    if (!HasFormat || Def.Fields.isEmpty())
        throw EDatabaseError(QStringLiteral("Not a table file of this program: %1").arg(FileName()), SQLITE_NOTADB);

    FProtected = !Mark.isEmpty();
    if (FProtected) {
        const QByteArray SaltBytes = QByteArray::fromHex(Salt.toLatin1());
        bool Known = false;
        for (const QString& Password : FSession.Passwords())
            if (!Known && PasswordMark(SaltBytes, Password) == Mark) {
                Known = true;
                FPassword = Password;
            }
        if (!Known)
            throw EDatabaseError(QStringLiteral("Invalid password for table %1").arg(FileName()), SQLITE_AUTH);
    } else {
        FPassword.clear();
    }

    FDef = Def;
    FSqlName = SqlName;
    FFields.clear();
    FFieldIndex.clear();
    FFieldExact.clear();
    FAutoIncField = -1;
    for (int I = 0; I < FDef.Fields.size(); ++I) {
        FFields.push_back(std::unique_ptr<TField>(new TField(FSelf, I, FDef.Fields[I])));
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

void TTable::TImpl::BuildIndexes()
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

void TTable::TImpl::BuildStatements()
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

void TTable::TImpl::Close()
{
    if (!Active())
        return;
    if (FState == TDataSetState::Edit || FState == TDataSetState::Insert)
        Cancel();
    if (InTransaction())
        sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
    FDeferredIndexes.clear();
    Disconnect();
    FOpenLock.reset(); // after the connection, which may still hold SQLite's locks until it is gone
    FSqlName.clear();
    FPassword.clear();
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

long long TableVmSteps()
{
    return TableInternal::Counters.VmSteps.load();
}

TTableCounters TableCounters()
{
    const TableInternal::TCounterTotals& C = TableInternal::Counters;
    return {C.Prepared.load(), C.Stepped.load(), C.RowsRead.load(), C.RowsWritten.load(), C.VmSteps.load()};
}

void ResetTableCounters()
{
    TableInternal::TCounterTotals& C = TableInternal::Counters;
    for (std::atomic<long long>* Counter : {&C.Prepared, &C.Stepped, &C.RowsRead, &C.RowsWritten, &C.VmSteps})
        *Counter = 0;
}
