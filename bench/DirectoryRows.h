#pragma once

// The directory rows the benchmarks fill Meibo.DB with: ten-digit numbers spread over the whole
// range, company names, readings and addresses that repeat as a real directory's do.
#include "platform/db/Table.h"

#include <QString>

inline QString Digits(quint64 Seed, int Length)
{
    QString Text = QStringLiteral("0");
    while (Text.size() < Length) {
        Text += QChar(static_cast<char16_t>(u'0' + Seed % 10));
        Seed = Seed / 10 + Seed * 7 + 3;
    }
    return Text;
}

inline QString MeiboTel(int RecNo)
{
    return Digits(static_cast<quint64>(RecNo) * 2654435761ULL % 9999999967ULL, 10);
}

// Appends the directory row of number Row (of Rows) under the record number RecNo.
inline void AppendDirectoryRow(TTable& Table, int RecNo, int Row, int Rows)
{
    Table.Append();
    Table.FieldByName("RecNo").SetAsInteger(RecNo);
    Table.FieldByName("SchTel1").SetAsString(MeiboTel(Row));
    Table.FieldByName("SchTel2").SetAsString(MeiboTel(Row + Rows));
    Table.FieldByName("CorpKanji").SetAsString(QStringLiteral("有限会社　登録%1").arg(Row % 10007));
    Table.FieldByName("NameKana").SetAsString(QStringLiteral("ｽｽﾞｷ %1").arg(Row % 313));
    Table.FieldByName("JisCode").SetAsString(QStringLiteral("13101"));
    Table.FieldByName("Adrs2").SetAsString(QStringLiteral("千代田区丸の内%1丁目").arg(Row % 9));
    Table.Post();
}
