#include "main/start/MainIcons.h"

#include "main/common/ProductInfo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor HandsetColor(0x1F, 0x4E, 0x8C);
const QColor CallColor(0xD8, 0x2C, 0x20);

// A telephone handset lying across the square (0,0)-(1,1), scaled by the painter.
QPainterPath HandsetPath()
{
    QPainterPath Path;
    Path.moveTo(0.10, 0.30);
    Path.cubicTo(0.10, 0.12, 0.90, 0.12, 0.90, 0.30);
    Path.lineTo(0.90, 0.42);
    Path.lineTo(0.66, 0.42);
    Path.lineTo(0.64, 0.33);
    Path.cubicTo(0.55, 0.29, 0.45, 0.29, 0.36, 0.33);
    Path.lineTo(0.34, 0.42);
    Path.lineTo(0.10, 0.42);
    Path.closeSubpath();
    // The set's base below the handset.
    QPainterPath Base;
    Base.moveTo(0.30, 0.48);
    Base.lineTo(0.70, 0.48);
    Base.lineTo(0.88, 0.86);
    Base.lineTo(0.12, 0.86);
    Base.closeSubpath();
    Path.addPath(Base);
    return Path;
}

void DrawPhone(QPainter& Painter, qreal Size, const QColor& Color)
{
    Painter.save();
    Painter.scale(Size, Size);
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(Color);
    Painter.drawPath(HandsetPath());
    // The dial on the base.
    Painter.setBrush(Qt::white);
    Painter.drawEllipse(QPointF(0.5, 0.67), 0.11, 0.11);
    Painter.restore();
}

void DrawCallMark(QPainter& Painter, qreal Size)
{
    Painter.save();
    Painter.setPen(QPen(Qt::white, Size * 0.05));
    Painter.setBrush(CallColor);
    Painter.drawEllipse(QPointF(Size * 0.78, Size * 0.24), Size * 0.22, Size * 0.22);
    Painter.restore();
}

QPixmap TrayPixmap(TTrayIconState State, int Size)
{
    QPixmap Pixmap(Size, Size);
    Pixmap.fill(Qt::transparent);
    QPainter Painter(&Pixmap);
    Painter.setRenderHint(QPainter::Antialiasing);
    DrawPhone(Painter, Size, HandsetColor);
    if (State == TRAY_CALL)
        DrawCallMark(Painter, Size);
    return Pixmap;
}

// A page of lines: the call history.
void DrawList(QPainter& Painter, qreal Size)
{
    Painter.setPen(QPen(QColor(0x55, 0x55, 0x55), Size * 0.05));
    Painter.setBrush(Qt::white);
    Painter.drawRoundedRect(QRectF(Size * 0.14, Size * 0.08, Size * 0.72, Size * 0.84), Size * 0.06, Size * 0.06);
    Painter.setPen(QPen(HandsetColor, Size * 0.07, Qt::SolidLine, Qt::RoundCap));
    for (int Row = 0; Row < 4; ++Row) {
        const qreal Y = Size * (0.26 + Row * 0.17);
        Painter.drawLine(QPointF(Size * 0.28, Y), QPointF(Size * 0.72, Y));
    }
}

// A closed book: the directory.
void DrawBook(QPainter& Painter, qreal Size)
{
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(QColor(0x2E, 0x7D, 0x32));
    Painter.drawRoundedRect(QRectF(Size * 0.18, Size * 0.08, Size * 0.66, Size * 0.84), Size * 0.05, Size * 0.05);
    Painter.setBrush(QColor(0x1B, 0x5E, 0x20));
    Painter.drawRect(QRectF(Size * 0.18, Size * 0.08, Size * 0.12, Size * 0.84));
    Painter.setBrush(Qt::white);
    Painter.drawRect(QRectF(Size * 0.42, Size * 0.24, Size * 0.30, Size * 0.14));
}

// A cog wheel: the settings.
void DrawCog(QPainter& Painter, qreal Size)
{
    Painter.save();
    Painter.translate(Size / 2, Size / 2);
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(QColor(0x60, 0x60, 0x60));
    for (int Tooth = 0; Tooth < 8; ++Tooth) {
        Painter.drawRect(QRectF(-Size * 0.08, -Size * 0.44, Size * 0.16, Size * 0.2));
        Painter.rotate(45);
    }
    Painter.drawEllipse(QPointF(0, 0), Size * 0.3, Size * 0.3);
    Painter.setBrush(Qt::white);
    Painter.drawEllipse(QPointF(0, 0), Size * 0.12, Size * 0.12);
    Painter.restore();
}

