#pragma once
// What a speech worker is handed: its own copy of the text and the module
// it keeps loaded. A starter makes it; the worker owns and frees it.

#include <windows.h>

#include <cstddef>
#include <memory>

// 4095 characters and the terminator; a longer text is cut.
constexpr std::size_t kSpeechTextSize = 4096;

struct SpeechJob {
    HMODULE pinnedModule = nullptr;  // released by the worker as it exits
    char text[kSpeechTextSize] = {};
};

// A zero-filled job holding at most the first 4095 characters of the text
// (none for a null text); null when memory is short.
std::unique_ptr<SpeechJob> MakeSpeechJob(const char* text) noexcept;
