#pragma once
// What a person sees in the console: the published commands, then each
// exchange, with toasts and message boxes as framed notices.

#include <ostream>

#include "host_events.h"

class ConsoleView : public EventSink {
public:
    // echoInput: show typed lines and chat text again (off when the
    // terminal has just shown them as they were typed). colour: render the
    // host's text codes as terminal colours; without it they are removed.
    explicit ConsoleView(std::ostream& out, bool echoInput = true, bool colour = false)
        : out_(out), echoInput_(echoInput), colour_(colour) {}
    void Prompt();

    void OnLoaded(const LoadedEvent&) override;
    void OnCommand(const CommandEvent&) override;
    void OnNotify(const NotifyEvent&) override;
    void OnToast(const ToastEvent&) override;
    void OnMessageBox(const MessageBoxEvent&) override;
    void OnChat(const ChatEvent&) override;
    void OnError(const ErrorEvent&) override;
    void OnTyped(const std::string& line) override;
    void OnSpeech(const SpeechEvent&) override;

private:
    void Framed(const std::string& heading, const std::string& body);
    std::ostream& out_;
    bool echoInput_;
    bool colour_;
};

// The plug-in's single-byte text as UTF-8 for the terminal (byte n becomes
// code point n).
std::string TerminalText(const std::string& bytes);
