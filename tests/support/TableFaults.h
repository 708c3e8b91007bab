#pragma once

#include "platform/db/Collation.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

// Faults put into a table file from outside, as another program, a damaged disk or a hand with the
// sqlite3 shell would leave them. The engine runs no trigger, so a row the table refuses comes from
// a constraint or a damaged index, the ways SQLite itself refuses one.

namespace TableFaults {

// Runs Sql on File through a connection of its own that may write SQLite's catalogue, as a schema
// made by hand would be; every other connection then reads the changed schema. False on failure.
inline bool EditSchema(const QString& File, const QString& Sql)
{
    sqlite3* Db = nullptr;
    bool Ok = sqlite3_open(QFile::encodeName(File).constData(), &Db) == SQLITE_OK;
    if (Ok)
        RegisterCp932Collations(Db);
    int Version = 0;
    sqlite3_stmt* Statement = nullptr;
    Ok = Ok && sqlite3_prepare_v2(Db, "PRAGMA schema_version", -1, &Statement, nullptr) == SQLITE_OK &&
         sqlite3_step(Statement) == SQLITE_ROW;
    if (Ok)
        Version = sqlite3_column_int(Statement, 0);
    sqlite3_finalize(Statement);
    const QByteArray Text = (QStringLiteral("PRAGMA writable_schema=ON; ") + Sql +
                             QStringLiteral("; PRAGMA writable_schema=OFF; PRAGMA schema_version=%1").arg(Version + 1))
                                .toUtf8();
    Ok = Ok && sqlite3_exec(Db, Text.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(Db);
    return Ok;
}

// The columns of Table in File, quoted.
inline QStringList Columns(const QString& File, const QString& Table)
{
    QStringList Names;
    sqlite3* Db = nullptr;
    sqlite3_stmt* Statement = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(File).constData(), &Db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(Db, "SELECT name FROM pragma_table_info(?1)", -1, &Statement, nullptr) == SQLITE_OK) {
        const QByteArray Name = Table.toUtf8();
        sqlite3_bind_text(Statement, 1, Name.constData(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(Statement) == SQLITE_ROW)
            Names << u'"' + QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement, 0))) + u'"';
    }
    sqlite3_finalize(Statement);
    sqlite3_close(Db);
    return Names;
}

// Gives Table a constraint that refuses every row Condition does not hold for. SQLite checks a
// constraint on an update only when the update writes a column it names: the constraint names them
// all, so that it holds for any write, in a test SQLite cannot fold away as it folds "IS NULL" of a
// column that is never null.
inline bool AddCheck(const QString& File, const QString& Table, const QString& Condition)
{
    QStringList Any;
    for (const QString& Column : Columns(File, Table))
        Any << QStringLiteral("typeof(%1) = 'null'").arg(Column);
    if (Any.isEmpty())
        return false;
    const QString Check = QStringLiteral(", CONSTRAINT Fault CHECK ((%1) OR (%2)))")
                              .arg(Condition, Any.join(QStringLiteral(" AND ")))
                              .replace(u'\'', QStringLiteral("''"));
    return EditSchema(File, QStringLiteral("UPDATE sqlite_master SET sql = substr(sql, 1, length(sql) - 1) || '%1' "
                                           "WHERE type = 'table' AND name = '%2'")
                                .arg(Check, Table));
}

// Every later insert into or update of Table fails, as on a full disk.
inline bool RefuseWrites(const QString& File, const QString& Table)
{
    return AddCheck(File, Table, QStringLiteral("0"));
}

// Every later write of the row numbered RecNo fails, as a damaged or locked row would; the row stays.
inline bool RefuseRow(const QString& File, const QString& Table, int RecNo)
{
    return AddCheck(File, Table, QStringLiteral("\"RecNo\" <> %1").arg(RecNo));
}

// Takes the rows Where selects out of the index Index (SQL text of a condition on the table's
// columns), as a torn write leaves an index: the rows stay, and deleting one of them fails, since
// its index entry cannot be found.
inline bool LoseIndexEntries(const QString& File, const QString& Index, const QString& Where)
{
    const QString Name = QString(Index).replace(u'\'', QStringLiteral("''"));
    const QString Partial = QStringLiteral("UPDATE sqlite_master SET sql = sql || ' WHERE NOT (%1)' WHERE name = '%2'")
                                .arg(QString(Where).replace(u'\'', QStringLiteral("''")), Name);
    const QString Whole =
        QStringLiteral("UPDATE sqlite_master SET sql = substr(sql, 1, instr(sql, ' WHERE NOT (') - 1) "
                       "WHERE name = '%1'")
            .arg(Name);
    return EditSchema(File, Partial) && EditSchema(File, QStringLiteral("REINDEX \"%1\"").arg(Index)) &&
           EditSchema(File, Whole);
}

// The pages of Name (a table or an index) of one kind ("leaf", "internal", "overflow"), by SQLite's
// own page statistics, in the file's order.
inline QList<int> Pages(const QString& File, const QString& Name, const char* Kind = "leaf")
{
    QList<int> Result;
    sqlite3* Db = nullptr;
    sqlite3_stmt* Statement = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(File).constData(), &Db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(Db, "SELECT pageno FROM dbstat WHERE name = ?1 AND pagetype = ?2 ORDER BY pageno", -1,
                           &Statement, nullptr) == SQLITE_OK) {
        const QByteArray Utf8 = Name.toUtf8();
        sqlite3_bind_text(Statement, 1, Utf8.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(Statement, 2, Kind, -1, SQLITE_STATIC);
        while (sqlite3_step(Statement) == SQLITE_ROW)
            Result << sqlite3_column_int(Statement, 0);
    }
    sqlite3_finalize(Statement);
    sqlite3_close(Db);
    return Result;
}

// Writes Byte over the whole page Page (the first is 1) of a file of PageSize-byte pages, as a torn
// write or a lost sector leaves it.
inline bool OverwritePage(const QString& File, int Page, char Byte, int PageSize = 8192)
{
    QFile Out(File);
    return Out.open(QIODevice::ReadWrite) && Out.seek(qint64(Page - 1) * PageSize) &&
           Out.write(QByteArray(PageSize, Byte)) == PageSize;
}

// Runs Sql on File in a process of its own that is killed before it commits, with a cache so small
// that the changed pages are already in the file: the journal left beside the table holds the pages
// from before, as a crash of a writer leaves it.
inline void KillWriterMidway(const QString& File, const char* Sql)
{
    const pid_t Child = ::fork();
    if (Child == 0) {
        sqlite3* Db = nullptr;
        sqlite3_open(QFile::encodeName(File).constData(), &Db);
        RegisterCp932Collations(Db);
        sqlite3_exec(Db, "PRAGMA cache_size=2; BEGIN", nullptr, nullptr, nullptr);
        sqlite3_exec(Db, Sql, nullptr, nullptr, nullptr);
        ::_exit(0);
    }
    int Status = 0;
    ::waitpid(Child, &Status, 0);
}

} // namespace TableFaults
