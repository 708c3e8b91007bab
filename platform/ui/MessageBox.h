#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

// Flags and answers keep the values the program's callers were written with, so a flag word such as
// MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 reads the same everywhere.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_TYPEMASK = 0xF;

inline constexpr unsigned MB_ICONSTOP = 0x10;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONMASK = 0xF0;

inline constexpr unsigned MB_DEFBUTTON1 = 0x0;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
inline constexpr unsigned MB_DEFMASK = 0xF00;

inline constexpr unsigned MB_TOPMOST = 0x40000;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Where a box appears: where the window system puts it, with its top-left corner at a point, or
// centred over a rectangle (the box may then reach past the screen, as the caller asked for it).
struct TMessageBoxPlacement
{
    enum class EKind
    {
        Default,
        TopLeft,
        CenterOver
    };
    EKind Kind = EKind::Default;
    QPoint TopLeft;
    QRect Over;

    [[nodiscard]] static TMessageBoxPlacement AtTopLeft(QPoint Point) { return {EKind::TopLeft, Point, {}}; }
    [[nodiscard]] static TMessageBoxPlacement CenteredOver(QRect Rect) { return {EKind::CenterOver, {}, Rect}; }
};

// The one way both programs show a message box. Owner may be null; while the box is open every
// other window of the application is blocked, and afterwards the window that was active before is
// active again. "\r\n" in Text breaks the line. Answers one of the ID values.
//
// With VX_MSGBOX_LOG=<file> set nothing is shown: the box is appended to that file as one JSON line
// {"caption":..,"text":..,"buttons":[..],"icon":..,"default":..} and answered by the next name of
// VX_MSGBOX_ANSWERS (comma-separated: OK, Cancel, Abort, Retry, Ignore, Yes, No), or by its default
// button when the answers are used up, unset, or name a button the box does not have.
[[nodiscard]] int ShowMessageBox(QWidget* Owner, const QString& Text, const QString& Caption, unsigned Flags,
                                 const TMessageBoxPlacement& Placement = {});

// The buttons of a flag word in the order they stand in the box, as ID values, and the default one.
[[nodiscard]] QList<int> MessageBoxButtons(unsigned Flags);
[[nodiscard]] int MessageBoxDefaultButton(unsigned Flags);

// "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No" for the ID values (empty for others), and back
// (0 for an unknown name; letter case does not matter).
[[nodiscard]] QString MessageBoxButtonName(int Id);
[[nodiscard]] int MessageBoxButtonId(const QString& Name);

// Whether boxes are answered from VX_MSGBOX_ANSWERS instead of being shown.
[[nodiscard]] bool MessageBoxIsScripted();

// Starts reading VX_MSGBOX_ANSWERS from its first name again (tests that reuse one answer list).
void ResetMessageBoxAnswers();
