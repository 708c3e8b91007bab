#include "transfer/import/ImportRun.h"

#include "directory/dic/ConAdrsDicClass.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/db/TableIndexes.h"
#include "platform/sys/SafeWrite.h"
#include "platform/text/Cp932.h"
#include "transfer/common/TableCopy.h"
#include "transfer/import/ImportStore.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <sys/stat.h>
#include <utility>

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

void MarkImportUnfinished(const QString& DataPath, TImportDest Dest, bool Unfinished)
{
    const QString Mark = DataPath + ImportUnfinishedFileName;
    if (!Unfinished) {
        QFile::remove(Mark);
        return;
    }
    (void)WriteFileSafely(Mark, Dest == TImportDest::RecvHis ? "RecvHis\n" : "Meibo\n", TFileAccess::OwnerOnly);
}

QString TakeUnfinishedImportNotice(const QString& DataPath)
{
    QFile Mark(DataPath + ImportUnfinishedFileName);
    if (!Mark.open(QIODevice::ReadOnly))
        return {};
    const TImportDest Dest = Mark.read(16).startsWith("Meibo") ? TImportDest::Meibo : TImportDest::RecvHis;
    Mark.close();
    Mark.remove();
    return QStringLiteral("前回のテキストファイルの取り込みは、プログラムが終了したため最後まで行われませんでした  \r\n"
                          "途中までの%1が登録されています  \r\n"
                          "取り込み前の%2は「%3」フォルダにバックアップしてあります  ")
        .arg(Dest == TImportDest::RecvHis ? QStringLiteral("着信データ") : QStringLiteral("名簿データ"),
             Dest == TImportDest::RecvHis ? QStringLiteral("着信対応履歴") : QStringLiteral("登録名簿"),
             QDir::toNativeSeparators(ImportBackupFolder(DataPath, Dest)));
}

QString ImportDiskErrorText(const QString& DataPath, TImportDest Dest, bool Undone)
{
    const QString Table = Dest == TImportDest::RecvHis ? QStringLiteral("着信対応履歴") : QStringLiteral("登録名簿");
    return QStringLiteral("ディスクの空き容量が不足しているか、ディスクに書き込めないため  \r\n"
                          "テキストファイルの取り込みを中止しました  \r\n") +
           (Undone ? QStringLiteral("取り込んだデータは取り消し、%1は取り込み前の状態です  \r\n").arg(Table)
                   : QStringLiteral("途中までのデータが%1に残っている可能性があります  \r\n").arg(Table)) +
           QStringLiteral("取り込み前の%1は「%2」フォルダにバックアップしてあります  ")
               .arg(Table, QDir::toNativeSeparators(ImportBackupFolder(DataPath, Dest)));
}

QString ImportSummaryText(const TImportCounts& Counts)
{
    return QStringLiteral("テキストファイルの取り込みが完了しました  \r\n\r\n読込件数 : %1 件\r\n登録件数 : %2 件")
        .arg(Counts.ReadCount)
        .arg(Counts.StoredCount);
}

bool DefersIndexes(qint64 Lines, qint64 Rows, qint64 MinLines)
{
    return Lines >= MinLines && Lines >= Rows;
}

QStringList IndexesKeptByImport(TImportDest Dest)
{
    // The directory's run looks every line's numbers up, and so does the identification of a call.
    if (Dest == TImportDest::Meibo)
        return {QStringLiteral("SchTel1"), QStringLiteral("SchTel2")};
    return {};
}

int RestoreImportIndexes(TTable& Table)
{
    return MissingIndexes(Table).isEmpty() ? 0 : BuildMissingIndexes(Table);
}

void RestoreImportIndexes(const QString& DataPath)
{
    for (const QString& File : {RecvHisFileName, MeiboFileName}) {
        TTable Table;
        Table.SetDatabaseName(DataPath);
        Table.SetTableName(File);
        if (!Table.Exists())
            continue;
        try {
            Table.Open();
            (void)RestoreImportIndexes(Table);
        } catch (const std::exception& Error) {
            qWarning().noquote() << "The indexes of" << File << "could not be built:" << Error.what();
        }
    }
}

