// TryFinally runs body, then cleanup, also when body throws. It is a protected
// block, not a handler: the error goes on after the cleanup. If the cleanup
// itself throws while an error is on its way, the newer error goes on.
#pragma once

#include <utility>

template <class Body, class Cleanup>
void TryFinally(Body&& body, Cleanup&& cleanup) {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        cleanup();
        throw;
    }
    cleanup();
}
