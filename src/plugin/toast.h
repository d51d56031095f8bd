#pragma once
// Toasts: a ToastRequest sent to this process's top-level windows as the
// host's registered toast message. The exports DisplayToast and
// DisplayToastW and the plug-in's own notices all send through these.

#include <cstddef>

namespace nimbrel {

// The longest message a toast carries; a longer one is cut.
constexpr std::size_t kToastMessageLength = 255;

// The longest a window may take to answer a toast; a hung one is not waited for.
constexpr unsigned int kToastTimeoutMs = 3000;

// The message is copied (at most 255 characters) and never read past its
// NUL; title and link (which may be null) are copied whole, so that a window
// still reading after its time ran out finds them. The flag goes out as 0
// or -1, lParam as 0. Each window is sent the toast with
// SendMessageTimeoutA, given at most kToastTimeoutMs and none when it is
// hung. Returns the first nonzero answer of a window (the host's toast
// window answers); 0 when none answered or the message could not be
// registered.
int SendToast(const char* message, const char* title, const char* link, bool flag) noexcept;

// The same with a UTF-16 message, sent with lParam 1. A cut never splits a
// surrogate pair: the copy then ends one unit early.
int SendWideToast(const wchar_t* message, const char* title, const char* link, bool flag) noexcept;

}  // namespace nimbrel
