#include "calls/RecvSave.h"

#include "main/common/CommonText.h"
#include "main/common/ProductInfo.h"
#include "main/identify/DBInfoFb.h"
#include "main/settings/Settings.h"
#include "main/tables/AdrsTableDef.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "platform/msg/MessageBoxFlags.h"

#include <QDateTime>
#include <set>

namespace {

constexpr int MaxRecNo = 99999;
constexpr int MaxRows = 100000;

QString Digits(const QString& Text)
{
    return DigitsOnly(Text, KeepDigits);
}

bool Blank(const QString& Text)
{
    return TrimBlanks(Text).isEmpty();
}

double Now()
{
    return DateTimeToDays(QDateTime::currentDateTime());
}

// Entries keep their creation time to the second, so that two saves within one second compare equal.
double NowToSeconds()
{
    QDateTime Time = QDateTime::currentDateTime();
    Time.setTime(QTime(Time.time().hour(), Time.time().minute(), Time.time().second()));
    return DateTimeToDays(Time);
}

// 1 Sunday .. 7 Saturday, as the history keeps the weekday.
int Weekday(double Days)
{
    const QDateTime Time = DaysToDateTime(Days);
    return Time.isValid() ? Time.date().dayOfWeek() % 7 + 1 : 0;
}

QString Failure(const QString& Head, const Exception& Error)
{
    return Head + QStringLiteral("\r\n") + Error.Message() + QStringLiteral("\r\n") + MsgInputKept;
}

} // namespace

std::optional<unsigned> ColorFromText(const QString& Text)
{
    const QString Trimmed = TrimBlanks(Text);
    if (Trimmed.size() != 7 || !Trimmed.startsWith(u'$'))
        return std::nullopt;
    bool Ok = false;
    const unsigned Value = Trimmed.mid(1).toUInt(&Ok, 16);
    return Ok ? std::optional<unsigned>(Value) : std::nullopt;
}

QString ColorToText(unsigned Color)
{
    return QStringLiteral("$") + QStringLiteral("%1").arg(Color & 0xffffff, 6, 16, QLatin1Char('0')).toLower();
}

bool IsValidTelText(const QString& Text)
{
    return DigitsOnly(Text, KeepDigits | KeepHyphen) == TrimBlanks(Text);
}

QString FbKeywordField(int Setting, int Offset)
{
    return QStringLiteral("Keyword") + QString::number(Setting + Offset);
}

// The directory rows the number look-ups landed on. A row found by both numbers counts once: two
// numbers of one entry are one entry to replace, not two.
struct TReceiveSave::TDuplicates
{
    std::set<int> Rows;
};

void TReceiveSave::SetCallRecord(const TCallerRecord& Record)
{
    FCallRecord = Record;
    FNoteText = Record.Note ? Record.Note->join(QStringLiteral("\r\n")) : QString();
    FIsExisting = Record.Division != 0;
}

int TReceiveSave::Message(const QString& Text, unsigned Flags) const
{
    return Hooks.Message ? Hooks.Message(Text, Flags) : CoreMessageBox(Text, ProductName, Flags);
}

void TReceiveSave::MoveLoneSecondNumber(TRecvViewInput& Input)
{
    if (Blank(Input.Tel1) && !Blank(Input.Tel2)) {
        Input.Tel1 = Input.Tel2;
        Input.Tel2.clear();
    }
}

bool TReceiveSave::NumbersUnchanged(const TRecvViewInput& Input) const
{
    if (FMode == TMode::Fernbook)
        return TrimBlanks(Input.FbTel) == TrimBlanks(FCallRecord.Tel[FCallRecord.TelIndex & 3]);
    return TrimBlanks(Input.Tel1) == TrimBlanks(FCallRecord.Tel[0]) &&
           TrimBlanks(Input.Tel2) == TrimBlanks(FCallRecord.Tel[1]);
}

