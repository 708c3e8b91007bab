#pragma once

#include "transfer/export/FELst.h"

// "テキストファイル出力　登録名簿一覧": the directory to export, in one of its six orders.
class TAddMeiboFileExportList : public TFileExportList
{
    Q_OBJECT
public:
    explicit TAddMeiboFileExportList(QWidget* Owner = nullptr);
};
