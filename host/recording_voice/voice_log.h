#pragma once
// The test's side of the recording voice: a fresh log file named to the
// voice through the environment, and what the log says was spoken.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace nimbrel::host {

struct SpokenText {
    DWORD threadId = 0;
    std::optional<std::wstring> text;  // none when Speak was given a null text
    DWORD flags = 0;
    DWORD began = 0;                   // GetTickCount at the start of Speak
    std::optional<DWORD> ended;        // and when it returned
};

class VoiceLog {
public:
    VoiceLog();  // an empty log; Speak takes no time
    ~VoiceLog();
    VoiceLog(const VoiceLog&) = delete;
    VoiceLog& operator=(const VoiceLog&) = delete;

    // How long each Speak takes from now on.
    void SetDelay(DWORD milliseconds);

    // Every Speak call so far, in the order they began.
    std::vector<SpokenText> Read() const;
    // Polls until `count` calls have begun (or ended), or the timeout has
    // passed; answers what the log then holds.
    std::vector<SpokenText> WaitForBegun(size_t count, DWORD timeoutMs) const;
    std::vector<SpokenText> WaitForEnded(size_t count, DWORD timeoutMs) const;

private:
    std::wstring path_;
};

}  // namespace nimbrel::host
