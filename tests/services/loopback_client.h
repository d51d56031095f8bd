#pragma once
// Raw loopback connections to a server under test: requests go exactly as
// written, answers are read as they come. Every wait is bounded, so a server
// that never answers fails the test instead of hanging it.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <string>
#include <vector>

#include "unique_fd.h"

namespace loopback {

// How long a read waits for more before the test takes what it has.
inline constexpr int kPatienceMs = 10000;

inline nimbrel::UniqueFd Connect(int port) {
    nimbrel::UniqueFd socket(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return {};
    return socket;
}

inline bool Send(int fd, const std::string& bytes) {
    return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

// A connection with request sent as written; none when that failed.
inline nimbrel::UniqueFd SendRequest(int port, const std::string& request) {
    nimbrel::UniqueFd socket = Connect(port);
    if (!socket || !Send(socket.get(), request)) return {};
    return socket;
}

// True when fd has something to read (or has been closed) within ms.
inline bool Readable(int fd, int ms) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, ms) == 1;
}

// Everything until the server closes (or resets) the connection.
inline std::string ReadAll(int fd) {
    std::string answer;
    char buffer[65536];
    ssize_t n = 0;
    while (Readable(fd, kPatienceMs) && (n = recv(fd, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, n);
    return answer;
}

// True when the server closes the connection (after whatever it still
// sends) within the patience.
inline bool ClosedByServer(int fd) {
    char buffer[65536];
    ssize_t n = 1;
    while (n > 0 && Readable(fd, kPatienceMs)) n = recv(fd, buffer, sizeof buffer, 0);
    return n <= 0;
}

// Sends one request (or several) and returns all that comes back.
inline std::string Exchange(int port, const std::string& request) {
    const nimbrel::UniqueFd socket = SendRequest(port, request);
    return socket ? ReadAll(socket.get()) : std::string();
}

inline std::string Body(const std::string& answer) {
    const auto end = answer.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : answer.substr(end + 4);
}

// The status lines in what came back, in order ("HTTP/1.1 200 OK", ...).
inline std::vector<std::string> StatusLines(const std::string& answers) {
    std::vector<std::string> lines;
    for (std::size_t at = answers.find("HTTP/1."); at != std::string::npos; at = answers.find("HTTP/1.", at + 1)) {
        if (at == 0 || answers[at - 1] == '\n' || answers[at - 1] == '>') {
            lines.push_back(answers.substr(at, answers.find("\r\n", at) - at));
        }
    }
    return lines;
}

}  // namespace loopback
