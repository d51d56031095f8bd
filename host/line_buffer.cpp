#include "line_buffer.h"

namespace nimbrel::host {

std::optional<std::string> LineBuffer::Next() {
    std::string::size_type end = pending_.find('\n');
    if (end == std::string::npos) return std::nullopt;
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::optional<std::string> LineBuffer::Rest() {
    if (pending_.empty()) return std::nullopt;
    pending_ += '\n';
    return Next();
}

}  // namespace nimbrel::host
