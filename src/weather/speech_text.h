#pragma once
// The spoken version of a report goes into the caller's fixed buffer.

#include <cstddef>
#include <string_view>

namespace nimbrel {

constexpr std::size_t kSpeechTextSize = 1024;  // 1023 characters and the terminator

// Appends to a SpeechText buffer and keeps it terminated; whatever would
// run past its 1023rd character is dropped.
class SpeechTextWriter {
public:
    explicit SpeechTextWriter(char (&buffer)[kSpeechTextSize]);
    void Append(std::string_view text);

private:
    char* buffer_;
    std::size_t length_ = 0;
};

}  // namespace nimbrel
