#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/data_flush.h"

struct TDataFlush::TWorker {};

TDataFlush::TDataFlush() = default;
TDataFlush::~TDataFlush() = default;

// Starting each small file's writeback alone costs more than it saves.
uint32_t TDataFlush::Add(TNativeFile file, uint64_t size) {
    constexpr uint64_t kEarlyWritebackSize = 1 << 20;
    if (size >= kEarlyWritebackSize) ::sync_file_range(static_cast<int>(file), 0, 0, SYNC_FILE_RANGE_WRITE);
    return 0;  // only a start: Finish reports what fails
}

uint32_t TDataFlush::Finish(const THeldFolder& folder) {
    return ::syncfs(static_cast<int>(folder.Handle)) == 0 ? 0 : static_cast<uint32_t>(errno);
}
