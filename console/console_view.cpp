#include "console_view.h"

#include <cstdio>
#include <string>

#include "terminal_text.h"
#include "text_codes.h"
#include "typed_line.h"

namespace nimbrel::console {
namespace {

// Line breaks as the conversation shows them: CR LF and lone CR as one break.
template <typename Text>
Text Lines(const Text& text) {
    Text out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

void ConsoleView::Framed(const std::string& heading, const std::string& body) {
    out_ << "  +-- " << heading << '\n';
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('\n', start);
        if (end == std::string::npos) end = body.size();
        out_ << "  | " << body.substr(start, end - start) << '\n';
        start = end + 1;
    }
    out_ << "  +--\n";
    out_.flush();
}

void ConsoleView::Typed(const std::string& line) {
    // Chat text is shown by its own event; :quit shows nothing.
    host::TypedLine::Kind kind = host::ParseTypedLine(line).kind;
    if (!style_.echoInput || kind == host::TypedLine::Kind::Chat || kind == host::TypedLine::Kind::Quit) return;
    out_ << "> " << TerminalText(line) << '\n';
    out_.flush();
}

void ConsoleView::PlayerLine(const std::string& line) {
    out_ << "  player: " << TerminalText(line) << '\n';
    out_.flush();
}

void ConsoleView::Notice(const std::string& text) {
    out_ << "  (" << TerminalTextFromUtf8(text) << ")\n";
    out_.flush();
}

void ConsoleView::HostError(const std::string& line) {
    out_ << TerminalTextFromUtf8(line) << '\n';
    out_.flush();
}

void ConsoleView::OnLoaded(const host::LoadedEvent& e) {
    out_ << TerminalText(e.name) << ", " << e.commands.size() << " commands:\n";
    for (const host::PublishedCommand& c : e.commands) {
        std::string usage = "/" + TerminalText(c.command);
        if (c.parameter && !c.parameter->empty()) usage += " <" + TerminalText(*c.parameter) + ">";
        if (usage.size() < 30) usage.resize(30, ' ');
        out_ << "  " << usage << "  " << TerminalText(c.description) << '\n';
    }
    out_ << '\n';
    out_.flush();
}

void ConsoleView::OnCommand(const host::CommandEvent& e) {
    if (e.result == 0) {
        out_ << "  (not a command of the plug-in)\n";
    } else if (e.output && !e.output->empty() && (*e.output)[0] != '\x12') {
        // Controls are made visible before the text codes become escapes.
        out_ << RenderTextCodes(TerminalText(Lines(*e.output)), style_.colour) << '\n';
    }
    if (style_.times) {
        char time[48];
        std::snprintf(time, sizeof time, "  (%.0f ms in the plug-in)\n", e.ms);
        out_ << time;
    }
    out_.flush();
}

void ConsoleView::OnNotify(const host::NotifyEvent& e) {
    if (e.result == 0) out_ << "  (notification \"" << TerminalText(e.name) << "\" not handled)\n";
    out_.flush();
}

void ConsoleView::OnToast(const host::ToastEvent& e) {
    std::string message = e.wide ? TerminalText(Lines(e.wideMessage)) : TerminalText(Lines(e.message));
    if (e.link && !e.link->empty()) message += "\n-> " + TerminalText(*e.link);
    Framed("toast: " + TerminalText(e.title), message);
}

void ConsoleView::OnMessageBox(const host::MessageBoxEvent& e) {
    Framed("message box: " + TerminalText(e.caption), TerminalText(Lines(e.text)));
}

void ConsoleView::OnChat(const host::ChatEvent& e) {
    if (style_.echoInput) out_ << TerminalText(e.text) << '\n';
    out_.flush();
}

void ConsoleView::OnError(const host::ErrorEvent& e) {
    out_ << "error: " << TerminalText(e.message) << '\n';
    out_.flush();
}

// Where a spoken text arrives: it is shown here, and a voice would take it
// here too.
void ConsoleView::OnSpeech(const host::SpeechEvent& e) {
    Framed("read aloud", TerminalText(Lines(e.text)));
}

}  // namespace nimbrel::console
