// TSystemFileSystem answers the install search's file questions with the
// system's own calls.
#pragma once

#include "updater/file_system.h"

class TSystemFileSystem final : public TFileSystem {
public:
    TAttributesResult Attributes(const UString& path) override;
    TFindResult FindEntry(const UString& path) override;
    uint32_t OpenForReading(const UString& path) override;
    uint32_t ChangeErrorMode(uint32_t mode) override;
};
