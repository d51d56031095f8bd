#include "http/url_parts.h"

#include <gtest/gtest.h>

#include "http/cookie_address.h"

using namespace nimbrel;

namespace {

UrlParts Split(const std::string& address) {
    UrlParts parts;
    EXPECT_TRUE(SplitUrl(address, parts)) << address;
    return parts;
}

void ExpectParts(const std::string& address, const std::string& scheme, const std::string& user,
                 const std::string& password, const std::string& host, int port, const std::string& path) {
    UrlParts parts = Split(address);
    EXPECT_EQ(parts.scheme, scheme) << address;
    EXPECT_EQ(parts.userName, user) << address;
    EXPECT_EQ(parts.password, password) << address;
    EXPECT_EQ(parts.host, host) << address;
    EXPECT_EQ(parts.port, port) << address;
    EXPECT_EQ(parts.path, path) << address;
}

TEST(SplitUrl, UsualAddresses) {
    ExpectParts("http://weather.example", "http", "", "", "weather.example", 80, "/");
    ExpectParts("https://h.example/a?b=c", "https", "", "", "h.example", 443, "/a?b=c");
    ExpectParts("h.example:81/p", "http", "", "", "h.example", 81, "/p");
    ExpectParts("ftp://u:pw@files.example", "ftp", "u", "pw", "files.example", 21, "/");
    ExpectParts("http://u@h.example:81/x", "http", "", "", "h.example", 81, "/x");
    ExpectParts("gopher://h.example/x", "gopher", "", "", "h.example", 80, "/x");
    // Scheme names are compared as written.
    ExpectParts("HTTPS://h.example", "HTTPS", "", "", "h.example", 80, "/");
}

TEST(SplitUrl, PortsAreReadLikeALong) {
    EXPECT_EQ(Split("http://h:/x").port, 0);
    EXPECT_EQ(Split("http://h:abc/x").port, 0);
    EXPECT_EQ(Split("http://h:+81/x").port, 81);
    EXPECT_EQ(Split("http://h: 82x/x").port, 82);
    EXPECT_EQ(Split("http://h:-5").port, -5);
    EXPECT_EQ(Split("http://h:99999999999/").port, 2147483647);
    EXPECT_EQ(Split("http://h:-99999999999/").port, -2147483647 - 1);
}

TEST(SplitUrl, OddAddresses) {
    ExpectParts("", "http", "", "", "", 80, "/");
    ExpectParts("http://", "http", "", "", "", 80, "/");
    ExpectParts("http:/", "http", "", "", "", 80, "/");
    // A colon not followed by a slash is a port separator, not a scheme.
    ExpectParts("https:", "http", "", "", "https", 0, "/");
    // The three characters after the colon are skipped whatever they are.
    ExpectParts("http:/xhost/p", "http", "", "", "host", 80, "/p");
    // An "@" in the path is not user information.
    ExpectParts("http://h.example/a@b:c", "http", "", "", "h.example", 80, "/a@b:c");
    ExpectParts("http://u:p@h.example/a@b", "http", "u", "p", "h.example", 80, "/a@b");
    ExpectParts("http://:@h", "http", "", "", "h", 80, "/");
}

TEST(SplitUrl, RefusesPartsLongerThanTheLimit) {
    UrlParts parts;
    const std::string longest(kUrlPartLimit, 'h');
    EXPECT_TRUE(SplitUrl("http://" + longest, parts));
    EXPECT_EQ(parts.host, longest);
    EXPECT_FALSE(SplitUrl("http://" + longest + "h", parts));
    EXPECT_TRUE(SplitUrl("http://h/" + std::string(kUrlPartLimit - 1, 'p'), parts));
    EXPECT_FALSE(SplitUrl("http://h/" + std::string(kUrlPartLimit, 'p'), parts));
    EXPECT_FALSE(SplitUrl(std::string(kUrlPartLimit + 1, 's') + "://h", parts));
    EXPECT_FALSE(SplitUrl("ftp://" + std::string(kUrlPartLimit + 1, 'u') + ":p@h", parts));
}

TEST(SchemeFromText, LongestPrefixFirst) {
    EXPECT_EQ(SchemeFromText("https"), UrlScheme::Https);
    EXPECT_EQ(SchemeFromText("httpsx"), UrlScheme::Https);
    EXPECT_EQ(SchemeFromText("http"), UrlScheme::Http);
    EXPECT_EQ(SchemeFromText("httpx"), UrlScheme::Http);
    EXPECT_EQ(SchemeFromText("ftp"), UrlScheme::Ftp);
    EXPECT_EQ(SchemeFromText("htt"), UrlScheme::Unknown);
    EXPECT_EQ(SchemeFromText("HTTP"), UrlScheme::Unknown);
    EXPECT_EQ(SchemeFromText(""), UrlScheme::Unknown);
}

TEST(CookieAddress, PortOnlyWhenNotTheSchemesOwn) {
    EXPECT_EQ(CookieAddress(UrlScheme::Http, "h", 81, "/p?q"), "http://h:81/p?q");
    EXPECT_EQ(CookieAddress(UrlScheme::Http, "h", 80, "/p"), "http://h/p");
    EXPECT_EQ(CookieAddress(UrlScheme::Https, "h", 443, "/p"), "https://h/p");
    EXPECT_EQ(CookieAddress(UrlScheme::Https, "h", 80, "/p"), "https://h:80/p");
    EXPECT_EQ(CookieAddress(UrlScheme::Ftp, "h", 21, "/p"), "h:21/p");
}

}  // namespace
