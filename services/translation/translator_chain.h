#pragma once
// Translators asked in turn: the first that has the pair answers. So
// Apertium serves the pairs it has a mode for, and LibreTranslate the rest.

#include <string>
#include <vector>

#include "services/translation/translator.h"

namespace nimbrel::services {

class TranslatorChain : public Translator {
public:
    explicit TranslatorChain(std::vector<const Translator*> translators) : translators_(std::move(translators)) {}

    // Unsupported when none has the pair.
    Translation Translate(const std::string& text, const std::string& pair) const override;

private:
    std::vector<const Translator*> translators_;
};

}  // namespace nimbrel::services
