#include "main/controls/MyHdCtrl.h"

#include <QApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

namespace {

constexpr int DefaultHeight = 17;

int GripMargin(const QWidget* Widget)
{
    return std::max(2, Widget->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, Widget));
}

} // namespace

TMyCustomHeaderControl::TMyCustomHeaderControl(QWidget* Parent) : QWidget(Parent)
{
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    FSections.OnChange = [this](int Index, bool WithFollowing) { SectionsChanged(Index, WithFollowing); };
}

void TMyCustomHeaderControl::SetStyle(THeaderStyle Value)
{
    FStyle = Value;
    update();
}

void TMyCustomHeaderControl::SetImages(const QList<QPixmap>& Value)
{
    FImages = Value;
    update();
}

void TMyCustomHeaderControl::SetHotTrack(bool Value)
{
    FHotTrack = Value;
    FHot = -1;
    update();
}

QSize TMyCustomHeaderControl::sizeHint() const
{
    return {FSections.TotalWidth(), std::max(DefaultHeight, fontMetrics().height() + 6)};
}

QRect TMyCustomHeaderControl::SectionRect(int Index) const
{
    if (Index < 0 || Index >= FSections.Count())
        return {};
    return {FSections.LeftOf(Index), 0, FSections[Index].Width(), height()};
}

int TMyCustomHeaderControl::DividerAt(int X) const
{
    const int Margin = GripMargin(this);
    int Right = 0;
    int Found = -1;
    for (int I = 0; I < FSections.Count(); ++I) {
        Right += FSections[I].Width();
        // The last divider that is close enough wins, so that a section squeezed to nothing can
        // still be pulled open again.
        if (X >= Right - Margin && X <= Right + Margin)
            Found = I;
    }
    return Found;
}

int TMyCustomHeaderControl::SectionAt(int X) const
{
    int Left = 0;
    for (int I = 0; I < FSections.Count(); ++I) {
        const int Width = FSections[I].Width();
        if (X >= Left && X < Left + Width)
            return I;
        Left += Width;
    }
    return -1;
}

void TMyCustomHeaderControl::SectionsChanged(int Index, bool WithFollowing)
{
    if (Index < 0 || WithFollowing)
        update(QRect(Index < 0 ? 0 : FSections.LeftOf(Index), 0, width(), height()));
    else
        update(SectionRect(Index));
}

void TMyCustomHeaderControl::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    const int Count = FSections.Count();
    int Left = 0;
    for (int I = 0; I < Count; ++I) {
        TMyCustomHeaderSection& Section = FSections[I];
        const QRect Rect(Left, 0, Section.Width(), height());
        Left += Section.Width();
        QStyleOptionHeader Option;
        Option.initFrom(this);
        Option.rect = Rect;
        Option.section = I;
        Option.orientation = Qt::Horizontal;
        Option.state |= QStyle::State_Horizontal | QStyle::State_Enabled;
        if (FStyle == THeaderStyle::Buttons)
            Option.state |= QStyle::State_Raised;
        if (I == FPressed)
            Option.state |= QStyle::State_Sunken;
        if (FHotTrack && I == FHot)
            Option.state |= QStyle::State_MouseOver;
        Option.position = Count == 1       ? QStyleOptionHeader::OnlyOneSection
                          : I == 0         ? QStyleOptionHeader::Beginning
                          : I == Count - 1 ? QStyleOptionHeader::End
                                           : QStyleOptionHeader::Middle;
        if (Section.Style() == TSectionStyle::OwnerDraw) {
            Painter.fillRect(Rect, palette().button());
            emit DrawSection(this, &Section, &Painter, Rect, I == FPressed);
            continue;
        }
        Option.text = Section.Text();
        if (Section.ImageIndex() >= 0 && Section.ImageIndex() < FImages.size())
            Option.icon = QIcon(FImages[Section.ImageIndex()]);
        Option.textAlignment = Qt::AlignVCenter | (Section.Alignment() == TSectionAlignment::Right    ? Qt::AlignRight
                                                   : Section.Alignment() == TSectionAlignment::Center ? Qt::AlignHCenter
                                                                                                      : Qt::AlignLeft);
        style()->drawControl(QStyle::CE_Header, &Option, &Painter, this);
    }
    // The empty stretch right of the last section looks like the header's own background.
    if (Left < width()) {
        QStyleOptionHeader Option;
        Option.initFrom(this);
        Option.rect = QRect(Left, 0, width() - Left, height());
        Option.orientation = Qt::Horizontal;
        Option.state |= QStyle::State_Horizontal;
        style()->drawControl(QStyle::CE_HeaderEmptyArea, &Option, &Painter, this);
    }
}

