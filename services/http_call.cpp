#include "http_call.h"

#include <httplib.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace services {
namespace {

// Timeouts bound each read, not the whole answer: a server sending a byte
// now and then would hold the request for ever. At the deadline the
// watchdog shuts the client's socket, which ends the call at once.
class Watchdog {
public:
    Watchdog(httplib::Client& client, HttpDeadline deadline)
        : thread_([this, &client, deadline] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!doneChanged_.wait_until(lock, deadline, [this] { return done_; })) client.stop();
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        doneChanged_.notify_one();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable doneChanged_;
    bool done_ = false;
    std::thread thread_;  // last: it uses the members above
};

bool IsUrlCharacter(char c) { return c > ' ' && c < 0x7F; }

std::optional<HttpAnswer> Call(const ServerAddress& server, httplib::Request request, HttpDeadline deadline,
                               std::size_t maxBody) {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return std::nullopt;
    httplib::Client client(server.origin);
    if (!client.is_valid()) return std::nullopt;
    client.set_connection_timeout(left);
    client.set_read_timeout(left);
    client.set_write_timeout(left);
    client.set_keep_alive(false);

    std::string body;
    request.content_receiver = [&body, maxBody](const char* data, std::size_t size, uint64_t, uint64_t) {
        if (body.size() + size > maxBody) return false;
        body.append(data, size);
        return true;
    };
    httplib::Response response;
    httplib::Error error = httplib::Error::Success;
    bool sent = false;
    {
        Watchdog watchdog(client, deadline);
        sent = client.send(request, response, error);
    }
    if (!sent || std::chrono::steady_clock::now() > deadline) return std::nullopt;
    return HttpAnswer{response.status, std::move(body)};
}

}  // namespace

std::optional<ServerAddress> ParseServerAddress(std::string_view url) {
    for (const char c : url) {
        if (!IsUrlCharacter(c)) return std::nullopt;
    }
    const auto schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos) return std::nullopt;
    const std::string_view scheme = url.substr(0, schemeEnd);
    if (scheme != "http" && scheme != "https") return std::nullopt;
    const auto pathStart = url.find('/', schemeEnd + 3);
    const std::string_view authority = url.substr(schemeEnd + 3, pathStart - (schemeEnd + 3));
    if (authority.empty() || authority.find_first_of("?#@") != std::string_view::npos) return std::nullopt;
    ServerAddress address{std::string(url.substr(0, schemeEnd + 3 + authority.size())), {}};
    if (pathStart != std::string_view::npos) {
        std::string_view path = url.substr(pathStart);
        if (path.find_first_of("?#") != std::string_view::npos) return std::nullopt;
        while (!path.empty() && path.back() == '/') path.remove_suffix(1);
        address.basePath = std::string(path);
    }
    return address;
}

std::optional<HttpAnswer> HttpGet(const ServerAddress& server, const std::string& path, HttpDeadline deadline,
                                  std::size_t maxBody) {
    httplib::Request request;
    request.method = "GET";
    request.path = server.basePath + path;
    return Call(server, std::move(request), deadline, maxBody);
}

std::optional<HttpAnswer> HttpPost(const ServerAddress& server, const std::string& path, const std::string& body,
                                   const std::string& contentType, HttpDeadline deadline, std::size_t maxBody) {
    httplib::Request request;
    request.method = "POST";
    request.path = server.basePath + path;
    request.body = body;
    request.set_header("Content-Type", contentType);
    return Call(server, std::move(request), deadline, maxBody);
}

}  // namespace services
