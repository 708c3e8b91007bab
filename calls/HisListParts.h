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
// Another program holds the history while the user asks for the list.
inline const QString HistoryListBusyText =
    QStringLiteral("着信対応履歴が他のプログラムで使用中のため、一覧を表示できませんでした  \r\n"
                   "しばらくしてから、もう一度実行してください  ");

// A message box of the list, with the program's caption.
int Message(QWidget* Owner, const QString& Text, unsigned Flags);

} // namespace HisListParts
