#include "directory/record/MeiboHistory.h"

#include "calls/HisPager.h"
#include "main/common/CommonText.h"
#include "platform/db/Table.h"

#include <QSet>
#include <algorithm>

namespace {

// The last digit raised by one: every text that begins with Prefix sorts below it (digits only).
QString PrefixEnd(const QString& Prefix)
{
    QString End = Prefix;
    End.back() = QChar(End.back().unicode() + 1);
    return End;
}

} // namespace

bool HistoryRowMatches(const QString& SchTel, const QString& Tel1, const QString& Tel2)
{
    const QString Row = TrimBlanks(SchTel);
    for (const QString& Tel : {Tel1, Tel2}) {
        const QString Digits = DigitsOnly(Tel);
        if (!Digits.isEmpty() && Row.startsWith(Digits))
            return true;
    }
    return false;
}

QList<int> LoadHistoryRecNos(TTable& RecvHis, const QString& Tel1, const QString& Tel2)
{
    if (DigitsOnly(Tel1).isEmpty())
        return {};
    struct TFound
    {
        double When;
        int RecNo;
    };
    std::vector<TFound> Found;
    const QString OldIndex = RecvHis.IndexName();
    RecvHis.SetIndexName(QStringLiteral("SchTel"));
    for (const QString& Tel : {Tel1, Tel2}) {
        const QString Digits = DigitsOnly(Tel);
        if (Digits.isEmpty())
            continue;
        RecvHis.SetRange({Digits}, {PrefixEnd(Digits)});
        // An entry that is an area code owns every call from that area: a batch a query.
        const TTableReadAhead Ahead(RecvHis);
        for (; !RecvHis.Eof(); RecvHis.Next()) {
            if (!HistoryRowMatches(RecvHis.FieldByName(QStringLiteral("SchTel")).AsString(), Tel1, Tel2))
                continue;
            Found.push_back({RecvHis.FieldByName(QStringLiteral("RecvDateTime")).AsFloat(),
                             RecvHis.FieldByName(QStringLiteral("RecNo")).AsInteger()});
        }
        RecvHis.CancelRange();
    }
    RecvHis.SetIndexName(OldIndex);
    std::sort(Found.begin(), Found.end(),
              [](const TFound& A, const TFound& B) { return A.When != B.When ? A.When > B.When : A.RecNo > B.RecNo; });
    QList<int> RecNos;
    QSet<int> Listed; // a row both numbers find is listed once
    for (const TFound& Row : Found)
        if (!Listed.contains(Row.RecNo)) {
            Listed.insert(Row.RecNo);
            RecNos << Row.RecNo;
        }
    return RecNos;
}

THistoryTexts HistoryRowTexts(TTable& RecvHis, int RecNo, int Position)
{
    THistoryTexts Texts;
    Texts[0] = QString::number(Position);
    if (!RecvHis.IndexName().isEmpty())
        RecvHis.SetIndexName(QString());
    if (!RecvHis.FindKey({RecNo}))
        return Texts;
    const double When = RecvHis.FieldByName(QStringLiteral("RecvDateTime")).AsFloat();
    Texts[1] = HistoryDateText(When);
    Texts[2] = HistoryTimeText(When);
    Texts[3] = TrimBlanks(RecvHis.FieldByName(QStringLiteral("Rank")).AsString());
    Texts[4] = TrimBlanks(RecvHis.FieldByName(QStringLiteral("SelItem1")).AsString());
    Texts[5] = TrimBlanks(RecvHis.FieldByName(QStringLiteral("SelItem2")).AsString());
    Texts[6] = TrimBlanks(RecvHis.FieldByName(QStringLiteral("SelItem3")).AsString());
    return Texts;
}
