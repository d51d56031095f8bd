#pragma once
// A program the front end runs (the host under Wine, a stand-in player):
// its three standard streams are pipes, so that it never touches the
// terminal, and it runs in a process group of its own, so that the
// terminal's Ctrl-C reaches the front end alone, which decides what stops.

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::console {

class ChildProgram {
public:
    // Starts argv[0], looked up on PATH; none, with the reason in error,
    // when it cannot start.
    static std::optional<ChildProgram> Start(const std::vector<std::string>& argv, std::string& error);

    ChildProgram(ChildProgram&& other) noexcept;
    ChildProgram& operator=(ChildProgram&&) = delete;
    ChildProgram(const ChildProgram&) = delete;
    ~ChildProgram();  // stops it if it still runs

    // Its output and error output, non-blocking; -1 once closed.
    int output() const { return output_; }
    int errors() const { return errors_; }
    void CloseOutput();
    void CloseErrors();

    // Writes all of the bytes; false when the program no longer reads.
    bool Write(std::string_view bytes);
    // Its end of input: a program reading lines sees the end and leaves.
    void CloseInput();

    // Its exit status (128 + the signal that ended it) once it has ended.
    std::optional<int> Ended();
    // Ends its process group (SIGTERM, then SIGKILL after a grace time) and
    // answers its exit status.
    int Stop();

private:
    ChildProgram(pid_t pid, int input, int output, int errors) : pid_(pid), input_(input), output_(output), errors_(errors) {}

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    int errors_ = -1;
    std::optional<int> status_;
};

// Reads all that a non-blocking pipe holds now, handing each piece on;
// true once the pipe has ended (or failed), false while more may come.
bool ReadAvailable(int fd, const std::function<void(std::string_view)>& onBytes);

}  // namespace nimbrel::console
