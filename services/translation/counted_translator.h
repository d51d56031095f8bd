#pragma once
// A translator whose pieces are counted by outcome, for the services'
// metrics: one in front of each backend says what each one did.

#include <array>
#include <cstddef>
#include <string>

#include "services/support/metrics.h"
#include "services/translation/translator.h"

namespace nimbrel::services {

// In the order of Translation::Outcome.
inline constexpr const char* kTranslationOutcomeNames[] = {"translated", "unsupported_pair", "failed"};

class CountedTranslator : public Translator {
public:
    explicit CountedTranslator(const Translator& translator) : translator_(translator) {}

    Translation Translate(const std::string& text, const std::string& pair) const override {
        Translation translation = translator_.Translate(text, pair);
        counts_[static_cast<std::size_t>(translation.outcome)].Add();
        return translation;
    }
    const Counter& count(Translation::Outcome outcome) const { return counts_[static_cast<std::size_t>(outcome)]; }

private:
    const Translator& translator_;
    mutable std::array<Counter, std::size(kTranslationOutcomeNames)> counts_;
};

}  // namespace nimbrel::services
