#include "cookie_address.h"

namespace nimbrel {

std::string CookieAddress(UrlScheme scheme, const std::string& host, int port, const std::string& path) {
    std::string address = scheme == UrlScheme::Http ? "http://" : scheme == UrlScheme::Https ? "https://" : "";
    address += host;
    bool usualPort = (scheme == UrlScheme::Http && port == 80) || (scheme == UrlScheme::Https && port == 443);
    if (!usualPort) address += ":" + std::to_string(port);
    address += path;
    return address;
}

}  // namespace nimbrel
