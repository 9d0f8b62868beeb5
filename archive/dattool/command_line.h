// The command line of one dattool command: options may stand anywhere, a
// valued option takes the next argument ("--exclude '*.log'"), and "--" ends
// the options so that a file named "--x" can still be given.
#pragma once

#include <initializer_list>
#include <vector>

#include "base/exception.h"
#include "base/text.h"

// EToolUsage is a wrong command line (exit 2, with the command's usage);
// EToolInput is an archive or folder that cannot be read (exit 2).
KELVO_EXCEPTION_CLASS(EToolUsage, Exception);
KELVO_EXCEPTION_CLASS(EToolInput, Exception);

struct TOptionSpec {
    UStringView Name;  // "--force"
    bool TakesValue = false;
};

class TCommandLine {
public:
    // TCommandLine sorts args into options and operands; an unknown option or
    // a valued option at the end raises EToolUsage.
    TCommandLine(const std::vector<UString>& args, std::initializer_list<TOptionSpec> known);
    bool Has(UStringView option) const;
    std::vector<UString> Values(UStringView option) const;
    // Operands gives exactly count operands or raises EToolUsage.
    const std::vector<UString>& Operands(size_t count) const;

private:
    std::vector<std::pair<UString, UString>> FOptions;
    std::vector<UString> FOperands;
};

// AsksForHelp: "--help" or "-h" stands before any "--".
bool AsksForHelp(const std::vector<UString>& args);

// RequireFolder raises EToolInput when folder does not exist or is not a folder.
void RequireFolder(const UString& folder);
