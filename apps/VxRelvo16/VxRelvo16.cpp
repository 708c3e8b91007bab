#include "calls/CallLinks.h"
#include "calls/HisList.h"
#include "main/CallWiring.h"
#include "main/EnvApply.h"
#include "main/MainHooks.h"
#include "main/ProgramBody.h"

// The call-history list sits above the main window's subsystem; it joins the start-up here.
static void InstallHistoryListHooks()
{
    MainHooks().CreateHistoryList = [] { HistoryList = new THistoryList; };
    MainHooks().ShowHistoryList = [] {
        if (HistoryList) {
            HistoryList->show();
            HistoryList->BringForward();
        }
    };
    MainHooks().FreeHistoryList = [] { delete HistoryList; };
    EnvHooks().ReloadHistoryList = [] {
        if (HistoryList)
            HistoryList->LoadPage(0, 0);
    };
    LinkCallWindows = LinkCallPipelineToHistoryList;
    EnvHooks().SetHistoryHeader = [](int, const QString&) {
        if (HistoryList)
            HistoryList->RenameSelectItemSections();
    };
}

int main(int argc, char* argv[])
{
    InstallHistoryListHooks();
    return RunVxRelvo16(argc, argv);
}
