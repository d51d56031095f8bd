#pragma once
// A redis-server of the test's own on a loopback port, saving nothing,
// killed (SIGKILL) when the test says or at the end. Its tests skip where
// redis-server is not installed.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "shared_cache/resp_client.h"
#include "support/child_process.h"
#include "support/unique_fd.h"

#define SKIP_WITHOUT_REDIS() \
    if (!RedisServer::Installed()) GTEST_SKIP() << "redis-server is not on PATH (scripts/setup installs it)"

class RedisServer {
public:
    static bool Installed() {
        std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
        for (std::string folder; std::getline(path, folder, ':');) {
            if (access((folder + "/redis-server").c_str(), X_OK) == 0) return true;
        }
        return false;
    }

    // Started on port, or a free one; running (answering PING) unless
    // it could not start within 5 s.
    explicit RedisServer(int port = 0) : port_(port != 0 ? port : FreePort()) {
        auto started = services::ChildProcess::Start({"redis-server", "--port", std::to_string(port_), "--bind",
                                                      "127.0.0.1", "--save", "", "--appendonly", "no",
                                                      "--loglevel", "warning"});
        if (started) process_.emplace(std::move(*started));
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (process_ && !Answers() && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    bool Answers() const {
        std::string error;
        const auto client = services::RespClient::Connect(Address(), {}, error);
        const auto reply = client ? client->Command({"PING"}, error) : std::nullopt;
        return reply && reply->text == "PONG";
    }
    void Kill() { process_.reset(); }
    services::RedisAddress Address() const { return {"127.0.0.1", port_, 0}; }

private:
    static int FreePort() {
        services::UniqueFd socket(::socket(AF_INET, SOCK_STREAM, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length);
        return ntohs(address.sin_port);
    }

    int port_;
    std::optional<services::ChildProcess> process_;
};
