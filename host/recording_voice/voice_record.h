#pragma once
// The log that the recording voice appends to and the tests read: a record
// when Speak begins, carrying the text, and one when it returns.

#include <cstdint>

namespace nimbrel::host {

// Where the log goes, and how long each Speak takes, come from the
// environment of the process at the time of the call.
constexpr wchar_t kVoiceLogVariable[] = L"RECORDING_VOICE_LOG";
constexpr wchar_t kVoiceDelayVariable[] = L"RECORDING_VOICE_DELAY_MS";

enum class VoiceEvent : uint32_t { SpeakBegan = 1, SpeakEnded = 2 };

// Followed by `length` UTF-16 units of text (none after SpeakEnded).
struct VoiceRecordHeader {
    VoiceEvent event;
    uint32_t threadId;
    uint32_t tick;   // GetTickCount
    uint32_t flags;  // Speak's flags
    int32_t length;  // -1 for a null text
};

}  // namespace nimbrel::host
