#include "transfer/common/GridDrag.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QMimeData>
#include <QTableWidget>
#include <algorithm>

void StartRowDrag(QTableWidget& Grid, const char* Format)
{
    auto* Drag = new QDrag(&Grid);
    auto* Data = new QMimeData;
    Data->setData(QLatin1String(Format), QByteArray::number(Grid.currentRow()));
    Drag->setMimeData(Data);
    Drag->exec(Qt::CopyAction);
}

bool FollowRowDrag(QTableWidget& Target, QDragMoveEvent& Move, const char* Format, int FirstColumn, bool BelowRows)
{
    if (!Move.mimeData()->hasFormat(QLatin1String(Format))) {
        Move.ignore();
        return false;
    }
    const QPoint At = Move.position().toPoint();
    const int Row = Target.rowAt(At.y());
    if (Row < 0 && !BelowRows) {
        Move.ignore();
        return false;
    }
    if (Row >= 0)
        Target.setCurrentCell(Row, std::max(Target.columnAt(At.x()), FirstColumn));
    Move.acceptProposedAction();
    return true;
}
