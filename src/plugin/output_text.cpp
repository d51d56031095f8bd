#include "output_text.h"

#include <cstring>

#include "common/host_records.h"

namespace nimbrel {

void WriteOutput(char* output, std::string_view text) {
    if (output == nullptr) return;
    if (text.size() >= kOutputCapacity) {
        text = text.substr(0, kOutputCapacity - 1);
        std::size_t lineBreak = text.rfind('\n');
        if (lineBreak != std::string_view::npos) {
            text = text.substr(0, lineBreak);
            if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        }
    }
    std::memcpy(output, text.data(), text.size());
    output[text.size()] = '\0';
}

}  // namespace nimbrel
