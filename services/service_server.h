#pragma once
// The HTTP server in front of the routes: it answers every GET, in origin
// form or in absolute form as a proxy receives it.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "log_text.h"
#include "bounded_connection_server.h"
#include "service_routes.h"

namespace services {

inline constexpr char kLoopbackAddress[] = "127.0.0.1";

class ServiceServer {
public:

    explicit ServiceServer(const ServiceRoutes& routes, Log log = {},
                           const ConnectionLimits& limits = ConnectionLimits());
    ~ServiceServer();
    ServiceServer(const ServiceServer&) = delete;
    ServiceServer& operator=(const ServiceServer&) = delete;

    // Binds address:port (port 0: any free one) and serves on a thread of
    // its own. False when the port cannot be had; error() then says why.
    bool Start(int port, const std::string& address = kLoopbackAddress);
    void Stop();

    int port() const { return port_; }
    const std::string& error() const { return error_; }

private:
    const ServiceRoutes& routes_;
    std::unique_ptr<BoundedConnectionServer> server_;
    std::thread thread_;
    std::atomic<bool> listenReturned_{false};
    int port_ = 0;
    std::string error_;
};

}  // namespace services
