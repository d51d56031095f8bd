#pragma once
// "%XX" to the byte it stands for. A "%" without two hex digits after it
// stays as it is: the plug-in's texts reach the services either encoded or
// raw, and a raw "50%" means just that.

#include <string>
#include <string_view>

namespace nimbrel::services {

// For paths, where "+" is itself.
std::string PercentDecoded(std::string_view text);

// For query values, form-encoded: "+" is a blank (a "+" of the text
// itself comes as "%2B").
std::string FormDecoded(std::string_view text);

}  // namespace nimbrel::services
