#include <windows.h>

#include <string>

#include "archive/dattool/dattool.h"
#include "base/system_library_win32.h"
#include "base/win32_handles.h"

namespace {

// A console gets UTF-16 through WriteConsoleW; a redirected handle gets UTF-8.
class TWindowsConsole : public TConsole {
public:
    void Out(const UString& line) override { Write(::GetStdHandle(STD_OUTPUT_HANDLE), line); }
    void Err(const UString& line) override { Write(::GetStdHandle(STD_ERROR_HANDLE), line); }
    // The progress line is redrawn in place on a console: "\r", the line, spaces over what is left.
    void Progress(const UString& line) override {
        const HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
        DWORD mode = 0;
        if (!::GetConsoleMode(handle, &mode)) return;
        UString text = u"\r" + line;
        if (line.size() < FLastProgress) text += UString(FLastProgress - line.size(), u' ') + u"\r" + line;
        FLastProgress = line.size();
        DWORD written = 0;
        ::WriteConsoleW(handle, W(text), static_cast<DWORD>(text.size()), &written, nullptr);
    }

private:
    static void Write(HANDLE handle, const UString& line) {
        const UString text = line + u"\r\n";
        DWORD mode = 0;
        DWORD written = 0;
        if (::GetConsoleMode(handle, &mode)) {
            ::WriteConsoleW(handle, W(text), static_cast<DWORD>(text.size()), &written, nullptr);
            return;
        }
        const std::string bytes = ToUtf8(text);
        ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

    size_t FLastProgress = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    TrustOnlyAdministratorsLinks();
    RestrictLibrarySearch();
    std::vector<UString> args;
    for (int i = 1; i < argc; ++i) args.push_back(FromW(argv[i]));
    TWindowsConsole console;
    return RunDatTool(args, console);
}
