#include "transfer/print/PaintPanel.h"

#include <QKeyEvent>
#include <QPainter>

namespace {

// A 3-D frame of Width: light on the top and left, dark on the bottom and right (swapped when
// lowered); the rectangle shrinks by the frame.
void DrawBevel(QPainter& Painter, QRect& Rect, TPaintPanel::TBevel Bevel, int Width, const QPalette& Palette)
{
    if (Bevel == TPaintPanel::TBevel::None)
        return;
    QColor TopLeft = Palette.color(QPalette::Light);
    QColor BottomRight = Palette.color(QPalette::Dark);
    if (Bevel == TPaintPanel::TBevel::Lowered)
        std::swap(TopLeft, BottomRight);
    for (int I = 0; I < Width; ++I) {
        Painter.fillRect(Rect.left(), Rect.top(), Rect.width(), 1, TopLeft);
        Painter.fillRect(Rect.left(), Rect.top(), 1, Rect.height(), TopLeft);
        Painter.fillRect(Rect.left(), Rect.bottom(), Rect.width(), 1, BottomRight);
        Painter.fillRect(Rect.right(), Rect.top(), 1, Rect.height(), BottomRight);
        Rect.adjust(1, 1, -1, -1);
    }
}

} // namespace

TPaintPanel::TPaintPanel(QWidget* Parent) : QWidget(Parent)
{
    // Arrow keys go to the panel's key events instead of moving the focus.
    setFocusPolicy(Qt::StrongFocus);
}

TPaintPanel::~TPaintPanel() = default;

QImage& TPaintPanel::Image()
{
    if (!FImage)
        FImage = std::make_unique<QImage>();
    update();
    return *FImage;
}

void TPaintPanel::SetImage(const QImage* Bitmap)
{
    if (!Bitmap) {
        FImage.reset();
        update();
        return;
    }
    FImage = std::make_unique<QImage>(*Bitmap);
    ImageChanged();
}

void TPaintPanel::ImageChanged()
{
    if (FAutoSize && FImage && FImage->width() > 0 && FImage->height() > 0)
        FitToImage();
    update();
}

void TPaintPanel::SetCenter(bool Value)
{
    if (Value == FCenter)
        return;
    FCenter = Value;
    update();
}

void TPaintPanel::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    if (FAutoSize && FImage && FImage->width() > 0 && FImage->height() > 0)
        FitToImage();
}

int TPaintPanel::FrameWidth() const
{
    return (BevelOuter != TBevel::None ? BevelWidth : 0) + BorderWidth + (BevelInner != TBevel::None ? BevelWidth : 0);
}

QRect TPaintPanel::InnerRect() const
{
    const int Frame = FrameWidth();
    return rect().adjusted(Frame, Frame, -Frame, -Frame);
}

void TPaintPanel::FitToImage()
{
    const int Frame = 2 * FrameWidth();
    resize(FImage->width() + Frame, FImage->height() + Frame);
}

void TPaintPanel::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    QRect Rect = rect();
    Painter.fillRect(Rect, Color);
    DrawBevel(Painter, Rect, BevelOuter, BevelWidth, palette());
    Rect.adjust(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth); // the border is the panel colour
    DrawBevel(Painter, Rect, BevelInner, BevelWidth, palette());
    if (FImage && !FImage->isNull()) {
        QRect Source(0, 0, Rect.width(), Rect.height());
        if (FCenter) {
            const int Left = (FImage->width() - Rect.width()) / 2;
            const int Top = (FImage->height() - Rect.height()) / 2;
            Source = QRect(QPoint(Left, Top), QPoint(FImage->width() - Left - 1, FImage->height() - Top - 1));
        }
        Painter.drawImage(Rect, *FImage, Source);
    }
    if (OnPaint)
        OnPaint(this, Rect);
    if (!Caption.isEmpty()) {
        Painter.setFont(font());
        Painter.setPen(palette().color(QPalette::WindowText));
        const int H = Painter.fontMetrics().height();
        QRect Text = Rect;
        Text.setTop((Rect.top() + Rect.bottom() - H) / 2);
        Text.setHeight(H);
        Painter.drawText(Text, int(Alignment | Qt::AlignVCenter) | Qt::TextExpandTabs, Caption);
    }
}

bool TPaintPanel::event(QEvent* Event)
{
    // The dialog would take Tab and the arrow keys for its focus walk; the arrows belong to the panel.
    if (Event->type() == QEvent::ShortcutOverride) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Left || Key == Qt::Key_Right || Key == Qt::Key_Up || Key == Qt::Key_Down) {
            Event->accept();
            return true;
        }
    }
    return QWidget::event(Event);
}

void TPaintPanel::keyPressEvent(QKeyEvent* Event)
{
    if (OnKeyDown)
        OnKeyDown(this, Event);
    if (OnKeyPress && !Event->text().isEmpty())
        OnKeyPress(this, Event->text());
    if (!OnKeyDown && !OnKeyPress)
        QWidget::keyPressEvent(Event);
}

void TPaintPanel::keyReleaseEvent(QKeyEvent* Event)
{
    if (OnKeyUp)
        OnKeyUp(this, Event);
    else
        QWidget::keyReleaseEvent(Event);
}

void TPaintPanel::mousePressEvent(QMouseEvent* Event)
{
    if (OnMouseDown)
        OnMouseDown(this, Event);
    QWidget::mousePressEvent(Event);
}

void TPaintPanel::mouseMoveEvent(QMouseEvent* Event)
{
    if (OnMouseMove)
        OnMouseMove(this, Event);
    QWidget::mouseMoveEvent(Event);
}

void TPaintPanel::mouseReleaseEvent(QMouseEvent* Event)
{
    if (OnMouseUp)
        OnMouseUp(this, Event);
    QWidget::mouseReleaseEvent(Event);
}
