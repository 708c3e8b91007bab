#include "main/common/FormParts.h"

#include "main/controls/NMDEdit.h"
#include "main/tables/HisInfo.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QToolButton>

QLineEdit* NewEdit(QWidget* Parent, const char* Name, int MaxBytes, int X, int Y, int W, bool ImeClosed)
{
    auto* Edit = NewNamed<QLineEdit>(Parent, Name);
    SetByteLimit(Edit, MaxBytes);
    Edit->setGeometry(X, Y, W, 21);
    if (ImeClosed) {
        // Numbers and addresses of mail are typed in single-byte letters: no input method here.
        Edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        Edit->setInputMethodHints(Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
    }
    return Edit;
}

QToolButton* NewButton(QWidget* Parent, const char* Name, const QString& Caption, const QString& Hint, int X, int Y,
                       int W, int H)
{
    auto* Button = NewNamed<QToolButton>(Parent, Name);
    Button->setText(Caption);
    Button->setToolTip(Hint);
    Button->setGeometry(X, Y, W, H);
    Button->setFocusPolicy(Qt::StrongFocus);
    return Button;
}

QComboBox* NewCombo(QWidget* Parent, const char* Name, bool Editable, int MaxBytes, int X, int Y, int W)
{
    auto* Combo = NewNamed<QComboBox>(Parent, Name);
    Combo->setEditable(Editable);
    Combo->setInsertPolicy(QComboBox::NoInsert);
    if (Editable)
        SetByteLimit(Combo->lineEdit(), MaxBytes);
    Combo->setGeometry(X, Y, W, 21);
    return Combo;
}

void CaretToEnd(QLineEdit* Edit)
{
    Edit->setFocus();
    Edit->deselect();
    Edit->setCursorPosition(static_cast<int>(Edit->text().size()));
}

void SelectAllAndFocus(QLineEdit* Edit)
{
    Edit->setFocus();
    Edit->selectAll();
}

QColor ColorOfValue(unsigned Value)
{
    return QColor(Value & 0xff, (Value >> 8) & 0xff, (Value >> 16) & 0xff);
}

unsigned ValueOfColor(const QColor& Color)
{
    return static_cast<unsigned>(Color.red()) | static_cast<unsigned>(Color.green()) << 8 |
           static_cast<unsigned>(Color.blue()) << 16;
}

void RefillRankCombo(QComboBox* Combo, const THistoryData* List)
{
    const QString Saved = Combo->currentText().trimmed();
    Combo->clear();
    if (List && List->Items())
        for (const THistoryStruct& Item : *List->Items())
            Combo->addItem(Item.Text);
    Combo->setCurrentIndex(-1);
    if (Combo->isEditable())
        Combo->setEditText(QString());
    if (Saved.isEmpty())
        return;
    for (int I = 0; I < Combo->count(); ++I) {
        if (Combo->itemText(I).trimmed() == Saved) {
            Combo->setCurrentIndex(I);
            return;
        }
    }
}

bool CommitAsHalfKana(QLineEdit* Edit, const QInputMethodEvent* Input)
{
    const QString Half = ReadingToHalfKana(Input->commitString());
    if (Half == Input->commitString())
        return false;
    QInputMethodEvent Converted(Input->preeditString(), Input->attributes());
    Converted.setCommitString(Half, Input->replacementStart(), Input->replacementLength());
    QApplication::sendEvent(Edit, &Converted);
    return true;
}
