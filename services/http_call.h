#pragma once
// One HTTP request to an outside server, bounded in time and in bytes:
// the services must answer the plug-in in time whatever the server does.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace services {

struct ServerAddress {
    std::string origin;    // "http://host:port"
    std::string basePath;  // "" or "/prefix", the server's paths below it
};

// An http:// or https:// URL, optionally with a path the server sits
// under; nullopt for anything else.
std::optional<ServerAddress> ParseServerAddress(std::string_view url);

struct HttpAnswer {
    int status = 0;
    std::string body;
};

using HttpDeadline = std::chrono::steady_clock::time_point;

// nullopt when no whole answer came by the deadline (connecting included)
// or its body was longer than maxBody.
std::optional<HttpAnswer> HttpGet(const ServerAddress& server, const std::string& path,
                                  HttpDeadline deadline, std::size_t maxBody);
std::optional<HttpAnswer> HttpPost(const ServerAddress& server, const std::string& path,
                                   const std::string& body, const std::string& contentType,
                                   HttpDeadline deadline, std::size_t maxBody);

}  // namespace services
