#include "main/pipeline/CallFaults.h"

#include "platform/sys/SysError.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// Less than this free on the data folder's disk, and a table's next journal and pages do not fit.
constexpr qint64 TableRoom = 256 * 1024;

bool Writable(const QString& Path)
{
    return ::access(QFileInfo(Path).absoluteFilePath().toLocal8Bit().constData(), W_OK) == 0;
}

bool DiskIsFull(const QString& Folder)
{
    const QStorageInfo Storage(Folder);
    return Storage.isValid() && Storage.isReady() && Storage.bytesAvailable() < TableRoom;
}

// A function, not a constant: the texts are also wanted by constants of other files, made before
// any of this file's.
QString Kept()
{
    return QStringLiteral("着信データは保存してあり、");
}

QString CauseOf(int Error)
{
    return Error != 0 ? SysErrorMessage(Error) : QStringLiteral("ファイルを開けません。");
}

} // namespace

THistoryFault HistoryFaultOf(int SqliteCode, const QString& Folder, const QString& File)
{
    switch (SqliteCode & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return THistoryFault::Busy;
    case SQLITE_FULL:
        return THistoryFault::DiskFull;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return THistoryFault::Damaged;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return THistoryFault::NoPermission;
    default:
        break;
    }
    // A journal that cannot be made says only "cannot open" or "disk I/O error": the folder tells.
    if (DiskIsFull(Folder))
        return THistoryFault::DiskFull;
    if (!Writable(Folder) || (QFileInfo::exists(File) && !Writable(File)))
        return THistoryFault::NoPermission;
    if ((SqliteCode & 0xFF) == SQLITE_IOERR)
        return THistoryFault::IoError;
    return THistoryFault::Unopenable;
}

QString HistoryFaultText(THistoryFault Fault)
{
    switch (Fault) {
    case THistoryFault::None:
        return {};
    case THistoryFault::Busy:
        return QStringLiteral("着信対応履歴が他のプログラムで使用中のため、着信データを登録できませんでした  \r\n") +
               Kept() + QStringLiteral("使用が終わりしだい登録します  ");
    case THistoryFault::DiskFull:
        return QStringLiteral(
                   "ディスクの空き容量が不足しているため、着信データを着信対応履歴に登録できませんでした  \r\n") +
               Kept() + QStringLiteral("空き容量ができしだい登録します  ");
    case THistoryFault::NoPermission:
        return QStringLiteral("データフォルダへの書き込みが許可されていないため、着信データを着信対応履歴に登録できませ"
                              "んでした  \r\n") +
               Kept() + QStringLiteral("書き込めるようになりしだい登録します  ");
    case THistoryFault::Damaged:
        return QStringLiteral("着信対応履歴ファイルが壊れているため、着信データを登録できませんでした  \r\n"
                              "ユーティリティで修復してください  \r\n") +
               Kept() + QStringLiteral("修復が終わりしだい登録します  ");
    case THistoryFault::Unopenable:
        return QStringLiteral(
                   "着信対応履歴ファイルが見つからないか開けないため、着信データを登録できませんでした  \r\n") +
               Kept() + QStringLiteral("開けるようになりしだい登録します  ");
    case THistoryFault::IoError:
        return QStringLiteral("着信対応履歴ファイルの読み書きでディスクのエラーが起きたため、着信データを登録できません"
                              "でした  \r\n") +
               Kept() + QStringLiteral("読み書きできるようになりしだい登録します  ");
    }
    return {};
}

QString WaitingCallsWrittenText(int Count)
{
    return QStringLiteral("登録を待っていた着信データ %1 件を着信対応履歴に登録しました  ").arg(Count);
}

QString SpoolFaultText(const QString& SpoolFile, int Error)
{
    return QStringLiteral("着信データを一時保存するファイル「%1」に書き込めません  \r\n%2  \r\n"
                          "着信データはメモリーにだけ保持しているため、このままプログラムが終了すると失われます  \r\n"
                          "書き込めるようになりしだい保存し、着信対応履歴に登録します  ")
        .arg(SpoolFile, CauseOf(Error));
}

QString SpoolNotMovedText(const QString& OldFolder, const QString& NewFolder, int Error)
{
    return QStringLiteral("登録を待っている着信データを新しいデータフォルダ「%1」に移せませんでした  \r\n%2  \r\n"
                          "着信データは「%3」に保存したまま、着信対応履歴に登録します  ")
        .arg(NewFolder, CauseOf(Error), OldFolder);
}

QString EarlierSpoolTakenText(const QString& Folder, int Count)
{
    return QStringLiteral(
               "以前のデータフォルダ「%1」に、着信対応履歴に登録されていない着信データが %2 件残っていました  \r\n"
               "現在のデータフォルダの着信対応履歴に登録します  ")
        .arg(Folder)
        .arg(Count);
}

QString EarlierSpoolKeptText(const QString& Folder, int Error)
{
    return QStringLiteral("以前のデータフォルダ「%1」に残っている着信データを確認できませんでした  \r\n%2  \r\n"
                          "着信データはそのままにしてあります  \r\n"
                          "フォルダを使えるようにしてから、プログラムを起動し直してください  ")
        .arg(Folder, CauseOf(Error));
}
