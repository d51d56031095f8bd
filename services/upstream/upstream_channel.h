#pragma once
// The byte stream of one connection to an upstream server, plain or TLS,
// over a connected non-blocking socket that the caller owns. Each call
// does what can be done at once and says what it waits for; the caller
// polls the socket for that, within its deadline, and calls again. TLS
// sits behind this seam alone (OpenSSL, in tls_channel.cpp); a Windows
// build will ask WinHTTP for the whole exchange instead.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace nimbrel::services {

enum class ChannelStep { Done, WantRead, WantWrite, Failed };

class UpstreamChannel {
public:
    virtual ~UpstreamChannel() = default;
    // Before anything is written: the TLS handshake; nothing when plain.
    virtual ChannelStep Open() = 0;
    // Done with count bytes written or read, at least one, except that a
    // read that is Done with none is the end of the stream.
    virtual ChannelStep Write(std::string_view data, std::size_t& count) = 0;
    virtual ChannelStep Read(char* buffer, std::size_t size, std::size_t& count) = 0;
    // Why the last step Failed, for the log.
    virtual std::string failure() const = 0;
};

std::unique_ptr<UpstreamChannel> PlainChannel(int socket);
// host: the name (or address) the server's certificate must be for.
std::unique_ptr<UpstreamChannel> TlsChannel(int socket, const std::string& host);

}  // namespace nimbrel::services
