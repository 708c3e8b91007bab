#include "main/start/ProgramStart.h"

const QString MAIN_INSTANCE_NAME = QStringLiteral("Pelmar.VxRelvo16.MainInstance");

bool ProgramStarted = false;
