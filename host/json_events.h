#pragma once
// Writes each event as one JSON object on a line of its own.

#include <ostream>

#include "host_events.h"

namespace nimbrel::host {

class JsonEventWriter : public EventSink {
public:
    explicit JsonEventWriter(std::ostream& out) : out_(out) {}

    void OnLoaded(const LoadedEvent&) override;
    void OnCommand(const CommandEvent&) override;
    void OnNotify(const NotifyEvent&) override;
    void OnToast(const ToastEvent&) override;
    void OnMessageBox(const MessageBoxEvent&) override;
    void OnChat(const ChatEvent&) override;
    void OnError(const ErrorEvent&) override;
    void OnSpeech(const SpeechEvent&) override;
    void OnDone(const DoneEvent&) override;

private:
    void Line(const std::string& json);
    std::ostream& out_;
};

}  // namespace nimbrel::host
