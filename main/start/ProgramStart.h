#pragma once

#include <QString>

// The name of the main program's single-instance lock, and of the mark its running copy answers to.
// The utility asks for the same name to learn whether the main program runs.
extern const QString MAIN_INSTANCE_NAME;

// False until the message loop is about to run; device notifications that come earlier are dropped.
extern bool ProgramStarted;
