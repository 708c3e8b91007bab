#include "directory/maps/Zenrin.h"

#include "main/common/CommonText.h"
#include "platform/sys/Registry.h"

bool RunEmapZ(const TMapSearchParams& Params)
{
    // The installer keeps the program's own path under this value.
    const QString Program =
        TrimBlanks(ReadRegistryString(QStringLiteral("HKEY_CURRENT_USER\\Software\\ZENRIN\\EmapZ\\InstallInfo"),
                                      QStringLiteral("Directory"))
                       .value_or(QString()));
    if (Program.isEmpty())
        return false;
    return StartMapProgram(Program, EmapZArguments(Params), QString());
}

QStringList EmapZArguments(const TMapSearchParams& Params)
{
    // Tenths of a second of arc, always written, 0 included.
    QStringList Arguments = {QString::number(Params.Longitude / 100), QString::number(Params.Latitude / 100)};
    Arguments << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0")
              << QStringLiteral("2") << QString::number(MapCommandMode(Params));
    if (!Params.Address.isEmpty())
        Arguments << Params.Address;
    return Arguments;
}
