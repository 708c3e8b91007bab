#pragma once

#include "calls/PagedLines.h"

#include <QApplication>
#include <QString>

class QWidget;

// What the files of the call-history list share: the guards its actions run under and its
// messages.
namespace HisListParts {

using PagedLines::RecNoRole;
using PagedLines::TFlagGuard;
using PagedLines::TIdleOff;
using PagedLines::TWaitCursor;
inline const QString NotFoundText = QStringLiteral("該当するデータが見つかりませんでした  ");

// A message box of the list, with the program's caption.
int Message(QWidget* Owner, const QString& Text, unsigned Flags);

} // namespace HisListParts
