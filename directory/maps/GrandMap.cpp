#include "directory/maps/GrandMap.h"

#include "main/common/CommonText.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"

bool RunGrandMap(const TMapSearchParams& Params)
{
    const std::optional<QString> Folder = ReadRegistryString(
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\MapNet\\GrandMap"), QStringLiteral("Install Directory"));
    if (!Folder)
        return false;
    const QString Program = IncludeTrailingDelimiter(TrimBlanks(*Folder)) + QStringLiteral("GrandMap");
    // The program finds its map data beside itself; only the started process gets that folder.
    return StartMapProgram(Program, GrandMapArguments(Params), QStringLiteral("@"));
}

QStringList GrandMapArguments(const TMapSearchParams& Params)
{
    QStringList Arguments;
    if (MapCommandMode(Params) == 0) {
        // Degrees, written with a point whatever the locale.
        const auto Degrees = [](std::uint32_t Value) { return QString::number(Value / 60.0 / 60.0 / 1000.0, 'f', 6); };
        Arguments << QStringLiteral("/M") << Degrees(Params.Latitude) << Degrees(Params.Longitude);
    } else {
        Arguments << QStringLiteral("/A") << Params.Address;
    }
    Arguments << QStringLiteral("2500");
    return Arguments;
}
