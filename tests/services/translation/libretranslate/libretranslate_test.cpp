#include "services/translation/libretranslate/libretranslate_languages.h"
#include "services/translation/libretranslate/libretranslate_translator.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using nimbrel::services::LibreTranslateCode;
using nimbrel::services::LibreTranslateTranslator;
using nimbrel::services::Translation;

namespace {

using Clock = std::chrono::steady_clock;

// As recent servers list them, and as older ones did.
constexpr char kRecentLanguages[] = R"json([
  {"code": "en", "name": "English", "targets": ["de", "el", "fr", "ja", "ru", "zh-Hans", "zh-Hant"]},
  {"code": "el", "name": "Greek", "targets": ["en"]}, {"code": "fr", "name": "French", "targets": ["en"]},
  {"code": "de", "name": "German", "targets": ["en"]}, {"code": "ja", "name": "Japanese", "targets": ["en"]},
  {"code": "ru", "name": "Russian", "targets": ["en"]}, {"code": "ko", "name": "Korean", "targets": []},
  {"code": "zh-Hans", "name": "Chinese", "targets": ["en"]},
  {"code": "zh-Hant", "name": "Chinese (Traditional)", "targets": ["en"]}])json";
constexpr char kOlderLanguages[] = R"json([{"code": "en", "name": "English"},
  {"code": "zt", "name": "Chinese (traditional)"}, {"code": "zh", "name": "Chinese"}, {"name": "no code"}])json";

std::vector<nimbrel::services::LibreTranslateLanguage> Languages(const char* json) {
    return nimbrel::services::ParseLibreTranslateLanguages(json).value_or(std::vector<nimbrel::services::LibreTranslateLanguage>{});
}

using Answer = std::function<void(const nlohmann::json& request, httplib::Response& response)>;

// What a server answers by default: the text as it came.
void Echo(const nlohmann::json& request, httplib::Response& response) {
    response.set_content(nlohmann::json{{"translatedText", request.value("q", "")}}.dump(), "application/json");
}

Answer Replying(const std::string& translated) {
    return [translated](const nlohmann::json&, httplib::Response& response) {
        response.set_content(nlohmann::json{{"translatedText", translated}}.dump(), "application/json");
    };
}

// A LibreTranslate server on a loopback port: /languages and /translate
// answer as set; it keeps every translation request it received.
class FakeLibreTranslate {
public:
    FakeLibreTranslate() {
        server_.Get("/languages", [this](const httplib::Request&, httplib::Response& response) {
            std::lock_guard<std::mutex> lock(mutex_);
            ++languageRequests_;
            response.set_content(languages_, "application/json");
        });
        server_.Post("/translate", [this](const httplib::Request& request, httplib::Response& response) {
            const auto json = nlohmann::json::parse(request.body, nullptr, false);
            Answer answer;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(json);
                answer = answer_;
            }
            answer(json, response);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::sleep_for(1ms);
    }
    ~FakeLibreTranslate() {
        server_.stop();
        thread_.join();
    }

    nimbrel::services::UpstreamUrl address() const { return {"http://127.0.0.1:" + std::to_string(port_), "/"}; }
    std::vector<nlohmann::json> requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    int languageRequests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return languageRequests_;
    }

    void SetLanguages(std::string languages) {
        std::lock_guard<std::mutex> lock(mutex_);
        languages_ = std::move(languages);
    }
    void SetAnswer(Answer answer) {
        std::lock_guard<std::mutex> lock(mutex_);
        answer_ = std::move(answer);
    }

private:
    std::string languages_ = kRecentLanguages;
    Answer answer_ = Echo;
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<nlohmann::json> requests_;
    int languageRequests_ = 0;
};

}  // namespace

TEST(LibreTranslateLanguages, ThePluginsCodesInTheServersOwn) {
    const auto recent = Languages(kRecentLanguages);
    ASSERT_EQ(recent.size(), 9u);
    EXPECT_EQ(LibreTranslateCode("zh", recent), "zh-Hans");
    EXPECT_EQ(LibreTranslateCode("zt", recent), "zh-Hant");
    EXPECT_EQ(LibreTranslateCode("fr", recent), "fr");
    EXPECT_EQ(LibreTranslateCode("nl", recent), "");

    const auto older = Languages(kOlderLanguages);
    ASSERT_EQ(older.size(), 3u);  // the entry without a code is left out
    EXPECT_EQ(LibreTranslateCode("zh", older), "zh");
    EXPECT_EQ(LibreTranslateCode("zt", older), "zt");
    // Only one Chinese, named without a script: the simplified one.
    const auto one = Languages(R"([{"code": "zh", "name": "Chinese"}])");
    EXPECT_EQ(LibreTranslateCode("zh", one), "zh");
    EXPECT_EQ(LibreTranslateCode("zt", one), "");

    EXPECT_TRUE(nimbrel::services::LibreTranslateHasPair("en", "zh-Hant", recent));
    EXPECT_FALSE(nimbrel::services::LibreTranslateHasPair("en", "ko", recent));  // listed, not among English's targets
    EXPECT_TRUE(nimbrel::services::LibreTranslateHasPair("en", "zt", older));    // no targets listed: any
    EXPECT_FALSE(nimbrel::services::ParseLibreTranslateLanguages(R"({"error": "x"})"));
    EXPECT_FALSE(nimbrel::services::ParseLibreTranslateLanguages("<html>"));
}

