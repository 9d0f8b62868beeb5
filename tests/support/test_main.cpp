// The main function of every test binary.
//
// Under Windows, GoogleTest keeps its per-thread values (the SCOPED_TRACE
// stack, the result reporter) in a registry that starts a watcher thread the
// first time a thread stores one. In a test that takes no time, that thread
// may still be starting when the program exits, and the 32-bit Wine then
// kills the process with SIGSEGV while it ends the half-started thread, after
// every test has passed. So the main thread's watcher is started here, before
// any test, and the tests begin only once it is running.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cstdio>

namespace {

HANDLE ThreadAttached = nullptr;

// A TLS callback runs in each new thread once its start-up is complete.
void NTAPI OnThreadEvent(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_THREAD_ATTACH && ThreadAttached) ::SetEvent(ThreadAttached);
}

}  // namespace

extern "C" {
extern const IMAGE_TLS_DIRECTORY _tls_used;  // makes the linker keep the TLS directory
__attribute__((section(".CRT$XLK"), used)) const PIMAGE_TLS_CALLBACK KelvoThreadEvent = OnThreadEvent;
}

// Starts GoogleTest's watcher of the main thread and waits until it runs.
static bool StartThreadWatcher() {
    ThreadAttached = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!ThreadAttached) return false;
    { ::testing::ScopedTrace firstThreadValue(__FILE__, __LINE__, "start of the thread watcher"); }
    (void)&_tls_used;
    const bool started = ::WaitForSingleObject(ThreadAttached, 60000) == WAIT_OBJECT_0;
    HANDLE event = ThreadAttached;
    ThreadAttached = nullptr;
    ::CloseHandle(event);
    return started;
}
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
    if (!StartThreadWatcher()) {
        std::fprintf(stderr, "GoogleTest's thread watcher did not start within a minute\n");
        return 1;
    }
#endif
    return RUN_ALL_TESTS();
}
