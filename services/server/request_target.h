#pragma once
// The target of a request line, taken apart into path and query. A client
// that talks to the services as its proxy sends the absolute form
// ("http://weather.example:80/path?query"); cpp-httplib 0.11 keeps that
// whole as the path and routes nothing, so the scheme and host go here.

#include <string>
#include <string_view>

namespace nimbrel::services {

struct RequestTarget {
    std::string path;   // percent-decoded; "/" when the target has none
    std::string query;  // as sent, without the "?"
};

RequestTarget SplitRequestTarget(std::string_view target);

}  // namespace nimbrel::services
