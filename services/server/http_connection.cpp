#include "services/server/http_connection.h"

#include <boost/asio/dispatch.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/status.hpp>
#include <boost/beast/http/write.hpp>

#include <algorithm>

namespace nimbrel::services {
namespace {

namespace http = boost::beast::http;
using boost::beast::error_code;

constexpr char kContentType[] = "text/html; charset=windows-1252";
constexpr char kAllowedMethods[] = "GET, HEAD";
constexpr std::size_t kReadChunk = 4096;
// After a closing answer the connection is shut for sending, and what the
// client still sends is read and dropped for a while: closed with bytes
// unread, it would be reset, and the client could lose the answer.
constexpr auto kLinger = std::chrono::seconds(1);

constexpr int kBadRequest = 400;
constexpr int kMethodNotAllowed = 405;
constexpr int kBodyTooLarge = 413;
constexpr int kTooManyRequests = 429;
constexpr int kHeadTooLarge = 431;
constexpr int kInternalError = 500;
constexpr int kUnavailable = 503;

// The page of an answer the server gives by itself.
Page StatusPage(int status) {
    const std::string reason(http::obsolete_reason(static_cast<http::status>(status)));
    return {status, "<HTML>\n<HEAD>\n<TITLE>" + reason + "</TITLE>\n</HEAD>\n<BODY>\n<P>" + reason +
                        ".</P>\n</BODY>\n</HTML>\n"};
}

// The answer to a request that could not be read, or 0 when there is no
// one to answer: the client closed or reset, or its time ran out.
int ReadFailureStatus(const error_code& error) {
    if (error.category() != http::make_error_code(http::error::bad_method).category() ||
        error == http::error::end_of_stream || error == http::error::partial_message) {
        return 0;
    }
    if (error == http::error::header_limit || error == http::error::buffer_overflow) return kHeadTooLarge;
    if (error == http::error::body_limit) return kBodyTooLarge;
    return kBadRequest;
}

// The handler's page, or a 500 when it throws.
Page Run(const RequestHandler& handler, const std::string& target, std::size_t route) {
    try {
        return handler.answer(target, route);
    } catch (...) {
        return StatusPage(kInternalError);
    }
}

// The same without waiting, or none when the page would wait.
std::optional<Page> RunAtOnce(const RequestHandler& handler, const std::string& target, std::size_t route) {
    try {
        return handler.answerAtOnce(target, route);
    } catch (...) {
        return StatusPage(kInternalError);
    }
}

// The client's address, read once: not a system call per request.
boost::asio::ip::address ClientOf(const boost::asio::ip::tcp::socket& socket) {
    error_code ignored;
    return socket.remote_endpoint(ignored).address();
}

}  // namespace

// A request's route, run on a worker; its answer is posted back to the
// connection's io thread. Members go in reverse order: the connection
// before the io_context it belongs to.
struct HttpConnection::Job {
    std::shared_ptr<ServerShared> shared;
    std::shared_ptr<HttpConnection> connection;
    std::string target;
    std::size_t route;

    void operator()() {
        boost::asio::post(connection->stream_.get_executor(),
                          [connection = connection, page = Run(shared->handler, target, route)]() mutable {
                              connection->Answer(std::move(page));
                          });
    }
};

HttpConnection::HttpConnection(boost::asio::ip::tcp::socket socket, ServerShared& shared)
    : shared_(shared),
      client_(ClientOf(socket)),
      stream_(std::move(socket)),
      buffer_(shared.limits.headBytes + kReadChunk) {
    ++shared_.open;
}

HttpConnection::~HttpConnection() {
    if (busy_) --shared_.busy;
    --shared_.open;
}

void HttpConnection::Start() {
    boost::asio::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->ReadRequest(); });
}

void HttpConnection::ReadRequest() {
    parser_.emplace();
    parser_->header_limit(static_cast<std::uint32_t>(shared_.limits.headBytes));
    parser_->body_limit(static_cast<std::uint64_t>(shared_.limits.bodyBytes));
    deadline_ = std::chrono::steady_clock::now() + shared_.limits.request;
    if (buffer_.size() > 0) return ReadRest();  // it came with the one before
    // An idle connection keeps one read's worth of buffer, not a big head's.
    if (buffer_.capacity() > 2 * kReadChunk) buffer_.shrink_to_fit();
    stream_.expires_after(std::min(shared_.limits.idle, shared_.limits.request));
    stream_.async_read_some(buffer_.prepare(kReadChunk),
                            [self = shared_from_this()](const error_code& error, std::size_t size) {
                                if (error) return;  // nothing to answer
                                self->buffer_.commit(size);
                                self->ReadRest();
                            });
}

