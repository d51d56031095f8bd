#include "edited_lines.h"

#include <editline/readline.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace nimbrel::console {
namespace {

// libedit's callback takes no context: the one source asking at a time.
EditedLines* asking = nullptr;

}  // namespace

EditedLines::EditedLines(const char* prompt) : prompt_(prompt) {
    tcgetattr(STDIN_FILENO, &saved_);
    // The session handles signals; libedit would send them on to the
    // whole process group again.
    rl_catch_signals = 0;
    using_history();
}

EditedLines::~EditedLines() {
    Stop();
    tcsetattr(STDIN_FILENO, TCSADRAIN, &saved_);
}

void EditedLines::Typed(char* line) {
    if (asking == nullptr) return;
    if (line == nullptr) {
        asking->ended_ = true;
    } else {
        if (*line) add_history(line);
        asking->line_ = std::string(line);
        std::free(line);
    }
}

void EditedLines::Ask() {
    if (asking_ || ended_) return;
    asking = this;
    rl_callback_handler_install(prompt_.c_str(), &EditedLines::Typed);  // shows the prompt
    asking_ = true;
}

void EditedLines::Stop() {
    if (!asking_) return;
    rl_callback_handler_remove();
    asking_ = false;
    asking = nullptr;
}

void EditedLines::Read() {
    if (!asking_) return;
    rl_callback_read_char();
    if (line_ || ended_) {
        Stop();
        if (ended_) std::fputs("\n", stdout);
        std::fflush(stdout);
    }
}

std::optional<std::string> EditedLines::Take() {
    std::optional<std::string> line = std::move(line_);
    line_.reset();
    return line;
}

void EditedLines::HidePrompt() {
    if (!asking_) return;
    std::fputs("\r\x1b[K", stdout);
    std::fflush(stdout);
}

void EditedLines::ShowPrompt() {
    if (!asking_) return;
    rl_forced_update_display();
}

}  // namespace nimbrel::console
