#include "services/observations/live_observations.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/services/fake_source.h"
#include "tests/services/observation_fixtures.h"
#include "services/observations/observation_disk_cache.h"
#include "tests/support/temp_folder.h"

using namespace std::chrono_literals;
using nimbrel::services::LiveObservations;
using nimbrel::services::ObservationDiskCache;

namespace {

constexpr auto kAttempt = 300ms;  // the fetch bound in these tests
constexpr auto kWithinBound = 2s;  // what an answer may take, fallbacks included

// The archive behind the live source: one record, told apart by its text.
class ArchiveStandIn : public nimbrel::services::ObservationSource {
public:
    std::optional<std::string> Find(const std::string& code) const override {
        if (failures > 0 && failures-- > 0) throw std::runtime_error("the archive failed");
        if (code != "KLXV") return std::nullopt;
        return kRecord;
    }
    static constexpr char kRecord[] = "the archive's KLXV";
    mutable std::atomic<int> failures{0};  // asks that throw
};

class LiveObservationsTest : public testing::Test {
protected:
    LiveObservationsTest() {
        for (const char* code : {"KLXV", "BIKF", "KZZQ"}) source_.Put(std::string("/decoded/") + code + ".TXT", FixtureObservation(code));
    }

    std::unique_ptr<LiveObservations> Live(const std::string& url, std::chrono::milliseconds cacheTime = 1h,
                                           std::chrono::milliseconds rest = nimbrel::services::kSilentSourceRest,
                                           nimbrel::services::MemoryBounds memory = {}) {
        return std::make_unique<LiveObservations>(
            nimbrel::services::LiveSettings{*nimbrel::services::ParseUpstreamUrl(url), cacheTime, {kAttempt, 64 * 1024}, rest, memory},
            &disk_,
            archive_, [this](const std::string& line) {
                std::lock_guard<std::mutex> lock(logMutex_);
                log_.push_back(line);
            });
    }
    std::string Folder() const { return source_.Url("/decoded"); }  // without the "/": added
    std::vector<std::string> Log() {
        std::lock_guard<std::mutex> lock(logMutex_);
        return log_;
    }

    FakeSource source_;
    ArchiveStandIn archive_;
    TempFolder cache_{"live_observations_cache"};
    const std::string cacheFolder_ = cache_.path();
    ObservationDiskCache disk_{cacheFolder_, 64 * 1024};
    std::mutex logMutex_;
    std::vector<std::string> log_;
};

// Asks for code and says how long the answer took.
template <typename Live>
std::optional<std::string> TimedFind(Live& live, const std::string& code, std::chrono::steady_clock::duration& took) {
    const auto start = std::chrono::steady_clock::now();
    auto answer = live.Find(code);
    took = std::chrono::steady_clock::now() - start;
    return answer;
}

}  // namespace

TEST_F(LiveObservationsTest, FetchesOnceWithinTheCacheTimeAndAgainAfterIt) {
    const auto live = Live(Folder());
    EXPECT_EQ(live->Find("KLXV"), FixtureObservation("KLXV"));
    EXPECT_EQ(live->Find("KLXV"), FixtureObservation("KLXV"));
    EXPECT_EQ(source_.Requests(), 1);
    EXPECT_EQ(live->Find("KZZQ"), FixtureObservation("KZZQ"));
    EXPECT_EQ(source_.Requests(), 2);
    EXPECT_TRUE(Log().empty());

    const auto expiring = Live(Folder(), 0ms);
    EXPECT_EQ(expiring->Find("KLXV"), FixtureObservation("KLXV"));
    EXPECT_EQ(expiring->Find("KLXV"), FixtureObservation("KLXV"));
    EXPECT_EQ(source_.Requests(), 4);

    // Anything but a station code stays away from the source.
    EXPECT_EQ(live->Find("../X"), std::nullopt);
    EXPECT_EQ(live->Find("klxv"), std::nullopt);
    EXPECT_EQ(source_.Requests(), 4);
}

// What the server answers on its io thread: only a fresh observation in
// memory, never one that would need a fetch.
TEST_F(LiveObservationsTest, AtOnceOnlyWhatIsFreshInMemory) {
    std::optional<std::string> record = "untouched";
    const auto live = Live(Folder());
    EXPECT_FALSE(live->FindAtOnce("KLXV", record));
    EXPECT_EQ(record, "untouched");
    EXPECT_EQ(source_.Requests(), 0);
    live->Find("KLXV");
    EXPECT_TRUE(live->FindAtOnce("KLXV", record));
    EXPECT_EQ(record, FixtureObservation("KLXV"));
    EXPECT_TRUE(live->FindAtOnce("../X", record)) << "the archive answers what is no station code";
    EXPECT_EQ(record, std::nullopt);

    const auto expiring = Live(Folder(), 0ms);
    expiring->Find("KLXV");
    EXPECT_FALSE(expiring->FindAtOnce("KLXV", record));
    EXPECT_EQ(source_.Requests(), 2);
}

