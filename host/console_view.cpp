#include "console_view.h"

#include <string>

#include "text_codes.h"
#include "utf8.h"

namespace {

std::string TerminalText16(const std::u16string& units) {
    std::string out;
    for (char16_t unit : units) AppendUtf8(out, unit);
    return out;
}

// Line breaks as the conversation shows them: CR LF and lone CR as one break.
std::string Lines(const std::string& text) {
    std::string out;
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

std::string TerminalText(const std::string& bytes) {
    std::string out;
    for (unsigned char byte : bytes) AppendUtf8(out, byte);
    return out;
}

void ConsoleView::Framed(const std::string& heading, const std::string& body) {
    out_ << "  +-- " << heading << '\n';
    std::string text = Lines(body);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        out_ << "  | " << text.substr(start, end - start) << '\n';
        start = end + 1;
    }
    out_ << "  +--\n";
}

void ConsoleView::OnLoaded(const LoadedEvent& e) {
    out_ << TerminalText(e.name) << ", " << e.commands.size() << " commands:\n";
    for (const PublishedCommand& c : e.commands) {
        std::string usage = "/" + TerminalText(c.command);
        if (c.parameter && !c.parameter->empty()) usage += " <" + TerminalText(*c.parameter) + ">";
        if (usage.size() < 30) usage.resize(30, ' ');
        out_ << "  " << usage << "  " << TerminalText(c.description) << '\n';
    }
    out_ << '\n';
    out_.flush();
}

void ConsoleView::Prompt() {
    out_ << "> ";
    out_.flush();
}

void ConsoleView::OnTyped(const std::string& line) {
    if (echoInput_) out_ << "> " << TerminalText(line) << '\n';
    out_.flush();
}

void ConsoleView::OnCommand(const CommandEvent& e) {
    if (e.result == 0) {
        out_ << "  (not a command of the plug-in)\n";
    } else if (e.output && !e.output->empty() && (*e.output)[0] != '\x12') {
        out_ << Lines(TerminalText(RenderTextCodes(*e.output, colour_))) << '\n';
    }
    out_.flush();
}

void ConsoleView::OnNotify(const NotifyEvent& e) {
    if (e.result == 0) out_ << "  (notification \"" << TerminalText(e.name) << "\" not handled)\n";
    out_.flush();
}

void ConsoleView::OnToast(const ToastEvent& e) {
    std::string message = e.wide ? TerminalText16(e.wideMessage) : TerminalText(e.message);
    Framed("toast: " + TerminalText(e.title), message + (e.link && !e.link->empty() ? "\n-> " + TerminalText(*e.link) : ""));
    out_.flush();
}

void ConsoleView::OnMessageBox(const MessageBoxEvent& e) {
    Framed("message box: " + TerminalText(e.caption), TerminalText(e.text));
    out_.flush();
}

void ConsoleView::OnChat(const ChatEvent& e) {
    if (echoInput_) out_ << TerminalText(e.text) << '\n';
    out_.flush();
}

void ConsoleView::OnError(const ErrorEvent& e) {
    out_ << "error: " << e.message << '\n';
    out_.flush();
}

void ConsoleView::OnSpeech(const SpeechEvent& e) {
    Framed("read aloud", TerminalText16(e.text));
    out_.flush();
}