void TImportRun::WriteErrorLine(int Reason, int ReadCount, const QByteArray& Line)
{
    QFile File(DataPath + ImportErrorFileName);
    const QIODevice::OpenMode Mode =
        FErrorFileStarted ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate;
    if (!File.open(Mode, QFile::ReadOwner | QFile::WriteOwner))
        throw EInOutError(QStringLiteral("エラーファイルに書き込めませんでした  \r\n") + File.fileName());
    FErrorFileStarted = true;
    const QByteArray Bytes =
        QByteArray::number(ReadCount) + ',' + Cp932Encode(ReasonText(Reason)) + ',' + Line + "\r\n";
    if (File.write(Bytes) != Bytes.size() || !File.flush())
        throw EImportDiskError(QStringLiteral("エラーファイルに書き込めませんでした  \r\n") + File.fileName());
}

TImportRun::TImportRun() = default;
TImportRun::TImportRun(TImportRun&&) noexcept = default;
TImportRun& TImportRun::operator=(TImportRun&&) noexcept = default;

TImportRun::~TImportRun()
{
    Close();
}

void TImportRun::Close()
{
    FStore.reset();
    FTable = nullptr;
    FUse.reset();
    FReader.reset();
    FFile.reset();
    FAdrsSearch.reset();
}

TImportCounts TImportRun::RunImport()
{
    Begin();
    while (RunBatch(std::chrono::milliseconds::max())) {
    }
    return Finish();
}

void TImportRun::Begin()
{
    Close();
    FErrorFileStarted = false;
    FCounts = {};
    const bool Directory = Options.Dest == TImportDest::Meibo;
    // The history takes no address; the directory asks the address library only when told to.
    if (Directory && !Options.NotAutoSupplement)
        FAdrsSearch = std::make_unique<TContinualAdrsSearch>(ProgramPath, ProgramPath + QStringLiteral("Dic/"));

    FFile = std::make_unique<QFile>(FileName);
    if (!FFile->open(QIODevice::ReadOnly)) {
        Close();
        throw EInOutError(QStringLiteral("テキストファイルが読み込めませんでした  \r\n") + FileName);
    }
    FReader = std::make_unique<TImportLineReader>(*FFile);
    QByteArray Line;
    if (Options.SkipRecord)
        (void)FReader->ReadLine(Line);

    FUse = std::make_unique<TTableUse>(*DMVxRelvo16, Directory ? TDataTable::Meibo : TDataTable::RecvHis);
    if (!FUse->Opened()) {
        Close();
        throw EDatabaseError(Directory ? MeiboOpenError : RecvHisOpenError);
    }
    FTable = Directory ? MeiboTable : RecvHisTable;
    // The run meets the data module here: its table and pick lists are handed to the store.
    FStore = std::make_unique<TImportStore>(*FTable, Options.Dest, TImportPickLists{RankHistory, SelItemHistory});
    FStore->SameReplace = Options.SameReplace;
    FStore->AdrsSearch = FAdrsSearch.get();
    FStore->ReadTableState();
    FIndexesDeferred = false;
    if (DefersIndexes(LineCount, FStore->RecordCount, DeferIndexesFrom)) {
        try {
            FIndexesDeferred = !DropSecondaryIndexes(*FTable, IndexesKeptByImport(Options.Dest)).isEmpty();
        } catch (const EDatabaseError& Error) {
            // Another program reading the table for longer than the session waits: the rows go into
            // the indexes one by one, as in a small run.
            qWarning().noquote() << "The import keeps the indexes:" << Error.Message();
        }
    }
}

