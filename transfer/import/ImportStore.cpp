#include "transfer/import/ImportStore.h"

#include "directory/Dashrule.h"
#include "directory/dic/ConAdrsDicClass.h"
#include "main/common/CommonText.h"
#include "main/common/ProductInfo.h"
#include "main/identify/AppSub.h"
#include "main/tables/HisInfo.h"
#include "main/tables/PickListIndex.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/LocalTime.h"
#include "transfer/common/TelRules.h"

#include <cmath>

namespace {

QString T(const QStringList& Values, int Row)
{
    return TrimBlanks(Values.value(Row));
}

// A number of the file as the current numbering writes it.
QString UpToDate(const QString& Number)
{
    return ConvertExchange0720(ConvertOldMobileNumber(Number));
}

// The number the ASCII digits Text[From, From + Count) write.
int DigitsValue(const QString& Text, qsizetype From, qsizetype Count)
{
    int Value = 0;
    for (qsizetype I = From; I < From + Count; ++I)
        Value = Value * 10 + (Text.at(I).unicode() - u'0');
    return Value;
}

// A date of eight digits (yyyymmdd) and a time of six (hhnnss), as one moment; invalid when either
// does not exist. Read by hand: format strings cost more than the rest of the line.
QDateTime ReadDateTime(const QString& Date, const QString& Time)
{
    if (Date.size() != 8 || Time.size() != 6)
        return {};
    const QDate Day(DigitsValue(Date, 0, 4), DigitsValue(Date, 4, 2), DigitsValue(Date, 6, 2));
    const QTime At(DigitsValue(Time, 0, 2), DigitsValue(Time, 2, 2), DigitsValue(Time, 4, 2));
    if (!Day.isValid() || !At.isValid())
        return {};
    return LocalDateTime(Day, At);
}

// The day of the week (1 Sunday to 7 Saturday) of a stored local time.
int WeekDay(double Days)
{
    const QDate Day = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::trunc(Days)));
    return (SteadyLocalOffset(Day) ? Day : DaysToDateTime(Days).date()).dayOfWeek() % 7 + 1;
}

// Each TAB ends a line; what follows the last TAB is a line when it is not empty.
QStringList TabLines(const QString& Text)
{
    QStringList Lines = Text.split(u'\t');
    if (!Lines.isEmpty() && Lines.constLast().isEmpty())
        Lines.removeLast();
    return Lines;
}

QString JoinLines(const std::optional<QStringList>& Lines)
{
    QString Text;
    if (Lines)
        for (const QString& Line : *Lines)
            Text += Line + QStringLiteral("\r\n");
    return Text;
}

qint32 ReadCoordinate(const QString& Value)
{
    const QString Text = TrimBlanks(Value);
    if (Text.isEmpty() || Text == QStringLiteral("0") || Text.size() > 10)
        return 0;
    bool Ok = false;
    const qint64 Number = Text.toLongLong(&Ok);
    if (!Ok)
        throw ERangeError(QStringLiteral("'%1' is not a valid integer value").arg(Text));
    return Number > 2147483647LL ? 0 : static_cast<qint32>(Number);
}

// Looks Number up in SchTel1, then in SchTel2; the RecNo of the entry found.
std::optional<int> FindEntry(TTable& Table, const QString& Number)
{
    for (const char* Index : {"SchTel1", "SchTel2"})
        if (const QVariant RecNo = Table.LookupKey(QLatin1String(Index), {Number}, QStringLiteral("RecNo"));
            RecNo.isValid())
            return RecNo.toInt();
    return std::nullopt;
}

} // namespace

QString ReasonText(int Reason)
{
    switch (Reason) {
    case ReasonFieldCount:
        return QStringLiteral("１件目と項目数が不一致");
    case ReasonSameNumber:
        return QStringLiteral("同一電話番号データを上書きしない設定で同一電話番号出現");
    case ReasonDateFormat:
        return QStringLiteral("着信日付か着信時刻の書式不正");
    case ReasonHistoryPost:
        return QStringLiteral("着信対応履歴登録失敗");
    case ReasonManyNumbers:
        return QStringLiteral("複数同一電話番号が存在");
    case ReasonMeiboPost:
        return QStringLiteral("登録名簿登録失敗");
    default:
        return QStringLiteral("その他のエラー");
    }
}

