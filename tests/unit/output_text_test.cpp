#include "plugin/output_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/host_records.h"

using namespace nimbrel;

namespace {

// The output buffer with guard bytes behind it that must stay as they were.
std::string Written(const std::string& text) {
    std::vector<char> buffer(kOutputCapacity + 64, '\x7f');
    WriteOutput(buffer.data(), text);
    for (std::size_t i = kOutputCapacity; i < buffer.size(); ++i)
        if (buffer[i] != '\x7f') ADD_FAILURE() << "written past the buffer at " << i;
    return std::string(buffer.data());
}

TEST(WriteOutput, TextThatFitsIsCopiedWhole) {
    EXPECT_EQ(Written(""), "");
    EXPECT_EQ(Written("Play None"), "Play None");
    const std::string longest(kOutputCapacity - 1, 'r');
    EXPECT_EQ(Written(longest), longest);
}

TEST(WriteOutput, LongerTextIsCutAfterItsLastWholeLine) {
    std::string report;
    while (report.size() < kOutputCapacity + 500) report += "(!FC04)(!FB)Wind: (!FR)from the W\r\n";
    const std::string written = Written(report);
    EXPECT_LT(written.size(), kOutputCapacity);
    EXPECT_EQ(report.compare(0, written.size(), written), 0);
    EXPECT_GT(written.size(), kOutputCapacity - 60);
    EXPECT_EQ(report.compare(written.size(), 2, "\r\n"), 0) << "cut inside a line";
    EXPECT_NE(written.back(), '\r');
}

TEST(WriteOutput, OneLineTooLongIsCutAtTheCapacity) {
    const std::string line(kOutputCapacity * 2, 'x');
    EXPECT_EQ(Written(line), line.substr(0, kOutputCapacity - 1));
}

}  // namespace
