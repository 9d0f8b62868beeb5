#include <cstdio>

#include "archive/dattool/dattool.h"

namespace {

// Linux terminals take UTF-8.
class TUtf8Console : public TConsole {
public:
    void Out(const UString& line) override { std::fputs((ToUtf8(line) + "\n").c_str(), stdout); }
    void Err(const UString& line) override {
        std::fflush(stdout);
        std::fputs((ToUtf8(line) + "\n").c_str(), stderr);
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<UString> args;
    for (int i = 1; i < argc; ++i) args.push_back(FromUtf8(argv[i]));
    TUtf8Console console;
    const int code = RunDatTool(args, console);
    std::fflush(stdout);
    return code;
}
