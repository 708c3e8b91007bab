#include "transfer/export/ExportItems.h"

#include "calls/HisPager.h"
#include "directory/Dashrule.h"
#include "directory/Geomark.h"
#include "main/common/CallerRec.h"
#include "main/common/CommonText.h"
#include "platform/db/Table.h"
#include "transfer/print/ListItemText.h"

#include <QHash>
#include <iterator>

namespace {

const char16_t* const HistoryNames[ExportItemCount] = {u"着信日付",
                                                       u"着信時刻",
                                                       u"電話番号",
                                                       u"会社名カナ",
                                                       u"会社名漢字",
                                                       u"名前カナ",
                                                       u"名前漢字",
                                                       u"区分",
                                                       u"ランク",
                                                       nullptr,
                                                       nullptr,
                                                       nullptr,
                                                       u"郵便番号(名簿)",
                                                       u"都道府県(名簿)",
                                                       u"住所１(名簿)",
                                                       u"住所２(名簿)",
                                                       u"住所３(名簿)",
                                                       u"住所コード(名簿)",
                                                       u"会社名カナ(名簿)",
                                                       u"会社名漢字(名簿)",
                                                       u"名前カナ(名簿)",
                                                       u"名前漢字(名簿)",
                                                       u"登録メモ１(名簿)",
                                                       u"登録メモ２(名簿)",
                                                       u"登録メモ３(名簿)",
                                                       u"メールアドレス(名簿)",
                                                       u"外部ファイル(名簿)",
                                                       u"備考(名簿)"};

const char16_t* const MeiboNames[ExportItemCount] = {u"電話番号１",
                                                     u"電話番号２",
                                                     u"郵便番号",
                                                     u"都道府県",
                                                     u"住所１",
                                                     u"住所２",
                                                     u"住所３",
                                                     u"住所コード",
                                                     u"会社名カナ",
                                                     u"会社名漢字",
                                                     u"名前カナ",
                                                     u"名前漢字",
                                                     u"個人法人区分",
                                                     u"登録メモ１",
                                                     u"登録メモ２",
                                                     u"登録メモ３",
                                                     u"メールアドレス",
                                                     u"ランク",
                                                     u"着信時メッセージ設定",
                                                     u"着信時メッセージ(１行目)",
                                                     u"着信時メッセージ(２行目)",
                                                     u"着信時メッセージ(背景色)",
                                                     u"外部ファイル",
                                                     u"備考",
                                                     u"登録日付",
                                                     u"登録時刻",
                                                     u"更新日付",
                                                     u"更新時刻"};

// A field's name made once, not once an item of every line: an export asks for millions.
const QString& FieldName(const char* Field)
{
    thread_local QHash<const char*, QString> Names;
    auto Name = Names.constFind(Field);
    if (Name == Names.constEnd())
        Name = Names.insert(Field, QString::fromLatin1(Field));
    return *Name;
}

QString Trimmed(const TFieldValues& Values, const char* Field)
{
    return TrimBlanks(Values.Text(FieldName(Field)));
}

QString WithoutTrailingBlanks(QString Text)
{
    while (!Text.isEmpty() && Text.back().unicode() <= 32)
        Text.chop(1);
    return Text;
}

// The words that stand for a caller-number code in a file.
bool IsReasonWord(const QString& Text)
{
    for (const char Code : {'P', 'O', 'C', 'S', '$'})
        if (CallerNumberCodeText(QString(QLatin1Char(Code))) == Text)
            return true;
    return false;
}

// Lists of lines (notes, attached files) go out as one line, their breaks as TABs.
QString OneLine(const TFieldValues& Values, const char* Field)
{
    return Values.Text(FieldName(Field)).replace(QStringLiteral("\r\n"), QStringLiteral("\t"));
}

QString PostalCode(const TFieldValues& Values, const TExportSettings& Settings)
{
    const QString Code = Trimmed(Values, "Pos");
    return Settings.EditPosHyphen ? FormatPostalCode(Code) : Code;
}

QString Number(const TFieldValues& Values, const char* Display, const char* Search, const TExportSettings& Settings)
{
    return Settings.EditTelHyphen ? FormatTelHyphen(Trimmed(Values, Display)) : Trimmed(Values, Search);
}

// An empty stamp writes an empty field: a date of 1899 would pass for a real one in the file.
QString DateOf(double Days, bool Slashes)
{
    QString Text = HistoryDateText(Days);
    return Slashes ? Text : Text.remove(QLatin1Char('/'));
}

QString TimeOf(double Days, bool Colons)
{
    QString Text = HistoryTimeText(Days);
    return Colons ? Text : Text.remove(QLatin1Char(':'));
}

// Directory items read the same way whether they come from the directory itself or, for the
// history, from the caller's entry: index of the directory table, the field it reads.
const std::pair<int, const char*> EntryFields[] = {
    {3, "Tdfkn"},     {4, "Adrs1"},     {5, "Adrs2"},      {6, "Adrs3"},  {7, "JisCode"}, {8, "CorpKana"},
    {9, "CorpKanji"}, {10, "NameKana"}, {11, "NameKanji"}, {13, "Memo1"}, {14, "Memo2"},  {15, "Memo3"},
    {16, "EMail"},    {17, "Rank"},     {19, "Msg1"},      {20, "Msg2"},  {21, "BGColor"}};

QString EntryField(int MeiboIndex, const TFieldValues& Entry)
{
    for (const auto& [No, Field] : EntryFields)
        if (No == MeiboIndex)
            return Trimmed(Entry, Field);
    return {};
}

} // namespace

