#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QtMath>

// A paint device that draws nothing and logs what it is asked to draw, in device pixels: texts with
// their font and clip, filled rectangles with their colour, outlines, and lines with their style.
class TRecordingEngine final : public QPaintEngine
{
public:
    struct TText
    {
        QString Text;
        QFont Font;
        QRect Clip;
    };
    struct TFill
    {
        QRect Rect;
        QColor Color;
    };
    struct TLine
    {
        QLine Line;
        Qt::PenStyle Style;
    };
    QList<TText> Texts;
    QList<TFill> Fills;
    QList<QRect> Outlines;
    QList<TLine> Lines;

    TRecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState& State) override
    {
        if (State.state() & DirtyPen)
            FPen = State.pen();
        if (State.state() & DirtyBrush)
            FBrush = State.brush();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF&, const QTextItem& Item) override
    {
        Texts.append({Item.text(), Item.font(), painter()->clipBoundingRect().toRect()});
    }
    void drawRects(const QRect* Rects, int Count) override
    {
        for (int I = 0; I < Count; ++I) {
            const QRect& R = Rects[I];
            // A black fill one pixel high or wide is a row or column of a rule.
            if (FBrush.style() != Qt::NoBrush && FBrush.color() == Qt::black && (R.height() == 1 || R.width() == 1))
                Lines.append({R.height() == 1 ? QLine(R.left(), R.top(), R.right() + 1, R.top())
                                              : QLine(R.left(), R.top(), R.left(), R.bottom() + 1),
                              Qt::SolidLine});
            else if (FBrush.style() != Qt::NoBrush)
                Fills.append({Rects[I], FBrush.color()});
            else
                Outlines.append(Rects[I]);
        }
    }
    void drawRects(const QRectF* Rects, int Count) override
    {
        for (int I = 0; I < Count; ++I) {
            const QRect Rect = Rects[I].toRect();
            drawRects(&Rect, 1);
        }
    }
    void drawLines(const QLine* Lines_, int Count) override
    {
        for (int I = 0; I < Count; ++I)
            Lines.append({Lines_[I], FPen.style()});
    }
    void drawLines(const QLineF* Lines_, int Count) override
    {
        for (int I = 0; I < Count; ++I) {
            // A line through the middle of a pixel row or column is logged at that row or column.
            const QLineF& L = Lines_[I];
            const QLine Line(qFloor(L.x1()), qFloor(L.y1()), qFloor(L.x2()), qFloor(L.y2()));
            drawLines(&Line, 1);
        }
    }

    // The texts that contain Part.
    [[nodiscard]] QList<TText> TextsWith(const QString& Part) const
    {
        QList<TText> Found;
        for (const TText& Each : Texts)
            if (Each.Text.contains(Part))
                Found << Each;
        return Found;
    }

private:
    QPen FPen;
    QBrush FBrush;
};

class TRecordingDevice final : public QPaintDevice
{
public:
    TRecordingDevice(int Width, int Height, int Dpi) : FWidth(Width), FHeight(Height), FDpi(Dpi) {}
    ~TRecordingDevice() override = default;
    QPaintEngine* paintEngine() const override { return &Engine; }
    mutable TRecordingEngine Engine;

protected:
    int metric(PaintDeviceMetric Metric) const override
    {
        switch (Metric) {
        case PdmWidth:
            return FWidth;
        case PdmHeight:
            return FHeight;
        case PdmWidthMM:
            return FWidth * 254 / FDpi / 10;
        case PdmHeightMM:
            return FHeight * 254 / FDpi / 10;
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return FDpi;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    int FWidth;
    int FHeight;
    int FDpi;
};
