#include "main/common/CommonForms.h"

#include "platform/sys/Folders.h"
#include "platform/ui/FilePrompt.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <functional>

namespace {

QRect WorkAreaOf(const QWidget* Widget)
{
    QScreen* Screen = Widget != nullptr ? Widget->screen() : nullptr;
    if (Screen == nullptr)
        Screen = QGuiApplication::primaryScreen();
    return Screen != nullptr ? Screen->availableGeometry() : QRect();
}

// How far apart two rectangles are, squared; 0 when they touch or overlap.
qint64 SquaredDistance(const QRect& A, const QRect& B)
{
    const qint64 DX = std::max({0, B.left() - (A.left() + A.width()), A.left() - (B.left() + B.width())});
    const qint64 DY = std::max({0, B.top() - (A.top() + A.height()), A.top() - (B.top() + B.height())});
    return DX * DX + DY * DY;
}

qint64 AreaOf(const QRect& Rect)
{
    return Rect.isEmpty() ? 0 : qint64(Rect.width()) * Rect.height();
}

// Fits a stored window's frame again as the window is first shown, and once more when a window manager
// has said how wide it frames the window (it says so only after the window is mapped): without that, a
// window cut to the work area's width would reach past its edge by the frame. Until then the frame counts
// only as wide as the window system has said. A user's later move is the user's and is left alone.
class TFitOnFirstShow : public QObject
{
public:
    explicit TFitOnFirstShow(QWidget* Window) : QObject(Window) {}

    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        auto* Window = static_cast<QWidget*>(Watched);
        if (Event->type() == QEvent::Show) {
            Fit(Window);
            if (Window->frameGeometry().size() != Window->geometry().size()) {
                Done(Window);
            } else {
                Shown = true;
                // A window system that frames nothing says nothing more: stop waiting then.
                QTimer::singleShot(FrameWait, this, [this, Window] { Done(Window); });
            }
        }
        if (Shown && (Event->type() == QEvent::Move || Event->type() == QEvent::Resize) &&
                   Window->frameGeometry().size() != Window->geometry().size()) {
            Fit(Window);
            Done(Window);
        }
        return false;
    }

private:
    static constexpr int FrameWait = 3000;

    static void Fit(QWidget* Window)
    {
        const QRect Frame = Window->frameGeometry();
        const QRect Fitted = FitToScreens(Frame);
        if (Fitted == Frame)
            return;
        // move() places the frame, which is what was fitted, however the window manager's gravity reads it.
        if (Fitted.size() != Frame.size())
            Window->resize(Window->size() - (Frame.size() - Fitted.size()));
        Window->move(Fitted.topLeft());
    }
    void Done(QWidget* Window)
    {
        if (Finished)
            return;
        Finished = true;
        Window->removeEventFilter(this);
        deleteLater();
    }

    bool Shown = false;
    bool Finished = false;
};

} // namespace

namespace {

// Runs Place once more as Form is shown: the window system may size a form only then (a layout that
// waited for its fonts, a frame the window manager adds).
class TPlaceOnShow : public QObject
{
public:
    TPlaceOnShow(QWidget* Form, std::function<void()> Place) : QObject(Form), FPlace(std::move(Place)) {}

    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() != QEvent::Show)
            return false;
        Watched->removeEventFilter(this);
        FPlace();
        deleteLater();
        return false;
    }

private:
    std::function<void()> FPlace;
};

// A form placed before it is first shown has no size yet unless it was given one: a form laid out
// by its layout takes the size it will show with, so that its middle, not its corner, lands where
// it is placed.
void GiveFormItsSize(QWidget* Form)
{
    if (!Form->isVisible() && !Form->testAttribute(Qt::WA_Resized))
        Form->adjustSize();
}

// The same placement now and again when the form is shown, with the size it then has.
void PlaceNowAndOnShow(QWidget* Form, const std::function<void()>& Place)
{
    GiveFormItsSize(Form);
    Place();
    if (!Form->isVisible()) {
        // A form its opener moves on after this keeps that place.
        const QPoint Placed = Form->pos();
        auto* Again = new TPlaceOnShow(Form, [Form, Placed, Place] {
            if (Form->pos() == Placed)
                Place();
        });
        Form->installEventFilter(Again);
    }
}

