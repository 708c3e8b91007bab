#pragma once

#include "directory/namedic/NameloreLib.h"

#include <QList>
#include <QString>
#include <QStringList>

// The names of the pop-up laid out as its grid shows them, and the moves of its selection. Column 0
// holds the reading of a row's names (empty on a reading's continuation rows), columns 1 to 5 the
// names. Keys are Qt key codes.
class TNameGrid
{
public:
    static constexpr int NamesPerRow = 5;

    void Fill(const QList<TNameDicName>& Names);
    void Clear();

    [[nodiscard]] int RowCount() const { return static_cast<int>(FCells.size()); }
    [[nodiscard]] int ColCount() const { return FColCount; }
    [[nodiscard]] QString Cell(int Col, int Row) const;

    [[nodiscard]] bool HasSelection() const { return FRow >= 0; }
    [[nodiscard]] int Row() const { return FRow; }
    [[nodiscard]] int Col() const { return FCol; }
    [[nodiscard]] int TopRow() const { return FTopRow; }
    void SetVisibleRows(int Rows) { FVisibleRows = Rows > 0 ? Rows : 1; }
    [[nodiscard]] int VisibleRows() const { return FVisibleRows; }

    struct TKeyResult
    {
        bool Consumed = false;
        bool Chosen = false; // Name and Reading hold the choice
        QString Name;
        QString Reading;
    };
    [[nodiscard]] TKeyResult HandleKey(int Key);

    // A click on a name cell selects it; false when the cell holds no name.
    bool Select(int Col, int Row);
    // The choice at a cell: its name and the reading of its group.
    [[nodiscard]] bool ChoiceAt(int Col, int Row, QString& Name, QString& Reading) const;

    // Scrolling by the scroll bar: the top row, kept within the rows there are.
    void SetTopRow(int Row);
    [[nodiscard]] int LastTopRow() const;

private:
    void MoveToRow(int Row);
    void ScrollIntoView();

    QList<QStringList> FCells;
    int FColCount = 0;
    int FRow = -1;
    int FCol = 1;     // the selected cell's column
    int FKeptCol = 1; // the column the user chose, kept while moving between rows
    int FTopRow = 0;
    int FVisibleRows = 1;
};
