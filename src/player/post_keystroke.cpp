#include "post_keystroke.h"

namespace {

constexpr UINT kKeystrokeMessages[] = {WM_KEYDOWN, WM_CHAR, WM_KEYUP};

}  // namespace

void PostKeystroke(HWND window, char character) {
    // Sign-widened and kept whole: the shift bits of the high byte stay in.
    const WPARAM virtualKey = static_cast<WPARAM>(static_cast<LONG_PTR>(VkKeyScanA(character)));
    const LPARAM scanCode = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    for (UINT message : kKeystrokeMessages) PostMessageA(window, message, virtualKey, scanCode);
}
