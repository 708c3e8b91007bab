#include "main/MainWiring.h"

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

    Hooks.AskStartupPassword = StartupPasswordStep;
    Hooks.StartupUpdateCheck = StartupUpdateCheckStep;
    Hooks.RunAutoBackup = ::RunAutoBackup;
    Hooks.ShowVersionInfo = ::ShowVersionInfo;
}
