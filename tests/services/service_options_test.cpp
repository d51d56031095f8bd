#include "services/service_options.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "services/support/log_text.h"
#include "services/upstream/upstream_url.h"

using nimbrel::services::ParseServiceOptions;
using nimbrel::services::ParseUpstreamUrl;
using nimbrel::services::ServiceOptions;

namespace {

ServiceOptions Parsed(const std::vector<std::string>& args) {
    const auto parsed = ParseServiceOptions(args);
    EXPECT_TRUE(parsed.ok()) << (parsed.ok() ? "" : parsed.error().why);
    return parsed.ok() ? *parsed : ServiceOptions{};
}

std::string Refused(const std::vector<std::string>& args) {
    const auto parsed = ParseServiceOptions(args);
    EXPECT_FALSE(parsed.ok());
    return parsed.ok() ? "" : parsed.error().why;
}

}  // namespace

TEST(ServiceOptions, OfflineByDefaultOnAFreePort) {
    const ServiceOptions options = Parsed({});
    EXPECT_FALSE(options.Live());
    EXPECT_EQ(options.ListenPort(), 0);
    EXPECT_EQ(options.listen, "127.0.0.1");
    EXPECT_EQ(options.cacheSeconds, 900);
    EXPECT_EQ(Parsed({"--port", "8080", "--data", "/d"}).ListenPort(), 8080);
}

TEST(ServiceOptions, LiveUsesThePublicSourcesAndTheGatewayPort) {
    const ServiceOptions live = Parsed({"--live"});
    ASSERT_TRUE(live.observations && live.stations);
    EXPECT_EQ(live.observations->Text(), "https://tgftp.nws.noaa.gov/data/observations/metar/decoded/");
    EXPECT_EQ(live.stations->Text(), "https://tgftp.nws.noaa.gov/data/nsd_cccc.txt");
    EXPECT_EQ(live.ListenPort(), 8642);
    EXPECT_EQ(Parsed({"--live", "--port", "0"}).ListenPort(), 0);

    // A given address wins over --live, wherever it stands.
    const ServiceOptions mixed = Parsed({"--observations-url", "http://127.0.0.1:9/obs", "--live",
                                         "--cache-seconds", "0", "--cache-dir", "/tmp/c", "--listen", "0.0.0.0"});
    EXPECT_EQ(mixed.observations->origin, "http://127.0.0.1:9");
    EXPECT_EQ(mixed.observations->path, "/obs");
    EXPECT_EQ(mixed.stations->Text(), "https://tgftp.nws.noaa.gov/data/nsd_cccc.txt");
    EXPECT_EQ(mixed.cacheSeconds, 0);
    EXPECT_EQ(mixed.cacheDir, "/tmp/c");
    EXPECT_EQ(mixed.listen, "0.0.0.0");

    const ServiceOptions observationsOnly = Parsed({"--observations-url", "https://example.org/x/"});
    EXPECT_TRUE(observationsOnly.Live());
    EXPECT_FALSE(observationsOnly.stations);
    EXPECT_EQ(observationsOnly.ListenPort(), 8642);
}

TEST(ServiceOptions, TranslatorsAreChosenByName) {
    EXPECT_EQ(Parsed({}).translator, nimbrel::services::TranslatorChoice::Auto);
    const ServiceOptions libre = Parsed({"--translator", "libretranslate", "--libretranslate-url",
                                         "http://localhost:5000", "--libretranslate-key", "k"});
    EXPECT_EQ(libre.translator, nimbrel::services::TranslatorChoice::LibreTranslate);
    EXPECT_EQ(libre.libreTranslate->Text(), "http://localhost:5000/");
    EXPECT_EQ(libre.libreTranslateKey, "k");
    EXPECT_FALSE(libre.Live());
    EXPECT_EQ(Parsed({"--translator", "apertium"}).translator, nimbrel::services::TranslatorChoice::Apertium);
    EXPECT_EQ(Refused({"--translator", "libretranslate"}), "--translator libretranslate needs --libretranslate-url");
    EXPECT_EQ(Refused({"--translator", "google"}), "bad value for --translator: google");
}

TEST(ServiceOptions, BadCommandLinesAreRefusedWithTheReason) {
    EXPECT_EQ(Refused({"--port"}), "--port needs a value");
    EXPECT_EQ(Refused({"--port", "65536"}), "bad value for --port: 65536");
    EXPECT_EQ(Refused({"--cache-seconds", "-1"}), "bad value for --cache-seconds: -1");
    EXPECT_EQ(Refused({"--cache-seconds", "15m"}), "bad value for --cache-seconds: 15m");
    EXPECT_EQ(Refused({"--observations-url", "ftp://x/"}), "bad value for --observations-url: ftp://x/");
    EXPECT_EQ(Refused({"--listen", ""}), "bad value for --listen: ");
    EXPECT_EQ(Refused({"--verbose"}), "unknown option --verbose");
    EXPECT_EQ(Refused({"8080"}), "unknown option 8080");
    for (const char* option : {"--port", "--listen", "--data", "--live", "--observations-url", "--stations-url",
                               "--cache-seconds", "--cache-dir", "--libretranslate-url",
                               "--libretranslate-key", "--translator", "--rate-pages", "--rate-translations",
                               "--rate-exempt-loopback", "--shared-cache"}) {
        EXPECT_NE(std::string(nimbrel::services::kServiceUsage).find(option), std::string::npos) << option;
    }
}

