#include "speech_worker.h"

#include <sapi.h>

#include <memory>
#include <optional>
#include <string>

#include "com_apartment.h"
#include "plugin/export_guard.h"
#include "speech_code_page.h"
#include "speech_job.h"
#include "wide_text.h"

namespace {

struct VoiceRelease {
    void operator()(ISpVoice* voice) const { voice->Release(); }
};

using UniqueVoice = std::unique_ptr<ISpVoice, VoiceRelease>;

// Class context 7: an in-process server, an in-process handler or a local server.
constexpr DWORD kVoiceClassContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// Everything the worker owns lives here: FreeLibraryAndExitThread does not
// return, so no destructor may be left to run in SpeechWorker's own frame.
// Released in reverse: the voice, the apartment, then the copy.
void SpeakJob(SpeechJob* owned) noexcept {
    std::unique_ptr<SpeechJob> job(owned);
    Guarded([&] {
        UINT codePage = ThreadAnsiCodePage();
        ComApartment apartment;
        ISpVoice* created = nullptr;
        if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, kVoiceClassContext, IID_ISpVoice,
                                    reinterpret_cast<void**>(&created))) ||
            !created) {
            return;  // no speech engine: nothing is spoken, nothing reported
        }
        UniqueVoice voice(created);
        std::optional<std::wstring> wide = ToWideText(job->text, codePage);
        // Flags 0: synchronous, so this thread carries the speech to its end.
        voice->Speak(wide ? wide->c_str() : nullptr, 0, nullptr);
    });
}

}  // namespace

DWORD WINAPI SpeechWorker(LPVOID parameter) {
    auto* job = static_cast<SpeechJob*>(parameter);
    HMODULE pinned = job ? job->pinnedModule : nullptr;
    SpeakJob(job);
    if (pinned) FreeLibraryAndExitThread(pinned, 0);
    return 0;
}
