#pragma once
// A redis-server of the test's own on a free loopback port, saving
// nothing, killed (SIGKILL) when the test says or at the end. Its tests
// skip where redis-server is not installed.

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "tests/services/fake_source.h"
#include "services/shared_cache/resp_client.h"
#include "child_process.h"

#define SKIP_WITHOUT_REDIS()                                                  \
    if (std::system("command -v redis-server >/dev/null") != 0) GTEST_SKIP() \
        << "redis-server is not on PATH (scripts/setup installs it)"

class RedisServer {
public:
    // Answering PING within 5 s, unless it could not start.
    explicit RedisServer(int port = 0) {
        const std::string url = RefusingUrl();  // http://127.0.0.1:PORT/, free
        port_ = port != 0 ? port : std::stoi(url.substr(url.rfind(':') + 1));
        auto started = nimbrel::process::ChildProcess::Start({"redis-server", "--port", std::to_string(port_), "--bind",
                                                      "127.0.0.1", "--save", "", "--appendonly", "no",
                                                      "--loglevel", "warning"});
        if (started) process_.emplace(std::move(*started));
        for (int i = 0; process_ && i < 250 && !Answers(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    bool Answers() const {
        const auto client = nimbrel::services::RespClient::Connect(Address(), {});
        if (!client) return false;
        const auto reply = (*client)->Command({"PING"});
        return reply && reply->text == "PONG";
    }
    nimbrel::services::RedisAddress Address() const { return {"127.0.0.1", port_, 0}; }

private:
    int port_;
    std::optional<nimbrel::process::ChildProcess> process_;
};
