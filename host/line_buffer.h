#pragma once
// Bytes read from a pipe, handed out as whole lines: the host reads typed
// lines so, and the front end the host's events.

#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::host {

class LineBuffer {
public:
    void Append(std::string_view bytes) { pending_.append(bytes); }
    // The next whole line without its LF (nor a CR before it).
    std::optional<std::string> Next();
    // What is left once the pipe has ended: a last line without its LF.
    std::optional<std::string> Rest();

private:
    std::string pending_;
};

}  // namespace nimbrel::host
