// dattool is the vendor's tool for update archives: it lists, extracts,
// checks, compares with an installation and packs them. Its commands stand in
// one table (commands.h); exit codes are 0 done or clean, 1 problems found or
// a failed run, 2 a wrong command line or input that cannot be read.
#pragma once

#include <vector>

#include "base/text.h"

// TConsole receives the tool's lines; each platform writes them its own way.
class TConsole {
public:
    virtual ~TConsole() = default;
    virtual void Out(const UString& line) = 0;
    virtual void Err(const UString& line) = 0;
    // Progress replaces the last progress line on a terminal (empty: clears
    // it); where the output is not a terminal it shows nothing.
    virtual void Progress(const UString& line) { (void)line; }
};

// RunDatTool runs one command (arguments without the program name) and gives the exit code.
int RunDatTool(const std::vector<UString>& args, TConsole& console);
// DatToolVersion is the project's version, as --version prints it.
UString DatToolVersion();
