#include "apps/VxRelvo16/ReceiveViewWiring.h"
#include "apps/VxRelvo16/DictionaryLink.h"
#include "calls/CallLinks.h"
#include "calls/HisList.h"
#include "calls/RecvView.h"
#include "calls/adapter/GetHis.h"
#include "calls/memo/MemoPrint.h"
#include "directory/list/MeiboLst.h"
#include "directory/maps/MapButtons.h"
#include "directory/namedic/NameDicOpener.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/identify/AppSub.h"
#include "main/pipeline/CallPipeline.h"
#include "main/pipeline/CallWiring.h"
#include "main/settings/EnvApply.h"
#include "main/settings/Settings.h"
#include "main/start/MainHooks.h"
#include "main/start/MainStartup.h"
#include "main/start/ProgramBody.h"
#include "main/tables/DBInfo.h"
#include "platform/sys/FileVersionNote.h"
#include "transfer/export/AMFELst.h"
#include "transfer/export/ExportEncrypt.h"
#include "transfer/export/FExport.h"
#include "transfer/export/RHFELst.h"
#include "transfer/import/FImport.h"
#include "transfer/import/ImportRun.h"
#include "transfer/print/ListPrtDlg.h"
#include "widelayer/UniSystem.h"


VX_FILE_VERSION(ProductVersionMajor, ProductVersionMinor, ProductVersionRelease, ProductVersionBuild);

// The call-history list sits above the main window's subsystem; it joins the start-up here.
static void InstallHistoryListHooks()
{
    MainHooks().CreateHistoryList = [] {
        // One idle flag for the whole program: a dialog of the list, its start-up purge question
        // included, holds back the call pop-ups too.
        HistoryList = new THistoryList(nullptr, &UIIdle);
        InstallReceiveView(*HistoryList); // the list opens and refills the incoming-call window
        // The name edits of the incoming-call window offer names from the name-reading dictionary.
        ReceiveViewTools.ConvertNeed = [](TReceiveView& View, TNMDEdit& Edit, int Kind, bool Show,
                                          const QString& Value) { NameDicConvertNeed(&View, Edit, Kind, Show, Value); };
        ReceiveViewTools.ConvertKeyDown = [](TReceiveView& View, unsigned Key) {
            return NameDicConvertKeyDown(&View, Key);
        };
        // The dictionary dialog, the pick-list editor and the dial dialog.
        InstallReceiveViewTools();
        HistoryList->IdentifyCaller = [](bool EarlierSearch, bool Ask, const QString& Tel, TCallerRecord& Record) {
            (void)IdentifyCaller(EarlierSearch, Ask, Tel, Record);
        };
    };
    // The incoming-call window prints and copies memos; the adapter's own log is read into the list.
    InstallMemoPrint();
    MainHooks().ShowGetReceiveHistory = ShowGetReceiveHistory;
    MainHooks().ShowHistoryList = [] {
        if (HistoryList)
            HistoryList->ShowAtUsersRequest();
    };
    MainHooks().FreeHistoryList = [] { delete HistoryList; };
    EnvHooks().ReloadHistoryList = [] {
        if (HistoryList)
            HistoryList->LoadPage(0, 0);
    };
    LinkCallWindows = [](TCallPipelineLinks& Links) {
        LinkCallPipelineToHistoryList(Links);
        Links.SaveShownCall = ReceiveViewSaveBeforeRefill; // the shown call is saved before a refill
    };
    EnvHooks().SetHistoryHeader = [](int, const QString&) {
        if (HistoryList)
            HistoryList->RenameSelectItemSections();
    };
}

// The directory list, opened modally by the menus' "登録名簿(&M)"; the main window holds the idle
// flag down meanwhile.
static void InstallMeiboListHook()
{
    MainHooks().ShowMeiboList = [](QWidget* Owner) {
        TMeiboList List(Owner);
        List.exec();
    };
}

// The text import and export open from the menus; the import reloads the call-history list after a run that stored
// calls, without linking the list itself.
static void InstallFileImportHooks()
{
    MainHooks().ShowFileImport = [](QWidget* Owner) {
        TFileImport Import(Owner);
        Import.exec();
    };
    MainHooks().CleanUpAfterLastEnd = [](QWidget* Owner) {
        RemoveStaleEncryptWorkFolders(SettingsPath);
        if (!DMVxRelvo16)
            return;
        // An import that the end of the program cut short may have left its table without some
        // of its indexes; they come back before anyone walks the table in their order.
        RestoreImportIndexes(DMVxRelvo16->DataPath());
        if (const QString Notice = TakeUnfinishedImportNotice(DMVxRelvo16->DataPath()); !Notice.isEmpty())
            (void)MessageBoxPos(Owner, Notice, ProductName, MB_OK | MB_ICONINFORMATION);
    };
    MainHooks().ShowFileExport = [](QWidget* Owner) {
        TFileExport Export(*DMVxRelvo16, Owner);
        Export.exec();
    };
    FileExportHooks().ShowList = [](QWidget* Owner, int Source, const TExportLayout& Layout,
                                    const QStringList& ItemNames) {
        std::unique_ptr<TFileExportList> List;
        if (Source == ExportSourceMeibo)
            List = std::make_unique<TAddMeiboFileExportList>(Owner);
        else
            List = std::make_unique<TRecvHisFileExportList>(Owner);
        List->SetLayout(Layout, ItemNames);
        List->exec();
    };
    // The list printing's settings window; it refuses to open without a printer.
    MainHooks().ShowListPrint = ShowListPrint;
    FileImportHooks().ReloadHistoryList = [] {
        if (HistoryList)
            HistoryList->LoadPage(0, 0);
    };
}

int main(int argc, char* argv[])
{
    // The wide layer reads and writes byte text in the code page the program's files have always
    // used; it is fixed before anything can convert.
    SetDefaultCodePage(CP_SJIS);
    InstallHistoryListHooks();
    InstallMeiboListHook();
    InstallDictionaryLink();
    InstallMapButtons();
    InstallReceiveViewMap();
    InstallFileImportHooks();
    return RunVxRelvo16(argc, argv);
}
