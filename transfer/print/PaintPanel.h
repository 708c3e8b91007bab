#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

// A panel that shows a bitmap and lets its owner draw on it, and that takes the arrow keys: the rule
// preview of the list print settings and the page image of the print preview. Apart from the bitmap
// it paints as a plain panel does: its colour, an outer bevel, a border, an inner bevel, the caption.
class TPaintPanel : public QWidget
{
    Q_OBJECT
public:
    enum class TBevel
    {
        None,
        Lowered,
        Raised
    };
    using TPaintEvent = std::function<void(TPaintPanel* Sender, const QRect& Rect)>;
    using TKeyEvent = std::function<void(TPaintPanel* Sender, QKeyEvent* Key)>;
    using TMouseEvent = std::function<void(TPaintPanel* Sender, QMouseEvent* Mouse)>;

    explicit TPaintPanel(QWidget* Parent = nullptr);
    ~TPaintPanel() override;

    // The bitmap, made empty on first use. After drawing into it, call ImageChanged.
    [[nodiscard]] QImage& Image();
    // Copies Bitmap in; nullptr frees the bitmap.
    void SetImage(const QImage* Bitmap);
    [[nodiscard]] bool HasImage() const { return FImage != nullptr; }
    // With AutoSize the panel takes the bitmap's size plus its frame; then it repaints.
    void ImageChanged();

    [[nodiscard]] bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    [[nodiscard]] bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);

    QColor Color = QColor(0xF0, 0xF0, 0xF0);
    TBevel BevelOuter = TBevel::Raised;
    TBevel BevelInner = TBevel::None;
    int BevelWidth = 1;
    int BorderWidth = 0;
    Qt::Alignment Alignment = Qt::AlignHCenter;
    QString Caption;

    TPaintEvent OnPaint;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    std::function<void(TPaintPanel* Sender, const QString& Text)> OnKeyPress;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseMove;
    TMouseEvent OnMouseUp;

    // The rectangle inside the bevels and the border, where the bitmap shows and OnPaint draws.
    [[nodiscard]] QRect InnerRect() const;
    // Bevels and border on one side.
    [[nodiscard]] int FrameWidth() const;

protected:
    void paintEvent(QPaintEvent* Event) override;
    bool event(QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    std::unique_ptr<QImage> FImage;
    bool FCenter = false;
    bool FAutoSize = false;
    void FitToImage();
};
