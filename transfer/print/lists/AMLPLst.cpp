#include "transfer/print/lists/AMLPLst.h"

namespace {

TListWindowKind MeiboKind()
{
    return {QStringLiteral("LIST PRINT MEIBO LIST"),
            77,
            37,
            QStringLiteral("印刷(&L)"),
            QStringLiteral("btnPrint"),
            QStringLiteral("lbxAddMeibo"),
            QStringLiteral("myhcMeibo")};
}

} // namespace

TAddMeiboListPrintList::TAddMeiboListPrintList(const TListPrintModel& Print, QWidget* Owner)
    : TListPrintList(Owner, ExportSourceMeibo, Print, MeiboKind()), lbxAddMeibo(lbxList), myhcMeibo(myhcList)
{
    setObjectName(QStringLiteral("AddMeiboListPrintList"));
    setWindowTitle(QStringLiteral("一覧表印刷　登録名簿一覧"));
}
