#include "service_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace services {
namespace {

constexpr char kContentType[] = "text/html; charset=windows-1252";

// cpp-httplib sets SO_REUSEPORT by default, with which a second server
// would share a port already taken instead of failing.
void ExclusiveAddress(socket_t socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

}  // namespace

ServiceServer::ServiceServer(const ServiceRoutes& routes, Log log, const ConnectionLimits& limits)
    : routes_(routes), server_(std::make_unique<BoundedConnectionServer>(limits)) {
    server_->set_socket_options(ExclusiveAddress);
    // A catch-all pattern: absolute-form targets never match a route path.
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Page page = routes_.Answer(request.target);
        response.status = page.status;
        response.set_content(std::move(page.body), kContentType);
    });
    if (log) {
        server_->set_logger([log](const httplib::Request& request, const httplib::Response& response) {
            log(request.method + " " + request.target + " " + std::to_string(response.status));
        });
    }
}

ServiceServer::~ServiceServer() { Stop(); }

bool ServiceServer::Start(int port, const std::string& address) {
    errno = 0;
    port_ = server_->Bind(address, port);
    if (port_ < 0) {
        const int cause = errno;
        error_ = cause == EADDRINUSE ? "port " + std::to_string(port) + " on " + address + " is already in use"
                                     : "cannot listen on " + address + ":" + std::to_string(port) + ": " +
                                           (cause != 0 ? std::strerror(cause) : "not an address of this machine");
        port_ = 0;
        return false;
    }
    thread_ = std::thread([this] {
        server_->listen_after_bind();
        listenReturned_ = true;
    });
    // stop() does nothing to a server that is not running yet.
    while (!server_->is_running() && !listenReturned_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void ServiceServer::Stop() {
    if (!thread_.joinable()) return;
    server_->stop();
    thread_.join();
}

}  // namespace services
