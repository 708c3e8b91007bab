#pragma once

#include <QString>

// Hint texts carry a short part for tool tips and a long part for the status bar, split at the first "|".
[[nodiscard]] QString GetShortHint(const QString& Hint);
[[nodiscard]] QString GetLongHint(const QString& Hint);

// A caption without its keyboard markers. Japanese captions put the hot key in brackets after the
// word ("ファイル(&F)"); with a Japanese locale that whole group goes, so only the word is left.
[[nodiscard]] QString StripHotkey(const QString& Caption, bool FarEastLocale);
[[nodiscard]] QString StripHotkey(const QString& Caption);
