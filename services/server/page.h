#pragma once
// An answer of the services: its HTTP status and its body.

#include <string>
#include <string_view>

namespace nimbrel::services {

struct Page {
    int status = 200;
    std::string body;
    // Empty: the plug-in's pages' own, HTML in Windows-1252. Else a fixed
    // text, never one of the request's.
    std::string_view contentType = {};
};

}  // namespace nimbrel::services
