#pragma once

class QDialog;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QString;
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

// A caption for an edit of the conditions group; its accelerator goes to the edit.
QLabel* BuddyLabel(QGroupBox* Group, const QString& Text, QWidget* Buddy);

// The company's and the name's rows of the conditions, each reading beside its kanji, from row Row
// of Grid on.
void AddNameRows(QGridLayout* Grid, int Row, QLineEdit* Corp, QLineEdit* CorpKanji, QLineEdit* Name,
                 QLineEdit* NameKanji);

// The dialog: the conditions group, the group "オプション" with the two choices, and the three
// buttons at the bottom right, each answering Enter itself.
void LayOutDialog(QDialog* Dialog, QGroupBox* Conditions, QRadioButton* And, QRadioButton* Or, QPushButton* Search,
                  QPushButton* Clear, QPushButton* Cancel);

} // namespace SearchParts