TEST(LibreTranslateTranslator, SendsJsonInTheServersCodesAndReadsTheAnswer) {
    FakeLibreTranslate server;
    server.SetAnswer(Replying("15\u00B0 C, pluie"));
    const LibreTranslateTranslator translator(server.address(), "secret");

    const Translation translation = translator.Translate("15\xB0 C, rain", "en_zt");
    ASSERT_EQ(translation.outcome, Translation::Outcome::Translated);
    EXPECT_EQ(translation.text, "15\xB0 C, pluie");
    // Blanks at either end stay where they were, whatever the server does.
    EXPECT_EQ(translator.Translate(" Wind\r\n", "en_fr").text, " 15\xB0 C, pluie\r\n");
    EXPECT_EQ(translator.Translate(" \r\n", "en_fr").text, " \r\n");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], (nlohmann::json{{"q", "15\u00B0 C, rain"}, {"source", "en"}, {"target", "zh-Hant"},
                                           {"format", "text"}, {"api_key", "secret"}}));
    EXPECT_EQ(requests[1]["target"], "fr");
    EXPECT_EQ(requests[1]["q"], "Wind");
    EXPECT_EQ(server.languageRequests(), 1);

    // Not listed, or not a pair at all: nothing is sent.
    EXPECT_EQ(translator.Translate("Wind", "en_nl").outcome, Translation::Outcome::UnsupportedPair);
    EXPECT_EQ(translator.Translate("Wind", "en_ko").outcome, Translation::Outcome::UnsupportedPair);
    EXPECT_EQ(translator.Translate("Wind", "english").outcome, Translation::Outcome::UnsupportedPair);
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST(LibreTranslateTranslator, CharactersTheCodePageLacksBecomeQuestionMarks) {
    FakeLibreTranslate server;
    const LibreTranslateTranslator translator(server.address(), "");
    const std::pair<const char*, const char*> answers[] = {
        {"\u0398\u03B5\u03C1\u03BC\u03BF\u03BA\u03C1\u03B1\u03C3\u03AF\u03B1: 27\u00B0", "???????????: 27\xB0"},  // Greek
        {"\u6C17\u6E29: 27\u00B0C", "??: 27\xB0" "C"},                                                 // Japanese
        {"\u0422\u0435\u043C\u043F\u0435\u0440\u0430\u0442\u0443\u0440\u0430 \u2014 27\u00B0", "??????????? \x97 27\xB0"},  // Russian
    };
    const char* const pairs[] = {"en_el", "en_ja", "en_ru"};
    for (int i = 0; i < 3; ++i) {
        server.SetAnswer(Replying(answers[i].first));
        const Translation translation = translator.Translate("Temperature: 27\xB0", pairs[i]);
        ASSERT_EQ(translation.outcome, Translation::Outcome::Translated) << pairs[i];
        EXPECT_EQ(translation.text, answers[i].second) << pairs[i];
    }
}

