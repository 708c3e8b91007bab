#pragma once

#include "transfer/export/FELst.h"

// "テキストファイル出力　着信対応履歴一覧": the call history to export, newest call first.
class TRecvHisFileExportList : public TFileExportList
{
    Q_OBJECT
public:
    explicit TRecvHisFileExportList(QWidget* Owner = nullptr);
};
