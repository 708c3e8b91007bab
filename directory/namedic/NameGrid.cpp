#include "directory/namedic/NameGrid.h"

#include <Qt>
#include <algorithm>

void TNameGrid::Fill(const QList<TNameDicName>& Names)
{
    Clear();
    FColCount = 2;
    QString Previous;
    int Col = 0;
    for (const TNameDicName& N : Names) {
        const bool NewReading = FCells.isEmpty() || N.Reading != Previous;
        if (NewReading || Col >= NamesPerRow) {
            FCells.append(QStringList(1 + NamesPerRow));
            if (NewReading)
                FCells.last()[0] = N.Reading;
            Col = 0;
        }
        ++Col;
        FCells.last()[Col] = N.Name;
        FColCount = std::max(FColCount, Col + 1);
        Previous = N.Reading;
    }
}

void TNameGrid::Clear()
{
    FCells.clear();
    FColCount = 0;
    FRow = -1;
    FCol = 1;
    FKeptCol = 1;
    FTopRow = 0;
}

QString TNameGrid::Cell(int Col, int Row) const
{
    if (Row < 0 || Row >= RowCount() || Col < 0 || Col >= FCells.at(Row).size())
        return {};
    return FCells.at(Row).at(Col);
}

bool TNameGrid::ChoiceAt(int Col, int Row, QString& Name, QString& Reading) const
{
    if (Col < 1 || Cell(Col, Row).isEmpty())
        return false;
    Name = Cell(Col, Row);
    for (int R = Row; R >= 0; --R)
        if (!Cell(0, R).isEmpty()) {
            Reading = Cell(0, R);
            break;
        }
    return true;
}

bool TNameGrid::Select(int Col, int Row)
{
    if (Col < 1 || Cell(Col, Row).isEmpty())
        return false;
    FRow = Row;
    FCol = Col;
    FKeptCol = Col;
    return true;
}

int TNameGrid::LastTopRow() const
{
    return std::max(0, RowCount() - FVisibleRows);
}

void TNameGrid::SetTopRow(int Row)
{
    FTopRow = std::clamp(Row, 0, LastTopRow());
}

void TNameGrid::ScrollIntoView()
{
    if (FRow < FTopRow)
        FTopRow = FRow;
    else if (FRow >= FTopRow + FVisibleRows)
        FTopRow = FRow - FVisibleRows + 1;
    SetTopRow(FTopRow);
}

// A move to another row keeps the selected column, or falls back to the nearest name to its left
// on a shorter row.
void TNameGrid::MoveToRow(int Row)
{
    FRow = Row;
    // The column the user chose, not the one a shorter row forced: passing a row of two names on
    // the way down from the fourth column lands in the fourth again on the next long row.
    int Col = FKeptCol;
    while (Col > 1 && Cell(Col, Row).isEmpty())
        --Col;
    FCol = Col;
    ScrollIntoView();
}

TNameGrid::TKeyResult TNameGrid::HandleKey(int Key)
{
    TKeyResult Result;
    if (!HasSelection()) {
        if ((Key == Qt::Key_Down || Key == Qt::Key_PageDown) && RowCount() > 0) {
            FCol = 1;
            FKeptCol = 1;
            MoveToRow(0);
            Result.Consumed = true;
        }
        return Result;
    }
    Result.Consumed = true;
    switch (Key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Result.Chosen = ChoiceAt(FCol, FRow, Result.Name, Result.Reading);
        break;
    case Qt::Key_Up:
        if (FRow == 0) {
            FRow = -1;
            FCol = 1;
            FKeptCol = 1;
        } else {
            MoveToRow(FRow - 1);
        }
        break;
    case Qt::Key_Down:
        if (FRow + 1 < RowCount())
            MoveToRow(FRow + 1);
        break;
    case Qt::Key_PageUp:
        if (FRow == 0) {
            FRow = -1;
            FCol = 1;
            FKeptCol = 1;
        } else {
            MoveToRow(std::max(0, FRow - FVisibleRows));
        }
        break;
    case Qt::Key_PageDown:
        MoveToRow(std::min(RowCount() - 1, FRow + FVisibleRows));
        break;
    case Qt::Key_Left:
        if (FCol > 1)
            --FCol;
        FKeptCol = FCol;
        break;
    case Qt::Key_Right:
        if (!Cell(FCol + 1, FRow).isEmpty())
            FKeptCol = ++FCol;
        break;
    default:
        break;
    }
    return Result;
}
