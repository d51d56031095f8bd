#pragma once
// Station-list paging done literally, one step at a time: every deletion
// is followed by a new search from the start of the box, and every joiner
// is put in by replacing in place. Quadratic on purpose; PageListText must
// give the same bytes.

#include <cstring>
#include <string>
#include <vector>

#include "stations/list_paging.h"

inline std::string LiteralRemoveEvery(std::string text, const char* marker) {
    for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker))
        text.erase(at, std::strlen(marker));
    return text;
}

inline std::string LiteralJoinLinePairs(std::string text) {
    int number = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) {
        if (++number % 2 == 0) {
            text.replace(at, 1, nimbrel::kLineJoiner);
            at += std::strlen(nimbrel::kLineJoiner);
        } else {
            ++at;
        }
    }
    return text;
}

inline std::vector<std::string> LiteralPageListText(std::string remaining) {
    std::vector<std::string> boxes;
    while (!remaining.empty()) {
        std::string box;
        std::size_t marker = std::string::npos;
        if (remaining.size() >= nimbrel::kBoxThreshold) marker = remaining.find(nimbrel::kOptionMarker, nimbrel::kBoxThreshold);
        if (marker == std::string::npos) {
            box = remaining;
            remaining.clear();
        } else {
            std::size_t cut = marker + std::strlen(nimbrel::kOptionMarker);
            box = remaining.substr(0, cut);
            remaining = remaining.substr(cut);
        }
        box = LiteralRemoveEvery(box, nimbrel::kOptionMarker);
        box = LiteralRemoveEvery(box, nimbrel::kOptionValueEnd);
        boxes.push_back(LiteralJoinLinePairs(box));
    }
    return boxes;
}