QString TReceiveSave::ChangedNumber(const QString& Edit, int Slot) const
{
    const QString Text = TrimBlanks(Edit);
    const QString Stored = TrimBlanks(FCallRecord.Tel[Slot]);
    if (Text.isEmpty() || Text == Stored || Digits(Text) == Digits(Stored))
        return {};
    return Text;
}

void TReceiveSave::LookUp(const QString& Number, TLookup How, TDuplicates& Hits) const
{
    const QString Key = Digits(Number);
    // A text of hyphens alone has no number to look for; an empty key would land on every entry
    // without numbers.
    if (Key.isEmpty() || !DMVxRelvo16 || !MeiboTable)
        return;
    TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
    if (!Use.Opened())
        return;
    bool Found = false;
    for (const QString& Index : {QStringLiteral("SchTel1"), QStringLiteral("SchTel2")}) {
        if (Found && How == TLookup::SecondIfNone)
            break;
        MeiboTable->SetIndexName(Index);
        // A look-up is one hit: the entry the key lands on, the first in index order. Several entries
        // sharing a number are still one entry to replace; the caller's own entry is no duplicate.
        MeiboTable->SetRange({Key}, {Key});
        for (MeiboTable->First(); !MeiboTable->Eof(); MeiboTable->Next()) {
            const int RecNo = MeiboTable->FieldByName(QStringLiteral("RecNo")).AsInteger();
            if (FIsExisting && RecNo == FCallRecord.RecNo)
                continue;
            Hits.Rows.insert(RecNo);
            Found = true;
            break;
        }
        MeiboTable->CancelRange();
    }
    MeiboTable->SetIndexName(QString());
}

bool TReceiveSave::ChangeFlag(const TRecvViewInput& Input) const
{
    const TCallerRecord& R = FCallRecord;
    auto Same = [](const QString& A, const QString& B) { return TrimBlanks(A) == TrimBlanks(B); };
    const bool Unchanged =
        Same(Input.Pos, R.Pos) && Same(Input.Tdfkn, R.Tdfkn) && Same(Input.Adrs1, R.Adrs1) &&
        Same(Input.Adrs2, R.Adrs2) && Same(Input.Adrs3, R.Adrs3) && Same(Input.JisCode, R.JisCode) &&
        Same(Input.KajoCode, R.KajoCode) && Same(Input.CorpKana, R.CorpKana) && Same(Input.CorpKanji, R.CorpKanji) &&
        Same(Input.NameKana, R.NameKana) && Same(Input.NameKanji, R.NameKanji) && Same(Input.Memo1, R.Memo1) &&
        Same(Input.Memo2, R.Memo2) && Same(Input.Memo3, R.Memo3) && Same(Input.EMail, R.EMail) &&
        Same(Input.SelItem1, R.SelItem1) && Same(Input.SelItem2, R.SelItem2) && Same(Input.SelItem3, R.SelItem3) &&
        Input.PrivCorp == R.PrivCorp && Input.Rank == TrimBlanks(R.Rank) && Input.Latitude == R.Latitude &&
        Input.Longitude == R.Longitude && Input.Note == FNoteText;
    return !Unchanged;
}

