#include "transfer/print/PaintPanel.h"

#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

// Every pixel encodes its own place: red = x, green = y.
QImage CoordinateBitmap(int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            Image.setPixelColor(X, Y, QColor(X, Y, 0));
    return Image;
}

} // namespace

TEST(PaintPanelTest, ACentredBitmapShowsItsMiddle)
{
    TPaintPanel Panel;
    Panel.BevelOuter = TPaintPanel::TBevel::None;
    Panel.resize(10, 10);
    Panel.SetCenter(true);
    const QImage Bitmap = CoordinateBitmap(100, 50);
    Panel.SetImage(&Bitmap);
    const QImage Shown = Panel.grab().toImage();
    ASSERT_EQ(Shown.size(), QSize(10, 10));
    EXPECT_EQ(Shown.pixelColor(0, 0), QColor(45, 20, 0));
    EXPECT_EQ(Shown.pixelColor(9, 9), QColor(54, 29, 0));
    EXPECT_EQ(Shown.pixelColor(5, 3), QColor(50, 23, 0));

    Panel.SetCenter(false);
    const QImage Corner = Panel.grab().toImage();
    EXPECT_EQ(Corner.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(Corner.pixelColor(9, 9), QColor(9, 9, 0));
}

TEST(PaintPanelTest, ClearingTheImageGivesANewEmptyOne)
{
    TPaintPanel Panel;
    const QImage Bitmap = CoordinateBitmap(20, 20);
    Panel.SetImage(&Bitmap);
    EXPECT_EQ(Panel.Image().size(), QSize(20, 20));
    Panel.SetImage(nullptr);
    EXPECT_FALSE(Panel.HasImage());
    EXPECT_TRUE(Panel.Image().isNull());
    EXPECT_TRUE(Panel.HasImage());
}

TEST(PaintPanelTest, AutoSizeAddsBevelsAndBorderOnEachSide)
{
    TPaintPanel Panel;
    Panel.move(7, 9);
    Panel.BevelOuter = TPaintPanel::TBevel::Raised;
    Panel.BevelWidth = 1;
    Panel.BorderWidth = 2;
    Panel.SetAutoSize(true);
    const QImage Bitmap = CoordinateBitmap(200, 100);
    Panel.SetImage(&Bitmap);
    EXPECT_EQ(Panel.size(), QSize(206, 106));
    EXPECT_EQ(Panel.pos(), QPoint(7, 9));
    EXPECT_EQ(Panel.InnerRect(), QRect(3, 3, 200, 100));
}

TEST(PaintPanelTest, OnPaintDrawsInTheInnerRectangleAndArrowsReachTheKeyEvent)
{
    TPaintPanel Panel;
    Panel.BevelOuter = TPaintPanel::TBevel::Lowered;
    Panel.BorderWidth = 1;
    Panel.resize(30, 20);
    QRect Drawn;
    Panel.OnPaint = [&](TPaintPanel* Sender, const QRect& Rect) {
        Drawn = Rect;
        QPainter Painter(Sender);
        Painter.fillRect(Rect, Qt::red);
    };
    const QImage Shown = Panel.grab().toImage();
    EXPECT_EQ(Drawn, QRect(2, 2, 26, 16));
    EXPECT_EQ(Shown.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_NE(Shown.pixelColor(1, 1), QColor(Qt::red));

    QList<int> Keys;
    Panel.OnKeyDown = [&](TPaintPanel*, QKeyEvent* Key) { Keys << Key->key(); };
    QKeyEvent Override(QEvent::ShortcutOverride, Qt::Key_Left, Qt::NoModifier);
    EXPECT_TRUE(QApplication::sendEvent(&Panel, &Override));
    EXPECT_TRUE(Override.isAccepted());
    QTest::keyClick(&Panel, Qt::Key_Left);
    QTest::keyClick(&Panel, Qt::Key_Down);
    EXPECT_EQ(Keys, (QList<int>{Qt::Key_Left, Qt::Key_Down}));
}