TExportSettings& ExportSettings()
{
    static TExportSettings Settings;
    return Settings;
}

QStringList ExportItemNames(int Source, const QStringList& SelectTitles)
{
    QStringList Names;
    const auto& Table = Source == ExportSourceMeibo ? MeiboNames : HistoryNames;
    for (int I = 0; I < ExportItemCount; ++I)
        Names << (Table[I] ? QString::fromUtf16(Table[I]) : SelectTitles.value(I - 9));
    return Names;
}

QString ExportItemName(const QStringList& Names, int Index)
{
    return Index >= 0 && Index < ExportItemCount ? Names.value(Index) : QString();
}

QString BuildHeaderLine(const TExportLayout& Layout, const QStringList& Names)
{
    QString Line;
    for (qsizetype I = 0; I < Layout.size(); ++I) {
        if (I > 0)
            Line += Layout[I].ColumnNo > 0 ? QStringLiteral(",") : QStringLiteral("＋");
        Line += ExportItemName(Names, Layout[I].ItemIndex);
    }
    return Line;
}

QString BuildRecordLine(const TExportLayout& Layout, const std::function<QString(int)>& ItemValue, bool BindDblQuote,
                        QStringList* Columns)
{
    QString Line;
    Line.reserve(256);
    QString Column;
    const auto Close = [&] {
        if (Columns)
            Columns->append(Column);
        if (!BindDblQuote) {
            Line += Column;
            return;
        }
        if (Column.contains(QLatin1Char('"')))
            Column.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        Line += QLatin1Char('"');
        Line += Column;
        Line += QLatin1Char('"');
    };
    for (qsizetype I = 0; I < Layout.size(); ++I) {
        if (I > 0 && Layout[I].ColumnNo > 0) {
            Close();
            Line += QLatin1Char(',');
            Column.clear();
        }
        Column += ItemValue(Layout[I].ItemIndex);
    }
    if (!Layout.isEmpty())
        Close();
    return Line;
}

