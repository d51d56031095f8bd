#include "services/support/log_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdlib.h>

#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

using nimbrel::services::LogWriter;

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string Contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    while (std::size_t count = std::fread(buffer, 1, sizeof buffer, file)) text.append(buffer, count);
    return text;
}

// Starts the writer's thread only when released, as a slow disk would keep it.
struct HeldThreads {
    std::promise<void> release;
    nimbrel::services::ThreadFactory Factory() {
        auto released = release.get_future().share();
        return [released](std::function<void()> body) {
            return std::thread([released, body = std::move(body)] {
                released.wait();
                body();
            });
        };
    }
};

}  // namespace

TEST(LogWriter, EveryLineArrivesWholeEscapedAndInItsThreadsOrderInTheFileAndItsCopy) {
    File file(std::tmpfile());
    File copy(std::tmpfile());
    {
        LogWriter writer(file.get(), nimbrel::services::SystemThreads(), copy.get());
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&writer, t] {
                for (int i = 0; i < 500; ++i) writer.Write("t" + std::to_string(t) + " " + std::to_string(i) + "\x1b");
            });
        }
        for (std::thread& thread : threads) thread.join();
    }
    const std::string text = Contents(file.get());
    for (int t = 0; t < 4; ++t) {
        std::size_t at = 0;
        for (int i = 0; i < 500; ++i) {
            const std::string line = "nimbrel-services: t" + std::to_string(t) + " " + std::to_string(i) + "\\x1B\n";
            at = text.find(line, at);
            ASSERT_NE(at, std::string::npos) << line;
        }
    }
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2000);
    EXPECT_EQ(Contents(copy.get()), text);
}

TEST(LogWriter, WithoutItsThreadEachLineIsWrittenAtOnce) {
    File file(std::tmpfile());
    LogWriter writer(file.get(), [](std::function<void()>) -> std::thread { throw std::system_error(EAGAIN, std::generic_category()); });
    writer.Write("now");
    EXPECT_EQ(Contents(file.get()), "nimbrel-services: now\n");
}

// A log that cannot keep up drops lines, never holds up the one who logs.
TEST(LogWriter, LinesBeyondItsBoundAreDroppedAndCounted) {
    File file(std::tmpfile());
    HeldThreads held;
    {
        LogWriter writer(file.get(), held.Factory());
        const std::string line(1000, 'x');
        const std::size_t fit = LogWriter::kPendingBytes / (line.size() + 19);
        for (std::size_t i = 0; i < fit + 10; ++i) writer.Write(line);
        held.release.set_value();
    }
    const std::string text = Contents(file.get());
    EXPECT_NE(text.find("nimbrel-services: 10 log lines dropped: the log could not keep up\n"), std::string::npos);
    EXPECT_LE(text.size(), LogWriter::kPendingBytes + 100);
}

// Lines reach the file while the writer lives, not only when it goes.
TEST(LogWriter, ALineIsWrittenWithinItsInterval) {
    char path[] = "/tmp/log_writer_XXXXXX";
    const int descriptor = mkstemp(path);
    ASSERT_GE(descriptor, 0);
    File file(fdopen(descriptor, "w"));
    LogWriter writer(file.get());
    writer.Write("soon");
    std::string text;
    for (int wait = 0; wait < 100 && text.empty(); ++wait) {
        std::this_thread::sleep_for(LogWriter::kInterval / 5);
        File reader(std::fopen(path, "r"));
        text = Contents(reader.get());
    }
    std::remove(path);
    EXPECT_EQ(text, "nimbrel-services: soon\n");
}