int ConvertHistoryRow(const QStringList& Values, TCallerRecord& Record)
{
    const QString Date = DigitsOnly(Values.value(HisItem::RecvDate));
    const QString Time = DigitsOnly(Values.value(HisItem::RecvTime));
    if (Date.size() != 8 || Time.size() != 6)
        return ReasonDateFormat;
    const QDateTime Received = ReadDateTime(Date, Time);
    if (!Received.isValid())
        return ReasonOther;
    Record.RecvDateTime = DateTimeToDays(Received);

    // Only the exact words stand for a reason; anything else is a number as the file wrote it.
    static const struct
    {
        QString Word;
        QChar Code;
    } Codes[] = {{QStringLiteral("匿名着信"), CallerCodeAnonymous},
                 {QStringLiteral("表示圏外"), CallerCodeOutOfArea},
                 {QStringLiteral("公衆電話"), CallerCodePublicPhone},
                 {QStringLiteral("契約条件"), CallerCodeWithheld},
                 {QStringLiteral("特殊電話番号"), CallerCodeSpecial}};
    const QString Number = Values.value(HisItem::Tel);
    QString Display;
    bool IsCode = false;
    for (const auto& Code : Codes)
        if (Number == Code.Word) {
            Display = Code.Code;
            IsCode = true;
        }
    if (!IsCode) {
        Display = FormatTelHyphen(UpToDate(Number)).left(TCallerRecord::TelWidth);
        // Text without a digit is no number to format: it is stored as the file wrote it, so that
        // " 表示圏外" stays that text and never turns into the reason word it resembles.
        if (DigitsOnly(Display).isEmpty())
            Display = Number.left(TCallerRecord::TelWidth);
    }
    Record.Tel[0] = Display;
    Record.SchTel[0] = DigitsOnly(Display).left(TCallerRecord::SchTelWidth);
    if (Record.SchTel[0].isEmpty())
        Record.SchTel[0] = Display.left(TCallerRecord::SchTelWidth);

    const QString Division = T(Values, HisItem::Division);
    Record.Division = Division == QStringLiteral("既存") || Division == QStringLiteral("1") ? 1 : 0;
    return ImportStored;
}

void FindSameNumbers(TTable& Table, const QStringList& Values, TCallerRecord& Record, int& Count, int& FoundRecNo)
{
    Count = 0;
    FoundRecNo = -1;
    QString Number1 = DigitsOnly(Values.value(MeiboItem::Tel1)).left(13);
    QString Number2 = DigitsOnly(Values.value(MeiboItem::Tel2)).left(13);
    if (Number1.isEmpty() && Number2.isEmpty())
        return;
    if (Number1.isEmpty())
        std::swap(Number1, Number2);
    Number1 = UpToDate(Number1);
    if (!Number2.isEmpty())
        Number2 = UpToDate(Number2);
    Record.Tel[0] = Number1;
    Record.Tel[1] = Number2;
    if (Number1 == Number2) {
        Count = 2;
        return;
    }
    if (const std::optional<int> Found = FindEntry(Table, Number1)) {
        ++Count;
        FoundRecNo = *Found;
    }
    if (!Number2.isEmpty())
        if (const std::optional<int> Found = FindEntry(Table, Number2); Found && (Count == 0 || *Found != FoundRecNo)) {
            ++Count;
            FoundRecNo = *Found;
        }
}

void SupplementAddress(TContinualAdrsSearch& Search, const QString& Address, QString& PostalCode, QString& JisCode,
                       QString& KajoCode, qint32& Latitude, qint32& Longitude)
{
    const QString Trimmed = TrimBlanks(Address);
    if (Trimmed.isEmpty())
        return;
    const bool NeedPos = DigitsOnly(PostalCode).size() != 7;
    const bool NeedJis = DigitsOnly(JisCode).size() != 5;
    const bool NeedCoordinates = Latitude == 0 || Longitude == 0;
    if (!NeedPos && !NeedJis && !NeedCoordinates)
        return;
    try {
        if (Search.Search(Trimmed) != 0)
            return;
        const TContinualAdrsResult& Result = Search.GetResult(true);
        if (NeedPos)
            PostalCode = DigitsOnly(Result.Pos.left(9));
        if (NeedJis) {
            JisCode = TrimBlanks(Result.JisCode);
            KajoCode = TrimBlanks(Result.KajoCode);
        } else if (TrimBlanks(Result.JisCode) == JisCode) {
            KajoCode = TrimBlanks(Result.KajoCode);
        }
        if (NeedCoordinates) {
            Latitude = Result.Latitude;
            Longitude = Result.Longitude;
        }
    } catch (const std::exception&) {
        // A completion that cannot be had leaves the line as the file gave it.
    }
}

