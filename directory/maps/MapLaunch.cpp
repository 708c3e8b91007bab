#include "directory/maps/MapLaunch.h"

#include "directory/maps/GrandMap.h"
#include "directory/maps/ZDC.h"
#include "directory/maps/Zenrin.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"

namespace {

// The programs that take the request on their command line.
TMapLauncher CommandLine(int Map, bool (*Run)(const TMapSearchParams&))
{
    return [Map, Run](const TMapOpener& Opener, TMapSearchParams& Params) {
        if (!Run(Params))
            ShowMapNotFound(Opener, Map);
    };
}

} // namespace

std::array<TMapLauncher, MapProgramCount>& MapLaunchers()
{
    static std::array<TMapLauncher, MapProgramCount> Launchers = [] {
        std::array<TMapLauncher, MapProgramCount> L;
        L[3] = CommandLine(3, RunEmapZ);
        L[4] = CommandLine(4, RunItsMoNavi);
        L[9] = CommandLine(9, RunGrandMap);
        return L;
    }();
    return Launchers;
}

void RunMapLauncher(int Map, const TMapOpener& Opener, TMapSearchParams& Params)
{
    if (Map < 0 || Map >= MapProgramCount)
        return;
    const TMapLauncher& Launcher = MapLaunchers()[static_cast<std::size_t>(Map)];
    if (Launcher)
        Launcher(Opener, Params);
    else
        ShowMapNotFound(Opener, Map);
}

void ShowMapNotFound(const TMapOpener& Opener, int Map)
{
    if (Map < 0 || Map >= MapProgramCount)
        return;
    (void)MessageBoxPos(Opener.Window, MapPrograms()[static_cast<std::size_t>(Map)].NotFound, ProductName,
                        MB_OK | MB_ICONINFORMATION);
}
