#pragma once
// The services' routes served over HTTP: every GET, in origin form or in
// absolute form as a proxy receives it (see http_server.h); beside them
// the operator's /healthz and /metrics, and each client held to its fair
// use (fair_use.h) before its route runs.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "services/fair_use.h"
#include "services/server/client_buckets.h"
#include "services/server/server_limits.h"
#include "services/service_metrics.h"
#include "services/service_routes.h"
#include "services/support/log_text.h"
#include "services/support/metrics.h"
#include "services/support/thread_factory.h"

namespace nimbrel::services {

inline constexpr char kLoopbackAddress[] = "127.0.0.1";

class HttpServer;

class ServiceServer {
public:
    explicit ServiceServer(const ServiceRoutes& routes, Log log = {}, const ServerLimits& limits = ServerLimits(),
                           ThreadFactory threads = SystemThreads(), const FairUse& fairUse = FairUse());
    ~ServiceServer();
    ServiceServer(const ServiceServer&) = delete;
    ServiceServer& operator=(const ServiceServer&) = delete;

    // What /metrics shows: the server's own counts, and what is added
    // here before Start (see service_metrics.h).
    MetricsRegistry& metrics() { return metrics_; }
    // A line /healthz shows below "serving", asked at each request; added
    // before Start.
    void AddStatusLine(std::function<std::string()> line) { statusLines_.push_back(std::move(line)); }

    // Binds address:port (port 0: any free one) and serves on threads of
    // its own. False when the port cannot be had; error() then says why.
    bool Start(int port, const std::string& address = kLoopbackAddress);
    // Stops accepting, lets the requests already read be answered for up to
    // ServerLimits::drain, and closes every connection. False when a route
    // was still running then: what it uses must be left in place.
    bool Stop();

    int port() const;
    const std::string& error() const;

private:
    int Admit(Route route, const boost::asio::ip::address& client, ClientBuckets::Clock::time_point now);
    std::optional<Page> OperatorPage(Route route) const;

    const ServiceRoutes& routes_;
    const bool exemptLoopback_;
    ClientBuckets pageBuckets_;
    ClientBuckets translationBuckets_;
    RequestCounts counts_;
    MetricsRegistry metrics_;
    std::vector<std::function<std::string()>> statusLines_;
    // Last, so that it stops before what its handler uses goes.
    std::unique_ptr<HttpServer> server_;
};

}  // namespace nimbrel::services
