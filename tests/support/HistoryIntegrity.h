#pragma once

#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"

#include <QString>
#include <QStringList>

// What SQLite's integrity check finds wrong in the call history of a data folder (with its "/"):
// nothing for a sound table.
inline QStringList HistoryIntegrityProblems(const QString& Folder)
{
    DefaultSession().AddPassword(MasterPassword);
    TTable Table;
    Table.SetDatabaseName(Folder);
    Table.SetTableName(RecvHisFileName);
    Table.Open();
    return Table.IntegrityCheck();
}
