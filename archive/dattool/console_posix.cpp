#include <unistd.h>

#include <cstdio>

#include "archive/dattool/dattool.h"

namespace {

// Linux terminals take UTF-8.
class TUtf8Console : public TConsole {
public:
    void Out(const UString& line) override { Write(line, stdout); }
    void Err(const UString& line) override {
        std::fflush(stdout);
        Write(line, stderr);
    }
    // The progress line is redrawn in place on a terminal's stderr: "\r", the line, clear to its end.
    void Progress(const UString& line) override {
        if (::isatty(STDERR_FILENO) == 0) return;
        const std::string bytes = "\r" + ToUtf8(line) + "\033[K";
        std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    }

private:
    // Write counts the bytes: a line may hold a zero character.
    static void Write(const UString& line, std::FILE* to) {
        const std::string bytes = ToUtf8(line) + "\n";
        std::fwrite(bytes.data(), 1, bytes.size(), to);
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<UString> args;
    for (int i = 1; i < argc; ++i) args.push_back(FromUtf8(argv[i]));
    TUtf8Console console;
    return RunDatTool(args, console);  // returning from main flushes stdout
}
