#pragma once
// Small tests and changes of text the services make in many places. Only
// ASCII letters change case: what is matched are protocol words and codes.

#include <cctype>
#include <string>
#include <string_view>

namespace nimbrel::services {

inline bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

inline bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

inline char AsciiLower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
inline char AsciiUpper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

inline std::string AsciiLowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = AsciiLower(c);
    return lower;
}

inline std::string AsciiUppered(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = AsciiUpper(c);
    return upper;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

inline bool StartsWithNoCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && EqualsNoCase(text.substr(0, start.size()), start);
}

// Without the blanks a line of a header or a record has at either end.
inline std::string_view TrimmedBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace nimbrel::services
