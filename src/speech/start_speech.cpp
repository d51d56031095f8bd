#include "start_speech.h"

#include <memory>

#include "module_pin.h"
#include "speech_job.h"
#include "speech_worker.h"

DWORD speechThreadId = 0;

namespace {

DWORD StartWorker(const char* text) noexcept {
    std::unique_ptr<SpeechJob> job = MakeSpeechJob(text);
    if (!job) return 0;
    // Pinned before the thread exists: the host may free the library as soon
    // as this returns. Without a pin no worker runs.
    PinnedModule pin = PinModuleOf(reinterpret_cast<const void*>(&SpeechWorker));
    if (!pin) return 0;
    job->pinnedModule = pin.get();

    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, SpeechWorker, job.get(), 0, &threadId);
    if (!thread) return 0;  // the job and the pin are released by their owners
    // The worker owns both now.
    job.release();
    pin.release();
    CloseHandle(thread);
    return threadId;
}

}  // namespace

DWORD StartSpeechWorker(const char* text) noexcept {
    speechThreadId = StartWorker(text);
    return speechThreadId;
}

int StartSpeech(const char* text) noexcept {
    StartSpeechWorker(text);
    return 1;
}
