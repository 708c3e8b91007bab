#pragma once

#include <functional>

// How a bulk fix shows its progress: the page's bar and the hourglass. Every member may be empty.
namespace Utility {

struct TFixProgress
{
    std::function<void(int Max)> Start;
    std::function<void()> Step;
    std::function<void()> Reset;
    // Lets pending window messages run once, before a walk begins.
    std::function<void()> ProcessMessages;
    std::function<void(bool Busy)> Busy;
};

} // namespace Utility
