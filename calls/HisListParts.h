#pragma once

#include <QApplication>
#include <QString>

class QWidget;

// What the files of the call-history list share: the guards its actions run under and its
// messages.
namespace HisListParts {

inline constexpr int RecNoRole = Qt::UserRole;
inline const QString NotFoundText = QStringLiteral("該当するデータが見つかりませんでした  ");

// The hourglass for the life of a scope.
class TWaitCursor
{
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

// Clears the idle flag while a modal window is up and sets it again afterwards.
class TIdleOff
{
public:
    explicit TIdleOff(bool* Flag) : FFlag(Flag) { *FFlag = false; }
    ~TIdleOff() { *FFlag = true; }

private:
    bool* FFlag;
};

// Sets a flag for the life of a scope.
class TFlagGuard
{
public:
    explicit TFlagGuard(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagGuard() { FFlag = false; }

private:
    bool& FFlag;
};

// A message box of the list, with the program's caption.
int Message(QWidget* Owner, const QString& Text, unsigned Flags);

} // namespace HisListParts
