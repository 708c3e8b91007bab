#include "platform/db/Table.h"
#include "platform/db/TableImpl.h"

#include <QFile>
#include <sqlite3.h>

// The rebuild of a table's file from its caller's definition. The file may come from anywhere, so
// nothing of its schema is run or copied: the new file is made as CreateTable makes one, and the
// old one gives only its rows, read column by column under the definition's names.

using namespace TableInternal;

namespace {

QString Literal(const QString& Text)
{
    return u'\'' + QString(Text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

// Runs Sql, binding Binds, and answers its rows' first columns as texts; throws with Table's file
// named on failure.
QStringList Column(sqlite3* Db, const QString& Sql, const QString& Table, const QStringList& Binds = {})
{
    sqlite3_stmt* Statement = nullptr;
    if (TableInternal::PrepareV2(Db, Sql.toUtf8().constData(), -1, &Statement, nullptr) != SQLITE_OK) {
        const QString Message = QString::fromUtf8(sqlite3_errmsg(Db));
        sqlite3_finalize(Statement);
        throw EDatabaseError(QStringLiteral("%1 (table %2)").arg(Message, Table));
    }
    for (int I = 0; I < Binds.size(); ++I) {
        const QByteArray Utf8 = Binds[I].toUtf8();
        sqlite3_bind_text(Statement, I + 1, Utf8.constData(), static_cast<int>(Utf8.size()), SQLITE_TRANSIENT);
    }
    QStringList Result;
    int Rc;
    while ((Rc = TableInternal::Step(Statement)) == SQLITE_ROW)
        Result << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement, 0)));
    const QString Message = QString::fromUtf8(sqlite3_errmsg(Db));
    sqlite3_finalize(Statement);
    if (Rc != SQLITE_DONE)
        throw EDatabaseError(QStringLiteral("%1 (table %2)").arg(Message, Table), Rc);
    return Result;
}

} // namespace

qint64 TTable::TImpl::Rebuild(const TTableDef& Def, const std::function<void(const QString& NewFile)>& BeforeRename,
                              const QString& RenumberField)
{
    return RebuildFile(Def, BeforeRename, RenumberField, nullptr);
}

TTable::TSalvageCount TTable::TImpl::Salvage(const TTableDef& Def,
                                             const std::function<void(const QString& NewFile)>& BeforeRename)
{
    TSalvageCount Count;
    (void)RebuildFile(Def, BeforeRename, {}, &Count);
    return Count;
}

