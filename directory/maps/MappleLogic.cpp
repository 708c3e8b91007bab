#include "directory/maps/MappleLogic.h"

#include "main/common/CommonSys.h"
#include "main/common/CommonText.h"
#include "platform/sys/Registry.h"

#include <QFileInfo>

std::optional<TMappleInstall> FindMapple(const QString& ProgramFolder)
{
    const QString Folder = IncludeTrailingDelimiter(ProgramFolder);
    const QString Starter = Folder + QStringLiteral("MappleKick");
    if (RunProgram(Starter, {QStringLiteral("-I")}, Folder, false) == 0) {
        const int Status = RunProgram(Starter, {QStringLiteral("-V")}, Folder, false);
        return TMappleInstall{Folder, QStringLiteral("MappleKick"), Status / 100};
    }
    // The first edition came without the starter and is driven as a document instead.
    const QString Path = TrimBlanks(
        ReadRegistryString(QStringLiteral("HKEY_CURRENT_USER\\Software\\Super Mapple\\Version 1.0.1R\\Mapple\\App"),
                           QStringLiteral("Path"))
            .value_or(QString()));
    if (Path.isEmpty() || !QFileInfo(Path).isDir())
        return std::nullopt;
    const QString AppFolder = IncludeTrailingDelimiter(Path);
    if (!QFileInfo(AppFolder + QStringLiteral("Mapple")).isFile())
        return std::nullopt;
    return TMappleInstall{AppFolder, QStringLiteral("Mapple"), 1};
}

QStringList MappleStarterArguments(const TMapRequest& Request)
{
    const bool Position = Request.Latitude != 0 && Request.Longitude != 0;
    const bool Address = !Request.Text.isEmpty();
    const bool ByAddress = Request.Mode == 1 ? Address : !Position && Address;
    if (ByAddress)
        return {QStringLiteral("/ADDRESS=") + Request.Text};
    if (Position)
        return {QStringLiteral("/LAT=") + QString::number(Request.Latitude),
                QStringLiteral("/LON=") + QString::number(Request.Longitude)};
    return {};
}
