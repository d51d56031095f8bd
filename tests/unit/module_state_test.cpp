#include "common/module_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace nimbrel;

TEST(HostKeyName, IsStoredAndReplaced) {
    StoreHostKeyName("First");
    EXPECT_STREQ(hostKeyName, "First");
    StoreHostKeyName("Second key");
    EXPECT_STREQ(hostKeyName, "Second key");
    StoreHostKeyName("");
    EXPECT_STREQ(hostKeyName, "");
    StoreHostKeyName(nullptr);
    EXPECT_STREQ(hostKeyName, "");
}

TEST(HostKeyName, LongNamesAreCutAt127Characters) {
    std::string exact(127, 'k');
    StoreHostKeyName(exact.c_str());
    EXPECT_EQ(std::string(hostKeyName), exact);

    std::string longer(5000, 'q');
    StoreHostKeyName(longer.c_str());
    EXPECT_EQ(std::strlen(hostKeyName), 127u);
    EXPECT_EQ(std::string(hostKeyName), longer.substr(0, 127));
    EXPECT_EQ(hostKeyName[127], '\0');
}
