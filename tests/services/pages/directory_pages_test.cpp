#include "services/pages/index_page.h"
#include "services/stations/regions.h"
#include "services/stations/station_directory.h"
#include "services/pages/station_list_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "tests/services/service_test_data.h"

using nimbrel::services::Region;
using nimbrel::services::Regions;

namespace {

// Counted from the raw file, apart from the services' own reading.
std::size_t DirectoryRowsWhere(const std::function<bool(const std::vector<std::string>&)>& wanted) {
    std::ifstream file(std::string(SERVICES_DATA_DIR) + "/nsd_cccc.txt", std::ios::binary);
    std::string line;
    std::size_t count = 0;
    while (std::getline(file, line)) {
        std::vector<std::string> fields;
        std::istringstream split(line);
        std::string field;
        while (std::getline(split, field, ';')) fields.push_back(field);
        if (fields.size() > 5 && wanted(fields)) ++count;
    }
    return count;
}

// The code the plug-in takes for a typed name: the two characters that
// start five before the name's first occurrence.
std::string CodeBeforeName(const std::string& page, const std::string& name) {
    const auto at = page.find(name);
    if (at == std::string::npos || at < 5) return "(none)";
    return page.substr(at - 5, 2);
}

// The options between the selection marker and the list end, one a line.
std::vector<std::string> Options(const std::string& page) {
    const std::string marker = "<option selected>Select a location";
    const auto start = page.find(marker);
    if (start == std::string::npos) return {};
    const auto end = page.find("</select>", start);
    std::istringstream list(page.substr(start + marker.size(), end - start - marker.size()));
    std::vector<std::string> options;
    std::string line;
    std::getline(list, line);  // the rest of the marker's line
    EXPECT_EQ(line, "");
    while (std::getline(list, line)) options.push_back(line);
    return options;
}

}  // namespace

TEST(StationDirectory, PlacesStationsInStatesOrCountries) {
    const auto stations = nimbrel::services::ParseStationDirectory(
        "KJFK;74;486;New York / John F. Kennedy International Airport;NY;United States;4;40-38N;073-46W;;;9;9;P\r\n"
        "KSTZ;--;---;South Timbalier;United States;4;28-09-35N;090-39-59W;;;;;;\r\n"
        "MUGM;78;367;GUANTANAMO BAY, CUBA NAVAL;CU;Cuba;4;19-55N;075-12W;19-54N;075-08W;17;23;\r\n"
        "KBAN;--;---;MCMWTC BRIDGEPORT, CA;CA;;;38-21N;119-31W;;;2057;;\r\n"
        "LFMN;07;690;Nice ;;France;6;43-39N;007-12E;;;4;10;P\r\n");
    ASSERT_EQ(stations.size(), 5u);
    EXPECT_EQ(stations[0].usState, "NY");
    EXPECT_EQ(stations[0].country, "");
    // A row without its state field: a US station of no list, not a country "4".
    EXPECT_EQ(stations[1].usState, "");
    EXPECT_EQ(stations[1].country, "");
    EXPECT_EQ(stations[2].usState, "");
    EXPECT_EQ(stations[2].country, "Cuba");
    EXPECT_EQ(stations[3].usState, "CA");
    EXPECT_EQ(stations[4].place, "Nice");
    EXPECT_EQ(stations[4].country, "France");
}

TEST(StationDirectory, SpellingVariantsOfACountryAreOne) {
    const Regions& countries = TestServiceData().countries;
    const std::size_t japan = DirectoryRowsWhere([](const auto& f) { return f[5] == "Japan" || f[5] == "JAPAN"; });
    const Region* region = nullptr;
    for (const Region& r : countries.all()) {
        if (r.name == "Japan") region = &r;
        EXPECT_NE(r.name, "JAPAN");
        EXPECT_NE(r.name, "Bahamas,The");
        EXPECT_NE(r.name, "United States");
    }
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(region->stations.size(), japan);
}

