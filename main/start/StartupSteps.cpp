#include "main/start/StartupSteps.h"

#include "main/help/PDFHelp.h"
#include "main/help/VerInfo.h"
#include "main/settings/Settings.h"
#include "main/start/InputPW.h"
#include "main/update/AtBackup.h"
#include "main/update/UpdCheck.h"

#include <QApplication>
#include <memory>

namespace {

std::unique_ptr<TPDFHelp>& Manual()
{
    static std::unique_ptr<TPDFHelp> Instance;
    return Instance;
}

} // namespace

bool StartupPasswordStep(QWidget* MainWindow)
{
    return AskStartupPassword(MainWindow);
}

bool StartupUpdateCheckStep(QWidget* MainWindow)
{
    return RunStartupUpdateCheck(MainWindow);
}

void RunAutoBackup()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TAutoBackup Backup(SettingsPath, Settings.DataPath, Settings.AutoBUCount);
    (void)Backup.Execute(); // nothing is reported; a failed run leaves the earlier generations whole
    QApplication::restoreOverrideCursor();
}

void CreateManual()
{
    Manual() = std::make_unique<TPDFHelp>();
    SetUpManual(*Manual(), ProgramPath);
}

bool ManualUnusable()
{
    return !Manual() || Manual()->Unusable;
}

QString ManualErrorText()
{
    return Manual() ? Manual()->ErrorText : QString();
}

void ShowManualPage(int HelpContext)
{
    if (Manual())
        Manual()->ShowPage(HelpContext == 999 ? 0 : HelpContext);
}

void CloseManualDocument()
{
    if (Manual())
        Manual()->CloseDocument();
}

void FreeManual()
{
    Manual().reset();
}

void ShowVersionInfo(QWidget* Owner)
{
    TVersionInfo Dialog(Owner);
    Dialog.exec();
}
