// Tool runs one dattool command in the test process and keeps what it printed.
#pragma once

#include <string>
#include <vector>

#include "archive/dattool/check.h"

class TRecordingConsole : public TConsole {
public:
    void Out(const UString& line) override { FOut.push_back(ToUtf8(line)); }
    void Err(const UString& line) override { FErr.push_back(ToUtf8(line)); }
    std::vector<std::string> FOut, FErr;
};

struct TRun {
    int Code;
    TRecordingConsole Console;
};

inline TRun Tool(std::vector<UString> args) {
    TRun run{0, {}};
    run.Code = RunDatTool(args, run.Console);
    return run;
}