TCallerRecord TReceiveSave::GatherCallRecord(const TRecvViewInput& Input) const
{
    TCallerRecord Record;
    Record.HisRecNo = FCallRecord.HisRecNo;
    Record.RecNo = FCallRecord.RecNo;
    Record.TelIndex = FCallRecord.TelIndex;
    // The record keeps the number the call came with unless the edit still holds it; the directory
    // entry takes the edits directly.
    auto Slot = [&](int Index, const QString& Edit, bool TakeEdit) {
        if (TakeEdit || FCallRecord.SchTel[Index] == Digits(Edit)) {
            Record.SchTel[Index] = Digits(Edit);
            Record.Tel[Index] = TrimBlanks(Edit);
        } else {
            Record.SchTel[Index] = TrimBlanks(FCallRecord.SchTel[Index]);
            Record.Tel[Index] = TrimBlanks(FCallRecord.Tel[Index]);
        }
    };
    if (FMode == TMode::Own) {
        Slot(0, Input.Tel1, false);
        Slot(1, Input.Tel2, false);
    } else {
        Slot(FCallRecord.TelIndex & 3, Input.FbTel, Input.FbTelSearched);
    }
    Record.Pos = Digits(Input.Pos);
    Record.Tdfkn = TrimBlanks(Input.Tdfkn);
    Record.Adrs1 = TrimBlanks(Input.Adrs1);
    Record.Adrs2 = TrimBlanks(Input.Adrs2);
    Record.Adrs3 = TrimBlanks(Input.Adrs3);
    Record.JisCode = TrimBlanks(Input.JisCode);
    Record.KajoCode = TrimBlanks(Input.KajoCode);
    Record.CorpKana = TrimBlanks(Input.CorpKana);
    Record.CorpKanji = TrimBlanks(Input.CorpKanji);
    Record.NameKana = TrimBlanks(Input.NameKana);
    Record.NameKanji = TrimBlanks(Input.NameKanji);
    Record.Memo1 = TrimBlanks(Input.Memo1);
    Record.Memo2 = TrimBlanks(Input.Memo2);
    Record.Memo3 = TrimBlanks(Input.Memo3);
    Record.SelItem1 = TrimBlanks(Input.SelItem1);
    Record.SelItem2 = TrimBlanks(Input.SelItem2);
    Record.SelItem3 = TrimBlanks(Input.SelItem3);
    Record.EMail = TrimBlanks(Input.EMail);
    Record.PrivCorp = Input.PrivCorp;
    Record.Rank = Input.Rank;
    Record.Latitude = Input.Latitude;
    Record.Longitude = Input.Longitude;
    Record.RecvDateTime = FCallRecord.RecvDateTime;
    Record.BeforeRecvDateTime = FCallRecord.BeforeRecvDateTime;
    Record.Division = FCallRecord.Division;
    if (Input.MsgShown) {
        Record.Msg = 1;
        Record.Msg1 = Input.Msg1;
        Record.Msg2 = Input.Msg2;
        Record.BGColor = Input.BGColor;
    }
    Record.Note = Input.Note.isEmpty() ? QStringList() : Input.Note.split(QStringLiteral("\r\n"));
    Record.ExtFile = Input.ExtFiles;
    Record.AddDateTime = FIsExisting ? 0 : NowToSeconds();
    Record.UpdDateTime = Now();
    CutCallerRecordToWidths(Record);
    return Record;
}

bool TReceiveSave::UpdateHistoryRow(const TCallerRecord& Record, bool* WriteFailed)
{
    if (WriteFailed)
        *WriteFailed = false;
    if (!DMVxRelvo16 || !RecvHisTable)
        return false;
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    if (!Use.Opened()) {
        // The data module has shown why the table did not open.
        if (WriteFailed)
            *WriteFailed = true;
        return false;
    }
    TTable& T = *RecvHisTable;
    T.SetIndexName(QString());
    if (!T.FindKey({Record.HisRecNo})) {
        Message(MsgRowMissing, MB_OK | MB_ICONSTOP);
        return false;
    }
    try {
        T.Edit();
        T.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(Now());
        T.FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(Record.RecvDateTime);
        T.FieldByName(QStringLiteral("RecvWeek")).SetAsInteger(Weekday(Record.RecvDateTime));
        T.FieldByName(QStringLiteral("CorpKana")).SetAsString(TrimBlanks(Record.CorpKana));
        T.FieldByName(QStringLiteral("CorpKanji")).SetAsString(TrimBlanks(Record.CorpKanji));
        T.FieldByName(QStringLiteral("NameKana")).SetAsString(TrimBlanks(Record.NameKana));
        T.FieldByName(QStringLiteral("NameKanji")).SetAsString(TrimBlanks(Record.NameKanji));
        T.FieldByName(QStringLiteral("Division")).SetAsString(QString::number(Record.Division));
        T.FieldByName(QStringLiteral("Rank")).SetAsString(TrimBlanks(Record.Rank));
        T.FieldByName(QStringLiteral("SelItem1")).SetAsString(TrimBlanks(Record.SelItem1));
        T.FieldByName(QStringLiteral("SelItem2")).SetAsString(TrimBlanks(Record.SelItem2));
        T.FieldByName(QStringLiteral("SelItem3")).SetAsString(TrimBlanks(Record.SelItem3));
        T.Post();
    } catch (const EDatabaseError& Error) {
        if (T.State() == TDataSetState::Edit)
            T.Cancel();
        Message(Failure(MsgHistoryWriteFailed, Error), MB_OK | MB_ICONSTOP);
        if (WriteFailed)
            *WriteFailed = true;
        return false;
    }
    return true;
}

