#include "services/translation/fleet_translations.h"

#include "services/translation/language_pair.h"

namespace nimbrel::services {

Translation FleetTranslations::Translate(const std::string& text, const std::string& pair) const {
    // No translator has any other pair; and a pair of five characters
    // keeps one piece's key from being another's.
    if (!SplitLanguagePair(pair)) return translator_.Translate(text, pair);
    const std::string key = "translation:" + pair + ":" + text;
    if (auto stored = fleet_.Get(key, kFleetTranslationBytes)) {
        return {Translation::Outcome::Translated, std::move(*stored)};
    }
    Translation translation = translator_.Translate(text, pair);
    if (translation.outcome == Translation::Outcome::Translated && translation.text.size() <= kFleetTranslationBytes) {
        fleet_.Set(key, translation.text, kFleetTranslationKeep);
    }
    return translation;
}

}  // namespace nimbrel::services
