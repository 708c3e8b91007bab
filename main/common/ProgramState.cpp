#include "main/common/ProgramState.h"

bool UIIdle = false;
bool ClosingForUpdate = false;
bool ProgramEnding = false;
