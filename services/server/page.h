#pragma once
// An answer of the services: its HTTP status and its body.

#include <string>

namespace services {

struct Page {
    int status = 200;
    std::string body;
};

}  // namespace services
