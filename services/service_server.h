#pragma once
// The loopback HTTP server in front of the routes: it answers every GET,
// in origin form or in absolute form as a proxy receives it.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "service_routes.h"

namespace httplib {
class Server;
}

namespace services {

class ServiceServer {
public:
    using Log = std::function<void(const std::string& line)>;

    explicit ServiceServer(const ServiceRoutes& routes, Log log = {});
    ~ServiceServer();
    ServiceServer(const ServiceServer&) = delete;
    ServiceServer& operator=(const ServiceServer&) = delete;

    // Binds 127.0.0.1:port (0: any free port) and serves on a thread of its
    // own. False when the port cannot be had; error() then says why.
    bool Start(int port);
    void Stop();

    int port() const { return port_; }
    const std::string& error() const { return error_; }

private:
    const ServiceRoutes& routes_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    std::atomic<bool> listenReturned_{false};
    int port_ = 0;
    std::string error_;
};

}  // namespace services
