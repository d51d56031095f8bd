#pragma once
// One session: typed lines go to the host, converted to the plug-in's code
// page; the host's events come back and are rendered (or, for --json,
// passed through unchanged). Each line waits for the host's "done" event,
// and for a stand-in player to show what the line sent it, before the next
// line is asked for. Spoken texts also go to the voice, when there is one,
// which speaks them while the session goes on.

#include <functional>
#include <optional>
#include <string>

#include "child_process.h"
#include "console_view.h"
#include "line_buffer.h"
#include "line_sources.h"
#include "voice.h"
#include "wake_signals.h"

namespace nimbrel::console {

class Session {
public:
    // player and voice may be null; json: pass the host's events through unchanged.
    Session(process::ChildProcess& host, process::ChildProcess* player, Voice* voice, LineSource& input, ConsoleView& view,
            WakeSignals& signals, bool json);

    // Runs until the input ends, :quit, the host ends or a signal stops it;
    // answers the exit status: the host's, or 128 + the signal.
    int Run();

private:
    struct Stream {
        int (process::ChildProcess::*fd)() const;
        void (process::ChildProcess::*close)();
        host::LineBuffer buffer;
    };

    // Waits, rendering whatever arrives, until reached() holds (true), or
    // the deadline passes, a signal stops the session or nothing is left
    // to wait on (false). With readInput, the line source is read too.
    bool WaitUntil(const std::function<bool()>& reached, bool readInput = false,
                   std::optional<int> timeoutMs = std::nullopt);
    void ReadStream(process::ChildProcess& program, Stream& stream, const std::function<void(const std::string&)>& onLine);
    void OnHostLine(const std::string& line);
    void OnPlayerLine(const std::string& line);
    void OnErrorLine(const std::string& line);
    void PumpVoice();
    std::optional<std::string> NextLine();
    void SyncPlayer();
    void SetSong(const std::string& title);
    int Finish();
    bool hostGone() const { return host_.output() < 0; }

    process::ChildProcess& host_;
    process::ChildProcess* player_;
    Voice* voice_;
    LineSource& input_;
    ConsoleView& view_;
    WakeSignals& signals_;
    bool json_;
    int stopSignal_ = 0;

    Stream hostOutput_{&process::ChildProcess::output, &process::ChildProcess::CloseOutput, {}};
    Stream hostErrors_{&process::ChildProcess::errors, &process::ChildProcess::CloseErrors, {}};
    Stream playerOutput_{&process::ChildProcess::output, &process::ChildProcess::CloseOutput, {}};
    Stream playerErrors_{&process::ChildProcess::errors, &process::ChildProcess::CloseErrors, {}};
    bool loaded_ = false;
    bool done_ = false;
    int playerLines_ = 0;
    int syncsAsked_ = 0;
    int syncsAnswered_ = 0;
};

}  // namespace nimbrel::console
