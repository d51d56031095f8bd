#pragma once
// The output buffer the host hands to ParseCommand and ReceiveNotify. Before
// each call it is filled with a sentinel, so that an untouched buffer is
// told apart from an empty text, and guard bytes behind its capacity show a
// write past its end.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel::host {

class OutputBuffer {
public:
    static constexpr unsigned char kSentinel = 0xCD;
    static constexpr unsigned char kGuard = 0xFD;
    static constexpr std::size_t kGuardSize = 64;

    explicit OutputBuffer(std::size_t capacity);

    // Refills the buffer with the sentinel and the guard bytes.
    void Reset();
    char* data() { return reinterpret_cast<char*>(bytes_.data()); }
    std::size_t capacity() const { return capacity_; }

    bool Untouched() const;
    bool GuardIntact() const;
    bool Terminated() const;
    // The text up to its NUL (or the whole capacity when there is none);
    // none when the buffer was left untouched.
    std::optional<std::string> Text() const;

private:
    std::size_t capacity_;
    std::vector<unsigned char> bytes_;
};

}  // namespace nimbrel::host
