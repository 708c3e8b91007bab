#pragma once

#include <QMarginsF>

// A printer states the margins it cannot print on for the sheet standing upright. A landscape page
// reaches it turned a quarter to the left (counter-clockwise), as CUPS turns it for a printer whose
// PPD does not say otherwise: the page's top lies along the sheet's left edge, its left along the
// bottom, its right along the top and its bottom along the right. The print preview and the job both
// turn the margins this way, so that the two agree and the ink stays where the printer can put it.
[[nodiscard]] inline QMarginsF TurnedMargins(const QMarginsF& Upright, bool Landscape)
{
    if (!Landscape)
        return Upright;
    return {Upright.bottom(), Upright.left(), Upright.top(), Upright.right()};
}
