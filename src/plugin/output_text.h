#pragma once
// Writing an answer into the host's output buffer.

#include <string_view>

namespace nimbrel {

// Copies text and its terminator into output, which holds kOutputCapacity
// bytes. A text that does not fit is cut after its last whole line that
// does (a single line too long is cut at the capacity).
void WriteOutput(char* output, std::string_view text);

}  // namespace nimbrel
