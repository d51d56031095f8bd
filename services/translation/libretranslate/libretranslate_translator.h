#pragma once
// Translation by a LibreTranslate server: POST /translate for each text,
// after one GET /languages that maps the plug-in's codes to the server's.
// Texts travel as UTF-8 there and as Windows-1252 here.

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "services/upstream/bounded_fetch.h"
#include "services/translation/libretranslate/libretranslate_languages.h"
#include "services/support/log_text.h"
#include "services/support/source_rest.h"
#include "services/translation/translator.h"

namespace nimbrel::services {

// A report asks for some twenty pieces in a row while the plug-in waits:
// after a server left one unanswered (down, too slow, rate-limiting or
// failing), the pieces that follow within this rest fail at once instead
// of waiting out the time limit each.
inline constexpr std::chrono::seconds kUnansweredServerRest{30};

class LibreTranslateTranslator : public Translator {
public:
    // key, when not empty, goes with each text as "api_key".
    // server: its address, with the path it sits under if any.
    // Failures go to log, when there is one.
    LibreTranslateTranslator(const UpstreamUrl& server, std::string key, Log log = {},
                             std::chrono::milliseconds timeLimit = kTranslationTimeLimit,
                             std::chrono::milliseconds rest = kUnansweredServerRest);

    // An error status, an answer that is no JSON or lacks the translated
    // text, or no answer in time, is a failed translation; a pair the
    // server does not list is an unsupported one. Only the words go to the
    // server; blanks at either end are kept here.
    Translation Translate(const std::string& text, const std::string& pair) const override;

private:
    // The server's languages, asked for until it has listed some.
    using Clock = std::chrono::steady_clock;
    std::optional<std::vector<LibreTranslateLanguage>> Languages(Clock::time_point deadline) const;
    // One request, within what is left of the deadline; an answer that
    // tells the server is unwell (none, a rate limit, a server error)
    // starts a rest.
    FetchedBody Ask(const UpstreamUrl& url, Clock::time_point deadline, std::size_t bytes,
                    const FetchRequest& request) const;

    const UpstreamUrl languagesUrl_;
    const UpstreamUrl translateUrl_;
    const std::string key_;
    const Log log_;
    const std::chrono::milliseconds timeLimit_;
    mutable SourceRest rest_;
    mutable std::timed_mutex languagesMutex_;
    mutable std::optional<std::vector<LibreTranslateLanguage>> languages_;
    mutable Clock::time_point languagesAt_;  // when they were listed
};

}  // namespace nimbrel::services
