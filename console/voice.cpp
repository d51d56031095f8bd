#include "voice.h"

#include <cstdio>
#include <filesystem>
#include <utility>

#include "spoken_text.h"

namespace nimbrel::console {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kProgram[] = "espeak-ng";
// espeak-ng speaks about 15 characters a second; a child far past that
// (an audio server that never takes the sound) is stopped.
constexpr std::chrono::seconds kTimeBase{10};
constexpr std::chrono::milliseconds kTimePerByte{200};
// What is kept of a child's error output: its last words are what count.
constexpr std::size_t kErrorsKept = 4096;

// The text never stands on the command line, where it could be taken for
// an option: espeak-ng reads it, as UTF-8, from its input.
std::vector<std::string> Arguments(const std::string& wav) {
    std::vector<std::string> argv{kProgram, "-b", "1", "--stdin"};
    if (!wav.empty()) argv.insert(argv.end(), {"-w", wav});
    return argv;
}

std::string WavName(const std::string& dir, int number) {
    char name[32];
    std::snprintf(name, sizeof name, "%03d.wav", number);
    return (std::filesystem::path(dir) / name).string();
}

// Reads what the child's pipe holds, keeping the last of it; closes it at its end.
void Drain(process::ChildProcess& child, int fd, void (process::ChildProcess::*close)(), std::string* kept) {
    if (fd < 0) return;
    const bool ended = process::ReadAvailable(fd, [&](std::string_view bytes) {
        if (!kept) return;
        kept->append(bytes);
        if (kept->size() > kErrorsKept) kept->erase(0, kept->size() - kErrorsKept);
    });
    if (ended) (child.*close)();
}

// The last line that says something.
std::string LastWords(const std::string& errors) {
    const std::size_t end = errors.find_last_not_of(" \t\r\n");
    if (end == std::string::npos) return std::string();
    const std::size_t start = errors.find_last_of("\r\n", end);
    const std::size_t from = start == std::string::npos ? 0 : start + 1;
    return errors.substr(from, end + 1 - from);
}

bool WrittenFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::file_size(path, error) > 0 && !error;
}

}  // namespace

void Voice::Say(std::u16string_view text) {
    const std::string spoken = SpokenText(text);
    if (!options_.speechDir.empty()) queue_.push_back({spoken, WavName(options_.speechDir, ++filesWritten_)});
    if (options_.speak) queue_.push_back({spoken, std::string()});
    StartNext();
}

void Voice::StartNext() {
    while (!child_ && !queue_.empty()) {
        current_ = std::move(queue_.front());
        queue_.pop_front();
        std::string error;
        std::optional<process::ChildProcess> started =
            process::ChildProcess::Start(Arguments(current_.wav), process::ChildProcess::ErrorOutput::Piped, &error);
        if (!started) {
            if (!toldUnavailable_)
                notices_.push_back("cannot start " + error + ": nothing is spoken (scripts/setup installs espeak-ng)");
            toldUnavailable_ = true;
            continue;
        }
        child_.emplace(std::move(*started));
        childErrors_.clear();
        deadline_ = Clock::now() + kTimeBase + kTimePerByte * current_.text.size();
        child_->Write(current_.text);
        child_->CloseInput();
    }
}

std::vector<std::string> Voice::Pump() {
    if (child_) {
        Drain(*child_, child_->output(), &process::ChildProcess::CloseOutput, nullptr);
        Drain(*child_, child_->errors(), &process::ChildProcess::CloseErrors, &childErrors_);
        if (std::optional<int> status = child_->Ended()) {
            // What it wrote just before it ended.
            Drain(*child_, child_->errors(), &process::ChildProcess::CloseErrors, &childErrors_);
            Finished(status);
        } else if (Clock::now() >= deadline_) {
            child_->Stop();
            Finished(std::nullopt);
        }
    }
    StartNext();
    return std::exchange(notices_, {});
}

void Voice::Finished(std::optional<int> status) {
    child_.reset();
    const std::string words = LastWords(childErrors_);
    const std::string why = words.empty() ? "its exit status was " + std::to_string(status.value_or(0))
                                          : "it said \"" + words + "\"";
    if (!status) {
        notices_.push_back(std::string(kProgram) + " took too long over one text and was stopped");
    } else if (!current_.wav.empty()) {
        if (*status != 0 || !WrittenFile(current_.wav))
            notices_.push_back(std::string(kProgram) + " did not write " + current_.wav + ": " + why);
    } else if ((*status != 0 || !words.empty()) && !toldSilent_) {
        // espeak-ng ends with status 0 when it finds no audio device, and says so on its error output.
        notices_.push_back("no sound: " + std::string(kProgram) + " could not play through an audio output: " + why +
                           ". --speech-dir DIR keeps the texts as WAV files");
        toldSilent_ = true;
    }
}

void Voice::Stop() {
    queue_.clear();
    if (child_) child_->Stop();
    child_.reset();
}

}  // namespace nimbrel::console
