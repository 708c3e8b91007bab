#include "transfer/export/RHFELst.h"

TRecvHisFileExportList::TRecvHisFileExportList(QWidget* Owner) : TFileExportList(Owner, ExportSourceHistory)
{
    setObjectName(QStringLiteral("RecvHisFileExportList"));
    setWindowTitle(QStringLiteral("テキストファイル出力　着信対応履歴一覧"));
}
