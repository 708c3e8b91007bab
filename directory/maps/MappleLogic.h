#pragma once

#include "directory/maps/MapCmn.h"

#include <QStringList>
#include <optional>

// Super Mapple Digital: how it is found and what its starter program is told.

struct TMappleInstall
{
    QString Folder;  // where the program that shows the map lives
    QString Program; // its file name
    int Version = 0; // 1 .. 13
};

// Asks the starter program "MappleKick" in ProgramFolder ("-I": installed?, then "-V": the version
// times 100 as its exit status); without it, version 1 from its registry entry. None: not installed.
[[nodiscard]] std::optional<TMappleInstall> FindMapple(const QString& ProgramFolder);

// The starter's arguments for a request that SetRequest took: the address or the coordinates, as
// the request's mode prefers and has; none when it has neither.
[[nodiscard]] QStringList MappleStarterArguments(const TMapRequest& Request);
