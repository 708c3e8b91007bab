#include "transfer/print/lists/RHLPLst.h"

namespace {

TListWindowKind RecvHisKind()
{
    return {QStringLiteral("LIST PRINT RECVHIS LIST"),
            77,
            24,
            QStringLiteral("印刷(&L)"),
            QStringLiteral("btnPrint"),
            QStringLiteral("lbxRecvHis"),
            QStringLiteral("myhcRecvHis")};
}

} // namespace

TRecvHisListPrintList::TRecvHisListPrintList(const TListPrintModel& Print, QWidget* Owner)
    : TListPrintList(Owner, ExportSourceHistory, Print, RecvHisKind()), lbxRecvHis(lbxList), myhcRecvHis(myhcList)
{
    setObjectName(QStringLiteral("RecvHisListPrintList"));
    setWindowTitle(QStringLiteral("一覧表印刷　着信対応履歴一覧"));
}
