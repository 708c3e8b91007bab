#pragma once

#include "platform/sys/Exceptions.h"
#include "utility/convert/OlderRules.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class TTable;
class THistoryData;
class TDMVxRelvo16;

// The conversion of an earlier version's data into the version-16 tables and pick lists of the data
// folder that the data module (TDMVxRelvo16, created by the caller) points at. The family's frame is
// built once here: counting, progress, record numbering and its limit, posting in bulk, the pick-list
// merge and the settings hand-over; each version only says how its rows become version-16 rows.
namespace Utility {

// Counters of the last conversion: history rows, directory rows, select items 1 to 3, rank entries.
extern std::array<int, 6> ConvertCounts;

// The hand-over stopped because the device library could not be loaded (its message is shown).
class EConvertAborted : public Exception
{
public:
    EConvertAborted() : Exception(QString()) {}
};

// The version-16 data module of one conversion, on the destination folder, made the program's
// module for its life and released on every way out.
class TConversionModule
{
public:
    explicit TConversionModule(const QString& DataFolder);
    ~TConversionModule();
    TConversionModule(const TConversionModule&) = delete;
    TConversionModule& operator=(const TConversionModule&) = delete;

private:
    std::unique_ptr<TDMVxRelvo16> FModule;
    TDMVxRelvo16* FWas = nullptr;
};

// The progress of one conversion: the page's bar, or the progress window of the silent start.
class TConvertProgress
{
public:
    virtual ~TConvertProgress() = default;
    virtual void Start(int Total) = 0;
    virtual void Step() = 0;
    // The conversion is over, whatever its outcome.
    virtual void Finish() {}
};

inline constexpr int HighestRecNo = 99999;
inline const QString TableFullMessage = QStringLiteral("最大登録件数10万件に達しました  \r\nこれ以上登録できません  ");
inline const QString CounterFullMessage = QStringLiteral(
    "データ管理カウンタが一杯になり登録できませんでした  \r\n最適化処理を行うことにより登録できるようになります  ");

// Appends rows to a destination table in one transaction, numbering them on from its last RecNo:
// a row whose post fails leaves nothing and is not counted; whatever ends
// the run, the rows posted so far are committed. Into an empty table the rows go without the
// secondary indexes, which the commit builds; those named in LookUps stay, for the run reads by them.
class TRowPoster
{
public:
    explicit TRowPoster(TTable& Table, const QStringList& LookUps = {});
    ~TRowPoster();
    TRowPoster(const TRowPoster&) = delete;
    TRowPoster& operator=(const TRowPoster&) = delete;

    // False, after the limit's message, once the next RecNo would pass HighestRecNo: the copy stops.
    [[nodiscard]] bool RoomForMore();
    // Appends one row with the next RecNo, filled by Fill; true when it was posted.
    bool Post(const std::function<void(TTable&)>& Fill);

private:
    TTable& FTable;
    int FCount = 0;
    int FNext = 0;
};

// Merges pick-list entries (in the source list's order) into Dest: walked from the last to the
// first, each goes to the top, leaving an entry both hold once. Counter is incremented and Step run
// for every entry walked; Dest is saved when anything was walked.
void MergePickList(const QStringList& Source, THistoryData& Dest, int& Counter, const std::function<void()>& Step);

// Writes the earlier version's adapter, port and IP-PBX choice, and the device library's version,
// into VxRelvo16.ini, and for versions 13 to 15 copies that version's VxComm3ip.ini into the settings
// folder. The library's version is read first: when the library cannot be loaded nothing is changed
// and EConvertAborted is thrown.
void CarryOverAdapterSettings(int Version);

// The converter of version 7 to 15 (SourceFolder with a trailing "/"). Errors other than a row's
// failed post go up to the caller; what was posted stays.
void ConvertVersion(int Version, const QString& SourceFolder, TConvertProgress& Progress);

// The converters of versions 6 to 1 (SourceFolder with a trailing "/"). Choice is asked each time a
// person's name is too long for the name fields. Errors go up as with ConvertVersion.
void ConvertVersion6(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice);
void ConvertVersion5(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice);
void ConvertVersion4(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice);
void ConvertVersion3(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice);
void ConvertVersion2(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice);
void ConvertVersion1(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice);

// The converter of Version, 1 to 15; Choice serves versions 1 to 6.
void ConvertEarlierVersion(int Version, const QString& SourceFolder, TConvertProgress& Progress,
                           const TNameOverflowChoice& Choice);

// The end message of the page: the counts, with the rank line for versions 7 to 15.
[[nodiscard]] QString ConvertEndMessage(int Version);

} // namespace Utility
