#include "widelayer/UniSortArrows.h"

#include <gtest/gtest.h>

namespace {

// Each picture row as text: '#' for the arrow's grey, '.' for the see-through ground.
QStringList Rows(const QImage& Image)
{
    QStringList Out;
    for (int Y = 0; Y < Image.height(); ++Y) {
        QString Row;
        for (int X = 0; X < Image.width(); ++X) {
            const QRgb Pixel = Image.pixel(X, Y);
            if (qAlpha(Pixel) == 0)
                Row += u'.';
            else if (Pixel == qRgb(0x80, 0x80, 0x80))
                Row += u'#';
            else
                Row += u'?';
        }
        Out << Row;
    }
    return Out;
}

TEST(UniSortArrows, TrianglesRowByRow)
{
    const QStringList Ascending{
        "...........", "...........", ".....#.....", "....###....", "...#####...", "..#######..",
        ".#########.", "###########", "...........", "...........", "...........",
    };
    EXPECT_EQ(Rows(UniSortArrowBitmap(sdAsc)), Ascending);
    QStringList Descending{
        "...........", "...........", "...........", "###########", ".#########.", "..#######..",
        "...#####...", "....###....", ".....#.....", "...........", "...........",
    };
    EXPECT_EQ(Rows(UniSortArrowBitmap(sdDesc)), Descending);
    EXPECT_TRUE(UniSortArrowBitmap(sdNone).isNull());
}

} // namespace
