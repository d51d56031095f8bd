#include "http_standin.h"

#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "http/percent_encoding.h"

namespace {

constexpr char kControlHost[] = "standin.control";

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && _strnicmp(a.c_str(), b.c_str(), a.size()) == 0;
}

struct InternetHandle {
    HINTERNET handle;
    ~InternetHandle() {
        if (handle) InternetCloseHandle(handle);
    }
};

// One exchange with the stand-in's control host, over bare WinINet so the
// tests' own plumbing never depends on the code under test.
std::string Control(const char* verb, const std::string& path, const std::string& body = "") {
    InternetHandle internet{InternetOpenA("standin", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)};
    InternetHandle connection{InternetConnectA(internet.handle, kControlHost, 80, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0)};
    InternetHandle request{HttpOpenRequestA(connection.handle, verb, path.c_str(), "HTTP/1.0", nullptr,
                                            nullptr, INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD, 0)};
    if (!request.handle ||
        !HttpSendRequestA(request.handle, nullptr, 0, const_cast<char*>(body.data()), static_cast<DWORD>(body.size())))
        throw std::runtime_error("the HTTP stand-in does not answer (is http_proxy set?)");
    std::string reply;
    char buffer[8192];
    DWORD count = 0;
    while (InternetReadFile(request.handle, buffer, sizeof buffer, &count) && count) reply.append(buffer, count);
    return reply;
}

}  // namespace

std::size_t ReceivedRequest::HeaderCount(const std::string& name) const {
    std::size_t count = 0;
    for (const auto& header : headers) count += SameIgnoringCase(header.first, name);
    return count;
}

std::string ReceivedRequest::Header(const std::string& name) const {
    for (const auto& header : headers)
        if (SameIgnoringCase(header.first, name)) return header.second;
    return "";
}

ReceivedRequest ParseRequest(const std::string& raw) {
    ReceivedRequest request;
    std::size_t headEnd = raw.find("\r\n\r\n");
    headEnd = headEnd == std::string::npos ? raw.size() : headEnd + 4;
    request.head = raw.substr(0, headEnd);
    request.body = raw.substr(headEnd);

    std::vector<std::string> lines;
    for (std::size_t at = 0; at < request.head.size();) {
        std::size_t end = request.head.find("\r\n", at);
        if (end == std::string::npos) end = request.head.size();
        lines.push_back(request.head.substr(at, end - at));
        at = end + 2;
    }
    if (lines.empty()) return request;

    // Method up to the first blank, version after the last.
    request.requestLine = lines[0];
    std::size_t methodEnd = lines[0].find(' ');
    std::size_t versionStart = lines[0].rfind(' ');
    if (methodEnd != std::string::npos && versionStart > methodEnd) {
        request.method = lines[0].substr(0, methodEnd);
        request.target = lines[0].substr(methodEnd + 1, versionStart - methodEnd - 1);
        request.version = lines[0].substr(versionStart + 1);
    }
    for (std::size_t i = 1; i < lines.size() && !lines[i].empty(); ++i) {
        std::size_t colon = lines[i].find(':');
        std::size_t value = colon == std::string::npos ? std::string::npos
                                                       : lines[i].find_first_not_of(" \t", colon + 1);
        request.headers.emplace_back(lines[i].substr(0, colon),
                                     value == std::string::npos ? "" : lines[i].substr(value));
    }

    std::size_t scheme = request.target.find("://");
    if (scheme != std::string::npos) {
        std::size_t authority = scheme + 3;
        std::size_t pathStart = request.target.find_first_of("/?", authority);
        if (pathStart == std::string::npos) pathStart = request.target.size();
        request.host = request.target.substr(authority, pathStart - authority);
        request.path = request.target.substr(pathStart);
        if (request.path.empty() || request.path[0] == '?') request.path.insert(0, "/");
    } else {
        request.host = request.Header("Host");
        request.path = request.target;
    }
    return request;
}

Answer Answer::Body(std::string body, int status) {
    Answer answer;
    answer.status = status;
    answer.body = std::move(body);
    return answer;
}

Answer Answer::InPieces(std::string body, std::size_t pieceSize, int pauseMs) {
    Answer answer = Body(std::move(body));
    answer.kind = "pieces";
    answer.pieceSize = pieceSize;
    answer.pauseMs = pauseMs;
    return answer;
}

namespace {

Answer Shaped(const char* kind, std::string body, std::size_t sentBytes = 0) {
    Answer answer = Answer::Body(std::move(body));
    answer.kind = kind;
    answer.sentBytes = sentBytes;
    return answer;
}

}  // namespace

Answer Answer::ResetAfter(std::string body, std::size_t sentBytes) {
    return Shaped("reset", std::move(body), sentBytes);
}

Answer Answer::StallAfter(std::string body, std::size_t sentBytes) {
    return Shaped("stall", std::move(body), sentBytes);
}

Answer Answer::CutAfter(std::string body, std::size_t sentBytes) {
    return Shaped("cut", std::move(body), sentBytes);
}

Answer Answer::Endless(std::string body) { return Shaped("endless", std::move(body)); }

Answer Answer::Silent() { return Shaped("silent", ""); }

Answer Answer::Template(std::string body) { return Shaped("template", std::move(body)); }

HttpStandIn::HttpStandIn() { Control("POST", "/reset"); }

void HttpStandIn::Serve(const std::string& pathPrefix, const Answer& answer, int times) {
    Control("POST", "/answer?prefix=" + nimbrel::PercentEncodeQueryValue(pathPrefix) + "&kind=" + answer.kind +
                        "&status=" + std::to_string(answer.status) + "&piece=" + std::to_string(answer.pieceSize) +
                        "&pause=" + std::to_string(answer.pauseMs) + "&sent=" + std::to_string(answer.sentBytes) +
                        "&times=" + std::to_string(times),
            answer.body);
}

std::vector<ReceivedRequest> HttpStandIn::Requests() const {
    const std::string all = Control("GET", "/requests");
    std::vector<ReceivedRequest> requests;
    for (std::size_t at = 0; at < all.size();) {
        std::size_t lineEnd = all.find('\n', at);
        if (lineEnd == std::string::npos) break;
        std::size_t length = std::strtoul(all.c_str() + at, nullptr, 10);
        requests.push_back(ParseRequest(all.substr(lineEnd + 1, length)));
        at = lineEnd + 1 + length;
    }
    return requests;
}

std::size_t HttpStandIn::ConnectionCount() const {
    return std::strtoul(Control("GET", "/connections").c_str(), nullptr, 10);
}

std::size_t HttpStandIn::OpenRequestCount(const std::string& pathPrefix) const {
    const std::string count = Control("GET", "/open?prefix=" + nimbrel::PercentEncodeQueryValue(pathPrefix));
    return std::strtoul(count.c_str(), nullptr, 10);
}

std::string HttpStandIn::ProxyAddress() {
    const char* proxy = std::getenv("http_proxy");
    return proxy ? proxy : "";
}
