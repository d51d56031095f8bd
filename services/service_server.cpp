#include "service_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace services {
namespace {

constexpr char kLoopback[] = "127.0.0.1";
constexpr char kContentType[] = "text/html; charset=windows-1252";

// cpp-httplib sets SO_REUSEPORT by default, with which a second server
// would share a port already taken instead of failing.
void ExclusiveAddress(socket_t socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

}  // namespace

ServiceServer::ServiceServer(const ServiceRoutes& routes, Log log)
    : routes_(routes), server_(std::make_unique<httplib::Server>()) {
    server_->set_socket_options(ExclusiveAddress);
    // One request a connection: an idle kept-alive connection would hold
    // up stopping for the whole keep-alive timeout.
    server_->set_keep_alive_max_count(1);
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

bool ServiceServer::Start(int port) {
    errno = 0;
    if (port == 0) {
        port_ = server_->bind_to_any_port(kLoopback);
    } else {
        port_ = server_->bind_to_port(kLoopback, port) ? port : -1;
    }
    if (port_ < 0) {
        const int cause = errno;
        error_ = cause == EADDRINUSE ? "port " + std::to_string(port) + " on " + kLoopback +
                                           " is already in use"
                                     : "cannot listen on " + std::string(kLoopback) + ":" +
                                           std::to_string(port) + ": " + std::strerror(cause);
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
