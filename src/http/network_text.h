#pragma once
// Text from the network is never trusted to carry control bytes: one of
// them at the start of an answer (0x12) would make the host take it for a
// notification request, others would reach a terminal or a box raw.

#include <cstddef>
#include <string>

namespace nimbrel {

// Appends the bytes to text, less every C0 control byte (0x00 to 0x1F)
// other than tab, line feed and carriage return.
void AppendNetworkText(std::string& text, const char* bytes, std::size_t count);

}  // namespace nimbrel
