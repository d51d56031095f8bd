#include "session.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <iostream>
#include <vector>

#include "json_event_reader.h"
#include "terminal_text.h"
#include "typed_line.h"
#include "windows_1252.h"

namespace nimbrel::console {
namespace {

using Clock = std::chrono::steady_clock;

// A stand-in player answers "sync" with this line once it has shown every
// message sent to it before.
constexpr char kSynced[] = "synced";
constexpr char kSongCommand[] = ":song";
constexpr int kPlayerStartMs = 60000;
constexpr int kPlayerSyncMs = 3000;
constexpr int kHostEndMs = 15000;
constexpr int kPlayerEndMs = 5000;
// How often a running speech child is looked at even when it says nothing,
// so that one past its time is stopped.
constexpr int kVoiceCheckMs = 250;

// The title in ":song TITLE" (empty for ":song" alone); none for another line.
std::optional<std::string> SongTitle(const std::string& line) {
    const std::size_t length = sizeof kSongCommand - 1;
    if (line.compare(0, length, kSongCommand) != 0 || (line.size() > length && line[length] != ' ')) return std::nullopt;
    return line.size() > length ? line.substr(length + 1) : std::string();
}

// Keeps a view's events from reaching it: the name is all a JSON pass-through needs.
struct NoSink : host::EventSink {
    void OnLoaded(const host::LoadedEvent&) override {}
    void OnCommand(const host::CommandEvent&) override {}
    void OnNotify(const host::NotifyEvent&) override {}
    void OnToast(const host::ToastEvent&) override {}
    void OnMessageBox(const host::MessageBoxEvent&) override {}
    void OnChat(const host::ChatEvent&) override {}
    void OnError(const host::ErrorEvent&) override {}
};

// Hands each spoken text to the voice as well.
class VoicedSink : public host::ForwardingSink {
public:
    VoicedSink(host::EventSink& next, Voice* voice) : ForwardingSink(next), voice_(voice) {}
    void OnSpeech(const host::SpeechEvent& e) override {
        ForwardingSink::OnSpeech(e);
        if (voice_) voice_->Say(e.text);
    }

private:
    Voice* voice_;
};

}  // namespace

Session::Session(process::ChildProcess& host, process::ChildProcess* player, Voice* voice, LineSource& input, ConsoleView& view,
                 WakeSignals& signals, bool json)
    : host_(host), player_(player), voice_(voice), input_(input), view_(view), signals_(signals), json_(json) {}

void Session::ReadStream(process::ChildProcess& program, Stream& stream, const std::function<void(const std::string&)>& onLine) {
    const int fd = (program.*stream.fd)();
    if (fd < 0) return;
    const bool ended = process::ReadAvailable(fd, [&](std::string_view bytes) {
        stream.buffer.Append(bytes);
        while (std::optional<std::string> line = stream.buffer.Next()) onLine(*line);
    });
    if (!ended) return;
    if (std::optional<std::string> last = stream.buffer.Rest()) onLine(*last);
    (program.*stream.close)();
}

void Session::OnHostLine(const std::string& line) {
    input_.HidePrompt();
    NoSink none;
    VoicedSink sink(json_ ? static_cast<host::EventSink&>(none) : view_, voice_);
    const std::string event = ReadJsonEvent(line, sink);
    if (json_) std::cout << line << '\n' << std::flush;
    else if (event.empty()) OnErrorLine(line);
    loaded_ = loaded_ || event == "loaded";
    done_ = done_ || event == "done";
    input_.ShowPrompt();
}

void Session::OnPlayerLine(const std::string& line) {
    ++playerLines_;
    if (line == kSynced) {
        ++syncsAnswered_;
        return;
    }
    input_.HidePrompt();
    if (json_) std::cerr << "player: " << TerminalText(line) << '\n' << std::flush;
    else view_.PlayerLine(line);
    input_.ShowPrompt();
}

void Session::OnErrorLine(const std::string& line) {
    input_.HidePrompt();
    std::cerr << TerminalTextFromUtf8(line) << '\n' << std::flush;
    input_.ShowPrompt();
}

void Session::PumpVoice() {
    if (!voice_) return;
    for (const std::string& notice : voice_->Pump()) {
        input_.HidePrompt();
        if (json_) std::cerr << "nimbrel-console: " << TerminalTextFromUtf8(notice) << '\n' << std::flush;
        else view_.Notice(notice);
        input_.ShowPrompt();
    }
}

bool Session::WaitUntil(const std::function<bool()>& reached, bool readInput, std::optional<int> timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs.value_or(0));
    for (;;) {
        if (reached()) return true;
        if (stopSignal_) return false;
        std::vector<pollfd> waits{{signals_.fd(), POLLIN, 0}};
        auto watch = [&](int fd) {
            if (fd >= 0) waits.push_back({fd, POLLIN, 0});
        };
        watch(host_.output());
        watch(host_.errors());
        if (player_) {
            watch(player_->output());
            watch(player_->errors());
        }
        if (voice_) {
            watch(voice_->output());
            watch(voice_->errors());
        }
        if (readInput) watch(input_.fd());
        const bool speaking = voice_ && voice_->busy();
        if (waits.size() == 1 && !timeoutMs && !speaking) return false;  // nothing left that could bring it
        int wait = -1;
        if (timeoutMs) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return false;
            wait = static_cast<int>(left);
        }
        if (speaking && (wait < 0 || wait > kVoiceCheckMs)) wait = kVoiceCheckMs;
        if (::poll(waits.data(), waits.size(), wait) < 0 && errno != EINTR) return false;

