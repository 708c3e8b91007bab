#pragma once

#include "transfer/import/ImportItems.h"
#include "transfer/import/ImportText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QFile;
class TContinualAdrsSearch;
class TImportStore;
class TTable;
class TTableUse;

// One run of the text import: every line of the file through the user's mapping into the
// destination table, refused lines into the error file InError.txt of the data folder.

inline const QString ImportErrorFileName = QStringLiteral("InError.txt");
inline const QString ImportErrorFileRefusal = QStringLiteral(
    "指定したテキストファイルは  \r\nエラー時に出力するファイルと同じため  \r\n入力ファイルとして指定できません  ");

// Whether FileName is the error file of DataPath: the same path without regard to letter case, or
// the same file on disk under another name (a link).
[[nodiscard]] bool IsImportErrorFile(const QString& FileName, const QString& DataPath);

// The backup folder of the destination's table files under the data folder, with its trailing "/".
[[nodiscard]] QString ImportBackupFolder(const QString& DataPath, TImportDest Dest);
[[nodiscard]] const QStringList& ImportTableFiles(TImportDest Dest);

// A run that the end of the program cut short leaves this mark in the data folder: its batches are
// kept, the rest of the file is not, and the next start tells the user so.
inline const QString ImportUnfinishedFileName = QStringLiteral("Import.unfinished");
void MarkImportUnfinished(const QString& DataPath, TImportDest Dest, bool Unfinished);
// The notice for a run the mark tells of, which it removes; empty without one.
[[nodiscard]] QString TakeUnfinishedImportNotice(const QString& DataPath);

struct TImportOptions
{
    TImportDest Dest = TImportDest::RecvHis;
    bool SkipRecord = false;
    bool SameReplace = false;
    bool NotAutoSupplement = false;
    TImportEncoding Encoding = TImportEncoding::Cp932;
};

struct TImportCounts
{
    int ReadCount = 0;
    int StoredCount = 0;
};

// What the user is told when the disk took no more of a run: whether the rows it stored could be
// taken back, and where the backup is.
[[nodiscard]] QString ImportDiskErrorText(const QString& DataPath, TImportDest Dest, bool Undone);

// The summary box's text.
[[nodiscard]] QString ImportSummaryText(const TImportCounts& Counts);

// Whether a run of Lines lines into a table of Rows rows builds the table's indexes after its rows
// instead of threading every row into them: only where the file brings at least as many rows as
// the table holds, and at least MinLines of them. Below some tens of thousands of lines the two
// ways cost the same, and the build's own commits make it the slower one.
inline constexpr qint64 DeferIndexesMinLines = 50000;
[[nodiscard]] bool DefersIndexes(qint64 Lines, qint64 Rows, qint64 MinLines = DeferIndexesMinLines);
// The indexes a run leaves in place: those it looks its rows up by, and those a call that rings
// meanwhile is looked up by.
[[nodiscard]] QStringList IndexesKeptByImport(TImportDest Dest);

// A run that the end of the program cut short may have left its destination without some of its
// indexes: they are built again from the table's definition. Answers how many were built.
int RestoreImportIndexes(TTable& Table);
// The same for both tables of the data folder, through table objects of its own: a table that is
// missing or does not open is left to whoever uses it next, who tells the user.
void RestoreImportIndexes(const QString& DataPath);

class TImportRun
{
public:
    TImportRun();
    ~TImportRun();
    TImportRun(TImportRun&&) noexcept;
    TImportRun& operator=(TImportRun&&) noexcept;

    QString FileName;
    QString DataPath;    // with its trailing "/"
    QString ProgramPath; // the address completion's library folder, with its trailing "/"
    int SourceCount = 0; // the fields of line 1
    TImportMapping Mapping;
    TImportOptions Options;
    qint64 LineCount = 0; // the lines to import, as the window counted them; 0 when not known
    qint64 DeferIndexesFrom = DeferIndexesMinLines; // the smallest run that builds its indexes after its rows

    // The whole run at once; the data module's tables are used. Throws an Exception with the
    // message for the user when the run cannot go on (the address completion cannot be had, the
    // file cannot be read, the table cannot be opened or written); the rows stored before stay.
    [[nodiscard]] TImportCounts RunImport();

    // The same run in batches, for a window that serves calls and the end of the program between
    // them. Begin opens the file and the table (throwing as RunImport does); each RunBatch stores
    // lines until the file ends, Budget has passed or Yield, asked after every line, answers true,
    // and commits them, so that nothing is pending between two batches, and answers whether lines
    // are left; Finish ends the run.
    void Begin();
    [[nodiscard]] bool RunBatch(std::chrono::milliseconds Budget, const std::function<bool()>& Yield = {});
    [[nodiscard]] TImportCounts Finish();
    // Ends a run that was not finished (the program ends): the table and the file are closed, the
    // committed rows and their pick lists kept. Indexes the run took away are left to the next start
    // (RestoreImportIndexes), so that the end is not held up by their sorts.
    void Abandon();
    // Whether the run builds the destination's indexes after its rows (DefersIndexes).
    [[nodiscard]] bool IndexesDeferred() const { return FIndexesDeferred; }
    [[nodiscard]] const TImportCounts& Counts() const { return FCounts; }

    // Appends "ReadCount,reason,line" with CR LF to the error file, making it anew for the run's
    // first refused line.
    void WriteErrorLine(int Reason, int ReadCount, const QByteArray& Line);

private:
    // Closes what Begin opened.
    void Close();
    // Deletes the rows the run added; false when the disk refused that too.
    bool RemoveAddedRows();
    // Builds the indexes the run took away; false when that failed (they come at the next start).
    bool TryRestoreIndexes();
    // A disk that took no more: the rows the run added go again, and the user is told.
    [[noreturn]] void FailOnDisk();

    bool FErrorFileStarted = false;
    bool FIndexesDeferred = false;
    TImportCounts FCounts;
    std::unique_ptr<TContinualAdrsSearch> FAdrsSearch;
    std::unique_ptr<QFile> FFile;
    std::unique_ptr<TImportLineReader> FReader;
    std::unique_ptr<TTableUse> FUse;
    TTable* FTable = nullptr;
    std::unique_ptr<TImportStore> FStore;
};
