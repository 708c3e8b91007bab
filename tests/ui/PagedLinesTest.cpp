// The drawing of a paged list's line: the running number is never cut short.
#include "calls/PagedLines.h"
#include "main/controls/MyHdCtrl.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <gtest/gtest.h>

namespace {

// The line Text drawn by the lists' delegate under a "No." column of the lists' 40 pixels.
QImage DrawnLine(const QString& Text)
{
    QWidget Host;
    TMyHeaderControl Header(&Host);
    Header.Sections().Add().SetWidth(40);
    Header.Sections().Add().SetWidth(60);
    PagedLines::TPagedLineDelegate Delegate(nullptr, &Header, {}, 3, true);
    QListWidget List;
    List.addItem(Text);
    QStyleOptionViewItem Option;
    Option.initFrom(&List);
    Option.rect = QRect(0, 0, 100, 20);
    Option.font = List.font();
    Option.fontMetrics = QFontMetrics(Option.font);
    QImage Image(100, 20, QImage::Format_RGB32);
    Image.fill(Qt::white);
    QPainter Painter(&Image);
    Delegate.paint(&Painter, Option, List.model()->index(0, 0));
    return Image;
}

} // namespace

TEST(PagedLinesTest, AFiveDigitRunningNumberIsDrawnWhole)
{
    const QFontMetrics Metrics(QListWidget().font());
    const QString Cut = Metrics.elidedText(QStringLiteral("12345"), Qt::ElideRight, 40 - 2 * 3);
    if (Cut == QStringLiteral("12345"))
        GTEST_SKIP() << "this font fits five digits between the column's margins";
    EXPECT_NE(DrawnLine(QStringLiteral("12345\tx")), DrawnLine(Cut + QStringLiteral("\tx")));
}
