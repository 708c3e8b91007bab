#include "main/start/ProgramStart.h"

bool ProgramStarted = false;