// Every name on both index pages is found where the plug-in looks: its own
// code five characters before its first occurrence, whatever other name
// holds it ("India" in "British Indian Ocean Territory", "Niger" in
// "Nigeria", "Guinea" in "Equatorial Guinea").
TEST(IndexPages, EveryNameStandsFiveCharactersAfterItsOwnCode) {
    const auto& data = TestServiceData();
    ASSERT_EQ(data.states.all().size(), 55u);
    EXPECT_GT(data.countries.all().size(), 200u);
    const std::pair<const Regions*, std::string> pages[] = {
        {&data.states, nimbrel::services::StateIndexPage(data.states)},
        {&data.countries, nimbrel::services::CountryIndexPage(data.countries)},
    };
    for (const auto& [regions, page] : pages) {
        std::set<std::string> codes;
        for (const Region& region : regions->all()) {
            EXPECT_EQ(CodeBeforeName(page, region.name), region.code) << region.name;
            EXPECT_TRUE(codes.insert(region.code).second) << region.code;
        }
    }
    const std::string international = nimbrel::services::CountryIndexPage(data.countries);
    for (const char* name : {"France", "India", "Guinea", "Niger", "Korea, South", "Bahamas, The",
                             "Cote d'Ivoire", "British Indian Ocean Territory", "Virgin Islands"}) {
        const Region* region = data.countries.Find(CodeBeforeName(international, name));
        ASSERT_NE(region, nullptr) << name;
        EXPECT_EQ(region->name, name);
    }
    const std::string states = nimbrel::services::StateIndexPage(data.states);
    EXPECT_EQ(CodeBeforeName(states, "Virginia"), "VA");
    EXPECT_EQ(CodeBeforeName(states, "Virgin Islands, U.S."), "VI");
    EXPECT_EQ(CodeBeforeName(states, "Kansas"), "KS");
}

// A directory from the source may name any number of countries; only 676
// two-letter codes exist. Each country listed has one of its own, and its
// name is found on the index page.
TEST(IndexPages, CountriesPastTheTwoLetterCodesAreLeftOut) {
    std::vector<nimbrel::services::Station> directory;
    for (int i = 0; i < 1000; ++i) {
        const std::string name = "Land " + std::to_string(1000 + i);
        directory.push_back({"X" + std::to_string(100 + i % 900), "Somewhere", "", name});
    }
    directory.push_back({"LFMN", "Nice", "", "France"});
    const Regions countries = nimbrel::services::CountryRegions(directory);
    ASSERT_EQ(countries.all().size(), 676u);
    const std::string page = nimbrel::services::CountryIndexPage(countries);
    std::set<std::string> codes;
    for (const Region& region : countries.all()) {
        EXPECT_TRUE(codes.insert(region.code).second) << region.code;
        EXPECT_EQ(CodeBeforeName(page, region.name), region.code) << region.name;
    }
    EXPECT_NE(countries.Find("FR"), nullptr);
    EXPECT_EQ(CodeBeforeName(page, "Land 1999"), "(none)") << "past the codes, in name order";
}

TEST(StationListPages, ListEveryStationOfTheStateOrCountry) {
    const auto& data = TestServiceData();
    const Region* texas = data.states.Find("TX");
    ASSERT_NE(texas, nullptr);
    const auto texasOptions = Options(nimbrel::services::StationListPage(*texas));
    EXPECT_EQ(texasOptions.size(), DirectoryRowsWhere([](const auto& f) { return f[4] == "TX"; }));
    EXPECT_EQ(texasOptions.size(), 208u);
    for (const std::string& option : texasOptions) {
        ASSERT_EQ(option.rfind("<OPTION VALUE=\"", 0), 0u) << option;
        ASSERT_EQ(option.find("\">"), 19u) << option;
        ASSERT_GT(option.size(), 21u) << option;
    }
    EXPECT_NE(std::find(texasOptions.begin(), texasOptions.end(),
                        "<OPTION VALUE=\"KIAH\">HOUSTON INTERCONTINENTAL"),
              texasOptions.end());

    const Region* france = data.countries.Find(CodeBeforeName(nimbrel::services::CountryIndexPage(data.countries), "France"));
    ASSERT_NE(france, nullptr);
    const auto franceOptions = Options(nimbrel::services::StationListPage(*france));
    EXPECT_EQ(franceOptions.size(), DirectoryRowsWhere([](const auto& f) { return f[5] == "France"; }));
    EXPECT_NE(std::find(franceOptions.begin(), franceOptions.end(), "<OPTION VALUE=\"LFMN\">Nice"),
              franceOptions.end());

    EXPECT_TRUE(Options(nimbrel::services::UnknownRegionPage()).empty());
}