QString FormatHistoryItem(int Index, const TFieldValues& Row, const TFieldValues* Entry,
                          const TExportSettings& Settings)
{
    const double Received = Row.DateTime(QStringLiteral("RecvDateTime"));
    switch (Index) {
    case 0:
        return DateOf(Received, Settings.EditDate);
    case 1:
        return TimeOf(Received, Settings.EditTime);
    case 2: {
        const QString Tel = Number(Row, "Tel", "SchTel", Settings);
        const QString Code = Tel.isEmpty() ? QString() : CallerNumberCodeText(Tel);
        if (!Code.isEmpty())
            return Code;
        // A number stored as the text of a reason word with blanks before it keeps them, or the
        // file would bring it back as that reason.
        if (IsReasonWord(Tel))
            return WithoutTrailingBlanks(Row.Text(FieldName(Settings.EditTelHyphen ? "Tel" : "SchTel")));
        return Tel;
    }
    case 3:
        return Trimmed(Row, "CorpKana");
    case 4:
        return Trimmed(Row, "CorpKanji");
    case 5:
        return Trimmed(Row, "NameKana");
    case 6:
        return Trimmed(Row, "NameKanji");
    case 7: {
        const QString Division = Trimmed(Row, "Division");
        return Division == u"0" ? QStringLiteral("新規") : Division == u"1" ? QStringLiteral("既存") : QString();
    }
    case 8:
        return Trimmed(Row, "Rank");
    case 9:
    case 10:
    case 11:
        return Trimmed(Row, Index == 9 ? "SelItem1" : Index == 10 ? "SelItem2" : "SelItem3");
    default:
        break;
    }
    if (!ReadsCallerEntry(Index) || !Entry)
        return {};
    switch (Index) {
    case 12:
        return PostalCode(*Entry, Settings);
    case 26:
        return OneLine(*Entry, "ExtFile");
    case 27:
        return OneLine(*Entry, "Note");
    default:
        // Items 13 to 25 are the directory's 3 to 11 and 13 to 16.
        return EntryField(Index <= 21 ? Index - 10 : Index - 9, *Entry);
    }
}

QString FormatDirectoryItem(int Index, const TFieldValues& Entry, const TExportSettings& Settings)
{
    switch (Index) {
    case 0:
        return Number(Entry, "Tel1", "SchTel1", Settings);
    case 1:
        return Number(Entry, "Tel2", "SchTel2", Settings);
    case 2:
        return PostalCode(Entry, Settings);
    case 12:
        return Trimmed(Entry, "PrivCorp") == u"1" ? QStringLiteral("法人") : QStringLiteral("個人");
    case 18:
        return Trimmed(Entry, "Msg") == u"1" ? QStringLiteral("設定あり") : QStringLiteral("設定なし");
    case 22:
        return OneLine(Entry, "ExtFile");
    case 23:
        return OneLine(Entry, "Note");
    case 24:
    case 26:
        return DateOf(Entry.DateTime(QString::fromLatin1(Index == 24 ? "AddDateTime" : "UpdDateTime")), true);
    case 25:
    case 27:
        return TimeOf(Entry.DateTime(QString::fromLatin1(Index == 25 ? "AddDateTime" : "UpdDateTime")), true);
    default:
        return EntryField(Index, Entry);
    }
}

TRecordCopy::TShape TRecordCopy::TShape::Of(TTable& Table)
{
    TShape Shape;
    for (int I = 0; I < Table.FieldCount(); ++I) {
        Shape.Index.insert(Table.Fields(I).FieldName(), I);
        Shape.Types << Table.Fields(I).DataType();
    }
    return Shape;
}

TRecordCopy TRecordCopy::Current(const TShape& Shape, TTable& Table)
{
    QVariantList Values;
    Values.reserve(Table.FieldCount());
    for (int I = 0; I < Table.FieldCount(); ++I) {
        const TField& Field = Table.Fields(I);
        switch (Field.DataType()) {
        case TFieldType::String:
        case TFieldType::Memo:
            Values << Field.AsString();
            break;
        case TFieldType::DateTime:
            Values << Field.AsFloat();
            break;
        default:
            Values << qint64(Field.AsInteger());
        }
    }
    return {Shape, std::move(Values)};
}

