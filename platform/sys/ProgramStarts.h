#pragma once

#include <QDateTime>
#include <QStringList>
#include <optional>

// When the earliest of the user's running processes whose executable's file name is one of Names
// started, this process included when its name is among them; none when none runs. Files a program
// left behind in a crash are told from those a running one is still writing by this: what is older
// than every running program belongs to none of them.
// With InFolder given, only the processes that hold a file of that folder open count: a program
// working on another data folder owns nothing here.
[[nodiscard]] std::optional<QDateTime> EarliestProgramStart(const QStringList& Names, const QString& InFolder = {});
