#include "services/service_server.h"

#include "services/server/http_server.h"
#include "services/server/request_target.h"

namespace nimbrel::services {
namespace {

constexpr char kPlainText[] = "text/plain; charset=utf-8";

// A dual-stack listener sees an IPv4 client as ::ffff:a.b.c.d.
bool IsLoopback(const boost::asio::ip::address& client) {
    if (client.is_v6() && client.to_v6().is_v4_mapped()) {
        return boost::asio::ip::make_address_v4(boost::asio::ip::v4_mapped, client.to_v6()).is_loopback();
    }
    return client.is_loopback();
}

}  // namespace

ServiceServer::ServiceServer(const ServiceRoutes& routes, Log log, const ServerLimits& limits, ThreadFactory threads,
                             const FairUse& fairUse)
    : routes_(routes),
      exemptLoopback_(fairUse.exemptLoopback),
      pageBuckets_(fairUse.pages, fairUse.clients),
      translationBuckets_(fairUse.translations, fairUse.clients) {
    RequestHandler handler;
    handler.route = [](std::string_view target) {
        return static_cast<std::size_t>(RouteOf(SplitRequestTarget(target).path));
    };
    handler.admit = [this](std::size_t route, const boost::asio::ip::address& client,
                           RequestHandler::Clock::time_point now) { return Admit(Route(route), client, now); };
    handler.answerAtOnce = [this](const std::string& target, std::size_t route) {
        std::optional<Page> page = OperatorPage(Route(route));
        return page ? page : routes_.AnswerAtOnce(target);
    };
    handler.answer = [this](const std::string& target, std::size_t route) {
        std::optional<Page> page = OperatorPage(Route(route));
        return page ? std::move(*page) : routes_.Answer(target);
    };
    handler.answered = [this](std::size_t route, int status, RequestHandler::Clock::duration took) {
        counts_.Answered(route, status, took);
    };
    server_ = std::make_unique<HttpServer>(std::move(handler), std::move(log), limits, std::move(threads));
    counts_.Register(metrics_);
    RegisterOpenConnections(metrics_, [this] { return static_cast<double>(server_->openConnections()); });
}

ServiceServer::~ServiceServer() { server_.reset(); }

int ServiceServer::Admit(Route route, const boost::asio::ip::address& client, ClientBuckets::Clock::time_point now) {
    // A load balancer's check is never held back.
    if (route == Route::Health || (exemptLoopback_ && IsLoopback(client))) return 0;
    const bool translation = route == Route::Translation;
    const int wait = (translation ? translationBuckets_ : pageBuckets_).Take(client, now);
    if (wait > 0) counts_.Limited(translation);
    return wait;
}

std::optional<Page> ServiceServer::OperatorPage(Route route) const {
    if (route == Route::Metrics) return Page{200, metrics_.Text(), kMetricsContentType};
    if (route != Route::Health) return std::nullopt;
    std::string text = "serving\n";
    for (const auto& line : statusLines_) text += line() + "\n";
    return Page{200, std::move(text), kPlainText};
}

bool ServiceServer::Start(int port, const std::string& address) { return server_->Start(port, address); }
bool ServiceServer::Stop() { return server_->Stop(); }
int ServiceServer::port() const { return server_->port(); }
const std::string& ServiceServer::error() const { return server_->error(); }

}  // namespace nimbrel::services
