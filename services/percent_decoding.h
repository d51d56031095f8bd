#pragma once
// "%XX" to the byte it stands for. A "%" without two hex digits after it
// stays as it is, and so does "+": the plug-in's texts reach the services
// either encoded or raw, and a raw "+" or "50%" means just that.

#include <string>
#include <string_view>

namespace services {

std::string PercentDecoded(std::string_view text);

}  // namespace services
