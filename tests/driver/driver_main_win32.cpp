// uidriver entry: the command table, options and UTF-8 output.
#include <cstdio>
#include <cwchar>

#include "tests/driver/driver.h"
#include "base/win32_handles.h"

namespace {

const char kUsage[] =
    "usage: uidriver COMMAND [options]\n"
    "  window options: --caption T --class C --hwnd H --pid P --hidden\n"
    "  child options:  --child-id N --child-class C --child-text T --child-index K\n"
    "  wait-window [--timeout ms]      wait-gone [--timeout ms]\n"
    "  info | children | count | list\n"
    "  click [--mouse] [--button left|right|middle] [--wait-new-window [--timeout ms]]\n"
    "  set-text TEXT | activate        close [--wait-exit] | wait-exit\n"
    "  read-box [--title T] [--timeout ms]   dismiss-box [--title T]\n"
    "  screen | pixel X Y | capture X Y W H OUT.bmp|OUT.ppm | font\n"
    "  hold PATH [--until FILE] [--timeout ms]\n"
    "  text-width [--face F] [--height H] [--weight W] TEXT\n";

struct TCommand {
    const wchar_t* Name;
    int (*Run)(const TArgs&);
};

const TCommand kCommands[] = {
    {L"wait-window", CmdWaitWindow}, {L"wait-gone", CmdWaitGone}, {L"info", CmdInfo},
    {L"children", CmdChildren},      {L"count", CmdCount},        {L"list", CmdList},
    {L"click", CmdClick},            {L"set-text", CmdSetText},   {L"close", CmdClose},
    {L"wait-exit", CmdWaitExit},     {L"read-box", CmdReadBox},   {L"dismiss-box", CmdDismissBox},
    {L"screen", CmdScreen},          {L"pixel", CmdPixel},        {L"capture", CmdCapture},
    {L"font", CmdFont},              {L"hold", CmdHold},          {L"text-width", CmdTextWidth},
    {L"activate", CmdActivate},
};

void PrintError(const char* kind, const char* text) {
    std::string line = std::string("uidriver: ") + kind + text + "\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

TArgs::TArgs(int argc, wchar_t** argv, int first) {
    for (int i = first; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a.size() > 2 && a.compare(0, 2, L"--") == 0) {
            const std::wstring name = a.substr(2);
            // Flags without a value: the next word is another option or absent.
            if (name == L"hidden" || name == L"mouse" || name == L"wait-exit" || name == L"wait-new-window") {
                FOptions[name] = L"1";
            } else {
                if (i + 1 >= argc) throw EUsage("option --" + Utf8(name) + " needs a value");
                FOptions[name] = argv[++i];
            }
        } else {
            FPositional.push_back(a);
        }
    }
}

std::wstring TArgs::Text(const std::wstring& name, const std::wstring& fallback) const {
    auto it = FOptions.find(name);
    return it == FOptions.end() ? fallback : it->second;
}

long TArgs::Number(const std::wstring& name, long fallback) const {
    auto it = FOptions.find(name);
    if (it == FOptions.end()) return fallback;
    wchar_t* end = nullptr;
    long v = std::wcstol(it->second.c_str(), &end, 0);
    if (!end || *end) throw EUsage("option --" + Utf8(name) + " is not a number");
    return v;
}

long TArgs::PositionalNumber(size_t index) const {
    if (index >= FPositional.size()) throw EUsage("missing argument " + std::to_string(index + 1));
    wchar_t* end = nullptr;
    long v = std::wcstol(FPositional[index].c_str(), &end, 0);
    if (!end || *end) throw EUsage("argument " + std::to_string(index + 1) + " is not a number");
    return v;
}

std::string Utf8(const std::wstring& text) {
    return ToUtf8(UStringView(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

void Print(const std::string& utf8Line) {
    std::string line = utf8Line + "\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void PrintValue(const char* key, const std::wstring& value) {
    std::wstring flat;
    for (wchar_t c : value) {
        if (c == L'\r') continue;
        if (c == L'\n') flat += L"\\n";
        else flat += c;
    }
    Print(std::string(key) + "=" + Utf8(flat));
}

void PrintValue(const char* key, long long value) { Print(std::string(key) + "=" + std::to_string(value)); }

std::wstring HexHandle(HWND wnd) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(wnd)));
    return buffer;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        PrintError("", kUsage);
        return 2;
    }
    const std::wstring name = argv[1];
    try {
        for (const TCommand& c : kCommands)
            if (name == c.Name) return c.Run(TArgs(argc, argv, 2));
        throw EUsage("unknown command " + Utf8(name));
    } catch (const EUsage& e) {
        PrintError("", e.what());
        PrintError("", kUsage);
        return 2;
    } catch (const EFailure& e) {
        PrintError("", e.what());
        return 1;
    }
}
