// The TLS side of upstream_channel.h, on OpenSSL: the server's certificate
// checked against the system's trusted ones and for the host's name.

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <signal.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>

#include "services/upstream/upstream_channel.h"

namespace nimbrel::services {
namespace {

using Context = std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)>;

// One for the process: loading the trusted certificates takes some 50 ms.
// OpenSSL reads SSL_CERT_FILE and SSL_CERT_DIR for them, once, here.
SSL_CTX* SharedContext() {
    static const Context context = [] {
        Context made(SSL_CTX_new(TLS_client_method()), SSL_CTX_free);
        if (!made || SSL_CTX_set_default_verify_paths(made.get()) != 1) return Context(nullptr, SSL_CTX_free);
        SSL_CTX_set_min_proto_version(made.get(), TLS1_2_VERSION);
        SSL_CTX_set_verify(made.get(), SSL_VERIFY_PEER, nullptr);
        // Servers often close without TLS's own goodbye; the answer's
        // length or chunks tell a whole one from a cut one.
        SSL_CTX_set_options(made.get(), SSL_OP_IGNORE_UNEXPECTED_EOF);
        SSL_CTX_set_mode(made.get(), SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
        return made;
    }();
    return context.get();
}

// OpenSSL writes to the socket itself, without MSG_NOSIGNAL.
void IgnoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] { signal(SIGPIPE, SIG_IGN); });
}

bool IsAddress(const std::string& host) {
    unsigned char bytes[16];
    return inet_pton(AF_INET, host.c_str(), bytes) == 1 || inet_pton(AF_INET6, host.c_str(), bytes) == 1;
}

class Tls : public UpstreamChannel {
public:
    Tls(int socket, const std::string& host) : ssl_(nullptr, SSL_free) {
        IgnoreBrokenPipes();
        SSL_CTX* context = SharedContext();
        if (context == nullptr) {
            failure_ = "cannot load the trusted certificates";
            return;
        }
        ssl_.reset(SSL_new(context));
        const bool named = !IsAddress(host);
        if (!ssl_ || SSL_set_fd(ssl_.get(), socket) != 1 ||
            (named && (SSL_set_tlsext_host_name(ssl_.get(), host.c_str()) != 1 || SSL_set1_host(ssl_.get(), host.c_str()) != 1)) ||
            (!named && X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_.get()), host.c_str()) != 1)) {
            failure_ = "cannot set up TLS";
            ssl_.reset();
            return;
        }
        SSL_set_connect_state(ssl_.get());
    }

    ChannelStep Open() override {
        if (!ssl_) return ChannelStep::Failed;
        ERR_clear_error();
        const int done = SSL_do_handshake(ssl_.get());
        if (done == 1) return ChannelStep::Done;
        const ChannelStep step = Step(done);
        if (step == ChannelStep::Failed) {
            const long verified = SSL_get_verify_result(ssl_.get());
            failure_ = verified != X509_V_OK ? std::string("the server's certificate is not trusted (") +
                                                   X509_verify_cert_error_string(verified) + ")"
                                             : "the TLS handshake failed (" + failure_ + ")";
        }
        return step;
    }

    ChannelStep Write(std::string_view data, std::size_t& count) override {
        ERR_clear_error();
        count = 0;
        const int done = SSL_write_ex(ssl_.get(), data.data(), data.size(), &count);
        return done == 1 ? ChannelStep::Done : Step(done);
    }

    ChannelStep Read(char* buffer, std::size_t size, std::size_t& count) override {
        ERR_clear_error();
        count = 0;
        const int done = SSL_read_ex(ssl_.get(), buffer, size, &count);
        if (done == 1) return ChannelStep::Done;
        if (SSL_get_error(ssl_.get(), done) == SSL_ERROR_ZERO_RETURN) return ChannelStep::Done;  // the end
        return Step(done);
    }

    std::string failure() const override { return failure_; }

private:
    // What an unfinished call waits for; else the failure, with OpenSSL's
    // reason, or the system's.
    ChannelStep Step(int done) {
        const int error = SSL_get_error(ssl_.get(), done);
        if (error == SSL_ERROR_WANT_READ) return ChannelStep::WantRead;
        if (error == SSL_ERROR_WANT_WRITE) return ChannelStep::WantWrite;
        const char* reason = ERR_reason_error_string(ERR_peek_last_error());
        failure_ = reason != nullptr                             ? reason
                   : error == SSL_ERROR_SYSCALL && errno != 0 ? std::strerror(errno)
                                                              : "the connection closed";
        return ChannelStep::Failed;
    }

    std::unique_ptr<SSL, decltype(&SSL_free)> ssl_;
    std::string failure_;
};

}  // namespace

std::unique_ptr<UpstreamChannel> TlsChannel(int socket, const std::string& host) {
    return std::make_unique<Tls>(socket, host);
}

}  // namespace nimbrel::services
