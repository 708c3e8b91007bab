#include "main/start/MainHooks.h"

TMainHooks& MainHooks()
{
    static TMainHooks Hooks;
    return Hooks;
}
