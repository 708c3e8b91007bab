#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

// The pieces the utility's pages are built of: named controls and command buttons with glyphs.
namespace Utility {

template <typename T> inline T* Named(T* Widget, const char* Name)
{
    Widget->setObjectName(QString::fromLatin1(Name));
    return Widget;
}

inline QLabel* NamedLabel(const QString& Text, const char* Name)
{
    return Named(new QLabel(Text), Name);
}

// A command button with its glyph; the glyphs are the platform's own pictures for the same ideas.
inline QPushButton* CommandButton(QWidget* Owner, const QString& Caption, QStyle::StandardPixmap Glyph,
                                  const char* Name)
{
    auto* Button = Named(new QPushButton(Owner->style()->standardIcon(Glyph), Caption), Name);
    Button->setMinimumWidth(96);
    return Button;
}

inline QGroupBox* Group(const QString& Caption, const char* Name)
{
    return Named(new QGroupBox(Caption), Name);
}

} // namespace Utility
