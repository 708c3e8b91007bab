// The export settings window's drag of an item from the item grid onto the layout grid.
#include "transfer/common/GridDrag.h"
#include "transfer/export/FExport.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableWidget>

namespace {

// Only a drag of this window's item grid is taken.
const char* const DragFormat = "application/x-tolvane-export-item";

} // namespace

void TFileExport::DropOnDest(int Row)
{
    const int Keep = sgSrc->currentRow();
    sgDest->setCurrentCell(Row, 1);
    bbtnSetClick();
    // The inserted item is the row dropped on now.
    sgDest->setCurrentCell(Row, 1);
    sgSrc->setCurrentCell(Keep, 0);
}

bool TFileExport::FilterGridMouse(QObject* Watched, QEvent* Event)
{
    if (Watched == sgSrc->viewport()) {
        const QEvent::Type Type = Event->type();
        if (Type != QEvent::MouseButtonPress && Type != QEvent::MouseButtonDblClick && Type != QEvent::MouseMove &&
            Type != QEvent::MouseButtonRelease)
            return false;
        // Only now is the event known to be a mouse event.
        auto* Mouse = static_cast<QMouseEvent*>(Event);
        switch (Type) {
        case QEvent::MouseButtonPress:
            if (Mouse->button() == Qt::LeftButton)
                FPressedAt = Mouse->position().toPoint();
            return false;
        case QEvent::MouseButtonDblClick:
            // The press of a double click starts no drag.
            FPressedAt = {-1, -1};
            return false;
        case QEvent::MouseMove: {
            if (FPressedAt.x() < 0 || !(Mouse->buttons() & Qt::LeftButton) || !sgSrc->isEnabled() ||
                (Mouse->position().toPoint() - FPressedAt).manhattanLength() < QApplication::startDragDistance())
                return false;
            FPressedAt = {-1, -1};
            StartRowDrag(*sgSrc, DragFormat);
            return true;
        }
        case QEvent::MouseButtonRelease:
            FPressedAt = {-1, -1};
            return false;
        default:
            return false;
        }
    }
    switch (Event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        // Below the last row is the end of the layout.
        (void)FollowRowDrag(*sgDest, *static_cast<QDragMoveEvent*>(Event), DragFormat, 1, true);
        return true;
    case QEvent::Drop: {
        auto* Drop = static_cast<QDropEvent*>(Event);
        if (!Drop->mimeData()->hasFormat(QLatin1String(DragFormat)))
            return false;
        const int Row = sgDest->rowAt(Drop->position().toPoint().y());
        DropOnDest(Row >= 0 ? Row : std::max(sgDest->rowCount() - 1, 0));
        Drop->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}
