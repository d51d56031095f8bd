#include "services/pages/translation_request.h"

#include "services/support/percent_decoding.h"
#include "services/support/query_value.h"
#include "services/pages/service_paths.h"
#include "services/support/text_match.h"

namespace nimbrel::services {

TranslationRequest ParseTranslationQuery(std::string_view query) {
    const std::string textKey = std::string(kTextKey) + "=";
    const std::string pairKey = "&" + std::string(kPairKey) + "=";
    if (!StartsWith(query, textKey)) {
        return {QueryValue(query, kTextKey), QueryValue(query, kPairKey)};
    }
    const auto pairAt = query.rfind(pairKey);
    if (pairAt == std::string_view::npos) return {FormDecoded(query.substr(textKey.size())), {}};
    const auto text = query.substr(textKey.size(), pairAt - textKey.size());
    const auto rest = query.substr(pairAt + pairKey.size());
    return {FormDecoded(text), FormDecoded(rest.substr(0, rest.find('&')))};
}

}  // namespace nimbrel::services
