#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <utility>

class QComboBox;
class QInputMethodEvent;
class QLineEdit;
class QToolButton;
class THistoryData;

// Building blocks of the windows that edit a caller's entry (the incoming-call window and the
// directory record window): their controls are laid out by hand in design pixels, named as the
// forms name them, and behave alike.

// A control of type T on Parent with the object name Name.
template <typename T, typename... TArgs> T* NewNamed(QWidget* Parent, const char* Name, TArgs&&... Args)
{
    T* Widget = new T(std::forward<TArgs>(Args)..., Parent);
    Widget->setObjectName(QLatin1String(Name));
    return Widget;
}

// A one-line edit that takes at most MaxBytes CP932 bytes (0: no limit). ImeClosed keeps the input
// method away, for numbers and mail addresses.
QLineEdit* NewEdit(QWidget* Parent, const char* Name, int MaxBytes, int X, int Y, int W, bool ImeClosed = false);
QToolButton* NewButton(QWidget* Parent, const char* Name, const QString& Caption, const QString& Hint, int X, int Y,
                       int W = 40, int H = 21);
QComboBox* NewCombo(QWidget* Parent, const char* Name, bool Editable, int MaxBytes, int X, int Y, int W);

// Focuses Edit with the caret behind its last character.
void CaretToEnd(QLineEdit* Edit);
// Focuses Edit with all its text selected.
void SelectAllAndFocus(QLineEdit* Edit);

// The directory keeps a colour as one value with red in the low byte, then green, then blue.
[[nodiscard]] QColor ColorOfValue(unsigned Value);
[[nodiscard]] unsigned ValueOfColor(const QColor& Color);

// Refills a rank combo from the rank list in its order. The item whose trimmed text equals the
// combo's text before the refill is selected again; otherwise none is.
void RefillRankCombo(QComboBox* Combo, const THistoryData* List);

// A company's reading is kept in half-width katakana whatever the input method commits: Input is
// handed to Edit converted, and true says so; false leaves an event that needs no conversion to
// the edit itself.
bool CommitAsHalfKana(QLineEdit* Edit, const QInputMethodEvent* Input);
