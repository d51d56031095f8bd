#include "child_process.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "temp_folder.h"

using namespace std::chrono_literals;
using nimbrel::process::ChildProcess;
using nimbrel::process::ReadAvailable;
using nimbrel::process::RunChild;

namespace {

// More than a pipe holds, so that writing and reading must interleave.
std::string Big() {
    std::string big(1 << 20, 'x');
    for (std::size_t i = 0; i < big.size(); i += 997) big[i] = '\n';
    return big;
}

// Reads a non-blocking pipe to its end.
std::string ReadToEnd(int fd) {
    std::string all;
    while (!ReadAvailable(fd, [&](std::string_view bytes) { all.append(bytes); })) std::this_thread::sleep_for(1ms);
    return all;
}

}  // namespace

TEST(ChildProcess, RunsOnceWithItsInput) {
    const std::string big = Big();
    const struct {
        std::vector<std::string> argv;
        std::string input;
        std::optional<std::string> output;
    } cases[] = {
        {{"cat"}, big, big},
        {{"cat"}, "", ""},
        // A child that never reads its input is no failure of ours.
        {{"echo", "done"}, big, "done\n"},
        {{"false"}, "", std::nullopt},
        {{"no-such-program-here"}, "x", std::nullopt},
        {{}, "x", std::nullopt},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(RunChild(each.argv, each.input, 10s), each.output) << (each.argv.empty() ? "" : each.argv[0]);
    }
}

TEST(ChildProcess, AnOverrunningChildIsKilledAtTheTimeout) {
    const TempFolder folder("child_process");
    const std::string witness = folder.path() + "/witness";
    const auto start = std::chrono::steady_clock::now();
    // A pipeline: its other processes go too, not only the one started.
    EXPECT_FALSE(RunChild({"sh", "-c", "(sleep 0.4; touch '" + witness + "') & sleep 30"}, "", 200ms));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    std::this_thread::sleep_for(800ms);
    EXPECT_FALSE(std::ifstream(witness).good()) << "a process of the group outlived the timeout";
}

// The server's accepted sockets are not close-on-exec; a child must not
// hold them (nor anything else of ours) open.
TEST(ChildProcess, InheritsOnlyItsStandardStreams) {
    const int inheritable = dup(STDERR_FILENO);  // dup clears close-on-exec
    ASSERT_GE(inheritable, 3);
    const auto listing = RunChild({"sh", "-c", "ls /proc/$$/fd"}, "", 10s);
    close(inheritable);
    EXPECT_EQ(listing, "0\n1\n2\n");
}

TEST(ChildProcess, ExchangeEndsAsTheCallerOrTheChildSays) {
    const struct {
        std::vector<std::string> argv;
        std::string input;
        std::size_t maxOutput;
        ChildProcess::Exchanged expected;
    } cases[] = {
        {{"cat"}, "one line\n", 100, ChildProcess::Exchanged::Complete},
        {{"echo", "a line"}, "", 100, ChildProcess::Exchanged::Complete},
        {{"printf", "no end"}, "", 100, ChildProcess::Exchanged::Ended},
        {{"sleep", "30"}, "", 100, ChildProcess::Exchanged::Overran},
        {{"yes"}, "", 1000, ChildProcess::Exchanged::TooLong},
    };
    for (const auto& each : cases) {
        auto child = ChildProcess::Start(each.argv);
        ASSERT_TRUE(child) << each.argv[0];
        std::string output;
        const auto exchanged =
            child->Exchange(each.input, false, ChildProcess::Clock::now() + 300ms, each.maxOutput,
                            [](std::string_view out) { return out.find('\n') != std::string_view::npos; }, output);
        EXPECT_EQ(exchanged, each.expected) << each.argv[0] << ": " << output;
    }
}

// The front end's way: blocking writes, its output and error output read
// apart, the status once it has ended.
TEST(ChildProcess, WritesAllAndReadsEachStreamApart) {
    std::string error;
    auto child = ChildProcess::Start({"sh", "-c", "wc -c; echo said >&2; exit 3"}, ChildProcess::ErrorOutput::Piped,
                                     &error);
    ASSERT_TRUE(child) << error;
    EXPECT_TRUE(child->Write(Big()));
    child->CloseInput();
    EXPECT_EQ(ReadToEnd(child->output()), "1048576\n");
    EXPECT_EQ(ReadToEnd(child->errors()), "said\n");
    EXPECT_EQ(child->WaitUntil(ChildProcess::Clock::now() + 10s), 3);
    EXPECT_EQ(child->processGroup(), 0);
    EXPECT_FALSE(child->Write("more")) << "its input is closed";

    auto quiet = ChildProcess::Start({"true"});
    ASSERT_TRUE(quiet);
    EXPECT_EQ(quiet->errors(), -1) << "its error output is ours unless piped";
    EXPECT_FALSE(ChildProcess::Start({"no-such-program-here"}, ChildProcess::ErrorOutput::Piped, &error));
    EXPECT_NE(error.find("no-such-program-here"), std::string::npos) << error;
}

// An ended child keeps its group until it is reaped, so that no other
// process can take the group before it is killed.
TEST(ChildProcess, HasExitedLeavesTheChildToReap) {
    auto child = ChildProcess::Start({"true"});
    ASSERT_TRUE(child);
    const pid_t group = child->processGroup();
    for (int i = 0; i < 10000 && !child->HasExited(); ++i) std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(child->HasExited());
    EXPECT_EQ(child->processGroup(), group);
    EXPECT_EQ(kill(group, 0), 0) << "reaped too early";
    EXPECT_EQ(child->Ended(), 0);
    EXPECT_EQ(child->processGroup(), 0);
}

TEST(ChildProcess, StopsWithSigtermThenSigkill) {
    const struct {
        std::vector<std::string> argv;
        int status;
    } cases[] = {
        {{"sh", "-c", "echo ready; exec sleep 30"}, 128 + SIGTERM},
        // One that ignores SIGTERM is killed when the grace time is up.
        {{"sh", "-c", "trap '' TERM; echo ready; sleep 30"}, 128 + SIGKILL},
    };
    for (const auto& each : cases) {
        auto child = ChildProcess::Start(each.argv);
        ASSERT_TRUE(child);
        std::string ready;
        child->Exchange("", false, ChildProcess::Clock::now() + 10s, 100,
                        [](std::string_view out) { return out == "ready\n"; }, ready);
        ASSERT_EQ(ready, "ready\n");
        EXPECT_EQ(child->Stop(200ms), each.status) << each.argv.back();
        EXPECT_EQ(child->Ended(), each.status);
    }
}
