#include "bounded_fetch.h"

#include <httplib.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace services {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kUserAgent[] = "nimbrel-services";
// How often the watchdog repeats its stop: a stop that comes while the
// client is still connecting does nothing, so it is said again until the
// fetch has ended.
constexpr auto kStopRepeat = std::chrono::milliseconds(20);
// How long past the deadline the caller waits for a stopped fetch to say
// why it failed.
constexpr auto kReportGrace = std::chrono::milliseconds(200);

// Stops the client's request once the deadline has passed, from a thread of
// its own, until Finish() is called.
class Watchdog {
public:
    Watchdog(httplib::Client& client, Clock::time_point deadline)
        : thread_([this, &client, deadline] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (done_.wait_until(lock, deadline, [this] { return finished_; })) return;
              while (!finished_) {
                  lock.unlock();
                  client.stop();
                  lock.lock();
                  done_.wait_for(lock, kStopRepeat, [this] { return finished_; });
              }
          }) {}
    ~Watchdog() { Finish(); }

    void Finish() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;  // last: it starts once the members above exist
};

std::string LimitText(std::chrono::milliseconds time) {
    return std::to_string(time.count()) + " ms";
}

std::string ErrorText(httplib::Error error) {
    switch (error) {
        case httplib::Error::Connection: return "cannot connect";
        case httplib::Error::ConnectionTimeout: return "connecting timed out";
        case httplib::Error::Read: return "the answer broke off";
        case httplib::Error::Write: return "cannot send the request";
        case httplib::Error::SSLConnection: return "the TLS handshake failed";
        case httplib::Error::SSLLoadingCerts: return "cannot load the trusted certificates";
        case httplib::Error::SSLServerVerification: return "the server's certificate is not trusted";
        case httplib::Error::Compression: return "cannot decompress the answer";
        default: return "request failed (" + httplib::to_string(error) + ")";
    }
}

FetchResult FetchUntil(const UpstreamUrl& url, const FetchLimits& limits, const FetchRequest& asked,
                       Clock::time_point deadline) {
    httplib::Client client(url.origin);
    client.set_connection_timeout(limits.time);
    client.set_read_timeout(limits.time);
    client.set_write_timeout(limits.time);
    client.set_follow_location(false);

    FetchResult result;
    int& status = result.status;
    bool tooLarge = false;
    const auto inTime = [&] { return Clock::now() < deadline; };
    httplib::Request request;
    request.method = asked.body.empty() ? "GET" : "POST";
    request.path = url.path;
    request.set_header("User-Agent", kUserAgent);
    if (!asked.body.empty()) {
        request.body = asked.body;
        request.set_header("Content-Type", asked.contentType);
    }
    request.response_handler = [&](const httplib::Response& response) {
        status = response.status;
        return status == 200 && inTime();
    };
    request.content_receiver = [&](const char* data, std::size_t size, uint64_t, uint64_t) {
        if (result.body.size() + size > limits.bytes) {
            tooLarge = true;
            return false;
        }
        result.body.append(data, size);
        return inTime();
    };
    httplib::Response response;
    httplib::Error error = httplib::Error::Success;
    const bool sent = [&] {
        Watchdog watchdog(client, deadline);
        return client.send(request, response, error);
    }();

    if (tooLarge) {
        result.error = "more than " + std::to_string(limits.bytes) + " bytes";
    } else if (sent && status == 200) {
        result.ok = true;
        return result;
    } else if (status != 0 && status != 200) {
        result.error = "HTTP status " + std::to_string(status);
    } else if (!inTime()) {
        result.error = "no complete answer within " + LimitText(limits.time);
    } else {
        result.error = ErrorText(error);
    }
    result.body.clear();
    return result;
}

}  // namespace

// The host's name is resolved before cpp-httplib's timeouts apply, and no
// stop reaches the resolver: the fetch runs on a thread of its own, and the
// caller stops waiting at the deadline. A thread left behind ends when the
// resolver returns, its watchdog stopping the rest at once.
FetchResult BoundedFetch(const UpstreamUrl& url, const FetchLimits& limits, const FetchRequest& request) {
    struct Outcome {
        std::mutex mutex;
        std::condition_variable ready;
        bool done = false;
        FetchResult result;
    };
    const auto outcome = std::make_shared<Outcome>();
    const auto deadline = Clock::now() + limits.time;
    std::thread([outcome, url, limits, request, deadline] {
        FetchResult result = FetchUntil(url, limits, request, deadline);
        std::lock_guard<std::mutex> lock(outcome->mutex);
        outcome->result = std::move(result);
        outcome->done = true;
        outcome->ready.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(outcome->mutex);
    if (!outcome->ready.wait_until(lock, deadline + kReportGrace, [&] { return outcome->done; })) {
        return {false, 0, {}, "no answer within " + LimitText(limits.time) + " (still resolving or connecting)"};
    }
    return std::move(outcome->result);
}

}  // namespace services
