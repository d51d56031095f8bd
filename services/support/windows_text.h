#pragma once
// The services' texts are UTF-8; Windows' own calls take UTF-16.

#include <string>
#include <string_view>

namespace nimbrel::services {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// "error 5: Access is denied." for a GetLastError() code.
std::string WindowsErrorText(unsigned long code);

}  // namespace nimbrel::services
