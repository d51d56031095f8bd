#include "services/support/thread_factory.h"

namespace nimbrel::services {

ThreadFactory SystemThreads() {
    return [](std::function<void()> body) { return std::thread(std::move(body)); };
}

std::thread StartThread(const ThreadFactory& factory, std::function<void()> body) noexcept {
    try {
        return factory(std::move(body));
    } catch (...) {
        return {};
    }
}

}  // namespace nimbrel::services
