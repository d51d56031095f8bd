// An in-process voice object that records what it is asked to say instead
// of saying it (the system's voice under Wine refuses to speak). Speak
// appends a record to the log named by the environment, waits the delay
// named there, and appends another; the voice's other operations answer
// E_NOTIMPL.

#include <windows.h>
#include <sapi.h>

#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "voice_record.h"
#include "win_handles.h"

namespace nimbrel::host {
namespace {

LONG serverReferences = 0;  // live voices and factory locks
SRWLOCK logLock = SRWLOCK_INIT;

std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[MAX_PATH * 2] = L"";
    DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    return length < MAX_PATH * 2 ? std::wstring(value, length) : std::wstring();
}

// One record, written with one call under a lock, so that records of voices
// speaking at once never interleave.
void AppendRecord(const std::wstring& log, VoiceEvent event, DWORD flags, const wchar_t* text) {
    if (log.empty()) return;
    VoiceRecordHeader header{event, GetCurrentThreadId(), GetTickCount(), flags,
                             text ? static_cast<int32_t>(std::wcslen(text)) : -1};
    std::vector<char> bytes(sizeof header + (text ? header.length * sizeof(wchar_t) : 0));
    std::memcpy(bytes.data(), &header, sizeof header);
    if (text) std::memcpy(bytes.data() + sizeof header, text, header.length * sizeof(wchar_t));

    AcquireSRWLockExclusive(&logLock);
    {
        const UniqueHandle file(CreateFileW(log.c_str(), FILE_APPEND_DATA,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file) WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }  // closed before the next record may open it
    ReleaseSRWLockExclusive(&logLock);
}

class RecordingVoice final : public ISpVoice {
public:
    RecordingVoice() { InterlockedIncrement(&serverReferences); }
    ~RecordingVoice() { InterlockedDecrement(&serverReferences); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ISpVoice) {
            *object = static_cast<ISpVoice*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE Speak(LPCWSTR text, DWORD flags, ULONG* streamNumber) override {
        try {
            std::wstring log = EnvironmentValue(kVoiceLogVariable);
            AppendRecord(log, VoiceEvent::SpeakBegan, flags, text);
            Sleep(static_cast<DWORD>(std::wcstoul(EnvironmentValue(kVoiceDelayVariable).c_str(), nullptr, 10)));
            AppendRecord(log, VoiceEvent::SpeakEnded, flags, L"");
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        if (streamNumber) *streamNumber = 1;
        return S_OK;
    }

    // Nothing else of the voice is needed.
    HRESULT STDMETHODCALLTYPE SetNotifySink(ISpNotifySink*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNotifyWindowMessage(HWND, UINT, WPARAM, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNotifyCallbackFunction(SPNOTIFYCALLBACK*, WPARAM, LPARAM) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetNotifyCallbackInterface(ISpNotifyCallback*, WPARAM, LPARAM) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetNotifyWin32Event() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WaitForNotifyEvent(DWORD) override { return E_NOTIMPL; }
    HANDLE STDMETHODCALLTYPE GetNotifyEventHandle() override { return nullptr; }
    HRESULT STDMETHODCALLTYPE SetInterest(ULONGLONG, ULONGLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEvents(ULONG, SPEVENT*, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInfo(SPEVENTSOURCEINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOutput(IUnknown*, WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOutputObjectToken(ISpObjectToken**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOutputStream(ISpStreamFormat**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Pause() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Resume() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetVoice(ISpObjectToken*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVoice(ISpObjectToken**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SpeakStream(IStream*, DWORD, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStatus(SPVOICESTATUS*, LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Skip(LPCWSTR, LONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPriority(SPVPRIORITY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPriority(SPVPRIORITY*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAlertBoundary(SPEVENTENUM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAlertBoundary(SPEVENTENUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRate(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRate(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetVolume(USHORT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolume(USHORT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WaitUntilDone(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSyncSpeakTimeout(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSyncSpeakTimeout(ULONG*) override { return E_NOTIMPL; }
    HANDLE STDMETHODCALLTYPE SpeakCompleteEvent() override { return nullptr; }
    HRESULT STDMETHODCALLTYPE IsUISupported(LPCWSTR, void*, ULONG, WINBOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DisplayUI(HWND, LPCWSTR, LPCWSTR, void*, ULONG) override { return E_NOTIMPL; }

private:
    LONG references_ = 1;
};

class VoiceFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // One factory for the life of the library.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        RecordingVoice* voice = new (std::nothrow) RecordingVoice();
        if (!voice) return E_OUTOFMEMORY;
        HRESULT result = voice->QueryInterface(iid, object);
        voice->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            InterlockedIncrement(&serverReferences);
        } else {
            InterlockedDecrement(&serverReferences);
        }
        return S_OK;
    }
};

VoiceFactory factory;

}  // namespace

extern "C" {

HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_SpVoice) return CLASS_E_CLASSNOTAVAILABLE;
    return nimbrel::host::factory.QueryInterface(iid, object);
}

HRESULT __stdcall DllCanUnloadNow() {
    return nimbrel::host::serverReferences == 0 ? S_OK : S_FALSE;
}

}

}  // namespace nimbrel::host
