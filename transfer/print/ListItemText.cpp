#include "transfer/print/ListItemText.h"

#include "calls/HisPager.h"
#include "directory/Geomark.h"
#include "main/common/CallerRec.h"
#include "main/common/CommonText.h"
#include "platform/db/Table.h"

#include <iterator>

namespace {

QString Trimmed(const TFieldValues& Values, const char* Field)
{
    return TrimBlanks(Values.Text(QString::fromLatin1(Field)));
}

QString Address(const TFieldValues& Entry, bool IgnoreTdfkn)
{
    return (IgnoreTdfkn ? QString() : Trimmed(Entry, "Tdfkn")) + Trimmed(Entry, "Adrs1") + Trimmed(Entry, "Adrs2") +
           Trimmed(Entry, "Adrs3");
}

QString Note(const TFieldValues& Values)
{
    QString Text = Trimmed(Values, "Note");
    return Text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}

QString Stamp(const TFieldValues& Values, const char* Field, int Form)
{
    const double Days = Values.DateTime(QString::fromLatin1(Field));
    switch (Form) {
    case 0: {
        const QString Date = HistoryDateText(Days);
        return Date.isEmpty() ? Date : Date + QLatin1Char(' ') + HistoryTimeText(Days);
    }
    case 1:
        return HistoryDateText(Days);
    default:
        return HistoryTimeText(Days);
    }
}

} // namespace

QString TTableFieldValues::Text(const QString& Field) const
{
    TField* Found = FTable.FindField(Field);
    return Found ? Found->AsString() : QString();
}

double TTableFieldValues::DateTime(const QString& Field) const
{
    TField* Found = FTable.FindField(Field);
    return Found ? Found->AsFloat() : 0;
}

QString HistoryItemText(int ItemNo, const TFieldValues& Row, const TFieldValues* Entry, bool IgnoreTdfkn)
{
    if (NeedsDirectoryRecord(ItemNo) && !Entry)
        return QString();
    // Items printed as the field holds them: of the history row up to 13, of the caller's entry after.
    static const std::pair<int, const char*> Plain[] = {
        {5, "CorpKana"},   {6, "CorpKanji"}, {7, "NameKana"}, {8, "NameKanji"}, {10, "Rank"},      {11, "SelItem1"},
        {12, "SelItem2"},  {13, "SelItem3"}, {16, "JisCode"}, {17, "CorpKana"}, {18, "CorpKanji"}, {19, "NameKana"},
        {20, "NameKanji"}, {21, "Memo1"},    {22, "Memo2"},   {23, "Memo3"},    {24, "EMail"}};
    for (const auto& [No, Field] : Plain)
        if (No == ItemNo)
            return Trimmed(NeedsDirectoryRecord(No) ? *Entry : Row, Field);
    switch (ItemNo) {
    case 2:
        return HistoryDateText(Row.DateTime(QStringLiteral("RecvDateTime")));
    case 3:
        return HistoryTimeText(Row.DateTime(QStringLiteral("RecvDateTime")));
    case 4: {
        const QString Tel = Trimmed(Row, "Tel");
        const QString Code = CallerNumberCodeText(Tel);
        return Code.isEmpty() ? Tel : Code;
    }
    case 9: {
        const QString Division = Trimmed(Row, "Division");
        return Division == u"0" ? QStringLiteral("新規") : Division == u"1" ? QStringLiteral("既存") : QString();
    }
    case 14:
        return FormatPostalCode(Trimmed(*Entry, "Pos"));
    case 15:
        return Address(*Entry, IgnoreTdfkn);
    case 25:
        return Note(*Entry);
    default:
        return QString();
    }
}

QString MeiboItemText(int ItemNo, const TFieldValues& Entry, bool IgnoreTdfkn)
{
    static const char* const Plain[] = {nullptr,    nullptr,     "Tel1",     "Tel2",      nullptr, nullptr, "JisCode",
                                        "CorpKana", "CorpKanji", "NameKana", "NameKanji", nullptr, "Memo1", "Memo2",
                                        "Memo3",    "EMail",     "Rank",     nullptr,     "Msg1",  "Msg2"};
    if (ItemNo >= 0 && ItemNo < static_cast<int>(std::size(Plain)) && Plain[ItemNo])
        return Trimmed(Entry, Plain[ItemNo]);
    switch (ItemNo) {
    case 4:
        return FormatPostalCode(Trimmed(Entry, "Pos"));
    case 5:
        return Address(Entry, IgnoreTdfkn);
    case 11:
        return Trimmed(Entry, "PrivCorp") == u"1" ? QStringLiteral("法人") : QStringLiteral("個人");
    case 17:
        return Trimmed(Entry, "Msg") == u"1" ? QStringLiteral("設定あり") : QStringLiteral("設定なし");
    case 20:
        return Note(Entry);
    case 21:
    case 22:
    case 23:
        return Stamp(Entry, "AddDateTime", ItemNo - 21);
    case 24:
    case 25:
    case 26:
        return Stamp(Entry, "UpdDateTime", ItemNo - 24);
    default:
        return QString();
    }
}

QString GetHeaderText(int Source, int ItemNo, const QList<PrintItem>& Items)
{
    if (ItemNo == BlankItemNo)
        return QString();
    static const QList<std::pair<int, QString>> HistoryCaptions{
        {1, QStringLiteral("No.")}, {4, QStringLiteral("TEL")},   {10, QStringLiteral("RANK")},
        {14, QStringLiteral("〒")}, {16, QStringLiteral("住CD")}, {24, QStringLiteral("EMail")}};
    static const QList<std::pair<int, QString>> MeiboCaptions{
        {1, QStringLiteral("No.")},    {2, QStringLiteral("TEL1")},  {3, QStringLiteral("TEL2")},
        {4, QStringLiteral("〒")},     {6, QStringLiteral("住CD")},  {11, QStringLiteral("個法")},
        {15, QStringLiteral("EMail")}, {16, QStringLiteral("RANK")}, {17, QStringLiteral("Msg設定")},
        {18, QStringLiteral("Msg1")},  {19, QStringLiteral("Msg2")}};
    for (const auto& [No, Caption] : Source == SourceMeibo ? MeiboCaptions : HistoryCaptions)
        if (No == ItemNo)
            return Caption;
    return ItemNo > 0 && ItemNo < Items.size() ? Items[ItemNo].Name.trimmed() : QString();
}
