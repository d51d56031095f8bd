#include "stations/list_paging.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "literal_list_paging.h"

using namespace nimbrel;

namespace {

using Boxes = std::vector<std::string>;

std::string Entry(const std::string& value, const std::string& label) {
    return std::string(kOptionMarker) + value + kOptionValueEnd + label + "\n";
}

// One line of a box: the value runs straight into the label.
std::string Shown(int entry) { return "K" + std::to_string(1000 + entry) + "Station " + std::to_string(entry); }

// A list as the service sends it: a line break, then one entry a line.
std::string StationList(int entries) {
    std::string list = "\n";
    for (int i = 0; i < entries; ++i) list += Entry("K" + std::to_string(1000 + i), "Station " + std::to_string(i));
    return list;
}

TEST(ListPaging, EntriesStandTwoToALine) {
    EXPECT_EQ(PageListText("\n" + Entry("ABCD", "First") + Entry("EFGH", "Second")),
              Boxes{"\nABCDFirst | EFGHSecond\n"});
    EXPECT_EQ(PageListText(""), Boxes{});
}

TEST(ListPaging, OnlyEverySecondLineFeedIsJoinedAndCarriageReturnsStay) {
    EXPECT_EQ(PageListText("one\ntwo"), Boxes{"one\ntwo"});
    EXPECT_EQ(PageListText("a\r\nb\r\nc\r\nd\r\n"), Boxes{"a\r\nb\r | c\r\nd\r | "});
}

TEST(ListPaging, MarkersAreRemovedUntilNoneIsLeft) {
    // A deletion that closes up a new marker deletes that one too.
    EXPECT_EQ(PageListText("<OPTION <OPTION VALUE=\"VALUE=\"X"), Boxes{"X"});
    EXPECT_EQ(PageListText("\"\"\">>>"), Boxes{""});
    // Value ends go after the markers: a marker they close up stays.
    EXPECT_EQ(PageListText("<OPTION VA\">LUE=\"X"), Boxes{"<OPTION VALUE=\"X"});
    // A marker's removal may close up a value end, which then goes too.
    EXPECT_EQ(PageListText("\"<OPTION VALUE=\">Y"), Boxes{"Y"});
}

TEST(ListPaging, CutFallsBehindTheFirstMarkerFromPosition4096) {
    const std::string tail = std::string(kOptionMarker) + "ABCD\">Town\n";
    // Starting at 4095 the marker is no cut; there is none after it.
    EXPECT_EQ(PageListText(std::string(4095, 'x') + tail), Boxes{std::string(4095, 'x') + "ABCDTown\n"});
    EXPECT_EQ(PageListText(std::string(4096, 'x') + tail), (Boxes{std::string(4096, 'x'), "ABCDTown\n"}));
    EXPECT_EQ(PageListText(std::string(4096, 'x') + kOptionMarker), Boxes{std::string(4096, 'x')});
    // A list shorter than the threshold is one box, whatever it holds.
    std::string shortList = std::string(4080, 'x') + kOptionMarker;
    ASSERT_EQ(shortList.size(), 4095u);
    EXPECT_EQ(PageListText(shortList), Boxes{std::string(4080, 'x')});
}

TEST(ListPaging, EachLaterBoxBeginsWithTheEntryCutThroughAloneOnItsLine) {
    const Boxes boxes = PageListText(StationList(400));
    ASSERT_GE(boxes.size(), 4u);
    for (std::size_t b = 1; b < boxes.size(); ++b) {
        SCOPED_TRACE("box " + std::to_string(b));
        EXPECT_EQ(boxes[b - 1].find_first_of("<\""), std::string::npos);
        int entry = std::stoi(boxes[b].substr(1, 4)) - 1000;
        std::string head = Shown(entry) + "\n" + Shown(entry + 1) + " | " + Shown(entry + 2) + "\n";
        EXPECT_EQ(boxes[b].substr(0, head.size()), head);
    }
}

TEST(ListPaging, AListWithNoMarkerPastTheThresholdEndsAsOneWholeBox) {
    const std::string tail(6000, 't');
    const Boxes whole = PageListText(std::string(kOptionMarker) + "ABCD\">" + tail);
    EXPECT_EQ(whole, Boxes{"ABCD" + tail});

    const std::string list = StationList(200) + tail;
    const Boxes boxes = PageListText(list);
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes.back().substr(boxes.back().size() - tail.size()), tail);
    EXPECT_GT(boxes.back().size(), kBoxThreshold);
}

// Random lists built from the pieces that matter: markers, halves of
// markers that a deletion can close up, line breaks, and filler runs that
// push the markers across the threshold of one box after another.
std::string RandomList(std::mt19937& random) {
    static const std::vector<std::string> pieces = {
        kOptionMarker, kOptionMarker, kOptionValueEnd, "\n", "\n", "\r\n", "<OPTION ", "VALUE=\"",
        "<OPTION VA", "LUE=\"", "\"", ">", "<", "ABCD", "Town", Entry("WXYZ", "Somewhere"),
    };
    static const std::size_t sizes[][2] = {{0, 200}, {4080, 4130}, {8160, 8230}, {12270, 12330}, {0, 20000}};
    const auto& range = sizes[random() % 5];
    std::size_t size = range[0] + random() % (range[1] - range[0] + 1);

    std::string list;
    while (list.size() < size) {
        if (random() % 4 == 0)
            list.append(random() % 300, static_cast<char>('a' + random() % 26));
        else
            list += pieces[random() % pieces.size()];
    }
    list.resize(size);
    return list;
}

TEST(ListPaging, GivesTheBytesOfTheLiteralProcedure) {
    std::mt19937 random(20240605);
    for (int run = 0; run < 3000; ++run) {
        const std::string list = RandomList(random);
        const Boxes expected = LiteralPageListText(list);
        const Boxes actual = PageListText(list);
        ASSERT_EQ(actual.size(), expected.size()) << "run " << run << ", list of " << list.size();
        for (std::size_t b = 0; b < expected.size(); ++b)
            ASSERT_EQ(actual[b], expected[b]) << "run " << run << ", box " << b;
    }
}

}  // namespace