namespace {

// Moves Value to the top of List and saves the list; false when nothing moved.
bool Promote(THistoryData* List, const QString& Value, const std::function<int(const QString&, unsigned)>& Message)
{
    if (!List || Value.isEmpty() || !List->Items())
        return false;
    const int Index = List->IndexOf(Value);
    if (Index == 0)
        return false;
    try {
        if (Index > 0)
            List->Delete(Index);
        List->Insert(0, Value, 0);
        if (!List->Save() && Message)
            Message(QStringLiteral("候補一覧を保存できませんでした  \r\n") + List->FileName(), MB_OK | MB_ICONSTOP);
    } catch (const Exception& Error) {
        if (Message)
            Message(QStringLiteral("候補一覧を保存できませんでした  \r\n") + Error.Message(), MB_OK | MB_ICONSTOP);
    }
    return true;
}

} // namespace

void TReceiveSave::PromoteSelectItems(const TCallerRecord& Record)
{
    const QString Values[3] = {Record.SelItem1, Record.SelItem2, Record.SelItem3};
    for (int N = 0; N < 3; ++N)
        if (Promote(SelItemHistory[N], Values[N], Hooks.Message) && Hooks.PickListChanged)
            Hooks.PickListChanged(N);
}

void TReceiveSave::PromoteRank(const TCallerRecord& Record)
{
    if (Promote(RankHistory, Record.Rank, Hooks.Message) && Hooks.PickListChanged)
        Hooks.PickListChanged(-1);
}

