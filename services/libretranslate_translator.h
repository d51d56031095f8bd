#pragma once
// Translation by a LibreTranslate server: POST /translate for each text,
// after one GET /languages that maps the plug-in's codes to the server's.
// Texts travel as UTF-8 there and as Windows-1252 here.

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "http_call.h"
#include "libretranslate_languages.h"
#include "translator.h"

namespace services {

class LibreTranslateTranslator : public Translator {
public:
    // key, when not empty, goes with each text as "api_key".
    LibreTranslateTranslator(ServerAddress server, std::string key,
                             std::chrono::milliseconds timeLimit = kTranslationTimeLimit);

    // An error status, an answer that is no JSON or lacks the translated
    // text, or no answer in time, is a failed translation; a pair the
    // server does not list is an unsupported one. Only the words go to the
    // server; blanks at either end are kept here.
    Translation Translate(const std::string& text, const std::string& pair) const override;

private:
    // The server's languages, asked for until it has answered once.
    std::optional<std::vector<LibreTranslateLanguage>> Languages(HttpDeadline deadline) const;

    const ServerAddress server_;
    const std::string key_;
    const std::chrono::milliseconds timeLimit_;
    mutable std::timed_mutex languagesMutex_;
    mutable std::optional<std::vector<LibreTranslateLanguage>> languages_;
};

}  // namespace services