        stopSignal_ = signals_.Drain();
        ReadStream(host_, hostOutput_, [this](const std::string& line) { OnHostLine(line); });
        ReadStream(host_, hostErrors_, [this](const std::string& line) { OnErrorLine(line); });
        if (player_) {
            ReadStream(*player_, playerOutput_, [this](const std::string& line) { OnPlayerLine(line); });
            ReadStream(*player_, playerErrors_, [this](const std::string& line) { OnErrorLine(line); });
        }
        PumpVoice();
        // A host whose output a leftover process keeps open has still ended.
        if (host_.Ended()) {
            ReadStream(host_, hostOutput_, [this](const std::string& line) { OnHostLine(line); });
            host_.CloseOutput();
        }
        if (readInput && input_.fd() >= 0) {
            for (const pollfd& w : waits)
                if (w.fd == input_.fd() && (w.revents & (POLLIN | POLLHUP | POLLERR))) input_.Read();
        }
    }
}

std::optional<std::string> Session::NextLine() {
    if (input_.ended()) return std::nullopt;
    input_.Ask();
    std::optional<std::string> line;
    WaitUntil([&] { return (line = input_.Take()) || input_.ended() || hostGone(); }, true);
    return hostGone() ? std::nullopt : line;
}

void Session::SyncPlayer() {
    if (!player_ || player_->output() < 0 || !player_->Write("sync\n")) return;
    const int asked = ++syncsAsked_;
    WaitUntil([&] { return syncsAnswered_ >= asked || player_->output() < 0; }, false, kPlayerSyncMs);
}

void Session::SetSong(const std::string& title) {
    if (!player_ || player_->output() < 0) {
        view_.Notice("no stand-in player runs here: start scripts/run with --player winamp, sonique or studio");
        return;
    }
    player_->Write("title " + text::Utf8ToWindows1252(title) + "\n");
    SyncPlayer();
}

int Session::Run() {
    // The first prompt waits for the plug-in's commands and the player's window.
    const bool started = WaitUntil([&] { return loaded_ || hostGone(); }) && loaded_ &&
                         (!player_ || WaitUntil([&] { return playerLines_ > 0 || player_->output() < 0; }, false,
                                                kPlayerStartMs));
    while (started) {
        std::optional<std::string> line = NextLine();
        if (!line) break;
        if (line->empty()) continue;
        if (std::optional<std::string> title = SongTitle(*line)) {
            SetSong(*title);
            continue;
        }
        const std::string bytes = text::Utf8ToWindows1252(*line);
        if (!json_) view_.Typed(bytes);
        done_ = false;
        if (!host_.Write(bytes + "\n") || host::ParseTypedLine(bytes).kind == host::TypedLine::Kind::Quit) break;
        if (!WaitUntil([&] { return done_ || hostGone(); }) || !done_) break;
        SyncPlayer();
    }
    return Finish();
}

int Session::Finish() {
    const bool unasked = hostGone();
    if (!stopSignal_) {
        // The host leaves at the end of its input, after Uninitialize.
        host_.CloseInput();
        WaitUntil([&] { return hostGone(); }, false, kHostEndMs);
    }
    const int hostStatus = host_.Stop();
    if (unasked && loaded_ && !json_) view_.Notice("the host has ended by itself, with exit status " + std::to_string(hostStatus));
    if (player_) {
        player_->CloseInput();
        if (!stopSignal_) WaitUntil([&] { return player_->output() < 0; }, false, kPlayerEndMs);
        player_->Stop();
    }
    // What is still to be said is said (each text is bounded in time), unless a signal stopped the session.
    if (voice_) {
        if (!stopSignal_) WaitUntil([&] { return !voice_->busy(); });
        voice_->Stop();
    }
    return stopSignal_ ? 128 + stopSignal_ : hostStatus;
}

}  // namespace nimbrel::console
