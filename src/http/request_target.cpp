#include "request_target.h"

#include <cstring>

namespace {

bool MayStandInTarget(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return true;
    if (c >= 'a' && c <= 'z') return true;
    if (c >= '0' && c <= '9') return true;
    return c != 0 && std::strchr("-._~!$&'()*+,;=:@/?%", c) != nullptr;
}

}  // namespace

std::string EncodeRequestTarget(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string target;
    target.reserve(path.size());
    for (unsigned char c : path) {
        if (MayStandInTarget(c)) {
            target += static_cast<char>(c);
        } else {
            target += '%';
            target += kHex[c >> 4];
            target += kHex[c & 15];
        }
    }
    return target;
}