TEST_F(LiveObservationsTest, ManyConcurrentAsksMakeOneUpstreamRequest) {
    source_.SetMode(FakeSource::Mode::Slow);
    const auto live = Live(Folder());
    std::vector<std::future<std::optional<std::string>>> asks;
    for (int i = 0; i < 16; ++i) asks.push_back(std::async(std::launch::async, [&] { return live->Find("KLXV"); }));
    for (auto& ask : asks) EXPECT_EQ(ask.get(), FixtureObservation("KLXV"));
    EXPECT_EQ(source_.Requests(), 1);
}

// Each failure of the source falls back in order: the last good observation
// in memory, then the one on disk, then the archive, then nothing; each
// within the bound, with one log line saying what failed.
TEST_F(LiveObservationsTest, AFailingSourceFallsBackInOrder) {
    struct Case {
        FakeSource::Mode mode;
        const char* why;
    };
    const Case cases[] = {
        {FakeSource::Mode::Garbage, "is not a decoded observation of"},
        {FakeSource::Mode::Empty, "is not a decoded observation of"},
        {FakeSource::Mode::Missing, "HTTP status 404"},
        {FakeSource::Mode::Oversized, "more than 65536 bytes"},
        {FakeSource::Mode::Trickle, "the answer's body not complete within 300 ms"},
    };
    for (const Case& failure : cases) {
        SCOPED_TRACE(failure.why);
        std::remove((cacheFolder_ + "/KLXV.TXT").c_str());
        source_.SetMode(FakeSource::Mode::Serve);
        auto live = Live(Folder(), 0ms);
        ASSERT_EQ(live->Find("KLXV"), FixtureObservation("KLXV"));
        log_.clear();

        source_.SetMode(failure.mode);
        std::chrono::steady_clock::duration took{};
        EXPECT_EQ(TimedFind(*live, "KLXV", took), FixtureObservation("KLXV")) << "the last good one, from memory";
        EXPECT_LT(took, kWithinBound);
        live = Live(Folder(), 0ms);  // a restart
        EXPECT_EQ(TimedFind(*live, "KLXV", took), FixtureObservation("KLXV")) << "the last good one, from disk";
        EXPECT_LT(took, kWithinBound);
        std::remove((cacheFolder_ + "/KLXV.TXT").c_str());
        EXPECT_EQ(TimedFind(*live, "KLXV", took), ArchiveStandIn::kRecord);
        EXPECT_LT(took, kWithinBound);
        EXPECT_EQ(TimedFind(*live, "BIKF", took), std::nullopt) << "neither kept nor archived: unknown";
        EXPECT_LT(took, kWithinBound);

        const auto log = Log();
        ASSERT_EQ(log.size(), 4u);
        EXPECT_NE(log[0].find(failure.why), std::string::npos) << log[0];
        EXPECT_NE(log[0].find("answered with the last good observation"), std::string::npos) << log[0];
        EXPECT_NE(log[1].find("answered with the one kept on disk"), std::string::npos) << log[1];
        EXPECT_NE(log[2].find("answered with the archive's record"), std::string::npos) << log[2];
        EXPECT_NE(log[3].find("BIKF: live observation failed"), std::string::npos) << log[3];
        EXPECT_NE(log[3].find("answered with none (unknown station)"), std::string::npos) << log[3];
    }
}

TEST_F(LiveObservationsTest, SilentAndRefusingSourcesFallBackWithinTheBound) {
    const SilentSource silent;
    const std::pair<std::string, std::string> sources[] = {
        {silent.Url(), "the answer's head not complete within 300 ms"},
        {silent.Url("https"), "the TLS handshake with 127.0.0.1:"},  // silent during the handshake too
        {RefusingUrl(), "cannot connect to 127.0.0.1:"},
    };
    for (const auto& [url, why] : sources) {
        SCOPED_TRACE(url);
        log_.clear();
        const auto live = Live(url);
        std::chrono::steady_clock::duration took{};
        EXPECT_EQ(TimedFind(*live, "KLXV", took), ArchiveStandIn::kRecord);
        EXPECT_LT(took, kWithinBound);
        ASSERT_EQ(Log().size(), 1u);
        EXPECT_NE(Log()[0].find("KLXV: live observation failed: " + why), std::string::npos) << Log()[0];
        EXPECT_NE(Log()[0].find(" (" + url + "KLXV.TXT); answered with the archive's record"), std::string::npos)
            << Log()[0];
    }

    // The source's own address is HTTPS: a plain HTTP server there fails the
    // handshake rather than being read.
    const auto https = nimbrel::services::BoundedFetch(*nimbrel::services::ParseUpstreamUrl(source_.Url("/", "https")), {kAttempt, 1024});
    ASSERT_FALSE(https.ok());
    EXPECT_EQ(https.error().why.rfind("the TLS handshake failed", 0), 0u) << https.error().why;
}

