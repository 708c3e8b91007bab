#pragma once

#include "platform/msg/MessageBoxFlags.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

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

// What the other scripted prompts (file, folder, colour) share with the boxes: the next name of
// VX_MSGBOX_ANSWERS (empty when used up), a text in JSON string syntax, and one line appended to the
// VX_MSGBOX_LOG file.
[[nodiscard]] QString NextScriptedAnswer();
[[nodiscard]] QString JsonString(const QString& Text);
void AppendScriptedLog(const QString& Line);

// Starts reading VX_MSGBOX_ANSWERS from its first name again (tests that reuse one answer list).
void ResetMessageBoxAnswers();

// Called with each box's text as it comes up, before it is shown or answered from the script, so that
// a test can look at what the program holds while the box is open. An empty function removes it.
void SetMessageBoxWatcher(std::function<void(const QString& Text)> Watcher);
