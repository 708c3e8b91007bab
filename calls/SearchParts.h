#pragma once

class QLineEdit;
class QRadioButton;
class QWidget;

// What the search-condition dialogs of the call history and the directory share: the edits held
// to the record's byte widths, the blue caption of the chosen option and the Enter walk.
namespace SearchParts {

// Keeps an edit within a number of CP932 bytes, as the record's fields count them.
void LimitBytes(QLineEdit* Edit, int Bytes);

// The chosen one of the two options has a blue caption, the other the window-text colour.
void ShowChosenOption(QRadioButton* And, QRadioButton* Or);

// The focus on Widget as the Tab key gives it, the caret at the end of an edit.
void FocusAtEnd(QWidget* Widget);

} // namespace SearchParts
