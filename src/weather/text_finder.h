#pragma once
// Finds one fixed text in a page. Pages are mostly tags, so a search that
// stops at every '<' crawls; this one (Horspool) steps over up to the
// text's length at a time, and its table is built at compile time.

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace nimbrel {

class TextFinder {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    explicit constexpr TextFinder(std::string_view what) : what_(what) {
        const std::size_t longest = what.size() < 255 ? what.size() : 255;
        for (auto& skip : skip_) skip = static_cast<unsigned char>(longest);
        // A shorter step than the true one is always safe, so long texts cap at 255.
        for (std::size_t i = 0; i + 1 < what.size(); ++i) {
            const std::size_t step = what.size() - 1 - i;
            skip_[static_cast<unsigned char>(what[i])] =
                static_cast<unsigned char>(step < 255 ? step : 255);
        }
    }

    std::size_t size() const { return what_.size(); }

    // The first position at or after from where the text starts, or npos.
    std::size_t In(std::string_view text, std::size_t from = 0) const {
        const std::size_t length = what_.size();
        if (from > text.size() || text.size() - from < length) return npos;
        if (length == 0) return from;
        const char* const page = text.data();
        const char last = what_[length - 1];
        const std::size_t lastStart = text.size() - length;
        for (std::size_t at = from; at <= lastStart;) {
            const char tail = page[at + length - 1];
            if (tail == last && std::memcmp(page + at, what_.data(), length - 1) == 0) return at;
            at += skip_[static_cast<unsigned char>(tail)];
        }
        return npos;
    }

private:
    std::string_view what_;
    std::array<unsigned char, 256> skip_{};
};

}  // namespace nimbrel
