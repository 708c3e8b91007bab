#include "directory/namedic/PopupPlace.h"

#include <gtest/gtest.h>

namespace {

const QRect Screen(0, 0, 1280, 1024);
const QSize Popup(420, 207);

TEST(PopupPlaceTest, ThePopupTakesTheSideOfTheEditTheCandidateListLeavesFree)
{
    struct TCase
    {
        const char* Name;
        QRect Edit;
        QPoint Expected;
    };
    const TCase Cases[] = {
        // Room below: the candidate list goes there, the pop-up over the edit.
        {"room below", QRect(100, 400, 150, 21), QPoint(100, 400 - 207)},
        // Near the bottom the list opens upwards: the pop-up goes under the edit.
        {"near the bottom", QRect(100, 780, 150, 21), QPoint(100, 801)},
        // Room below, none above: under the edit, kept on the screen.
        {"near the top", QRect(100, 50, 150, 21), QPoint(100, 71)},
        // At the bottom right: over the edit after all, pulled back onto the screen.
        {"corner", QRect(1100, 1000, 150, 21), QPoint(1280 - 420, 1000 - 207)},
    };
    for (const TCase& Case : Cases) {
        EXPECT_EQ(NameDicPopupPlace(Case.Edit, Popup, Screen), Case.Expected) << Case.Name;
    }
}

TEST(PopupPlaceTest, ASecondScreenKeepsItsOwnEdges)
{
    const QRect Right(1280, 0, 1024, 768);
    EXPECT_EQ(NameDicPopupPlace(QRect(1250, 300, 150, 21), Popup, Right), QPoint(1280, 300 - 207));
    // A screen too low for either side: the pop-up stays on it.
    EXPECT_EQ(NameDicPopupPlace(QRect(100, 100, 150, 21), Popup, QRect(0, 0, 800, 250)), QPoint(100, 43));
}

} // namespace
