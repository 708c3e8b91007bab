#include "main/MainWiring.h"

#include "main/DBInfo.h"
#include "main/Env.h"
#include "main/EnvApply.h"
#include "main/MainForm.h"
#include "main/MainHooks.h"
#include "main/StartupSteps.h"

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
        if (DMVxRelvo16)
            DMVxRelvo16->ChangeDataPath(DataPath);
    };
    EnvHooks().ApplyMainWindowView = [] {
        if (MainForm)
            MainForm->ApplyMenuView();
    };

    Hooks.AskStartupPassword = StartupPasswordStep;
    Hooks.StartupUpdateCheck = StartupUpdateCheckStep;
    Hooks.RunAutoBackup = ::RunAutoBackup;
    Hooks.ShowVersionInfo = ::ShowVersionInfo;
}
