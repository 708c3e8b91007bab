#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <sqlite3.h>

// Rows of a query read straight from a table file, each as "a|b|c"; what the program wrote, not
// what the engine hands back. No rows when the file cannot be opened.
inline QStringList SqlRows(const QString& File, const char* Sql)
{
    sqlite3* Db = nullptr;
    QStringList Rows;
    if (sqlite3_open_v2(QFile::encodeName(File).constData(), &Db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_exec(
            Db, Sql,
            [](void* Out, int Columns, char** Values, char**) {
                QStringList Row;
                for (int I = 0; I < Columns; ++I)
                    Row << QString::fromUtf8(Values[I] ? Values[I] : "");
                static_cast<QStringList*>(Out)->append(Row.join(u'|'));
                return 0;
            },
            &Rows, nullptr);
    }
    sqlite3_close(Db);
    return Rows;
}

// The secondary indexes a table file holds, by SQLite's own catalogue, in order of their names.
inline QStringList SqlIndexNames(const QString& File)
{
    return SqlRows(File, "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name");
}
