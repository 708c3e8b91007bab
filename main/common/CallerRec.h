#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

// One call and its caller while the call is handled: filled by the identification, completed by the
// call pipeline, copied into the extension library's block and passed between the windows. It lives
// in memory only. A default-constructed record is the zero-filled one: texts empty, numbers 0, lists
// none. Copies are deep, so a window's copy and the pipeline's record never share their lists.
struct TCallerRecord
{
    // Widths of the text fields in CP932 bytes; CutCallerRecordToWidths enforces them.
    static constexpr int SlotCount = 4;
    static constexpr int SchTelWidth = 11;
    static constexpr int TelWidth = 13;
    static constexpr int PosWidth = 8;
    static constexpr int TdfknWidth = 8;
    static constexpr int Adrs1Width = 32;
    static constexpr int Adrs2Width = 100;
    static constexpr int Adrs3Width = 116;
    static constexpr int JisCodeWidth = 5;
    static constexpr int KajoCodeWidth = 6;
    static constexpr int CorpKanaWidth = 80;
    static constexpr int CorpKanjiWidth = 120;
    static constexpr int NameKanaWidth = 25;
    static constexpr int NameKanjiWidth = 30;
    static constexpr int MemoWidth = 100;
    static constexpr int RankWidth = 20;
    static constexpr int SelItemWidth = 60;
    static constexpr int EMailWidth = 64;
    static constexpr int MsgLineWidth = 32;
    static constexpr int BGColorWidth = 7;

    std::int32_t HisRecNo = 0; // RecNo of the history row written for this call
    std::int32_t RecNo = 0;    // RecNo of the directory entry found; 0 when none
    // Search numbers (digits only) and display numbers of the same slots. Own directory: slots 0 and 1;
    // address book: telephone, fax, mobile 1, mobile 2. Caller not found: slot 0 = the received number.
    std::array<QString, SlotCount> SchTel;
    std::array<QString, SlotCount> Tel;
    std::int32_t TelIndex = 0; // the slot whose search number is the received number
    QString Pos;               // postal code "123-4567" (or "123-45")
    QString Tdfkn;             // prefecture
    QString Adrs1;
    QString Adrs2;
    QString Adrs3;
    QString JisCode;
    QString KajoCode;
    QString CorpKana; // half-width katakana
    QString CorpKanji;
    QString NameKana;
    QString NameKanji;
    std::int32_t PrivCorp = 0; // 1 company, 0 person
    QString Memo1;
    QString Memo2;
    QString Memo3;
    QString Rank;
    std::int32_t Latitude = 0;     // milliseconds of arc; 0 = not set
    std::int32_t Longitude = 0;    // milliseconds of arc; 0 = not set
    double RecvDateTime = 0;       // days since 1899-12-30, time of day as the fraction
    double BeforeRecvDateTime = 0; // the same caller's previous call; 0 = none known
    std::int32_t Division = 0;     // 1 found in the directory in use, 0 new caller
    QString SelItem1;
    QString SelItem2;
    QString SelItem3;
    QString EMail;
    std::int32_t Msg = 0; // 1 = show the call message lines
    QString Msg1;
    QString Msg2;
    QString BGColor; // "$" and six hexadecimal digits
    double AddDateTime = 0;
    double UpdDateTime = 0;
    std::optional<QStringList> ExtFile; // attached files, one path a line; none until the entry has them
    std::optional<QStringList> Note;    // note lines

    bool operator==(const TCallerRecord&) const = default;
};

// Frees the record's lists (Note first, then ExtFile) and zero-fills it. A null record is left alone.
void ClearCallerRecord(TCallerRecord* Record);

// Cuts every text field to its width in CP932 bytes, never leaving half a double-byte character.
void CutCallerRecordToWidths(TCallerRecord& Record);

// Codes that a device or an imported file delivers instead of a number: they carry the reason the
// number is missing, and such a record is never looked up.
inline constexpr char16_t CallerCodeAnonymous = u'P';   // 匿名着信
inline constexpr char16_t CallerCodeOutOfArea = u'O';   // 表示圏外
inline constexpr char16_t CallerCodePublicPhone = u'C'; // 公衆電話
inline constexpr char16_t CallerCodeWithheld = u'S';    // 契約条件
inline constexpr char16_t CallerCodeSpecial = u'$';     // 特殊電話番号

// True when the first character of the trimmed Number is one of the codes above.
[[nodiscard]] bool IsCallerNumberCode(const QString& Number);
// The word the lists show for such a number ("匿名着信" for "P"); empty for any other number.
[[nodiscard]] QString CallerNumberCodeText(const QString& Number);
