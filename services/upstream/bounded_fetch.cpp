#include "services/upstream/bounded_fetch.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "services/upstream/host_lookup.h"
#include "services/upstream/http_answer_reader.h"
#include "unique_fd.h"
#include "services/upstream/upstream_channel.h"

namespace nimbrel::services {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kUserAgent[] = "nimbrel-services";
constexpr std::size_t kReadBytes = 16 * 1024;

std::string RequestText(const std::string& path, const OriginParts& origin, const FetchRequest& request) {
    const bool post = !request.body.empty();
    std::string text = std::string(post ? "POST " : "GET ") + path + " HTTP/1.1\r\nHost: " + origin.authority +
                       "\r\nUser-Agent: " + kUserAgent + "\r\nAccept-Encoding: gzip, deflate\r\nConnection: close\r\n";
    if (post) {
        text += "Content-Type: " + request.contentType + "\r\nContent-Length: " + std::to_string(request.body.size()) +
                "\r\n";
    }
    text += "\r\n";
    text += request.body;
    return text;
}

// Waits until the socket is ready for what the step asks; false once the
// deadline has passed.
bool Await(int socket, ChannelStep step, Clock::time_point deadline) {
    pollfd wanted{socket, static_cast<short>(step == ChannelStep::WantWrite ? POLLOUT : POLLIN), 0};
    while (true) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        const int ready = poll(&wanted, 1, static_cast<int>(left));
        if (ready > 0) return true;  // or the socket failed, which the next step meets
        if (ready < 0 && errno != EINTR) return false;
    }
}

enum class Ended { Done, Failed, TimedOut };

// Repeats step until it is Done or Failed, waiting on the socket for what
// it asks, by the deadline.
template <typename Step>
Ended Drive(int socket, Clock::time_point deadline, Step step) {
    while (true) {
        const ChannelStep next = step();
        if (next == ChannelStep::Done) return Ended::Done;
        if (next == ChannelStep::Failed) return Ended::Failed;
        if (!Await(socket, next, deadline)) return Ended::TimedOut;
    }
}

// A socket connected to one of the addresses, tried in turn; none when
// none took the connection (why in error) or at the deadline (timedOut).
nimbrel::UniqueFd Connect(const std::vector<HostAddress>& addresses, Clock::time_point deadline, std::string& error,
                          bool& timedOut) {
    for (const HostAddress& address : addresses) {
        nimbrel::UniqueFd socket(::socket(address.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!socket) {
            error = std::strerror(errno);
            continue;
        }
        if (connect(socket.get(), reinterpret_cast<const sockaddr*>(&address.address), address.length) == 0) {
            return socket;
        }
        if (errno != EINPROGRESS) {
            error = std::strerror(errno);
            continue;
        }
        if (!Await(socket.get(), ChannelStep::WantWrite, deadline)) {
            timedOut = true;
            return {};
        }
        int failure = 0;
        socklen_t length = sizeof failure;
        if (getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &failure, &length) == 0 && failure == 0) return socket;
        error = std::strerror(failure != 0 ? failure : errno);
    }
    return {};
}

FetchError FetchFailure(std::string error, int status = 0) { return {status, std::move(error)}; }

}  // namespace

FetchedBody BoundedFetch(const UpstreamUrl& url, const FetchLimits& limits, const FetchRequest& request) {
    const auto deadline = Clock::now() + limits.time;
    const std::string within = std::to_string(limits.time.count()) + " ms";
    const OriginParts origin = SplitOrigin(url.origin);
    const std::string server = origin.host + ":" + origin.port;

    const HostLookup lookup = LookUpHost(origin.host, origin.port, deadline);
    if (!lookup && lookup.error().timedOut) return FetchFailure("still looking up " + origin.host + " after " + within);
    if (!lookup) return FetchFailure(lookup.error().why);

    std::string error;
    bool timedOut = false;
    const nimbrel::UniqueFd socket = Connect(*lookup, deadline, error, timedOut);
    if (timedOut) return FetchFailure("still connecting to " + server + " after " + within);
    if (!socket) return FetchFailure("cannot connect to " + server + " (" + error + ")");

    const auto channel = origin.tls ? TlsChannel(socket.get(), origin.host) : PlainChannel(socket.get());
    switch (Drive(socket.get(), deadline, [&] { return channel->Open(); })) {
        case Ended::Done: break;
        case Ended::Failed: return FetchFailure(channel->failure());
        case Ended::TimedOut: return FetchFailure("the TLS handshake with " + server + " not done within " + within);
    }

    const std::string text = RequestText(url.path, origin, request);
    std::size_t sent = 0;
    const Ended sending = Drive(socket.get(), deadline, [&] {
        while (sent < text.size()) {
            std::size_t count = 0;
            const ChannelStep step = channel->Write(std::string_view(text).substr(sent), count);
            if (step != ChannelStep::Done) return step;
            sent += count;
        }
        return ChannelStep::Done;
    });
    if (sending == Ended::Failed) return FetchFailure("cannot send the request (" + channel->failure() + ")");
    if (sending == Ended::TimedOut) return FetchFailure("the request not sent within " + within);

    HttpAnswerReader answer(limits.headBytes, limits.bytes);
    std::vector<char> buffer(kReadBytes);
    const Ended reading = Drive(socket.get(), deadline, [&] {
        // Read until the channel has nothing more at once: TLS may hold
        // bytes the socket no longer shows. Bounded by the deadline too,
        // however fast the server sends.
        while (Clock::now() < deadline) {
            std::size_t count = 0;
            const ChannelStep step = channel->Read(buffer.data(), buffer.size(), count);
            if (step != ChannelStep::Done) return step;
            const auto state = count == 0 ? answer.TakeEnd() : answer.Take({buffer.data(), count});
            if (state == HttpAnswerReader::State::Complete) return ChannelStep::Done;
            if (state == HttpAnswerReader::State::Failed) return ChannelStep::Failed;
        }
        return ChannelStep::WantRead;
    });
    if (reading == Ended::Done) return std::move(answer.body());
    if (answer.state() == HttpAnswerReader::State::Failed) return FetchFailure(answer.error(), answer.status());
    if (reading == Ended::Failed) return FetchFailure("the connection broke (" + channel->failure() + ")", answer.status());
    if (answer.state() == HttpAnswerReader::State::Head) return FetchFailure("the answer's head not complete within " + within);
    return FetchFailure("the answer's body not complete within " + within, answer.status());
}

}  // namespace nimbrel::services