int TReceiveSave::WriteMeiboRecord(const TCallerRecord& Record, const TRecvViewInput& Input)
{
    if (!DMVxRelvo16 || !MeiboTable)
        return 2;
    TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
    if (!Use.Opened())
        return 2;
    TTable& T = *MeiboTable;
    T.SetIndexName(QString());
    int RecNo = Record.RecNo;
    const bool Existing = FIsExisting;
    try {
        if (Existing) {
            if (!T.FindKey({RecNo})) {
                Message(MsgRowMissing, MB_OK | MB_ICONSTOP);
                return 1;
            }
            T.Edit();
        } else {
            T.Last();
            RecNo = T.IsEmpty() ? 0 : T.FieldByName(QStringLiteral("RecNo")).AsInteger() + 1;
            if (RecNo > MaxRecNo) {
                Message(T.RecordCount() >= MaxRows ? MsgTableFull : MsgMeiboCounterFull, MB_OK | MB_ICONINFORMATION);
                return 1;
            }
            T.Append();
        }
        auto Set = [&T](const char* Field, const QString& Value) {
            T.FieldByName(QString::fromLatin1(Field)).SetAsString(Value);
        };
        T.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
        T.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(Now());
        Set("SchTel1", Digits(Input.Tel1));
        Set("SchTel2", Digits(Input.Tel2));
        Set("Tel1", TrimBlanks(Input.Tel1));
        Set("Tel2", TrimBlanks(Input.Tel2));
        Set("Pos", Digits(Record.Pos));
        Set("Tdfkn", TrimBlanks(Record.Tdfkn));
        Set("Adrs1", TrimBlanks(Record.Adrs1));
        Set("Adrs2", TrimBlanks(Record.Adrs2));
        Set("Adrs3", TrimBlanks(Record.Adrs3));
        Set("JisCode", TrimBlanks(Record.JisCode));
        Set("KajoCode", TrimBlanks(Record.KajoCode));
        Set("CorpKana", TrimBlanks(Record.CorpKana));
        Set("CorpKanji", TrimBlanks(Record.CorpKanji));
        Set("NameKana", TrimBlanks(Record.NameKana));
        Set("NameKanji", TrimBlanks(Record.NameKanji));
        Set("PrivCorp", QString::number(Record.PrivCorp));
        Set("Memo1", TrimBlanks(Record.Memo1));
        Set("Memo2", TrimBlanks(Record.Memo2));
        Set("Memo3", TrimBlanks(Record.Memo3));
        Set("EMail", TrimBlanks(Record.EMail));
        Set("Rank", TrimBlanks(Record.Rank));
        T.FieldByName(QStringLiteral("Latitude")).SetAsInteger(Input.Latitude);
        T.FieldByName(QStringLiteral("Longitude")).SetAsInteger(Input.Longitude);
        T.FieldByName(QStringLiteral("Msg")).SetAsInteger(Record.Msg == 1 ? 1 : 0);
        Set("Msg1", TrimBlanks(Record.Msg1));
        Set("Msg2", TrimBlanks(Record.Msg2));
        Set("BGColor", Record.BGColor);
        Set("ExtFile", Record.ExtFile ? Record.ExtFile->join(QStringLiteral("\r\n")) : QString());
        Set("Note", Input.Note);
        if (!Existing)
            T.FieldByName(QStringLiteral("AddDateTime")).SetAsFloat(NowToSeconds());
        T.FieldByName(QStringLiteral("UpdDateTime")).SetAsFloat(Now());
        T.Post();
    } catch (const EDatabaseError& Error) {
        if (T.State() == TDataSetState::Edit || T.State() == TDataSetState::Insert)
            T.Cancel();
        Message(Failure(MsgMeiboWriteFailed, Error), MB_OK | MB_ICONSTOP);
        return 2;
    }
    if (!Existing) {
        // From now on the shown caller is this entry: a second save updates it instead of adding
        // another.
        FIsExisting = true;
        FCallRecord.RecNo = RecNo;
    }
    return 0;
}

void TReceiveSave::FindFbEntry(const QString& BookFolder)
{
    const int Wanted = Hooks.Fb.FbAdrsRecNo ? Hooks.Fb.FbAdrsRecNo() : 0;
    if (Wanted < 1) {
        FIsExisting = false;
        return;
    }
    FIsExisting = false;
    if (!DMFbarea)
        return;
    // A book that does not open is reported by the write that follows.
    TAdrsUse Use(*DMFbarea, BookFolder);
    if (!Use.Opened())
        return;
    try {
        TTable& T = *DMFbarea->AdrsTable();
        T.SetIndexName(QString());
        FIsExisting = T.FindKey({Wanted});
        if (FIsExisting)
            FCallRecord.RecNo = Wanted;
    } catch (const EDatabaseError&) {
        FIsExisting = false;
    }
}

