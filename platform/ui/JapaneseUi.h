#pragma once

// Qt's own texts (file and folder dialogs, the edit context menu, the calendar) in Japanese: Qt's
// Japanese translation from its translations folder, and Japan as the default locale, so that
// calendars begin their weeks on Sunday and dates read as Japanese users write them. Call once,
// after the application object exists and before the first window. Answers whether Qt's translation
// was found; without it the texts stay English and nothing else changes.
bool InstallJapaneseUi();
