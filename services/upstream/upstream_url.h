#pragma once
// An upstream address as the options give it ("https://host[:port]/path"),
// split into the origin that opens a client and the path it requests.

#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::services {

struct UpstreamUrl {
    std::string origin;  // "https://tgftp.nws.noaa.gov", "http://127.0.0.1:8080"
    std::string path;    // "/data/observations/metar/decoded/"; "/" when none
    std::string Text() const { return origin + path; }
};

// An origin ("https://host:port") in parts.
struct OriginParts {
    bool tls = false;
    std::string authority;  // as the Host header gives it
    std::string host;       // without brackets
    std::string port;       // the scheme's when the origin gives none
};
// origin: as ParseUpstreamUrl gives it.
OriginParts SplitOrigin(const std::string& origin);

// None unless the scheme is http or https, the host is a name, an IPv4
// address or a bracketed IPv6 one, the port (if any) is a number, and the
// path holds neither blanks, control bytes, a query nor a fragment.
std::optional<UpstreamUrl> ParseUpstreamUrl(std::string_view url);

// The same address with a "/" at the end of its path: a folder.
UpstreamUrl AsFolder(UpstreamUrl url);

// The file or endpoint name in the folder url names.
UpstreamUrl InFolder(const UpstreamUrl& folder, std::string_view name);

}  // namespace nimbrel::services
