#include "widelayer/UniSortArrows.h"

namespace {

// Drawn pixel by pixel rather than painted, so the triangle has the same hard edges at any scale.
QImage Triangle(int ApexRow, int Step)
{
    QImage Image(UniSortArrowSize, UniSortArrowSize, QImage::Format_ARGB32);
    Image.fill(Qt::transparent);
    const int Middle = UniSortArrowSize / 2;
    for (int Half = 0; Half <= Middle; ++Half) {
        const int Row = ApexRow + Step * Half;
        for (int X = Middle - Half; X <= Middle + Half; ++X)
            Image.setPixel(X, Row, qRgb(0x80, 0x80, 0x80));
    }
    return Image;
}

} // namespace

QImage UniSortArrowBitmap(TSortDir Dir)
{
    switch (Dir) {
    case sdAsc:
        return Triangle(2, 1);
    case sdDesc:
        return Triangle(8, -1);
    default:
        return QImage();
    }
}
