#include "services/upstream/host_lookup.h"

#include <netdb.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>

namespace nimbrel::services {
namespace {

using Clock = std::chrono::steady_clock;

// A resolver that answers none of these is stalled: further lookups would
// only pile up behind them.
constexpr std::size_t kMostUnanswered = 8;

// What the resolver works on, which must stay put until it is done.
struct Lookup {
    std::string host;
    std::string port;
    addrinfo hints{};
    gaicb request{};

    Lookup(std::string host, std::string port) : host(std::move(host)), port(std::move(port)) {
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_ADDRCONFIG | AI_NUMERICSERV;
        request.ar_name = this->host.c_str();
        request.ar_service = this->port.c_str();
        request.ar_request = &hints;
    }
    ~Lookup() {
        if (request.ar_result != nullptr) freeaddrinfo(request.ar_result);
    }
};

std::mutex unansweredMutex;
std::vector<std::unique_ptr<Lookup>> unanswered;

// Drops the lookups the resolver has finished with; with the mutex held.
void DropAnswered() {
    for (auto at = unanswered.begin(); at != unanswered.end();) {
        at = gai_error(&(*at)->request) == EAI_INPROGRESS ? at + 1 : unanswered.erase(at);
    }
}

std::vector<HostAddress> AddressesOf(const addrinfo* list) {
    std::vector<HostAddress> addresses;
    for (const addrinfo* at = list; at != nullptr; at = at->ai_next) {
        if (at->ai_addrlen > sizeof(sockaddr_storage)) continue;
        HostAddress address{};
        std::memcpy(&address.address, at->ai_addr, at->ai_addrlen);
        address.length = at->ai_addrlen;
        addresses.push_back(address);
    }
    return addresses;
}

LookupFailure Failed(std::string why) { return {false, std::move(why)}; }

timespec TimeLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now()).count();
    if (left <= 0) return {0, 0};
    return {static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
}

}  // namespace

HostLookup LookUpHost(const std::string& host, const std::string& port, Clock::time_point deadline) {
    addrinfo literal{};
    literal.ai_socktype = SOCK_STREAM;
    literal.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &literal, &found) == 0) {
        std::vector<HostAddress> addresses = AddressesOf(found);
        freeaddrinfo(found);
        if (addresses.empty()) return Failed("cannot look up " + host + " (no address)");
        return addresses;
    }

    {
        std::lock_guard<std::mutex> lock(unansweredMutex);
        DropAnswered();
        if (unanswered.size() >= kMostUnanswered) {
            return Failed("the name resolver left " + std::to_string(unanswered.size()) + " lookups unanswered");
        }
    }
    auto lookup = std::make_unique<Lookup>(host, port);
    gaicb* requests[] = {&lookup->request};
    const int started = getaddrinfo_a(GAI_NOWAIT, requests, 1, nullptr);
    if (started != 0) return Failed("cannot look up " + host + " (" + gai_strerror(started) + ")");
    int state;
    while ((state = gai_error(&lookup->request)) == EAI_INPROGRESS) {
        const timespec left = TimeLeft(deadline);
        if (left.tv_sec == 0 && left.tv_nsec == 0) {
            if (gai_cancel(&lookup->request) == EAI_NOTCANCELED) {
                std::lock_guard<std::mutex> lock(unansweredMutex);
                unanswered.push_back(std::move(lookup));
            }
            return LookupFailure{true, {}};
        }
        gai_suspend(requests, 1, &left);
    }
    if (state != 0) {
        const std::string why = state == EAI_SYSTEM ? std::strerror(errno) : gai_strerror(state);
        return Failed("cannot look up " + host + " (" + why + ")");
    }
    std::vector<HostAddress> addresses = AddressesOf(lookup->request.ar_result);
    if (addresses.empty()) return Failed("cannot look up " + host + " (no address)");
    return addresses;
}

}  // namespace nimbrel::services
