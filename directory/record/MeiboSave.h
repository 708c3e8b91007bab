#pragma once

#include "main/common/CallerRec.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

class TDMVxRelvo16;

// What the directory record window decides when it saves: the checks of the two numbers, the
// duplicates in the directory, whether anything changed, and the row it writes into Meibo.DB. The
// window hands over the values of its controls; this class keeps the entry the window shows and
// asks the user through Message. It shows no window itself.

// The values of the window's controls, as they stand (untrimmed).
struct TMeiboInput
{
    QString Tel1;
    QString Tel2;
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
    int PrivCorp = 0; // the item index: 0 person, 1 company
    QString Memo1;
    QString Memo2;
    QString Memo3;
    QString EMail;
    QString Rank; // the combo's text
    int Latitude = 0;
    int Longitude = 0;
    bool Msg = false;
    QString Msg1;
    QString Msg2;
    QString ColorText;    // "$" + six hexadecimal digits, or empty
    QString Note;         // lines joined by CR LF
    QStringList ExtFiles; // folder + file name, in row order
};

// Where a stopped save puts the focus.
enum class TMeiboFocus
{
    None,
    Tel1All, // all selected
    Tel2All, // all selected
    Tel2End, // caret at the end
};

enum class TMeiboSaveResult
{
    Stay,      // refused, declined or the write failed: the window stays with the user's input
    Close,     // the window closes, with 1 when Saved, else 2
    NextEntry, // written, and the user registers another: the window empties for a new entry
};

inline const QString WordRegister = QStringLiteral("登録");
inline const QString WordUpdate = QStringLiteral("変更");
inline const QString MsgDone = QStringLiteral("しました  ");
inline const QString MsgContinue = QStringLiteral("続けて登録しますか？  ");

class TMeiboSave
{
public:
    // Data: the module whose directory the entry is written to.
    explicit TMeiboSave(TDMVxRelvo16& Data) : FData(Data) {}

    // A message box with the product's caption; answers IDOK .. IDNO.
    std::function<int(const QString& Text, unsigned Flags)> Message;
    // The clock of the time stamps.
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };

    // Null: a new entry; otherwise the entry read from its row.
    void ShowRecord(const TCallerRecord* Record);
    // After "続けて登録しますか？": the window takes a new entry again.
    void StartNewEntry();

    [[nodiscard]] const TCallerRecord& ShownRecord() const { return FShown; }
    // A position written into the entry's row by itself (a place picked on a map).
    void SetShownPosition(int Latitude, int Longitude)
    {
        FShown.Latitude = Latitude;
        FShown.Longitude = Longitude;
    }
    [[nodiscard]] bool Inquiry() const { return FInquiry; }
    [[nodiscard]] bool Saved() const { return FSaved; }
    // The word of a write: "登録" for a new entry, "変更" for an existing one.
    [[nodiscard]] QString WriteWord() const { return FInquiry ? WordUpdate : WordRegister; }

    // The save of the register / change button. Input's numbers may move (a lone second number
    // becomes the first); the window shows them back.
    TMeiboSaveResult Save(TMeiboInput& Input, TMeiboFocus& Focus);
    // Writes Input into Meibo.DB: 0 written, 1 refused (the user was told why), 2 the table
    // refused the write.
    int WriteRecord(const TMeiboInput& Input);
    // Whether Input holds what the entry held when it was shown (numbers aside).
    [[nodiscard]] bool SameAsShown(const TMeiboInput& Input) const;

private:
    TDMVxRelvo16& FData;

    int Ask(const QString& Text, unsigned Flags) const;
    // False when a number of Input is found in another entry (the user was told).
    bool ChangedNumbersFree(const TMeiboInput& Input, TMeiboFocus& Focus) const;
    // False when another entry holds a number and the save stops there (the user was told or
    // declined its replacement); true goes on to the write, as that entry's change when the user
    // chose to replace it.
    bool DuplicatesAccepted(const TMeiboInput& Input, TMeiboFocus& Focus);

    TCallerRecord FShown;
    bool FInquiry = false;
    bool FSaved = false;
};
