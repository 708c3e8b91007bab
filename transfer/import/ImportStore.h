#pragma once

#include "main/common/CallerRec.h"
#include "platform/sys/Exceptions.h"
#include "platform/sys/LocalTime.h"
#include "transfer/import/ImportItems.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class TTable;
class TField;
class TContinualAdrsSearch;
class TPickListIndex;
class THistoryData;

// The disk took no more of the run (full, or failing): no line can be stored, so the run stops.
class EImportDiskError : public Exception
{
public:
    using Exception::Exception;
};

// What storing one line of an import answers: stored, stop the run, or the reason the line was
// refused, which the run writes to the error file.
inline constexpr int ImportStored = 0;
inline constexpr int ImportStop = 9;
inline constexpr int ReasonFieldCount = 1;
inline constexpr int ReasonSameNumber = 2;
inline constexpr int ReasonDateFormat = -11;
inline constexpr int ReasonHistoryPost = -12;
inline constexpr int ReasonManyNumbers = -21;
inline constexpr int ReasonMeiboPost = -22;
inline constexpr int ReasonOther = -99;

// The text the error file gives a reason.
[[nodiscard]] QString ReasonText(int Reason);

// Record numbers end before this one.
inline constexpr int RecNoLimit = 100000;

inline const QString ImportCounterFull = QStringLiteral("データ管理カウンタが一杯になり登録できませんでした  \r\n"
                                                        "最適化処理を行うことにより登録できるようになります  ");
inline const QString ImportTableFull = QStringLiteral("最大登録件数10万件に達しました  \r\nこれ以上登録できません  ");

// The line's item values (entry n for item row n) turned into the history fields of Record
// (SchTel[0], Tel[0], RecvDateTime, Division). Answers 0, ReasonDateFormat or ReasonOther.
[[nodiscard]] int ConvertHistoryRow(const QStringList& Values, TCallerRecord& Record);

// The two numbers of a directory line, brought up to date, into Record's display numbers, and how
// many entries of Table (open, any index) carry them: Count 2 also when the line's two numbers are
// equal. FoundRecNo is the RecNo of the entry found last.
void FindSameNumbers(TTable& Table, const QStringList& Values, TCallerRecord& Record, int& Count, int& FoundRecNo);

// Missing postal code, address code or coordinates of Address completed from the continual address
// search; a failing search changes nothing.
void SupplementAddress(TContinualAdrsSearch& Search, const QString& Address, QString& PostalCode, QString& JisCode,
                       QString& KajoCode, qint32& Latitude, qint32& Longitude);

// The directory fields of Record from the line's values (after FindSameNumbers). Search, when
// given, completes the address. Throws on a value that fails the line (a coordinate that is no
// whole number).
void ConvertDirectoryRow(const QStringList& Values, TCallerRecord& Record, TContinualAdrsSearch* Search,
                         const QDateTime& Now);

// The pick lists a run adds the texts of its stored rows to; a list not given is left alone.
struct TImportPickLists
{
    THistoryData* Rank = nullptr;
    std::array<THistoryData*, 3> SelItems{};
};

// Stores the lines of one run into one open table, counting its rows and record numbers.
class TImportStore
{
public:
    TImportStore(TTable& Table, TImportDest Dest, const TImportPickLists& PickLists);
    ~TImportStore();
    TImportStore(const TImportStore&) = delete;
    TImportStore& operator=(const TImportStore&) = delete;

    bool SameReplace = false;
    TContinualAdrsSearch* AdrsSearch = nullptr; // completion of addresses; none: off
    std::function<QDateTime()> Now = [] { return LocalNow(); };

    // The table's state at the start of the run: its rows, and the next record number (0 for an
    // empty table, else the last RecNo + 1). Kept up to date by each stored row.
    int RecordCount = 0;
    int NextRecNo = 0;
    void ReadTableState();
    // NextRecNo alone, read again after others (a call) may have added rows.
    void ReadNextRecNo();
    // The record numbers of the rows this run added, in their order.
    QList<int> AddedRecNos;
    // How many entries of the directory the run replaced.
    int ReplacedCount = 0;

    // One line: ImportStored, ImportStop (the record numbers are used up; the user has been told)
    // or a reason. A refused line leaves no pending row behind.
    [[nodiscard]] int StoreRecord(const QStringList& Values);
    [[nodiscard]] int StoreHistoryRow(const QStringList& Values);
    [[nodiscard]] int StoreDirectoryRow(const QStringList& Values);

    // The pick lists take the stored rows' ranks and select items in memory, through a hash beside
    // each list; SavePickLists writes the lists that changed, once the rows are committed.
    void AddRankHistory(const QString& Rank);
    void AddSelItemHistory(const QStringList& Values);
    void SavePickLists();

private:
    [[nodiscard]] bool LimitReached();
    // The destination's field of that name (a literal), looked up once a run, not for every line.
    [[nodiscard]] TField& Field(const char* Name);

    TTable& FTable;
    QHash<const char*, TField*> FFields;
    TImportDest FDest;
    TImportPickLists FPickLists;
    TPickListIndex* IndexOf(THistoryData* List, std::unique_ptr<TPickListIndex>& Index);

    std::unique_ptr<TPickListIndex> FRankIndex;
    std::array<std::unique_ptr<TPickListIndex>, 3> FSelItemIndex;
};
