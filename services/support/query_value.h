#pragma once
// One value of a query string ("state=TX&x=1"), form-decoded ("+" is a blank).

#include <string>
#include <string_view>

namespace nimbrel::services {

// The value of the first key=value pair with this key; empty without one.
std::string QueryValue(std::string_view query, std::string_view key);

}  // namespace nimbrel::services
