#pragma once

class QDragMoveEvent;
class QTableWidget;

// Dragging an item from one string grid onto a row of another, as the import's mapping and the
// export's layout both take it.

// Starts a drag of Grid's current row, marked with Format so that only the window's own grid
// takes it.
void StartRowDrag(QTableWidget& Grid, const char* Format);

// A drag held over Target's viewport: one of Format over a row makes that row current (in the
// column under the pointer, FirstColumn at least) and is taken; below the last row it is taken
// only with BelowRows; any other drag is refused. Answers whether the drag was taken.
bool FollowRowDrag(QTableWidget& Target, QDragMoveEvent& Move, const char* Format, int FirstColumn, bool BelowRows);
