#pragma once
// What the host stand-in sees happen, in the order it happens. Texts hold
// the plug-in's bytes unchanged.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel::host {

struct PublishedCommand {
    std::string command;
    std::string description;
    std::optional<std::string> parameter;  // none: the row was left untouched
};

struct LoadedEvent {
    std::string name;
    std::vector<PublishedCommand> commands;
    int32_t tags = 0;
};

struct CommandEvent {
    std::string line;
    std::string word;
    std::string params;
    int result = 0;
    std::optional<std::string> output;  // none: the buffer was left untouched
    double ms = 0;
};

struct NotifyEvent {
    std::string name;
    std::string data;
    int result = 0;
    std::optional<std::string> output;
};

struct ToastEvent {
    std::string title;
    std::string message;          // single-byte message (lParam 0)
    std::u16string wideMessage;   // UTF-16 message (lParam 1)
    std::optional<std::string> link;
    int32_t flag = 0;
    bool wide = false;
};

struct MessageBoxEvent {
    std::string caption;
    std::string text;
    bool owner = false;
    uint32_t style = 0;  // MB_ button and icon flags
};

struct ChatEvent {
    std::string text;
};

struct ErrorEvent {
    std::string message;
};

// A text the plug-in had read aloud, as the stand-in voice received it.
struct SpeechEvent {
    std::u16string text;
};

// A typed line has been run, and all it caused reported: the host waits
// for the next.
struct DoneEvent {
    std::string line;
};

class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void OnLoaded(const LoadedEvent&) = 0;
    virtual void OnCommand(const CommandEvent&) = 0;
    virtual void OnNotify(const NotifyEvent&) = 0;
    virtual void OnToast(const ToastEvent&) = 0;
    virtual void OnMessageBox(const MessageBoxEvent&) = 0;
    virtual void OnChat(const ChatEvent&) = 0;
    virtual void OnError(const ErrorEvent&) = 0;
    virtual void OnSpeech(const SpeechEvent&) {}
    virtual void OnDone(const DoneEvent&) {}
};

// Hands every event on to the next sink: the base of a sink that looks at
// a few kinds of event on their way.
class ForwardingSink : public EventSink {
public:
    explicit ForwardingSink(EventSink& next) : next_(next) {}
    void OnLoaded(const LoadedEvent& e) override { next_.OnLoaded(e); }
    void OnCommand(const CommandEvent& e) override { next_.OnCommand(e); }
    void OnNotify(const NotifyEvent& e) override { next_.OnNotify(e); }
    void OnToast(const ToastEvent& e) override { next_.OnToast(e); }
    void OnMessageBox(const MessageBoxEvent& e) override { next_.OnMessageBox(e); }
    void OnChat(const ChatEvent& e) override { next_.OnChat(e); }
    void OnError(const ErrorEvent& e) override { next_.OnError(e); }
    void OnSpeech(const SpeechEvent& e) override { next_.OnSpeech(e); }
    void OnDone(const DoneEvent& e) override { next_.OnDone(e); }

private:
    EventSink& next_;
};

}  // namespace nimbrel::host
