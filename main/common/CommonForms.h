#pragma once

#include <QFont>
#include <QList>
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

// Font style bits.
inline constexpr int FONT_STYLE_BOLD = 1;
inline constexpr int FONT_STYLE_ITALIC = 2;
inline constexpr int FONT_STYLE_UNDERLINE = 4;
inline constexpr int FONT_STYLE_STRIKEOUT = 8;

// Character sets as the stored settings name them.
inline constexpr int ANSI_CHARSET = 0;
inline constexpr int SYMBOL_CHARSET = 2;
inline constexpr int SHIFTJIS_CHARSET = 128;

// Sets Font's family, point size and style (other bits ignored). Fonts here carry no character set;
// Charset is accepted for the callers' sake and has no effect. 0 for no font, else 1.
int SetFontAttributes(QFont* Font, int Charset, const QString& Name, int StyleBits, int Size);
[[nodiscard]] int GetFontStyleBits(const QFont& Font);

struct TFontListEntry
{
    QString Name;
    int Charset = ANSI_CHARSET;
};

// The installed scalable font families that write Japanese (Charset 128) or Latin (0), and symbol fonts
// (2) when WithSymbol, without vertical "@" faces, only fixed-pitch ones when FixedPitchOnly; in the
// font database's order.
[[nodiscard]] QList<TFontListEntry> ListFonts(bool FixedPitchOnly, bool WithSymbol);

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
