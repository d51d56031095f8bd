#include "service_server.h"

#include "server/http_server.h"

namespace services {

ServiceServer::ServiceServer(const ServiceRoutes& routes, Log log, const ServerLimits& limits, ThreadFactory threads)
    : server_(std::make_unique<HttpServer>(
          RequestHandler{[&routes](const std::string& target) { return routes.Answer(target); },
                         [&routes](const std::string& target) { return routes.AnswerAtOnce(target); }},
          std::move(log), limits, std::move(threads))) {}

ServiceServer::~ServiceServer() = default;

bool ServiceServer::Start(int port, const std::string& address) { return server_->Start(port, address); }
bool ServiceServer::Stop() { return server_->Stop(); }
int ServiceServer::port() const { return server_->port(); }
const std::string& ServiceServer::error() const { return server_->error(); }

}  // namespace services
