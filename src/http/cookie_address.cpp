#include "cookie_address.h"

std::string CookieAddress(UrlScheme scheme, const std::string& host, int port, const std::string& path) {
    std::string address = scheme == Http ? "http://" : scheme == Https ? "https://" : "";
    address += host;
    bool usualPort = (scheme == Http && port == 80) || (scheme == Https && port == 443);
    if (!usualPort) address += ":" + std::to_string(port);
    address += path;
    return address;
}
