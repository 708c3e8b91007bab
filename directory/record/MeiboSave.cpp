#include "directory/record/MeiboSave.h"

#include "main/common/CommonText.h"
#include "main/common/ProductInfo.h"
#include "main/identify/AppSub.h"
#include "main/tables/DBInfo.h"
#include "main/tables/MeiboEntry.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "platform/msg/MessageBoxFlags.h"

#include <QDebug>

namespace {

bool Blank(const QString& Text)
{
    return TrimBlanks(Text).isEmpty();
}

bool Same(const QString& Edit, const QString& Stored)
{
    return TrimBlanks(Edit) == TrimBlanks(Stored);
}

// Two colour texts name the same colour, whatever the case of their digits; two blank ones agree
// too. A text that is no colour matches nothing.
bool SameColor(const QString& Shown, const QString& Stored)
{
    if (Blank(Shown) || Blank(Stored))
        return Blank(Shown) && Blank(Stored);
    const auto A = ColorFromText(Shown);
    const auto B = ColorFromText(Stored);
    return A && B && *A == *B;
}

} // namespace

int TMeiboSave::Ask(const QString& Text, unsigned Flags) const
{
    return Message ? Message(Text, Flags) : CoreMessageBox(Text, ProductName, Flags);
}

void TMeiboSave::ShowRecord(const TCallerRecord* Record)
{
    FShown = Record ? *Record : TCallerRecord();
    FInquiry = Record != nullptr;
}

void TMeiboSave::StartNewEntry()
{
    FShown = TCallerRecord();
    FInquiry = false;
}

bool TMeiboSave::SameAsShown(const TMeiboInput& Input) const
{
    const TCallerRecord& R = FShown;
    const QString Note = R.Note ? R.Note->join(QStringLiteral("\r\n")) : QString();
    // Linux tells file names apart by letter case: a path that differs only so is another file.
    const QStringList Files = R.ExtFile.value_or(QStringList());
    return Same(Input.Pos, R.Pos) && Same(Input.Tdfkn, R.Tdfkn) && Same(Input.Adrs1, R.Adrs1) &&
           Same(Input.Adrs2, R.Adrs2) && Same(Input.Adrs3, R.Adrs3) && Same(Input.JisCode, R.JisCode) &&
           Same(Input.KajoCode, R.KajoCode) && Same(Input.CorpKana, R.CorpKana) && Same(Input.CorpKanji, R.CorpKanji) &&
           Same(Input.NameKana, R.NameKana) && Same(Input.NameKanji, R.NameKanji) && Same(Input.Memo1, R.Memo1) &&
           Same(Input.Memo2, R.Memo2) && Same(Input.Memo3, R.Memo3) && Same(Input.EMail, R.EMail) &&
           Input.PrivCorp == R.PrivCorp && Same(Input.Rank, R.Rank) && Input.Latitude == R.Latitude &&
           Input.Longitude == R.Longitude && Input.Msg == (R.Msg == 1) && Same(Input.Msg1, R.Msg1) &&
           Same(Input.Msg2, R.Msg2) && SameColor(Input.ColorText, R.BGColor) && Input.Note == Note &&
           Input.ExtFiles == Files;
}

