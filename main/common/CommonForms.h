#pragma once

#include "main/common/CommonFonts.h"

#include <QFont>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QImage;
class QWidget;

// Centres Form over Owner, kept inside the work area (the screen without panels) of Owner's screen:
// a form that would reach past the right or bottom edge ends flush with it, one that would start left
// of or above the work area starts at its edge. Without Owner, centred in the work area of Form's
// screen, no clamping. The form keeps its size.
void CenterForm(QWidget* Form, const QWidget* Owner);

// Form's right edge DX and its bottom DY pixels inside Anchor's; no clamping.
void PlaceFormBottomRight(QWidget* Form, const QWidget* Anchor, int DX, int DY);

// A screen as a window place is fitted to it: the whole screen, and its work area (without panels).
struct TScreenArea
{
    QRect Geometry;
    QRect Available;
};

// A window rectangle read from the settings, made visible: one that lies wholly in the screens' work areas
// stays as it is (also across two screens); any other moves into the work area of the screen nearest to it
// (the one it covers most, else the one at the least distance), and shrinks only where it is larger than
// that area. Without screens it stays as it is.
[[nodiscard]] QRect FitToScreens(const QRect& Rect, const QList<TScreenArea>& Screens);
// The same on the screens the application has now.
[[nodiscard]] QRect FitToScreens(const QRect& Rect);
// A window placed from the settings, fitted so: a place on a monitor since unplugged, or beyond a screen
// made smaller, opens on the nearest screen. MoveToStoredPlace takes the frame's top-left corner, as
// QWidget::move does, with the size Window has; SetStoredGeometry the window's own area, as
// QWidget::setGeometry does. The frame is fitted again as the window is first shown, once the window
// system has told how wide it draws it.
void MoveToStoredPlace(QWidget* Window, QPoint Position);
void SetStoredGeometry(QWidget* Window, const QRect& Rect);

// Gives Window, whose controls stand at fixed places, its designed client size. Where the work area of its
// screen has no room for that (a small laptop screen, a large scale factor), the controls keep their places
// inside a scroll area as large as there is room for, so that none is out of reach beyond the screen's
// edge. Called again with another size (a panel shown or hidden), it sizes the scrolled area instead.
void SetClientSize(QWidget* Window, QSize Size);

// The same for a window built of layouts, called once it has its size: where the work area of its screen
// has no room for that size or for what its layout needs at least, the layout with all it holds moves
// into a scroll area that fills the window, and the window takes the size there is room for. Nothing cut,
// the tab order kept; on a screen with room the window stays as it is.
void FitLayoutToScreen(QWidget* Window);

// Converts a stored 96-per-inch value to the screen (ToScreen) or back, rounding half up. Qt already
// lays out in 96-per-inch logical units with a device pixel ratio on top, so with the primary screen's
// logical DPI at 96 this is the identity and stored sizes are not scaled twice.
[[nodiscard]] int ScaleByDpi(int Value, bool ToScreen);
[[nodiscard]] int ScaleByDpiAt(int Value, bool ToScreen, double PixelsPerInch);

// The first top-level widget whose dynamic property Name holds a non-zero value; null when none. The
// main program marks its window so with its single-instance name.
[[nodiscard]] QWidget* FindWindowByProp(const char* Name);

// Brings Window to the front and gives it the input focus, as far as the window manager allows.
void ForceForegroundWindow(QWidget* Window);

// What the first copy of a program does when a later start knocks: the window marked with Name is
// restored when minimised and brought forward. False when no window carries the mark.
bool ActivateMarkedWindow(const char* Name);

// Makes every pixel grey in place: v = 0.3 red + 0.59 green + 0.11 blue, rounded half to even, in all
// three channels. The image becomes 24-bit RGB first.
void GrayscaleBitmap(QImage& Image);

// The folder prompt. Starts at Folder when it exists, else at the program folder when
// StartAtProgramFolder, else where the dialog likes. AllowNewFolder gives it its new-folder button.
// True with Folder := the chosen folder (no trailing "/"); false leaves Folder as it was.
bool BrowseForFolder(QString& Folder, QWidget* Owner, const QString& Title, bool AllowNewFolder,
                     bool StartAtProgramFolder);

// The hourglass cursor for the life of a handler, whatever the way out.
class THourglass
{
public:
    THourglass();
    ~THourglass();
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;
};
