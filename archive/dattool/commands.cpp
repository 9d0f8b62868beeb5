#include "archive/dattool/commands.h"

#include "archive/dattool/dattool_texts.h"
#include "archive/dattool/seal.h"
#include "archive/dattool/seal_texts.h"

namespace {

// AddLines cuts a text of several lines at "\n".
void AddLines(std::vector<UString>& out, UStringView text) {
    while (!text.empty()) {
        const size_t end = text.find(u'\n');
        out.emplace_back(text.substr(0, end));
        text = end == UStringView::npos ? UStringView() : text.substr(end + 1);
    }
}

}  // namespace

const std::vector<TCommand>& Commands() {
    static const std::vector<TCommand> commands = {
        {u"list", kListUsage, kListSummary, kListDetails, RunList},
        {u"extract", kExtractUsage, kExtractSummary, kExtractDetails, RunExtract},
        {u"check", kCheckUsage, kCheckSummary, kCheckDetails, RunCheck},
        {u"diff", kDiffUsage, kDiffSummary, kDiffDetails, RunDiff},
        {u"pack", kPackUsage, kPackSummary, kPackDetails, RunPack},
        {u"seal", kSealUsage, kSealSummary, kSealDetails, RunSeal},
    };
    return commands;
}

const TCommand* FindCommand(const UString& name) {
    for (const TCommand& command : Commands()) {
        if (command.Name == name) return &command;
    }
    return nullptr;
}

UString UsageLine(const TCommand& command) { return Format(kUsageLine, {command.Name, command.Usage}); }

std::vector<UString> OverviewText() {
    std::vector<UString> lines{UString(kOverviewHead)};
    for (const TCommand& command : Commands()) {
        lines.push_back(Format(kOverviewLine, {command.Name, command.Usage}));
        lines.push_back(Format(kOverviewSummary, {command.Summary}));
    }
    AddLines(lines, kOverviewTail);
    AddLines(lines, kExitCodes);
    return lines;
}

std::vector<UString> CommandHelpText(const TCommand& command) {
    std::vector<UString> lines{UsageLine(command), UString(command.Summary)};
    AddLines(lines, command.Details);
    AddLines(lines, kExitCodes);
    return lines;
}
