#include "directory/maps/ZDC.h"

#include "main/common/CommonText.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"

#include <QFileInfo>

bool RunItsMoNavi(const TMapSearchParams& Params)
{
    const QString Folder =
        TrimBlanks(ReadRegistryString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ZENRIN\\ZmapNet\\PC"),
                                      QStringLiteral("InstallPath"))
                       .value_or(QString()));
    if (Folder.isEmpty() || !QFileInfo(Folder).isDir())
        return false;
    const QString Program = IncludeTrailingDelimiter(Folder) + QStringLiteral("bin/its-moNavi");
    if (!QFileInfo(Program).isFile())
        return false;
    const std::optional<QStringList> Arguments = ItsMoNaviArguments(Params);
    return Arguments && StartMapProgram(Program, *Arguments, QString());
}

std::optional<QStringList> ItsMoNaviArguments(const TMapSearchParams& Params)
{
    const bool Position = Params.Latitude != 0 && Params.Longitude != 0;
    bool ByPosition = false;
    if (Params.SearchKind == 0)
        ByPosition = Position || Params.Address.isEmpty();
    else if (Params.SearchKind == 1)
        ByPosition = Params.Address.isEmpty() && Position;
    else
        return std::nullopt;

    QStringList Arguments;
    if (ByPosition) {
        // Seconds of arc in the Tokyo datum, written with a point whatever the locale.
        const auto Seconds = [](std::uint32_t Value) { return QString::number(Value / 1000.0, 'f', 2); };
        Arguments << QStringLiteral("1") << QStringLiteral("tokyo") << QStringLiteral("second")
                  << Seconds(Params.Longitude) + QLatin1Char('/') + Seconds(Params.Latitude);
    } else {
        Arguments << QStringLiteral("3") << Params.Address;
    }
    Arguments << QStringLiteral("g") << QStringLiteral("1") << QStringLiteral("0");
    return Arguments;
}
