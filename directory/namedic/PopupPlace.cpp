#include "directory/namedic/PopupPlace.h"

#include <algorithm>

QPoint NameDicPopupPlace(const QRect& Edit, const QSize& Popup, const QRect& Screen)
{
    const int Below = Edit.bottom() + 1;
    const int Above = Edit.top() - Popup.height();
    const bool ListBelow = Screen.bottom() + 1 - Below >= CandidateListRoom;
    const bool FitsAbove = Above >= Screen.top();
    const bool FitsBelow = Below + Popup.height() <= Screen.bottom() + 1;
    // Where the free side has no room, the pop-up takes the other rather than cover the edit.
    int Top = ListBelow ? (FitsAbove ? Above : Below) : (FitsBelow || !FitsAbove ? Below : Above);
    Top = std::clamp(Top, Screen.top(), std::max(Screen.top(), Screen.bottom() + 1 - Popup.height()));
    const int Left =
        std::clamp(Edit.left(), Screen.left(), std::max(Screen.left(), Screen.right() + 1 - Popup.width()));
    return {Left, Top};
}
