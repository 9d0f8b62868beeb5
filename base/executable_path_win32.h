// ExecutablePath is the running executable's full path, however long it is.
#pragma once

#include "base/text.h"

UString ExecutablePath();
