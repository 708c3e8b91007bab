#include "platform/db/Table.h"
#include "platform/db/TableImpl.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

using namespace TableInternal;

namespace {

// Copies Source (whose file is SourceName) within Patience milliseconds: another connection's
// write lock is waited for no longer than any other statement waits, and then the copy gives up.
void CopyDatabase(sqlite3* Source, const QString& SourceName, const QString& DestFile, int Patience)
{
    const QString Temporary = TemporaryNameBeside(DestFile);
    try {
        TRawDb Dest(CreateOwnerOnlyFile(Temporary), SQLITE_OPEN_READWRITE);
        sqlite3_backup* Backup = sqlite3_backup_init(Dest.Db, "main", Source, "main");
        if (!Backup)
            throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(Dest.Db)));
        const QDeadlineTimer Deadline(Patience);
        int Rc;
        do {
            Rc = sqlite3_backup_step(Backup, -1);
            if ((Rc == SQLITE_BUSY || Rc == SQLITE_LOCKED) && !Deadline.hasExpired())
                sqlite3_sleep(20);
            else if (Rc != SQLITE_OK)
                break;
        } while (true);
        sqlite3_backup_finish(Backup);
        if (Rc == SQLITE_BUSY || Rc == SQLITE_LOCKED)
            throw EDatabaseError(QStringLiteral("Table %1 is in use: no copy to %2 within %3 ms")
                                     .arg(SourceName, DestFile)
                                     .arg(Patience));
        if (Rc != SQLITE_DONE)
            throw EDatabaseError(
                QStringLiteral("Cannot copy to %1: %2").arg(DestFile, QString::fromUtf8(sqlite3_errstr(Rc))));
        Dest.Close();
        PutTableFileInPlace(Temporary, DestFile);
    } catch (...) {
        QFile::remove(Temporary);
        QFile::remove(Temporary + QStringLiteral("-journal"));
        throw;
    }
}

} // namespace

// ---- transactions and maintenance

void TTable::TImpl::StartTransaction()
{
    CheckBrowseMode();
    if (InTransaction())
        throw EDatabaseError(QStringLiteral("A transaction is already active on table %1").arg(FTableName));
    Exec(QStringLiteral("BEGIN IMMEDIATE"));
}

void TTable::TImpl::Commit()
{
    CheckBrowseMode();
    // A table is never committed without its indexes.
    BuildDeferredIndexes();
    Exec(QStringLiteral("COMMIT"));
}

void TTable::TImpl::Rollback()
{
    CheckActive();
    Cancel();
    // The rollback brings back the indexes a bulk load dropped; the load's larger cache goes with it.
    if (!FDeferredIndexes.isEmpty()) {
        FDeferredIndexes.clear();
        Exec(CacheSizeSql(TableCacheKiB));
    }
    Exec(QStringLiteral("ROLLBACK"));
    Refresh();
}

bool TTable::TImpl::InTransaction() const
{
    return FDb && sqlite3_get_autocommit(FDb) == 0;
}

// Bulk work takes a savepoint for every record: the statements are prepared once and kept.
void TTable::TImpl::Savepoint(const QString& Name)
{
    CheckBrowseMode();
    if (RunKeptSavepoint(Name, false) != SQLITE_DONE)
        Fail(QStringLiteral("Cannot set savepoint ") + Name);
}

void TTable::TImpl::ReleaseSavepoint(const QString& Name)
{
    CheckBrowseMode();
    if (RunKeptSavepoint(Name, true) != SQLITE_DONE)
        Fail(QStringLiteral("Cannot release savepoint ") + Name);
}

int TTable::TImpl::RunKeptSavepoint(const QString& Name, bool Release)
{
    if (FKept.Savepoint != Name) {
        FKept.SetSavepoint = FKept.ReleaseSavepoint = nullptr;
        FKept.Savepoint = Name;
    }
    sqlite3_stmt*& Kept = Release ? FKept.ReleaseSavepoint : FKept.SetSavepoint;
    // The text is made only for the first statement of a name.
    const QString Sql =
        Kept ? QString() : (Release ? QStringLiteral("RELEASE ") : QStringLiteral("SAVEPOINT ")) + Quote(Name);
    sqlite3_stmt* Statement = PrepareKept(Kept, Sql);
    const int Rc = TableInternal::Step(Statement);
    sqlite3_reset(Statement);
    return Rc;
}

void TTable::TImpl::RollbackToSavepoint(const QString& Name)
{
    CheckActive();
    Cancel();
    Exec(QStringLiteral("ROLLBACK TO ") + Quote(Name) + QStringLiteral("; RELEASE ") + Quote(Name));
    Refresh();
}

void TTable::TImpl::Pack()
{
    CheckBrowseMode();
    // VACUUM makes the packed file from the statements the file's schema holds: it runs only on a
    // schema that is word for word what the engine writes for this definition.
    const TSchemaCheck Check = CheckSchema(FDb, FDef, SqlTableName(), FileName());
    if (!Check.Foreign.isEmpty() || !Check.OtherIndexes.isEmpty())
        throw EForeignTableError(
            QStringLiteral("Table %1 is not packed: its schema holds what the engine did not make: %2")
                .arg(FileName(), (Check.Foreign + Check.OtherIndexes).join(QStringLiteral(", "))));
    for (sqlite3_stmt* Statement : std::as_const(FStatements))
        sqlite3_reset(Statement);
    Exec(QStringLiteral("VACUUM"));
    First();
}

QStringList TTable::TImpl::IntegrityCheck()
{
    CheckBrowseMode();
    QStringList Problems;
    sqlite3_stmt* Statement = Prepare(QStringLiteral("PRAGMA integrity_check"));
    int Rc;
    while ((Rc = TableInternal::Step(Statement)) == SQLITE_ROW) {
        const QString Line = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement, 0)));
        if (Line != QStringLiteral("ok"))
            Problems << Line;
    }
    sqlite3_reset(Statement);
    if (Rc != SQLITE_DONE)
        Problems << QString::fromUtf8(sqlite3_errmsg(FDb));
    return Problems;
}

QStringList TTable::TImpl::RegenerateIndexes()
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

void TTable::TImpl::CopyTo(const QString& DestFile)
{
    CheckBrowseMode();
    // The copy reads what is committed; inside our own transaction it would wait for ourselves.
    if (InTransaction())
        throw EDatabaseError(QStringLiteral("Cannot copy table %1 inside its own transaction").arg(FileName()));
    CopyDatabase(FDb, FileName(), DestFile, FSession.BusyTimeout());
}

QString TTable::TImpl::ConnectionSetting(const QString& Name)
{
    CheckActive();
    for (const QChar C : Name)
        if (!(C.isLetter() && C.unicode() < 128) && C != u'_')
            throw EDatabaseError(QStringLiteral("Invalid setting name %1").arg(Name));
    sqlite3_stmt* Statement = Prepare(QStringLiteral("PRAGMA ") + Name);
    QString Value;
    if (TableInternal::Step(Statement) == SQLITE_ROW)
        Value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement, 0)));
    sqlite3_reset(Statement);
    return Value;
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
    const int Patience = DefaultSession().BusyTimeout();
    sqlite3_busy_timeout(Source.Db, Patience);
    CopyDatabase(Source.Db, SourceFile, DestFile, Patience);
}
