// TArchiveInput opens an archive for the commands that only read it (list,
// check, diff): the file for reading and its directory read. What cannot be
// read raises EToolInput naming the file and saying what is wrong.
#pragma once

#include <memory>

#include "archive/file_stream.h"
#include "archive/zip_file.h"

class TArchiveInput {
public:
    explicit TArchiveInput(const UString& path);
    // Empty: the file has 0 bytes; it holds no directory and Zip() is not open.
    bool Empty() const { return FEmpty; }
    TFileStream& File() { return *FFile; }
    TZipFile& Zip() { return FZip; }

private:
    std::unique_ptr<TFileStream> FFile;
    TZipFile FZip;
    bool FEmpty = false;
};
