#pragma once
// The text and language pair of one "/tr" request.

#include <string>
#include <string_view>

namespace nimbrel::services {

struct TranslationRequest {
    std::string text;
    std::string pair;  // "en_es"
};

// The query is "trtext=" + text + "&lp=" + pair, each form-encoded ("+"
// is a blank) or not: the plug-in may send the text as it stands, so an
// "&" inside it does not end it; the text runs to the last "&lp=".
TranslationRequest ParseTranslationQuery(std::string_view query);

}  // namespace nimbrel::services
