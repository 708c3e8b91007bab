#include "calls/SearchParts.h"

#include "main/common/CommonText.h"
#include "platform/text/Cp932.h"

#include <QLineEdit>
#include <QRadioButton>

namespace SearchParts {

namespace {

void SetCaptionColor(QWidget* Widget, const QColor& Color)
{
    QPalette Palette = Widget->palette();
    Palette.setColor(QPalette::WindowText, Color);
    Palette.setColor(QPalette::ButtonText, Color);
    Widget->setPalette(Palette);
}

} // namespace

void LimitBytes(QLineEdit* Edit, int Bytes)
{
    QObject::connect(Edit, &QLineEdit::textEdited, Edit, [Edit, Bytes](const QString& Text) {
        if (Cp932Width(Text) > Bytes) {
            const int Cursor = Edit->cursorPosition();
            Edit->setText(MbcsLeft(Text, Bytes));
            Edit->setCursorPosition(std::min(Cursor, static_cast<int>(Edit->text().size())));
        }
    });
}

void ShowChosenOption(QRadioButton* And, QRadioButton* Or)
{
    const QColor Plain = And->window()->palette().color(QPalette::WindowText);
    SetCaptionColor(And, And->isChecked() ? QColor(0, 0, 255) : Plain);
    SetCaptionColor(Or, Or->isChecked() ? QColor(0, 0, 255) : Plain);
}

void FocusAtEnd(QWidget* Widget)
{
    Widget->setFocus(Qt::TabFocusReason);
    if (auto* Edit = qobject_cast<QLineEdit*>(Widget)) {
        Edit->deselect();
        Edit->setCursorPosition(static_cast<int>(Edit->text().size()));
    }
}

} // namespace SearchParts