TEST(ServiceOptions, FairUseIsOnForEveryClientUnlessToldOtherwise) {
    const nimbrel::services::FairUse defaults = Parsed({}).fairUse;
    EXPECT_FALSE(defaults.exemptLoopback);
    EXPECT_GT(defaults.pages.perSecond, 0);
    EXPECT_GT(defaults.translations.perSecond, 0);

    const nimbrel::services::FairUse given = Parsed({"--rate-pages", "0.5:10", "--rate-exempt-loopback",
                                            "--rate-translations", "0:1"}).fairUse;
    EXPECT_TRUE(given.exemptLoopback);
    EXPECT_EQ(given.pages.perSecond, 0.5);
    EXPECT_EQ(given.pages.burst, 10);
    EXPECT_EQ(given.translations.perSecond, 0);  // no limit

    for (const char* bad : {"5", "5:", ":60", "5:0", "-1:60", "5:60:1", "x:60", "5:6.5", "nan:60", "inf:60",
                            "2000000:60"}) {
        EXPECT_EQ(Refused({"--rate-pages", bad}), std::string("bad value for --rate-pages: ") + bad);
    }
    EXPECT_EQ(Refused({"--rate-translations"}), "--rate-translations needs a value");
}

TEST(UpstreamUrl, SplitsOriginFromPathAndRefusesWhatIsNoAddress) {
    auto url = ParseUpstreamUrl("HTTPS://tgftp.nws.noaa.gov/data/observations/metar/decoded/");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->origin, "https://tgftp.nws.noaa.gov");
    EXPECT_EQ(url->path, "/data/observations/metar/decoded/");
    url = ParseUpstreamUrl("http://[::1]:8080");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->origin, "http://[::1]:8080");
    EXPECT_EQ(url->path, "/");
    EXPECT_EQ(nimbrel::services::AsFolder(*ParseUpstreamUrl("http://h/a")).path, "/a/");
    // A server below a path, as LibreTranslate may sit behind a proxy.
    EXPECT_EQ(nimbrel::services::InFolder(*ParseUpstreamUrl("https://example.org/libretranslate"), "translate").Text(),
              "https://example.org/libretranslate/translate");
    EXPECT_EQ(nimbrel::services::InFolder(*ParseUpstreamUrl("http://localhost:5000"), "languages").Text(),
              "http://localhost:5000/languages");
    for (const char* bad : {"", "tgftp.nws.noaa.gov/data/", "file:///etc/", "http://", "http://h:0/",
                            "http://h:99999/", "http://h:x/", "http://user@h/", "http://h/a b", "http://h/a?q",
                            "http://h/\r\nX: y", "http://h\x1b/"}) {
        EXPECT_FALSE(ParseUpstreamUrl(bad)) << bad;
    }
}

// As an operator writes it, and shown back in one form.
TEST(RedisAddress, HostPortAndDatabaseAreReadWithTheirDefaults) {
    const struct {
        const char* given;
        const char* shown;  // empty: refused
    } cases[] = {
        {"redis://127.0.0.1:6380/2", "redis://127.0.0.1:6380/2"},
        {"redis://cache.internal", "redis://cache.internal:6379/0"},
        {"redis://[::1]:6380/1", "redis://[::1]:6380/1"},
        {"redis://[::1]", "redis://[::1]:6379/0"},
        {"http://127.0.0.1:6379", ""},
        {"redis://", ""},
        {"redis://h:", ""},
        {"redis://h:65536", ""},
        {"redis://h/x", ""},
        {"redis://h/70000", ""},
        {"redis://user:secret@h", ""},
        {"redis://[::1]x", ""},
        {"redis://h\r\n", ""},
    };
    for (const auto& c : cases) {
        const auto address = nimbrel::services::ParseRedisAddress(c.given);
        EXPECT_EQ(address ? address->Text() : "", c.shown) << c.given;
    }
    EXPECT_EQ(Parsed({"--shared-cache", "redis://10.0.0.5:6380/3"}).sharedCache->Text(), "redis://10.0.0.5:6380/3");
    EXPECT_FALSE(Parsed({"--live"}).sharedCache);
    EXPECT_EQ(Refused({"--shared-cache", "10.0.0.5:6380"}), "bad value for --shared-cache: 10.0.0.5:6380");
}

TEST(LogText, ControlBytesDeleteAndEightBitBytesAreEscaped) {
    EXPECT_EQ(nimbrel::services::EscapedForLog("GET /\x1b[2J\r\nX\x7f\\ ok"), "GET /\\x1B[2J\\x0D\\x0AX\\x7F\\\\ ok");
    // C1 controls raw (CSI) and as UTF-8, and any other byte from 0x80 up.
    EXPECT_EQ(nimbrel::services::EscapedForLog("\x9b" "2J \xc2\x9b" "2J \xb0 \xff"), "\\x9B2J \\xC2\\x9B2J \\xB0 \\xFF");
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    nimbrel::services::WriteLogLine(file, "a\nb\tc");
    std::rewind(file);
    char line[64] = {};
    ASSERT_NE(std::fgets(line, sizeof line, file), nullptr);
    EXPECT_STREQ(line, "nimbrel-services: a\\x0Ab\\x09c\n");
    std::fclose(file);
}