void HttpConnection::ReadRest() {
    stream_.expires_at(deadline_);
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](const error_code& error, std::size_t) { self->OnRequest(error); });
}

void HttpConnection::OnRequest(error_code error) {
    read_ = std::chrono::steady_clock::now();
    route_ = 0;
    if (error) {
        const int status = ReadFailureStatus(error);
        if (status == 0) return;
        // What follows an unreadable request is never read as one.
        keepAlive_ = false;
        head_ = false;
        SetBusy(true);
        return Answer(StatusPage(status));
    }
    SetBusy(true);
    ++requests_;
    const auto& request = parser_->get();
    head_ = request.method() == http::verb::head;
    // An HTTP/1.0 client is told that the connection closes, and it does:
    // WinINet pools a connection it is not told about.
    keepAlive_ = request.version() >= 11 && request.keep_alive() &&
                 requests_ < shared_.limits.requestsPerConnection;
    if (!head_ && request.method() != http::verb::get) return Answer(StatusPage(kMethodNotAllowed));
    std::string target(request.target());
    if (shared_.handler.route) route_ = shared_.handler.route(target);
    if (shared_.handler.admit) {
        const int wait = shared_.handler.admit(route_, client_, read_);
        if (wait > 0) return Answer(StatusPage(kTooManyRequests), wait);
    }
    if (std::optional<Page> page = RunAtOnce(shared_.handler, target, route_)) return Answer(std::move(*page));
    if (!shared_.pool.Post(Job{shared_.shared_from_this(), shared_from_this(), std::move(target), route_})) {
        Answer(StatusPage(kUnavailable));
    }
}

std::string HttpConnection::RequestText() const {
    if (!parser_ || !parser_->is_header_done()) return "(unreadable request)";
    const auto& request = parser_->get();
    return std::string(request.method_string()) + " " + std::string(request.target());
}

void HttpConnection::SetBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    busy ? ++shared_.busy : --shared_.busy;
}

void HttpConnection::Answer(Page page, int retryAfter) {
    if (shared_.log) shared_.log(RequestText() + " " + std::to_string(page.status));
    if (shared_.handler.answered) shared_.handler.answered(route_, page.status, std::chrono::steady_clock::now() - read_);
    answer_ = {};
    answer_.version(11);
    answer_.result(static_cast<unsigned>(page.status));
    const std::string_view type = page.contentType.empty() ? kContentType : page.contentType;
    answer_.set(http::field::content_type, boost::beast::string_view(type.data(), type.size()));
    if (page.status == kMethodNotAllowed) answer_.set(http::field::allow, kAllowedMethods);
    if (retryAfter > 0) answer_.set(http::field::retry_after, std::to_string(retryAfter));
    // A server that stops answers what it has read and takes nothing more.
    if (shared_.stopping) keepAlive_ = false;
    answer_.keep_alive(keepAlive_);
    if (head_) {
        answer_.content_length(page.body.size());
    } else {
        answer_.body() = std::move(page.body);
        answer_.prepare_payload();
    }
    stream_.expires_after(shared_.limits.answer);
    http::async_write(stream_, answer_,
                      [self = shared_from_this()](const error_code& error, std::size_t) { self->OnAnswered(error); });
}

void HttpConnection::OnAnswered(error_code error) {
    answer_ = {};
    SetBusy(false);
    if (error) return;
    if (keepAlive_) return ReadRequest();
    Linger();
}

void HttpConnection::Linger() {
    error_code ignored;
    stream_.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_send, ignored);
    buffer_.clear();
    lingerBytes_ = shared_.limits.headBytes + shared_.limits.bodyBytes;
    stream_.expires_after(kLinger);
    DropInput();
}

void HttpConnection::DropInput() {
    stream_.async_read_some(buffer_.prepare(kReadChunk),
                            [self = shared_from_this()](const error_code& error, std::size_t size) {
                                if (error || size >= self->lingerBytes_) return;
                                self->lingerBytes_ -= size;
                                self->DropInput();
                            });
}

}  // namespace nimbrel::services
