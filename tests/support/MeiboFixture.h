#pragma once

#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

// A directory table in Folder with these entries in this order, written as the program writes them (with
// the master password), before the program starts: texts and whole numbers by field name; RecNo is 0.
inline void WriteMeiboEntries(const QString& Folder, const QList<QMap<QString, QVariant>>& Entries)
{
    DefaultSession().AddPassword(MasterPassword);
    TTable Meibo;
    Meibo.SetDatabaseName(Folder);
    Meibo.SetTableName(MeiboFileName);
    Meibo.CreateTable(MeiboTableDef(), MasterPassword);
    Meibo.Open();
    for (const QMap<QString, QVariant>& Fields : Entries) {
        Meibo.Append();
        Meibo.FieldByName(QStringLiteral("RecNo")).SetAsInteger(0);
        for (auto Field = Fields.begin(); Field != Fields.end(); ++Field) {
            if (Field.value().typeId() == QMetaType::Int)
                Meibo.FieldByName(Field.key()).SetAsInteger(Field.value().toInt());
            else
                Meibo.FieldByName(Field.key()).SetAsString(Field.value().toString());
        }
        Meibo.Post();
    }
    Meibo.Close();
}

// The same with one entry.
inline void WriteMeiboEntry(const QString& Folder, const QMap<QString, QVariant>& Fields)
{
    WriteMeiboEntries(Folder, {Fields});
}
