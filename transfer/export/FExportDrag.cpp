// The export settings window's drag of an item from the item grid onto the layout grid.
#include "transfer/export/FExport.h"

#include <QApplication>
#include <QDrag>
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
    sgSrc->setCurrentCell(Keep, 0);
}

bool TFileExport::FilterGridMouse(QObject* Watched, QEvent* Event)
{
    if (Watched == sgSrc->viewport()) {
        auto* Mouse = static_cast<QMouseEvent*>(Event);
        switch (Event->type()) {
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
            auto* Drag = new QDrag(sgSrc);
            auto* Data = new QMimeData;
            Data->setData(QLatin1String(DragFormat), QByteArray::number(sgSrc->currentRow()));
            Drag->setMimeData(Data);
            Drag->exec(Qt::CopyAction);
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
    case QEvent::DragMove: {
        auto* Move = static_cast<QDragMoveEvent*>(Event);
        if (!Move->mimeData()->hasFormat(QLatin1String(DragFormat))) {
            Move->ignore();
            return true;
        }
        // Over the rows or below the last one (the end of the layout).
        const int Row = sgDest->rowAt(Move->position().toPoint().y());
        if (Row >= 0)
            sgDest->setCurrentCell(Row, 1);
        Move->acceptProposedAction();
        return true;
    }
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