void CenterFormNow(QWidget* Form, const QWidget* Owner)
{
    const QSize Size = Form->frameGeometry().size();
    if (Owner == nullptr) {
        const QRect Area = WorkAreaOf(Form);
        Form->move(Area.left() + (Area.width() - Size.width()) / 2, Area.top() + (Area.height() - Size.height()) / 2);
        return;
    }
    const QRect Area = WorkAreaOf(Owner);
    const QRect Over = Owner->frameGeometry();
    int Left = Over.left() + (Over.width() - Size.width()) / 2;
    int Top = Over.top() + (Over.height() - Size.height()) / 2;
    // The work area's own edges, not 0: a panel on the left or on top must not cover the form.
    if (Left < Area.left())
        Left = Area.left();
    else if (Left + Size.width() > Area.left() + Area.width())
        Left = Area.left() + Area.width() - Size.width();
    if (Top < Area.top())
        Top = Area.top();
    else if (Top + Size.height() > Area.top() + Area.height())
        Top = Area.top() + Area.height() - Size.height();
    Form->move(Left, Top);
}

void PlaceFormBottomRightNow(QWidget* Form, const QWidget* Anchor, int DX, int DY)
{
    const QRect Rect = Anchor->frameGeometry();
    const QSize Size = Form->frameGeometry().size();
    Form->move(Rect.left() + Rect.width() - Size.width() - DX, Rect.top() + Rect.height() - Size.height() - DY);
}

} // namespace

void CenterForm(QWidget* Form, const QWidget* Owner)
{
    const QPointer<const QWidget> Over(Owner);
    const bool HasOwner = Owner != nullptr;
    PlaceNowAndOnShow(Form, [Form, Over, HasOwner] {
        // An owner gone meanwhile leaves the form where it was put.
        if (HasOwner && !Over)
            return;
        CenterFormNow(Form, Over.data());
    });
}

void PlaceFormBottomRight(QWidget* Form, const QWidget* Anchor, int DX, int DY)
{
    const QPointer<const QWidget> Over(Anchor);
    PlaceNowAndOnShow(Form, [Form, Over, DX, DY] {
        if (Over)
            PlaceFormBottomRightNow(Form, Over.data(), DX, DY);
    });
}

QRect FitToScreens(const QRect& Rect, const QList<TScreenArea>& Screens)
{
    QRegion Visible;
    for (const TScreenArea& Screen : Screens)
        Visible += Screen.Available;
    if (Screens.isEmpty() || QRegion(Rect).subtracted(Visible).isEmpty())
        return Rect;

    const TScreenArea* Nearest = &Screens.first();
    qint64 Covered = -1;
    qint64 Distance = 0;
    for (const TScreenArea& Screen : Screens) {
        const qint64 Overlap = AreaOf(Rect & Screen.Geometry);
        const qint64 Away = SquaredDistance(Rect, Screen.Geometry);
        if (Overlap > Covered || (Overlap == 0 && Covered == 0 && Away < Distance)) {
            Nearest = &Screen;
            Covered = Overlap;
            Distance = Away;
        }
    }
    const QRect& Area = Nearest->Available;
    const QSize Size = Rect.size().boundedTo(Area.size());
    const int Left = std::clamp(Rect.left(), Area.left(), Area.left() + Area.width() - Size.width());
    const int Top = std::clamp(Rect.top(), Area.top(), Area.top() + Area.height() - Size.height());
    return {QPoint(Left, Top), Size};
}

QRect FitToScreens(const QRect& Rect)
{
    QList<TScreenArea> Screens;
    for (const QScreen* Screen : QGuiApplication::screens())
        Screens.append({Screen->geometry(), Screen->availableGeometry()});
    return FitToScreens(Rect, Screens);
}

namespace {

// What the window manager's title bar and borders take at most, for a window whose frame is not known yet.
constexpr QSize FrameAllowance(8, 36);

} // namespace

void MoveToStoredPlace(QWidget* Window, QPoint Position)
{
    // A frame that is not known yet (no title bar above the window; at a fractional scale the frame of a
    // window not shown yet can even come out a pixel smaller than the window) is allowed for, as the thin
    // borders of the frame found at the first show are less than one of our pixels at a scale of 2.
    QSize Frame = Window->frameGeometry().size();
    if (Frame.height() <= Window->height())
        Frame = Window->size() + FrameAllowance;
    const QRect Place = FitToScreens(QRect(Position, Frame));
    if (Place.size() != Frame)
        Window->resize(Window->size() - (Frame - Place.size()));
    Window->move(Place.topLeft());
    Window->installEventFilter(new TFitOnFirstShow(Window));
}