TEST(LibreTranslateTranslator, ErrorAnswersAreFailedTranslations) {
    FakeLibreTranslate server;
    // No rest after an unwell answer, so that each answer is asked for.
    const LibreTranslateTranslator translator(server.address(), "", {}, nimbrel::services::kTranslationTimeLimit, 0ms);
    const std::pair<int, std::string> answers[] = {
        {400, R"({"error": "Invalid request"})"}, {403, R"({"error": "Invalid API key"})"},
        {429, R"({"error": "Too many requests"})"}, {500, R"({"error": "boom"})"},
        {200, "<html>busy</html>"}, {200, R"({"text": "Vent"})"}, {200, R"({"translatedText": 5})"},
        {200, R"(["Vent"])"},
    };
    for (const auto& [status, body] : answers) {
        server.SetAnswer([status = status, body = body](const nlohmann::json&, httplib::Response& response) {
            response.status = status;
            response.set_content(body, "application/json");
        });
        EXPECT_EQ(translator.Translate("Wind", "en_fr").outcome, Translation::Outcome::Failed) << status << " " << body;
    }

    // Without a language list no pair is known: failed, and asked again next time.
    server.SetAnswer(Echo);
    server.SetLanguages("<html>");
    const LibreTranslateTranslator unlisted(server.address(), "");
    EXPECT_EQ(unlisted.Translate("Wind", "en_fr").outcome, Translation::Outcome::Failed);
    server.SetLanguages(kRecentLanguages);
    EXPECT_EQ(unlisted.Translate("Wind", "en_fr").outcome, Translation::Outcome::Translated);
    // An empty list (a server still loading its models) is asked for again after the rest.
    server.SetLanguages("[]");
    const LibreTranslateTranslator empty(server.address(), "", {}, nimbrel::services::kTranslationTimeLimit, 0ms);
    EXPECT_EQ(empty.Translate("Wind", "en_fr").outcome, Translation::Outcome::UnsupportedPair);
    server.SetLanguages(kRecentLanguages);
    EXPECT_EQ(empty.Translate("Wind", "en_fr").outcome, Translation::Outcome::Translated);

    const LibreTranslateTranslator unreachable({"http://127.0.0.1:1", "/"}, "");
    EXPECT_EQ(unreachable.Translate("Wind", "en_fr").outcome, Translation::Outcome::Failed);
}

// Slow all at once, or a byte at a time so that no single read times out.
TEST(LibreTranslateTranslator, AServerTooSlowFailsWithinTheTimeLimit) {
    FakeLibreTranslate server;
    const LibreTranslateTranslator translator(server.address(), "", {}, 300ms, 0ms);
    ASSERT_EQ(translator.Translate("Wind", "en_fr").outcome, Translation::Outcome::Translated);

    server.SetAnswer([](const nlohmann::json&, httplib::Response& response) {
        std::this_thread::sleep_for(1s);
        response.set_content(R"({"translatedText": "Vent"})", "application/json");
    });
    auto start = Clock::now();
    EXPECT_EQ(translator.Translate("Wind", "en_fr").outcome, Translation::Outcome::Failed);
    EXPECT_LT(Clock::now() - start, 800ms);

    server.SetAnswer([](const nlohmann::json&, httplib::Response& response) {
        response.set_chunked_content_provider("application/json", [](std::size_t offset, httplib::DataSink& sink) {
            std::this_thread::sleep_for(50ms);
            if (offset >= 20 || !sink.write(" ", 1)) {
                sink.done();
            }
            return true;
        });
    });
    start = Clock::now();
    EXPECT_EQ(translator.Translate("Wind", "en_fr").outcome, Translation::Outcome::Failed);
    EXPECT_LT(Clock::now() - start, 800ms);
}

// A report's pieces come one after another: once the server has left one
// unanswered, the next ones fail at once, and it is asked again after a rest.
TEST(LibreTranslateTranslator, AnUnansweringServerIsLeftToRestBetweenPieces) {
    FakeLibreTranslate server;
    const LibreTranslateTranslator translator(server.address(), "", {}, 300ms, 600ms);
    ASSERT_EQ(translator.Translate("Wind", "en_fr").outcome, Translation::Outcome::Translated);
    server.SetAnswer([](const nlohmann::json&, httplib::Response& response) {
        std::this_thread::sleep_for(500ms);
        response.set_content(R"({"translatedText": "Vent"})", "application/json");
    });
    EXPECT_EQ(translator.Translate("Wind", "en_fr").outcome, Translation::Outcome::Failed);
    const std::size_t asked = server.requests().size();

    const auto start = Clock::now();
    for (int piece = 0; piece < 10; ++piece)
        EXPECT_EQ(translator.Translate("Visibility", "en_fr").outcome, Translation::Outcome::Failed);
    EXPECT_LT(Clock::now() - start, 200ms);
    EXPECT_EQ(server.requests().size(), asked);

    server.SetAnswer(Echo);
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(translator.Translate("Wind", "en_fr").outcome, Translation::Outcome::Translated);

    // Too many requests: the same rest.
    server.SetAnswer([](const nlohmann::json&, httplib::Response& response) {
        response.status = 429;
        response.set_content(R"({"error": "Slow down"})", "application/json");
    });
    EXPECT_EQ(translator.Translate("Wind", "en_fr").outcome, Translation::Outcome::Failed);
    server.SetAnswer(Echo);
    EXPECT_EQ(translator.Translate("Wind", "en_fr").outcome, Translation::Outcome::Failed);
}
