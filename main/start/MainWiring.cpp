#include "main/start/MainWiring.h"

#include "directory/Dashrule.h"
#include "directory/Numfind.h"
#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/identify/DBInfoFb.h"
#include "main/identify/FbDialogs.h"
#include "main/identify/FbEditions.h"
#include "main/pipeline/CallPipeline.h"
#include "main/pipeline/CallWiring.h"
#include "main/settings/Env.h"
#include "main/settings/EnvApply.h"
#include "main/settings/Settings.h"
#include "main/start/MainForm.h"
#include "main/start/MainHooks.h"
#include "main/start/StartupSteps.h"
#include "main/tables/DBInfo.h"

namespace {

int SelectedFbSeries()
{
    return Settings.FbSeries == 1 ? 1 : 0;
}

// The start-up check of the address book the settings link to: true when it is missing or changed.
// Otherwise it is backed up as the settings ask; a failed backup is reported and the start goes on.
bool CheckFbAdrsBookAtStart(QWidget* MainWindow)
{
    FindDirectoryProductFolders();
    const QString DataFolder = FbDataPaths[SelectedFbSeries()];
    FbAdrsBooks.clear();
    if (!DataFolder.isEmpty())
        LoadAddressBookList(DataFolder + QStringLiteral("Adrs/"), true);
    const int Book = Settings.FbAdrsBook;
    if (DataFolder.isEmpty() || FbAdrsBooks.isEmpty() || Book < 0 || Book >= FbAdrsBooks.size() ||
        FbAdrsBooks[Book].Folder.isEmpty() || FbAdrsBooks[Book].Folder != Settings.FbAdrsBookName)
        return true;
    if (!Settings.FbBackup)
        return false;
    if (Settings.FbBackupDlg) {
        TBackupFb Dialog(MainWindow);
        CenterForm(&Dialog, MainWindow->isVisible() ? MainWindow : nullptr);
        if (Dialog.exec() != 1)
            return false;
    }
    if (!BackupFbAdrsWithProgress(MainWindow, Settings.DataPath))
        (void)MessageBoxPos(nullptr, FbBackupFailedText, ProductName, MB_OK | MB_ICONINFORMATION);
    return false;
}

// The directory command while the address-book link is on: the running program comes forward, else
// it is started, after asking when the settings say so. A program that cannot start says nothing.
void OpenFernbook(QWidget* MenuWindow)
{
    const int Series = SelectedFbSeries();
    if (ActivateFbIfRunning(Series))
        return;
    if (Settings.RunFbDlg) {
        TRunFb Dialog(MenuWindow);
        CenterForm(&Dialog, MenuWindow->isVisible() ? MenuWindow : nullptr);
        if (Dialog.exec() != 1)
            return;
    }
    (void)StartFbProgram(Series);
}

} // namespace

void InstallMainHooks()
{
    TMainHooks& Hooks = MainHooks();

    Hooks.CreateManual = ::CreateManual;
    Hooks.ManualUnusable = ::ManualUnusable;
    Hooks.ManualErrorText = ::ManualErrorText;
    Hooks.ShowManualPage = ::ShowManualPage;
    Hooks.CloseManualDocument = ::CloseManualDocument;
    Hooks.FreeManual = ::FreeManual;

    Hooks.ShowEnvironment = [](QWidget* Owner) {
        const int Result = ::ShowEnvironment(Owner);
        // An update by hand from the dialog restarts the program: the main window closes without asking.
        if (UpdateQuit)
            ClosingForUpdate = true;
        return Result;
    };
    EnvHooks().ChangeDataFolder = [](const QString& DataPath) {
        // The calls still waiting for their rows go with the history they are written to, and come
        // back with it when the new folder is refused.
        const QString OldPath = DMVxRelvo16 ? DMVxRelvo16->DataPath() : QString();
        if (CallPipeline)
            CallPipeline->MoveSpool(DataPath);
        try {
            if (DMVxRelvo16)
                DMVxRelvo16->ChangeDataPath(DataPath);
        } catch (...) {
            if (CallPipeline && !OldPath.isEmpty())
                CallPipeline->MoveSpool(OldPath);
            throw;
        }
    };
    EnvHooks().ApplyMainWindowView = [] {
        if (MainForm)
            MainForm->ApplyMenuView();
    };

    Hooks.CheckFbAdrsBook = CheckFbAdrsBookAtStart;
    Hooks.OpenFernbook = OpenFernbook;
    // The settings dialog may have made it already when it was entered at start.
    Hooks.CreateFbDataModule = [] {
        if (!DMFbarea)
            DMFbarea = new TDMFbarea(Settings.FbSeries);
    };
    Hooks.FreeFbDataModule = [] {
        delete DMFbarea;
        DMFbarea = nullptr;
    };
    InstallFbEnvHooks();

    // The telephone-number dictionary from the program folder, the hyphenation with its rules in "Dic/".
    Hooks.LoadDictionaries = [] {
        (void)LoadNumberDictionary(QString(), ProductName);
        (void)LoadHyphenLibrary(ProgramPath, ProgramPath + QStringLiteral("Dic/"));
    };
    Hooks.FreeDictionaries = [] {
        FreeHyphenLibrary();
        FreeNumberDictionary();
    };

    Hooks.AskStartupPassword = StartupPasswordStep;
    Hooks.StartupUpdateCheck = StartupUpdateCheckStep;
    Hooks.RunAutoBackup = ::RunAutoBackup;
    Hooks.ShowVersionInfo = ::ShowVersionInfo;

    // The device library's notifications, the call pipeline and the extension library.
    InstallCallPipeline();
}
