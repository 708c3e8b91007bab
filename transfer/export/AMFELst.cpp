#include "transfer/export/AMFELst.h"

TAddMeiboFileExportList::TAddMeiboFileExportList(QWidget* Owner) : TFileExportList(Owner, ExportSourceMeibo)
{
    setObjectName(QStringLiteral("AddMeiboFileExportList"));
    setWindowTitle(QStringLiteral("テキストファイル出力　登録名簿一覧"));
}
