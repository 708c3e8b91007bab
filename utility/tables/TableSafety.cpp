#include "utility/tables/TableSafety.h"

#include "main/common/ProductInfo.h"
#include "platform/msg/CoreMessage.h"
#include "utility/start/UtilFolders.h"
#include "utility/start/UtilityRunning.h"
#include "platform/sys/Folders.h"

#include <QDir>

namespace Utility {

const QStringList& RecvHisFileList = RecvHisTableFiles;
const QStringList& MeiboFileList = MeiboTableFiles;
const QStringList RankFileList{QStringLiteral("Rank.mtd")};
const QStringList SelItemFileList{QStringLiteral("SelItem1.mtd"), QStringLiteral("SelItem2.mtd"),
                                  QStringLiteral("SelItem3.mtd")};
const QStringList TemplateFileList{QStringLiteral("LPRHis.tpl"), QStringLiteral("LPAMeibo.tpl")};

TMeasure MeasureTableFiles = MeasureBackup;

bool SaveTablesBeforeChange(const QString& FolderName)
{
    if (IsMainProgramRunning())
        return false;
    const QString Dest = DataPath + FolderName;
    const QStringList All = RecvHisFileList + MeiboFileList + RankFileList + SelItemFileList + TemplateFileList;
    const TBackupMeasure Measure = MeasureTableFiles(Dest, All, DataPath);
    if (Measure.NeededSize == 0) {
        (void)CoreMessageBox(QStringLiteral("バックアップするファイルがありませんでした  "), ProductName,
                             MB_OK | MB_ICONINFORMATION);
        return true;
    }
    if (!Measure.Fits()) {
        (void)CoreMessageBox(QStringLiteral("バックアップを取るための空き容量が足りません  "), ProductName,
                             MB_OK | MB_ICONINFORMATION);
        return true;
    }
    if (!CreateOwnerOnlyFolder(Dest)) {
        (void)CoreMessageBox(QStringLiteral("バックアップ先のフォルダーが作成できませんでした  "), ProductName,
                             MB_OK | MB_ICONERROR);
        return true;
    }
    // Each table goes whole or not at all, so the copy of an earlier run is never half replaced.
    for (const QStringList* List :
         {&RecvHisFileList, &MeiboFileList, &RankFileList, &SelItemFileList, &TemplateFileList})
        (void)CopyTableFiles(DataPath, Dest, *List);
    return true;
}

} // namespace Utility
