#include "directory/maps/windows/MapWindow.h"

#include "directory/maps/drivers/MapDriver.h"
#include "directory/maps/host/MapHost.h"
#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "platform/msg/MessageBoxFlags.h"
#include "platform/print/Printing.h"
#include "platform/ui/WindowScript.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <stdexcept>

TMapSurfaceWidget::TMapSurfaceWidget(TMapHost& Host, void* Surface, QWidget* Parent)
    : QWidget(Parent), FHost(Host), FSurface(Surface)
{
    setMinimumSize(320, 240);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

QPoint TMapSurfaceWidget::PointOf(int Latitude, int Longitude) const
{
    int X = 0, Y = 0;
    FHost.ToPoint(FSurface, Latitude, Longitude, &X, &Y);
    return {X, Y};
}

void TMapSurfaceWidget::PositionAt(QPoint Point, int& Latitude, int& Longitude) const
{
    FHost.ToPosition(FSurface, Point.x(), Point.y(), &Latitude, &Longitude);
}

QImage TMapSurfaceWidget::Picture(const QRect& Part) const
{
    QImage Whole(size(), QImage::Format_ARGB32);
    Whole.fill(Qt::white);
    FHost.Draw(FSurface, Whole.bits(), Whole.width(), Whole.height(), static_cast<int>(Whole.bytesPerLine()));
    // The picked place is what the user copies or prints the map for: its cross goes with it.
    QPainter Painter(&Whole);
    DrawMark(Painter);
    Painter.end();
    return Part.isValid() ? Whole.copy(Part) : Whole;
}

void TMapSurfaceWidget::DrawMark(QPainter& Painter) const
{
    if (FMarkLat == 0)
        return;
    const QPoint P = PointOf(FMarkLat, FMarkLon);
    Painter.setPen(QPen(Qt::red, 3, Qt::SolidLine));
    Painter.drawLine(P.x() - 5, P.y(), P.x() + 5, P.y());
    Painter.drawLine(P.x(), P.y() - 5, P.x(), P.y() + 5);
}

void TMapSurfaceWidget::SetMark(int Latitude, int Longitude)
{
    FMarkLat = Latitude;
    FMarkLon = Longitude;
    update();
}

void TMapSurfaceWidget::ClearSelection()
{
    FSelecting = false;
    FSelected = false;
    update();
}

void TMapSurfaceWidget::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    Painter.drawImage(0, 0, Picture({}));
    if (FSelecting || FSelected) {
        Painter.setPen(QPen(Qt::blue, 2));
        Painter.setBrush(Qt::NoBrush);
        Painter.drawRect(Selection());
    }
}

void TMapSurfaceWidget::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    FHost.Size(FSurface, width(), height());
    ClearSelection();
}

void TMapSurfaceWidget::mousePressEvent(QMouseEvent* Event)
{
    FLastMouse = Event->position().toPoint();
    if (Clipping && Event->button() == Qt::LeftButton) {
        FSelecting = true;
        FSelected = false;
        FMoved = false;
        FAnchor = FCurrent = FLastMouse;
        return;
    }
    if (FSelected)
        ClearSelection();
    if (MouseScroll && Event->button() == Qt::LeftButton)
        FDrag = FLastMouse;
}

void TMapSurfaceWidget::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint Point = Event->position().toPoint();
    FLastMouse = Point;
    if (FSelecting) {
        FCurrent = QPoint(qBound(0, Point.x(), width() - 1), qBound(0, Point.y(), height() - 1));
        FMoved = FMoved || FCurrent != FAnchor;
        update();
        return;
    }
    if (MouseScroll && (Event->buttons() & Qt::LeftButton) && !FDrag.isNull() && Point != FDrag) {
        int Lat = 0, Lon = 0;
        PositionAt(rect().center() - (Point - FDrag), Lat, Lon);
        FHost.MoveTo(FSurface, Lat, Lon);
        FDrag = Point;
        update();
        if (OnScrolled)
            OnScrolled();
    }
}

void TMapSurfaceWidget::mouseReleaseEvent(QMouseEvent* Event)
{
    FDrag = {};
    if (!FSelecting || Event->button() != Qt::LeftButton)
        return;
    FSelecting = false;
    // A click without dragging marks nothing.
    FSelected = FMoved;
    update();
    if (OnSelectionDone)
        OnSelectionDone();
}

void TMapSurfaceWidget::mouseDoubleClickEvent(QMouseEvent* Event)
{
    FLastMouse = Event->position().toPoint();
    if (!Clipping && OnDoubleClick)
        OnDoubleClick(FLastMouse);
}

void TMapSurfaceWidget::contextMenuEvent(QContextMenuEvent* Event)
{
    FLastMouse = Event->pos();
    if (OnContextMenu)
        OnContextMenu(Event->globalPos());
}

