#pragma once

#include "main/identify/FbEditions.h"
#include "main/tables/AdrsTableDef.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Table.h"
#include "tests/support/UtilityWorld.h"
#include "utility/fernbook/FbArea.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QVariant>

// The utility's world with an installed edition 0 of the address-book product: its folder under the
// application data folder with fbarea18.ini naming a data folder, whose Adrs folder holds books.
class TFbWorld : public TUtilityWorld
{
public:
    TFbWorld()
    {
        QDir().mkpath(Adrs());
        const QString Edition = Path(QStringLiteral("home/Pelmar/fbarea18/"));
        QDir().mkpath(Edition);
        TMemIniFile Ini(Edition + QStringLiteral("fbarea18.ini"));
        Ini.WriteString(QStringLiteral("BASE"), QStringLiteral("DataPath"), Fb());
        (void)Ini.UpdateFile();
    }
    ~TFbWorld() { DefaultSession().RemoveAllPasswords(); }

    [[nodiscard]] QString Fb() const { return Path(QStringLiteral("fb/")); }
    [[nodiscard]] QString Adrs() const { return Fb() + QStringLiteral("Adrs/"); }
    [[nodiscard]] QString Book(const QString& Name) const { return Adrs() + Name + QLatin1Char('/'); }

    // An empty book of edition 0.
    void MakeBook(const QString& Name) const
    {
        QDir().mkpath(Book(Name));
        Utility::TDMFbarea Area(0);
        Area.PrepareAdrsTable(Book(Name));
        (void)Area.OpenAdrsTable();
        Area.CloseAdrsTable();
    }

    // Appends directory records with the given fields.
    void AddMeibo(const QList<QMap<QString, QString>>& Rows) const
    {
        TDMVxRelvo16 Module(Data(), ProgramPath);
        Module.CreateMeiboTable();
        TTableUse Use(Module, TDataTable::Meibo);
        TTableTransaction Transaction(*MeiboTable);
        int RecNo = MeiboTable->RecordCount();
        for (const auto& Row : Rows) {
            MeiboTable->Append();
            MeiboTable->FieldByName(QStringLiteral("RecNo")).SetAsInteger(++RecNo);
            for (auto It = Row.cbegin(); It != Row.cend(); ++It)
                MeiboTable->FieldByName(It.key()).SetAsString(It.value());
            MeiboTable->Post();
        }
        Transaction.Commit();
    }

    // A pick list of items, first to last.
    static void WriteList(const QString& File, int ItemBytes, const QStringList& Items)
    {
        QDir().mkpath(QFileInfo(File).absolutePath());
        THistoryData List(File, true, ItemBytes);
        (void)List.Load();
        List.Clear();
        for (const QString& Item : Items)
            List.Add(Item, 0);
        (void)List.Save();
    }
    static QStringList ReadList(const QString& File, int ItemBytes)
    {
        THistoryData List(File, true, ItemBytes);
        (void)List.Load();
        QStringList Items;
        for (int I = 0; I < List.Count(); ++I)
            Items << List.GetText(I);
        return Items;
    }

    // The rows of a book, each field by name.
    [[nodiscard]] QList<QMap<QString, QVariant>> Rows(const QString& Name, int Edition = 0) const
    {
        DefaultSession().AddPassword(AdrsPassword(Edition));
        QList<QMap<QString, QVariant>> Result;
        TTable Table;
        Table.SetDatabaseName(Book(Name));
        Table.SetTableName(AdrsFileName);
        Table.Open();
        for (Table.First(); !Table.Eof(); Table.Next()) {
            QMap<QString, QVariant> Row;
            for (int I = 0; I < Table.FieldCount(); ++I) {
                TField& Field = Table.Fields(I);
                Row.insert(Field.FieldName(), Field.DataType() == TFieldType::Boolean    ? QVariant(Field.AsBoolean())
                                              : Field.DataType() == TFieldType::DateTime ? QVariant(Field.AsFloat())
                                                                                         : QVariant(Field.AsString()));
            }
            Result << Row;
        }
        return Result;
    }
};
