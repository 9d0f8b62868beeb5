// TDataFlush puts the data a run wrote to its files on the disk before any of
// them takes a name in use, so that a power cut cannot leave a file under its
// new name with lost contents. Add each file before it is closed (SIZE: the
// bytes written to it), then Finish once, with a held folder of their volume;
// Finish answers 0 or the system's error for the first flush that failed.
//
// Windows flushes each file (FlushFileBuffers) on a thread of its own while
// the run writes the next ones, through a second handle to the file that it
// closes once that file is on the disk: until Finish, or until the flush is
// freed, a file added cannot be renamed or removed. Freed without Finish, it
// flushes no more and closes what it still holds. Linux starts each large
// file's writeback at once and waits in Finish for the whole file system
// (syncfs), which writes the small files with their neighbours.
#pragma once

#include <cstdint>
#include <memory>

#include "base/file_system.h"

class TDataFlush {
public:
    TDataFlush();
    ~TDataFlush();
    TDataFlush(const TDataFlush&) = delete;
    TDataFlush& operator=(const TDataFlush&) = delete;

    uint32_t Add(TNativeFile file, uint64_t size);
    uint32_t Finish(const THeldFolder& folder);

private:
    struct TWorker;
    std::unique_ptr<TWorker> FWorker;  // Windows: the flushing thread, from the first file added
};
