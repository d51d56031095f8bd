#include "toast.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "common/host_records.h"

namespace nimbrel {

namespace {

// The identifier is asked for on every send (a lookup once the name is
// registered), so no state outlives a call.
int Broadcast(const void* message, const char* title, const char* link, bool flag, LPARAM wide) {
    UINT toastMessage = RegisterWindowMessageA(kToastMessageName);
    // A failed registration answers 0, which would broadcast WM_NULL.
    if (toastMessage == 0) return 0;
    ToastRequest request = {title, message, link, flag ? -1 : 0};
    LRESULT answer = SendMessageA(HWND_BROADCAST, toastMessage, reinterpret_cast<WPARAM>(&request), wide);
    return static_cast<int>(answer);
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

int SendToast(const char* message, const char* title, const char* link, bool flag) noexcept {
    char copy[kToastMessageLength + 1];
    std::size_t length = message ? strnlen(message, kToastMessageLength) : 0;
    if (length) std::memcpy(copy, message, length);
    copy[length] = '\0';
    return Broadcast(copy, title, link, flag, 0);
}

int SendWideToast(const wchar_t* message, const char* title, const char* link, bool flag) noexcept {
    wchar_t copy[kToastMessageLength + 1];
    std::size_t length = message ? wcsnlen(message, kToastMessageLength) : 0;
    // At the limit the text goes on, so message[length] is still the caller's.
    if (length == kToastMessageLength && IsHighSurrogate(message[length - 1]) && IsLowSurrogate(message[length]))
        --length;
    if (length) std::wmemcpy(copy, message, length);
    copy[length] = L'\0';
    return Broadcast(copy, title, link, flag, 1);
}

}  // namespace nimbrel
