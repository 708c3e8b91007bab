#pragma once

#include <QString>
#include <optional>
#include <set>

class TDMVxRelvo16;

class TTable;

// Rules of the directory (Meibo.DB) that every window registering an entry follows, the
// incoming-call window and the directory record window alike: the check of a number, the colour
// text of an entry's message, which rows already hold a number, the RecNo a new row gets, and the
// messages that tell the user about them.

inline const QString MsgInvalidTel = QStringLiteral("電話番号は半角数字かハイフンのみが有効です  ");
inline const QString MsgSameTel = QStringLiteral("電話番号欄にはそれぞれ違う番号を入力してください  ");
inline const QString MsgChangedTelExists =
    QStringLiteral("変更した電話番号と同じ電話番号のデータが  \r\n既に登録されています  \r\n変更はできません  ");
inline const QString MsgTwoEntries =
    QStringLiteral("２つの電話番号がそれぞれ違うデータとして登録されています  \r\n登録できません  ");
inline const QString MsgReplace =
    QStringLiteral("既に同じ電話番号のデータが登録されています  \r\n今回の内容で置き換えますか？  ");
inline const QString MsgRowMissing = QStringLiteral("該当するデータが見つかりませんでした  ");
inline const QString MsgTableFull = QStringLiteral("最大登録件数10万件に達しました  \r\nこれ以上登録できません  ");
inline const QString MsgMeiboCounterFull = QStringLiteral(
    "データ管理カウンタが一杯になり登録できませんでした  \r\n最適化処理をおこなうことにより登録できるよう"
    "になります  ");
// Follows the word of the write, "登録" or "変更".
inline const QString MsgNotDone = QStringLiteral("できませんでした  ");

// The trimmed text holds only half-width digits and hyphens (an empty text passes).
[[nodiscard]] bool IsValidTelText(const QString& Text);

// "$" + six hexadecimal digits, blue in the first two, red in the last two, read in either letter
// case; nullopt for any other text.
[[nodiscard]] std::optional<unsigned> ColorFromText(const QString& Text);
// The colour value as the directory keeps it: "$" + six upper-case hexadecimal digits.
[[nodiscard]] QString ColorToText(unsigned Color);

enum class TEntryLookUp
{
    Both,         // SchTel1, then SchTel2
    SecondIfNone, // SchTel2 only when SchTel1 found nothing
};

// Looks the digits of Number up in the directory and adds the RecNo of the row each index lands
// on (the first in index order) to Rows, so that an entry found by several look-ups counts once.
// A row whose RecNo is Excluded (the entry being edited) is passed over. Opens and closes the table
// through the data module; a number without digits finds nothing.
void LookUpEntries(TDMVxRelvo16& Data, const QString& Number, TEntryLookUp How, int Excluded, std::set<int>& Rows);
// The same in the program-wide data module.
void LookUpEntries(const QString& Number, TEntryLookUp How, int Excluded, std::set<int>& Rows);
inline constexpr int NoEntry = -1;

inline constexpr int MaxEntryRecNo = 99999;
inline constexpr int MaxEntryRows = 100000;

struct TNextRecNo
{
    int RecNo = 0;
    bool Exhausted = false; // above MaxEntryRecNo: no row may be added
    bool TableFull = false; // and that because the table holds MaxEntryRows rows
};
// The RecNo of a row to append to the open Table: 0 when it is empty, else its last row's + 1;
// numbers freed by deletions are not used again. Sets the primary index and leaves the cursor on
// the last row.
[[nodiscard]] TNextRecNo NextRecNo(TTable& Table);
