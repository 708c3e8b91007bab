#pragma once

#include <functional>
#include <utility>

// The hook tables by which the program's parts reach each other are filled at start. A step the
// program cannot do without, whose hook the wiring left empty, is a fault of the wiring: it stops a
// debug build at once, and a release build logs it, naming the hook, rather than pass over the step
// in silence.
void ReportMissingHook(const char* Name);

// Runs a step through its hook; an empty one is reported and the step left out.
template <class... TArgs, class... TGiven>
void RunStepHook(const std::function<void(TArgs...)>& Hook, const char* Name, TGiven&&... Args)
{
    if (Hook)
        Hook(std::forward<TGiven>(Args)...);
    else
        ReportMissingHook(Name);
}

// The same for a step that answers: an empty hook is reported and answers Missing, what the step
// has always meant without its part.
template <class TResult, class... TArgs, class... TGiven>
TResult AskStepHook(const std::function<TResult(TArgs...)>& Hook, const char* Name, TResult Missing, TGiven&&... Args)
{
    if (Hook)
        return Hook(std::forward<TGiven>(Args)...);
    ReportMissingHook(Name);
    return Missing;
}
