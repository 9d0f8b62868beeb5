// dattool's commands in one table: the usage line, the overview and each
// command's --help are all made from it. A new command is a file of its own
// with a Run function and one row in commands.cpp.
#pragma once

#include <vector>

#include "archive/dattool/dattool.h"

using TCommandRun = int (*)(const std::vector<UString>& args, TConsole& console);

struct TCommand {
    UStringView Name;     // "pack"
    UStringView Usage;    // what follows the name: "[OPTIONS] FOLDER ARCHIVE"
    UStringView Summary;  // one line for the overview
    UStringView Details;  // what it does and its options, one line each; may be empty
    TCommandRun Run;      // the arguments after the name
};

const std::vector<TCommand>& Commands();
const TCommand* FindCommand(const UString& name);

// OverviewText is `dattool --help`; CommandHelpText is `dattool NAME --help`;
// UsageLine is "usage: dattool NAME USAGE".
std::vector<UString> OverviewText();
std::vector<UString> CommandHelpText(const TCommand& command);
UString UsageLine(const TCommand& command);

// The commands, each in its own file; args are the arguments after the name.
int RunList(const std::vector<UString>& args, TConsole& console);
int RunExtract(const std::vector<UString>& args, TConsole& console);
int RunCheck(const std::vector<UString>& args, TConsole& console);
int RunPack(const std::vector<UString>& args, TConsole& console);
int RunDiff(const std::vector<UString>& args, TConsole& console);
