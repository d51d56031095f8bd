#pragma once
// What a person sees of a session: the published commands, then each
// exchange, with toasts, message boxes and spoken texts as framed notices.
// Every text from the host or a player passes through TerminalText.

#include <ostream>
#include <string>

#include "host_events.h"

namespace nimbrel::console {

struct ViewStyle {
    // Show typed lines and chat text again: on when they were not typed at
    // this terminal (given on the command line, or piped in).
    bool echoInput = true;
    // The host's text codes as terminal colours; without it they are removed.
    bool colour = false;
    // Each command's time in the plug-in after its answer.
    bool times = false;
};

class ConsoleView : public host::EventSink {
public:
    ConsoleView(std::ostream& out, ViewStyle style) : out_(out), style_(style) {}

    // A line about to be sent to the host, in the plug-in's code page.
    void Typed(const std::string& line);
    // A line a stand-in player wrote, in the plug-in's code page.
    void PlayerLine(const std::string& line);
    // The front end's own word to the user, in UTF-8.
    void Notice(const std::string& text);
    // A line the host wrote on its error output (Wine's, in UTF-8).
    void HostError(const std::string& line);

    void OnLoaded(const host::LoadedEvent&) override;
    void OnCommand(const host::CommandEvent&) override;
    void OnNotify(const host::NotifyEvent&) override;
    void OnToast(const host::ToastEvent&) override;
    void OnMessageBox(const host::MessageBoxEvent&) override;
    void OnChat(const host::ChatEvent&) override;
    void OnError(const host::ErrorEvent&) override;
    void OnSpeech(const host::SpeechEvent&) override;

private:
    void Framed(const std::string& heading, const std::string& body);
    std::ostream& out_;
    ViewStyle style_;
};

}  // namespace nimbrel::console
