#include "archive/dattool/dattool.h"

#include "archive/dattool/command_line.h"
#include "archive/dattool/commands.h"
#include "archive/dattool/dattool_texts.h"
#include "archive/zip_handlers.h"
#include "base/error_text.h"

#ifndef KELVO_VERSION_TEXT
#error "the dattool library is built with KELVO_VERSION_TEXT, the project's version"
#endif

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void OutLines(TConsole& console, const std::vector<UString>& lines) {
    for (const UString& line : lines) console.Out(line);
}

int RunCommand(const TCommand& command, const std::vector<UString>& args, TConsole& console) {
    if (AsksForHelp(args)) {
        OutLines(console, CommandHelpText(command));
        return 0;
    }
    try {
        return command.Run(args, console);
    } catch (const EToolUsage& error) {
        console.Err(Format(kToolSays, {command.Name, error.Message()}));
        console.Err(UsageLine(command));
        console.Err(Format(kMoreHelp, {command.Name}));
        return kExitUsage;
    } catch (const EToolInput& error) {
        console.Err(error.Message());
        return kExitUsage;
    } catch (const Exception& error) {
        console.Err(DisplayText(error));  // as the error display shows it, as the last line
        return kExitFailed;
    }
}

}  // namespace

UString DatToolVersion() { return FromUtf8(KELVO_VERSION_TEXT); }

int RunDatTool(const std::vector<UString>& args, TConsole& console) {
    RegisterDefaultCompressionHandlers();
    if (args.empty()) {
        for (const UString& line : OverviewText()) console.Err(line);
        return kExitUsage;
    }
    if (args[0] == u"--help" || args[0] == u"-h") {
        OutLines(console, OverviewText());
        return 0;
    }
    if (args[0] == u"--version") {
        console.Out(Format(kVersionLine, {DatToolVersion()}));
        return 0;
    }
    const TCommand* command = FindCommand(args[0]);
    if (command == nullptr) {
        console.Err(Format(kUnknownCommand, {args[0]}));
        console.Err(UString(kSeeHelp));
        return kExitUsage;
    }
    return RunCommand(*command, std::vector<UString>(args.begin() + 1, args.end()), console);
}
