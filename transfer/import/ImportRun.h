#pragma once

#include "transfer/import/ImportItems.h"
#include "transfer/import/ImportText.h"

#include <QByteArray>
#include <QString>
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
    // committed rows and their pick lists kept.
    void Abandon();
    [[nodiscard]] const TImportCounts& Counts() const { return FCounts; }

    // Appends "ReadCount,reason,line" with CR LF to the error file, making it anew for the run's
    // first refused line.
    void WriteErrorLine(int Reason, int ReadCount, const QByteArray& Line);

private:
    // Closes what Begin opened.
    void Close();
    // Deletes the rows the run added; false when the disk refused that too.
    bool RemoveAddedRows();

    bool FErrorFileStarted = false;
    TImportCounts FCounts;
    std::unique_ptr<TContinualAdrsSearch> FAdrsSearch;
    std::unique_ptr<QFile> FFile;
    std::unique_ptr<TImportLineReader> FReader;
    std::unique_ptr<TTableUse> FUse;
    TTable* FTable = nullptr;
    std::unique_ptr<TImportStore> FStore;
};
