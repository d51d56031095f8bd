#pragma once
// The services' routes served over HTTP: every GET, in origin form or in
// absolute form as a proxy receives it (see http_server.h).

#include <memory>
#include <string>

#include "support/log_text.h"
#include "server/server_limits.h"
#include "service_routes.h"
#include "support/thread_factory.h"

namespace services {

inline constexpr char kLoopbackAddress[] = "127.0.0.1";

class HttpServer;

class ServiceServer {
public:
    explicit ServiceServer(const ServiceRoutes& routes, Log log = {}, const ServerLimits& limits = ServerLimits(),
                           ThreadFactory threads = SystemThreads());
    ~ServiceServer();
    ServiceServer(const ServiceServer&) = delete;
    ServiceServer& operator=(const ServiceServer&) = delete;

    // Binds address:port (port 0: any free one) and serves on threads of
    // its own. False when the port cannot be had; error() then says why.
    bool Start(int port, const std::string& address = kLoopbackAddress);
    // Never waits on a client. False when a route was still running after
    // ServerLimits::drain: the routes must then be left in place.
    bool Stop();

    int port() const;
    const std::string& error() const;

private:
    std::unique_ptr<HttpServer> server_;
};

}  // namespace services