QString TRecordCopy::Text(const QString& Field) const
{
    const int I = FShape->Index.value(Field, -1);
    if (I < 0)
        return {};
    return StoredValueText(FShape->Types.at(I), FValues.at(I));
}

double TRecordCopy::DateTime(const QString& Field) const
{
    const int I = FShape->Index.value(Field, -1);
    if (I < 0)
        return 0;
    const TFieldType Type = FShape->Types.at(I);
    return Type == TFieldType::String || Type == TFieldType::Memo ? FValues.at(I).toString().toDouble()
                                                                  : FValues.at(I).toDouble();
}

TCallerEntryLookup::TCallerEntryLookup(TTable& Meibo) : FMeibo(Meibo), FShape(TRecordCopy::TShape::Of(Meibo)) {}

void TCallerEntryLookup::Prefetch(const QStringList& SchTels)
{
    FKnown.clear();
    QStringList Keys;
    for (const QString& SchTel : SchTels) {
        const QString Key = TrimBlanks(SchTel);
        if (!Key.isEmpty() && !FKnown.contains(Key)) {
            FKnown.insert(Key, std::nullopt);
            Keys << Key;
        }
    }
    LookUp(Keys);
}

void TCallerEntryLookup::LookUp(const QStringList& Keys)
{
    QStringList Left = Keys;
    for (const QString& Index : {QStringLiteral("SchTel1"), QStringLiteral("SchTel2")}) {
        if (Left.isEmpty())
            break;
        QList<QVariantList> Values;
        for (const QString& Key : Left)
            Values.append(QVariantList{Key});
        std::vector<QVariantList> Records = FMeibo.LookupRecords(Index, Values);
        QStringList Missing;
        for (qsizetype K = 0; K < Left.size(); ++K) {
            QVariantList& Record = Records[static_cast<size_t>(K)];
            if (Record.isEmpty())
                Missing << Left[K];
            else
                FKnown.insert(Left[K], TRecordCopy(FShape, std::move(Record)));
        }
        Left = Missing;
    }
}

const TFieldValues* TCallerEntryLookup::Find(const QString& SchTel)
{
    const QString Key = TrimBlanks(SchTel);
    if (Key.isEmpty())
        return nullptr;
    auto Known = FKnown.constFind(Key);
    if (Known == FKnown.constEnd()) {
        // Not looked up beforehand: alone, and kept with the rest, up to a bound.
        if (FKnown.size() >= 4096)
            FKnown.clear();
        FKnown.insert(Key, std::nullopt);
        LookUp({Key});
        Known = FKnown.constFind(Key);
    }
    return *Known ? &**Known : nullptr;
}

QString RecordLine(int Source, const TFieldValues& Row, TCallerEntryLookup* Lookup, const TExportLayout& Layout,
                   const TExportSettings& Settings, QStringList* Columns)
{
    if (Source == ExportSourceMeibo)
        return BuildRecordLine(
            Layout, [&](int Index) { return FormatDirectoryItem(Index, Row, Settings); }, Settings.BindDblQuote,
            Columns);
    const TFieldValues* Entry = nullptr;
    bool Asked = false;
    return BuildRecordLine(
        Layout,
        [&](int Index) {
            if (ReadsCallerEntry(Index) && !Asked && Lookup) {
                Asked = true;
                Entry = Lookup->Find(Row.Text(QStringLiteral("SchTel")));
            }
            return FormatHistoryItem(Index, Row, Entry, Settings);
        },
        Settings.BindDblQuote, Columns);
}

QString CurrentRecordLine(int Source, TTable& Table, TCallerEntryLookup* Lookup, const TExportLayout& Layout,
                          const TExportSettings& Settings)
{
    return RecordLine(Source, TTableFieldValues(Table), Lookup, Layout, Settings);
}