int TReceiveSave::WriteFernbookRecord(const TCallerRecord& Record, const TRecvViewInput& Input,
                                      const QString& BookFolder)
{
    const bool Existing = FIsExisting;
    if (!DMFbarea) {
        Message(MsgFbWriteFailed + QStringLiteral("\r\n") + MsgInputKept, MB_OK | MB_ICONSTOP);
        return 2;
    }
    TAdrsUse Use(*DMFbarea, BookFolder);
    if (!Use.Opened()) {
        Message(MsgFbWriteFailed + QStringLiteral("\r\n") + BookFolder + AdrsFileName + QStringLiteral("\r\n") +
                    MsgInputKept,
                MB_OK | MB_ICONSTOP);
        return 2;
    }
    try {
        TTable& T = *DMFbarea->AdrsTable();
        T.SetIndexName(QString());
        try {
            if (Existing) {
                if (!T.FindKey({Record.RecNo})) {
                    Message(MsgRowMissing, MB_OK | MB_ICONSTOP);
                    return 1;
                }
                T.Edit();
            } else {
                T.Last();
                const int Next = T.IsEmpty() ? 0 : T.FieldByName(QStringLiteral("RecNo")).AsInteger() + 1;
                if (Next > MaxRecNo) {
                    Message(T.RecordCount() >= MaxRows ? MsgTableFull : MsgFbCounterFull, MB_OK | MB_ICONINFORMATION);
                    return 1;
                }
                T.Append();
            }
            auto Set = [&T](const QString& Field, const QString& Value) { T.FieldByName(Field).SetAsString(Value); };
            static const QString NumberFields[4] = {QStringLiteral("Tel"), QStringLiteral("Fax"),
                                                    QStringLiteral("Portable1"), QStringLiteral("Portable2")};
            Set(NumberFields[Record.TelIndex & 3], Digits(Input.FbTel));
            Set(QStringLiteral("Pos"), Digits(Record.Pos));
            Set(QStringLiteral("Tdfkn"), TrimBlanks(Record.Tdfkn));
            Set(QStringLiteral("Adrs1"), TrimBlanks(Record.Adrs1));
            Set(QStringLiteral("Adrs2"), TrimBlanks(Record.Adrs2));
            Set(QStringLiteral("Adrs3"), TrimBlanks(Record.Adrs3));
            Set(QStringLiteral("JisCode"), TrimBlanks(Record.JisCode));
            Set(QStringLiteral("KajoCode"), TrimBlanks(Record.KajoCode));
            Set(QStringLiteral("CorpKana"), TrimBlanks(Record.CorpKana));
            Set(QStringLiteral("CorpKanji"), TrimBlanks(Record.CorpKanji));
            Set(QStringLiteral("NameKana"), TrimBlanks(Record.NameKana));
            Set(QStringLiteral("NameKanji"), TrimBlanks(Record.NameKanji));
            T.FieldByName(QStringLiteral("PrivCorp")).SetAsBoolean(Record.PrivCorp != 1);
            Set(FbKeywordField(Settings.Memo1, 1), TrimBlanks(Record.Memo1));
            Set(FbKeywordField(Settings.Memo2, 1), TrimBlanks(Record.Memo2));
            Set(FbKeywordField(Settings.Memo3, 1), TrimBlanks(Record.Memo3));
            Set(QStringLiteral("EMail1"), TrimBlanks(Record.EMail));
            Set(FbKeywordField(Settings.Rank, 6), TrimBlanks(Record.Rank));
            T.FieldByName(QStringLiteral("Latitude")).SetAsInteger(Input.Latitude);
            T.FieldByName(QStringLiteral("Longitude")).SetAsInteger(Input.Longitude);
            Set(FbKeywordField(Settings.Line1, 1), TrimBlanks(Record.Msg1));
            Set(FbKeywordField(Settings.Line2, 1), TrimBlanks(Record.Msg2));
            const unsigned Color = ColorFromText(Record.BGColor).value_or(DefaultAddressBookColor);
            T.FieldByName(QStringLiteral("SymbolColor")).SetAsInteger(static_cast<int>(Color));
            Set(QStringLiteral("ExtFile"), Record.ExtFile ? Record.ExtFile->join(QStringLiteral("\r\n")) : QString());
            Set(QStringLiteral("Note"), Input.Note);
            if (!Existing)
                T.FieldByName(QStringLiteral("AddDateTime")).SetAsFloat(NowToSeconds());
            T.FieldByName(QStringLiteral("UpdDateTime")).SetAsFloat(Now());
            T.Post();
            if (!Existing) {
                FIsExisting = true;
                FCallRecord.RecNo = T.FieldByName(QStringLiteral("RecNo")).AsInteger();
            }
        } catch (const EDatabaseError&) {
            if (T.State() == TDataSetState::Edit || T.State() == TDataSetState::Insert)
                T.Cancel();
            throw;
        }
    } catch (const EDatabaseError& Error) {
        Message(Failure(MsgFbWriteFailed, Error), MB_OK | MB_ICONSTOP);
        return 2;
    }
    return 0;
}