void ConvertDirectoryRow(const QStringList& Values, TCallerRecord& Record, TContinualAdrsSearch* Search,
                         const QDateTime& Now)
{
    for (int Slot = 0; Slot < 2; ++Slot) {
        Record.SchTel[Slot] = Record.Tel[Slot].left(TCallerRecord::SchTelWidth);
        Record.Tel[Slot] = FormatTelHyphen(Record.Tel[Slot]).left(TCallerRecord::TelWidth);
    }

    QString Carried;
    if (const QString Adrs1 = T(Values, MeiboItem::Adrs1); !Adrs1.isEmpty()) {
        const TPrefectureSplit Split = SplitPrefecture(Adrs1);
        Record.Tdfkn = Split.Prefecture.left(TCallerRecord::TdfknWidth);
        const QStringList Parts = SplitText(Split.Rest, 1, SplitAtByte, {}, TCallerRecord::Adrs1Width);
        Record.Adrs1 = Parts.value(0);
        Carried = Parts.value(1);
    }
    if (const QString Adrs2 = T(Values, MeiboItem::Adrs2); !Adrs2.isEmpty() || !Carried.isEmpty()) {
        const QStringList Parts = SplitText(Carried + Adrs2, 1, SplitAtByte, {}, TCallerRecord::Adrs2Width);
        Record.Adrs2 = Parts.value(0);
        Carried = Parts.value(1);
    }
    if (const QString Adrs3 = T(Values, MeiboItem::Adrs3); !Adrs3.isEmpty() || !Carried.isEmpty())
        Record.Adrs3 = (Carried + Adrs3).left(TCallerRecord::Adrs3Width);

    const QString PrivCorp = Values.value(MeiboItem::PrivCorp);
    Record.PrivCorp =
        PrivCorp == QStringLiteral("法人") || PrivCorp == QStringLiteral("会社") || PrivCorp == QStringLiteral("1") ? 1
                                                                                                                    : 0;

    QString PostalCode = DigitsOnly(Values.value(MeiboItem::Pos));
    QString JisCode = T(Values, MeiboItem::JisCode);
    QString KajoCode;
    qint32 Latitude = ReadCoordinate(Values.value(MeiboItem::Latitude));
    qint32 Longitude = ReadCoordinate(Values.value(MeiboItem::Longitude));
    if (Search)
        SupplementAddress(*Search,
                          TrimBlanks(Record.Tdfkn) + TrimBlanks(Record.Adrs1) + TrimBlanks(Record.Adrs2) +
                              TrimBlanks(Record.Adrs3),
                          PostalCode, JisCode, KajoCode, Latitude, Longitude);
    Record.Pos = PostalCode.left(TCallerRecord::PosWidth);
    Record.JisCode = JisCode.left(TCallerRecord::JisCodeWidth);
    Record.KajoCode = KajoCode.left(TCallerRecord::KajoCodeWidth);
    Record.Latitude = Latitude;
    Record.Longitude = Longitude;

    const QString Msg = Values.value(MeiboItem::Msg);
    Record.Msg = Msg == QStringLiteral("設定あり") || Msg == QStringLiteral("1") ? 1 : 0;
    Record.ExtFile = TabLines(T(Values, MeiboItem::ExtFile));
    Record.Note = TabLines(T(Values, MeiboItem::Note));

    const QString Date = DigitsOnly(Values.value(MeiboItem::AddDate));
    QString Time = DigitsOnly(Values.value(MeiboItem::AddTime));
    QDateTime Added;
    if (Date.size() == 8) {
        if (Time.size() != 6)
            Time = QStringLiteral("000000");
        Added = ReadDateTime(Date, Time);
    }
    Record.AddDateTime = Added.isValid() ? DateTimeToDays(Added) : TruncToSeconds(DateTimeToDays(Now));
    Record.UpdDateTime = DateTimeToDays(Now);
}

TImportStore::TImportStore(TTable& Table, TImportDest Dest, const TImportPickLists& PickLists)
    : FTable(Table), FDest(Dest), FPickLists(PickLists)
{
}

TImportStore::~TImportStore() = default;

void TImportStore::ReadTableState()
{
    RecordCount = FTable.RecordCount();
    ReadNextRecNo();
}

