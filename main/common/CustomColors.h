#pragma once

#include <QColor>
#include <QList>
#include <QString>

// The colour dialog's 16 custom colours, kept in the settings folder's CstmClr.ini: section COMMON,
// keys "0" to "15", each six hexadecimal digits with blue first ("0000FF" is red), "000000" when
// missing or unreadable. The record window's colour button and the list print window share the file,
// so a colour mixed in one is offered in the other.
inline const QString CustomColorsFile = QStringLiteral("CstmClr.ini");
inline constexpr int CustomColorCount = 16;

[[nodiscard]] QColor CustomColorOfText(const QString& Text);
[[nodiscard]] QString CustomColorText(const QColor& Color);
[[nodiscard]] QList<QColor> LoadCustomColors(const QString& SettingsFolder);
// Writes all 16 (missing ones black) and saves the file; false when it could not be written.
[[nodiscard]] bool SaveCustomColors(const QString& SettingsFolder, const QList<QColor>& Colors);
