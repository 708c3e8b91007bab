#pragma once

// What the pages of the settings dialog build their controls with.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace EnvControls {

// A ticked box of these shows its caption in blue (see the dialog's style sheet).
const char* const BlueWhenChecked = "blueWhenChecked";

template <typename T, typename... TArgs> T* New(QWidget* Parent, const char* Name, TArgs&&... Args)
{
    T* Widget = new T(std::forward<TArgs>(Args)..., Parent);
    Widget->setObjectName(QLatin1String(Name));
    return Widget;
}

inline QLabel* NewLabel(QWidget* Parent, const char* Name, const QString& Text)
{
    return New<QLabel>(Parent, Name, Text);
}

inline QCheckBox* NewCheck(QWidget* Parent, const char* Name, const QString& Text, bool Blue = true)
{
    auto* Box = New<QCheckBox>(Parent, Name, Text);
    Box->setProperty(BlueWhenChecked, Blue);
    return Box;
}

inline QComboBox* NewList(QWidget* Parent, const char* Name, int Rows = 8)
{
    auto* List = New<QComboBox>(Parent, Name);
    List->setMaxVisibleItems(Rows);
    return List;
}

inline QLineEdit* NewEdit(QWidget* Parent, const char* Name, int MaxLength)
{
    auto* Edit = New<QLineEdit>(Parent, Name);
    Edit->setMaxLength(MaxLength);
    return Edit;
}

inline QLabel* RedLabel(QWidget* Parent, const char* Name, const QString& Text)
{
    QLabel* Label = NewLabel(Parent, Name, Text);
    Label->setStyleSheet(QStringLiteral("QLabel:enabled { color: red; }"));
    return Label;
}

inline void SetEnabled(std::initializer_list<QWidget*> Controls, bool Enabled)
{
    for (QWidget* Control : Controls)
        Control->setEnabled(Enabled);
}

// Enter never reaches a control as a character: the handlers take it to move on.
inline bool IsEnterKey(const QKeyEvent* Key)
{
    return Key->key() == Qt::Key_Return || Key->key() == Qt::Key_Enter;
}

// The hourglass for the life of a handler, whatever the way out.
class TWaitCursor
{
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace EnvControls
