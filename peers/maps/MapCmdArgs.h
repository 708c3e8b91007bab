#pragma once

#include <QString>
#include <QStringList>

// How the map-program stand-in reads the command line it was started with. The three programs it
// stands in for take a request each in their own shape:
//   EmapZ:      longitude latitude (tenths of a second) 0 0 0 0 2 mode [address]
//   its-moNavi: 1 tokyo second lon/lat (seconds) g 1 0   or   3 address g 1 0
//   GrandMap:   /M latitude longitude (degrees) 2500     or   /A address 2500

enum class TMapCmdKind
{
    EmapZ,
    ItsMoNavi,
    GrandMap,
    Unknown,
};

// By the stand-in's own file name, as each copy is installed under the name of its program.
[[nodiscard]] TMapCmdKind MapCmdKindOf(const QString& ProgramFileName);
[[nodiscard]] QString MapCmdName(TMapCmdKind Kind);

struct TMapCmdRequest
{
    TMapCmdKind Kind = TMapCmdKind::Unknown;
    bool ByPosition = false;
    double Latitude = 0; // degrees
    double Longitude = 0;
    QString Address;
    QString Error; // why the arguments do not read as a request; empty when they do
};

// Kind Unknown reads the arguments by their shape.
[[nodiscard]] TMapCmdRequest ReadMapCommand(TMapCmdKind Kind, const QStringList& Args);
