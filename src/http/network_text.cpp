#include "network_text.h"

namespace nimbrel {

namespace {

bool IsKept(unsigned char byte) {
    return byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\r';
}

}  // namespace

void AppendNetworkText(std::string& text, const char* bytes, std::size_t count) {
    text.reserve(text.size() + count);
    for (std::size_t i = 0; i < count; ++i)
        if (IsKept(static_cast<unsigned char>(bytes[i]))) text += bytes[i];
}

}  // namespace nimbrel
