#include "start_speech.h"

#include <memory>

#include "common/win32_handles.h"
#include "speech_worker.h"

namespace nimbrel {

DWORD speechThreadId = 0;

namespace {

// The host may free the library while a worker still runs its code; a
// worker therefore holds one more reference to the module that holds the
// address: the DLL when the code is built into one, the program when it is
// linked in statically. None when no module holds it.
UniqueModule PinModuleOf(const void* address) noexcept {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(address), &module))
        return UniqueModule();
    return UniqueModule(module);
}

DWORD StartWorker(const char* text) noexcept {
    std::unique_ptr<SpeechJob> job = MakeSpeechJob(text);
    if (!job) return 0;
    // Pinned before the thread exists: the host may free the library as soon
    // as this returns. Without a pin no worker runs.
    UniqueModule pin = PinModuleOf(reinterpret_cast<const void*>(&SpeechWorker));
    if (!pin) return 0;
    job->pinnedModule = pin.get();

    DWORD threadId = 0;
    UniqueHandle thread(CreateThread(nullptr, 0, SpeechWorker, job.get(), 0, &threadId));
    if (!thread) return 0;  // the job and the pin are released by their owners
    // The worker owns both now.
    job.release();
    pin.release();
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

}  // namespace nimbrel
