#include "services/translation/libretranslate/libretranslate_translator.h"

#include <nlohmann/json.hpp>

#include "services/support/edge_blanks.h"
#include "services/translation/language_pair.h"
#include "windows_1252.h"

namespace nimbrel::services {
namespace {

constexpr char kLanguagesName[] = "languages";
constexpr char kTranslateName[] = "translate";
constexpr char kJsonType[] = "application/json";
// A language list is a few kilobytes; a piece of a report a few dozen
// bytes. Anything longer is no answer of a sound server.
constexpr std::size_t kMaxLanguagesBytes = 1 << 20;
constexpr std::size_t kMaxTranslationBytes = 1 << 20;
constexpr int kTooManyRequests = 429;
constexpr int kClientErrors = 400;
constexpr int kServerErrors = 500;

std::string RequestBody(std::string_view text, const std::string& source, const std::string& target,
                        const std::string& key) {
    nlohmann::json body = {
        {"q", nimbrel::text::Windows1252ToUtf8(text)}, {"source", source}, {"target", target}, {"format", "text"}};
    if (!key.empty()) body["api_key"] = key;
    return body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<std::string> TranslatedText(const FetchedBody& answer) {
    if (!answer) return std::nullopt;
    const auto json = nlohmann::json::parse(*answer, nullptr, false);
    if (!json.is_object()) return std::nullopt;
    const auto text = json.find("translatedText");
    if (text == json.end() || !text->is_string()) return std::nullopt;
    return text->get<std::string>();
}

}  // namespace

LibreTranslateTranslator::LibreTranslateTranslator(const UpstreamUrl& server, std::string key, Log log,
                                                   std::chrono::milliseconds timeLimit,
                                                   std::chrono::milliseconds rest)
    : languagesUrl_(InFolder(server, kLanguagesName)),
      translateUrl_(InFolder(server, kTranslateName)),
      key_(std::move(key)),
      log_(std::move(log)),
      timeLimit_(timeLimit),
      rest_(rest) {}

FetchedBody LibreTranslateTranslator::Ask(const UpstreamUrl& url, Clock::time_point deadline, std::size_t bytes,
                                          const FetchRequest& request) const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    FetchedBody answer = BoundedFetch(url, {left, bytes}, request);
    if (answer) return answer;
    // A refusal of this one text (a bad request or key) says nothing of
    // the server's health; anything else does.
    const FetchError& error = answer.error();
    const bool aboutTheText =
        error.status >= kClientErrors && error.status < kServerErrors && error.status != kTooManyRequests;
    if (!aboutTheText) {
        rest_.Start();
        if (log_) log_("LibreTranslate: " + error.why + " (" + url.Text() + "); resting " +
                       std::to_string(std::chrono::duration_cast<std::chrono::seconds>(rest_.length()).count()) + " s");
    } else if (log_) {
        log_("LibreTranslate: " + error.why + " (" + url.Text() + ")");
    }
    return answer;
}

std::optional<std::vector<LibreTranslateLanguage>> LibreTranslateTranslator::Languages(
    Clock::time_point deadline) const {
    std::unique_lock<std::timed_mutex> lock(languagesMutex_, deadline);
    if (!lock.owns_lock()) return std::nullopt;
    // A server still loading its models may list none yet: asked again
    // after a rest, as one that did not answer.
    const bool stale = languages_ && languages_->empty() && Clock::now() - languagesAt_ >= rest_.length();
    if ((!languages_ || stale) && !rest_.Resting()) {
        const FetchedBody answer = Ask(languagesUrl_, deadline, kMaxLanguagesBytes, {});
        if (answer) {
            languages_ = ParseLibreTranslateLanguages(*answer);
            languagesAt_ = Clock::now();
        }
    }
    return languages_;
}

Translation LibreTranslateTranslator::Translate(const std::string& text, const std::string& pair) const {
    const auto split = SplitLanguagePair(pair);
    if (!split) return {Translation::Outcome::UnsupportedPair, {}};
    const auto deadline = Clock::now() + timeLimit_;
    const auto languages = Languages(deadline);
    if (!languages) return {Translation::Outcome::Failed, {}};
    const std::string source = LibreTranslateCode(split->source, *languages);
    const std::string target = LibreTranslateCode(split->target, *languages);
    if (source.empty() || target.empty() || !LibreTranslateHasPair(source, target, *languages)) {
        return {Translation::Outcome::UnsupportedPair, {}};
    }
    const EdgeBlanks edges = SplitEdgeBlanks(text);
    if (edges.words.empty()) return {Translation::Outcome::Translated, text};
    if (rest_.Resting()) return {Translation::Outcome::Failed, {}};
    const FetchedBody answer = Ask(translateUrl_, deadline, kMaxTranslationBytes,
                                   {RequestBody(edges.words, source, target, key_), kJsonType});
    const auto translated = TranslatedText(answer);
    if (!translated) return {Translation::Outcome::Failed, {}};
    return {Translation::Outcome::Translated, WithEdgeBlanks(edges, nimbrel::text::Utf8ToWindows1252(*translated))};
}

}  // namespace nimbrel::services
