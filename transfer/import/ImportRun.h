#pragma once

#include "transfer/import/ImportItems.h"
#include "transfer/import/ImportText.h"

#include <QByteArray>
#include <QString>
#include <functional>

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

struct TImportOptions
{
    TImportDest Dest = TImportDest::RecvHis;
    bool SkipRecord = false;
    bool SameReplace = false;
    bool NotAutoSupplement = false;
};

struct TImportCounts
{
    int ReadCount = 0;
    int StoredCount = 0;
};

// The summary box's text.
[[nodiscard]] QString ImportSummaryText(const TImportCounts& Counts);

class TImportRun
{
public:
    QString FileName;
    QString DataPath;    // with its trailing "/"
    QString ProgramPath; // the address completion's library folder, with its trailing "/"
    int SourceCount = 0; // the fields of line 1
    TImportMapping Mapping;
    TImportOptions Options;
    // Called after each line.
    std::function<void()> StepProgress;

    // The run; the data module's tables are used. Throws an Exception with the message for the user
    // when the run cannot go on (the address completion cannot be had, the file cannot be read,
    // the table cannot be opened or written); the rows stored before stay.
    [[nodiscard]] TImportCounts RunImport();

    // Appends "ReadCount,reason,line" with CR LF to the error file, making it anew for the run's
    // first refused line.
    void WriteErrorLine(int Reason, int ReadCount, const QByteArray& Line);

private:
    bool FErrorFileStarted = false;
};
