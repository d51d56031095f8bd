#include "services/stations/live_directory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <system_error>

#include "tests/services/fake_source.h"
#include "tests/services/service_test_data.h"

using nimbrel::services::LiveDirectory;
using nimbrel::services::StationLists;

namespace {

const nimbrel::services::Region* CountryNamed(const nimbrel::services::StationRegions& regions, const std::string& name) {
    for (const nimbrel::services::Region& region : regions.countries.all()) {
        if (region.name == name) return &region;
    }
    return nullptr;
}

}  // namespace

TEST(LiveDirectory, ReplacesTheListsOnlyWithADirectory) {
    FakeSource source;
    source.Put("/nsd_cccc.txt",
               "LFMN;07;690;Nice;;France;6;43-39N;007-12E;;;4;10;P\r\n"
               "LFPG;07;157;Paris / Charles de Gaulle;;France;6;49-01N;002-32E;;;108;;P\r\n"
               "NEWS;--;---;Newstead;;Atlantis;6;10-00N;010-00E;;;1;;\r\n");
    StationLists lists({TestServiceData().states, TestServiceData().countries});
    std::vector<std::string> log;
    LiveDirectory directory(*nimbrel::services::ParseUpstreamUrl(source.Url("/nsd_cccc.txt")), lists,
                            [&](const std::string& line) { log.push_back(line); });
    const auto archived = lists.Current();
    ASSERT_EQ(CountryNamed(*archived, "Atlantis"), nullptr);

    source.SetMode(FakeSource::Mode::Garbage);
    EXPECT_FALSE(directory.Reload());
    source.SetMode(FakeSource::Mode::Missing);
    EXPECT_FALSE(directory.Reload());
    EXPECT_EQ(lists.Current(), archived);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].find("is not a station directory; lists kept as they were"), std::string::npos) << log[0];
    EXPECT_NE(log[1].find("HTTP status 404"), std::string::npos) << log[1];

    source.SetMode(FakeSource::Mode::Serve);
    EXPECT_TRUE(directory.Reload());
    const auto live = lists.Current();
    ASSERT_EQ(live->countries.all().size(), 2u);
    const nimbrel::services::Region* atlantis = CountryNamed(*live, "Atlantis");
    ASSERT_NE(atlantis, nullptr);
    EXPECT_EQ(atlantis->stations.at(0).code, "NEWS");
    EXPECT_EQ(archived->countries.all().size(), TestServiceData().countries.all().size()) << "pages under way keep theirs";
    EXPECT_EQ(log.back(), "station directory: 3 stations from " + source.Url("/nsd_cccc.txt"));
}

// A system out of threads must not bring the services down.
TEST(LiveDirectory, AThreadThatCannotStartLeavesTheListsAsTheyAre) {
    StationLists lists({TestServiceData().states, TestServiceData().countries});
    const auto archived = lists.Current();
    std::vector<std::string> log;
    {
        LiveDirectory directory(*nimbrel::services::ParseUpstreamUrl(RefusingUrl()), lists,
                                [&](const std::string& line) { log.push_back(line); },
                                [](std::function<void()>) -> std::thread {
                                    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
                                });
        EXPECT_FALSE(directory.Start());
    }
    EXPECT_EQ(lists.Current(), archived);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("cannot start the thread that fetches it"), std::string::npos) << log[0];
}

TEST(StationDirectory, ARealDirectoryIsOneAndGarbageIsNot) {
    std::ifstream file(std::string(SERVICES_DATA_DIR) + "/nsd_cccc.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(nimbrel::services::IsStationDirectory(text));
    EXPECT_FALSE(nimbrel::services::IsStationDirectory(""));
    EXPECT_FALSE(nimbrel::services::IsStationDirectory("<html>\n<body>moved</body>\n</html>\n"));
    EXPECT_FALSE(nimbrel::services::IsStationDirectory(text + "LFMN;07;690;Ni\x1b[2Jce;;France;6;43-39N;007-12E;;;4;10;P\r\n"));
    EXPECT_FALSE(nimbrel::services::IsStationDirectory(text + "lfmn;07;690;Nice;;France;6\r\n"));
}
