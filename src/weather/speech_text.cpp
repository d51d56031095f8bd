#include "speech_text.h"

#include <cstring>

namespace nimbrel {

SpeechTextWriter::SpeechTextWriter(char (&buffer)[kSpeechTextSize]) : buffer_(buffer) {
    buffer_[0] = '\0';
}

void SpeechTextWriter::Append(std::string_view text) {
    const std::size_t room = kSpeechTextSize - 1 - length_;
    const std::size_t count = text.size() < room ? text.size() : room;
    std::memcpy(buffer_ + length_, text.data(), count);
    length_ += count;
    buffer_[length_] = '\0';
}

}  // namespace nimbrel
