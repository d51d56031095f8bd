#include "json_events.h"

#include <cstdio>

#include "json_text.h"

namespace nimbrel::host {
namespace {

std::string Milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", ms);
    return text;
}

}  // namespace

void JsonEventWriter::Line(const std::string& json) {
    out_ << json << '\n';
    out_.flush();
}

void JsonEventWriter::OnLoaded(const LoadedEvent& e) {
    std::string json = "{\"event\":\"loaded\",\"name\":" + JsonString(e.name) + ",\"commands\":[";
    for (std::size_t i = 0; i < e.commands.size(); ++i) {
        const PublishedCommand& c = e.commands[i];
        if (i) json += ',';
        json += "{\"command\":" + JsonString(c.command) + ",\"description\":" + JsonString(c.description) +
                ",\"parameter\":" + JsonStringOrNull(c.parameter) + "}";
    }
    json += "],\"tags\":" + std::to_string(e.tags) + "}";
    Line(json);
}

void JsonEventWriter::OnCommand(const CommandEvent& e) {
    Line("{\"event\":\"command\",\"line\":" + JsonString(e.line) + ",\"word\":" + JsonString(e.word) +
         ",\"params\":" + JsonString(e.params) + ",\"result\":" + std::to_string(e.result) +
         ",\"output\":" + JsonStringOrNull(e.output) + ",\"ms\":" + Milliseconds(e.ms) + "}");
}

void JsonEventWriter::OnNotify(const NotifyEvent& e) {
    Line("{\"event\":\"notify\",\"name\":" + JsonString(e.name) + ",\"data\":" + JsonString(e.data) +
         ",\"result\":" + std::to_string(e.result) + ",\"output\":" + JsonStringOrNull(e.output) + "}");
}

void JsonEventWriter::OnToast(const ToastEvent& e) {
    std::string message = e.wide ? JsonString(e.wideMessage) : JsonString(e.message);
    Line("{\"event\":\"toast\",\"title\":" + JsonString(e.title) + ",\"message\":" + message +
         ",\"link\":" + JsonStringOrNull(e.link) + ",\"flag\":" + std::to_string(e.flag) +
         ",\"wide\":" + (e.wide ? "true" : "false") + "}");
}

void JsonEventWriter::OnMessageBox(const MessageBoxEvent& e) {
    Line("{\"event\":\"messagebox\",\"caption\":" + JsonString(e.caption) + ",\"text\":" + JsonString(e.text) +
         ",\"owner\":" + (e.owner ? "true" : "false") + ",\"style\":" + std::to_string(e.style) + "}");
}

void JsonEventWriter::OnChat(const ChatEvent& e) {
    Line("{\"event\":\"chat\",\"text\":" + JsonString(e.text) + "}");
}

void JsonEventWriter::OnError(const ErrorEvent& e) {
    Line("{\"event\":\"error\",\"message\":" + JsonString(e.message) + "}");
}

void JsonEventWriter::OnSpeech(const SpeechEvent& e) {
    Line("{\"event\":\"speech\",\"text\":" + JsonString(std::u16string_view(e.text)) + "}");
}

void JsonEventWriter::OnDone(const DoneEvent& e) {
    Line("{\"event\":\"done\",\"line\":" + JsonString(e.line) + "}");
}

}  // namespace nimbrel::host