TMapWindow::TMapWindow(QWidget* Owner, const QString& Program, const QString& Title) : QDialog(Owner)
{
    FHost = MapHost();
    FSurface = FHost ? FHost->Surface(Program.toUtf8().constData()) : nullptr;
    if (!FSurface)
        throw std::runtime_error("the map host has no map surface");
    setWindowTitle(Title);
    auto* Layout = new QVBoxLayout(this);
    FTools = new QHBoxLayout;
    Layout->addLayout(FTools);
    const auto Tool = [this](const QString& Text, const QString& Hint) {
        auto* Button = new QToolButton(this);
        Button->setText(Text);
        Button->setToolTip(Hint);
        Button->setAutoRaise(true);
        return Button;
    };
    sbtnClip = Tool(QStringLiteral("範囲"), QStringLiteral("範囲選択"));
    sbtnClip->setCheckable(true);
    sbtnCopy = Tool(QStringLiteral("コピー"), QStringLiteral("コピー"));
    sbtnPrint = Tool(QStringLiteral("印刷"), QStringLiteral("印刷"));
    sbtnExit = Tool(QStringLiteral("閉じる"), QStringLiteral("閉じる"));
    FTools->addStretch();
    for (QToolButton* Button : {sbtnClip, sbtnCopy, sbtnPrint, sbtnExit})
        FTools->addWidget(Button);
    Map = new TMapSurfaceWidget(*FHost, FSurface, this);
    Layout->addWidget(Map, 1);
    resize(640, 520);
    FitLayoutToScreen(this);
    ScriptWindow(this);

    actCopy = new QAction(QStringLiteral("コピー"), this);
    actCopy->setShortcut(QKeySequence::Copy);
    addAction(actCopy);
    connect(actCopy, &QAction::triggered, this, &TMapWindow::Copy);
    connect(sbtnCopy, &QToolButton::clicked, this, &TMapWindow::Copy);
    connect(sbtnPrint, &QToolButton::clicked, this, &TMapWindow::Print);
    connect(sbtnExit, &QToolButton::clicked, this, [this] { done(2); });
    connect(sbtnClip, &QToolButton::toggled, this, [this](bool Down) {
        Map->Clipping = Down;
        Map->MouseScroll = !Down;
        Map->setCursor(Down ? Qt::CrossCursor : Qt::ArrowCursor);
    });
    Map->OnSelectionDone = [this] { sbtnClip->setChecked(false); };
    Map->OnScrolled = [this] { Map->ClearSelection(); };
}

TMapWindow::~TMapWindow()
{
    delete Map;
    Map = nullptr;
    if (FHost && FSurface)
        FHost->SurfaceRelease(FSurface);
}

QWidget* TMapWindow::MessageWindow() const
{
    return MapMessageWindow(const_cast<TMapWindow*>(this));
}

QImage TMapWindow::MapPicture() const
{
    return Map->Picture(Map->HasSelection() ? Map->Selection() : QRect());
}

void TMapWindow::Copy()
{
    if (isMinimized())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FillClipboard(MapPicture());
    QApplication::restoreOverrideCursor();
}

void TMapWindow::Print()
{
    if (!HasPrinters()) {
        (void)MessageBoxPos(MessageWindow(), QStringLiteral("プリンターがインストールされていません"), ProductName,
                            MB_OK | MB_ICONINFORMATION);
        return;
    }
    TPrintJob Job({}, PrintTitle());
    if (!Job.SetupDialog(this))
        return;
    const QImage Picture = MapPicture();
    // Nothing else of the program is worked while the page goes out. The window's own owners stay
    // as they are: disabling one would disable this window with it, and this window's modality
    // already keeps them from input.
    const auto Owns = [this](const QWidget* Window) {
        for (const QWidget* Owner = parentWidget(); Owner; Owner = Owner->parentWidget())
            if (Owner == Window)
                return true;
        return false;
    };
    QList<QPointer<QWidget>> Disabled;
    for (QWidget* Window : QApplication::topLevelWidgets())
        if (Window != this && !Owns(Window) && Window->isVisible() && Window->isEnabled()) {
            Window->setEnabled(false);
            Disabled << Window;
        }
    bool Printed = false;
    if (Job.Begin(PrintTitle())) {
        // The picture keeps its size on paper: screen pixels become printer pixels by the inch.
        const double ScreenDpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
        const double Scale = Job.Resolution() / ScreenDpi;
        QPainter& Painter = Job.Painter();
        Painter.setRenderHint(QPainter::SmoothPixmapTransform);
        Painter.drawImage(QRect(0, 0, qRound(Picture.width() * Scale), qRound(Picture.height() * Scale)), Picture);
        Printed = Job.End();
    }
    for (const QPointer<QWidget>& Window : Disabled)
        if (Window)
            Window->setEnabled(true);
    if (Printed)
        (void)MessageBoxPos(MessageWindow(), QStringLiteral("印刷しました"), ProductName, MB_OK | MB_ICONINFORMATION);
}

void TMapWindow::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Escape) {
        sbtnExit->click();
        return;
    }
    QDialog::keyPressEvent(Event);
}
