#include "utility/start/UtilityRunning.h"

#include "main/common/CommonSys.h"
#include "main/common/ProductInfo.h"
#include "main/start/ProgramStart.h"
#include "platform/msg/CoreMessage.h"

namespace Utility {

bool IsMainProgramRunning()
{
    if (!IsProgramRunning(MAIN_INSTANCE_NAME))
        return false;
    (void)CoreMessageBox(QString::fromUtf8(MainProgramRunningMessage), ProductName, MB_OK | MB_ICONWARNING);
    return true;
}

} // namespace Utility
