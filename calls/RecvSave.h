#pragma once

#include "main/common/CallerRec.h"
#include "main/tables/MeiboEntry.h"

#include <QString>
#include <QStringList>
#include <functional>

// What the incoming-call window writes when a call is saved or registered: the call's history row,
// the pick lists and, when something changed, the caller's entry in the directory in use (Meibo.DB
// or the chosen address book's Adrs.DB). The window hands over the texts of its controls; this class
// keeps the record the window was filled from and decides what to write. It shows no window itself:
// message boxes go through Hooks.Message.

// The values of the window's controls that a save reads, as they stand (untrimmed).
struct TRecvViewInput
{
    QString Tel1;
    QString Tel2;
    QString FbTel;
    bool FbTelSearched = false; // the number came from a number search, not from the call
    QString Pos;
    QString Tdfkn;
    QString Adrs1;
    QString Adrs2;
    QString Adrs3;
    QString JisCode;
    QString KajoCode;
    QString CorpKana;
    QString CorpKanji;
    QString NameKana;
    QString NameKanji;
    int PrivCorp = 0;
    QString Memo1;
    QString Memo2;
    QString Memo3;
    QString EMail;
    QString Rank;
    QString SelItem1;
    QString SelItem2;
    QString SelItem3;
    int Latitude = 0; // the caller's current position
    int Longitude = 0;
    bool MsgShown = false;
    QString Msg1;
    QString Msg2;
    QString BGColor;      // "$" + six hexadecimal digits, as the directory keeps it
    QString Note;         // lines joined by CR LF
    QStringList ExtFiles; // folder + file name, in row order
};

// Where a stopped registration puts the focus.
enum class TRecvFocus
{
    None,
    Tel1,    // all selected
    Tel2,    // caret at the end
    Tel2All, // all selected
    FbTel,   // all selected
};

enum class TRegisterResult
{
    Stopped, // refused or declined; the window stays with the user's input
    Saved,   // the save sequence ran; the window closes
    Failed,  // a write failed (the user was told); the window stays with the user's input
};

// The address book the window registers into; empty functions mean no address-book product.
struct TFbBookLink
{
    std::function<bool()> Installed;     // the chosen edition is installed
    std::function<QString()> BookFolder; // the chosen book's folder, with a trailing "/"
    std::function<int()> FbAdrsRecNo;    // the book entry the identification found; below 1 none
};

struct TRecvSaveHooks
{
    // A message box with the product's caption; answers IDOK .. IDNO.
    std::function<int(const QString& Text, unsigned Flags)> Message;
    // The call-history list reloads its current page (after a silent save).
    std::function<void()> ReloadHistoryPage;
    // A pick list was reordered: -1 the rank list, 0..2 the select-item lists.
    std::function<void(int List)> PickListChanged;
    TFbBookLink Fb;
};

inline const QString MsgFbCounterFull =
    QStringLiteral("データ管理カウンタが一杯になり登録できませんでした  \r\nこれ以上登録できません  ");
inline const QString MsgFbNotInstalled = QStringLiteral("Fernbookのインストール状態を確認できませんでした  ");
inline const QString MsgHistoryWriteFailed = QStringLiteral("着信対応履歴に書き込めませんでした  ");
inline const QString MsgMeiboWriteFailed = QStringLiteral("登録名簿に書き込めませんでした  ");
inline const QString MsgFbWriteFailed = QStringLiteral("アドレス帳に書き込めませんでした  ");
inline const QString MsgInputKept = QStringLiteral("入力した内容は画面に残っています  ");

// The colour a message panel shows when BGColor is blank or no colour text.
inline constexpr unsigned DefaultAddressBookColor = 0x7fdf3f;

// The keyword field ("Keyword" + n) of an address book that a window value goes into; Setting is
// the [USE FBADRS] value, Offset 1 for the memo and line settings and 6 for the rank.
[[nodiscard]] QString FbKeywordField(int Setting, int Offset);

class TReceiveSave
{
public:
    enum class TMode
    {
        Own,
        Fernbook
    };

    explicit TReceiveSave(TMode Mode = TMode::Own) : FMode(Mode) {}

    [[nodiscard]] TMode Mode() const { return FMode; }
    // The record the window was last filled from, with the Note text the window keeps beside it.
    void SetCallRecord(const TCallerRecord& Record);
    [[nodiscard]] const TCallerRecord& CallRecord() const { return FCallRecord; }
    [[nodiscard]] const QString& NoteText() const { return FNoteText; }
    // The shown caller is an existing entry of the directory in use.
    [[nodiscard]] bool IsExisting() const { return FIsExisting; }
    void SetExisting(bool Value) { FIsExisting = Value; }
    // The slot of the number that rang, as a dictionary look-up of the address book found it.
    void SetTelIndex(int Value) { FCallRecord.TelIndex = Value; }

    TRecvSaveHooks Hooks;

    // The silent save before the window is refilled with another call. Input's numbers may be moved
    // (a lone second number becomes the first); the window shows them back. False when a write
    // failed (the user was told): what the window shows is not saved.
    bool SaveBeforeRefill(TRecvViewInput& Input);
    // The registration: validates and asks with messages, then saves. Focus says where a stopped
    // registration puts the focus.
    TRegisterResult RegisterCaller(TRecvViewInput& Input, TRecvFocus& Focus);

    [[nodiscard]] TCallerRecord GatherCallRecord(const TRecvViewInput& Input) const;
    [[nodiscard]] bool ChangeFlag(const TRecvViewInput& Input) const;
    // False when the row is missing or could not be written (the user was told either way).
    bool UpdateHistoryRow(const TCallerRecord& Record, bool* WriteFailed = nullptr);
    void PromoteSelectItems(const TCallerRecord& Record);
    void PromoteRank(const TCallerRecord& Record);
    // 0 written, 1 refused (a message was shown), 2 the write failed (a message was shown).
    int WriteMeiboRecord(const TCallerRecord& Record, const TRecvViewInput& Input);
    int WriteFernbookRecord(const TCallerRecord& Record, const TRecvViewInput& Input, const QString& BookFolder);

private:
    // The directory rows, other than the shown caller's, that the look-ups of Number land on.
    void LookUp(const QString& Number, TEntryLookUp How, std::set<int>& Rows) const;
    [[nodiscard]] bool NumbersUnchanged(const TRecvViewInput& Input) const;
    [[nodiscard]] QString ChangedNumber(const QString& Edit, int Slot) const;
    static void MoveLoneSecondNumber(TRecvViewInput& Input);
    // The save sequence; false when a write failed.
    bool SaveSequence(const TRecvViewInput& Input, bool Changed, const QString& BookFolder, int* WriteResult,
                      bool* HistoryUpdated);
    void FindFbEntry(const QString& BookFolder);
    int Message(const QString& Text, unsigned Flags) const;

    TMode FMode;
    TCallerRecord FCallRecord;
    QString FNoteText;
    bool FIsExisting = false;
};
