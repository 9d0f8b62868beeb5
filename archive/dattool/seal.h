// `dattool seal UPDATER_EXE ARCHIVE` writes ARCHIVE's SHA-256 into the
// updater's reserved seal resource, in place (no rebuild); an exe that is
// already signed is refused, since the seal would break its signature: seal
// first, then sign. `dattool seal --show UPDATER_EXE` prints the exe's
// version and what it is sealed to, or that it is not sealed.
#pragma once

#include <vector>

#include "archive/dattool/dattool.h"

// RunSeal is the command: the arguments after "seal".
int RunSeal(const std::vector<UString>& args, TConsole& console);