bool TImportRun::RunBatch(std::chrono::milliseconds Budget, const std::function<bool()>& Yield)
{
    if (!FStore)
        return false;
    TTable& Table = *FTable;
    // Calls between two batches may have added rows and moved the table's cursor.
    FStore->ReadNextRecNo();
    QElapsedTimer Clock;
    Clock.start();
    bool More = true;
    QByteArray Line;
    // One transaction for the batch. A line writes its row with one statement, after every check
    // that may refuse it, and a statement that fails is undone whole by SQLite: a refused line
    // leaves nothing without a savepoint of its own, which would copy every page the row touches.
    Table.StartTransaction();
    try {
        while (true) {
            if (!FReader->ReadLine(Line)) {
                More = false;
                break;
            }
            ++FCounts.ReadCount;
            int Reason = ImportStored;
            if (CountFields(Line, Options.Encoding) != SourceCount - 1) {
                Reason = ReasonFieldCount;
            } else if (const std::optional<QStringList> Fields = LineValues(Line, SourceCount, Options.Encoding);
                       !Fields) {
                Reason = ReasonOther;
            } else {
                Reason = FStore->StoreRecord(BuildItemValues(Mapping, *Fields));
                if (Reason == ImportStop) {
                    More = false;
                    break;
                }
            }
            if (Reason == ImportStored)
                ++FCounts.StoredCount;
            else
                WriteErrorLine(Reason, FCounts.ReadCount, Line);
            if (Clock.elapsed() >= Budget.count() || (Yield && Yield()))
                break;
        }
        if (FFile->error() != QFileDevice::NoError)
            throw EInOutError(QStringLiteral("テキストファイルが読み込めませんでした  \r\n") + FileName);
        Table.Commit();
    } catch (const std::exception& Error) {
        const auto* Database = dynamic_cast<const EDatabaseError*>(&Error);
        if (dynamic_cast<const EImportDiskError*>(&Error) || (Database && Database->DiskFailed())) {
            // A disk that takes no more would refuse every further line: the run stops, and what it
            // stored goes again, so that the table is what it was before and the backup says the same.
            if (Table.InTransaction())
                Table.Rollback();
            FailOnDisk();
        }
        // Whatever else ends the run, the rows stored so far are kept where they can be.
        if (Table.InTransaction()) {
            try {
                Table.Commit();
            } catch (const std::exception&) {
                Table.Rollback();
            }
        }
        (void)TryRestoreIndexes();
        FStore->SavePickLists();
        Close();
        throw;
    }
    return More;
}

void TImportRun::FailOnDisk()
{
    const bool Removed = RemoveAddedRows();
    // Without the run's rows the indexes take the pages they had before.
    (void)TryRestoreIndexes();
    Close();
    throw EInOutError(ImportDiskErrorText(DataPath, Options.Dest, Removed));
}

bool TImportRun::TryRestoreIndexes()
{
    if (!FIndexesDeferred)
        return true;
    try {
        (void)BuildMissingIndexes(*FTable);
        FIndexesDeferred = false;
        return true;
    } catch (const std::exception& Error) {
        qWarning().noquote() << "The indexes wait for the next start:" << Error.what();
        return false;
    }
}

bool TImportRun::RemoveAddedRows()
{
    TTable& Table = *FTable;
    try {
        Table.StartTransaction();
        Table.SetIndexName({});
        for (const int RecNo : std::as_const(FStore->AddedRecNos))
            if (Table.FindKey({RecNo}))
                Table.Delete();
        Table.Commit();
        FStore->AddedRecNos.clear();
        // Replaced entries are only in the backup.
        return FStore->ReplacedCount == 0;
    } catch (const std::exception&) {
        if (Table.InTransaction())
            Table.Rollback();
        return false;
    }
}

TImportCounts TImportRun::Finish()
{
    if (FStore && FIndexesDeferred) {
        try {
            (void)BuildMissingIndexes(*FTable);
            FIndexesDeferred = false;
        } catch (const EDatabaseError& Error) {
            if (Error.DiskFailed())
                FailOnDisk();
            // The rows are all there; the indexes that could not be had now come at the next start.
            qWarning().noquote() << "The indexes wait for the next start:" << Error.Message();
        }
    }
    if (FStore)
        FStore->SavePickLists();
    Close();
    return FCounts;
}

void TImportRun::Abandon()
{
    if (FStore)
        FStore->SavePickLists();
    Close();
}
