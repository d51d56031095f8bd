#pragma once
// The front end's voice (--speak, --speech-dir): each text the plug-in had
// read aloud is spoken by espeak-ng, one child process a text, one after
// another in the order they came. Nothing here waits for speech: the
// session waits on the running child's pipes together with the host's and
// hands them to Pump, so a long text never holds up the next line.

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "child_process.h"

namespace nimbrel::console {

struct VoiceOptions {
    bool speak = false;     // through the machine's audio output
    std::string speechDir;  // when not empty: each text as a WAV file here, 001.wav, 002.wav, ...
};

class Voice {
public:
    explicit Voice(VoiceOptions options) : options_(std::move(options)) {}

    // Queues a text (UTF-16, as the stand-in voice received it); it starts
    // at once when nothing is being spoken.
    void Say(std::u16string_view text);

    // The running child's output and error output, to wait on; -1 for none.
    int output() const { return child_ ? child_->output() : -1; }
    int errors() const { return child_ ? child_->errors() : -1; }

    // Reads what the running child wrote; once it has ended (or overrun its
    // time, when it is stopped), notes how it went and starts the next text.
    // Answers what the user should be told, in UTF-8.
    std::vector<std::string> Pump();

    // True while a text is being spoken or waits to be.
    bool busy() const { return child_.has_value() || !queue_.empty(); }

    // Stops the running child and forgets the texts still waiting.
    void Stop();

private:
    struct Job {
        std::string text;  // UTF-8, without control characters
        std::string wav;   // the file to write; empty: play it
    };

    void StartNext();
    void Finished(std::optional<int> status);

    VoiceOptions options_;
    int filesWritten_ = 0;
    std::deque<Job> queue_;
    std::optional<process::ChildProcess> child_;
    Job current_;
    std::string childErrors_;
    std::chrono::steady_clock::time_point deadline_;
    std::vector<std::string> notices_;
    bool toldUnavailable_ = false;
    bool toldSilent_ = false;
};

}  // namespace nimbrel::console
