#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#include "base/data_flush.h"
#include "base/win32_handles.h"

namespace {

uint32_t FlushNow(HANDLE file) { return ::FlushFileBuffers(file) ? 0 : ::GetLastError(); }

}  // namespace

// The thread takes the files in the order they were added. The disk then
// works while the run decompresses the next entry, instead of the run waiting
// for each file in turn.
struct TDataFlush::TWorker {
    std::mutex Lock;
    std::condition_variable Waiting;
    std::deque<TUniqueFile> Files;  // added, not yet flushed
    bool Ending = false;            // no more files come
    bool Abandoned = false;         // those left are closed without a flush
    uint32_t Error = 0;
    std::thread Thread;

    void Run() {
        for (;;) {
            TUniqueFile file;
            {
                std::unique_lock<std::mutex> hold(Lock);
                Waiting.wait(hold, [this] { return Ending || !Files.empty(); });
                if (Abandoned) Files.clear();
                if (Files.empty()) return;
                file = std::move(Files.front());
                Files.pop_front();
            }
            const uint32_t error = FlushNow(file.Get());
            const std::lock_guard<std::mutex> hold(Lock);
            if (Error == 0) Error = error;
        }
    }
    // End lets the thread finish (ABANDON: without flushing the files left) and waits for it.
    void End(bool abandon) {
        {
            const std::lock_guard<std::mutex> hold(Lock);
            Ending = true;
            Abandoned = abandon;
        }
        Waiting.notify_one();
        Thread.join();
    }
};

TDataFlush::TDataFlush() = default;

TDataFlush::~TDataFlush() {
    if (FWorker) FWorker->End(true);
}

// A file whose second handle or thread the system refuses is flushed at once.
uint32_t TDataFlush::Add(TNativeFile file, uint64_t) {
    const HANDLE own = reinterpret_cast<HANDLE>(file);
    HANDLE second = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), own, ::GetCurrentProcess(), &second, 0, FALSE,
                           DUPLICATE_SAME_ACCESS)) {
        return FlushNow(own);
    }
    TUniqueFile held(second);
    if (!FWorker) {
        auto worker = std::make_unique<TWorker>();
        try {
            worker->Thread = std::thread(&TWorker::Run, worker.get());
        } catch (const std::system_error&) {
            return FlushNow(own);
        }
        FWorker = std::move(worker);
    }
    {
        const std::lock_guard<std::mutex> hold(FWorker->Lock);
        FWorker->Files.push_back(std::move(held));
    }
    FWorker->Waiting.notify_one();
    return 0;
}

uint32_t TDataFlush::Finish(const THeldFolder&) {
    if (!FWorker) return 0;
    FWorker->End(false);
    const uint32_t error = FWorker->Error;
    FWorker.reset();
    return error;
}
