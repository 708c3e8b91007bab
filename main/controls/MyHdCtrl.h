#pragma once

#include "main/controls/HdSections.h"

#include <QList>
#include <QPixmap>
#include <QWidget>

// The column header that the paged list windows place above their owner-drawn lists: sections
// with minimum and maximum widths, auto-size sections sharing the free width, and divider drags
// reported while they run, so that the list can redraw its columns as the divider moves. The
// list draws its own cells under the sections, reading their widths.
class TMyCustomHeaderControl : public QWidget
{
    Q_OBJECT
public:
    enum class THeaderStyle
    {
        Buttons,
        Flat
    };

    explicit TMyCustomHeaderControl(QWidget* Parent = nullptr);

    [[nodiscard]] TMyCustomHeaderSections& Sections() { return FSections; }
    [[nodiscard]] const TMyCustomHeaderSections& Sections() const { return FSections; }

    [[nodiscard]] THeaderStyle Style() const { return FStyle; }
    void SetStyle(THeaderStyle Value);
    // With full drag the sections follow the divider while it moves.
    [[nodiscard]] bool FullDrag() const { return FFullDrag; }
    void SetFullDrag(bool Value) { FFullDrag = Value; }
    [[nodiscard]] bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    // Sections may be dragged to another place (the program's lists never allow it).
    [[nodiscard]] bool DragReorder() const { return FDragReorder; }
    void SetDragReorder(bool Value) { FDragReorder = Value; }

    // The images sections show by their ImageIndex; none by default.
    [[nodiscard]] const QList<QPixmap>& Images() const { return FImages; }
    void SetImages(const QList<QPixmap>& Value);

    // The section whose right divider lies under X (within the grip margin), else -1.
    [[nodiscard]] int DividerAt(int X) const;
    // The section under X, else -1.
    [[nodiscard]] int SectionAt(int X) const;
    [[nodiscard]] QRect SectionRect(int Index) const;
    [[nodiscard]] int PressedSection() const { return FPressed; }

    // Mirrors the sections for right-to-left reading.
    void FlipChildren();

    [[nodiscard]] QSize sizeHint() const override;

signals:
    // Raised for owner-drawn sections; the rectangle is already filled with the button face.
    void DrawSection(TMyCustomHeaderControl* Control, TMyCustomHeaderSection* Section, QPainter* Painter,
                     const QRect& Rect, bool Pressed);
    void SectionClick(TMyCustomHeaderControl* Control, TMyCustomHeaderSection* Section);
    void SectionResize(TMyCustomHeaderControl* Control, TMyCustomHeaderSection* Section);
    // Width: the width the section shows, already within its limits.
    void SectionTrack(TMyCustomHeaderControl* Control, TMyCustomHeaderSection* Section, int Width,
                      TMySectionTrackState State);
    void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, const QPoint& Pos);
    // A dragged section is about to move from one place to another; Allow false keeps it.
    void SectionDrag(QObject* Sender, TMyCustomHeaderSection* FromSection, TMyCustomHeaderSection* ToSection,
                     bool* Allow);
    void SectionEndDrag(QObject* Sender);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    void SectionsChanged(int Index, bool WithFollowing);
    void TrackTo(int X, TMySectionTrackState State);

    TMyCustomHeaderSections FSections;
    QList<QPixmap> FImages;
    THeaderStyle FStyle = THeaderStyle::Buttons;
    bool FFullDrag = true;
    bool FHotTrack = false;
    bool FDragReorder = false;
    TDividerTrack FTrack;
    int FPressed = -1;
    int FHot = -1;
    QPoint FPressPos;
    bool FDragging = false;
};

class TMyHeaderControl : public TMyCustomHeaderControl
{
    Q_OBJECT
public:
    using TMyCustomHeaderControl::TMyCustomHeaderControl;
};
