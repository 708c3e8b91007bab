#pragma once

#include "main/tables/DBInfo.h"

#include <QDate>
#include <QDir>
#include <QStringList>
#include <functional>

// Call-history tables made up for tests and benchmarks.
struct THisFixtureRow
{
    double When = 0;
    QString Tel;
    QString CorpKana;
    QString CorpKanji;
    QString NameKana;
    QString NameKanji;
    QString Division = QStringLiteral("0");
    QString Rank;
};

// Sunday 1 .. Saturday 7 of a table date-time.
inline int FixtureWeekday(double Days)
{
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(Days)).dayOfWeek() % 7 + 1;
}

// A generated row: three calls share each time stamp, so that page edges fall inside equal times.
inline THisFixtureRow GeneratedRow(int I, double FirstDay = 45000.0)
{
    static const QStringList Kana{QStringLiteral("ｱｵｲｼｮｳｼﾞ"), QStringLiteral("ｶﾜｲ"), QStringLiteral("ｻｸﾗﾃﾞﾝｷ")};
    static const QStringList Kanji{QStringLiteral("青井商事"), QStringLiteral("河井工務店"),
                                   QStringLiteral("さくら電機株式会社")};
    static const QStringList Names{QStringLiteral("山田太郎"), QStringLiteral("佐藤花子"), QStringLiteral("鈴木一郎")};
    THisFixtureRow Row;
    Row.When = FirstDay + (I / 3) * (1.0 / 96); // every quarter of an hour
    const QString Digits = QStringLiteral("03%1").arg(10000000 + I * 7 % 90000000, 8, 10, QLatin1Char('0'));
    Row.Tel = I % 17 == 5 ? QStringLiteral("P") : Digits.left(2) + u'-' + Digits.mid(2, 4) + u'-' + Digits.mid(6);
    Row.CorpKana = Kana[I % 3];
    Row.CorpKanji = Kanji[I % 3];
    Row.NameKana = QStringLiteral("ﾔﾏﾀﾞ");
    Row.NameKanji = Names[I % 3];
    Row.Division = I % 2 ? QStringLiteral("1") : QStringLiteral("0");
    Row.Rank = I % 5 == 0 ? QStringLiteral("Ａ") : QString();
    return Row;
}

// Appends rows to the open table, RecNo continuing from the last one, in one transaction.
inline void AppendHistoryRows(TTable& Table, int Count, const std::function<THisFixtureRow(int)>& Make)
{
    Table.SetIndexName(QString());
    Table.Last();
    int RecNo = Table.IsEmpty() ? 0 : Table.FieldByName(QStringLiteral("RecNo")).AsInteger() + 1;
    TTableTransaction Transaction(Table);
    for (int I = 0; I < Count; ++I) {
        const THisFixtureRow Row = Make(I);
        Table.Append();
        Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo++);
        Table.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(Row.When);
        Table.FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(Row.When);
        Table.FieldByName(QStringLiteral("RecvWeek")).SetAsInteger(FixtureWeekday(Row.When));
        QString Digits;
        for (QChar C : Row.Tel)
            if (C.isDigit())
                Digits += C;
        Table.FieldByName(QStringLiteral("SchTel")).SetAsString(Row.Tel == u"P" ? Row.Tel : Digits);
        Table.FieldByName(QStringLiteral("Tel")).SetAsString(Row.Tel);
        Table.FieldByName(QStringLiteral("CorpKana")).SetAsString(Row.CorpKana);
        Table.FieldByName(QStringLiteral("CorpKanji")).SetAsString(Row.CorpKanji);
        Table.FieldByName(QStringLiteral("NameKana")).SetAsString(Row.NameKana);
        Table.FieldByName(QStringLiteral("NameKanji")).SetAsString(Row.NameKanji);
        Table.FieldByName(QStringLiteral("Division")).SetAsString(Row.Division);
        Table.FieldByName(QStringLiteral("Rank")).SetAsString(Row.Rank);
        Table.Post();
    }
    Transaction.Commit();
}

// A data module over Folder with the call history's table created (and left closed).
class THisFixtureData
{
public:
    explicit THisFixtureData(const QString& Folder) : Module(Folder, Folder)
    {
        DMVxRelvo16 = &Module;
        Module.CreateRecvHisTable();
        Module.OpenRecvHis();
    }
    ~THisFixtureData()
    {
        Module.CloseRecvHis();
        Module.FreeRecvHisTable();
        DMVxRelvo16 = nullptr;
    }
    TTable& Table() { return *RecvHisTable; }
    TDMVxRelvo16 Module;
};
