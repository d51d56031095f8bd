#pragma once
// Keeps every event the host stand-in reports, for tests to look at.

#include <vector>

#include "host_events.h"

namespace nimbrel::host {

struct RecordingSink : EventSink {
    std::vector<LoadedEvent> loaded;
    std::vector<CommandEvent> commands;
    std::vector<NotifyEvent> notifications;
    std::vector<ToastEvent> toasts;
    std::vector<MessageBoxEvent> boxes;
    std::vector<ChatEvent> chats;
    std::vector<ErrorEvent> errors;
    std::vector<SpeechEvent> speech;
    std::vector<DoneEvent> done;

    void OnLoaded(const LoadedEvent& e) override { loaded.push_back(e); }
    void OnCommand(const CommandEvent& e) override { commands.push_back(e); }
    void OnNotify(const NotifyEvent& e) override { notifications.push_back(e); }
    void OnToast(const ToastEvent& e) override { toasts.push_back(e); }
    void OnMessageBox(const MessageBoxEvent& e) override { boxes.push_back(e); }
    void OnChat(const ChatEvent& e) override { chats.push_back(e); }
    void OnError(const ErrorEvent& e) override { errors.push_back(e); }
    void OnSpeech(const SpeechEvent& e) override { speech.push_back(e); }
    void OnDone(const DoneEvent& e) override { done.push_back(e); }
};

}  // namespace nimbrel::host