void TImportStore::ReadNextRecNo()
{
    // Others have had the table between two batches: its fields are looked up again.
    FFields.clear();
    FTable.SetFiltered(false);
    if (FTable.RangeActive())
        FTable.CancelRange();
    FTable.SetIndexName({});
    FTable.Last();
    NextRecNo = FTable.IsEmpty() ? 0 : FTable.FieldByName(QStringLiteral("RecNo")).AsInteger() + 1;
}

TField& TImportStore::Field(const char* Name)
{
    TField*& Known = FFields[Name];
    if (!Known)
        Known = &FTable.FieldByName(QLatin1String(Name));
    return *Known;
}

bool TImportStore::LimitReached()
{
    if (NextRecNo < RecNoLimit)
        return false;
    // Calls during the run may have added rows the count does not know of.
    RecordCount = FTable.RecordCount();
    (void)CoreMessageBox(RecordCount < RecNoLimit ? ImportCounterFull : ImportTableFull, ProductName,
                         MB_OK | MB_ICONINFORMATION);
    return true;
}

int TImportStore::StoreRecord(const QStringList& Values)
{
    return FDest == TImportDest::RecvHis ? StoreHistoryRow(Values) : StoreDirectoryRow(Values);
}

int TImportStore::StoreHistoryRow(const QStringList& Values)
{
    TCallerRecord Record;
    try {
        if (LimitReached())
            return ImportStop;
        if (const int Result = ConvertHistoryRow(Values, Record); Result != ImportStored)
            return Result;
        FTable.Append();
        auto Set = [this](const char* Name, const QString& Value) { Field(Name).SetAsString(Value); };
        Field("RecNo").SetAsInteger(NextRecNo);
        Field("AxsDateTime").SetAsDateTime(Now());
        Field("RecvDateTime").SetAsFloat(Record.RecvDateTime);
        Field("RecvWeek").SetAsInteger(WeekDay(Record.RecvDateTime));
        Set("SchTel", Record.SchTel[0]);
        Set("Tel", Record.Tel[0]);
        Set("CorpKana", T(Values, HisItem::CorpKana));
        Set("CorpKanji", T(Values, HisItem::CorpKanji));
        Set("NameKana", T(Values, HisItem::NameKana));
        Set("NameKanji", T(Values, HisItem::NameKanji));
        Set("Division", QString::number(Record.Division));
        Set("Rank", T(Values, HisItem::Rank));
        static const char* const SelItems[] = {"SelItem1", "SelItem2", "SelItem3"};
        for (int I = 0; I < 3; ++I)
            Set(SelItems[I], T(Values, HisItem::SelItem1 + I));
        try {
            FTable.Post();
        } catch (const EDatabaseError& Error) {
            FTable.Cancel();
            if (Error.DiskFailed())
                throw EImportDiskError(Error.Message());
            return ReasonHistoryPost;
        }
        AddedRecNos.append(NextRecNo);
        ++RecordCount;
        ++NextRecNo;
        AddRankHistory(T(Values, HisItem::Rank));
        AddSelItemHistory(Values);
        return ImportStored;
    } catch (const EImportDiskError&) {
        throw;
    } catch (const std::exception&) {
        if (FTable.State() == TDataSetState::Edit || FTable.State() == TDataSetState::Insert)
            FTable.Cancel();
        return ReasonOther;
    }
}

