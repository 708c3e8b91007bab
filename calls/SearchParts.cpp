#include "calls/SearchParts.h"

#include "main/common/CommonText.h"
#include "main/common/FormParts.h"
#include "platform/text/Cp932.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace SearchParts {

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

QLabel* BuddyLabel(QGroupBox* Group, const QString& Text, QWidget* Buddy)
{
    auto* Label = new QLabel(Text, Group);
    Label->setBuddy(Buddy);
    return Label;
}

void AddNameRows(QGridLayout* Grid, int Row, QLineEdit* Corp, QLineEdit* CorpKanji, QLineEdit* Name,
                 QLineEdit* NameKanji)
{
    auto* Group = qobject_cast<QGroupBox*>(Grid->parentWidget());
    Grid->addWidget(BuddyLabel(Group, QStringLiteral("会社名カナ"), Corp), Row, 0);
    Grid->addWidget(Corp, Row, 1);
    Grid->addWidget(BuddyLabel(Group, QStringLiteral("漢字"), CorpKanji), Row, 2);
    Grid->addWidget(CorpKanji, Row, 3);
    Grid->addWidget(BuddyLabel(Group, QStringLiteral("名前カナ"), Name), Row + 1, 0);
    Grid->addWidget(Name, Row + 1, 1);
    Grid->addWidget(BuddyLabel(Group, QStringLiteral("漢字"), NameKanji), Row + 1, 2);
    Grid->addWidget(NameKanji, Row + 1, 3);
    Grid->setColumnMinimumWidth(1, 160);
    Grid->setColumnMinimumWidth(3, 160);
}

void LayOutDialog(QDialog* Dialog, QGroupBox* Conditions, QRadioButton* And, QRadioButton* Or, QPushButton* Search,
                  QPushButton* Clear, QPushButton* Cancel)
{
    auto* Options = new QGroupBox(QStringLiteral("オプション"), Dialog);
    auto* OptionLayout = new QVBoxLayout(Options);
    OptionLayout->addWidget(And);
    OptionLayout->addWidget(Or);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    for (QPushButton* Button : {Search, Clear, Cancel}) {
        Buttons->addWidget(Button);
        Button->setAutoDefault(true);
    }
    auto* Layout = new QVBoxLayout(Dialog);
    Layout->addWidget(Conditions);
    Layout->addWidget(Options);
    Layout->addLayout(Buttons);
}

} // namespace SearchParts
