#include "libretranslate_translator.h"

#include <nlohmann/json.hpp>

#include "ansi_text.h"
#include "edge_blanks.h"
#include "language_pair.h"

namespace services {
namespace {

constexpr char kLanguagesPath[] = "/languages";
constexpr char kTranslatePath[] = "/translate";
constexpr char kJsonType[] = "application/json";
// A language list is a few kilobytes; a piece of a report a few dozen
// bytes. Anything longer is no answer of a sound server.
constexpr std::size_t kMaxLanguagesBytes = 1 << 20;
constexpr std::size_t kMaxTranslationBytes = 1 << 20;
constexpr int kOk = 200;
constexpr int kTooManyRequests = 429;
constexpr int kServerErrors = 500;

std::string RequestBody(std::string_view text, const std::string& source, const std::string& target,
                        const std::string& key) {
    nlohmann::json body = {{"q", AnsiToUtf8(text)}, {"source", source}, {"target", target}, {"format", "text"}};
    if (!key.empty()) body["api_key"] = key;
    return body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<std::string> TranslatedText(const HttpAnswer& answer) {
    if (answer.status != kOk) return std::nullopt;
    const auto json = nlohmann::json::parse(answer.body, nullptr, false);
    if (!json.is_object()) return std::nullopt;
    const auto text = json.find("translatedText");
    if (text == json.end() || !text->is_string()) return std::nullopt;
    return text->get<std::string>();
}

}  // namespace

LibreTranslateTranslator::LibreTranslateTranslator(ServerAddress server, std::string key,
                                                   std::chrono::milliseconds timeLimit,
                                                   std::chrono::milliseconds rest)
    : server_(std::move(server)), key_(std::move(key)), timeLimit_(timeLimit), rest_(rest) {}

bool LibreTranslateTranslator::Resting() const {
    return std::chrono::steady_clock::now().time_since_epoch().count() < restUntil_.load();
}

void LibreTranslateTranslator::RestIfUnwell(const std::optional<HttpAnswer>& answer) const {
    if (answer && answer->status != kTooManyRequests && answer->status < kServerErrors) return;
    restUntil_ = (std::chrono::steady_clock::now() + rest_).time_since_epoch().count();
}

std::optional<std::vector<LibreTranslateLanguage>> LibreTranslateTranslator::Languages(HttpDeadline deadline) const {
    std::unique_lock<std::timed_mutex> lock(languagesMutex_, deadline);
    if (!lock.owns_lock()) return std::nullopt;
    if (!languages_ && !Resting()) {
        const auto answer = HttpGet(server_, kLanguagesPath, deadline, kMaxLanguagesBytes);
        RestIfUnwell(answer);
        if (answer && answer->status == kOk) languages_ = ParseLibreTranslateLanguages(answer->body);
    }
    return languages_;
}

Translation LibreTranslateTranslator::Translate(const std::string& text, const std::string& pair) const {
    const auto split = SplitLanguagePair(pair);
    if (!split) return {Translation::Outcome::UnsupportedPair, {}};
    const auto deadline = std::chrono::steady_clock::now() + timeLimit_;
    const auto languages = Languages(deadline);
    if (!languages) return {Translation::Outcome::Failed, {}};
    const std::string source = LibreTranslateCode(split->source, *languages);
    const std::string target = LibreTranslateCode(split->target, *languages);
    if (source.empty() || target.empty() || !LibreTranslateHasPair(source, target, *languages)) {
        return {Translation::Outcome::UnsupportedPair, {}};
    }
    const EdgeBlanks edges = SplitEdgeBlanks(text);
    if (edges.words.empty()) return {Translation::Outcome::Translated, text};
    if (Resting()) return {Translation::Outcome::Failed, {}};
    const auto answer = HttpPost(server_, kTranslatePath, RequestBody(edges.words, source, target, key_),
                                 kJsonType, deadline, kMaxTranslationBytes);
    RestIfUnwell(answer);
    const auto translated = answer ? TranslatedText(*answer) : std::nullopt;
    if (!translated) return {Translation::Outcome::Failed, {}};
    return {Translation::Outcome::Translated, WithEdgeBlanks(edges, Utf8ToAnsi(*translated))};
}

}  // namespace services
