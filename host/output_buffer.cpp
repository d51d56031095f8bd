#include "output_buffer.h"

#include <algorithm>
#include <cstring>

namespace nimbrel::host {

OutputBuffer::OutputBuffer(std::size_t capacity) : capacity_(capacity), bytes_(capacity + kGuardSize) {
    Reset();
}

void OutputBuffer::Reset() {
    std::fill(bytes_.begin(), bytes_.begin() + capacity_, kSentinel);
    std::fill(bytes_.begin() + capacity_, bytes_.end(), kGuard);
}

bool OutputBuffer::Untouched() const {
    return std::all_of(bytes_.begin(), bytes_.begin() + capacity_, [](unsigned char b) { return b == kSentinel; });
}

bool OutputBuffer::GuardIntact() const {
    return std::all_of(bytes_.begin() + capacity_, bytes_.end(), [](unsigned char b) { return b == kGuard; });
}

bool OutputBuffer::Terminated() const {
    return std::memchr(bytes_.data(), 0, capacity_) != nullptr;
}

std::optional<std::string> OutputBuffer::Text() const {
    if (Untouched()) return std::nullopt;
    const char* start = reinterpret_cast<const char*>(bytes_.data());
    return std::string(start, strnlen(start, capacity_));
}

}  // namespace nimbrel::host
