#include "plugin/command_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using namespace nimbrel;

namespace {

constexpr unsigned char kUnwritten = 0xCD;

// The host's records before PublishInfo: every byte unwritten.
struct HostRecords {
    char name[64];
    std::unique_ptr<PluginCommandTable> table = std::make_unique<PluginCommandTable>();
    TagRecord tags;

    HostRecords() {
        std::memset(name, kUnwritten, sizeof name);
        std::memset(table.get(), kUnwritten, sizeof *table);
        std::memset(&tags, kUnwritten, sizeof tags);
        PublishCommandTable(name, table.get(), &tags);
    }
    const unsigned char* at(std::size_t offset) const {
        return reinterpret_cast<const unsigned char*>(table.get()) + offset;
    }
    std::string TextAt(std::size_t offset) const { return reinterpret_cast<const char*>(at(offset)); }
    // Only the text and its terminator are written; the rest of the row is the host's.
    bool OnlyTextWritten(std::size_t offset, std::size_t rowSize) const {
        for (std::size_t i = TextAt(offset).size() + 1; i < rowSize; ++i)
            if (at(offset)[i] != kUnwritten) return false;
        return true;
    }
};

TEST(CommandTable, NameCountAndTags) {
    HostRecords host;
    EXPECT_EQ(std::string(host.name), "Nimbrel' s Plugin v.1.1");
    EXPECT_EQ(static_cast<unsigned char>(host.name[24]), kUnwritten);
    EXPECT_EQ(host.table->count, 14);
    EXPECT_EQ(host.tags.count, 0);
}

TEST(CommandTable, RowsStandAtTheHostsOffsetsWithTheirTerminatorsOnly) {
    HostRecords host;
    for (std::size_t i = 0; i < 14; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        std::size_t description = 4 + 128 * i, command = 6404 + 128 * i, parameter = 12804 + 256 * i;
        EXPECT_EQ(host.TextAt(command), CommandWordText(kCommandRows[i].word));
        EXPECT_EQ(host.TextAt(description), kCommandRows[i].description);
        EXPECT_TRUE(host.OnlyTextWritten(command, 128));
        EXPECT_TRUE(host.OnlyTextWritten(description, 128));
        if (kCommandRows[i].parameter) {
            EXPECT_EQ(host.TextAt(parameter), kCommandRows[i].parameter);
            EXPECT_TRUE(host.OnlyTextWritten(parameter, 256));
        } else {
            EXPECT_EQ(*host.at(parameter), kUnwritten);
            EXPECT_EQ(*host.at(parameter + 255), kUnwritten);
        }
    }
    // The rows that carry a parameter label, and nothing past row 13.
    EXPECT_EQ(host.TextAt(12804 + 256 * 4), "text to speech");
    EXPECT_EQ(*host.at(12804 + 256 * 3), kUnwritten);
    EXPECT_EQ(*host.at(4 + 128 * 14), kUnwritten);
    EXPECT_EQ(*host.at(6404 + 128 * 14), kUnwritten);
    EXPECT_EQ(*host.at(12804 + 256 * 14), kUnwritten);
}

}  // namespace
