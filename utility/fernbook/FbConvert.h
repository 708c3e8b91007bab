#pragma once

#include "main/identify/FbEditions.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <functional>

class TTable;
class TDMVxRelvo16;

namespace Utility {

// The fields of the address book that the telephone-number choices of the page name, by row.
inline const std::array<QString, 4> FbTelFields = {QStringLiteral("Tel"), QStringLiteral("Fax"),
                                                   QStringLiteral("Portable1"), QStringLiteral("Portable2")};

// The safety folder of a book under the utility's data folder.
inline const QString FbBackupFolderName = QStringLiteral("backup.CnvFbAdrs");

inline const QString FbCounterFullText = QStringLiteral(
    "データ管理カウンタが一杯になり登録できませんでした  \r\n最適化処理を行うことにより登録できるようになります  ");
inline const QString FbBookFullText = QStringLiteral("最大登録件数10万件に達しました  \r\nこれ以上登録できません  ");

// What a run takes from the page and from [USE FBADRS] of the settings file.
struct TFbConvertChoice
{
    int Edition = 0;
    int Tel1Set = 0; // row of the field that receives SchTel1
    int Tel2Set = 2; // and SchTel2
    // The keyword field (0 = Keyword1 .. 4 = Keyword5) of Memo1, Memo2, Memo3, Msg1 and Msg2; the
    // keyword field (0 = Keyword6 .. 2 = Keyword8) and keyword list of Rank. Others copy nothing.
    int Memo1 = 0;
    int Memo2 = 1;
    int Memo3 = 2;
    int Line1 = 3;
    int Line2 = 4;
    int Rank = 0;
};

// The field choices of [USE FBADRS] of the settings file, with their defaults.
[[nodiscard]] TFbConvertChoice ReadFbConvertChoice();

struct TFbConvertCounts
{
    int Records = 0; // directory records converted
    int Ranks = 0;   // rank items merged into the keyword list
};

// The directory's background colour as the symbol colour: decimal, or hexadecimal after "$"; any
// other text, an empty one included, is 0.
[[nodiscard]] int SymbolColorOf(const QString& BGColor);

// Fills the current new row of Adrs from the current row of Meibo, stamped Now (days, as the tables keep time).
void FillAdrsRecord(TTable& Adrs, TTable& Meibo, const TFbConvertChoice& Choice, double Now);

// Progress of a run: the bar's maximum once, then its position.
using TFbProgress = std::function<void(int Position, int Maximum)>;

// Copies every directory record of the data module's folder (its Meibo.DB and Rank.mtd) into the
// book in BookFolder, creating its table when missing, and merges the rank list into the keyword
// list the choice names (in KeywordPath). Records are appended, never changed; the records posted
// stay even when the run ends early. Limits and failures are told through the core message box.
[[nodiscard]] TFbConvertCounts ConvertToFernbook(TDMVxRelvo16& Module, const QString& BookFolder,
                                                 const TFbConvertChoice& Choice, const TFbProgress& Progress = {});

// Copies the book folder into DataPath + "backup.CnvFbAdrs/" + its folder name, replacing an earlier
// copy only once the new one is complete. False when the book is missing or the copy failed.
[[nodiscard]] bool BackupFernbookBook(const QString& BookFolder, const QString& DataPath,
                                      const std::function<bool(int Done, int Total)>& Progress = {});

// By edition: the data folder of the product ([BASE] DataPath of its settings file in its folder
// under the application data folder), with a trailing "/", or the not-found text.
[[nodiscard]] std::array<QString, FbSeriesCount> FindFernbookFolders();

// Whether the edition's program runs; when it does, the user is told to end it first.
[[nodiscard]] bool IsFernbookRunning(int Edition);

// Points the utility's data folder at another folder for the life of the object and restores it on
// every way out.
class TDataPathSwitch
{
public:
    explicit TDataPathSwitch(const QString& Folder);
    ~TDataPathSwitch();
    TDataPathSwitch(const TDataPathSwitch&) = delete;
    TDataPathSwitch& operator=(const TDataPathSwitch&) = delete;

private:
    QString FSaved;
};

// The utility's names for the book list: the list of AdrsFolder with the journal carried out first
// when ApplyJournal.
inline void ReadAddressBooks(const QString& AdrsFolder, bool ApplyJournal)
{
    LoadAddressBookList(AdrsFolder, ApplyJournal);
}

} // namespace Utility
