#include "plugin/command_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr unsigned char kUnwritten = 0xCD;

struct Published {
    char name[64];
    std::unique_ptr<PluginCommandTable> table = std::make_unique<PluginCommandTable>();
    TagRecord tags;

    Published() {
        std::memset(name, kUnwritten, sizeof name);
        std::memset(table.get(), kUnwritten, sizeof *table);
        std::memset(&tags, kUnwritten, sizeof tags);
    }
    const unsigned char* bytes() const { return reinterpret_cast<const unsigned char*>(table.get()); }
};

// The text at a byte offset of the raw record, and whether every byte of the
// row after its terminator is still unwritten.
std::string TextAt(const Published& p, std::size_t offset) {
    return reinterpret_cast<const char*>(p.bytes() + offset);
}

bool RestUnwritten(const Published& p, std::size_t offset, std::size_t rowSize) {
    std::size_t length = std::strlen(reinterpret_cast<const char*>(p.bytes() + offset));
    for (std::size_t i = length + 1; i < rowSize; ++i)
        if (p.bytes()[offset + i] != kUnwritten) return false;
    return true;
}

TEST(CommandTable, PublishesNameCountAndNoTags) {
    Published p;
    PublishCommandTable(p.name, p.table.get(), &p.tags);
    EXPECT_EQ(std::string(p.name), "Nimbrel' s Plugin v.1.1");
    EXPECT_EQ(std::strlen(p.name), 23u);
    EXPECT_EQ(static_cast<unsigned char>(p.name[24]), kUnwritten);
    EXPECT_EQ(p.table->count, 14);
    EXPECT_EQ(p.tags.count, 0);
}

TEST(CommandTable, RowsStandAtTheHostsOffsets) {
    Published p;
    PublishCommandTable(p.name, p.table.get(), &p.tags);
    const struct {
        const char* command;
        const char* description;
        const char* parameter;
    } expected[14] = {
        {"xweather", "To retrieve current weather conditions by town code", "TOWN_CODE"},
        {"xcountry", "To view all towns by country with code ", "Country"},
        {"xstates", "To view all towns by states (USA) with code ", "States"},
        {"xwtranshelp", "To view avaible translation code", nullptr},
        {"xs", "To speech text", "text to speech"},
        {"xsong", "Get the current play song and send a toast", nullptr},
        {"xadd", "Add Winamp/Sonique's songs", nullptr},
        {"xplay", "Play current playlist", nullptr},
        {"xpause", "Pause the current playlist", nullptr},
        {"xstop", "Stop the current playlist", nullptr},
        {"xnext", "Next song in the current playlist", nullptr},
        {"xprev", "Previous song in the current playlist", nullptr},
        {"xwspeechoff", "Nimbrel plugin will not speech results (default)", nullptr},
        {"xwspeechon", "Nimbrel plugin will speech english results", nullptr},
    };
    for (std::size_t i = 0; i < 14; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        std::size_t description = 4 + 128 * i, command = 6404 + 128 * i, parameter = 12804 + 256 * i;
        EXPECT_EQ(TextAt(p, description), expected[i].description);
        EXPECT_EQ(TextAt(p, command), expected[i].command);
        EXPECT_TRUE(RestUnwritten(p, description, 128));
        EXPECT_TRUE(RestUnwritten(p, command, 128));
        if (expected[i].parameter) {
            EXPECT_EQ(TextAt(p, parameter), expected[i].parameter);
            EXPECT_TRUE(RestUnwritten(p, parameter, 256));
        } else {
            for (std::size_t b = 0; b < 256; ++b) ASSERT_EQ(p.bytes()[parameter + b], kUnwritten);
        }
    }
    // Nothing beyond the fourteenth row is written.
    EXPECT_EQ(p.bytes()[4 + 128 * 14], kUnwritten);
    EXPECT_EQ(p.bytes()[6404 + 128 * 14], kUnwritten);
    EXPECT_EQ(p.bytes()[12804 + 256 * 14], kUnwritten);
}

TEST(CommandTable, PublishingTwiceWritesTheSame) {
    Published once, twice;
    PublishCommandTable(once.name, once.table.get(), &once.tags);
    PublishCommandTable(twice.name, twice.table.get(), &twice.tags);
    PublishCommandTable(twice.name, twice.table.get(), &twice.tags);
    EXPECT_EQ(std::memcmp(once.table.get(), twice.table.get(), sizeof(PluginCommandTable)), 0);
}

}  // namespace
