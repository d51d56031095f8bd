#pragma once

#include <string>

#include "http_types.h"

namespace nimbrel {

// The address a cookie is set for: scheme, host, the port unless it is the
// scheme's usual one, then the request's path. Ftp has no scheme prefix.
std::string CookieAddress(UrlScheme scheme, const std::string& host, int port, const std::string& path);

}  // namespace nimbrel
