#pragma once

#include "directory/maps/MapCmn.h"

#include <QDialog>
#include <QImage>
#include <QRect>
#include <functional>

class QHBoxLayout;
class QPainter;
class QToolButton;
struct TMapHost;

// The map control of the map windows: the host's surface drawn into a widget, the picked place as a
// red cross, and the rectangle the user marks while the window's clip button is down.
class TMapSurfaceWidget : public QWidget
{
public:
    TMapSurfaceWidget(TMapHost& Host, void* Surface, QWidget* Parent);

    [[nodiscard]] QPoint PointOf(int Latitude, int Longitude) const;
    void PositionAt(QPoint Point, int& Latitude, int& Longitude) const;
    [[nodiscard]] QImage Picture(const QRect& Part) const;
    [[nodiscard]] QPoint LastMouse() const { return FLastMouse; }

    // The cross at the picked place; none while Latitude is 0.
    void SetMark(int Latitude, int Longitude);
    // Scrolling by dragging; off while a rectangle is being marked.
    bool MouseScroll = true;
    bool Clipping = false;
    bool HasSelection() const { return FSelected; }
    [[nodiscard]] QRect Selection() const { return QRect(FAnchor, FCurrent).normalized() & rect(); }
    void ClearSelection();

    std::function<void(QPoint)> OnDoubleClick;
    std::function<void()> OnSelectionDone; // a rectangle was marked or the marking was cancelled
    std::function<void(QPoint)> OnContextMenu;
    std::function<void()> OnScrolled;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;

private:
    void DrawMark(QPainter& Painter) const;

    TMapHost& FHost;
    void* FSurface;
    int FMarkLat = 0;
    int FMarkLon = 0;
    bool FSelecting = false;
    bool FSelected = false;
    bool FMoved = false;
    QPoint FAnchor;
    QPoint FCurrent;
    QPoint FDrag;
    QPoint FLastMouse;
};

// What both map windows share: the surface, the four tool buttons, copy, print and Escape.
class TMapWindow : public QDialog
{
public:
    TMapWindow(QWidget* Owner, const QString& Program, const QString& Title);
    ~TMapWindow() override;

    QToolButton* sbtnClip = nullptr;
    QToolButton* sbtnCopy = nullptr;
    QToolButton* sbtnPrint = nullptr;
    QToolButton* sbtnExit = nullptr;
    QAction* actCopy = nullptr;
    TMapSurfaceWidget* Map = nullptr;

    // The picture that is copied and printed: the marked rectangle or the whole map.
    [[nodiscard]] virtual QImage MapPicture() const;
    void Copy();
    void Print();

protected:
    [[nodiscard]] virtual QString PrintTitle() const = 0;
    // What goes on the clipboard with the picture.
    virtual void FillClipboard(const QImage& Picture) = 0;
    [[nodiscard]] QWidget* MessageWindow() const;
    void keyPressEvent(QKeyEvent* Event) override;

    QHBoxLayout* FTools = nullptr;
    TMapHost* FHost = nullptr;
    void* FSurface = nullptr;
};
