#include "transfer/import/ImportRun.h"

#include "directory/dic/ConAdrsDicClass.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/text/Cp932.h"
#include "transfer/common/TableCopy.h"
#include "transfer/import/ImportStore.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <sys/stat.h>

bool IsImportErrorFile(const QString& FileName, const QString& DataPath)
{
    const QString ErrorFile = QFileInfo(DataPath + ImportErrorFileName).absoluteFilePath();
    if (QFileInfo(FileName).absoluteFilePath().compare(ErrorFile, Qt::CaseInsensitive) == 0)
        return true;
    struct stat Given
    {
    };
    struct stat Error
    {
    };
    return ::stat(QFile::encodeName(FileName).constData(), &Given) == 0 &&
           ::stat(QFile::encodeName(ErrorFile).constData(), &Error) == 0 && Given.st_dev == Error.st_dev &&
           Given.st_ino == Error.st_ino;
}

QString ImportBackupFolder(const QString& DataPath, TImportDest Dest)
{
    return DataPath +
           (Dest == TImportDest::RecvHis ? QStringLiteral("backupRH.imp/") : QStringLiteral("backupMB.imp/"));
}

const QStringList& ImportTableFiles(TImportDest Dest)
{
    return Dest == TImportDest::RecvHis ? RecvHisTableFiles : MeiboTableFiles;
}

QString ImportSummaryText(const TImportCounts& Counts)
{
    return QStringLiteral("テキストファイルの取り込みが完了しました  \r\n\r\n読込件数 : %1 件\r\n登録件数 : %2 件")
        .arg(Counts.ReadCount)
        .arg(Counts.StoredCount);
}

void TImportRun::WriteErrorLine(int Reason, int ReadCount, const QByteArray& Line)
{
    QFile File(DataPath + ImportErrorFileName);
    const QIODevice::OpenMode Mode =
        FErrorFileStarted ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate;
    if (!File.open(Mode, QFile::ReadOwner | QFile::WriteOwner))
        throw EInOutError(QStringLiteral("エラーファイルに書き込めませんでした  \r\n") + File.fileName());
    FErrorFileStarted = true;
    File.write(QByteArray::number(ReadCount) + ',' + Cp932Encode(ReasonText(Reason)) + ',' + Line + "\r\n");
}

TImportCounts TImportRun::RunImport()
{
    FErrorFileStarted = false;
    const bool Directory = Options.Dest == TImportDest::Meibo;
    // The history takes no address; the directory asks the address library only when told to.
    std::unique_ptr<TContinualAdrsSearch> AdrsSearch;
    if (Directory && !Options.NotAutoSupplement)
        AdrsSearch = std::make_unique<TContinualAdrsSearch>(ProgramPath, ProgramPath + QStringLiteral("Dic/"));

    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("テキストファイルが読み込めませんでした  \r\n") + FileName);
    TImportLineReader Reader(File);
    QByteArray Line;
    if (Options.SkipRecord)
        (void)Reader.ReadLine(Line);

    const TDataTable Which = Directory ? TDataTable::Meibo : TDataTable::RecvHis;
    TTableUse Use(*DMVxRelvo16, Which);
    if (!Use.Opened())
        throw EDatabaseError(Directory ? MeiboOpenError : RecvHisOpenError);
    TTable& Table = Directory ? *MeiboTable : *RecvHisTable;

    TImportStore Store(Table, Options.Dest);
    Store.SameReplace = Options.SameReplace;
    Store.AdrsSearch = AdrsSearch.get();
    Store.ReadTableState();

    TImportCounts Counts;
    // One transaction for the run, a savepoint for each line: a refused line leaves nothing, and
    // whatever ends the loop, the rows stored so far are committed.
    Table.StartTransaction();
    try {
        while (Reader.ReadLine(Line)) {
            ++Counts.ReadCount;
            int Reason = ImportStored;
            if (CountFields(Line) != SourceCount - 1) {
                Reason = ReasonFieldCount;
            } else if (const std::optional<QStringList> Fields = LineValues(Line, SourceCount); !Fields) {
                Reason = ReasonOther;
            } else {
                Table.Savepoint(QStringLiteral("ImportLine"));
                Reason = Store.StoreRecord(BuildItemValues(Mapping, *Fields));
                if (Reason == ImportStored)
                    Table.ReleaseSavepoint(QStringLiteral("ImportLine"));
                else
                    Table.RollbackToSavepoint(QStringLiteral("ImportLine"));
                if (Reason == ImportStop)
                    break;
            }
            if (Reason == ImportStored)
                ++Counts.StoredCount;
            else
                WriteErrorLine(Reason, Counts.ReadCount, Line);
            if (StepProgress)
                StepProgress();
        }
        if (File.error() != QFileDevice::NoError)
            throw EInOutError(QStringLiteral("テキストファイルが読み込めませんでした  \r\n") + FileName);
    } catch (...) {
        Table.Commit();
        Store.SavePickLists();
        throw;
    }
    Table.Commit();
    Store.SavePickLists();
    return Counts;
}