// A door with an arrow leaving it: exit.
void DrawExit(QPainter& Painter, qreal Size)
{
    Painter.setPen(QPen(QColor(0x6D, 0x4C, 0x41), Size * 0.07));
    Painter.setBrush(QColor(0xD7, 0xCC, 0xC8));
    Painter.drawRect(QRectF(Size * 0.14, Size * 0.1, Size * 0.44, Size * 0.8));
    Painter.setPen(QPen(CallColor, Size * 0.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    Painter.drawLine(QPointF(Size * 0.42, Size * 0.5), QPointF(Size * 0.88, Size * 0.5));
    Painter.drawLine(QPointF(Size * 0.74, Size * 0.36), QPointF(Size * 0.88, Size * 0.5));
    Painter.drawLine(QPointF(Size * 0.74, Size * 0.64), QPointF(Size * 0.88, Size * 0.5));
}

QPixmap ToolPixmap(int Index, int Size)
{
    QPixmap Pixmap(Size, Size);
    Pixmap.fill(Qt::transparent);
    QPainter Painter(&Pixmap);
    Painter.setRenderHint(QPainter::Antialiasing);
    switch (Index) {
    case 0:
        DrawList(Painter, Size);
        break;
    case 1:
        DrawBook(Painter, Size);
        break;
    case 2:
        DrawCog(Painter, Size);
        break;
    case 3:
        DrawExit(Painter, Size);
        break;
    case 4:
        DrawList(Painter, Size);
        DrawCallMark(Painter, Size);
        break;
    default:
        break;
    }
    return Pixmap;
}

} // namespace

QIcon TrayIcon(TTrayIconState State)
{
    QIcon Icon;
    for (const int Size : {16, 22, 24, 32, 48})
        Icon.addPixmap(TrayPixmap(State, Size));
    return Icon;
}

QIcon ProgramIcon()
{
    QIcon Icon;
    for (const int Size : {16, 22, 24, 32, 48, 64, 128, 256})
        Icon.addPixmap(TrayPixmap(TRAY_STAND, Size));
    return Icon;
}

QIcon ToolImage(int Index)
{
    QIcon Icon;
    for (const int Size : {24, 48})
        Icon.addPixmap(ToolPixmap(Index, Size));
    return Icon;
}

QPixmap SplashPicture()
{
    constexpr int Width = 420;
    constexpr int Height = 240;
    QPixmap Pixmap(Width, Height);
    QPainter Painter(&Pixmap);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient Sky(0, 0, 0, Height);
    Sky.setColorAt(0, QColor(0x1F, 0x4E, 0x8C));
    Sky.setColorAt(1, QColor(0x0B, 0x24, 0x47));
    Painter.fillRect(Pixmap.rect(), Sky);

    // Rings spreading from the telephone: a call coming in.
    Painter.setBrush(Qt::NoBrush);
    for (int Ring = 1; Ring <= 4; ++Ring) {
        Painter.setPen(QPen(QColor(255, 255, 255, 70 - Ring * 14), 3));
        Painter.drawEllipse(QPointF(86, 104), 40.0 + Ring * 18, 40.0 + Ring * 18);
    }
    Painter.save();
    Painter.translate(46, 64);
    DrawPhone(Painter, 80, Qt::white);
    Painter.restore();

    QFont TitleFont(QStringLiteral("Noto Sans CJK JP"));
    TitleFont.setPixelSize(40);
    TitleFont.setBold(true);
    Painter.setFont(TitleFont);
    Painter.setPen(Qt::white);
    Painter.drawText(QRect(170, 64, Width - 180, 60), Qt::AlignLeft | Qt::AlignVCenter, ProductName);

    QFont SmallFont(QStringLiteral("Noto Sans CJK JP"));
    SmallFont.setPixelSize(14);
    Painter.setFont(SmallFont);
    Painter.setPen(QColor(0xC8, 0xD8, 0xF0));
    Painter.drawText(QRect(172, 124, Width - 180, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Version ") + ProductVersionText());
    Painter.drawText(QRect(0, Height - 34, Width - 16, 24), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Pelmar"));

    Painter.setPen(QPen(QColor(0x8F, 0xB4, 0xE8), 1));
    Painter.drawLine(172, 122, Width - 24, 122);
    return Pixmap;
}
