#pragma once

#include "transfer/print/lists/LPLst.h"

// "一覧表印刷　着信対応履歴一覧".
class TRecvHisListPrintList : public TListPrintList
{
    Q_OBJECT
public:
    explicit TRecvHisListPrintList(const TListPrintModel& Print, QWidget* Owner = nullptr);
    QListWidget* lbxRecvHis;
    TMyHeaderControl* myhcRecvHis;
};