bool TMeiboSave::DuplicatesAccepted(const TMeiboInput& Input, TMeiboFocus& Focus)
{
    std::set<int> Rows;
    LookUpEntries(FData, Input.Tel1, TEntryLookUp::Both, NoEntry, Rows);
    bool SecondHit = false;
    if (!Blank(Input.Tel2) && Rows.size() <= 1) {
        std::set<int> Second;
        LookUpEntries(FData, Input.Tel2, TEntryLookUp::Both, NoEntry, Second);
        SecondHit = !Second.empty();
        Rows.insert(Second.begin(), Second.end());
    }
    // Rows, not look-ups, are counted: both numbers of one entry are that entry to replace.
    if (Rows.size() >= 2) {
        Ask(MsgTwoEntries, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (Rows.size() == 1) {
        if (Ask(MsgReplace, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            if (SecondHit)
                Focus = TMeiboFocus::Tel2End;
            return false;
        }
        FInquiry = true;
        FShown.RecNo = *Rows.begin();
    }
    return true;
}

bool TMeiboSave::ChangedNumbersFree(const TMeiboInput& Input, TMeiboFocus& Focus) const
{
    // A number counts as changed when its digits changed; a swap of the two numbers is no change.
    const auto NewNumber = [this](const QString& Edit, int Slot) {
        const QString Text = TrimBlanks(Edit);
        const QString Stored = TrimBlanks(FShown.Tel[Slot]);
        return Text == Stored || Text.isEmpty() || DigitsOnly(Text) == DigitsOnly(Stored) ? QString() : Text;
    };
    const QString New[2] = {NewNumber(Input.Tel1, 0), NewNumber(Input.Tel2, 1)};
    for (int Slot = 0; Slot < 2; ++Slot) {
        if (New[Slot].isEmpty() || DigitsOnly(New[Slot]) == DigitsOnly(FShown.Tel[1 - Slot]))
            continue;
        std::set<int> Rows;
        LookUpEntries(FData, New[Slot], TEntryLookUp::SecondIfNone, FShown.RecNo, Rows);
        if (!Rows.empty()) {
            Ask(MsgChangedTelExists, MB_OK | MB_ICONINFORMATION);
            if (Slot == 1)
                Focus = TMeiboFocus::Tel2End;
            return false;
        }
    }
    return true;
}

TMeiboSaveResult TMeiboSave::Save(TMeiboInput& Input, TMeiboFocus& Focus)
{
    Focus = TMeiboFocus::None;
    if (!IsValidTelText(Input.Tel1) || !IsValidTelText(Input.Tel2)) {
        Ask(MsgInvalidTel, MB_OK | MB_ICONINFORMATION);
        Focus = IsValidTelText(Input.Tel1) ? TMeiboFocus::Tel2All : TMeiboFocus::Tel1All;
        return TMeiboSaveResult::Stay;
    }
    if (const QString Digits = DigitsOnly(Input.Tel1); !Digits.isEmpty() && Digits == DigitsOnly(Input.Tel2)) {
        Ask(MsgSameTel, MB_OK | MB_ICONINFORMATION);
        Focus = TMeiboFocus::Tel1All;
        return TMeiboSaveResult::Stay;
    }
    if (Blank(Input.Tel1) && !Blank(Input.Tel2)) {
        Input.Tel1 = Input.Tel2;
        Input.Tel2.clear();
    }

    const bool WasNew = !FInquiry;
    const int WasRecNo = FShown.RecNo;
    if (WasNew) {
        if (!Blank(Input.Tel1) && !DuplicatesAccepted(Input, Focus))
            return TMeiboSaveResult::Stay;
    } else if (!Same(Input.Tel1, FShown.Tel[0]) || !Same(Input.Tel2, FShown.Tel[1])) {
        if (!ChangedNumbersFree(Input, Focus))
            return TMeiboSaveResult::Stay;
    } else if (SameAsShown(Input)) {
        return TMeiboSaveResult::Close;
    }

    const int Result = WriteRecord(Input);
    if (Result == 0) {
        FSaved = true;
        if (WasNew &&
            Ask(WriteWord() + MsgDone + QStringLiteral("\r\n") + MsgContinue, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            StartNewEntry();
            return TMeiboSaveResult::NextEntry;
        }
        return TMeiboSaveResult::Close;
    }
    Ask(WriteWord() + MsgNotDone, MB_OK | MB_ICONINFORMATION);
    if (Result == 1)
        return TMeiboSaveResult::Close;
    // The table would not take the row: the window keeps what the user typed, and the next press
    // starts over from the entry as it was shown.
    FInquiry = !WasNew;
    FShown.RecNo = WasRecNo;
    return TMeiboSaveResult::Stay;
}

int TMeiboSave::WriteRecord(const TMeiboInput& Input)
{
    if (!FData.Meibo())
        return 2;
    TTableUse Use(FData, TDataTable::Meibo);
    if (!Use.Opened())
        return 2;
    TTable& T = *FData.Meibo();
    const double Now = DateTimeToDays(this->Now());
    try {
        T.SetIndexName(QString());
        if (FInquiry) {
            if (!T.FindKey({FShown.RecNo})) {
                Ask(MsgRowMissing, MB_OK | MB_ICONSTOP);
                return 1;
            }
            T.Edit();
        } else {
            const TNextRecNo Next = NextRecNo(T);
            if (Next.Exhausted) {
                Ask(Next.TableFull ? MsgTableFull : MsgMeiboCounterFull, MB_OK | MB_ICONINFORMATION);
                return 1;
            }
            T.Append();
            T.FieldByName(QStringLiteral("RecNo")).SetAsInteger(Next.RecNo);
        }
        const auto Set = [&T](const char* Field, const QString& Value) {
            T.FieldByName(QString::fromLatin1(Field)).SetAsString(Value);
        };
        const auto SetInt = [&T](const char* Field, int Value) {
            T.FieldByName(QString::fromLatin1(Field)).SetAsInteger(Value);
        };
        T.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(Now);
        Set("SchTel1", DigitsOnly(Input.Tel1));
        Set("SchTel2", DigitsOnly(Input.Tel2));
        Set("Tel1", TrimBlanks(Input.Tel1));
        Set("Tel2", TrimBlanks(Input.Tel2));
        Set("Pos", DigitsOnly(Input.Pos));
        Set("Tdfkn", TrimBlanks(Input.Tdfkn));
        Set("Adrs1", TrimBlanks(Input.Adrs1));
        Set("Adrs2", TrimBlanks(Input.Adrs2));
        Set("Adrs3", TrimBlanks(Input.Adrs3));
        Set("JisCode", TrimBlanks(Input.JisCode));
        Set("KajoCode", TrimBlanks(Input.KajoCode));
        Set("CorpKana", TrimBlanks(Input.CorpKana));
        Set("CorpKanji", TrimBlanks(Input.CorpKanji));
        Set("NameKana", TrimBlanks(Input.NameKana));
        Set("NameKanji", TrimBlanks(Input.NameKanji));
        Set("Memo1", TrimBlanks(Input.Memo1));
        Set("Memo2", TrimBlanks(Input.Memo2));
        Set("Memo3", TrimBlanks(Input.Memo3));
        Set("EMail", TrimBlanks(Input.EMail));
        Set("Rank", TrimBlanks(Input.Rank));
        Set("PrivCorp", QString::number(Input.PrivCorp));
        SetInt("Latitude", Input.Latitude);
        SetInt("Longitude", Input.Longitude);
        SetInt("Msg", Input.Msg ? 1 : 0);
        Set("Msg1", TrimBlanks(Input.Msg1));
        Set("Msg2", TrimBlanks(Input.Msg2));
        Set("BGColor", Input.ColorText);
        Set("Note", Input.Note);
        QString Files;
        for (const QString& Path : Input.ExtFiles)
            Files += Path + QStringLiteral("\r\n");
        Set("ExtFile", Files);
        // An entry's creation keeps whole seconds; its changes keep the moment.
        if (!FInquiry)
            T.FieldByName(QStringLiteral("AddDateTime")).SetAsFloat(TruncToSeconds(Now));
        T.FieldByName(QStringLiteral("UpdDateTime")).SetAsFloat(Now);
        T.Post();
    } catch (const EDatabaseError& Error) {
        qWarning().noquote() << "Meibo.DB:" << Error.Message();
        if (T.State() == TDataSetState::Edit || T.State() == TDataSetState::Insert)
            T.Cancel();
        return 2;
    }
    return 0;
}
