#include "services/translation/translator_chain.h"

namespace nimbrel::services {

Translation TranslatorChain::Translate(const std::string& text, const std::string& pair) const {
    for (const Translator* translator : translators_) {
        Translation translation = translator->Translate(text, pair);
        if (translation.outcome != Translation::Outcome::UnsupportedPair) return translation;
    }
    return {Translation::Outcome::UnsupportedPair, {}};
}

}  // namespace nimbrel::services
