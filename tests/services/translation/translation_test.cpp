#include "services/translation/apertium/apertium_translator.h"
#include "services/pages/translation_page.h"
#include "services/pages/translation_request.h"

#include <gtest/gtest.h>

using nimbrel::services::ApertiumModeFor;
using nimbrel::services::ParseTranslationQuery;
using nimbrel::services::Translation;

TEST(TranslationQuery, DecodesTextAndPair) {
    // As the plug-in encodes it: every byte but letters, digits and "-._~".
    auto request = ParseTranslationQuery("trtext=80%B0%20Fahrenheit%20%2850%25%29%0D%0A&lp=en_es");
    EXPECT_EQ(request.text, "80\xB0 Fahrenheit (50%)\r\n");
    EXPECT_EQ(request.pair, "en_es");

    // As it would stand unencoded: "&" and a bare "%" are the text's own.
    request = ParseTranslationQuery("trtext=a&b=c d 50%&lp=en_es");
    EXPECT_EQ(request.text, "a&b=c d 50%");
    EXPECT_EQ(request.pair, "en_es");

    // Form encoding: "+" is a blank, "%2B" the text's own "+".
    request = ParseTranslationQuery("trtext=Hello+world&lp=en_es");
    EXPECT_EQ(request.text, "Hello world");
    request = ParseTranslationQuery("trtext=%2B5%20C&lp=en_es");
    EXPECT_EQ(request.text, "+5 C");
    request = ParseTranslationQuery("lp=en_es&trtext=a+%2B+b");
    EXPECT_EQ(request.text, "a + b");

    request = ParseTranslationQuery("trtext=x&lp=y&lp=en_es");
    EXPECT_EQ(request.text, "x&lp=y");
    EXPECT_EQ(request.pair, "en_es");

    request = ParseTranslationQuery("trtext=&lp=en_es");
    EXPECT_EQ(request.text, "");
    EXPECT_EQ(request.pair, "en_es");

    request = ParseTranslationQuery("lp=en_fr&trtext=rain");
    EXPECT_EQ(request.text, "rain");
    EXPECT_EQ(request.pair, "en_fr");
}

TEST(ApertiumMode, PairsMapToInstalledModes) {
    const std::vector<std::string> installed = {"eng-spa", "spa-eng", "spa-eng_US", "en-ca"};
    EXPECT_EQ(ApertiumModeFor("en_es", installed), "eng-spa");
    EXPECT_EQ(ApertiumModeFor("en_ca", installed), "en-ca");
    EXPECT_EQ(ApertiumModeFor("en_fr", installed), "");
    EXPECT_EQ(ApertiumModeFor("en_zt", installed), "");
    EXPECT_EQ(ApertiumModeFor("en-es", installed), "");
    EXPECT_EQ(ApertiumModeFor("en_es ", installed), "");
    EXPECT_EQ(ApertiumModeFor("", installed), "");
}

TEST(TranslationPages, OnlyAResultStandsBetweenTheMarkers) {
    const std::string start = "<td bgcolor=white class=s><div style=padding:10px;>";
    const std::string page = nimbrel::services::TranslationPage("Lluvia <b>ligera</b>\r\n");
    const auto at = page.find(start);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(page.substr(at + start.size(), page.find("</div></td>") - at - start.size()),
              "Lluvia <b>ligera</b>\r\n");
    // A server's control bytes never reach the report.
    const std::string controls = nimbrel::services::TranslationPage(std::string("a\0b\x1B[2J\x7F\tc", 10));
    EXPECT_NE(controls.find(start + "a?b?[2J?\tc</div></td>"), std::string::npos);

    EXPECT_EQ(nimbrel::services::UnsupportedPairPage().find(start), std::string::npos);
    EXPECT_EQ(nimbrel::services::TranslationFailedPage().find(start), std::string::npos);
}

// Needs Apertium with its English-Spanish data, which scripts/setup installs.
TEST(ApertiumTranslator, TranslatesEnglishToSpanish) {
    const nimbrel::services::ApertiumTranslator apertium;
    if (ApertiumModeFor("en_es", apertium.modes()).empty()) GTEST_SKIP() << "no eng-spa mode installed";

    const Translation rain = apertium.Translate("light rain", "en_es");
    ASSERT_EQ(rain.outcome, Translation::Outcome::Translated);
    EXPECT_EQ(rain.text, "Lluvia ligera");

    // Degree signs travel through UTF-8 and back; accents come back as single bytes.
    const Translation speed = apertium.Translate("9 Kilometers per hour (15\xB0 Celsius)", "en_es");
    ASSERT_EQ(speed.outcome, Translation::Outcome::Translated);
    EXPECT_EQ(speed.text, "9 Kil\xF3metros por hora (15\xB0 Celsius)");

    EXPECT_EQ(apertium.Translate("light rain", "en_zt").outcome, Translation::Outcome::UnsupportedPair);
}