bool TReceiveSave::SaveSequence(const TRecvViewInput& Input, bool Changed, const QString& BookFolder, int* WriteResult,
                                bool* HistoryUpdated)
{
    const TCallerRecord Record = GatherCallRecord(Input);
    bool HistoryFailed = false;
    const bool Updated = UpdateHistoryRow(Record, &HistoryFailed);
    if (HistoryUpdated)
        *HistoryUpdated = Updated;
    PromoteSelectItems(Record);
    PromoteRank(Record);
    int Result = 0;
    if (Changed)
        Result = FMode == TMode::Own ? WriteMeiboRecord(Record, Input) : WriteFernbookRecord(Record, Input, BookFolder);
    if (WriteResult)
        *WriteResult = Result;
    return !HistoryFailed && Result != 2;
}

bool TReceiveSave::SaveBeforeRefill(TRecvViewInput& Input)
{
    if (FMode == TMode::Fernbook) {
        if (!IsValidTelText(Input.FbTel) || !Hooks.Fb.Installed || !Hooks.Fb.Installed())
            return true;
        const QString Folder = Hooks.Fb.BookFolder ? Hooks.Fb.BookFolder() : QString();
        FindFbEntry(Folder);
        bool Changed = true;
        if (FIsExisting && NumbersUnchanged(Input)) {
            Changed = ChangeFlag(Input);
            if (!Settings.SameTelUpdate)
                return true;
        }
        return SaveSequence(Input, Changed, Folder, nullptr, nullptr);
    }

    if (!IsValidTelText(Input.Tel1) || !IsValidTelText(Input.Tel2) || Digits(Input.Tel1) == Digits(Input.Tel2))
        return true;
    MoveLoneSecondNumber(Input);
    bool Changed = true;
    if (FIsExisting) {
        if (NumbersUnchanged(Input)) {
            Changed = ChangeFlag(Input);
            if (!Settings.SameTelUpdate)
                return true;
        } else {
            TDuplicates Hits;
            const QString New1 = ChangedNumber(Input.Tel1, 0);
            if (!New1.isEmpty() && Digits(New1) != Digits(FCallRecord.Tel[1]))
                LookUp(New1, TLookup::Both, Hits);
            const QString New2 = ChangedNumber(Input.Tel2, 1);
            if (!New2.isEmpty() && Digits(New2) != Digits(FCallRecord.Tel[0]))
                LookUp(New2, TLookup::Both, Hits);
            if (!Hits.Rows.empty())
                return true;
        }
    } else {
        if (Blank(Input.Tel1))
            return true;
        TDuplicates Hits;
        LookUp(Input.Tel1, TLookup::Both, Hits);
        if (!Blank(Input.Tel2))
            LookUp(Input.Tel2, TLookup::Both, Hits);
        if (Hits.Rows.size() == 1 && Settings.SameTelUpdate) {
            FIsExisting = true;
            FCallRecord.RecNo = *Hits.Rows.begin();
        } else if (!Hits.Rows.empty()) {
            return true;
        }
    }
    bool HistoryUpdated = false;
    const bool Written = SaveSequence(Input, Changed, QString(), nullptr, &HistoryUpdated);
    if (HistoryUpdated && Hooks.ReloadHistoryPage)
        Hooks.ReloadHistoryPage();
    return Written;
}