void SetStoredGeometry(QWidget* Window, const QRect& Rect)
{
    Window->setGeometry(FitToScreens(Rect));
    Window->installEventFilter(new TFitOnFirstShow(Window));
}

namespace {

// What of Window's screen a window may take: the work area less the window manager's title bar and
// borders, which are not known before the window is first shown. Empty without a screen.
QSize RoomFor(const QWidget* Window)
{
    const QRect Area = WorkAreaOf(Window);
    return Area.isEmpty() ? QSize() : Area.size() - FrameAllowance;
}

bool Fits(QSize Size, QSize Room)
{
    return Size.width() <= Room.width() && Size.height() <= Room.height();
}

// Moving a control to another parent puts it at the end of the tab order: the order is read before
// and laid down again after.
QList<QWidget*> TabOrderOf(QWidget* Window)
{
    QList<QWidget*> Order;
    for (QWidget* Control = Window->nextInFocusChain(); Control != Window; Control = Control->nextInFocusChain())
        Order << Control;
    return Order;
}

void RestoreTabOrder(const QList<QWidget*>& Order)
{
    for (qsizetype I = 1; I < Order.size(); ++I)
        QWidget::setTabOrder(Order[I - 1], Order[I]);
}

// Scroll's window size for content of Size in Room: a scroll bar of one direction takes room from the
// other, and where the screen has that room it is given.
QSize ScrolledSize(const QScrollArea* Scroll, QSize Size, QSize Room)
{
    // At a fractional scale the window system rounds the window's size in its own pixels, which can take
    // a pixel of ours from the viewport: without that pixel to spare the other bar would come for it.
    const int Bar = Scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Scroll) + 2;
    QSize Shown = Size.boundedTo(Room);
    if (Shown.height() < Size.height())
        Shown.setWidth(std::min(Room.width(), Size.width() + Bar));
    if (Shown.width() < Size.width())
        Shown.setHeight(std::min(Room.height(), Size.height() + Bar));
    return Shown;
}

QScrollArea* NewClientScroll(QWidget* Window)
{
    auto* Scroll = new QScrollArea(Window);
    Scroll->setObjectName(QStringLiteral("scrClient"));
    Scroll->setFrameShape(QFrame::NoFrame);
    // The controls inside take the keyboard, not the area around them.
    Scroll->setFocusPolicy(Qt::NoFocus);
    return Scroll;
}

} // namespace

void SetClientSize(QWidget* Window, QSize Size)
{
    const QSize Fitted = RoomFor(Window);
    const QSize Room = Fitted.isEmpty() ? Size : Fitted;
    auto* Scroll = Window->findChild<QScrollArea*>(QStringLiteral("scrClient"), Qt::FindDirectChildrenOnly);
    if (Scroll == nullptr) {
        if (Fits(Size, Room)) {
            Window->setFixedSize(Size);
            return;
        }
        const QList<QWidget*> TabOrder = TabOrderOf(Window);
        auto* Content = new QWidget;
        Content->setObjectName(QStringLiteral("pnlClient"));
        for (QObject* Child : Window->children()) {
            auto* Control = qobject_cast<QWidget*>(Child);
            if (Control == nullptr || Control->isWindow())
                continue;
            const QRect Place = Control->geometry();
            const bool Hidden = Control->isHidden();
            Control->setParent(Content);
            Control->setGeometry(Place);
            Control->setHidden(Hidden);
        }
        Scroll = NewClientScroll(Window);
        Scroll->setWidget(Content);
        RestoreTabOrder(TabOrder);
    }
    Scroll->widget()->setFixedSize(Size);
    const QSize Shown = ScrolledSize(Scroll, Size, Room);
    Window->setFixedSize(Shown);
    Scroll->setGeometry(QRect(QPoint(), Shown));
}

