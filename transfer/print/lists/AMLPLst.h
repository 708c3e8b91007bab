#pragma once

#include "transfer/print/lists/LPLst.h"

// "一覧表印刷　登録名簿一覧".
class TAddMeiboListPrintList : public TListPrintList
{
    Q_OBJECT
public:
    explicit TAddMeiboListPrintList(const TListPrintModel& Print, QWidget* Owner = nullptr);
    QListWidget* lbxAddMeibo;
    TMyHeaderControl* myhcMeibo;
};
