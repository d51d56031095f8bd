// Splitting addresses: any text, and addresses joined from parts, which
// must split back into those parts (ports by the scheme's rules), as must
// the address a cookie is set for.
//
// Input: the whole input is one address; read again as parts (escaped
// strings, see FuzzedDataProvider), it is joined into another.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "http/cookie_address.h"
#include "http/url_parts.h"

using namespace nimbrel;

namespace {

bool Holds(const std::string& text, const char* bytes) { return text.find_first_of(bytes) != std::string::npos; }

void CheckAnyAddress(const std::string& address) {
    UrlParts parts;
    const bool split = SplitUrl(address, parts);
    // Every part is a piece of the address, or a default shorter than the limit.
    if (!split) {
        FUZZ_CHECK(address.size() > kUrlPartLimit);
        return;
    }
    for (const std::string* part : {&parts.scheme, &parts.userName, &parts.password, &parts.host, &parts.path})
        FUZZ_CHECK(part->size() <= kUrlPartLimit);
    FUZZ_CHECK(!parts.path.empty() && parts.path[0] == '/');
    FUZZ_CHECK(!Holds(parts.host, ":/"));
    FUZZ_CHECK(!Holds(parts.userName, ":/@"));
    const UrlScheme scheme = SchemeFromText(parts.scheme);
    FUZZ_CHECK(scheme == UrlScheme::Unknown || scheme == UrlScheme::Ftp || scheme == UrlScheme::Http ||
               scheme == UrlScheme::Https);
}

std::string Without(std::string text, std::string_view bytes) {
    text.erase(std::remove_if(text.begin(), text.end(), [&](char c) { return bytes.find(c) != bytes.npos; }),
               text.end());
    return text;
}

struct JoinedParts {
    std::string scheme;  // empty: none written
    std::string userName, password;
    std::string host;
    bool withPort = false;
    int port = 0;
    std::string path;  // empty, or starting with "/"
};

int UsualPort(const std::string& scheme) { return scheme == "https" ? 443 : scheme == "ftp" ? 21 : 80; }

void CheckJoinedAddress(FuzzedDataProvider& input) {
    JoinedParts written;
    written.scheme = Without(input.ConsumeRandomLengthString(1100), ":");
    const bool withUser = input.ConsumeBool();
    if (withUser) {
        written.userName = Without(input.ConsumeRandomLengthString(1100), ":/@");
        written.password = Without(input.ConsumeRandomLengthString(1100), "/@");
    }
    written.host = Without(input.ConsumeRandomLengthString(1100), ":/@");
    written.withPort = input.ConsumeBool();
    if (written.withPort) written.port = input.ConsumeIntegral<int>();
    const std::string pathTail = input.ConsumeRandomLengthString(1100);
    if (input.ConsumeBool()) written.path = "/" + pathTail;
    // Without a scheme, the address's first colon must be the port's: one in
    // a password or a path followed by "/" would pass for a scheme's.
    if (written.scheme.empty() && (withUser || Holds(written.path, ":"))) written.scheme = "http";

    std::string address = written.scheme.empty() ? "" : written.scheme + "://";
    if (withUser) address += written.userName + ":" + written.password + "@";
    address += written.host;
    if (written.withPort) address += ":" + std::to_string(written.port);
    address += written.path;

    const std::string scheme = written.scheme.empty() ? "http" : written.scheme;
    const std::string path = written.path.empty() ? "/" : written.path;
    const auto within = [](const std::string& part) { return part.size() <= kUrlPartLimit; };
    const bool fits = within(scheme) && within(written.userName) && within(written.password) &&
                      within(written.host) && within(path);

    UrlParts parts;
    FUZZ_CHECK(SplitUrl(address, parts) == fits);
    if (!fits) return;
    FUZZ_CHECK(parts.scheme == scheme);
    FUZZ_CHECK(parts.userName == written.userName);
    FUZZ_CHECK(parts.password == written.password);
    FUZZ_CHECK(parts.host == written.host);
    FUZZ_CHECK(parts.port == (written.withPort ? written.port : UsualPort(scheme)));
    FUZZ_CHECK(parts.path == path);

    // A cookie's address names the same host, port and path.
    const UrlScheme kind = SchemeFromText(scheme);
    if (scheme != "http" && scheme != "https") return;
    UrlParts cookie;
    FUZZ_CHECK(SplitUrl(CookieAddress(kind, parts.host, parts.port, parts.path), cookie));
    FUZZ_CHECK(cookie.scheme == scheme && cookie.host == parts.host && cookie.port == parts.port &&
               cookie.path == parts.path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckAnyAddress(std::string(reinterpret_cast<const char*>(data), size));
    FuzzedDataProvider input(data, size);
    CheckJoinedAddress(input);
    return 0;
}
