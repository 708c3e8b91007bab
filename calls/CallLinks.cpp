#include "calls/CallLinks.h"

#include "calls/HisList.h"
#include "main/pipeline/CallPipeline.h"
#include "main/tables/DBInfo.h"

void LinkCallPipelineToHistoryList(TCallPipelineLinks& Links)
{
    Links.ShowToday = [] {
        if (HistoryList)
            HistoryList->ShowToday();
    };
    Links.HistoryListShowing = [] { return HistoryList && HistoryList->isVisible(); };
    Links.ReloadHistoryList = [] {
        if (!HistoryList)
            return;
        TQuietWhenBusy Quiet;
        HistoryList->LoadPage(0, 1);
    };
    Links.ShowHistoryList = [] {
        if (!HistoryList)
            return;
        HistoryList->show();
        HistoryList->BringForward();
    };
    Links.OpenReceiveView = [](const TCallerRecord& Record) {
        if (HistoryList)
            HistoryList->OpenReceiveView(Record);
    };
    Links.ReceiveViewExists = [] {
        return HistoryList && HistoryList->ReceiveViewLink.Exists && HistoryList->ReceiveViewLink.Exists();
    };
    Links.ReceiveViewLocked = [] {
        return HistoryList && HistoryList->ReceiveViewLink.RefillGuard && HistoryList->ReceiveViewLink.RefillGuard();
    };
}