TRegisterResult TReceiveSave::RegisterCaller(TRecvViewInput& Input, TRecvFocus& Focus)
{
    Focus = TRecvFocus::None;
    bool Changed = true;
    QString Folder;

    if (FMode == TMode::Fernbook) {
        if (!IsValidTelText(Input.FbTel)) {
            Message(MsgInvalidTel, MB_OK | MB_ICONINFORMATION);
            Focus = TRecvFocus::FbTel;
            return TRegisterResult::Stopped;
        }
        if (!Hooks.Fb.Installed || !Hooks.Fb.Installed()) {
            Message(MsgFbNotInstalled, MB_OK | MB_ICONINFORMATION);
            return TRegisterResult::Stopped;
        }
        Folder = Hooks.Fb.BookFolder ? Hooks.Fb.BookFolder() : QString();
        FindFbEntry(Folder);
        if (FIsExisting && NumbersUnchanged(Input))
            Changed = ChangeFlag(Input);
    } else {
        if (!IsValidTelText(Input.Tel1)) {
            Message(MsgInvalidTel, MB_OK | MB_ICONINFORMATION);
            Focus = TRecvFocus::Tel1;
            return TRegisterResult::Stopped;
        }
        if (!IsValidTelText(Input.Tel2)) {
            Message(MsgInvalidTel, MB_OK | MB_ICONINFORMATION);
            Focus = TRecvFocus::Tel2All;
            return TRegisterResult::Stopped;
        }
        if (!Digits(Input.Tel1).isEmpty() && Digits(Input.Tel1) == Digits(Input.Tel2)) {
            Message(MsgSameTel, MB_OK | MB_ICONINFORMATION);
            Focus = TRecvFocus::Tel1;
            return TRegisterResult::Stopped;
        }
        MoveLoneSecondNumber(Input);
        if (FIsExisting) {
            if (!NumbersUnchanged(Input)) {
                const QString New1 = ChangedNumber(Input.Tel1, 0);
                if (!New1.isEmpty() && Digits(New1) != Digits(FCallRecord.Tel[1])) {
                    TDuplicates Hits;
                    LookUp(New1, TLookup::SecondIfNone, Hits);
                    if (!Hits.Rows.empty()) {
                        Message(MsgChangedTelExists, MB_OK | MB_ICONINFORMATION);
                        return TRegisterResult::Stopped;
                    }
                }
                const QString New2 = ChangedNumber(Input.Tel2, 1);
                if (!New2.isEmpty() && Digits(New2) != Digits(FCallRecord.Tel[0])) {
                    TDuplicates Hits;
                    LookUp(New2, TLookup::SecondIfNone, Hits);
                    if (!Hits.Rows.empty()) {
                        Message(MsgChangedTelExists, MB_OK | MB_ICONINFORMATION);
                        Focus = TRecvFocus::Tel2;
                        return TRegisterResult::Stopped;
                    }
                }
            } else {
                Changed = ChangeFlag(Input);
            }
        } else if (!Blank(Input.Tel1)) {
            TDuplicates Hits;
            LookUp(Input.Tel1, TLookup::Both, Hits);
            const bool Tel1Hit = !Hits.Rows.empty();
            if (!Blank(Input.Tel2))
                LookUp(Input.Tel2, TLookup::Both, Hits);
            if (Hits.Rows.size() >= 2) {
                Message(MsgTwoEntries, MB_OK | MB_ICONINFORMATION);
                return TRegisterResult::Stopped;
            }
            if (Hits.Rows.size() == 1) {
                if (Message(MsgReplace, MB_YESNO | MB_ICONQUESTION) != IDYES) {
                    if (!Tel1Hit)
                        Focus = TRecvFocus::Tel2;
                    return TRegisterResult::Stopped;
                }
                FIsExisting = true;
                FCallRecord.RecNo = *Hits.Rows.begin();
            }
        }
    }

    int WriteResult = 0;
    const bool Written = SaveSequence(Input, Changed, Folder, &WriteResult, nullptr);
    if (WriteResult == 1)
        Message((FIsExisting ? QStringLiteral("変更") : QStringLiteral("登録")) + MsgNotDone,
                MB_OK | MB_ICONINFORMATION);
    if (!Written) {
        // Nothing the user typed is lost: the window stays, and a second try finds what was written.
        return TRegisterResult::Failed;
    }
    return TRegisterResult::Saved;
}
