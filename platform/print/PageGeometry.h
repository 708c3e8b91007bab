#pragma once

#include <QMarginsF>

// A printer states the margins it cannot print on for the sheet standing upright. A landscape page is
// that sheet turned a quarter to the left, so its top margin is the upright right one and its bottom
// the upright left one. The print preview and the job both turn them this way, so that the two agree.
[[nodiscard]] inline QMarginsF TurnedMargins(const QMarginsF& Upright, bool Landscape)
{
    if (!Landscape)
        return Upright;
    return {Upright.top(), Upright.right(), Upright.bottom(), Upright.left()};
}
