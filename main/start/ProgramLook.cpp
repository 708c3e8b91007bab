#include "main/start/ProgramLook.h"

#include "main/start/MainIcons.h"
#include "platform/ui/JapaneseUi.h"

#include <QGuiApplication>

void SetUpProgramLook()
{
    // Without Qt's translation the English texts remain; the program works as before.
    (void)InstallJapaneseUi();
    QGuiApplication::setWindowIcon(ProgramIcon());
}
