#pragma once
// What the fuzz targets share: a broken property prints which one and
// aborts, which libFuzzer reports as a crash and keeps the input for.

#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

namespace fuzz {

// A C0 control byte other than tab, line feed and carriage return: what
// text from the network must never carry into an output.
inline bool IsForbiddenControl(unsigned char byte) {
    return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
}

inline bool HoldsForbiddenControl(std::string_view text) {
    for (const char c : text)
        if (IsForbiddenControl(static_cast<unsigned char>(c))) return true;
    return false;
}

}  // namespace fuzz
