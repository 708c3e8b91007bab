#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Room the input method's candidate list needs beside the text it converts: a list of nine
// candidates with its page line, as the common frameworks draw it with a desktop font.
inline constexpr int CandidateListRoom = 280;

// Where the name-reading pop-up of Popup's size goes for a name edit at Edit (screen coordinates)
// on Screen. The input method puts its candidate list under the edit where it has the room there and
// over it otherwise; the pop-up takes the other side, so that both can be seen, and stays on Screen.
[[nodiscard]] QPoint NameDicPopupPlace(const QRect& Edit, const QSize& Popup, const QRect& Screen);
