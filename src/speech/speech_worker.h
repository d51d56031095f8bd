#pragma once
// The speech worker: a thread that reads one text aloud through the
// platform's voice and ends.

#include <windows.h>

#include <cstddef>
#include <memory>

namespace nimbrel {

// A worker's text: 4095 characters and the terminator; a longer text is cut.
constexpr std::size_t kWorkerTextSize = 4096;

// What a worker is handed: its own copy of the text and the module it keeps
// loaded. A starter makes it; the worker owns and frees it.
struct SpeechJob {
    HMODULE pinnedModule = nullptr;  // released by the worker as it exits
    char text[kWorkerTextSize] = {};
};

// A zero-filled job holding at most the first 4095 characters of the text
// (none for a null text); null when memory is short.
std::unique_ptr<SpeechJob> MakeSpeechJob(const char* text) noexcept;

// The thread procedure. Its parameter is a SpeechJob from MakeSpeechJob,
// which the worker owns from then on. The job's pinned module is released
// as the thread exits, so the code stays mapped until the worker no longer
// runs in it.
DWORD WINAPI SpeechWorker(LPVOID job);

}  // namespace nimbrel
