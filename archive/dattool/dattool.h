// dattool lists, extracts and checks update archives:
//   dattool list ARCHIVE          one line per entry
//   dattool extract ARCHIVE DIR   the update run's sequence; errors as the error display shows them
//   dattool check ARCHIVE         the pre-flight before shipping: reads everything, writes nothing
//   dattool pack [--fixed-time] FOLDER ARCHIVE   makes an update archive that passes check
//   dattool seal UPDATER_EXE ARCHIVE | seal --show UPDATER_EXE   the updater's seal (seal.h)
#pragma once

#include <vector>

#include "base/text.h"

// TConsole receives the tool's lines; each platform writes them its own way.
class TConsole {
public:
    virtual ~TConsole() = default;
    virtual void Out(const UString& line) = 0;
    virtual void Err(const UString& line) = 0;
};

// RunDatTool runs one command (arguments without the program name) and gives the exit code.
int RunDatTool(const std::vector<UString>& args, TConsole& console);
