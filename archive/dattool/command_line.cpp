#include "archive/dattool/command_line.h"

#include <filesystem>
#include <system_error>

#include "archive/dattool/dattool_texts.h"

namespace {

bool IsOption(const UString& arg) { return arg.size() > 1 && arg[0] == u'-'; }

}  // namespace

TCommandLine::TCommandLine(const std::vector<UString>& args, std::initializer_list<TOptionSpec> known) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const UString& arg = args[i];
        if (optionsEnded || !IsOption(arg)) {
            FOperands.push_back(arg);
        } else if (arg == u"--") {
            optionsEnded = true;
        } else {
            const TOptionSpec* knownOption = nullptr;
            for (const TOptionSpec& k : known) {
                if (arg == k.Name) knownOption = &k;
            }
            if (knownOption == nullptr) throw EToolUsage(Format(kUnknownOption, {arg}));
            UString value;
            if (knownOption->TakesValue) {
                if (++i == args.size()) throw EToolUsage(Format(kOptionWantsValue, {arg}));
                value = args[i];
            }
            FOptions.emplace_back(arg, std::move(value));
        }
    }
}

bool TCommandLine::Has(UStringView option) const {
    for (const auto& [name, value] : FOptions) {
        if (name == option) return true;
    }
    return false;
}

std::vector<UString> TCommandLine::Values(UStringView option) const {
    std::vector<UString> values;
    for (const auto& [name, value] : FOptions) {
        if (name == option) values.push_back(value);
    }
    return values;
}

const std::vector<UString>& TCommandLine::Operands(size_t count) const {
    if (FOperands.size() < count) throw EToolUsage(UString(kTooFewArguments));
    if (FOperands.size() > count) throw EToolUsage(Format(kUnexpectedArgument, {FOperands[count]}));
    return FOperands;
}

bool AsksForHelp(const std::vector<UString>& args) {
    for (const UString& arg : args) {
        if (arg == u"--") return false;
        if (arg == u"--help" || arg == u"-h") return true;
    }
    return false;
}

void RequireFolder(const UString& folder) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(std::filesystem::path(folder), error);
    if (!std::filesystem::exists(status)) throw EToolInput(Format(kNoSuchFolder, {folder}));
    if (!std::filesystem::is_directory(status)) throw EToolInput(Format(kNotAFolder, {folder}));
}
