#pragma once

#include "directory/maps/MapCmn.h"

#include <array>
#include <functional>

class QLineEdit;
class QWidget;

// The launchers of the ten map programs, one slot per [COMMON] Map, shared by the incoming-call
// window and the directory record window.

// What a launcher needs of the window that opened the map.
struct TMapOpener
{
    QWidget* Window = nullptr;     // owner of the map's windows and of the messages
    QLineEdit* FirstTel = nullptr; // where the user is sent when there is nothing to show
};

// Shows the map of Params; a program that lets the user pick a place writes it into Params.
using TMapLauncher = std::function<void(const TMapOpener& Opener, TMapSearchParams& Params)>;

// An empty slot behaves as a program that is not installed.
[[nodiscard]] std::array<TMapLauncher, MapProgramCount>& MapLaunchers();

// Runs the launcher of Map; any other value runs nothing.
void RunMapLauncher(int Map, const TMapOpener& Opener, TMapSearchParams& Params);

// The program's message that Map is not installed, over the opener.
void ShowMapNotFound(const TMapOpener& Opener, int Map);
