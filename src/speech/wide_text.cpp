#include "wide_text.h"

std::optional<std::wstring> ToWideText(const char* text, UINT codePage) {
    int length = lstrlenA(text);
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    // The terminator is converted too, so the count written includes it.
    int written = MultiByteToWideChar(codePage, 0, text, length + 1, wide.data(), length + 1);
    if (written == 0) return std::nullopt;
    wide.resize(static_cast<size_t>(written) - 1);
    return wide;
}
