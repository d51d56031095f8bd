// The plain side of upstream_channel.h: the socket's own reads and writes.

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "services/upstream/upstream_channel.h"

namespace nimbrel::services {
namespace {

class Plain : public UpstreamChannel {
public:
    explicit Plain(int socket) : socket_(socket) {}

    ChannelStep Open() override { return ChannelStep::Done; }

    ChannelStep Write(std::string_view data, std::size_t& count) override {
        // MSG_NOSIGNAL: a server that hangs up is a failed fetch, not a SIGPIPE.
        return Step(send(socket_, data.data(), data.size(), MSG_NOSIGNAL), ChannelStep::WantWrite, count);
    }

    ChannelStep Read(char* buffer, std::size_t size, std::size_t& count) override {
        return Step(recv(socket_, buffer, size, 0), ChannelStep::WantRead, count);
    }

    std::string failure() const override { return failure_; }

private:
    ChannelStep Step(ssize_t done, ChannelStep waiting, std::size_t& count) {
        count = done > 0 ? static_cast<std::size_t>(done) : 0;
        if (done >= 0) return ChannelStep::Done;
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return waiting;
        failure_ = std::strerror(errno);
        return ChannelStep::Failed;
    }

    int socket_;
    std::string failure_;
};

}  // namespace

std::unique_ptr<UpstreamChannel> PlainChannel(int socket) { return std::make_unique<Plain>(socket); }

}  // namespace nimbrel::services