int TImportStore::StoreDirectoryRow(const QStringList& Values)
{
    TCallerRecord Record;
    int Result = ImportStored;
    try {
        int Count = 0;
        int FoundRecNo = -1;
        FindSameNumbers(FTable, Values, Record, Count, FoundRecNo);
        const bool NewEntry = Count == 0;
        if (Count >= 2)
            return ReasonManyNumbers;
        if (Count == 1 && !SameReplace)
            return ReasonSameNumber;
        if (NewEntry) {
            if (LimitReached())
                return ImportStop;
            FTable.Append();
        } else {
            FTable.SetIndexName({});
            if (!FTable.FindKey({FoundRecNo}))
                return ReasonOther;
            FTable.Edit();
        }
        const QDateTime Now = this->Now();
        ConvertDirectoryRow(Values, Record, AdrsSearch, Now);
        auto Set = [this](const char* Name, const QString& Value) { Field(Name).SetAsString(Value); };
        auto SetInt = [this](const char* Name, int Value) { Field(Name).SetAsInteger(Value); };
        if (NewEntry)
            SetInt("RecNo", NextRecNo);
        Field("AxsDateTime").SetAsDateTime(Now);
        Set("SchTel1", Record.SchTel[0]);
        Set("SchTel2", Record.SchTel[1]);
        Set("Tel1", Record.Tel[0]);
        Set("Tel2", Record.Tel[1]);
        Set("Pos", Record.Pos);
        Set("Tdfkn", Record.Tdfkn);
        Set("Adrs1", Record.Adrs1);
        Set("Adrs2", Record.Adrs2);
        Set("Adrs3", Record.Adrs3);
        Set("JisCode", Record.JisCode);
        Set("KajoCode", Record.KajoCode);
        Set("CorpKana", T(Values, MeiboItem::CorpKana));
        Set("CorpKanji", T(Values, MeiboItem::CorpKanji));
        Set("NameKana", T(Values, MeiboItem::NameKana));
        Set("NameKanji", T(Values, MeiboItem::NameKanji));
        Set("PrivCorp", QString::number(Record.PrivCorp));
        static const char* const Memos[] = {"Memo1", "Memo2", "Memo3"};
        for (int I = 0; I < 3; ++I)
            Set(Memos[I], T(Values, MeiboItem::Memo1 + I));
        Set("EMail", T(Values, MeiboItem::EMail));
        Set("Rank", T(Values, MeiboItem::Rank));
        SetInt("Latitude", Record.Latitude);
        SetInt("Longitude", Record.Longitude);
        SetInt("Msg", Record.Msg);
        Set("Msg1", T(Values, MeiboItem::Msg1));
        Set("Msg2", T(Values, MeiboItem::Msg2));
        Set("BGColor", T(Values, MeiboItem::BGColor));
        Set("ExtFile", JoinLines(Record.ExtFile));
        Set("Note", JoinLines(Record.Note));
        Field("AddDateTime").SetAsFloat(Record.AddDateTime);
        Field("UpdDateTime").SetAsFloat(Record.UpdDateTime);
        try {
            FTable.Post();
        } catch (const EDatabaseError& Error) {
            FTable.Cancel();
            if (Error.DiskFailed())
                throw EImportDiskError(Error.Message());
            Result = ReasonMeiboPost;
        }
        if (Result == ImportStored) {
            if (NewEntry) {
                AddedRecNos.append(NextRecNo);
                ++RecordCount;
                ++NextRecNo;
            } else {
                ++ReplacedCount;
            }
            AddRankHistory(T(Values, MeiboItem::Rank));
        }
    } catch (const EImportDiskError&) {
        ClearCallerRecord(&Record);
        throw;
    } catch (const std::exception&) {
        if (FTable.State() == TDataSetState::Edit || FTable.State() == TDataSetState::Insert)
            FTable.Cancel();
        Result = ReasonOther;
    }
    ClearCallerRecord(&Record);
    return Result;
}

TPickListIndex* TImportStore::IndexOf(THistoryData* List, std::unique_ptr<TPickListIndex>& Index)
{
    if (!List || !List->Items())
        return nullptr;
    if (!Index)
        Index = std::make_unique<TPickListIndex>(*List);
    return Index.get();
}

void TImportStore::AddRankHistory(const QString& Rank)
{
    if (Rank.isEmpty())
        return;
    if (TPickListIndex* Index = IndexOf(FPickLists.Rank, FRankIndex))
        Index->AddIfAbsent(Rank);
}

void TImportStore::AddSelItemHistory(const QStringList& Values)
{
    for (int I = 0; I < 3; ++I) {
        const QString Value = Values.value(HisItem::SelItem1 + I);
        if (Value.isEmpty())
            continue;
        if (TPickListIndex* Index =
                IndexOf(FPickLists.SelItems[static_cast<size_t>(I)], FSelItemIndex[static_cast<size_t>(I)]))
            Index->MoveToFront(Value);
    }
}

void TImportStore::SavePickLists()
{
    auto Save = [](THistoryData* List, std::unique_ptr<TPickListIndex>& Index) {
        if (!List || !Index || !Index->Changed())
            return;
        Index->Apply();
        (void)List->Save();
    };
    Save(FPickLists.Rank, FRankIndex);
    for (size_t I = 0; I < 3; ++I)
        Save(FPickLists.SelItems[I], FSelItemIndex[I]);
}
