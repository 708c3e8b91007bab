#include "utility/start/UtilityRunning.h"

#include "main/common/CommonSys.h"
#include "main/common/ProductInfo.h"
#include "main/start/ProgramStart.h"
#include "platform/msg/CoreMessage.h"
#include "utility/convert/OlderData.h"

namespace Utility {

bool IsMainProgramRunning()
{
    if (!IsProgramRunning(MAIN_INSTANCE_NAME))
        return false;
    (void)CoreMessageBox(QString::fromUtf8(MainProgramRunningMessage), ProductName, MB_OK | MB_ICONWARNING);
    return true;
}

QString OlderInstanceName(int Version)
{
    if (Version < 2 || Version > LastOlderVersion)
        return {};
    return QStringLiteral("Pelmar.VxRelvo%1.Instance").arg(Version);
}

bool IsOlderVersionRunning(int Version)
{
    const QString Name = OlderInstanceName(Version);
    if (Name.isEmpty() || !IsProgramRunning(Name))
        return false;
    const QString Product = OlderProductName(Version);
    (void)CoreMessageBox(QStringLiteral("「") + Product + QStringLiteral("」が動作中です  \r\n「") + Product +
                             QStringLiteral("」を終了してから実行してください  "),
                         ProductName, MB_OK | MB_ICONWARNING);
    return true;
}

} // namespace Utility
