#include "toast.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <memory>
#include <string>

#include "common/export_guard.h"
#include "common/host_records.h"

namespace nimbrel {

namespace {

// The request points into this process, so only this process's own
// top-level windows are sent it, and each is given a bounded time: a hung
// window cannot hold the host's thread. A thread that let one of its
// windows time out is not waited for again (it may own more windows).
struct ToastDelivery {
    UINT message;
    WPARAM request;
    LPARAM wide;
    DWORD process;
    LRESULT answer;  // the first nonzero one
    DWORD silentThreads[8];
    std::size_t silentCount;

    bool IsSilent(DWORD thread) const {
        return std::find(silentThreads, silentThreads + silentCount, thread) != silentThreads + silentCount;
    }
};

BOOL CALLBACK DeliverToWindow(HWND window, LPARAM parameter) {
    auto* delivery = reinterpret_cast<ToastDelivery*>(parameter);
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    if (process != delivery->process || delivery->IsSilent(thread)) return TRUE;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, delivery->message, delivery->request, delivery->wide,
                             SMTO_ABORTIFHUNG | SMTO_NORMAL, kToastTimeoutMs, &answer)) {
        if (delivery->silentCount < std::size(delivery->silentThreads))
            delivery->silentThreads[delivery->silentCount++] = thread;
    } else if (delivery->answer == 0) {
        delivery->answer = static_cast<LRESULT>(answer);
    }
    return TRUE;
}

// A toast as its windows read it: the record and copies of its texts. A
// window whose procedure was still running when its time ran out goes on
// reading them after the send returns, so then the parcel is left
// allocated for good rather than freed under it (a few hundred bytes).
struct ToastParcel {
    ToastRequest request{};
    char message[kToastMessageLength + 1] = {};
    wchar_t wideMessage[kToastMessageLength + 1] = {};
    std::string title, link;
};

// The identifier is asked for on every send (a lookup once the name is
// registered), so no state outlives a call but a parcel left to a late reader.
int Deliver(std::unique_ptr<ToastParcel> parcel, const void* message, const char* title, const char* link,
            bool flag, LPARAM wide) {
    UINT toastMessage = RegisterWindowMessageA(kToastMessageName);
    // A failed registration answers 0, which would send WM_NULL.
    if (toastMessage == 0) return 0;
    if (title) parcel->title = title;
    if (link) parcel->link = link;
    parcel->request = {title ? parcel->title.c_str() : nullptr, message, link ? parcel->link.c_str() : nullptr,
                       flag ? -1 : 0};
    ToastDelivery delivery = {toastMessage, reinterpret_cast<WPARAM>(&parcel->request), wide, GetCurrentProcessId(),
                              0, {}, 0};
    EnumWindows(DeliverToWindow, reinterpret_cast<LPARAM>(&delivery));
    if (delivery.silentCount != 0) parcel.release();
    return static_cast<int>(delivery.answer);
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

int SendToast(const char* message, const char* title, const char* link, bool flag) noexcept {
    return Guarded(0, [&] {
        auto parcel = std::make_unique<ToastParcel>();
        const std::size_t length = message ? strnlen(message, kToastMessageLength) : 0;
        if (length) std::memcpy(parcel->message, message, length);
        const void* copy = parcel->message;
        return Deliver(std::move(parcel), copy, title, link, flag, 0);
    });
}

int SendWideToast(const wchar_t* message, const char* title, const char* link, bool flag) noexcept {
    return Guarded(0, [&] {
        auto parcel = std::make_unique<ToastParcel>();
        std::size_t length = message ? wcsnlen(message, kToastMessageLength) : 0;
        // At the limit the text goes on, so message[length] is still the caller's.
        if (length == kToastMessageLength && IsHighSurrogate(message[length - 1]) && IsLowSurrogate(message[length]))
            --length;
        if (length) std::wmemcpy(parcel->wideMessage, message, length);
        const void* copy = parcel->wideMessage;
        return Deliver(std::move(parcel), copy, title, link, flag, 1);
    });
}

}  // namespace nimbrel
