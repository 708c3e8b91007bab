#pragma once

#include "main/common/CommonText.h"
#include "main/tables/DBInfo.h"

#include <QStringList>
#include <functional>

// Directory tables made up for tests and benchmarks.
struct TMeiboFixtureRow
{
    QString Tel1;
    QString Tel2;
    QString Tdfkn;
    QString Adrs1;
    QString Adrs2;
    QString Adrs3;
    QString JisCode;
    QString CorpKana;
    QString CorpKanji;
    QString NameKana;
    QString NameKanji;
};

// A generated row: the keys of every order repeat (seven numbers, five readings), so that page
// edges fall inside equal keys.
inline TMeiboFixtureRow GeneratedMeiboRow(int I)
{
    static const QStringList Kana{QStringLiteral("ｱｵｷ"), QStringLiteral("ｶﾜｲ"), QStringLiteral("ｻｸﾗ"),
                                  QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("ｱｵｲ")};
    static const QStringList Kanji{QStringLiteral("青木"), QStringLiteral("河井"), QStringLiteral("佐倉"),
                                   QStringLiteral("山田"), QStringLiteral("青井")};
    TMeiboFixtureRow Row;
    Row.Tel1 = QStringLiteral("03-%1-%2").arg(1000 + I % 7).arg(5000 + I % 7);
    Row.Tel2 = I % 3 ? QStringLiteral("090-%1-0000").arg(2000 + I % 11) : QString();
    Row.Tdfkn = QStringLiteral("東京都");
    Row.Adrs1 = I % 2 ? QStringLiteral("千代田区") : QStringLiteral("港区");
    Row.Adrs2 = QStringLiteral("千代田%1丁目").arg(I % 4 + 1);
    Row.Adrs3 = QString::number(I % 9);
    Row.JisCode = I % 2 ? QStringLiteral("13101") : QStringLiteral("13103");
    Row.CorpKana = Kana[I % 5];
    Row.CorpKanji = Kanji[I % 5] + QStringLiteral("商事");
    Row.NameKana = Kana[(I / 5) % 5];
    Row.NameKanji = Kanji[(I / 5) % 5] + QStringLiteral("太郎");
    return Row;
}

// Appends rows to the open table, RecNo continuing from the last one, in one transaction.
inline void AppendMeiboRows(TTable& Table, int Count, const std::function<TMeiboFixtureRow(int)>& Make)
{
    Table.SetIndexName(QString());
    Table.Last();
    int RecNo = Table.IsEmpty() ? 0 : Table.FieldByName(QStringLiteral("RecNo")).AsInteger() + 1;
    TTableTransaction Transaction(Table);
    for (int I = 0; I < Count; ++I) {
        const TMeiboFixtureRow Row = Make(I);
        Table.Append();
        auto Set = [&Table](const char* Field, const QString& Value) {
            Table.FieldByName(QLatin1String(Field)).SetAsString(Value);
        };
        Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo++);
        Set("SchTel1", DigitsOnly(Row.Tel1));
        Set("SchTel2", DigitsOnly(Row.Tel2));
        Set("Tel1", Row.Tel1);
        Set("Tel2", Row.Tel2);
        Set("Tdfkn", Row.Tdfkn);
        Set("Adrs1", Row.Adrs1);
        Set("Adrs2", Row.Adrs2);
        Set("Adrs3", Row.Adrs3);
        Set("JisCode", Row.JisCode);
        Set("CorpKana", Row.CorpKana);
        Set("CorpKanji", Row.CorpKanji);
        Set("NameKana", Row.NameKana);
        Set("NameKanji", Row.NameKanji);
        Table.Post();
    }
    Transaction.Commit();
}

// The RecNos of every row in an order, read through the index with its ties by RecNo.
inline QList<int> IndexOrder(TTable& Table, const QString& Index)
{
    QList<int> Result;
    Table.SetIndexName(Index);
    for (Table.First(); !Table.IsEmpty();) {
        Result << Table.FieldByName(QStringLiteral("RecNo")).AsInteger();
        if (Table.MoveBy(1) == 0)
            break;
    }
    return Result;
}

// A data module over Folder with the directory's table created and held open.
class TMeiboFixtureData
{
public:
    explicit TMeiboFixtureData(const QString& Folder) : Module(Folder, Folder)
    {
        DMVxRelvo16 = &Module;
        Module.CreateMeiboTable();
        Module.OpenMeibo();
    }
    ~TMeiboFixtureData()
    {
        Module.CloseMeibo();
        Module.FreeMeiboTable();
        DMVxRelvo16 = nullptr;
    }
    TTable& Table() { return *MeiboTable; }
    TDMVxRelvo16 Module;
};
