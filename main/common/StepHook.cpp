#include "main/common/StepHook.h"

#include <QtGlobal>

void ReportMissingHook(const char* Name)
{
    qCritical("The program's wiring left the hook %s empty: its step is left out", Name);
    Q_ASSERT_X(false, Name, "hook not installed");
}
