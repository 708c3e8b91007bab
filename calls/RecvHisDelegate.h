#pragma once

#include <QAbstractItemDelegate>
#include <functional>

class TMyHeaderControl;

// How a list under a header draws its lines: the room left and right of a cell's text, whether the
// first section is right-aligned, and which lines stand out (none when empty).
struct TRecvHisDrawing
{
    int Margin = 4;
    bool FirstRight = false;
    std::function<bool(const QModelIndex& Index)> Marked;
};

// Draws a list's lines, "a\tb\tc", cell by cell under the sections of a header control, with a grey
// line closing each section and an ellipsis where a cell is too narrow.
class TRecvHisDelegate : public QAbstractItemDelegate
{
public:
    TRecvHisDelegate(QObject* Parent, TMyHeaderControl* Header, TRecvHisDrawing Drawing);

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

private:
    TMyHeaderControl* FHeader;
    TRecvHisDrawing FDrawing;
};
