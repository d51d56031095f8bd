#pragma once
// Where typed lines come from: the command line, a pipe, or a person at a
// terminal (edited_lines.h). The session waits on a source's descriptor
// together with the programs' output, so a source never blocks.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "line_buffer.h"

namespace nimbrel::console {

class LineSource {
public:
    virtual ~LineSource() = default;
    // What to wait on for more input; -1 when lines are there without waiting.
    virtual int fd() const = 0;
    // Asks for the next line (a terminal shows its prompt).
    virtual void Ask() {}
    // Reads what the descriptor has ready.
    virtual void Read() = 0;
    // The line asked for, once whole.
    virtual std::optional<std::string> Take() = 0;
    // True once no line will come any more.
    virtual bool ended() const = 0;
    // Around output written while a line is being asked for.
    virtual void HidePrompt() {}
    virtual void ShowPrompt() {}
};

// Lines given on the command line (--exec).
class ListedLines : public LineSource {
public:
    explicit ListedLines(const std::vector<std::string>& lines) : lines_(lines.begin(), lines.end()) {}
    int fd() const override { return -1; }
    void Read() override {}
    std::optional<std::string> Take() override;
    bool ended() const override { return lines_.empty(); }

private:
    std::deque<std::string> lines_;
};

// Lines from a descriptor that is not a terminal.
class PipedLines : public LineSource {
public:
    explicit PipedLines(int fd) : fd_(fd) {}
    int fd() const override { return ended_ ? -1 : fd_; }
    void Read() override;
    std::optional<std::string> Take() override;
    bool ended() const override { return ended_ && lines_.empty(); }

private:
    int fd_;
    bool ended_ = false;
    host::LineBuffer buffer_;
    std::deque<std::string> lines_;
};

}  // namespace nimbrel::console
