#include "services/support/child_process.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include <unistd.h>

#include "tests/services/temp_folder.h"

using namespace std::chrono_literals;
using nimbrel::services::RunChild;

TEST(ChildProcess, PassesInputThroughAndCollectsOutput) {
    // More than a pipe holds, so that writing and reading must interleave.
    std::string big(1 << 20, 'x');
    for (std::size_t i = 0; i < big.size(); i += 997) big[i] = '\n';
    EXPECT_EQ(RunChild({"cat"}, big, 10s), big);
    EXPECT_EQ(RunChild({"cat"}, "", 10s), "");
    // A child that never reads its input is no failure of ours.
    EXPECT_EQ(RunChild({"echo", "done"}, big, 10s), "done\n");
}

TEST(ChildProcess, FailuresGiveNothing) {
    EXPECT_FALSE(RunChild({"false"}, "", 10s).has_value());
    EXPECT_FALSE(RunChild({"no-such-program-here"}, "x", 10s).has_value());
    EXPECT_FALSE(RunChild({}, "x", 10s).has_value());
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