void FitLayoutToScreen(QWidget* Window)
{
    QLayout* Layout = Window->layout();
    const QSize Room = RoomFor(Window);
    if (Layout == nullptr || Room.isEmpty())
        return;
    Layout->activate();
    const bool FixedSize = Window->minimumSize() == Window->maximumSize();
    const QSize Least = Window->minimumSizeHint().expandedTo(Window->minimumSize());
    // A window never resized takes its size hint as it is first shown.
    const QSize Current = Window->testAttribute(Qt::WA_Resized) ? Window->size() : Window->sizeHint();
    const QSize Wanted = Current.expandedTo(Least);
    if (Fits(Wanted, Room))
        return;
    if (!FixedSize && Fits(Least, Room)) {
        // The layout can give way: the window only shrinks.
        Window->resize(Wanted.boundedTo(Room));
        return;
    }
    const QList<QWidget*> TabOrder = TabOrderOf(Window);
    auto* Content = new QWidget;
    Content->setObjectName(QStringLiteral("pnlClient"));
    // Takes the layout from Window and makes its widgets Content's.
    Content->setLayout(Layout);
    // A window of one size keeps that size for its content; any other, what its layout needs at least.
    Content->setMinimumSize(FixedSize ? Wanted : Least);
    auto* Scroll = NewClientScroll(Window);
    Scroll->setWidgetResizable(true);
    Scroll->setWidget(Content);
    auto* Frame = new QVBoxLayout(Window);
    Frame->setContentsMargins(0, 0, 0, 0);
    Frame->addWidget(Scroll);
    RestoreTabOrder(TabOrder);
    Window->setMinimumSize(0, 0);
    Window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QSize Shown = ScrolledSize(Scroll, Wanted, Room);
    if (FixedSize)
        Window->setFixedSize(Shown);
    else
        Window->resize(Shown);
}

int ScaleByDpiAt(int Value, bool ToScreen, double PixelsPerInch)
{
    if (PixelsPerInch <= 0)
        return Value;
    const double Scaled = ToScreen ? Value * PixelsPerInch / 96.0 : Value * 96.0 / PixelsPerInch;
    return static_cast<int>(Scaled + 0.5);
}

int ScaleByDpi(int Value, bool ToScreen)
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    return ScaleByDpiAt(Value, ToScreen, Screen != nullptr ? Screen->logicalDotsPerInch() : 96.0);
}

QWidget* FindWindowByProp(const char* Name)
{
    for (QWidget* Widget : QApplication::topLevelWidgets()) {
        const QVariant Value = Widget->property(Name);
        if (Value.isValid() && Value.toLongLong() != 0)
            return Widget;
    }
    return nullptr;
}

void ForceForegroundWindow(QWidget* Window)
{
    if (Window == nullptr)
        return;
    Window->raise();
    Window->activateWindow();
}

bool ActivateMarkedWindow(const char* Name)
{
    QWidget* Window = FindWindowByProp(Name);
    if (Window == nullptr)
        return false;
    if (Window->isMinimized())
        Window->showNormal();
    ForceForegroundWindow(Window);
    return true;
}

void GrayscaleBitmap(QImage& Image)
{
    if (Image.format() != QImage::Format_RGB888)
        Image = Image.convertToFormat(QImage::Format_RGB888);
    for (int Y = 0; Y < Image.height(); ++Y) {
        uchar* Pixel = Image.scanLine(Y);
        for (int X = 0; X < Image.width(); ++X, Pixel += 3) {
            // In hundredths, so that a tie is a tie and not a rounding error of 0.3 in binary.
            const int Hundredths = 30 * Pixel[0] + 59 * Pixel[1] + 11 * Pixel[2];
            int Grey = Hundredths / 100;
            const int Rest = Hundredths % 100;
            if (Rest > 50 || (Rest == 50 && (Grey % 2) != 0))
                ++Grey;
            Pixel[0] = Pixel[1] = Pixel[2] = static_cast<uchar>(Grey);
        }
    }
}

bool BrowseForFolder(QString& Folder, QWidget* Owner, const QString& Title, bool AllowNewFolder,
                     bool StartAtProgramFolder)
{
    QString Start;
    if (!Folder.trimmed().isEmpty() && QFileInfo(Folder.trimmed()).isDir())
        Start = Folder.trimmed();
    else if (StartAtProgramFolder)
        Start = GetProgramFolder();

    TFilePrompt Prompt;
    Prompt.Kind = TFilePrompt::EKind::Folder;
    Prompt.ObjectName = QStringLiteral("BrowseForFolder");
    Prompt.Title = Title;
    Prompt.StartFolder = Start;
    Prompt.AllowNewFolder = AllowNewFolder;
    const std::optional<QString> Answer = RunFilePrompt(Owner, Prompt);
    if (!Answer)
        return false;
    const QString Chosen = QDir::cleanPath(*Answer);
    if (!QFileInfo(Chosen).isDir())
        return false;
    Folder = Chosen;
    return true;
}

THourglass::THourglass()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

THourglass::~THourglass()
{
    QApplication::restoreOverrideCursor();
}
