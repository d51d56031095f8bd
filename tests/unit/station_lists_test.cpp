#include "stations/station_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stations/reference_texts.h"

using namespace nimbrel;

namespace {

using Boxes = std::vector<std::string>;

const std::string kIndexPage =
    "<td>AK - Alaska</td>\n"
    "<td>AL - Alabama</td>\n"
    "<td>WV - West Virginia</td>\n"
    "<td>VA - Virginia</td>\n";

TEST(IndexLookup, TheCodeStandsFiveCharactersBeforeTheName) {
    IndexLookup alabama = LookUpStationName(kIndexPage, "Alabama");
    EXPECT_EQ(alabama.outcome, IndexLookup::Outcome::ReadStationList);
    EXPECT_EQ(alabama.code, "AL");
    EXPECT_EQ(LookUpStationName(kIndexPage, "West Virginia").code, "WV");
    // The first occurrence decides, even inside another name.
    IndexLookup virginia = LookUpStationName(kIndexPage, "Virginia");
    EXPECT_EQ(virginia.outcome, IndexLookup::Outcome::ReadStationList);
    EXPECT_EQ(virginia.code, "We");
}

TEST(IndexLookup, AMissingNameBringsUpTheFallback) {
    EXPECT_EQ(LookUpStationName(kIndexPage, "alaska").outcome, IndexLookup::Outcome::ShowFallback);
    EXPECT_EQ(LookUpStationName(kIndexPage, kStateStationList.placeholderName).outcome, IndexLookup::Outcome::ShowFallback);
}

TEST(IndexLookup, EmptyPagesAndNamesWithNoRoomForACodeEndSilently) {
    EXPECT_EQ(LookUpStationName("", "Alaska").outcome, IndexLookup::Outcome::EndSilently);
    EXPECT_EQ(LookUpStationName("1234Alaska", "Alaska").outcome, IndexLookup::Outcome::EndSilently);
    EXPECT_EQ(LookUpStationName("Alaska", "Alaska").outcome, IndexLookup::Outcome::EndSilently);
    EXPECT_EQ(LookUpStationName(kIndexPage, "").outcome, IndexLookup::Outcome::EndSilently);
    IndexLookup earliest = LookUpStationName("AK = Alaska", "Alaska");
    EXPECT_EQ(earliest.outcome, IndexLookup::Outcome::ReadStationList);
    EXPECT_EQ(earliest.code, "AK");
}

TEST(StationListSettings, EachCommandHasItsOwnPlaceholderPagesAndFallback) {
    EXPECT_STREQ(StationListName(kStateStationList, ""), "jgh");
    EXPECT_STREQ(StationListName(kCountryStationList, nullptr), "hghg");
    EXPECT_STREQ(StationListName(kCountryStationList, "France"), "France");

    EXPECT_EQ(StationListPath(kStateStationList, "AK"), "/cgi-bin/cc_sel_state.pl?state=AK");
    EXPECT_EQ(StationListPath(kCountryStationList, "FR"), "/cgi-bin/cc_sel_cntry.pl?country=FR");
    EXPECT_STREQ(kStateStationList.indexPagePath, "/");
    EXPECT_STREQ(kCountryStationList.indexPagePath, "/international.html");
    EXPECT_EQ(kStateStationList.fallbackText, StateListText);
    EXPECT_EQ(kStateStationList.fallbackCaption, kStateListCaption);
    EXPECT_EQ(kCountryStationList.fallbackText, CountryListText);
    EXPECT_EQ(kCountryStationList.fallbackCaption, kCountryListCaption);
}

const std::string kSelection = "<option selected>Select a location";

TEST(ListText, IsWhatFollowsTheSelectionMarkerUpToTheEndOfTheSelect) {
    EXPECT_EQ(ExtractListText("</select>head" + kSelection + "\nlist\n</select>tail</select>"), "\nlist\n");
    EXPECT_EQ(ExtractListText("head" + kSelection + "\nlist to the end"), "\nlist to the end");
    EXPECT_EQ(ExtractListText(kSelection + "</select>"), "");
}

TEST(ListText, PagesWithoutTheMarkerHoldNoList) {
    EXPECT_EQ(ExtractListText(""), std::nullopt);
    EXPECT_EQ(ExtractListText("<OPTION SELECTED>Select a location\nlist</select>"), std::nullopt);
    EXPECT_EQ(ExtractListText("<option selected>Select a locatio"), std::nullopt);
}

TEST(StationListBoxes, TurnASelectionPageIntoBoxTexts) {
    std::string page = "<html><select>" + kSelection +
                       "\n<OPTION VALUE=\"PAJN\">Juneau\n<OPTION VALUE=\"PANC\">Anchorage\n</select></html>";
    EXPECT_EQ(StationListBoxes(page), Boxes{"\nPAJNJuneau | PANCAnchorage\n"});
    EXPECT_EQ(StationListBoxes(kSelection + "</select>"), Boxes{});
    EXPECT_EQ(StationListBoxes("<select>\n<OPTION VALUE=\"PAJN\">Juneau\n</select>"), Boxes{});
}

}  // namespace