// During an outage every page would otherwise wait out the whole fetch time.
TEST_F(LiveObservationsTest, AnUnwellSourceIsLeftToRestThenAskedAgain) {
    source_.SetMode(FakeSource::Mode::Trickle);
    const auto live = Live(Folder(), 0ms, 600ms);
    EXPECT_EQ(live->Find("KLXV"), ArchiveStandIn::kRecord);
    EXPECT_EQ(source_.Requests(), 1);

    std::chrono::steady_clock::duration took{};
    EXPECT_EQ(TimedFind(*live, "KLXV", took), ArchiveStandIn::kRecord);
    EXPECT_LT(took, 100ms);
    EXPECT_EQ(source_.Requests(), 1);
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_NE(Log()[1].find("the source gave no answer lately"), std::string::npos) << Log()[1];

    source_.SetMode(FakeSource::Mode::Serve);
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(live->Find("KLXV"), FixtureObservation("KLXV"));
    EXPECT_EQ(source_.Requests(), 2);
}

// A file in the cache folder is as untrusted as an answer of the source.
TEST_F(LiveObservationsTest, OnlyAValidFileOfItsOwnStationIsTakenFromDisk) {
    ASSERT_TRUE(disk_.Store("KLXV", FixtureObservation("KLXV")));
    EXPECT_EQ(disk_.Load("KLXV"), FixtureObservation("KLXV"));

    std::ofstream(cacheFolder_ + "/BIKF.TXT") << FixtureObservation("KLXV");  // another station's
    EXPECT_EQ(disk_.Load("BIKF"), std::nullopt);
    std::ofstream(cacheFolder_ + "/BIKF.TXT") << "<html>\x1b[2J</html>\n";
    EXPECT_EQ(disk_.Load("BIKF"), std::nullopt);
    std::string huge = FixtureObservation("BIKF");
    while (huge.size() <= 64 * 1024) huge += "Weather: light rain\n";
    std::ofstream(cacheFolder_ + "/BIKF.TXT") << huge;
    EXPECT_EQ(disk_.Load("BIKF"), std::nullopt);
    EXPECT_FALSE(disk_.Store("../KL", "x"));

    // Nothing but the station's own file is left in the folder.
    ASSERT_TRUE(disk_.Store("KLXV", FixtureObservation("KLXV")));
    std::remove((cacheFolder_ + "/BIKF.TXT").c_str());
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(cacheFolder_)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"KLXV.TXT"});
}

// A source that answers for any code would otherwise fill the disk: the
// oldest files go first, those already there before a restart included.
TEST_F(LiveObservationsTest, TheCacheFolderKeepsTheNewestFilesWithinItsBounds) {
    const std::string text = FixtureObservation("KLXV");
    struct Case {
        nimbrel::services::DiskCacheBounds bounds;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {{3, 1u << 20}, {"ST03.TXT", "ST04.TXT", "ST05.TXT"}},
        {{100, 2 * text.size() + 1}, {"ST04.TXT", "ST05.TXT"}},
    };
    for (const Case& bounded : cases) {
        const TempFolder folder("disk_bounds");
        std::ofstream(folder.path() + "/ST00.TXT") << text;  // kept by an earlier run
        const ObservationDiskCache disk(folder.path(), 64 * 1024, bounded.bounds);
        for (const char* code : {"ST01", "ST02", "ST03", "ST04", "ST05"}) ASSERT_TRUE(disk.Store(code, text));
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, bounded.left);
    }
}

// Opening a FIFO for reading waits for a writer: a page would wait for ever.
TEST_F(LiveObservationsTest, AFileThatIsNoRegularFileIsNotRead) {
    const std::string fifo = cacheFolder_ + "/KLXV.TXT";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto loading = std::async(std::launch::async, [this] { return disk_.Load("KLXV"); });
    const bool returned = loading.wait_for(5s) == std::future_status::ready;
    if (!returned) close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));  // lets it go
    EXPECT_TRUE(returned);
    EXPECT_EQ(loading.get(), std::nullopt);
    EXPECT_EQ(Live(RefusingUrl())->Find("KLXV"), ArchiveStandIn::kRecord);
}