qint64 TTable::TImpl::RebuildFile(const TTableDef& Def, const std::function<void(const QString& NewFile)>& BeforeRename,
                                  const QString& RenumberField, TSalvageCount* Salvaged)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot rebuild the open table %1").arg(FileName()));
    if (!Exists())
        throw EDatabaseError(QStringLiteral("Table %1 does not exist").arg(FileName()));
    const QString Table = FileName();
    // Nobody may write to the old file while its rows are read, nor open it before it is replaced.
    FOpenLock = std::make_unique<TOpenLock>(Table, true, FSession.BusyTimeout());
    QString Temporary;
    QString Readable = Table;
    auto CleanUp = [&] {
        Disconnect();
        FOpenLock.reset();
        FSqlName.clear();
        FPassword.clear();
        FFields.clear();
        FFieldIndex.clear();
        FFieldExact.clear();
        FIndexes.clear();
        if (!Temporary.isEmpty()) {
            QFile::remove(Temporary);
            QFile::remove(Temporary + QStringLiteral("-journal"));
        }
        if (Readable != Table)
            QFile::remove(Readable);
    };
    try {
        if (Salvaged)
            Readable = ReadableCopyOf(Table);
        Connect(false, Readable);
        // The old file's definition, which also proves that this session holds its password.
        ReadDefinition();
        if (!(FDef == Def))
            throw EForeignTableError(
                QStringLiteral("Table %1 is defined otherwise than the table it is used as").arg(Table));
        const TSchemaCheck Check = CheckSchema(FDb, Def, FSqlName, Table);
        if (!Check.Foreign.isEmpty())
            throw EForeignTableError(QStringLiteral("Table %1 holds what its definition does not: %2")
                                         .arg(Table, Check.Foreign.join(QStringLiteral(", "))));

        // The table's own rows, with the numbering field counted 0 .. n-1 in its order when asked.
        const int Renumbered = RenumberField.isEmpty() ? -1 : FFieldIndex.value(RenumberField.toLower(), -1);
        if (!RenumberField.isEmpty() && (Renumbered < 0 || Def.Fields[Renumbered].Type != TFieldType::Integer))
            throw EDatabaseError(
                QStringLiteral("Table %1 has no integer field %2 to number").arg(Table, RenumberField));
        QStringList Columns;
        QStringList Values;
        for (int I = 0; I < Def.Fields.size(); ++I) {
            const QString Name = Quote(Def.Fields[I].Name);
            Columns << Name;
            Values << (I == Renumbered ? QStringLiteral("row_number() OVER (ORDER BY %1, rowid) - 1").arg(Name) : Name);
        }

        // A damaged file is read only before the new file's transaction: a read that meets damage
        // leaves SQLite unable to commit the transaction it ran in.
        QString GivenNumber;
        if (Salvaged && HasAutoInc(Def)) {
            try {
                GivenNumber = Column(FDb,
                                     QStringLiteral("SELECT CAST(seq AS INTEGER) FROM main.sqlite_sequence "
                                                    "WHERE name = ?1"),
                                     Table, {FSqlName})
                                  .value(0);
            } catch (const EDatabaseError&) {
            }
        }

        Temporary = TemporaryNameBeside(Table);
        WriteTableFile(Temporary, Def, FSqlName, FPassword, false);
        Exec(QStringLiteral("ATTACH DATABASE ") + Literal(Temporary) + QStringLiteral(" AS rebuilt"));
        Exec(QStringLiteral("PRAGMA rebuilt.journal_mode=MEMORY; PRAGMA rebuilt.synchronous=OFF; "
                            // The indexes are sorted in memory of this size before any spills to disk.
                            "PRAGMA main.cache_size=-65536; PRAGMA rebuilt.cache_size=-65536; BEGIN"));
        // The rows are read in the table's own order, past every index, so a damaged index cannot
        // hide or repeat a row. A row that cannot be read fails the whole rebuild: the old file
        // stays, rather than a new one that lacks it. Only a salvage passes such rows over, and
        // counts them.
        const QString Own = Quote(FSqlName);
        qint64 Copied = 0;
        if (Salvaged) {
            QStringList Indexes;
            for (const TIndexDef& Index : Def.Indexes)
                if (!Index.Primary)
                    Indexes << IndexSqlName(FSqlName, Index);
            *Salvaged = SalvageRows(Readable, Own, FDb, QStringLiteral("rebuilt.") + Own, Columns, Indexes);
            Copied = Salvaged->Saved;
        } else {
            Exec(QStringLiteral("INSERT INTO rebuilt.") + Own + QStringLiteral(" (") +
                 Columns.join(QStringLiteral(", ")) + QStringLiteral(") SELECT ") + Values.join(QStringLiteral(", ")) +
                 QStringLiteral(" FROM main.") + Own + QStringLiteral(" NOT INDEXED ORDER BY rowid"));
            Copied = sqlite3_changes64(FDb);
        }
        // A number an auto-increment field has given stays given, even when its row is gone. A damaged
        // file's sequence may be unreadable: the new file then counts on from its highest row.
        if (HasAutoInc(Def) && !Salvaged) {
            Exec(QStringLiteral("DELETE FROM rebuilt.sqlite_sequence"));
            (void)Column(FDb,
                         QStringLiteral("INSERT INTO rebuilt.sqlite_sequence (name, seq) SELECT name, "
                                        "CAST(seq AS INTEGER) FROM main.sqlite_sequence WHERE name = ?1"),
                         Table, {FSqlName});
        } else if (HasAutoInc(Def) && !GivenNumber.isEmpty()) {
            (void)Column(FDb,
                         QStringLiteral("UPDATE rebuilt.sqlite_sequence SET seq = max(seq, CAST(?2 AS INTEGER)) "
                                        "WHERE name = ?1"),
                         Table, {FSqlName, GivenNumber});
        }
        // Each index is built in one sorted pass over the rows already in.
        for (const TIndexDef& Index : Def.Indexes)
            if (!Index.Primary)
                Exec(IndexSql(Def, FSqlName, Index, QStringLiteral("rebuilt")));
        Exec(QStringLiteral("COMMIT"));

        const QStringList Integrity = Column(FDb, QStringLiteral("PRAGMA rebuilt.integrity_check"), Table);
        if (Integrity != QStringList{QStringLiteral("ok")})
            throw EDatabaseError(QStringLiteral("The rebuilt table %1 does not check out: %2")
                                     .arg(Table, Integrity.join(QStringLiteral("; "))));
        const qint64 Count =
            Column(FDb, QStringLiteral("SELECT count(*) FROM rebuilt.") + Own, Table).value(0).toLongLong();
        if (Count != Copied)
            throw EDatabaseError(
                QStringLiteral("The rebuilt table %1 holds %2 rows of %3").arg(Table).arg(Count).arg(Copied));
        Exec(QStringLiteral("DETACH DATABASE rebuilt"));
        if (BeforeRename)
            BeforeRename(Temporary);
        Disconnect();
        PutTableFileInPlace(Temporary, Table);
        Temporary.clear();
        CleanUp();
        return Copied;
    } catch (...) {
        CleanUp();
        throw;
    }
}
