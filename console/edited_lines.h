#pragma once
// Lines typed at a terminal, with editing and history (libedit). libedit's
// callback interface reads one key at a time, so the session can wait on
// the terminal and on the programs at once.

#include <termios.h>

#include <optional>
#include <string>

#include "line_sources.h"

namespace nimbrel::console {

class EditedLines : public LineSource {
public:
    explicit EditedLines(const char* prompt);
    // Leaves the terminal as it was found, even in the middle of a line.
    ~EditedLines() override;
    EditedLines(const EditedLines&) = delete;
    EditedLines& operator=(const EditedLines&) = delete;

    int fd() const override { return ended_ ? -1 : 0; }
    void Ask() override;
    void Read() override;
    std::optional<std::string> Take() override;
    bool ended() const override { return ended_ && !line_; }
    void HidePrompt() override;
    void ShowPrompt() override;

private:
    static void Typed(char* line);
    void Stop();

    std::string prompt_;
    termios saved_{};
    bool asking_ = false;
    bool ended_ = false;
    std::optional<std::string> line_;
};

}  // namespace nimbrel::console
