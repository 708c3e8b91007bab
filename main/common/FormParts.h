#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>
#include <utility>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class THistoryData;

// Building blocks of the windows that edit a caller's entry (the incoming-call window, the
// directory record window and the pick-list editor): their controls are laid out by hand in design
// pixels, named as the forms name them, and behave alike.

// A control of type T on Parent with the object name Name.
template <typename T, typename... TArgs> T* NewNamed(QWidget* Parent, const char* Name, TArgs&&... Args)
{
    T* Widget = new T(std::forward<TArgs>(Args)..., Parent);
    Widget->setObjectName(QLatin1String(Name));
    return Widget;
}

// The font of these windows. Where "ＭＳ Ｐゴシック" is not installed the desktop's Japanese font
// stands in for it as the window's own font: a Latin font would measure the lines lower than the
// Japanese text they show.
[[nodiscard]] QFont EntryFormFont();
// The height of a one-line edit on Form: a line of Form's font inside the edit's frame, and at
// least the 21 pixels of the forms.
[[nodiscard]] int EditRowHeight(const QWidget* Form);

// A caption left of the value it names, vertically centred on its row.
QLabel* NewCaption(QWidget* Parent, const QString& Text, int X, int Y, int W, int H);
// A one-line edit that takes at most MaxBytes CP932 bytes (0: no limit). ImeClosed keeps the input
// method away, for numbers and mail addresses.
QLineEdit* NewEdit(QWidget* Parent, const char* Name, int MaxBytes, QRect Place, bool ImeClosed = false);
QToolButton* NewButton(QWidget* Parent, const char* Name, const QString& Caption, const QString& Hint, QRect Place);
QComboBox* NewCombo(QWidget* Parent, const char* Name, bool Editable, int MaxBytes, QRect Place);

// A check or radio box's caption in Color; the option boxes turn blue while ticked.
void SetCaptionColor(QWidget* Widget, const QColor& Color);

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