void TMyCustomHeaderControl::TrackTo(int X, TMySectionTrackState State)
{
    TMyCustomHeaderSection& Section = FSections[FTrack.Section()];
    const int Width = State == TMySectionTrackState::Begin ? Section.Width() : FTrack.WidthAt(X, Section);
    const int Old = Section.Width();
    if (State != TMySectionTrackState::Begin && (FFullDrag || State == TMySectionTrackState::End)) {
        Section.SetWidthQuietly(Width);
        SectionsChanged(FTrack.Section(), true);
    }
    emit SectionTrack(this, &Section, Width, State);
    if (Section.Width() != Old)
        emit SectionResize(this, &Section);
}

void TMyCustomHeaderControl::mousePressEvent(QMouseEvent* Event)
{
    const int X = Event->position().toPoint().x();
    emit MouseDown(Event->button(), Event->modifiers(), Event->position().toPoint());
    if (Event->button() != Qt::LeftButton)
        return;
    const int Divider = DividerAt(X);
    if (Divider >= 0) {
        FTrack.Begin(Divider, FSections[Divider].Width(), X);
        TrackTo(X, TMySectionTrackState::Begin);
        return;
    }
    const int Index = SectionAt(X);
    FPressPos = Event->position().toPoint();
    FDragging = false;
    // A section that takes no clicks is not even pressed, unless it may be dragged.
    if (Index >= 0 && (FSections[Index].AllowClick() || FDragReorder)) {
        FPressed = Index;
        if (FSections[Index].AllowClick())
            update(SectionRect(Index));
    }
}

void TMyCustomHeaderControl::mouseMoveEvent(QMouseEvent* Event)
{
    const int X = Event->position().toPoint().x();
    if (FTrack.Active()) {
        TrackTo(X, TMySectionTrackState::Move);
        return;
    }
    if (FPressed >= 0 && FDragReorder &&
        (Event->position().toPoint() - FPressPos).manhattanLength() >= QApplication::startDragDistance())
        FDragging = true;
    setCursor(DividerAt(X) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
    if (FHotTrack) {
        const int Hot = SectionAt(X);
        if (Hot != FHot) {
            FHot = Hot;
            update();
        }
    }
}

void TMyCustomHeaderControl::mouseReleaseEvent(QMouseEvent* Event)
{
    const int X = Event->position().toPoint().x();
    if (FTrack.Active() && Event->button() == Qt::LeftButton) {
        TrackTo(X, TMySectionTrackState::End);
        FTrack.End();
        return;
    }
    if (FPressed >= 0 && Event->button() == Qt::LeftButton) {
        const int Pressed = FPressed;
        FPressed = -1;
        update(SectionRect(Pressed));
        if (FDragging) {
            FDragging = false;
            // Left of all sections means the first place, right of all the last.
            int Target = SectionAt(X);
            if (Target < 0)
                Target = X < 0 ? 0 : FSections.Count() - 1;
            bool Allow = true;
            emit SectionDrag(this, &FSections[Pressed], &FSections[Target], &Allow);
            if (Allow && Target != Pressed) {
                FSections.Move(Pressed, Target);
                emit SectionEndDrag(this);
            }
            return;
        }
        if (SectionAt(X) == Pressed && FSections[Pressed].AllowClick())
            emit SectionClick(this, &FSections[Pressed]);
    }
}

void TMyCustomHeaderControl::leaveEvent(QEvent*)
{
    if (FHot >= 0) {
        FHot = -1;
        update();
    }
}

void TMyCustomHeaderControl::FlipChildren()
{
    FSections.Flip(width());
}

void TMyCustomHeaderControl::resizeEvent(QResizeEvent*)
{
    AutoSizeSections(FSections, width());
}