// A source that answers for any code would otherwise fill the memory: the
// least recently used observations go, and are fetched again when asked.
TEST_F(LiveObservationsTest, MemoryKeepsTheRecentlyUsedObservationsWithinItsBounds) {
    const std::vector<std::string> codes = {"ST01", "ST02", "ST03", "ST04", "ST05"};
    for (const std::string& code : codes) source_.Put("/decoded/" + code + ".TXT", ObservationOf(code));
    const std::size_t size = ObservationOf("ST01").size();
    struct Case {
        nimbrel::services::MemoryBounds bounds;
        const char* kept;
        const char* gone;
    };
    const Case cases[] = {{{3, 1u << 20}, "ST03", "ST02"}, {{100, 2 * size + 1}, "ST04", "ST03"}};
    for (const Case& bounded : cases) {
        const auto live = Live(Folder(), 1h, nimbrel::services::kSilentSourceRest, bounded.bounds);
        for (const std::string& code : codes) ASSERT_EQ(live->Find(code), ObservationOf(code));
        const int asked = source_.Requests();
        EXPECT_EQ(live->Find(bounded.kept), ObservationOf(bounded.kept));
        EXPECT_EQ(source_.Requests(), asked) << bounded.kept << " kept";
        EXPECT_EQ(live->Find(bounded.gone), ObservationOf(bounded.gone));
        EXPECT_EQ(source_.Requests(), asked + 1) << bounded.gone << " gone";
    }
}

// An ask that throws must still land its fetch, or every later ask for
// the station waits for it for ever.
TEST_F(LiveObservationsTest, AFetchThatThrowsStillLands) {
    source_.SetMode(FakeSource::Mode::Missing);
    const auto live = std::shared_ptr<LiveObservations>(Live(Folder(), 0ms, 0ms));
    archive_.failures = 1;
    EXPECT_THROW(live->Find("KLXV"), std::runtime_error);

    // Asked on a thread of its own, left behind (with the object) should it hang.
    auto answer = std::make_shared<std::promise<std::optional<std::string>>>();
    auto landed = answer->get_future();
    std::thread([live, answer] { answer->set_value(live->Find("KLXV")); }).detach();
    ASSERT_EQ(landed.wait_for(5s), std::future_status::ready) << "the second ask waits for the first";
    EXPECT_EQ(landed.get(), ArchiveStandIn::kRecord);
}

// What /metrics shows of the live source: each answer under where it came
// from, each fetch under how it ended, and none when it was not made.
TEST_F(LiveObservationsTest, CountsSayWhereEachAnswerCameFromAndHowEachFetchEnded) {
    using nimbrel::services::FetchOutcome;
    using nimbrel::services::PageSource;
    const struct {
        FakeSource::Mode mode;
        std::string code;
        PageSource source;
        std::optional<FetchOutcome> fetch;
    } steps[] = {
        {FakeSource::Mode::Missing, "KLXV", PageSource::Archive, FetchOutcome::HttpError},
        {FakeSource::Mode::Serve, "KLXV", PageSource::Live, FetchOutcome::Ok},
        {FakeSource::Mode::Garbage, "KLXV", PageSource::Kept, FetchOutcome::Invalid},
        {FakeSource::Mode::Missing, "BIKF", PageSource::Unknown, FetchOutcome::HttpError},
        {FakeSource::Mode::Serve, "../X", PageSource::Unknown, std::nullopt},  // no station code: never fetched
        {FakeSource::Mode::Trickle, "KLXV", PageSource::Kept, FetchOutcome::Failed},
        {FakeSource::Mode::Serve, "KLXV", PageSource::Kept, FetchOutcome::Skipped},  // the source rests
    };
    const auto live = Live(Folder(), 0ms, 1h);
    std::array<std::uint64_t, std::size(nimbrel::services::kPageSourceNames)> pages{};
    std::array<std::uint64_t, std::size(nimbrel::services::kFetchOutcomeNames)> fetches{};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.code + " " + nimbrel::services::kPageSourceNames[static_cast<std::size_t>(step.source)]);
        source_.SetMode(step.mode);
        live->Find(step.code);
        ++pages[static_cast<std::size_t>(step.source)];
        if (step.fetch) ++fetches[static_cast<std::size_t>(*step.fetch)];
        for (std::size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(live->counts().pages[i].Value(), pages[i]) << i;
        for (std::size_t i = 0; i < fetches.size(); ++i) EXPECT_EQ(live->counts().fetches[i].Value(), fetches[i]) << i;
    }
    EXPECT_EQ(live->State().kind, LiveObservations::SourceState::Kind::Resting);
    EXPECT_EQ(live->counts().cacheMisses.Value(), 6u);

    const auto fresh = Live(Folder());
    EXPECT_EQ(fresh->State().kind, LiveObservations::SourceState::Kind::NeverReached);
    fresh->Find("KLXV");
    std::optional<std::string> record;
    fresh->FindAtOnce("KLXV", record);
    EXPECT_EQ(fresh->State().kind, LiveObservations::SourceState::Kind::Ok);
    EXPECT_EQ(fresh->counts().cacheHits.Value(), 1u);
    EXPECT_EQ(fresh->counts().pages[static_cast<std::size_t>(PageSource::Live)].Value(), 2u);
}
