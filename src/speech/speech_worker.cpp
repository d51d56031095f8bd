#include "speech_worker.h"

#include <objbase.h>
#include <sapi.h>

#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "common/export_guard.h"

namespace nimbrel {

namespace {

// Class context 7: an in-process server, an in-process handler or a local server.
constexpr DWORD kVoiceClassContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// A single-threaded COM apartment for the calling thread, for as long as
// this object lives.
class ComApartment {
public:
    ComApartment() noexcept : entered_(SUCCEEDED(CoInitialize(nullptr))) {}
    // Only a successful CoInitialize may be balanced.
    ~ComApartment() {
        if (entered_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};

struct VoiceRelease {
    void operator()(ISpVoice* voice) const { voice->Release(); }
};

using UniqueVoice = std::unique_ptr<ISpVoice, VoiceRelease>;

// The code page a worker reads its text in: the ANSI code page of the
// calling thread's locale, or the system's when the locale names none.
UINT ThreadAnsiCodePage() noexcept {
    DWORD codePage = 0;
    // Locales written only in Unicode answer 0: no ANSI code page of their own.
    int read = GetLocaleInfoW(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                              reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR));
    if (read == 0 || codePage == 0) return GetACP();
    return codePage;
}

// The text in UTF-16 as the code page reads it: at most one unit for each
// character. Nothing when the conversion fails.
std::optional<std::wstring> ToWideText(const char* text, UINT codePage) {
    int length = lstrlenA(text);
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    // The terminator is converted too, so the count written includes it.
    int written = MultiByteToWideChar(codePage, 0, text, length + 1, wide.data(), length + 1);
    if (written == 0) return std::nullopt;
    wide.resize(static_cast<size_t>(written) - 1);
    return wide;
}

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

std::unique_ptr<SpeechJob> MakeSpeechJob(const char* text) noexcept {
    std::unique_ptr<SpeechJob> job(new (std::nothrow) SpeechJob());
    if (job && text) {
        // strnlen: the caller's text need not be terminated within our buffer's reach.
        std::memcpy(job->text, text, strnlen(text, kWorkerTextSize - 1));
    }
    return job;
}

DWORD WINAPI SpeechWorker(LPVOID parameter) {
    auto* job = static_cast<SpeechJob*>(parameter);
    HMODULE pinned = job ? job->pinnedModule : nullptr;
    SpeakJob(job);
    if (pinned) FreeLibraryAndExitThread(pinned, 0);
    return 0;
}

}  // namespace nimbrel
