#include "line_sources.h"

#include <unistd.h>

#include <cerrno>

namespace nimbrel::console {

std::optional<std::string> ListedLines::Take() {
    if (lines_.empty()) return std::nullopt;
    std::string line = lines_.front();
    lines_.pop_front();
    return line;
}

void PipedLines::Read() {
    char bytes[4096];
    const ssize_t got = ::read(fd_, bytes, sizeof bytes);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (got <= 0) {
        ended_ = true;
        if (std::optional<std::string> last = buffer_.Rest()) lines_.push_back(*last);
        return;
    }
    buffer_.Append(std::string_view(bytes, static_cast<std::size_t>(got)));
    while (std::optional<std::string> line = buffer_.Next()) lines_.push_back(*line);
}

std::optional<std::string> PipedLines::Take() {
    if (lines_.empty()) return std::nullopt;
    std::string line = lines_.front();
    lines_.pop_front();
    return line;
}

}  // namespace nimbrel::console
