#pragma once

#include "main/common/ProductInfo.h"

#include <QString>

// False until the message loop is about to run; device notifications that come earlier are dropped.
extern bool ProgramStarted;
