#pragma once
// Where the server's own threads come from. A thread can fail to start (the
// system is out of threads or memory); std::thread then throws, and a throw
// that leaves a server's constructor, or an io handler, ends the process.
// Every start goes through StartThread, which turns a failure into a thread
// that is not joinable, and tests hand in a factory that fails on purpose.

#include <functional>
#include <thread>

namespace nimbrel::services {

// Starts body on a new thread. May throw, or return a thread that is not
// joinable, when it cannot.
using ThreadFactory = std::function<std::thread(std::function<void()> body)>;

// std::thread itself.
ThreadFactory SystemThreads();

// The factory's thread, or one that is not joinable when the start failed.
std::thread StartThread(const ThreadFactory& factory, std::function<void()> body) noexcept;

}  // namespace nimbrel::services
