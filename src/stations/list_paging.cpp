#include "list_paging.h"

#include <algorithm>
#include <cstring>

namespace nimbrel {

const char kOptionMarker[] = "<OPTION VALUE=\"";
const char kOptionValueEnd[] = "\">";
const char kLineJoiner[] = " | ";

namespace {

// Removes the pattern until no occurrence is left, as deleting the first one
// and searching again from the start would, but in one pass: a match is
// dropped from the output as soon as its last byte arrives, so a match that
// a deletion closes up is dropped too. Both markers begin with a byte that
// does not recur in them; so no two occurrences overlap and the order in
// which they go makes no difference, and a partial match at the end of the
// output can only begin at the last such byte.
class PatternRemover {
public:
    explicit PatternRemover(const char* pattern) : pattern_(pattern) {}

    void Remove(const char* text, std::size_t length, std::string& out) const {
        out.clear();
        const char first = pattern_[0];
        std::size_t matched = 0;  // pattern bytes that end the output
        std::size_t i = 0;
        while (i < length) {
            if (matched == 0) {
                // Nothing can match before the next first byte: copy up to it.
                const void* found = std::memchr(text + i, first, length - i);
                std::size_t next = found ? static_cast<const char*>(found) - text : length;
                out.append(text + i, next - i);
                i = next;
                if (i == length) break;
            }
            char c = text[i++];
            out.push_back(c);
            if (c == pattern_[matched]) {
                if (++matched == pattern_.size()) {
                    out.resize(out.size() - matched);
                    matched = PartialMatchAtEnd(out);
                }
            } else {
                matched = c == first ? 1 : 0;
            }
        }
    }

private:
    std::size_t PartialMatchAtEnd(const std::string& out) const {
        // Only the last pattern-length-less-one bytes can hold one.
        std::size_t window = std::min(out.size(), pattern_.size() - 1);
        for (std::size_t length = 1; length <= window; ++length) {
            if (out[out.size() - length] != pattern_[0]) continue;
            return out.compare(out.size() - length, length, pattern_, 0, length) == 0 ? length : 0;
        }
        return 0;
    }

    std::string pattern_;
};

void JoinLinePairs(const std::string& text, std::string& out) {
    out.clear();
    out.reserve(text.size() + text.size() / 2);
    bool even = false;
    std::size_t from = 0;
    for (std::size_t lineFeed = text.find('\n'); lineFeed != std::string::npos;
         lineFeed = text.find('\n', from)) {
        out.append(text, from, lineFeed - from);
        if (even)
            out.append(kLineJoiner);
        else
            out.push_back('\n');
        even = !even;
        from = lineFeed + 1;
    }
    out.append(text, from, std::string::npos);
}

}  // namespace

std::vector<std::string> PageListText(const std::string& listText) {
    std::vector<std::string> boxes;
    PatternRemover options(kOptionMarker), valueEnds(kOptionValueEnd);
    std::string withoutOptions, withoutValueEnds;
    const std::size_t markerLength = std::strlen(kOptionMarker);

    std::size_t start = 0;
    while (start < listText.size()) {
        std::size_t cut = listText.size();
        if (listText.size() - start >= kBoxThreshold) {
            std::size_t marker = listText.find(kOptionMarker, start + kBoxThreshold);
            if (marker != std::string::npos) cut = marker + markerLength;
        }
        options.Remove(listText.data() + start, cut - start, withoutOptions);
        valueEnds.Remove(withoutOptions.data(), withoutOptions.size(), withoutValueEnds);
        boxes.emplace_back();
        JoinLinePairs(withoutValueEnds, boxes.back());
        start = cut;
    }
    return boxes;
}

}  // namespace nimbrel
